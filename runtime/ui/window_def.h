// WindowDef: a window declared as data.
//
// A window has a title, a size in dialog units of its font, whether it is centred, a help key,
// a font, an optional timer (hundredths of a second), window-wide alert keys and what Esc does;
// then its controls in tab order. Each control has a kind, a label by which code addresses it
// ("?PROGRESS:CANCEL"), a text, the name of the variable it shows or edits ("Glo:BID_ID", bound
// to storage when the window opens), a picture, a position (x, y, w, h; -1 = from the content),
// message and tip texts, alert keys and its attributes. Controls without a label get one made
// from their variable or text ("?Glo:BID_ID", "?Print" for "&Print"; repeats get "2", "3").
//
// Build one in code with WindowBuilder (each modifier applies to the control added last), or
// read the text form of runtime/ui/WINDOW_FORMAT.md with parse_window() (window_text.h). A WindowDef is plain
// data: copy it, keep it in a static, open many windows from it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/decimal/decimal.h"
#include "runtime/picture/picture.h"
#include "runtime/ui/event.h"

namespace tdx::ui {

enum class ControlKind {
  Prompt,    // a constant text
  Entry,     // a one-line entry on a variable through a picture
  Field,     // a display-only variable through a picture (never takes the focus)
  Text,      // a multi-line text box on a variable (memo)
  Button,
  Check,     // stores its true or false value in its variable
  Option,    // a group of radios; stores the value of the radio pressed
  Radio,     // belongs to the option named as its parent (or the option above it)
  List,      // rows set by code, with columns
  Spin,      // a number with a range and a step
  Progress,  // a progress bar, range 0..100 unless given
  Group,     // a frame around the controls that name it as their parent
};
const char* control_kind_name(ControlKind k);
bool parse_control_kind(std::string_view name, ControlKind* out);

using tdx::Justify;  // Left, Right, Center

struct Rect {
  int x = 0, y = 0, w = -1, h = -1;
};

struct Font {
  std::string name;  // empty = the window's
  int size = 0;      // 0 = the window's
  bool bold = false;
  bool italic = false;
};

struct Column {
  int width = 0;  // dialog units
  Justify justify = Justify::Left;
  std::string picture;
  std::string heading;
};

// What Esc does in a window that does not alert it.
enum class EscAction {
  Close,   // post close-window (the default)
  Press,   // press the window's cancel button (esc_button)
  Ignore,  // only the last key is set; the code looks at it (report runs do)
};

struct ControlDef {
  ControlKind kind = ControlKind::Prompt;
  std::string label;
  int id = 0;           // place in the window, from 1; or given (a frame's toolbar: 2000..)
  std::string text;     // prompts, buttons, check boxes, radios, groups; a list's message
  std::string var;      // bound variable's name
  std::string picture;  // entries, fields, spins
  Rect at;
  std::string msg, tip;
  std::vector<Key> alerts;
  bool hidden = false, disabled = false, required = false, read_only = false;
  bool transparent = false;
  Justify justify = Justify::Left;
  Font font;
  std::string parent;  // label of the group or option this control belongs to
  // Check boxes: the values stored when checked and unchecked. Without them a number variable
  // takes 1 and 0, a text variable "1" and blank.
  bool has_values = false;
  std::string true_value, false_value;
  // Radios: the stored value; without it the radio's number within its option (1, 2, ...).
  bool has_value = false;
  std::string value;
  // Spins and progress bars.
  bool has_range = false;
  Decimal low, high, step = Decimal(1);
  // Lists.
  std::vector<Column> columns;
};

struct WindowDef {
  std::string name;  // the procedure's name for the window, for messages; defaults to title
  std::string title;
  int w = 0, h = 0;
  bool centred = false;
  std::string help;
  Font font{"MS Sans Serif", 8, false, false};
  int timer = 0;  // hundredths of a second; 0 = none
  std::vector<Key> alerts;
  EscAction esc = EscAction::Close;
  std::string esc_button;  // EscAction::Press
  std::vector<ControlDef> controls;

  // Index into controls of the control with this label, or -1.
  int find(std::string_view label) const;
  // Fills in missing labels, ids and radio parents; checks that labels and ids are unique,
  // radios sit in an option and parents exist.
  Status finish();
};

// WindowBuilder: declare a window in code.
//   WindowDef def = WindowBuilder("Progress", 162, 64).centred().timer(1)
//       .progress("?PROGRESS:THERMOMETER", {25, 15, 111, 12}).hidden()
//       .button("?PROGRESS:CANCEL", "Cancel", {55, 42, 50, 15})
//       .build();
// build() calls WindowDef::finish(); a declaration error aborts with its text, since it is a
// fault in the program's own declaration, found by the first test that opens the window.
class WindowBuilder {
 public:
  WindowBuilder(std::string title, int w, int h);
  WindowBuilder& name(std::string n);
  WindowBuilder& centred();
  WindowBuilder& help(std::string key);
  WindowBuilder& font(std::string name, int size, bool bold = false);
  WindowBuilder& timer(int hundredths);
  WindowBuilder& alert_key(Key k);  // window-wide, or on the last control once one is added
  WindowBuilder& esc_closes();
  WindowBuilder& esc_presses(std::string button_label);
  WindowBuilder& esc_ignored();

  WindowBuilder& prompt(std::string label, std::string text, Rect at);
  WindowBuilder& entry(std::string label, std::string var, std::string picture, Rect at);
  WindowBuilder& field(std::string label, std::string var, std::string picture, Rect at);
  WindowBuilder& text_box(std::string label, std::string var, Rect at);
  WindowBuilder& button(std::string label, std::string text, Rect at);
  WindowBuilder& check(std::string label, std::string text, std::string var, Rect at);
  WindowBuilder& option(std::string label, std::string text, std::string var, Rect at);
  WindowBuilder& radio(std::string label, std::string text, Rect at);
  WindowBuilder& list(std::string label, Rect at);
  WindowBuilder& spin(std::string label, std::string var, std::string picture, Rect at);
  WindowBuilder& progress(std::string label, Rect at);
  WindowBuilder& group(std::string label, std::string text, Rect at);

  // Modifiers of the last control.
  WindowBuilder& id(int id);
  WindowBuilder& msg(std::string text);
  WindowBuilder& tip(std::string text);
  WindowBuilder& hint(std::string text);  // message and tip alike
  WindowBuilder& hidden();
  WindowBuilder& disabled();
  WindowBuilder& required();
  WindowBuilder& read_only();
  WindowBuilder& transparent();
  WindowBuilder& justify(Justify j);
  WindowBuilder& control_font(std::string name, int size, bool bold = false);
  WindowBuilder& parent(std::string label);
  WindowBuilder& values(std::string true_value, std::string false_value);
  WindowBuilder& value(std::string v);
  WindowBuilder& range(Decimal low, Decimal high, Decimal step = Decimal(1));
  WindowBuilder& column(int width, Justify j, std::string picture, std::string heading = "");

  WindowDef build();

 private:
  WindowBuilder& add(ControlKind kind, std::string label, Rect at);
  ControlDef& last();
  WindowDef def_;
};

}  // namespace tdx::ui
