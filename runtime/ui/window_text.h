// The text form of a window declaration: one directive line for the window, then one table row
// per control, in tab order. The format is documented in runtime/ui/WINDOW_FORMAT.md; it is read
// with the same row reader as report layouts (runtime/report/rowfile.h).
#pragma once

#include <string_view>

#include "runtime/base/status.h"
#include "runtime/ui/window_def.h"

namespace tdx::ui {

// Reads a window declaration; the result has been through WindowDef::finish(). Errors name the
// file and line ("windows/x.window:7: unknown attribute \"colour\"").
Result<WindowDef> parse_window(std::string_view text, std::string_view file = "window");

}  // namespace tdx::ui
