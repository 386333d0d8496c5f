// DesktopFrontend: the frontend for people at a desk. Every declared window opens as a real
// window (frontend/desktop/window_view.h); message boxes, lookup windows, the calendar, the
// output dialog and the previewer are Qt dialogs (dialogs.h); print, fax and e-mail jobs are
// told in a small notice window.
//
// The pull event loop is served from Qt's loop: when a window asks for the user's next input
// the frontend runs Qt's event loop until that window has some (a modal window opened from it
// asks in its own turn, so loops nest as windows do). A window with its timer running does not
// wait: pending events are processed (repaints, clicks, Esc) and the timer is due at once, or
// when its period has passed for timers slower than a tenth of a second, so long runs stay
// responsive and run at full speed.
//
// Failure: a robot script that is not met (robot.h) fails the run as a scripted frontend
// would: status() tells why, open dialogs are closed and every loop unwinds.
//
// This header includes no Qt: programs load the library with dlopen through the two C entry
// points below (core/host/desktop_loader.h), tests may link it and use the class. One frontend
// per process, on the thread that runs windows (the process's main thread).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "runtime/base/status.h"
#include "runtime/ui/frontend.h"

namespace tdx::desktop {

class DesktopFrontend : public ui::Frontend {
 public:
  // Starts Qt (a QApplication of its own unless one exists). Fails when Qt cannot start: no
  // display and no QT_QPA_PLATFORM given. Loads the robot script named by $TDX_DESKTOP_ROBOT.
  static Result<std::unique_ptr<DesktopFrontend>> Create();
  ~DesktopFrontend() override;
  DesktopFrontend(const DesktopFrontend&) = delete;
  DesktopFrontend& operator=(const DesktopFrontend&) = delete;

  // Drives the run from a robot script (robot.h, docs/desktop.md).
  Status load_robot(std::string_view text, std::string_view name = "robot");
  void set_robot_timeout_ms(int ms);
  // Ok when nothing failed and the robot (if any) ran all its steps.
  Status finish() const;

  void window_shown(ui::Window& win) override;
  void window_closed(ui::Window& win) override;
  void window_title_changed(ui::Window& win) override;
  ui::Wait next_input(ui::Window& win, bool timer_running, ui::UserInput* out) override;
  void beep() override;
  void set_cursor(ui::Cursor c) override;
  int message_box(const ui::MessageBox& box) override;
  ui::LookupAnswer lookup(const ui::LookupRequest& req) override;
  ui::DateAnswer select_date(const ui::DateRequest& req) override;
  bool output_dialog(ui::OutputChoice* choice) override;
  ui::PreviewAnswer preview(const ui::PreviewRequest& req) override;
  void print_job(const ui::PrintJobNotice& n) override;
  void fax_job(const ui::FaxJobNotice& n) override;
  void email_sent(const ui::EmailNotice& n) override;
  Status status() const override;

 private:
  DesktopFrontend();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tdx::desktop

// The entry points that programs find with dlsym. create() returns nullptr and writes why into
// `why` (at most why_size bytes with the terminating zero) when the desktop cannot start.
extern "C" {
tdx::ui::Frontend* tdx_desktop_frontend_create(char* why, int why_size);
void tdx_desktop_frontend_destroy(tdx::ui::Frontend* frontend);
// 0 when the run went through; else 1 with why (DesktopFrontend::finish()).
int tdx_desktop_frontend_finish(tdx::ui::Frontend* frontend, char* why, int why_size);
}
