// Frontend: the user's side of every window, message box, lookup, dialog and preview.
//
// Procedures never talk to a screen. A window asks the current frontend for the user's next
// input; message boxes, lookup windows, the date selection, the output dialog and previews are
// answered by it; print, fax and e-mail jobs are reported to it so the user can see them. The
// scripted frontend (scripted_frontend.h) answers from a script and writes a transcript; a
// desktop frontend can be added later behind this same interface.
//
// One current frontend per process (tdxruntime is one shared library, so every module sees the
// same one). Without one set, a process has no user: every question fails the run
// (status() tells why) and gets its most harmless answer, so nothing waits forever.
//
// Failure: when the frontend cannot answer (a script with no answer for a box, a window
// waiting for input the script does not give), it records the failure in status(); from then
// on windows end their loops at once, message boxes return their default button, lookups and
// dialogs are cancelled and previews closed, so every procedure unwinds to its caller.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/ui/event.h"
#include "runtime/ui/message_box.h"

namespace tdx::ui {

class Window;

// One thing the user did in a window; `control` is the control's id in that window.
struct UserInput {
  enum class Kind {
    Type,         // text typed into an entry, spin or text box, then the control is left
    Press,        // a button, check box, radio, list (as Enter) or another window's control
    Key,          // a key in the window (on the focused control)
    SelectRow,    // a list row selected (row from 1)
    DoubleClick,  // a list row double-clicked
    Scroll,       // a list scrolled
    Spin,         // a spin box stepped up (count > 0) or down (count < 0)
  };
  Kind kind = Kind::Key;
  int control = 0;
  std::string text;
  Key key = Key::None;
  int row = 0;
  ScrollKind scroll = ScrollKind::None;
  int drag_percent = 0;
  int count = 0;
};

enum class Wait {
  Input,  // the user did something: see the UserInput
  Timer,  // the window's timer is due
  Stop,   // the run has failed or ended: leave the event loop
};

// A lookup (browse) window over a file in key order, positioned at the partial entry.
struct LookupRequest {
  std::string window;   // "BIDBROWSE"
  std::string title;    // shown to the user
  std::string partial;  // the text typed into the keyboard buffer before the call
  // Optional: is there a record with this key value? (Lets a frontend refuse a bad choice.)
  std::function<bool(const std::string&)> exists;
  // Optional: the key value of the record the list is positioned at for the partial entry.
  std::function<std::string(const std::string&)> positioned;
};
struct LookupAnswer {
  bool chosen = false;
  std::string key;  // the chosen record's key value
};

// The calendar: choose a date starting at `day` (a day number, 0 = none).
struct DateRequest {
  int32_t day = 0;
  std::string title;
};
struct DateAnswer {
  bool chosen = false;
  int32_t day = 0;
};

// The output dialog: where a report goes and to whom.
struct OutputChoice {
  bool preview = false, print = false, fax = false, email = false, pdf = false;
  bool off_peak = false;
  std::string pdf_file, email_to, to_name, to_company, fax_number, subject, comments;
};

// A preview of finished pages; the answer is print or close.
struct PreviewRequest {
  std::string title;
  std::vector<std::string> pages;  // page image files, in order
  int page_count = 0;
  std::string folder;  // where the pages were written for the user to see, if anywhere
};
enum class PreviewAnswer { Close, Print };

struct PrintJobNotice {
  std::string title;
  std::string printer;
  int pages = 0;
  int copies = 1;
  std::string where;  // spool file or queue, when known
};
struct FaxJobNotice {
  long id = 0;
  std::string number, to_name, to_company, subject;
  int pages = 0;
  std::string state;  // "submitted", "cancelled", or the error text
};
struct EmailNotice {
  std::string to, to_name, subject, attachment;
  std::string state;  // "sent" or the error text
};

enum class Cursor { Normal, Wait };

class Frontend {
 public:
  virtual ~Frontend() = default;

  // Window life (for what the user sees); shown is called at the window's first accept().
  virtual void window_shown(Window& win) { (void)win; }
  virtual void window_closed(Window& win) { (void)win; }
  virtual void window_title_changed(Window& win) { (void)win; }
  // The next thing the user does in `win` (the active window). With `timer_running`, Timer may
  // be answered when the period has passed or when the user does nothing.
  virtual Wait next_input(Window& win, bool timer_running, UserInput* out) = 0;
  virtual void beep() {}
  virtual void set_cursor(Cursor c) { (void)c; }

  // Returns the 1-based number of the button pressed.
  virtual int message_box(const MessageBox& box) = 0;
  virtual LookupAnswer lookup(const LookupRequest& req) = 0;
  virtual DateAnswer select_date(const DateRequest& req) = 0;
  // Fills *choice; false when the user cancelled.
  virtual bool output_dialog(OutputChoice* choice) = 0;
  virtual PreviewAnswer preview(const PreviewRequest& req) = 0;
  virtual void print_job(const PrintJobNotice& n) { (void)n; }
  virtual void fax_job(const FaxJobNotice& n) { (void)n; }
  virtual void email_sent(const EmailNotice& n) { (void)n; }

  // Ok, or why the run failed.
  virtual Status status() const { return Status::Ok(); }
  bool failed() const { return !status().ok(); }
};

// The process's current frontend; never null (a no-user frontend when none was set).
Frontend& current_frontend();
// Sets the current frontend (not owned; nullptr restores the no-user frontend).
void set_current_frontend(Frontend* f);

// Sets a frontend for a scope and restores the previous one.
class ScopedFrontend {
 public:
  explicit ScopedFrontend(Frontend* f);
  ~ScopedFrontend();
  ScopedFrontend(const ScopedFrontend&) = delete;
  ScopedFrontend& operator=(const ScopedFrontend&) = delete;

 private:
  Frontend* previous_;
};

// Convenience entry points for callers outside the window layer (tdxcore's lookups, the
// calendar, the output dialog, the previewer and the output platform).
LookupAnswer lookup(const LookupRequest& req);
DateAnswer select_date(int32_t day, std::string title = "");
bool output_dialog(OutputChoice* choice);
PreviewAnswer preview(const PreviewRequest& req);
void beep();
void set_cursor(Cursor c);

}  // namespace tdx::ui
