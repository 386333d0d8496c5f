#include "runtime/ui/window_text.h"

#include <cctype>

#include "runtime/report/rowfile.h"

namespace tdx::ui {

namespace {

using report::Row;
using report::unquote;

// Splits at `sep` outside double quotes.
std::vector<std::string> split_outside_quotes(std::string_view s, char sep) {
  std::vector<std::string> out(1);
  bool q = false;
  for (char c : s) {
    if (c == '"') q = !q;
    if (!q && c == sep) {
      out.emplace_back();
      continue;
    }
    out.back() += c;
  }
  return out;
}

// Words of an attribute cell: blanks separate, quotes protect.
std::vector<std::string> words_of(std::string_view s) {
  std::vector<std::string> out;
  for (auto& w : split_outside_quotes(s, ' '))
    if (!w.empty()) out.push_back(w);
  return out;
}

bool to_int(std::string_view s, int* out) {
  if (s == "-") {
    *out = -1;
    return true;
  }
  if (s.empty()) return false;
  size_t i = s[0] == '-' ? 1 : 0;
  if (i == s.size()) return false;
  int v = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    v = v * 10 + (s[i] - '0');
  }
  *out = s[0] == '-' ? -v : v;
  return true;
}

bool to_justify(std::string_view s, Justify* j) {
  if (same_label(s, "left")) *j = Justify::Left;
  else if (same_label(s, "right")) *j = Justify::Right;
  else if (same_label(s, "center") || same_label(s, "centre")) *j = Justify::Center;
  else return false;
  return true;
}

bool to_font(const std::vector<std::string>& parts, Font* f) {
  if (parts.empty()) return false;
  f->name = unquote(parts[0]);
  for (size_t i = 1; i < parts.size(); ++i) {
    if (same_label(parts[i], "bold")) f->bold = true;
    else if (same_label(parts[i], "italic")) f->italic = true;
    else if (same_label(parts[i], "regular")) f->bold = f->italic = false;
    else if (!to_int(parts[i], &f->size)) return false;
  }
  return true;
}

Status bad(std::string_view file, int line, const std::string& what) {
  return report::row_error(file, line, what);
}

// One attribute word (key or key=value) of a control.
Status control_attribute(const std::string& word, ControlDef* c, std::string_view file,
                         int line) {
  std::string key, value;
  bool has_value = report::split_key_value(word, &key, &value);
  if (!has_value) key = word;
  std::vector<std::string> parts;
  if (has_value) {
    size_t eq = word.find('=');
    for (auto& p : split_outside_quotes(std::string_view(word).substr(eq + 1), ','))
      parts.push_back(p);
  }
  auto need = [&](size_t n) { return has_value && parts.size() >= n; };
  Justify j;
  if (!has_value && same_label(key, "hidden")) c->hidden = true;
  else if (!has_value && same_label(key, "disabled")) c->disabled = true;
  else if (!has_value && same_label(key, "required")) c->required = true;
  else if (!has_value && same_label(key, "readonly")) c->read_only = true;
  else if (!has_value && same_label(key, "transparent")) c->transparent = true;
  else if (!has_value && to_justify(key, &j)) c->justify = j;
  else if (same_label(key, "msg") && has_value) c->msg = value;
  else if (same_label(key, "tip") && has_value) c->tip = value;
  else if (same_label(key, "hint") && has_value) c->msg = c->tip = value;
  else if (same_label(key, "parent") && has_value) c->parent = value;
  else if (same_label(key, "value") && has_value) {
    c->has_value = true;
    c->value = value;
  } else if (same_label(key, "values") && need(2)) {
    c->has_values = true;
    c->true_value = unquote(parts[0]);
    c->false_value = unquote(parts[1]);
  } else if (same_label(key, "alert") && has_value) {
    for (auto& p : parts) {
      Key k = parse_key(p);
      if (k == Key::None) return bad(file, line, "unknown key \"" + p + "\"");
      c->alerts.push_back(k);
    }
  } else if (same_label(key, "id") && has_value) {
    if (!to_int(value, &c->id) || c->id <= 0) return bad(file, line, "bad id \"" + value + "\"");
  } else if (same_label(key, "range") && need(2)) {
    auto lo = Decimal::Parse(parts[0]);
    auto hi = Decimal::Parse(parts[1]);
    if (!lo.ok() || !hi.ok() || *hi < *lo) return bad(file, line, "bad range \"" + value + "\"");
    c->has_range = true;
    c->low = *lo;
    c->high = *hi;
    if (parts.size() > 2) {
      auto st = Decimal::Parse(parts[2]);
      if (!st.ok() || !(Decimal(0) < *st)) return bad(file, line, "bad step \"" + parts[2] + "\"");
      c->step = *st;
    }
  } else if (same_label(key, "font") && has_value) {
    if (!to_font(parts, &c->font)) return bad(file, line, "bad font \"" + value + "\"");
  } else if (same_label(key, "column") && need(1)) {
    Column col;
    if (!to_int(parts[0], &col.width)) return bad(file, line, "bad column \"" + value + "\"");
    if (parts.size() > 1 && !to_justify(parts[1], &col.justify))
      return bad(file, line, "bad column justification \"" + parts[1] + "\"");
    if (parts.size() > 2) col.picture = unquote(parts[2]);
    if (parts.size() > 3) col.heading = unquote(parts[3]);
    c->columns.push_back(col);
  } else {
    return bad(file, line, "unknown attribute \"" + word + "\"");
  }
  return Status::Ok();
}

Status window_directive(const Row& row, WindowDef* def, std::string_view file) {
  const auto& w = row.cells;
  if (w.size() < 4 || !report::is_quoted(w[1]) || !to_int(w[2], &def->w) ||
      !to_int(w[3], &def->h))
    return bad(file, row.line, "window needs a quoted title, a width and a height");
  def->title = unquote(w[1]);
  for (size_t i = 4; i < w.size(); ++i) {
    std::string key, value;
    bool kv = report::split_key_value(w[i], &key, &value);
    if (!kv && (same_label(w[i], "centred") || same_label(w[i], "centered"))) {
      def->centred = true;
    } else if (kv && same_label(key, "help")) {
      def->help = value;
    } else if (kv && same_label(key, "name")) {
      def->name = value;
    } else if (kv && same_label(key, "timer")) {
      if (!to_int(value, &def->timer) || def->timer < 0)
        return bad(file, row.line, "bad timer \"" + value + "\"");
    } else if (kv && same_label(key, "font")) {
      std::vector<std::string> parts =
          split_outside_quotes(std::string_view(w[i]).substr(w[i].find('=') + 1), ',');
      if (!to_font(parts, &def->font)) return bad(file, row.line, "bad font \"" + value + "\"");
    } else if (kv && same_label(key, "alert")) {
      Key k = parse_key(value);
      if (k == Key::None) return bad(file, row.line, "unknown key \"" + value + "\"");
      def->alerts.push_back(k);
    } else if (kv && same_label(key, "esc")) {
      if (same_label(value, "close")) def->esc = EscAction::Close;
      else if (same_label(value, "ignore")) def->esc = EscAction::Ignore;
      else {
        def->esc = EscAction::Press;
        def->esc_button = value;
      }
    } else {
      return bad(file, row.line, "unknown window attribute \"" + w[i] + "\"");
    }
  }
  return Status::Ok();
}

}  // namespace

Result<WindowDef> parse_window(std::string_view text, std::string_view file) {
  auto rows = report::read_rows(text, file);
  if (!rows.ok()) return rows.status();
  WindowDef def;
  bool have_window = false;
  for (const Row& row : *rows) {
    if (row.kind == Row::Kind::Directive) {
      if (row.cells.empty()) continue;
      if (!same_label(row.cells[0], "window") || have_window)
        return bad(file, row.line, "expected one window line, then the control rows");
      Status s = window_directive(row, &def, file);
      if (!s.ok()) return s;
      have_window = true;
      continue;
    }
    if (!have_window) return bad(file, row.line, "control row before the window line");
    const auto& c = row.cells;
    if (!c.empty() && same_label(c[0], "kind")) continue;  // the heading row
    if (c.size() < 6)
      return bad(file, row.line, "a control row has kind, label, text, variable, picture, at");
    ControlDef ctl;
    if (!parse_control_kind(c[0], &ctl.kind))
      return bad(file, row.line, "unknown control kind \"" + c[0] + "\"");
    ctl.label = c[1] == "-" ? "" : c[1];
    ctl.text = unquote(c[2]);
    ctl.var = c[3] == "-" ? "" : c[3];
    ctl.picture = c[4] == "-" ? "" : c[4];
    auto at = split_outside_quotes(c[5], ',');
    int* xywh[] = {&ctl.at.x, &ctl.at.y, &ctl.at.w, &ctl.at.h};
    if (at.size() < 2 || at.size() > 4)
      return bad(file, row.line, "at needs x,y or x,y,w,h");
    for (size_t i = 0; i < at.size(); ++i) {
      std::string v = at[i];
      while (!v.empty() && v.front() == ' ') v.erase(v.begin());
      while (!v.empty() && v.back() == ' ') v.pop_back();
      if (!to_int(v, xywh[i])) return bad(file, row.line, "bad position \"" + c[5] + "\"");
    }
    if (c.size() > 6) {
      for (const auto& word : words_of(c[6])) {
        Status s = control_attribute(word, &ctl, file, row.line);
        if (!s.ok()) return s;
      }
    }
    def.controls.push_back(std::move(ctl));
  }
  if (!have_window) return bad(file, 1, "no window line");
  Status s = def.finish();
  if (!s.ok()) return Status(report::kReportErrorCode, std::string(file) + ": " + s.text());
  return def;
}

}  // namespace tdx::ui
