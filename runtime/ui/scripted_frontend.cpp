#include "runtime/ui/scripted_frontend.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "runtime/datetime/datetime.h"
#include "runtime/picture/picture.h"
#include "runtime/ui/window.h"

namespace tdx::ui {

namespace {

std::string trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(b, e - b));
}

// "text" with inner quotes doubled.
std::string q(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += '"';
    if (c == '\r') continue;
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

// Splits off the first word (a quoted word may hold blanks; "" inside is one quote).
// Returns false on an unterminated quote.
bool take_word(std::string_view& rest, std::string* word) {
  size_t i = 0;
  while (i < rest.size() && std::isspace(static_cast<unsigned char>(rest[i]))) ++i;
  word->clear();
  if (i < rest.size() && rest[i] == '"') {
    ++i;
    while (true) {
      if (i >= rest.size()) return false;
      if (rest[i] == '"') {
        if (i + 1 < rest.size() && rest[i + 1] == '"') {
          *word += '"';
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      *word += rest[i++];
    }
  } else {
    while (i < rest.size() && !std::isspace(static_cast<unsigned char>(rest[i])))
      *word += rest[i++];
  }
  rest.remove_prefix(i);
  return true;
}

// The rest of a line as one text: unquoted when it is one quoted word.
bool rest_text(std::string_view rest, std::string* text, bool* quoted) {
  std::string t = trim(rest);
  *quoted = false;
  if (!t.empty() && t.front() == '"') {
    std::string_view v = t;
    std::string word;
    if (!take_word(v, &word)) return false;
    if (trim(v).empty()) {
      *text = word;
      *quoted = true;
      return true;
    }
  }
  *text = t;
  return true;
}

// "\n" in typed text is a line break (CR LF in a text box), "\\" a backslash.
std::string typed_text(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      if (s[i + 1] == 'n') {
        out += "\r\n";
        ++i;
        continue;
      }
      if (s[i + 1] == '\\') {
        out += '\\';
        ++i;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

bool parse_int(std::string_view s, int* out) {
  if (s.empty() || s.size() > 9) return false;
  int v = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    v = v * 10 + (c - '0');
  }
  *out = v;
  return true;
}

bool parse_date(std::string_view s, int32_t* day) {
  if (auto iso = parse_iso_date(s)) {
    *day = *iso;
    return true;
  }
  Result<Value> v = deformat_picture(s, "@d2");
  if (!v.ok() || v->number().is_zero()) return false;
  *day = static_cast<int32_t>(v->number().to_integer());
  return true;
}

std::string date_text(int32_t day) { return day > 0 ? format_picture(Value(day), "@d2") : "0"; }

bool is_window_act(ScriptedFrontend::Act a) {
  using A = ScriptedFrontend::Act;
  return a == A::Type || a == A::Press || a == A::Key || a == A::Select ||
         a == A::DoubleClick || a == A::Scroll || a == A::Spin || a == A::Expect;
}

}  // namespace

// ---- loading ----

Status ScriptedFrontend::load(std::string_view script, std::string_view name) {
  actions_.clear();
  pos_ = 0;
  timers_left_ = -1;
  std::istringstream in{std::string(script)};
  std::string raw;
  int n = 0;
  auto err = [&](const std::string& why) {
    return Status(1, std::string(name) + ":" + std::to_string(n) + ": " + why);
  };
  while (std::getline(in, raw)) {
    ++n;
    std::string l = trim(raw);
    if (l.empty() || l[0] == '#') continue;
    std::string_view rest = l;
    std::string verb;
    take_word(rest, &verb);
    for (char& c : verb) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    Action a;
    a.line = n;
    a.source = l;
    bool quoted = false;
    if (verb == "type" || verb == "expect") {
      a.act = verb == "type" ? Act::Type : Act::Expect;
      if (!take_word(rest, &a.target) || a.target.empty()) return err(verb + " needs a control");
      if (!rest_text(rest, &a.text, &quoted)) return err("unterminated quote");
      if (a.act == Act::Type) a.text = typed_text(a.text);
    } else if (verb == "press") {
      a.act = Act::Press;
      if (!rest_text(rest, &a.target, &quoted)) return err("unterminated quote");
      if (a.target.empty()) return err("press needs a control");
    } else if (verb == "key") {
      a.act = Act::Key;
      std::string k;
      take_word(rest, &k);
      a.key = parse_key(k);
      if (a.key == Key::None) return err("unknown key \"" + k + "\"");
      if (!take_word(rest, &a.target)) return err("unterminated quote");
    } else if (verb == "select" || verb == "dblclick") {
      a.act = verb == "select" ? Act::Select : Act::DoubleClick;
      std::string row;
      if (!take_word(rest, &a.target) || !take_word(rest, &row) || !parse_int(row, &a.number) ||
          a.number < 1)
        return err(verb + " needs a list and a row number from 1");
    } else if (verb == "scroll") {
      a.act = Act::Scroll;
      std::string how, pct;
      take_word(rest, &a.target);
      take_word(rest, &how);
      for (char& c : how) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (how == "up") a.scroll = ScrollKind::RowUp;
      else if (how == "down") a.scroll = ScrollKind::RowDown;
      else if (how == "pgup") a.scroll = ScrollKind::PageUp;
      else if (how == "pgdn") a.scroll = ScrollKind::PageDown;
      else if (how == "top") a.scroll = ScrollKind::Top;
      else if (how == "bottom") a.scroll = ScrollKind::Bottom;
      else if (how == "drag") {
        a.scroll = ScrollKind::Drag;
        take_word(rest, &pct);
        if (!parse_int(pct, &a.number) || a.number > 100) return err("drag needs 0..100");
      } else {
        return err("scroll needs up, down, pgup, pgdn, top, bottom or drag N");
      }
    } else if (verb == "spin") {
      a.act = Act::Spin;
      std::string dir, count;
      take_word(rest, &a.target);
      take_word(rest, &dir);
      take_word(rest, &count);
      int c = 1;
      if (!count.empty() && !parse_int(count, &c)) return err("spin count must be a number");
      if (same_label(dir, "up")) a.number = c;
      else if (same_label(dir, "down")) a.number = -c;
      else return err("spin needs up or down");
    } else if (verb == "answer") {
      a.act = Act::Answer;
      if (!rest_text(rest, &a.text, &quoted)) return err("unterminated quote");
      if (a.text.empty()) return err("answer needs a button");
      if (!quoted && a.text.size() > 1 && a.text[0] == '#' &&
          !parse_int(std::string_view(a.text).substr(1), &a.number))
        return err("answer #n needs a number");
    } else if (verb == "lookup") {
      a.act = Act::Lookup;
      if (!rest_text(rest, &a.text, &quoted)) return err("unterminated quote");
      if (!quoted && same_label(a.text, "cancel")) a.cancel = true;
      else if (!quoted && same_label(a.text, "current")) a.current = true;
      else if (!quoted && a.text.empty()) return err("lookup needs a key value, cancel or current");
    } else if (verb == "date") {
      a.act = Act::Date;
      std::string d = trim(rest);
      if (same_label(d, "cancel")) a.cancel = true;
      else if (!parse_date(d, &a.day)) return err("date needs mm/dd/yyyy, yyyy-mm-dd or cancel");
    } else if (verb == "output") {
      a.act = Act::Output;
      std::string w;
      bool any = false;
      while (true) {
        if (!take_word(rest, &w)) return err("unterminated quote");
        if (w.empty()) break;
        size_t eq = w.find('=');
        std::string key = eq == std::string::npos ? w : w.substr(0, eq);
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (eq == std::string::npos) {
          if (key == "cancel") a.cancel = true;
          else if (key == "preview") a.output.preview = true;
          else if (key == "print") a.output.print = true;
          else if (key == "fax") a.output.fax = true;
          else if (key == "email") a.output.email = true;
          else if (key == "pdf") a.output.pdf = true;
          else if (key == "offpeak") a.output.off_peak = true;
          else return err("unknown output choice \"" + w + "\"");
          any = true;
          continue;
        }
        // key=value; a quoted value was taken whole by take_word only when the word began with
        // a quote, so re-read a value that starts with one.
        std::string value = w.substr(eq + 1);
        if (!value.empty() && value[0] == '"') {
          std::string_view v = value;
          std::string unq;
          if (!take_word(v, &unq)) {
            // The quoted value holds blanks: it continues in the rest of the line.
            std::string more = value + std::string(rest);
            std::string_view mv = more;
            if (!take_word(mv, &unq)) return err("unterminated quote");
            rest = std::string_view(rest).substr(rest.size() - mv.size());
          }
          value = unq;
        }
        if (key == "to") a.output.email_to = value;
        else if (key == "file") a.output.pdf_file = value;
        else if (key == "name") a.output.to_name = value;
        else if (key == "company") a.output.to_company = value;
        else if (key == "number") a.output.fax_number = value;
        else if (key == "subject") a.output.subject = value;
        else if (key == "comments") a.output.comments = value;
        else return err("unknown output field \"" + key + "\"");
      }
      if (!any && !a.cancel) return err("output needs a choice (preview, print, fax, email, pdf)");
    } else if (verb == "preview") {
      a.act = Act::Preview;
      std::string w = trim(rest);
      if (same_label(w, "print")) a.preview = PreviewAnswer::Print;
      else if (same_label(w, "close")) a.preview = PreviewAnswer::Close;
      else return err("preview needs print or close");
    } else if (verb == "timers") {
      a.act = Act::Timers;
      if (!parse_int(trim(rest), &a.number) || a.number < 1) return err("timers needs N >= 1");
    } else {
      return err("unknown action \"" + verb + "\"");
    }
    actions_.push_back(std::move(a));
  }
  return Status::Ok();
}

Status ScriptedFrontend::load_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status(1, "cannot read script " + path);
  std::stringstream ss;
  ss << in.rdbuf();
  return load(ss.str(), path);
}

Status ScriptedFrontend::finish() const {
  if (!status_.ok()) return status_;
  if (pos_ < actions_.size())
    return Status(1, "script line " + std::to_string(actions_[pos_].line) +
                         " was never used: " + actions_[pos_].source);
  return Status::Ok();
}

// ---- transcript ----

int ScriptedFrontend::indent() const { return Window::open_count() * 2; }

void ScriptedFrontend::line(const std::string& text) {
  std::string l(static_cast<size_t>(indent()), ' ');
  l += text;
  l += '\n';
  transcript_ += l;
  if (echo_) {
    std::fputs(l.c_str(), echo_);
    std::fflush(echo_);
  }
}

void ScriptedFrontend::fail(const std::string& why) {
  if (!status_.ok()) return;
  status_ = Status(1, why);
  line("error: " + why);
}

bool ScriptedFrontend::after_failure() {
  if (status_.ok()) return false;
  // A caller that keeps asking after the run failed (a retry loop) must not spin forever.
  if (++after_failure_ > 100000) {
    std::fprintf(stderr, "scripted run failed and the program keeps asking: %s\n",
                 status_.text().c_str());
    std::abort();
  }
  return true;
}

ScriptedFrontend::Action* ScriptedFrontend::next_action() {
  return pos_ < actions_.size() ? &actions_[pos_] : nullptr;
}

std::string ScriptedFrontend::describe_next() const {
  if (pos_ >= actions_.size()) return "the script has ended";
  return "the next action (line " + std::to_string(actions_[pos_].line) + ") is \"" +
         actions_[pos_].source + "\"";
}

void ScriptedFrontend::window_shown(Window& win) {
  // The window itself is already on the stack: its line goes one level out.
  std::string l(static_cast<size_t>(indent() - 2), ' ');
  l += "window " + q(win.title()) + "\n";
  transcript_ += l;
  if (echo_) std::fputs(l.c_str(), echo_);
}

void ScriptedFrontend::window_closed(Window& win) { line("close " + q(win.title())); }

void ScriptedFrontend::window_title_changed(Window& win) { line("title " + q(win.title())); }

void ScriptedFrontend::beep() { line("beep"); }

// ---- window input ----

int ScriptedFrontend::resolve(Window& win, const Action& a, UserInput* out) {
  auto missing = [&](const std::string& what) {
    return "line " + std::to_string(a.line) + ": window " + q(win.title()) + " has no " + what +
           " " + q(a.target);
  };
  auto unusable = [&](int id) {
    const ControlDef* d = win.control_def(id);
    return "line " + std::to_string(a.line) + ": " + (d ? d->label : a.target) + " in window " +
           q(win.title()) + " is hidden or disabled";
  };
  *out = UserInput{};
  switch (a.act) {
    case Act::Type:
    case Act::Spin:
    case Act::Expect: {
      int id = a.act == Act::Expect ? win.find_for_pressing(a.target) : win.find_for_typing(a.target);
      if (!id && a.act == Act::Expect) id = win.find_for_typing(a.target);
      if (!id) return 1;
      if (a.act == Act::Expect) {
        const ControlDef* d = win.control_def(id);
        std::string shown = trim(win.screen_text(d->label));
        if (shown != trim(a.text)) {
          fail("line " + std::to_string(a.line) + ": " + d->label + " shows " + q(shown) +
               ", expected " + q(trim(a.text)));
          return -1;
        }
        return 0;
      }
      if (!win.usable(id)) {
        fail(unusable(id));
        return -1;
      }
      const ControlDef* d = win.control_def(id);
      if (d->read_only) {
        fail("line " + std::to_string(a.line) + ": " + d->label + " is read-only");
        return -1;
      }
      out->kind = a.act == Act::Type ? UserInput::Kind::Type : UserInput::Kind::Spin;
      if (a.act == Act::Spin && d->kind != ControlKind::Spin) {
        fail(missing("spin box"));
        return -1;
      }
      out->control = id;
      out->text = a.text;
      out->count = a.number;
      return 0;
    }
    case Act::Press: {
      int id = win.find_for_pressing(a.target);
      if (!id) {
        Window* owner = nullptr;
        int bid = win.find_borrowed(a.target, &owner);
        if (!bid) return 1;
        if (!owner->usable(bid)) {
          fail("line " + std::to_string(a.line) + ": " + a.target + " is hidden or disabled");
          return -1;
        }
        out->kind = UserInput::Kind::Press;
        out->control = bid;
        return 0;
      }
      if (!win.usable(id)) {
        fail(unusable(id));
        return -1;
      }
      out->kind = UserInput::Kind::Press;
      out->control = id;
      return 0;
    }
    case Act::Key: {
      out->kind = UserInput::Kind::Key;
      out->key = a.key;
      if (!a.target.empty()) {
        int id = win.find_for_pressing(a.target);
        if (!id) id = win.find_for_typing(a.target);
        if (!id) return 1;
        if (!win.usable(id)) {
          fail(unusable(id));
          return -1;
        }
        out->control = id;
      }
      return 0;
    }
    case Act::Select:
    case Act::DoubleClick:
    case Act::Scroll: {
      int id = win.find_for_pressing(a.target);
      const ControlDef* d = id ? win.control_def(id) : nullptr;
      if (!d || d->kind != ControlKind::List) return 1;
      if (!win.usable(id)) {
        fail(unusable(id));
        return -1;
      }
      out->control = id;
      if (a.act == Act::Scroll) {
        out->kind = UserInput::Kind::Scroll;
        out->scroll = a.scroll;
        out->drag_percent = a.number;
        return 0;
      }
      int rows = static_cast<int>(win.list_rows(d->label).size());
      if (a.number > rows) {
        fail("line " + std::to_string(a.line) + ": list " + d->label + " shows " +
             std::to_string(rows) + " rows, no row " + std::to_string(a.number));
        return -1;
      }
      out->kind = a.act == Act::Select ? UserInput::Kind::SelectRow : UserInput::Kind::DoubleClick;
      out->row = a.number;
      return 0;
    }
    default:
      return 1;
  }
}

Wait ScriptedFrontend::next_input(Window& win, bool timer_running, UserInput* out) {
  while (true) {
    if (after_failure()) return Wait::Stop;
    Action* a = next_action();
    auto wait_or_fail = [&](const std::string& why) {
      if (timer_running) {
        if (++idle_timers_ > max_idle_timers_) {
          fail("window " + q(win.title()) + " ran its timer " + std::to_string(max_idle_timers_) +
               " times waiting: " + why);
          return Wait::Stop;
        }
        return Wait::Timer;
      }
      fail("window " + q(win.title()) + " waits for input and " + why);
      return Wait::Stop;
    };
    if (!a) return wait_or_fail(describe_next());
    if (a->act == Act::Timers) {
      if (!timer_running) {
        fail("line " + std::to_string(a->line) + ": timers, but window " + q(win.title()) +
             " has no timer running");
        return Wait::Stop;
      }
      if (timers_left_ < 0) timers_left_ = a->number;
      if (--timers_left_ <= 0) {
        timers_left_ = -1;
        ++pos_;
      }
      idle_timers_ = 0;
      return Wait::Timer;
    }
    if (!is_window_act(a->act)) return wait_or_fail(describe_next());
    int r = resolve(win, *a, out);
    if (r < 0) return Wait::Stop;
    if (r > 0) {
      std::string why = "it has no control " + q(a->target) + " (line " +
                        std::to_string(a->line) + ")";
      return wait_or_fail(why);
    }
    line("> " + a->source);
    ++pos_;
    idle_timers_ = 0;
    if (a->act == Act::Expect) continue;
    return Wait::Input;
  }
}

// ---- questions ----

int ScriptedFrontend::message_box(const MessageBox& box) {
  std::string shown = "message " + q(box.caption) + " [" + icon_name(box.icon) + "] " +
                      q(box.text) + " buttons ";
  std::string list;
  for (const auto& b : box.buttons) list += (list.empty() ? "" : "|") + b;
  shown += q(list) + " default " + std::to_string(box.default_button);
  if (after_failure()) {
    line(shown + " -> not answered");
    return box.default_button;
  }
  Action* a = next_action();
  if (!a || a->act != Act::Answer) {
    line(shown);
    fail("message box " + q(box.caption) + " " + q(box.text) + " not answered: " +
         describe_next());
    return box.default_button;
  }
  int n = 0;
  if (a->number > 0) {
    n = a->number <= static_cast<int>(box.buttons.size()) ? a->number : 0;
  } else {
    for (size_t i = 0; i < box.buttons.size(); ++i) {
      // The answer names the button as a person reads it; "&" may be left in or out.
      std::string shown_text = trim(strip_access_key(box.buttons[i]));
      if (same_label(shown_text, trim(a->text)) ||
          same_label(shown_text, trim(strip_access_key(a->text)))) {
        n = static_cast<int>(i) + 1;
        break;
      }
    }
  }
  if (n == 0) {
    line(shown);
    fail("line " + std::to_string(a->line) + ": message box " + q(box.caption) + " " +
         q(box.text) + " has no button " + q(a->text));
    return box.default_button;
  }
  ++pos_;
  line(shown + " -> " + std::to_string(n) + " " + q(box.buttons[static_cast<size_t>(n - 1)]));
  return n;
}

LookupAnswer ScriptedFrontend::lookup(const LookupRequest& req) {
  std::string shown = "lookup " + req.window + (req.title.empty() ? "" : " " + q(req.title)) +
                      " at " + q(req.partial);
  if (after_failure()) {
    line(shown + " -> not answered");
    return {};
  }
  Action* a = next_action();
  if (!a || a->act != Act::Lookup) {
    line(shown);
    fail("lookup " + req.window + " not answered: " + describe_next());
    return {};
  }
  ++pos_;
  if (a->cancel) {
    line(shown + " -> cancelled");
    return {};
  }
  std::string key = a->text;
  if (a->current) {
    if (!req.positioned) {
      line(shown);
      fail("line " + std::to_string(a->line) + ": lookup " + req.window +
           " cannot tell which record it shows");
      return {};
    }
    key = req.positioned(req.partial);
    if (key.empty()) {
      line(shown + " -> no record there");
      fail("line " + std::to_string(a->line) + ": lookup " + req.window + " shows no record");
      return {};
    }
  } else if (req.exists && !req.exists(key)) {
    line(shown);
    fail("line " + std::to_string(a->line) + ": lookup " + req.window + " has no record " +
         q(key));
    return {};
  }
  line(shown + " -> " + q(key));
  return {true, key};
}

DateAnswer ScriptedFrontend::select_date(const DateRequest& req) {
  std::string shown = "date" + (req.title.empty() ? "" : " " + q(req.title)) + " at " +
                      date_text(req.day);
  if (after_failure()) {
    line(shown + " -> not answered");
    return {false, req.day};
  }
  Action* a = next_action();
  if (!a || a->act != Act::Date) {
    line(shown);
    fail("date selection not answered: " + describe_next());
    return {false, req.day};
  }
  ++pos_;
  if (a->cancel) {
    line(shown + " -> cancelled");
    return {false, req.day};
  }
  line(shown + " -> " + date_text(a->day));
  return {true, a->day};
}

bool ScriptedFrontend::output_dialog(OutputChoice* choice) {
  if (after_failure()) {
    line("output dialog -> not answered");
    return false;
  }
  Action* a = next_action();
  if (!a || a->act != Act::Output) {
    line("output dialog");
    fail("output dialog not answered: " + describe_next());
    return false;
  }
  ++pos_;
  if (a->cancel) {
    line("output dialog -> cancelled");
    return false;
  }
  *choice = a->output;
  std::string s = "output dialog ->";
  const OutputChoice& c = a->output;
  if (c.preview) s += " preview";
  if (c.print) s += " print";
  if (c.fax) s += " fax";
  if (c.email) s += " email";
  if (c.pdf) s += " pdf";
  if (c.off_peak) s += " offpeak";
  auto field = [&](const char* k, const std::string& v) {
    if (!v.empty()) s += std::string(" ") + k + "=" + q(v);
  };
  field("to", c.email_to);
  field("file", c.pdf_file);
  field("name", c.to_name);
  field("company", c.to_company);
  field("number", c.fax_number);
  field("subject", c.subject);
  field("comments", c.comments);
  line(s);
  return true;
}

PreviewAnswer ScriptedFrontend::preview(const PreviewRequest& req) {
  std::string where = req.folder;
  if (where.empty() && !req.pages.empty()) {
    size_t slash = req.pages.front().find_last_of("/\\");
    where = slash == std::string::npos ? "." : req.pages.front().substr(0, slash);
  }
  std::string shown = "preview " + q(req.title) + " " + std::to_string(req.page_count) +
                      (req.page_count == 1 ? " page" : " pages") +
                      (where.empty() ? "" : " in " + q(where));
  if (after_failure()) {
    line(shown + " -> not answered");
    return PreviewAnswer::Close;
  }
  Action* a = next_action();
  if (!a || a->act != Act::Preview) {
    line(shown);
    fail("preview " + q(req.title) + " not answered: " + describe_next());
    return PreviewAnswer::Close;
  }
  ++pos_;
  line(shown + (a->preview == PreviewAnswer::Print ? " -> print" : " -> close"));
  return a->preview;
}

void ScriptedFrontend::print_job(const PrintJobNotice& n) {
  std::string s = "print " + q(n.title) + " " + std::to_string(n.pages) +
                  (n.pages == 1 ? " page" : " pages");
  if (n.copies != 1) s += " x " + std::to_string(n.copies) + " copies";
  if (!n.printer.empty()) s += " on " + q(n.printer);
  if (!n.where.empty()) s += " to " + q(n.where);
  line(s);
}

void ScriptedFrontend::fax_job(const FaxJobNotice& n) {
  line("fax " + std::to_string(n.id) + " to " + q(n.number) + " " + q(n.to_name) + " " +
       q(n.to_company) + " subject " + q(n.subject) + " " + std::to_string(n.pages) +
       (n.pages == 1 ? " page" : " pages") + ": " + n.state);
}

void ScriptedFrontend::email_sent(const EmailNotice& n) {
  line("e-mail to " + q(n.to) + " " + q(n.to_name) + " subject " + q(n.subject) +
       " attachment " + q(n.attachment) + ": " + n.state);
}

}  // namespace tdx::ui
