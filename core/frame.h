// The main frame: the product's outer window, whose toolbar holds the navigation buttons 2000 to
// 2012 that a window may take over while it is active.
//
//   2000 insert   2001 change   2002 delete   2003 select   2004 last page   2005 first page
//   2006 next page   2007 prior page   2008 next record   2009 prior record   2010 locate
//   2011 history   2012 help
//
// The buttons start disabled, without tips. A window takes them with UseToolbar(win, ids):
// from then on a press of one of them (the script's "press 2004") comes to that window as an
// accepted event with the button's id, and the window enables, disables and retips them by
// their labels, ToolbarLabel(id) ("?ToolbarLastPage" for 2004):
//   win.enable(ToolbarLabel(2004));  win.set_tip(ToolbarLabel(2004), "Go to the Last Page");
// ReleaseToolbar() puts every button back as declared, for the window's close.
//
// The host opens the frame before it calls into the report module and closes it at the end
// (OpenMainFrame / CloseMainFrame); a frame that is not open lends no buttons (UseToolbar then
// does nothing and presses are refused by the frontend), so windows work without it.
// Single-threaded, like every window.
#pragma once

#include <initializer_list>
#include <string>

#include "runtime/base/status.h"
#include "runtime/ui/window.h"

namespace tdx::core {

inline constexpr int kToolbarFirst = 2000;
inline constexpr int kToolbarLast = 2012;

// The label of toolbar button id ("?ToolbarInsert" ... "?ToolbarHelp"); "" outside 2000..2012.
std::string ToolbarLabel(int id);

// The frame window (not open until OpenMainFrame()).
ui::Window& MainFrame();
// Opens the frame and shows it (its "window" line in a transcript). Opening an open frame is ok.
Status OpenMainFrame();
void CloseMainFrame();

// Lends the toolbar buttons `ids` to `win` while the frame is open.
void UseToolbar(ui::Window& win, std::initializer_list<int> ids);
// Every toolbar button back to its declared state (disabled, no tip).
void ReleaseToolbar();

}  // namespace tdx::core
