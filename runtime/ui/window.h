// Window: an open window built from a WindowDef, with the event loop a procedure pulls from.
//
//   Window win(def);
//   win.bind("Glo:BID_ID", VarRef::String(glo.BID_ID, 24));
//   if (!win.open().ok()) ...;
//   Event ev;
//   while (win.accept(ev)) {
//     if (ev.is(EventKind::Accepted, "?Print")) ...
//   }
//
// accept() returns the next event: posted events first, then whatever the user does (asked
// of the current frontend), or the timer when it is due (its period has passed, or the user
// has nothing pending). The first event is open-window. After a close-window event has been
// returned, the next accept() closes the window and returns false, unless the code called
// keep_open() while handling it. accept() also returns false at once when the frontend has
// failed (see frontend.h), so every loop unwinds.
//
// What user input becomes:
//   - typing into an entry/spin/text box moves the focus there (selected), then the text is
//     deformatted through the picture: a value that does not fit (or is outside a spin's
//     range) gives rejected, keeps the variable and the focus; otherwise the variable takes
//     the value, accepted follows when the text changed (or the control was touched), and the
//     focus moves on to the next control (selected) unless the code selected one meanwhile;
//   - pressing a button gives accepted; a check box toggles its value then accepted; a radio
//     stores its value in its option's variable then accepted on the option;
//   - a key sets the last key (keyboard.h); an alert key of the focused control or the window
//     gives alert-key; Tab/Enter move the focus (Enter presses a focused button); Esc does
//     what the window declares (close, press its cancel button, or nothing);
//   - list rows: selected row (new-selection), double click (accepted with key MouseLeft2),
//     scrolling (scroll with its kind; the code refills the rows).
// Windows opened from inside another window's loop are modal: only the innermost one asks for
// input; when it closes, its parent gets gain-focus.
//
// A Window belongs to the procedure that opened it, on the one thread that runs windows.
// Control addressing: by label (case-insensitive) or id. Unknown labels are ignored by the
// setters (reported once on stderr), as the runtime ignores an unknown control.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/base/value.h"
#include "runtime/ui/event.h"
#include "runtime/ui/frontend.h"
#include "runtime/ui/window_def.h"

namespace tdx::ui {

// Run-time state of one control.
struct ControlState {
  std::string text, msg, tip;
  bool hidden = false, disabled = false, touched = false, required = false;
  std::string screen;  // what the control shows now (entries: formatted value)
  int progress = 0;
  std::vector<std::vector<std::string>> rows;  // lists
  int selected_row = 0;                         // lists: 1-based, 0 = none
};

class Window {
 public:
  explicit Window(WindowDef def);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Binds a variable name used by the window's controls to its storage. REQUIRES: !is_open()
  void bind(std::string_view var, VarRef ref);
  // Opens the window (modal over the active one); the first event will be open-window.
  // Error when a control's variable is not bound.
  Status open();
  // Closes the window (also done by the loop's end and the destructor).
  void close();
  bool is_open() const { return open_; }

  // The event loop: see the header comment.
  bool accept(Event& ev);
  // Keeps the window open after the close-window event being handled.
  void keep_open() { closing_ = false; }

  // Posts an event to this window (to a control by label; empty label = window event).
  void post(EventKind kind, std::string_view label = "");
  void post(const Event& ev);

  // Control lookup.
  int id(std::string_view label) const;       // 0 when unknown
  std::string label(int id) const;
  const ControlDef* control_def(int id) const;
  const ControlState* control_state(int id) const;
  const WindowDef& def() const { return def_; }
  std::vector<int> control_ids() const;  // in tab order

  // Focus.
  void select(std::string_view label);  // gives the control the focus (selected follows)
  void select_first();                  // the first control that can take the focus
  int focus() const { return focus_; }
  std::string focus_label() const { return label(focus_); }
  // Starts the accept-all pass: accepted for every visible, enabled data control in order,
  // then completed; stopped by a rejected value or by the code selecting a control.
  void accept_all();
  bool in_accept_all() const { return accept_all_; }

  // Display: controls show their variables again.
  void display();
  void display(std::string_view label);
  // Run-time properties.
  void set_text(std::string_view label, std::string_view text);
  std::string text(std::string_view label) const;
  void set_msg(std::string_view label, std::string_view text);
  void set_tip(std::string_view label, std::string_view text);
  void hide(std::string_view label) { set_hidden(label, true); }
  void unhide(std::string_view label) { set_hidden(label, false); }
  void set_hidden(std::string_view label, bool hidden);
  bool hidden(std::string_view label) const;  // own flag or a hidden group/option around it
  void enable(std::string_view label) { set_disabled(label, false); }
  void disable(std::string_view label) { set_disabled(label, true); }
  void set_disabled(std::string_view label, bool disabled);
  bool disabled(std::string_view label) const;
  void set_required(std::string_view label, bool required);
  // The changed mark: a touched entry gives accepted when left even with its text unchanged.
  void set_touched(std::string_view label, bool touched);
  bool touched(std::string_view label) const;
  void set_progress(std::string_view label, int value);
  int progress(std::string_view label) const;
  // What a control shows (entries and fields: the formatted value; others: their text).
  std::string screen_text(std::string_view label) const;
  // Check boxes: whether the box shows checked.
  bool checked(std::string_view label) const;

  void set_title(std::string_view title);
  const std::string& title() const { return title_; }
  void set_timer(int hundredths) { timer_ = hundredths; }
  int timer() const { return timer_; }
  void beep();
  void set_wait_cursor(bool wait);

  // Lists: the rows shown (cells by column), the selected row (1-based), the rows a page holds.
  void set_list_rows(std::string_view label, std::vector<std::vector<std::string>> rows);
  const std::vector<std::vector<std::string>>& list_rows(std::string_view label) const;
  void set_list_selection(std::string_view label, int row);
  int list_selection(std::string_view label) const;
  int list_page_rows(std::string_view label) const;

  // Controls of another window (a frame's toolbar) that this window handles while it is open:
  // presses of them come to this window as accepted with their id and label.
  void use_controls_of(Window& owner, std::vector<int> ids);
  // Finds a control of this window, or one it uses from another window. *owner is the window
  // the control belongs to.
  int find_borrowed(std::string_view name_or_id, Window** owner);
  Status set_control_disabled(int id, bool disabled);  // by id (borrowed controls included)
  void set_control_tip(int id, std::string_view tip);

  // For frontends: finds the control a script names. Typing targets: label or variable name.
  // Pressing targets: label, or text without '&' (case-insensitive).
  int find_for_typing(std::string_view name) const;
  int find_for_pressing(std::string_view name) const;
  // Whether a control can take input now (visible and enabled).
  bool usable(int id) const;

  // The innermost open window, or nullptr.
  static Window* active();
  // Number of windows open (the nesting depth of `this` is depth() - 1 while it is active).
  static int open_count();

 private:
  using Step = std::function<void()>;
  struct Item {
    bool is_event = true;
    Event ev;
    Step step;
  };

  int index(int id) const;  // index into def_.controls, -1 when unknown
  int index_of(std::string_view label) const;
  ControlState* state_of(std::string_view label);
  const ControlState* state_of(std::string_view label) const;
  const VarRef* var_of(int idx) const;
  void refresh(int idx);
  Event control_event(EventKind kind, int idx) const;
  void queue_event(EventKind kind, int idx);
  bool can_focus(int idx) const;
  int next_focus(int from, int direction) const;
  void move_focus(int idx);
  void translate(const UserInput& in);
  void complete_typing(int idx, const std::string& typed);
  void press(int idx);
  void key(Key k);
  bool alerted(int idx, Key k) const;
  Decimal spin_value(int idx) const;

  WindowDef def_;
  std::vector<ControlState> states_;
  std::map<std::string, VarRef> vars_;  // by lower-cased variable name
  std::deque<Item> queue_;
  std::string title_;
  int timer_ = 0;
  int focus_ = 0;
  unsigned focus_generation_ = 0;
  bool open_ = false, shown_ = false, closing_ = false, accept_all_ = false;
  bool wait_cursor_ = false;
  struct Borrowed {
    Window* owner;
    int id;
  };
  std::vector<Borrowed> borrowed_;
};

// Formats a value through a picture for an entry (no picture: the text as it is).
std::string format_entry(const Value& v, std::string_view picture);
// Deformats typed text through an entry's picture; kRejected-coded error when it does not fit.
Result<Value> deformat_entry(std::string_view typed, std::string_view picture);

}  // namespace tdx::ui
