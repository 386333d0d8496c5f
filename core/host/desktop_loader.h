// The desktop frontend, chosen and loaded at run time.
//
// `tendix run` without a script and `gvtdconv` without TDX_SCRIPT talk to a person. When a
// display is there they open real windows through the desktop frontend, a shared library of its
// own (libtdxdesktop.so, built on Qt); otherwise they fall back to the terminal. The programs
// never link Qt: the library is loaded with dlopen only when it is chosen, so they still run on
// a machine without Qt.
//
// The choice, first that applies:
//   TDX_FRONTEND=terminal      the terminal;
//   TDX_FRONTEND=desktop       the desktop (also without a display, e.g. with
//                              QT_QPA_PLATFORM=offscreen for tests);
//   standard input is a pipe or a file (actions fed to the terminal frontend): the terminal;
//   DISPLAY or WAYLAND_DISPLAY names a display that accepts a connection: the desktop;
//   otherwise the terminal.
// The library is taken from $TDX_DESKTOP_LIB, beside the program, ../lib beside it, the build
// tree, or the loader's own search, first found.
//
// A desktop frontend that cannot be loaded is not fatal: LoadDesktopFrontend says why, and the
// caller falls back to the terminal.
#pragma once

#include <memory>
#include <string>

#include "runtime/base/status.h"
#include "runtime/ui/frontend.h"

namespace tdx::host {

enum class FrontendKind { Terminal, Desktop };

// The choice described above, from the environment.
FrontendKind ChooseFrontend();

// Whether standard input is a pipe or a regular file.
bool StdinCarriesActions();

// Whether the display named by the environment accepts a connection (X11 socket or TCP port,
// or the Wayland socket). Cheap: no library is loaded.
bool DisplayReachable();

// The loaded frontend; deleting it deletes the frontend through the library (the library stays
// loaded for the life of the process).
struct DesktopDeleter {
  void (*destroy)(ui::Frontend*) = nullptr;
  int (*finish)(ui::Frontend*, char*, int) = nullptr;
  void operator()(ui::Frontend* f) const {
    if (f && destroy) destroy(f);
  }
};
using DesktopFrontendPtr = std::unique_ptr<ui::Frontend, DesktopDeleter>;

// Loads libtdxdesktop.so and makes its frontend; an error says why it could not.
Result<DesktopFrontendPtr> LoadDesktopFrontend();

// At the end of a run: ok, or why the run failed (a robot script that was not met, see
// docs/desktop.md).
Status FinishDesktop(const DesktopFrontendPtr& fe);

}  // namespace tdx::host
