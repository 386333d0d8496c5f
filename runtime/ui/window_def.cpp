#include "runtime/ui/window_def.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "runtime/ui/message_box.h"

namespace tdx::ui {

namespace {
struct KindName {
  ControlKind kind;
  const char* name;
};
constexpr KindName kKinds[] = {
    {ControlKind::Prompt, "prompt"}, {ControlKind::Entry, "entry"},
    {ControlKind::Field, "field"},   {ControlKind::Text, "text"},
    {ControlKind::Button, "button"}, {ControlKind::Check, "check"},
    {ControlKind::Option, "option"}, {ControlKind::Radio, "radio"},
    {ControlKind::List, "list"},     {ControlKind::Spin, "spin"},
    {ControlKind::Progress, "progress"}, {ControlKind::Group, "group"},
};

std::string lower_of(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// "?Print" from "&Print", "?BidID" from "Bid ID:".
std::string label_from_text(std::string_view text) {
  std::string out = "?";
  for (char c : strip_access_key(text))
    if (std::isalnum(static_cast<unsigned char>(c))) out += c;
  return out;
}
}  // namespace

const char* control_kind_name(ControlKind k) {
  for (const auto& kn : kKinds)
    if (kn.kind == k) return kn.name;
  return "?";
}

bool parse_control_kind(std::string_view name, ControlKind* out) {
  for (const auto& kn : kKinds) {
    if (same_label(name, kn.name)) {
      *out = kn.kind;
      return true;
    }
  }
  return false;
}

int WindowDef::find(std::string_view label) const {
  for (size_t i = 0; i < controls.size(); ++i)
    if (same_label(controls[i].label, label)) return static_cast<int>(i);
  return -1;
}

Status WindowDef::finish() {
  if (name.empty()) name = title;
  std::set<std::string> labels;
  std::set<int> ids;
  for (const auto& c : controls) {
    if (!c.label.empty()) labels.insert(lower_of(c.label));
    if (c.id != 0) ids.insert(c.id);
  }
  int next_id = 1;
  std::string option;  // label of the option that radios without a parent join
  for (auto& c : controls) {
    if (c.label.empty()) {
      std::string base = !c.var.empty() ? "?" + c.var : label_from_text(c.text);
      if (base == "?") base = std::string("?") + control_kind_name(c.kind);
      std::string l = base;
      for (int n = 2; labels.count(lower_of(l)); ++n) l = base + std::to_string(n);
      c.label = l;
      labels.insert(lower_of(l));
    }
    if (c.id == 0) {
      while (ids.count(next_id)) ++next_id;
      c.id = next_id;
      ids.insert(next_id);
    }
    if (c.kind == ControlKind::Option) option = c.label;
    if (c.kind == ControlKind::Radio && c.parent.empty()) {
      if (option.empty())
        return Status(1, "window \"" + name + "\": radio " + c.label + " is in no option");
      c.parent = option;
    }
    if (c.kind == ControlKind::Progress && !c.has_range) {
      c.has_range = true;
      c.low = 0;
      c.high = 100;
    }
  }
  // Duplicates among given labels and ids.
  std::set<std::string> seen_labels;
  std::set<int> seen_ids;
  for (const auto& c : controls) {
    if (!seen_labels.insert(lower_of(c.label)).second)
      return Status(1, "window \"" + name + "\": label " + c.label + " appears twice");
    if (!seen_ids.insert(c.id).second)
      return Status(1, "window \"" + name + "\": id " + std::to_string(c.id) + " appears twice");
  }
  for (const auto& c : controls) {
    if (!c.parent.empty() && find(c.parent) < 0)
      return Status(1, "window \"" + name + "\": " + c.label + " names an unknown parent " +
                           c.parent);
    if (c.kind == ControlKind::Radio &&
        controls[static_cast<size_t>(find(c.parent))].kind != ControlKind::Option)
      return Status(1, "window \"" + name + "\": radio " + c.label + " is in no option");
    bool needs_var = c.kind == ControlKind::Entry || c.kind == ControlKind::Field ||
                     c.kind == ControlKind::Text || c.kind == ControlKind::Check ||
                     c.kind == ControlKind::Option || c.kind == ControlKind::Spin;
    if (needs_var && c.var.empty())
      return Status(1, "window \"" + name + "\": " + c.label + " has no variable");
  }
  if (esc == EscAction::Press && find(esc_button) < 0)
    return Status(1, "window \"" + name + "\": Esc presses unknown control " + esc_button);
  return Status::Ok();
}

// ---- WindowBuilder ----

WindowBuilder::WindowBuilder(std::string title, int w, int h) {
  def_.title = std::move(title);
  def_.w = w;
  def_.h = h;
}
WindowBuilder& WindowBuilder::name(std::string n) {
  def_.name = std::move(n);
  return *this;
}
WindowBuilder& WindowBuilder::centred() {
  def_.centred = true;
  return *this;
}
WindowBuilder& WindowBuilder::help(std::string key) {
  def_.help = std::move(key);
  return *this;
}
WindowBuilder& WindowBuilder::font(std::string name, int size, bool bold) {
  def_.font = Font{std::move(name), size, bold, false};
  return *this;
}
WindowBuilder& WindowBuilder::timer(int hundredths) {
  def_.timer = hundredths;
  return *this;
}
WindowBuilder& WindowBuilder::alert_key(Key k) {
  if (def_.controls.empty())
    def_.alerts.push_back(k);
  else
    last().alerts.push_back(k);
  return *this;
}
WindowBuilder& WindowBuilder::esc_closes() {
  def_.esc = EscAction::Close;
  return *this;
}
WindowBuilder& WindowBuilder::esc_presses(std::string button_label) {
  def_.esc = EscAction::Press;
  def_.esc_button = std::move(button_label);
  return *this;
}
WindowBuilder& WindowBuilder::esc_ignored() {
  def_.esc = EscAction::Ignore;
  return *this;
}

WindowBuilder& WindowBuilder::add(ControlKind kind, std::string label, Rect at) {
  ControlDef c;
  c.kind = kind;
  c.label = std::move(label);
  c.at = at;
  def_.controls.push_back(std::move(c));
  return *this;
}
ControlDef& WindowBuilder::last() {
  if (def_.controls.empty()) {
    std::fprintf(stderr, "WindowBuilder: a control modifier before any control in \"%s\"\n",
                 def_.title.c_str());
    std::abort();
  }
  return def_.controls.back();
}

WindowBuilder& WindowBuilder::prompt(std::string label, std::string text, Rect at) {
  add(ControlKind::Prompt, std::move(label), at);
  last().text = std::move(text);
  return *this;
}
WindowBuilder& WindowBuilder::entry(std::string label, std::string var, std::string picture,
                                    Rect at) {
  add(ControlKind::Entry, std::move(label), at);
  last().var = std::move(var);
  last().picture = std::move(picture);
  return *this;
}
WindowBuilder& WindowBuilder::field(std::string label, std::string var, std::string picture,
                                    Rect at) {
  add(ControlKind::Field, std::move(label), at);
  last().var = std::move(var);
  last().picture = std::move(picture);
  return *this;
}
WindowBuilder& WindowBuilder::text_box(std::string label, std::string var, Rect at) {
  add(ControlKind::Text, std::move(label), at);
  last().var = std::move(var);
  return *this;
}
WindowBuilder& WindowBuilder::button(std::string label, std::string text, Rect at) {
  add(ControlKind::Button, std::move(label), at);
  last().text = std::move(text);
  return *this;
}
WindowBuilder& WindowBuilder::check(std::string label, std::string text, std::string var,
                                    Rect at) {
  add(ControlKind::Check, std::move(label), at);
  last().text = std::move(text);
  last().var = std::move(var);
  return *this;
}
WindowBuilder& WindowBuilder::option(std::string label, std::string text, std::string var,
                                     Rect at) {
  add(ControlKind::Option, std::move(label), at);
  last().text = std::move(text);
  last().var = std::move(var);
  return *this;
}
WindowBuilder& WindowBuilder::radio(std::string label, std::string text, Rect at) {
  add(ControlKind::Radio, std::move(label), at);
  last().text = std::move(text);
  return *this;
}
WindowBuilder& WindowBuilder::list(std::string label, Rect at) {
  return add(ControlKind::List, std::move(label), at);
}
WindowBuilder& WindowBuilder::spin(std::string label, std::string var, std::string picture,
                                   Rect at) {
  add(ControlKind::Spin, std::move(label), at);
  last().var = std::move(var);
  last().picture = std::move(picture);
  return *this;
}
WindowBuilder& WindowBuilder::progress(std::string label, Rect at) {
  return add(ControlKind::Progress, std::move(label), at);
}
WindowBuilder& WindowBuilder::group(std::string label, std::string text, Rect at) {
  add(ControlKind::Group, std::move(label), at);
  last().text = std::move(text);
  return *this;
}

WindowBuilder& WindowBuilder::id(int id) {
  last().id = id;
  return *this;
}
WindowBuilder& WindowBuilder::msg(std::string text) {
  last().msg = std::move(text);
  return *this;
}
WindowBuilder& WindowBuilder::tip(std::string text) {
  last().tip = std::move(text);
  return *this;
}
WindowBuilder& WindowBuilder::hint(std::string text) {
  last().msg = text;
  last().tip = std::move(text);
  return *this;
}
WindowBuilder& WindowBuilder::hidden() {
  last().hidden = true;
  return *this;
}
WindowBuilder& WindowBuilder::disabled() {
  last().disabled = true;
  return *this;
}
WindowBuilder& WindowBuilder::required() {
  last().required = true;
  return *this;
}
WindowBuilder& WindowBuilder::read_only() {
  last().read_only = true;
  return *this;
}
WindowBuilder& WindowBuilder::transparent() {
  last().transparent = true;
  return *this;
}
WindowBuilder& WindowBuilder::justify(Justify j) {
  last().justify = j;
  return *this;
}
WindowBuilder& WindowBuilder::control_font(std::string name, int size, bool bold) {
  last().font = Font{std::move(name), size, bold, false};
  return *this;
}
WindowBuilder& WindowBuilder::parent(std::string label) {
  last().parent = std::move(label);
  return *this;
}
WindowBuilder& WindowBuilder::values(std::string true_value, std::string false_value) {
  last().has_values = true;
  last().true_value = std::move(true_value);
  last().false_value = std::move(false_value);
  return *this;
}
WindowBuilder& WindowBuilder::value(std::string v) {
  last().has_value = true;
  last().value = std::move(v);
  return *this;
}
WindowBuilder& WindowBuilder::range(Decimal low, Decimal high, Decimal step) {
  last().has_range = true;
  last().low = low;
  last().high = high;
  last().step = step;
  return *this;
}
WindowBuilder& WindowBuilder::column(int width, Justify j, std::string picture,
                                     std::string heading) {
  last().columns.push_back(Column{width, j, std::move(picture), std::move(heading)});
  return *this;
}

WindowDef WindowBuilder::build() {
  WindowDef def = def_;
  Status s = def.finish();
  if (!s.ok()) {
    std::fprintf(stderr, "window declaration error: %s\n", s.text().c_str());
    std::abort();
  }
  return def;
}

}  // namespace tdx::ui
