// Robot: drives the desktop frontend with real mouse clicks and key presses, from a short
// script, so a run on a display (or under Xvfb) can be tested and photographed. The language
// is documented in docs/desktop.md:
//
//   wait window|message|lookup|date|output|preview ["TITLE PART"]
//   shot FILE                 a PNG of what waits now (the window, box or dialog)
//   screen FILE               a PNG of the whole screen
//   type TARGET TEXT          click into the control, replace its text by TEXT (then Tab in a
//                             declared window, so the window takes the entry)
//   key KEY [TARGET]          F1..F12, Esc, Tab, ShiftTab, Enter, Up, Down, Left, Right, PgUp,
//                             PgDn, Home, End, Space
//   click TARGET              a button (by label, object name or its text without '&')
//   pause N                   let N ticks (20 ms each) pass while the program runs
//
// A TARGET is a control label ("?Glo:Manufac", "?Print"), a variable name, or a button's text.
// The robot looks at the script each tick of the GUI loop and each time the frontend starts to
// wait: a wait step passes when what waits is of that kind and its title holds the text; other
// steps act on what waits and take one tick each. A wait that is not met in `timeout_ms`, or a
// run that still waits for the user after the last step, fails the run with a message naming
// the step, so an unattended run never hangs.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"

namespace tdx::desktop {

class WindowView;

// What the frontend waits on now.
struct Waiting {
  std::string kind;  // window, message, lookup, date, output, preview
  std::string title;
  QPointer<QWidget> top;
  WindowView* view = nullptr;  // for windows
};

class Robot {
 public:
  Status load(std::string_view text, std::string_view name = "robot");
  bool loaded() const { return !steps_.empty(); }
  bool done() const { return pos_ >= steps_.size(); }
  void set_timeout_ms(int ms) { timeout_ms_ = ms; }
  // One look at the script; an error fails the run.
  Status poll(const Waiting& now);

 private:
  struct Step {
    std::string verb, target, text;
    int number = 0;
    int line = 0;
    std::string source;
  };
  Status act(const Step& s, const Waiting& now);

  std::vector<Step> steps_;
  size_t pos_ = 0;
  int timeout_ms_ = 30000;
  QElapsedTimer since_;  // since the current step began
  bool started_ = false;
  const void* idle_top_ = nullptr;  // after the last step: what waits, and since when
  QElapsedTimer idle_;
};

}  // namespace tdx::desktop
