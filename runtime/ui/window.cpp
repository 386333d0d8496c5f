#include "runtime/ui/window.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "runtime/picture/picture.h"
#include "runtime/text/str.h"
#include "runtime/ui/keyboard.h"
#include "runtime/ui/message_box.h"

namespace tdx::ui {

namespace {

std::vector<Window*>& stack() {
  static std::vector<Window*> s;
  return s;
}

std::string lower_of(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return std::string(s.substr(b, e - b));
}

void warn_unknown(const std::string& window, std::string_view label) {
  static std::set<std::string> warned;
  std::string key = window + "\n" + lower_of(label);
  if (warned.insert(key).second)
    std::fprintf(stderr, "window \"%s\": no control %.*s\n", window.c_str(),
                 static_cast<int>(label.size()), label.data());
}

bool is_data_control(ControlKind k) {
  return k == ControlKind::Entry || k == ControlKind::Text || k == ControlKind::Spin ||
         k == ControlKind::Check || k == ControlKind::Option;
}

bool is_text_var(const VarRef& v) {
  return v.type == FieldType::String || v.type == FieldType::CString ||
         v.type == FieldType::Memo;
}

const std::vector<std::vector<std::string>> kNoRows;

}  // namespace

std::string format_entry(const Value& v, std::string_view picture) {
  if (trim(picture).empty()) return v.text();
  return format_picture(v, picture);
}

Result<Value> deformat_entry(std::string_view typed, std::string_view picture) {
  if (trim(picture).empty()) return Value(typed);
  return deformat_picture(typed, picture);
}

Window::Window(WindowDef def) : def_(std::move(def)) {
  if (def_.name.empty()) def_.name = def_.title;
}

Window::~Window() { close(); }

void Window::bind(std::string_view var, VarRef ref) { vars_[lower_of(var)] = ref; }

Status Window::open() {
  if (open_) return Status::Ok();
  std::string missing;
  for (const auto& c : def_.controls) {
    if (c.var.empty()) continue;
    if (!vars_.count(lower_of(c.var))) missing += (missing.empty() ? "" : ", ") + c.var;
  }
  if (!missing.empty())
    return Status(1, "window \"" + def_.name + "\": variables not bound: " + missing);
  states_.assign(def_.controls.size(), ControlState{});
  for (size_t i = 0; i < def_.controls.size(); ++i) {
    const ControlDef& c = def_.controls[i];
    ControlState& s = states_[i];
    s.text = c.text;
    s.msg = c.msg;
    s.tip = c.tip;
    s.hidden = c.hidden;
    s.disabled = c.disabled;
    s.required = c.required;
    refresh(static_cast<int>(i));
  }
  title_ = def_.title;
  timer_ = def_.timer;
  focus_ = 0;
  queue_.clear();
  closing_ = shown_ = accept_all_ = false;
  open_ = true;
  stack().push_back(this);
  post(EventKind::OpenWindow);
  return Status::Ok();
}

void Window::close() {
  if (!open_) return;
  open_ = false;
  closing_ = false;
  accept_all_ = false;
  queue_.clear();
  auto& s = stack();
  s.erase(std::remove(s.begin(), s.end(), this), s.end());
  if (wait_cursor_) set_wait_cursor(false);
  if (shown_) current_frontend().window_closed(*this);
  if (Window* parent = active(); parent && !s.empty() && s.back() == parent)
    parent->post(EventKind::GainFocus);
}

Window* Window::active() { return stack().empty() ? nullptr : stack().back(); }
int Window::open_count() { return static_cast<int>(stack().size()); }

bool Window::accept(Event& ev) {
  if (!open_) return false;
  if (closing_) {
    close();
    return false;
  }
  Frontend& fe = current_frontend();
  if (fe.failed()) {
    close();
    return false;
  }
  if (!shown_) {
    shown_ = true;
    fe.window_shown(*this);
  }
  while (true) {
    if (!queue_.empty()) {
      Item it = std::move(queue_.front());
      queue_.pop_front();
      if (!it.is_event) {
        it.step();
        continue;
      }
      ev = it.ev;
      if (ev.kind == EventKind::CloseWindow) closing_ = true;
      if (ev.kind == EventKind::Completed) accept_all_ = false;
      return true;
    }
    UserInput in;
    Wait w = fe.next_input(*this, timer_ > 0, &in);
    if (w == Wait::Stop || fe.failed()) {
      close();
      return false;
    }
    if (w == Wait::Timer) {
      if (timer_ <= 0) continue;  // a timer switched off meanwhile
      ev = Event{};
      ev.kind = EventKind::Timer;
      return true;
    }
    translate(in);
  }
}

void Window::post(EventKind kind, std::string_view label) {
  Event ev;
  ev.kind = kind;
  if (!label.empty()) {
    int idx = index_of(label);
    if (idx < 0) {
      // A borrowed control of another window.
      Window* owner = nullptr;
      int id = find_borrowed(label, &owner);
      if (id == 0) return;
      ev.control = id;
      ev.label = owner->label(id);
    } else {
      ev = control_event(kind, idx);
    }
  }
  post(ev);
}

void Window::post(const Event& ev) {
  if (!open_) return;
  Item it;
  it.ev = ev;
  queue_.push_back(std::move(it));
}

// ---- lookup of controls ----

int Window::index(int id) const {
  for (size_t i = 0; i < def_.controls.size(); ++i)
    if (def_.controls[i].id == id) return static_cast<int>(i);
  return -1;
}

int Window::index_of(std::string_view label) const {
  int i = def_.find(label);
  if (i < 0) {
    // Borrowed controls are addressed by label too; only warn when nobody has it.
    for (const auto& b : borrowed_)
      if (same_label(b.owner->label(b.id), label)) return -1;
    warn_unknown(def_.name, label);
  }
  return i;
}

int Window::id(std::string_view label) const {
  int i = def_.find(label);
  return i < 0 ? 0 : def_.controls[static_cast<size_t>(i)].id;
}

std::string Window::label(int id) const {
  int i = index(id);
  return i < 0 ? std::string() : def_.controls[static_cast<size_t>(i)].label;
}

const ControlDef* Window::control_def(int id) const {
  int i = index(id);
  return i < 0 ? nullptr : &def_.controls[static_cast<size_t>(i)];
}

const ControlState* Window::control_state(int id) const {
  int i = index(id);
  if (i < 0 || static_cast<size_t>(i) >= states_.size()) return nullptr;
  return &states_[static_cast<size_t>(i)];
}

std::vector<int> Window::control_ids() const {
  std::vector<int> out;
  for (const auto& c : def_.controls) out.push_back(c.id);
  return out;
}

ControlState* Window::state_of(std::string_view label) {
  int i = index_of(label);
  if (i < 0 || static_cast<size_t>(i) >= states_.size()) return nullptr;
  return &states_[static_cast<size_t>(i)];
}

const ControlState* Window::state_of(std::string_view label) const {
  int i = index_of(label);
  if (i < 0 || static_cast<size_t>(i) >= states_.size()) return nullptr;
  return &states_[static_cast<size_t>(i)];
}

const VarRef* Window::var_of(int idx) const {
  const ControlDef& c = def_.controls[static_cast<size_t>(idx)];
  if (c.var.empty()) return nullptr;
  auto it = vars_.find(lower_of(c.var));
  return it == vars_.end() ? nullptr : &it->second;
}

Event Window::control_event(EventKind kind, int idx) const {
  Event ev;
  ev.kind = kind;
  ev.control = def_.controls[static_cast<size_t>(idx)].id;
  ev.label = def_.controls[static_cast<size_t>(idx)].label;
  return ev;
}

void Window::queue_event(EventKind kind, int idx) {
  Item it;
  it.ev = control_event(kind, idx);
  queue_.push_back(std::move(it));
}

// ---- display ----

void Window::refresh(int idx) {
  const ControlDef& c = def_.controls[static_cast<size_t>(idx)];
  ControlState& s = states_[static_cast<size_t>(idx)];
  const VarRef* v = var_of(idx);
  switch (c.kind) {
    case ControlKind::Entry:
    case ControlKind::Field:
    case ControlKind::Spin:
      if (v) s.screen = format_entry(v->get(), c.picture);
      break;
    case ControlKind::Text:
    case ControlKind::Option:
      if (v) s.screen = v->get().text();
      break;
    default:
      s.screen = s.text;
      break;
  }
}

void Window::display() {
  if (!open_) return;
  for (size_t i = 0; i < states_.size(); ++i) refresh(static_cast<int>(i));
}

void Window::display(std::string_view label) {
  int i = index_of(label);
  if (i >= 0 && open_) refresh(i);
}

void Window::set_text(std::string_view label, std::string_view text) {
  if (ControlState* s = state_of(label)) {
    s->text = std::string(text);
    int i = index_of(label);
    if (open_) refresh(i);
  }
}

std::string Window::text(std::string_view label) const {
  const ControlState* s = state_of(label);
  return s ? s->text : std::string();
}

void Window::set_msg(std::string_view label, std::string_view text) {
  if (ControlState* s = state_of(label)) s->msg = std::string(text);
}

void Window::set_tip(std::string_view label, std::string_view text) {
  if (ControlState* s = state_of(label)) {
    s->tip = std::string(text);
    return;
  }
  Window* owner = nullptr;
  if (int id = find_borrowed(label, &owner)) owner->set_control_tip(id, text);
}

void Window::set_hidden(std::string_view label, bool hidden) {
  if (ControlState* s = state_of(label)) s->hidden = hidden;
}

bool Window::hidden(std::string_view label) const {
  int i = index_of(label);
  if (i < 0 || states_.empty()) return false;
  // A control inside a hidden group or option is hidden too.
  for (int guard = 0; i >= 0 && guard < 32; ++guard) {
    if (states_[static_cast<size_t>(i)].hidden) return true;
    const std::string& parent = def_.controls[static_cast<size_t>(i)].parent;
    if (parent.empty()) break;
    i = def_.find(parent);
  }
  return false;
}

void Window::set_disabled(std::string_view label, bool disabled) {
  if (ControlState* s = state_of(label)) {
    s->disabled = disabled;
    return;
  }
  Window* owner = nullptr;
  if (int id = find_borrowed(label, &owner)) (void)owner->set_control_disabled(id, disabled);
}

bool Window::disabled(std::string_view label) const {
  const ControlState* s = state_of(label);
  return s && s->disabled;
}

void Window::set_required(std::string_view label, bool required) {
  if (ControlState* s = state_of(label)) s->required = required;
}

void Window::set_touched(std::string_view label, bool touched) {
  if (ControlState* s = state_of(label)) s->touched = touched;
}

bool Window::touched(std::string_view label) const {
  const ControlState* s = state_of(label);
  return s && s->touched;
}

void Window::set_progress(std::string_view label, int value) {
  int i = index_of(label);
  if (i < 0 || states_.empty()) return;
  const ControlDef& c = def_.controls[static_cast<size_t>(i)];
  int lo = c.has_range ? static_cast<int>(c.low.to_integer()) : 0;
  int hi = c.has_range ? static_cast<int>(c.high.to_integer()) : 100;
  states_[static_cast<size_t>(i)].progress = std::clamp(value, lo, hi);
}

int Window::progress(std::string_view label) const {
  const ControlState* s = state_of(label);
  return s ? s->progress : 0;
}

std::string Window::screen_text(std::string_view label) const {
  const ControlState* s = state_of(label);
  return s ? s->screen : std::string();
}

bool Window::checked(std::string_view label) const {
  int i = index_of(label);
  if (i < 0) return false;
  const ControlDef& c = def_.controls[static_cast<size_t>(i)];
  const VarRef* v = var_of(i);
  if (!v) return false;
  if (c.has_values) return compare_values(v->get(), Value(c.true_value)) == 0;
  return v->get().truth();
}

void Window::set_title(std::string_view title) {
  if (title_ == title) return;
  title_ = std::string(title);
  if (open_ && shown_) current_frontend().window_title_changed(*this);
}

void Window::beep() { current_frontend().beep(); }

void Window::set_wait_cursor(bool wait) {
  wait_cursor_ = wait;
  current_frontend().set_cursor(wait ? Cursor::Wait : Cursor::Normal);
}

// ---- lists ----

void Window::set_list_rows(std::string_view label, std::vector<std::vector<std::string>> rows) {
  if (ControlState* s = state_of(label)) {
    s->rows = std::move(rows);
    if (s->selected_row > static_cast<int>(s->rows.size()))
      s->selected_row = static_cast<int>(s->rows.size());
  }
}

const std::vector<std::vector<std::string>>& Window::list_rows(std::string_view label) const {
  const ControlState* s = state_of(label);
  return s ? s->rows : kNoRows;
}

void Window::set_list_selection(std::string_view label, int row) {
  if (ControlState* s = state_of(label)) s->selected_row = row;
}

int Window::list_selection(std::string_view label) const {
  const ControlState* s = state_of(label);
  return s ? s->selected_row : 0;
}

int Window::list_page_rows(std::string_view label) const {
  int i = index_of(label);
  if (i < 0) return 1;
  const ControlDef& c = def_.controls[static_cast<size_t>(i)];
  bool headings = std::any_of(c.columns.begin(), c.columns.end(),
                              [](const Column& col) { return !col.heading.empty(); });
  // One row is 8 dialog units of the window's font; the headings take one row.
  int rows = (c.at.h > 0 ? c.at.h : 80) / 8 - (headings ? 1 : 0);
  return std::max(1, rows);
}

// ---- borrowed controls ----

void Window::use_controls_of(Window& owner, std::vector<int> ids) {
  for (int id : ids) borrowed_.push_back(Borrowed{&owner, id});
}

int Window::find_borrowed(std::string_view name, Window** owner) {
  bool digits = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c));
  });
  for (const auto& b : borrowed_) {
    if (!b.owner->is_open()) continue;
    bool match = digits ? std::to_string(b.id) == name : same_label(b.owner->label(b.id), name);
    if (!match) {
      const ControlDef* d = b.owner->control_def(b.id);
      match = d && !digits && same_label(strip_access_key(d->text), trim(name));
    }
    if (match) {
      *owner = b.owner;
      return b.id;
    }
  }
  return 0;
}

Status Window::set_control_disabled(int id, bool disabled) {
  int i = index(id);
  if (i < 0 || states_.empty()) return Status(1, "no control " + std::to_string(id));
  states_[static_cast<size_t>(i)].disabled = disabled;
  return Status::Ok();
}

void Window::set_control_tip(int id, std::string_view tip) {
  int i = index(id);
  if (i >= 0 && !states_.empty()) states_[static_cast<size_t>(i)].tip = std::string(tip);
}

// ---- focus ----

bool Window::usable(int id) const {
  int i = index(id);
  if (i < 0 || states_.empty()) return false;
  return !hidden(def_.controls[static_cast<size_t>(i)].label) &&
         !states_[static_cast<size_t>(i)].disabled;
}

bool Window::can_focus(int idx) const {
  const ControlDef& c = def_.controls[static_cast<size_t>(idx)];
  switch (c.kind) {
    case ControlKind::Entry:
    case ControlKind::Text:
    case ControlKind::Button:
    case ControlKind::Check:
    case ControlKind::Option:
    case ControlKind::List:
    case ControlKind::Spin:
      return usable(c.id);
    default:
      return false;
  }
}

int Window::next_focus(int from, int direction) const {
  int n = static_cast<int>(def_.controls.size());
  if (n == 0) return -1;
  int start = from < 0 ? (direction > 0 ? -1 : n) : from;
  for (int step = 1; step <= n; ++step) {
    int i = ((start + direction * step) % n + n) % n;
    if (can_focus(i)) return i;
  }
  return -1;
}

void Window::move_focus(int idx) {
  if (idx < 0) return;
  int id = def_.controls[static_cast<size_t>(idx)].id;
  if (id == focus_) return;
  focus_ = id;
  queue_event(EventKind::Selected, idx);
}

void Window::select(std::string_view label) {
  int i = index_of(label);
  if (i < 0 || !open_) return;
  ++focus_generation_;
  accept_all_ = false;
  move_focus(i);
}

void Window::select_first() {
  if (!open_) return;
  ++focus_generation_;
  accept_all_ = false;
  move_focus(next_focus(-1, +1));
}

void Window::accept_all() {
  if (!open_) return;
  accept_all_ = true;
  for (size_t i = 0; i < def_.controls.size(); ++i) {
    if (!is_data_control(def_.controls[i].kind)) continue;
    int idx = static_cast<int>(i);
    Item it;
    it.is_event = false;
    it.step = [this, idx] {
      if (!accept_all_ || !usable(def_.controls[static_cast<size_t>(idx)].id)) return;
      Item ev;
      ev.ev = control_event(EventKind::Accepted, idx);
      queue_.push_front(std::move(ev));
    };
    queue_.push_back(std::move(it));
  }
  Item done;
  done.is_event = false;
  done.step = [this] {
    if (!accept_all_) return;
    Item ev;
    ev.ev.kind = EventKind::Completed;
    queue_.push_front(std::move(ev));
  };
  queue_.push_back(std::move(done));
}

// ---- user input ----

int Window::find_for_typing(std::string_view name) const {
  std::string n = trim(name);
  int i = def_.find(n);
  if (i >= 0) return def_.controls[static_cast<size_t>(i)].id;
  for (const auto& c : def_.controls) {
    bool typed = c.kind == ControlKind::Entry || c.kind == ControlKind::Spin ||
                 c.kind == ControlKind::Text;
    if (typed && same_label(c.var, n)) return c.id;
  }
  return 0;
}

int Window::find_for_pressing(std::string_view name) const {
  std::string n = trim(name);
  int i = def_.find(n);
  if (i >= 0) return def_.controls[static_cast<size_t>(i)].id;
  std::string want = strip_access_key(n);
  int first = 0;
  for (const auto& c : def_.controls) {
    if (c.kind == ControlKind::Prompt || c.kind == ControlKind::Group) continue;
    if (!same_label(trim(strip_access_key(c.text)), trim(want))) continue;
    if (usable(c.id)) return c.id;
    if (!first) first = c.id;
  }
  return first;
}

bool Window::alerted(int idx, Key k) const {
  if (std::find(def_.alerts.begin(), def_.alerts.end(), k) != def_.alerts.end()) return true;
  if (idx < 0) return false;
  const auto& a = def_.controls[static_cast<size_t>(idx)].alerts;
  return std::find(a.begin(), a.end(), k) != a.end();
}

Decimal Window::spin_value(int idx) const {
  const VarRef* v = var_of(idx);
  return v ? v->get().number() : Decimal(0);
}

void Window::translate(const UserInput& in) {
  int idx = index(in.control);
  switch (in.kind) {
    case UserInput::Kind::Type: {
      if (idx < 0) return;
      move_focus(idx);
      std::string typed = in.text;
      Item it;
      it.is_event = false;
      it.step = [this, idx, typed] { complete_typing(idx, typed); };
      queue_.push_back(std::move(it));
      return;
    }
    case UserInput::Kind::Press:
      if (idx < 0) {
        // A control of another window that this window handles.
        for (const auto& b : borrowed_) {
          if (b.id != in.control) continue;
          Item it;
          it.ev.kind = EventKind::Accepted;
          it.ev.control = b.id;
          it.ev.label = b.owner->label(b.id);
          queue_.push_back(std::move(it));
          return;
        }
        return;
      }
      press(idx);
      return;
    case UserInput::Kind::Key:
      if (idx >= 0 && def_.controls[static_cast<size_t>(idx)].id != focus_) move_focus(idx);
      if (idx >= 0) {
        Key k = in.key;
        Item it;
        it.is_event = false;
        it.step = [this, k] { key(k); };
        queue_.push_back(std::move(it));
      } else {
        key(in.key);
      }
      return;
    case UserInput::Kind::SelectRow:
    case UserInput::Kind::DoubleClick: {
      if (idx < 0) return;
      ControlState& s = states_[static_cast<size_t>(idx)];
      s.selected_row = in.row;
      focus_ = in.control;
      if (in.kind == UserInput::Kind::SelectRow) {
        queue_event(EventKind::NewSelection, idx);
      } else {
        set_last_key(Key::MouseLeft2);
        Item it;
        it.ev = control_event(EventKind::Accepted, idx);
        it.ev.key = Key::MouseLeft2;
        queue_.push_back(std::move(it));
      }
      return;
    }
    case UserInput::Kind::Scroll: {
      if (idx < 0) return;
      Item it;
      it.ev = control_event(EventKind::Scroll, idx);
      it.ev.scroll = in.scroll;
      it.ev.drag_percent = in.drag_percent;
      queue_.push_back(std::move(it));
      return;
    }
    case UserInput::Kind::Spin: {
      if (idx < 0) return;
      const ControlDef& c = def_.controls[static_cast<size_t>(idx)];
      move_focus(idx);
      Decimal v = spin_value(idx) + c.step * Decimal(in.count);
      if (c.has_range) v = std::clamp(v, c.low, c.high);
      if (const VarRef* var = var_of(idx)) (void)var->set(Value(v));
      refresh(idx);
      queue_event(EventKind::NewSelection, idx);
      return;
    }
  }
}

void Window::complete_typing(int idx, const std::string& typed) {
  const ControlDef& c = def_.controls[static_cast<size_t>(idx)];
  ControlState& s = states_[static_cast<size_t>(idx)];
  const VarRef* v = var_of(idx);
  if (!v || !usable(c.id)) return;
  Result<Value> r = Value();
  if (c.kind == ControlKind::Text) {
    // A text box takes no more characters than its variable holds.
    std::string t = typed;
    uint32_t cap = v->text_capacity();
    if (cap > 0 && t.size() > cap) t.resize(cap);
    r = Value(t);
  } else {
    r = deformat_entry(typed, c.picture);
  }
  bool ok = r.ok();
  if (ok && c.kind == ControlKind::Spin && c.has_range) {
    Decimal n = r->number();
    ok = n >= c.low && n <= c.high;
  }
  if (ok) ok = v->fits(*r);
  if (!ok) {
    s.screen = typed;  // the bad text stays on screen until the window redisplays it
    queue_event(EventKind::Rejected, idx);
    return;
  }
  Value old = v->get();
  bool changed = compare_values(old, *r) != 0 || s.touched;
  // Text compares ignore trailing blanks; a text that differs only in them is a change too.
  if (!changed && r->is_text() && old.is_text()) changed = old.text() != r->text() &&
                                                          trim(old.text()) != trim(r->text());
  if (!v->set(*r).ok()) {
    queue_event(EventKind::Rejected, idx);
    return;
  }
  s.touched = false;
  refresh(idx);
  if (changed) queue_event(EventKind::Accepted, idx);
  unsigned gen = focus_generation_;
  Item it;
  it.is_event = false;
  it.step = [this, idx, gen] {
    if (focus_generation_ == gen && focus_ == def_.controls[static_cast<size_t>(idx)].id)
      move_focus(next_focus(idx, +1));
  };
  queue_.push_back(std::move(it));
}

void Window::press(int idx) {
  const ControlDef& c = def_.controls[static_cast<size_t>(idx)];
  const VarRef* v = var_of(idx);
  switch (c.kind) {
    case ControlKind::Button:
      focus_ = c.id;
      queue_event(EventKind::Accepted, idx);
      return;
    case ControlKind::Check: {
      focus_ = c.id;
      if (v) {
        bool now = checked(c.label);
        std::string tv = c.has_values ? c.true_value : "1";
        std::string fv = c.has_values ? c.false_value : (is_text_var(*v) ? "" : "0");
        (void)v->set(Value(now ? fv : tv));
      }
      refresh(idx);
      queue_event(EventKind::Accepted, idx);
      return;
    }
    case ControlKind::Radio: {
      int opt = def_.find(c.parent);
      if (opt < 0) return;
      std::string value = c.value;
      if (!c.has_value) {
        int n = 0;
        for (const auto& r : def_.controls) {
          if (r.kind == ControlKind::Radio && same_label(r.parent, c.parent)) ++n;
          if (&r == &c) break;
        }
        value = std::to_string(n);
      }
      if (const VarRef* ov = var_of(opt)) (void)ov->set(Value(value));
      focus_ = def_.controls[static_cast<size_t>(opt)].id;
      refresh(opt);
      queue_event(EventKind::Accepted, opt);
      return;
    }
    case ControlKind::List: {
      focus_ = c.id;
      Item it;
      it.ev = control_event(EventKind::Accepted, idx);
      it.ev.key = Key::Enter;
      queue_.push_back(std::move(it));
      return;
    }
    case ControlKind::Option:
      queue_event(EventKind::Accepted, idx);
      return;
    case ControlKind::Entry:
    case ControlKind::Text:
    case ControlKind::Spin:
      move_focus(idx);
      return;
    default:
      return;
  }
}

void Window::key(Key k) {
  set_last_key(k);
  int fidx = index(focus_);
  if (alerted(fidx, k)) {
    Item it;
    if (fidx >= 0) it.ev = control_event(EventKind::AlertKey, fidx);
    it.ev.kind = EventKind::AlertKey;
    it.ev.key = k;
    queue_.push_back(std::move(it));
    return;
  }
  ControlKind fk = fidx >= 0 ? def_.controls[static_cast<size_t>(fidx)].kind : ControlKind::Prompt;
  switch (k) {
    case Key::Esc:
      if (def_.esc == EscAction::Close) {
        post(EventKind::CloseWindow);
      } else if (def_.esc == EscAction::Press) {
        int b = def_.find(def_.esc_button);
        if (b >= 0 && usable(def_.controls[static_cast<size_t>(b)].id)) press(b);
      }
      return;
    case Key::Tab:
      move_focus(next_focus(fidx, +1));
      return;
    case Key::ShiftTab:
      move_focus(next_focus(fidx, -1));
      return;
    case Key::Enter:
      if (fk == ControlKind::Button || fk == ControlKind::Check || fk == ControlKind::List)
        press(fidx);
      else
        move_focus(next_focus(fidx, +1));
      return;
    case Key::Up:
    case Key::Down:
    case Key::PageUp:
    case Key::PageDown:
    case Key::Home:
    case Key::End:
      if (fk == ControlKind::Spin && (k == Key::Up || k == Key::Down)) {
        UserInput in;
        in.kind = UserInput::Kind::Spin;
        in.control = focus_;
        in.count = k == Key::Up ? 1 : -1;
        translate(in);
      } else if (fk == ControlKind::List) {
        Item it;
        it.ev = control_event(EventKind::Scroll, fidx);
        it.ev.scroll = k == Key::Up         ? ScrollKind::RowUp
                       : k == Key::Down     ? ScrollKind::RowDown
                       : k == Key::PageUp   ? ScrollKind::PageUp
                       : k == Key::PageDown ? ScrollKind::PageDown
                       : k == Key::Home     ? ScrollKind::Top
                                            : ScrollKind::Bottom;
        queue_.push_back(std::move(it));
      }
      return;
    default:
      return;
  }
}

}  // namespace tdx::ui
