#include "frontend/desktop/robot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <cctype>
#include <sstream>

#include "frontend/desktop/window_view.h"
#include "runtime/ui/message_box.h"
#include "runtime/ui/window.h"

namespace tdx::desktop {
namespace {

// After the last step, how long the run may wait for a user before it is failed.
constexpr int kIdleAfterLastMs = 15000;
constexpr int kTickMs = 20;

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool take_word(std::string_view& rest, std::string* word) {
  size_t i = 0;
  while (i < rest.size() && std::isspace(static_cast<unsigned char>(rest[i]))) ++i;
  word->clear();
  if (i < rest.size() && rest[i] == '"') {
    ++i;
    for (;;) {
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

struct KeyName {
  const char* name;
  Qt::Key key;
  Qt::KeyboardModifiers mods;
};
const KeyName kKeys[] = {
    {"f1", Qt::Key_F1, Qt::NoModifier},
    {"f2", Qt::Key_F2, Qt::NoModifier},
    {"f3", Qt::Key_F3, Qt::NoModifier},
    {"f4", Qt::Key_F4, Qt::NoModifier},
    {"f5", Qt::Key_F5, Qt::NoModifier},
    {"f6", Qt::Key_F6, Qt::NoModifier},
    {"f7", Qt::Key_F7, Qt::NoModifier},
    {"f8", Qt::Key_F8, Qt::NoModifier},
    {"f9", Qt::Key_F9, Qt::NoModifier},
    {"f10", Qt::Key_F10, Qt::NoModifier},
    {"f11", Qt::Key_F11, Qt::NoModifier},
    {"f12", Qt::Key_F12, Qt::NoModifier},
    {"esc", Qt::Key_Escape, Qt::NoModifier},
    {"tab", Qt::Key_Tab, Qt::NoModifier},
    {"shifttab", Qt::Key_Backtab, Qt::ShiftModifier},
    {"enter", Qt::Key_Return, Qt::NoModifier},
    {"up", Qt::Key_Up, Qt::NoModifier},
    {"down", Qt::Key_Down, Qt::NoModifier},
    {"left", Qt::Key_Left, Qt::NoModifier},
    {"right", Qt::Key_Right, Qt::NoModifier},
    {"space", Qt::Key_Space, Qt::NoModifier},
    {"pgup", Qt::Key_PageUp, Qt::NoModifier},
    {"pgdn", Qt::Key_PageDown, Qt::NoModifier},
    {"home", Qt::Key_Home, Qt::NoModifier},
    {"end", Qt::Key_End, Qt::NoModifier},
};

const KeyName* find_key(const std::string& name) {
  for (const auto& k : kKeys)
    if (lower(name) == k.name) return &k;
  return nullptr;
}

// The widget a step names in what waits.
QWidget* resolve(const Waiting& now, const std::string& target, bool typing) {
  if (!now.top) return nullptr;
  if (now.view) {
    ui::Window& win = now.view->window();
    int id = typing ? win.find_for_typing(target) : win.find_for_pressing(target);
    if (id) {
      if (QWidget* w = now.view->widget_of(win.label(id))) return w;
    }
  }
  if (auto* w = now.top->findChild<QWidget*>(qs(target))) return w;
  std::string want = lower(ui::strip_access_key(target));
  for (auto* b : now.top->findChildren<QAbstractButton*>()) {
    if (!b->isVisible()) continue;
    if (lower(ui::strip_access_key(cp(b->text()))) == want) return b;
  }
  return nullptr;
}

}  // namespace

Status Robot::load(std::string_view text, std::string_view name) {
  steps_.clear();
  pos_ = 0;
  started_ = false;
  idle_top_ = nullptr;
  std::istringstream in{std::string(text)};
  std::string raw;
  int n = 0;
  while (std::getline(in, raw)) {
    ++n;
    std::string_view rest = raw;
    std::string verb;
    if (!take_word(rest, &verb))
      return Status(1, std::string(name) + ":" + std::to_string(n) + ": unterminated quote");
    if (verb.empty() || verb[0] == '#') continue;
    Step s;
    s.line = n;
    s.source = raw;
    s.verb = lower(verb);
    auto err = [&](const std::string& why) {
      return Status(1, std::string(name) + ":" + std::to_string(n) + ": " + why);
    };
    std::string word;
    if (s.verb == "wait") {
      take_word(rest, &s.target);
      s.target = lower(s.target);
      static const char* kinds[] = {"window", "message", "lookup", "date", "output", "preview"};
      bool known = false;
      for (const char* k : kinds) known = known || s.target == k;
      if (!known) return err("wait needs window, message, lookup, date, output or preview");
      if (!take_word(rest, &s.text)) return err("unterminated quote");
    } else if (s.verb == "shot" || s.verb == "screen") {
      if (!take_word(rest, &s.text) || s.text.empty()) return err("shot needs a file name");
    } else if (s.verb == "type") {
      if (!take_word(rest, &s.target) || s.target.empty()) return err("type needs a control");
      if (!take_word(rest, &s.text)) return err("unterminated quote");
    } else if (s.verb == "key") {
      if (!take_word(rest, &s.text) || !find_key(s.text)) return err("unknown key");
      if (!take_word(rest, &s.target)) return err("unterminated quote");
    } else if (s.verb == "click") {
      if (!take_word(rest, &s.target) || s.target.empty()) return err("click needs a control");
    } else if (s.verb == "pause") {
      if (!take_word(rest, &word)) return err("unterminated quote");
      s.number = std::atoi(word.c_str());
      if (s.number <= 0) return err("pause needs a count of ticks");
    } else {
      return err("unknown step \"" + verb + "\"");
    }
    steps_.push_back(std::move(s));
  }
  return Status::Ok();
}

Status Robot::poll(const Waiting& now) {
  if (!started_) {
    since_.start();
    started_ = true;
  }
  if (done()) {
    const void* top = now.top.data();
    if (top != idle_top_) {
      idle_top_ = top;
      idle_.start();
    } else if (idle_.elapsed() > kIdleAfterLastMs) {
      return Status(1, "robot: the script has ended and \"" + now.title + "\" (" + now.kind +
                           ") still waits");
    }
    return Status::Ok();
  }
  while (!done()) {
    const Step& s = steps_[pos_];
    if (s.verb == "wait") {
      bool match =
          now.kind == s.target && lower(now.title).find(lower(s.text)) != std::string::npos;
      if (!match) {
        if (since_.elapsed() > timeout_ms_)
          return Status(1, "robot line " + std::to_string(s.line) + ": \"" + s.source +
                               "\" not met; waiting now: " + now.kind + " \"" + now.title + "\"");
        return Status::Ok();
      }
      ++pos_;
      since_.start();
      continue;
    }
    if (s.verb == "pause") {
      if (since_.elapsed() < static_cast<qint64>(s.number) * kTickMs) return Status::Ok();
      ++pos_;
      since_.start();
      continue;
    }
    ++pos_;
    since_.start();
    Status st = act(s, now);
    if (!st.ok()) return st;
    return Status::Ok();  // one action per tick: the program answers before the next
  }
  return Status::Ok();
}

Status Robot::act(const Step& s, const Waiting& now) {
  auto err = [&](const std::string& why) {
    return Status(1, "robot line " + std::to_string(s.line) + ": " + why);
  };
  if (!now.top) return err("nothing waits");
  if (s.verb == "shot") {
    QString file = qs(s.text);
    QFileInfo info(file);
    QDir().mkpath(info.absolutePath());
    if (!now.top->grab().save(info.absoluteFilePath(), "PNG")) return err("cannot write " + s.text);
    return Status::Ok();
  }
  if (s.verb == "screen") {
    // What the display shows: let the windows shown and hidden last paint first.
    QCoreApplication::processEvents();
    QScreen* screen = QGuiApplication::primaryScreen();
    QFileInfo info(qs(s.text));
    QDir().mkpath(info.absolutePath());
    if (!screen || !screen->grabWindow(0).save(info.absoluteFilePath(), "PNG"))
      return err("cannot grab the screen into " + s.text);
    return Status::Ok();
  }
  if (s.verb == "type") {
    QWidget* w = resolve(now, s.target, true);
    if (!w) return err("no control " + s.target + " in \"" + now.title + "\"");
    QTest::mouseClick(w, Qt::LeftButton);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
    if (auto* t = qobject_cast<QPlainTextEdit*>(w)) t->selectAll();
    if (s.text.empty())
      QTest::keyClick(w, Qt::Key_Delete);
    else
      QTest::keyClicks(w, qs(s.text));
    if (now.view) QTest::keyClick(w, Qt::Key_Tab);
    return Status::Ok();
  }
  if (s.verb == "key") {
    const KeyName* k = find_key(s.text);
    QWidget* w = s.target.empty() ? QApplication::focusWidget() : resolve(now, s.target, true);
    if (!w || !now.top->isAncestorOf(w)) w = now.top->focusWidget();
    if (!w) w = now.top;
    QTest::keyClick(w, k->key, k->mods);
    return Status::Ok();
  }
  if (s.verb == "click") {
    QWidget* w = resolve(now, s.target, false);
    if (!w) return err("no control " + s.target + " in \"" + now.title + "\"");
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    return Status::Ok();
  }
  return err("unknown step");
}

}  // namespace tdx::desktop
