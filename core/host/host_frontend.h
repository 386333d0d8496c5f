// HostFrontend: the frontend of `tendix run`. It answers from the script language of
// docs/script.md and echoes the transcript to standard output; the actions come either from a
// script file (all at once) or from the terminal, one line each time the run waits for one.
//
// From the terminal: when a window, message box, lookup, calendar, output dialog or preview
// waits and no action is pending, it prints a prompt naming what waits on the error stream and
// reads one line from standard input (blank lines and # comments are skipped; a line the script
// language does not accept is reported and asked again). While a window's timer runs (a report
// run) it does not wait: a line already typed is taken, otherwise the run goes on. At the end of
// the input every further question fails the run, as a script that has ended does, so the run
// unwinds and never hangs.
//
// Progress: when the error stream is a terminal, a window with the progress window's
// percentage text (?PROGRESS:PCTTEXT) has its title and percentage shown there live, on one
// line that is wiped before anything else is written; the transcript on standard output never
// holds it.
#pragma once

#include <cstdio>
#include <string>

#include "runtime/ui/scripted_frontend.h"

namespace tdx::host {

class HostFrontend : public ui::Frontend {
 public:
  // `interactive`: read actions from standard input line by line (else load_script first).
  // `progress`: show the live progress line on stderr.
  HostFrontend(bool interactive, bool progress);
  ~HostFrontend() override;
  HostFrontend(const HostFrontend&) = delete;
  HostFrontend& operator=(const HostFrontend&) = delete;

  Status load_script(const std::string& path) { return inner_.load_file(path); }
  // Ok, or why the run failed (an unanswered question, an unused script line).
  Status finish() const;
  const std::string& transcript() const { return inner_.transcript(); }

  void window_shown(ui::Window& win) override;
  void window_closed(ui::Window& win) override;
  void window_title_changed(ui::Window& win) override;
  ui::Wait next_input(ui::Window& win, bool timer_running, ui::UserInput* out) override;
  void beep() override;
  int message_box(const ui::MessageBox& box) override;
  ui::LookupAnswer lookup(const ui::LookupRequest& req) override;
  ui::DateAnswer select_date(const ui::DateRequest& req) override;
  bool output_dialog(ui::OutputChoice* choice) override;
  ui::PreviewAnswer preview(const ui::PreviewRequest& req) override;
  void print_job(const ui::PrintJobNotice& n) override;
  void fax_job(const ui::FaxJobNotice& n) override;
  void email_sent(const ui::EmailNotice& n) override;
  Status status() const override { return inner_.status(); }

 private:
  // Interactive: makes sure an action is pending, reading lines as needed. `prompt` says what
  // waits. With `nowait`, only a line already typed is taken.
  void need_action(const std::string& prompt, bool nowait = false);
  bool pending() const;
  void show_progress(ui::Window& win);
  void wipe_progress();

  ui::ScriptedFrontend inner_;
  bool interactive_;
  bool progress_;
  bool eof_ = false;
  int line_no_ = 0;
  std::string shown_;  // the progress line on the terminal, "" when none
  std::FILE* echo_ = nullptr;  // the transcript stream (standard output behind a wipe)
};

}  // namespace tdx::host
