// ScriptedFrontend: answers every window, message box, lookup, dialog and preview from a
// script of user actions, and writes a transcript of what a person would have seen.
//
// The script language and the transcript format are documented in docs/script.md. In short,
// one action a line ("type ?Glo:BID_ID B100", "press &Print", "key F2", "answer Yes",
// "lookup cancel", "timers 3", ...); a window consumes the window actions in order when it
// waits for input; message boxes, lookups, the date selection, the output dialog and previews
// each consume the next action, which must be of their kind.
//
// Never a hang: a message box, lookup, dialog or window that the next action does not answer
// fails the run with an error naming it (status()); from then on every window loop ends and
// every question gets its harmless answer (see frontend.h). A window with its timer running
// gets timer events while the next action is not for it (the user waits for a report run to
// finish), up to max_idle_timers in a row.
//
// Single-threaded, like the windows it serves. Not copyable.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/ui/frontend.h"

namespace tdx::ui {

class ScriptedFrontend : public Frontend {
 public:
  ScriptedFrontend() = default;
  ScriptedFrontend(const ScriptedFrontend&) = delete;
  ScriptedFrontend& operator=(const ScriptedFrontend&) = delete;

  // Reads a script (replacing any loaded one). Errors name the line ("script:3: ...").
  Status load(std::string_view script, std::string_view name = "script");
  Status load_file(const std::string& path);
  // Also writes each transcript line to `out` as it is made (nullptr: only keep it).
  void echo_to(std::FILE* out) { echo_ = out; }
  void set_max_idle_timers(long n) { max_idle_timers_ = n; }

  const std::string& transcript() const { return transcript_; }
  // Ok when the run did not fail and every action was used; otherwise what went wrong.
  Status finish() const;
  Status status() const override { return status_; }

  // Frontend.
  void window_shown(Window& win) override;
  void window_closed(Window& win) override;
  void window_title_changed(Window& win) override;
  Wait next_input(Window& win, bool timer_running, UserInput* out) override;
  void beep() override;
  int message_box(const MessageBox& box) override;
  LookupAnswer lookup(const LookupRequest& req) override;
  DateAnswer select_date(const DateRequest& req) override;
  bool output_dialog(OutputChoice* choice) override;
  PreviewAnswer preview(const PreviewRequest& req) override;
  void print_job(const PrintJobNotice& n) override;
  void fax_job(const FaxJobNotice& n) override;
  void email_sent(const EmailNotice& n) override;

  // The action kinds of the script language.
  enum class Act {
    Type, Press, Key, Select, DoubleClick, Scroll, Spin, Expect,  // window actions
    Answer, Lookup, Date, Output, Preview, Timers,
  };
  struct Action {
    Act act = Act::Press;
    int line = 0;
    std::string source;  // the line as written
    std::string target, text;
    Key key = Key::None;
    int number = 0;  // row, spin count, timers, answer number (#n), drag percent
    ScrollKind scroll = ScrollKind::None;
    bool cancel = false, current = false;
    int32_t day = 0;
    OutputChoice output;
    PreviewAnswer preview = PreviewAnswer::Close;
  };

 private:
  void line(const std::string& text);
  int indent() const;
  void fail(const std::string& why);
  bool after_failure();  // counts questions asked after a failure; aborts a runaway
  Action* next_action();
  std::string describe_next() const;
  // Resolves a window action against `win`: 0 = done (out filled), 1 = not this window's
  // control (wait), -1 = failed.
  int resolve(Window& win, const Action& a, UserInput* out);

  std::vector<Action> actions_;
  size_t pos_ = 0;
  long timers_left_ = -1;  // ticks still to pass for the current "timers" action
  long idle_timers_ = 0;
  long max_idle_timers_ = 1000000;
  long after_failure_ = 0;
  std::string transcript_;
  std::FILE* echo_ = nullptr;
  Status status_;
};

}  // namespace tdx::ui
