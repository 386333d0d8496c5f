// The layout text form (LAYOUT.md) -> Layout.
#include <cctype>
#include <charconv>
#include <map>

#include "runtime/report/layout.h"
#include "runtime/report/rowfile.h"

namespace tdx::report {

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool parse_int(std::string_view s, int* out) {
  s = trim(s);
  if (s == "-") {
    *out = kAuto;
    return true;
  }
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  auto r = std::from_chars(s.data(), s.data() + s.size(), *out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && !s.empty();
}

bool parse_double(std::string_view s, double* out) {
  s = trim(s);
  auto r = std::from_chars(s.data(), s.data() + s.size(), *out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && !s.empty();
}

bool parse_color(std::string_view s, unsigned* out) {
  s = trim(s);
  if (!s.empty() && s[0] == '#') s.remove_prefix(1);
  if (s.size() != 6) return false;
  auto r = std::from_chars(s.data(), s.data() + s.size(), *out, 16);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// "x,y,w,h" with "-" allowed in any place.
bool parse_rect(std::string_view s, int v[4]) {
  for (int i = 0; i < 4; ++i) {
    size_t c = s.find(',');
    std::string_view part = s.substr(0, c);
    if (!parse_int(part, &v[i])) return false;
    if (i < 3) {
      if (c == std::string_view::npos) return false;
      s.remove_prefix(c + 1);
    } else if (c != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

bool known_face(std::string_view face) {
  static const char* const kFaces[] = {"arial", "ms sans serif", "microsoft sans serif",
                                       "tahoma", "verdana", "times new roman", "times",
                                       "courier new", "courier", "helvetica",
                                       "liberation sans", "liberation serif", "liberation mono",
                                       "dejavu sans", "dejavu serif", "dejavu sans mono"};
  std::string l = lower(face);
  for (const char* f : kFaces)
    if (l == f) return true;
  return false;
}

}  // namespace

bool parse_font_text(std::string_view text, FontDecl* font, std::string* bad) {
  std::string name;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == ',')) ++i;
    size_t j = i;
    while (j < text.size() && text[j] != ' ' && text[j] != ',') ++j;
    if (j == i) break;
    std::string_view word = text.substr(i, j - i);
    std::string lw = lower(word);
    double size;
    unsigned color;
    if (lw == "bold") {
      font->bold = true;
    } else if (lw == "italic") {
      font->italic = true;
    } else if (lw == "underline" || lw == "underlined") {
      font->underline = true;
    } else if (lw == "regular" || lw == "normal") {
      font->bold = false;
      font->italic = false;
      font->underline = false;
    } else if (lw == "pt") {
      // "8 pt": the unit is implied
    } else if (parse_double(word, &size)) {
      if (size <= 0 || size > 200) {
        *bad = std::string(word);
        return false;
      }
      font->size = size;
    } else if (word[0] == '#' && parse_color(word, &color)) {
      font->color = color;
    } else if (std::isalpha(static_cast<unsigned char>(word[0]))) {
      if (!name.empty()) name += ' ';
      name += std::string(word);
    } else {
      *bad = std::string(word);
      return false;
    }
    i = j;
  }
  if (!name.empty()) font->face = name;
  return true;
}

namespace {

class Parser {
 public:
  Parser(std::string_view file) : file_(file) {}

  Result<Layout> Run(std::string_view text) {
    auto rows = read_rows(text, file_);
    if (!rows.ok()) return rows.status();
    layout_.name = std::string(file_);
    for (const Row& row : *rows) {
      Status s = row.kind == Row::Kind::Table ? TableRow(row) : Directive(row);
      if (!s.ok()) return s;
    }
    if (in_break_ >= 0) return row_error(file_, last_line_, "break without end");
    if (!groups_.empty()) return row_error(file_, last_line_, "group without end");
    return layout_;
  }

 private:
  Status Err(int line, std::string text) { return row_error(file_, line, text); }

  Status Directive(const Row& row) {
    last_line_ = row.line;
    std::string word = lower(row.cells[0]);
    if (!groups_.empty()) return Err(row.line, "group without end before '" + word + "'");
    if (word == "report") return ReportLine(row);
    if (word == "end") {
      if (in_break_ < 0) return Err(row.line, "end without break");
      in_break_ = -1;
      current_ = nullptr;
      return Status();
    }
    if (word == "break") {
      if (in_break_ >= 0) return Err(row.line, "nested break");
      BreakDecl b;
      for (size_t i = 1; i < row.cells.size(); ++i) {
        std::string k, v;
        if (split_key_value(row.cells[i], &k, &v) && lower(k) == "by") {
          b.by = v;
        } else if (row.cells[i][0] == '?') {
          b.label = row.cells[i];
        } else {
          return Err(row.line, "unknown break option '" + row.cells[i] + "'");
        }
      }
      layout_.breaks.push_back(b);
      in_break_ = static_cast<int>(layout_.breaks.size()) - 1;
      current_ = nullptr;
      return Status();
    }
    Section sec;
    sec.line = row.line;
    bool band = false;
    if (word == "header" || word == "footer") {
      if (in_break_ >= 0) {
        sec.role = word == "header" ? Section::Role::BreakHeader : Section::Role::BreakFooter;
        band = true;
      } else {
        sec.role = word == "header" ? Section::Role::Header : Section::Role::Footer;
      }
    } else if (word == "form") {
      sec.role = Section::Role::Form;
    } else if (word == "band") {
      sec.role = Section::Role::Detail;
      band = true;
    } else {
      return Err(row.line, "unknown directive '" + row.cells[0] + "'");
    }
    for (size_t i = 1; i < row.cells.size(); ++i) {
      const std::string& c = row.cells[i];
      std::string k, v;
      if (c[0] == '?') {
        sec.label = c;
        continue;
      }
      if (!split_key_value(c, &k, &v)) {
        std::string lc = lower(c);
        if (lc == "keep" || lc == "keepwithnext") {
          sec.keep_with_next = true;
        } else if (lc == "pagebefore") {
          sec.page_before = true;
        } else {
          return Err(row.line, "unknown option '" + c + "'");
        }
        continue;
      }
      k = lower(k);
      int n;
      if (k == "at") {
        int r[4];
        if (!parse_rect(v, r)) return Err(row.line, "bad rectangle '" + v + "'");
        sec.x = r[0] == kAuto ? 0 : r[0];
        sec.y = r[1] == kAuto ? 0 : r[1];
        sec.w = r[2];
        sec.h = r[3];
      } else if (k == "width" && parse_int(v, &n)) {
        sec.w = n;
      } else if (k == "height" && parse_int(v, &n)) {
        sec.h = n;
      } else if (k == "maxheight" && parse_int(v, &n)) {
        sec.max_height = n;
      } else if (k == "font") {
        std::string bad;
        if (!parse_font_text(v, &sec.font, &bad)) return Err(row.line, "bad font word '" + bad + "'");
      } else {
        return Err(row.line, "bad option '" + c + "'");
      }
    }
    if (!band) {
      if (sec.w == kAuto || sec.h == kAuto) {
        // Header, footer and form need a place; a missing size takes the body's width and
        // the height of their contents (computed when the report opens).
        if (sec.w == kAuto) sec.w = layout_.body_w;
      }
      std::optional<Section>* slot = sec.role == Section::Role::Header   ? &layout_.header
                                     : sec.role == Section::Role::Footer ? &layout_.footer
                                                                         : &layout_.form;
      if (slot->has_value()) return Err(row.line, "second " + word);
      *slot = std::move(sec);
      current_ = &**slot;
      return Status();
    }
    sec.break_index = in_break_;
    if (!sec.label.empty()) {
      for (const Section& b : layout_.bands)
        if (lower(b.label) == lower(sec.label)) return Err(row.line, "duplicate band " + sec.label);
    }
    layout_.bands.push_back(std::move(sec));
    int idx = static_cast<int>(layout_.bands.size()) - 1;
    if (in_break_ >= 0) {
      BreakDecl& b = layout_.breaks[in_break_];
      if (layout_.bands[idx].role == Section::Role::BreakHeader) {
        if (b.header >= 0) return Err(row.line, "second header in break");
        b.header = idx;
      } else if (layout_.bands[idx].role == Section::Role::BreakFooter) {
        if (b.footer >= 0) return Err(row.line, "second footer in break");
        b.footer = idx;
      }
    }
    current_ = &layout_.bands[idx];
    return Status();
  }

  Status ReportLine(const Row& row) {
    for (size_t i = 1; i < row.cells.size(); ++i) {
      const std::string& c = row.cells[i];
      std::string k, v;
      if (!split_key_value(c, &k, &v)) {
        std::string lc = lower(c);
        if (lc == "landscape") {
          layout_.landscape = true;
        } else if (lc == "portrait") {
          layout_.landscape = false;
        } else if (lc == "collate") {
          layout_.collate = true;
        } else {
          return Err(row.line, "unknown report option '" + c + "'");
        }
        continue;
      }
      k = lower(k);
      int n;
      if (k == "name") {
        layout_.name = v;
      } else if (k == "title") {
        layout_.title = v;
      } else if (k == "body") {
        int r[4];
        if (!parse_rect(v, r) || r[2] <= 0 || r[3] <= 0)
          return Err(row.line, "bad body rectangle '" + v + "'");
        layout_.body_x = r[0];
        layout_.body_y = r[1];
        layout_.body_w = r[2];
        layout_.body_h = r[3];
      } else if (k == "paper") {
        std::string lv = lower(v);
        if (lv == "letter") {
          layout_.paper_w = 8500, layout_.paper_h = 11000;
        } else if (lv == "legal") {
          layout_.paper_w = 8500, layout_.paper_h = 14000;
        } else if (lv == "a4") {
          layout_.paper_w = 8268, layout_.paper_h = 11693;
        } else {
          size_t xpos = lv.find('x');
          int w, h;
          if (xpos == std::string::npos || !parse_int(lv.substr(0, xpos), &w) ||
              !parse_int(lv.substr(xpos + 1), &h) || w <= 0 || h <= 0 || w > 32000 || h > 32000)
            return Err(row.line, "bad paper '" + v + "'");
          layout_.paper_w = w, layout_.paper_h = h;
        }
      } else if (k == "orientation") {
        std::string lv = lower(v);
        if (lv != "landscape" && lv != "portrait") return Err(row.line, "bad orientation");
        layout_.landscape = lv == "landscape";
      } else if (k == "copies" && parse_int(v, &n) && n >= 1) {
        layout_.copies = n;
      } else if (k == "collate") {
        std::string lv = lower(v);
        layout_.collate = lv == "on" || lv == "1" || lv == "yes";
      } else if (k == "font") {
        std::string bad;
        if (!parse_font_text(v, &layout_.font, &bad))
          return Err(row.line, "bad font word '" + bad + "'");
      } else {
        return Err(row.line, "bad report option '" + c + "'");
      }
    }
    return Status();
  }

  Status TableRow(const Row& row) {
    last_line_ = row.line;
    if (row.cells.empty()) return Status();
    std::string kind = lower(row.cells[0]);
    if (kind == "kind") return Status();  // the table's heading row
    if (current_ == nullptr) return Err(row.line, "control outside a header, band, footer or form");
    if (kind == "end") {
      if (groups_.empty()) return Err(row.line, "end without group");
      groups_.pop_back();
      return Status();
    }
    Control c;
    c.line = row.line;
    if (kind == "text") {
      c.kind = ControlKind::Text;
    } else if (kind == "field") {
      c.kind = ControlKind::Field;
    } else if (kind == "line") {
      c.kind = ControlKind::Line;
    } else if (kind == "box") {
      c.kind = ControlKind::Box;
    } else if (kind == "image") {
      c.kind = ControlKind::Image;
    } else if (kind == "group") {
      c.kind = ControlKind::Group;
    } else if (kind == "textbox" || kind == "text box") {
      c.kind = ControlKind::TextBox;
    } else {
      return Err(row.line, "unknown control kind '" + row.cells[0] + "'");
    }
    if (row.cells.size() < 8)
      return Err(row.line, "a control row needs kind, label, content, picture, x, y, w, h");
    auto cell = [&](size_t i) -> std::string { return i < row.cells.size() ? row.cells[i] : ""; };
    c.label = cell(1);
    if (!c.label.empty() && c.label[0] != '?')
      return Err(row.line, "label '" + c.label + "' must start with '?'");
    std::string content = cell(2);
    switch (c.kind) {
      case ControlKind::Text:
        if (!is_quoted(content)) return Err(row.line, "a text needs a quoted text");
        c.text = unquote(content);
        break;
      case ControlKind::Field:
      case ControlKind::TextBox:
        if (content.empty() && c.kind == ControlKind::Field)
          return Err(row.line, "a field needs a variable");
        if (is_quoted(content)) {
          c.text = unquote(content);  // a text box may carry a constant text
        } else {
          c.var = content;
        }
        break;
      case ControlKind::Image:
        c.text = unquote(content);
        break;
      default:
        if (!content.empty()) return Err(row.line, "this control takes no content");
    }
    c.picture = cell(3);
    if (!c.picture.empty() && c.kind != ControlKind::Field)
      return Err(row.line, "only fields take a picture");
    int* nums[4] = {&c.x, &c.y, &c.w, &c.h};
    for (int i = 0; i < 4; ++i) {
      std::string v = cell(4 + i);
      if (v.empty()) v = "-";
      if (!parse_int(v, nums[i])) return Err(row.line, "bad number '" + v + "'");
    }
    if (c.x == kAuto || c.y == kAuto) return Err(row.line, "x and y must be given");
    if (c.kind == ControlKind::Line) {
      if (c.w == kAuto) c.w = 0;
      if (c.h == kAuto) c.h = 0;
    }
    if ((c.kind == ControlKind::Box || c.kind == ControlKind::Image ||
         c.kind == ControlKind::Group) &&
        (c.w == kAuto || c.h == kAuto))
      return Err(row.line, "this control needs a width and a height");
    for (size_t i = 8; i < row.cells.size(); ++i) {
      Status s = Attributes(row.line, row.cells[i], &c);
      if (!s.ok()) return s;
    }
    if (!groups_.empty()) c.group = groups_.back();
    current_->controls.push_back(std::move(c));
    if (kind == "group") groups_.push_back(static_cast<int>(current_->controls.size()) - 1);
    return Status();
  }

  Status Attributes(int line, std::string_view text, Control* c) {
    size_t i = 0;
    while (i <= text.size()) {
      size_t j = text.find(',', i);
      if (j == std::string_view::npos) j = text.size();
      std::string item(trim(text.substr(i, j - i)));
      i = j + 1;
      if (item.empty()) continue;
      std::string li = lower(item);
      std::string k, v;
      int n;
      if (li == "left") {
        c->justify = Justify::Left, c->justify_given = true;
      } else if (li == "right") {
        c->justify = Justify::Right, c->justify_given = true;
      } else if (li == "centre" || li == "centred" || li == "center" || li == "centered") {
        c->justify = Justify::Centre, c->justify_given = true;
      } else if (li == "decimal") {
        c->justify = Justify::Decimal, c->justify_given = true;
      } else if (li == "transparent") {
        c->transparent = true;
      } else if (li == "hidden" || li == "hidden at start") {
        c->hidden = true;
      } else if (li == "boxed") {
        c->boxed = true;
      } else if (split_key_value(item, &k, &v)) {
        k = lower(k);
        unsigned color;
        if (k == "decimal" && parse_int(v, &n)) {
          c->justify = Justify::Decimal, c->justify_given = true;
          c->decimal_offset = n;
        } else if (k == "pen" && parse_int(v, &n) && n >= 0) {
          c->pen = n;
        } else if (k == "fill" && parse_color(v, &color)) {
          c->fill = color;
        } else {
          return Err(line, "bad attribute '" + item + "'");
        }
      } else {
        std::string bad;
        FontDecl f = c->font;
        if (!parse_font_text(item, &f, &bad)) return Err(line, "unknown attribute '" + bad + "'");
        // A bare name is a face only when it is one the renderer knows; anything else is a typo.
        if (f.face != c->font.face && !f.size && !f.bold && !f.italic && !f.underline &&
            !f.color && !known_face(*f.face))
          return Err(line, "unknown attribute '" + item + "'");
        c->font = f;
      }
    }
    return Status();
  }

  std::string file_;
  Layout layout_;
  Section* current_ = nullptr;
  int in_break_ = -1;
  std::vector<int> groups_;
  int last_line_ = 0;
};

}  // namespace

Result<Layout> parse_layout(std::string_view text, std::string_view file) {
  Parser p(file);
  return p.Run(text);
}

}  // namespace tdx::report
