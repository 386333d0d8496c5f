// Events and keys of the window event loop.
//
// A procedure runs a window by pulling events one at a time (`while (win.accept(ev)) {...}`).
// Each Event names what happened and, for control events, the control by its id and label.
// Keys are the few the system's windows react to; a frontend translates the user's keys into
// them. Key names ("F2", "Esc", "Tab", "Enter", ...) are what the scripted frontend reads.
#pragma once

#include <string>
#include <string_view>

namespace tdx::ui {

enum class EventKind {
  None,
  OpenWindow,    // first event of every window
  CloseWindow,   // the loop ends at the next accept() unless the code calls keep_open()
  Accepted,      // a control's value was completed, a button or check box pressed, a posted press
  Selected,      // a control received the focus
  AlertKey,      // an alerted key (F2 on a lookup or date entry) was pressed
  Rejected,      // a typed value does not fit the entry's picture or range; focus stays
  GainFocus,     // the window became active again (a window opened from it has closed)
  Timer,         // the window's timer is due
  Completed,     // the end of an accept-all pass that was not interrupted
  NewSelection,  // a list row or a spin value changed
  Scroll,        // a list was asked to move (see ScrollKind)
};

enum class Key {
  None, F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  Esc, Tab, ShiftTab, Enter, Up, Down, PageUp, PageDown, Home, End, Delete,
  MouseLeft2,  // a double click
};

enum class ScrollKind { None, RowUp, RowDown, PageUp, PageDown, Top, Bottom, Drag };

struct Event {
  EventKind kind = EventKind::None;
  int control = 0;      // 0 for window events
  std::string label;    // the control's label ("?PROGRESS:CANCEL"), empty for window events
  Key key = Key::None;  // AlertKey: the key; Accepted on a list: MouseLeft2 for a double click
  ScrollKind scroll = ScrollKind::None;
  int drag_percent = 0;  // Scroll/Drag: where the scroll box was released, 0..100

  bool is(EventKind k) const { return kind == k; }
  // Control event of this kind on the control with this label (case-insensitive).
  bool is(EventKind k, std::string_view control_label) const;
};

const char* event_kind_name(EventKind k);
const char* key_name(Key k);
// "F2", "esc", "PgDn", ... (case-insensitive); Key::None when unknown.
Key parse_key(std::string_view name);

// Labels compare without regard to case, as the runtime's labels do.
bool same_label(std::string_view a, std::string_view b);

}  // namespace tdx::ui
