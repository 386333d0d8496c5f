// Layout: a report's declared design, as data (see LAYOUT.md for the text form).
//
// Units are thousandths of an inch. Positions of controls are relative to the top-left corner
// of their band (or of the header, footer and form); band offsets are relative to the place
// where the band is printed. A size of kAuto ("-" in the text form) follows the content.
// Fonts are partial: a part not given (face, size, colour, style) is taken from the band, then
// from the report. A Layout is plain data: copy it freely; opening a report copies what it needs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"

namespace tdx::report {

inline constexpr int kAuto = -1000000;  // "-": size from the content

enum class Justify { Left, Right, Centre, Decimal };
enum class ControlKind { Text, Field, Line, Box, Image, Group, TextBox };

// A font as declared: every part optional.
struct FontDecl {
  std::optional<std::string> face;
  std::optional<double> size;  // points
  std::optional<unsigned> color;
  std::optional<bool> bold, italic, underline;
};

struct Control {
  ControlKind kind = ControlKind::Text;
  std::string label;    // "?DETAILBAND"-style name; may be empty
  std::string text;     // Text: the constant; Image: the file (may be empty)
  std::string var;      // Field / TextBox: bound variable name; "#PAGE", "#PAGES" built in
  std::string picture;  // Field: "@n-10.2"
  int x = 0, y = 0, w = kAuto, h = kAuto;
  Justify justify = Justify::Left;
  bool justify_given = false;
  int decimal_offset = kAuto;  // Decimal: distance of the point from the right edge
  bool transparent = false;
  bool hidden = false;
  bool boxed = false;  // Group
  int pen = 10;        // Line, Box, boxed Group
  std::optional<unsigned> fill;  // Box
  FontDecl font;
  int group = -1;      // index of the enclosing Group control in the same section, -1 none
  int line = 0;        // source line, for messages
};

struct Section {
  enum class Role { Header, Footer, Form, Detail, BreakHeader, BreakFooter };
  Role role = Role::Detail;
  std::string label;  // bands: "?DETAILBAND" or empty
  // Header/footer/form: absolute rectangle on the paper. Detail bands: x, y offsets where the
  // band is printed, w its width (kAuto = body width), h its height (kAuto = from contents).
  int x = 0, y = 0, w = kAuto, h = kAuto;
  FontDecl font;
  bool keep_with_next = false;
  bool page_before = false;
  int max_height = kAuto;
  int break_index = -1;  // the group break this band belongs to, -1 none
  std::vector<Control> controls;
  int line = 0;
};

struct BreakDecl {
  std::string label;
  std::string by;    // bound variable whose change breaks the group; empty = never changes
  int header = -1;   // band indexes (into Layout::bands), -1 none
  int footer = -1;
};

struct Layout {
  std::string name;   // file or report name, for messages
  std::string title;  // job title ("" = none)
  int paper_w = 8500, paper_h = 11000;
  bool landscape = false;
  int copies = 1;
  bool collate = false;
  int body_x = 500, body_y = 1000, body_w = 7500, body_h = 9000;
  FontDecl font;  // the report's default font (Arial 8 regular black when not given)
  std::optional<Section> header, footer, form;
  std::vector<Section> bands;  // detail and break bands in layout order
  std::vector<BreakDecl> breaks;
};

// Parses the layout text form. `file` names the source in error texts ("file:line: ...").
Result<Layout> parse_layout(std::string_view text, std::string_view file);

// Parses a font text such as "Arial 10 bold", "8 pt, italic", "regular", "#FF0000".
// Returns false when a word is not understood (the word is put in *bad).
bool parse_font_text(std::string_view text, FontDecl* font, std::string* bad);

}  // namespace tdx::report
