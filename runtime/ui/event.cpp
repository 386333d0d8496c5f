#include "runtime/ui/event.h"

#include <cctype>

namespace tdx::ui {

bool same_label(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool Event::is(EventKind k, std::string_view control_label) const {
  return kind == k && control != 0 && same_label(label, control_label);
}

const char* event_kind_name(EventKind k) {
  switch (k) {
    case EventKind::None: return "none";
    case EventKind::OpenWindow: return "open-window";
    case EventKind::CloseWindow: return "close-window";
    case EventKind::Accepted: return "accepted";
    case EventKind::Selected: return "selected";
    case EventKind::AlertKey: return "alert-key";
    case EventKind::Rejected: return "rejected";
    case EventKind::GainFocus: return "gain-focus";
    case EventKind::Timer: return "timer";
    case EventKind::Completed: return "completed";
    case EventKind::NewSelection: return "new-selection";
    case EventKind::Scroll: return "scroll";
  }
  return "?";
}

namespace {
struct KeyName {
  Key key;
  const char* name;
};
constexpr KeyName kKeys[] = {
    {Key::F1, "F1"},       {Key::F2, "F2"},         {Key::F3, "F3"},
    {Key::F4, "F4"},       {Key::F5, "F5"},         {Key::F6, "F6"},
    {Key::F7, "F7"},       {Key::F8, "F8"},         {Key::F9, "F9"},
    {Key::F10, "F10"},     {Key::F11, "F11"},       {Key::F12, "F12"},
    {Key::Esc, "Esc"},     {Key::Tab, "Tab"},       {Key::ShiftTab, "ShiftTab"},
    {Key::Enter, "Enter"}, {Key::Up, "Up"},         {Key::Down, "Down"},
    {Key::PageUp, "PgUp"}, {Key::PageDown, "PgDn"}, {Key::Home, "Home"},
    {Key::End, "End"},     {Key::Delete, "Delete"}, {Key::MouseLeft2, "DoubleClick"},
};
}  // namespace

const char* key_name(Key k) {
  for (const auto& kn : kKeys)
    if (kn.key == k) return kn.name;
  return "None";
}

Key parse_key(std::string_view name) {
  for (const auto& kn : kKeys)
    if (same_label(name, kn.name)) return kn.key;
  if (same_label(name, "Escape")) return Key::Esc;
  if (same_label(name, "Return")) return Key::Enter;
  if (same_label(name, "PageUp")) return Key::PageUp;
  if (same_label(name, "PageDown")) return Key::PageDown;
  return Key::None;
}

}  // namespace tdx::ui
