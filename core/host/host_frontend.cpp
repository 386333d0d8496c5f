#include "core/host/host_frontend.h"

#include <poll.h>
#include <unistd.h>

#include <iostream>

#include "runtime/ui/progress_window.h"
#include "runtime/ui/window.h"

namespace tdx::host {
namespace {

bool LineReady() {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLIN | POLLHUP)) != 0;
}

std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

}  // namespace

HostFrontend::HostFrontend(bool interactive, bool progress)
    : interactive_(interactive), progress_(progress) {
  // The transcript goes to standard output through a stream that first wipes the progress line,
  // so the two never share a terminal line.
  cookie_io_functions_t io{};
  io.write = [](void* self, const char* buf, size_t n) -> ssize_t {
    static_cast<HostFrontend*>(self)->wipe_progress();
    size_t done = std::fwrite(buf, 1, n, stdout);
    std::fflush(stdout);
    return static_cast<ssize_t>(done);
  };
  echo_ = fopencookie(this, "w", io);
  if (echo_) std::setvbuf(echo_, nullptr, _IOLBF, 0);
  inner_.echo_to(echo_ ? echo_ : stdout);
  // A person at the terminal may let a report run as long as it takes.
  if (interactive_) inner_.set_max_idle_timers(1L << 40);
}

HostFrontend::~HostFrontend() {
  inner_.echo_to(nullptr);
  if (echo_) std::fclose(echo_);
  wipe_progress();
}

Status HostFrontend::finish() const { return inner_.finish(); }

bool HostFrontend::pending() const {
  // finish() is ok exactly when nothing failed and every action loaded has been used.
  return !inner_.finish().ok();
}

void HostFrontend::need_action(const std::string& prompt, bool nowait) {
  if (!interactive_ || eof_ || !inner_.status().ok() || pending()) return;
  for (;;) {
    if (nowait && !LineReady()) return;
    if (!nowait) {
      wipe_progress();
      std::cerr << prompt << "> " << std::flush;
    }
    std::string raw;
    if (!std::getline(std::cin, raw)) {
      eof_ = true;
      return;
    }
    ++line_no_;
    std::string l = Trimmed(raw);
    if (l.empty() || l[0] == '#') {
      if (nowait) return;
      continue;
    }
    Status s = inner_.load(l, "input");
    if (s.ok()) return;
    std::cerr << s.text() << "\n";
    if (nowait) return;
  }
}

void HostFrontend::wipe_progress() {
  if (shown_.empty()) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  shown_.clear();
}

void HostFrontend::show_progress(ui::Window& win) {
  if (!progress_ || win.id(ui::kProgressPctText) == 0) return;
  std::string pct = Trimmed(win.screen_text(ui::kProgressPctText));
  if (pct.empty()) pct = Trimmed(win.text(ui::kProgressPctText));
  std::string l = win.title() + "  " + pct;
  if (l == shown_) return;
  std::fputs(("\r\033[K" + l).c_str(), stderr);
  std::fflush(stderr);
  shown_ = l;
}

void HostFrontend::window_shown(ui::Window& win) {
  wipe_progress();
  inner_.window_shown(win);
}
void HostFrontend::window_closed(ui::Window& win) {
  wipe_progress();
  inner_.window_closed(win);
}
void HostFrontend::window_title_changed(ui::Window& win) {
  wipe_progress();
  inner_.window_title_changed(win);
}

ui::Wait HostFrontend::next_input(ui::Window& win, bool timer_running, ui::UserInput* out) {
  need_action("window \"" + win.title() + "\"", timer_running);
  ui::Wait w = inner_.next_input(win, timer_running, out);
  if (w == ui::Wait::Timer) show_progress(win);
  return w;
}

void HostFrontend::beep() {
  wipe_progress();
  inner_.beep();
}

int HostFrontend::message_box(const ui::MessageBox& box) {
  std::string buttons;
  for (const std::string& b : box.buttons) buttons += (buttons.empty() ? "" : "|") + b;
  need_action("message \"" + box.caption + "\" \"" + box.text + "\" [" + buttons + "] answer");
  wipe_progress();
  return inner_.message_box(box);
}

ui::LookupAnswer HostFrontend::lookup(const ui::LookupRequest& req) {
  need_action("lookup " + req.window + " at \"" + req.partial + "\" (lookup KEY|current|cancel)");
  wipe_progress();
  return inner_.lookup(req);
}

ui::DateAnswer HostFrontend::select_date(const ui::DateRequest& req) {
  need_action("date (date mm/dd/yyyy|cancel)");
  wipe_progress();
  return inner_.select_date(req);
}

bool HostFrontend::output_dialog(ui::OutputChoice* choice) {
  need_action("output dialog (output preview|print|fax|email ... |cancel)");
  wipe_progress();
  return inner_.output_dialog(choice);
}

ui::PreviewAnswer HostFrontend::preview(const ui::PreviewRequest& req) {
  need_action("preview \"" + req.title + "\" " + std::to_string(req.page_count) +
              " pages (preview print|close)");
  wipe_progress();
  return inner_.preview(req);
}

void HostFrontend::print_job(const ui::PrintJobNotice& n) {
  wipe_progress();
  inner_.print_job(n);
}
void HostFrontend::fax_job(const ui::FaxJobNotice& n) {
  wipe_progress();
  inner_.fax_job(n);
}
void HostFrontend::email_sent(const ui::EmailNotice& n) {
  wipe_progress();
  inner_.email_sent(n);
}

}  // namespace tdx::host
