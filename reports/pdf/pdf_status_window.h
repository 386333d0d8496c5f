// The PDF writer's status window: "Please Wait...", 179 x 76 dialog units, MS Sans Serif 8,
// centred, with the text "Generating PDF" (later "Writing PDF"), a progress bar of the pages
// done, the text "Page n of m" under it and a Cancel button. Its timer (10 hundredths) drives
// the writer's page loop: one page per timer event.
#pragma once

#include <string>

#include "runtime/text/str.h"
#include "runtime/ui/window.h"

namespace tdx::reports {

ui::WindowDef pdf_status_window_def();

class PdfStatusWindow {
 public:
  PdfStatusWindow();
  PdfStatusWindow(const PdfStatusWindow&) = delete;
  PdfStatusWindow& operator=(const PdfStatusWindow&) = delete;

  // Opens the window for a run of `pages` pages.
  void open(int pages);
  // Page n is done: "Page n of m" and the bar at n x 100 / m.
  void show_page(int n);
  ui::Window& window() { return win_; }

 private:
  ui::Window win_;
  Str<30> pct_done_;  // LOC:PCTDONE
  int pages_ = 0;
};

}  // namespace tdx::reports
