#include "frontend/desktop/desktop_frontend.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "frontend/desktop/dialogs.h"
#include "frontend/desktop/robot.h"
#include "frontend/desktop/window_view.h"
#include "runtime/ui/window.h"

namespace tdx::desktop {

namespace {

// Timers at least this slow (hundredths) keep their period; faster ones run back to back.
constexpr int kHonouredTimer = 10;
constexpr int kRobotTickMs = 20;

QMessageBox::Icon qt_icon(ui::Icon icon) {
  switch (icon) {
    case ui::Icon::Information:
    case ui::Icon::Asterisk:
      return QMessageBox::Information;
    case ui::Icon::Exclamation:
      return QMessageBox::Warning;
    case ui::Icon::Question:
      return QMessageBox::Question;
    case ui::Icon::Hand:
      return QMessageBox::Critical;
    default:
      return QMessageBox::NoIcon;
  }
}

// Qt wants a private runtime folder; a process started without one gets one of its own.
void ensure_runtime_dir() {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  if (dir && *dir) return;
  std::string d = "/tmp/tdx-runtime-" + std::to_string(::getuid());
  ::mkdir(d.c_str(), 0700);
  ::chmod(d.c_str(), 0700);
  ::setenv("XDG_RUNTIME_DIR", d.c_str(), 1);
}

bool env_set(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

}  // namespace

struct DesktopFrontend::Impl {
  int argc = 1;
  char arg0[16] = "tendix";
  char* argv[2] = {arg0, nullptr};
  std::unique_ptr<QApplication> app;
  std::map<ui::Window*, WindowView*> views;
  std::vector<Waiting> waiting;  // what waits, innermost last
  QEventLoop* loop = nullptr;    // the input wait running now
  QTimer tick;
  Robot robot;
  Status status;
  std::map<ui::Window*, QElapsedTimer> last_timer;
  int wait_cursors = 0;
  int cascade = 0;

  WindowView* view_of(ui::Window& win) {
    auto it = views.find(&win);
    return it == views.end() ? nullptr : it->second;
  }

  QWidget* top_widget() {
    for (auto it = waiting.rbegin(); it != waiting.rend(); ++it)
      if (it->top) return it->top;
    if (ui::Window* a = ui::Window::active())
      if (WindowView* v = view_of(*a)) return v;
    return nullptr;
  }

  void update_active() {
    ui::Window* active = ui::Window::active();
    for (auto& [win, view] : views) view->set_active(win == active);
  }

  void fail(const std::string& why) {
    if (!status.ok()) return;
    status = Status(1, why);
    std::fprintf(stderr, "tendix desktop: %s\n", why.c_str());
    if (loop) loop->quit();
    for (auto& w : waiting)
      if (auto* d = qobject_cast<QDialog*>(w.top.data())) d->reject();
  }

  void poll_robot() {
    if (!robot.loaded() || waiting.empty() || !status.ok()) return;
    Status s = robot.poll(waiting.back());
    if (!s.ok()) fail(s.text());
  }

  // Runs a modal dialog as what waits now.
  int exec(QDialog& dialog, const std::string& kind, const std::string& title) {
    waiting.push_back(Waiting{kind, title, &dialog, nullptr});
    // The robot looks once the dialog's own loop runs (an answer given before would be lost).
    QTimer::singleShot(0, &dialog, [this] { poll_robot(); });
    int r = status.ok() ? dialog.exec() : QDialog::Rejected;
    waiting.pop_back();
    return r;
  }

  void notice(const QString& caption, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", caption.toStdString().c_str(), text.toStdString().c_str());
    auto* box =
        new QMessageBox(QMessageBox::Information, caption, text, QMessageBox::Ok, top_widget());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
  }
};

DesktopFrontend::DesktopFrontend() : impl_(std::make_unique<Impl>()) {}

Result<std::unique_ptr<DesktopFrontend>> DesktopFrontend::Create() {
  if (!QApplication::instance() && !env_set("QT_QPA_PLATFORM") && !env_set("DISPLAY") &&
      !env_set("WAYLAND_DISPLAY"))
    return Status(1, "no display (DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM)");
  ensure_runtime_dir();
  std::unique_ptr<DesktopFrontend> fe(new DesktopFrontend());
  Impl& d = *fe->impl_;
  if (!QApplication::instance()) {
    d.app = std::make_unique<QApplication>(d.argc, d.argv);
    QApplication::setApplicationName("Tendix");
    QApplication::setQuitOnLastWindowClosed(false);
  }
  d.tick.setInterval(kRobotTickMs);
  QObject::connect(&d.tick, &QTimer::timeout, [&d] { d.poll_robot(); });
  if (const char* file = std::getenv("TDX_DESKTOP_ROBOT"); file && *file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return Status(1, std::string("cannot read the robot script ") + file);
    std::stringstream ss;
    ss << in.rdbuf();
    Status s = fe->load_robot(ss.str(), file);
    if (!s.ok()) return s;
  }
  return fe;
}

DesktopFrontend::~DesktopFrontend() {
  for (auto& [win, view] : impl_->views) delete view;
  impl_->views.clear();
  impl_->tick.stop();
  while (impl_->wait_cursors-- > 0) QApplication::restoreOverrideCursor();
  impl_->app.reset();
}

Status DesktopFrontend::load_robot(std::string_view text, std::string_view name) {
  Status s = impl_->robot.load(text, name);
  if (s.ok() && impl_->robot.loaded()) impl_->tick.start();
  return s;
}

void DesktopFrontend::set_robot_timeout_ms(int ms) { impl_->robot.set_timeout_ms(ms); }

Status DesktopFrontend::status() const { return impl_->status; }

Status DesktopFrontend::finish() const {
  if (!impl_->status.ok()) return impl_->status;
  if (impl_->robot.loaded() && !impl_->robot.done())
    return Status(1, "robot: the run ended before the script did");
  return Status::Ok();
}

// ---- windows ----

void DesktopFrontend::window_shown(ui::Window& win) {
  Impl& d = *impl_;
  if (d.view_of(win)) return;
  WindowView* parent = nullptr;
  for (auto& [w, v] : d.views) parent = v;  // any open view: the new one goes over them
  auto* view = new WindowView(win, [&d] {
    if (d.loop) d.loop->quit();
  });
  view->set_borrowed_press([&d](int id) {
    // A button of a window under the active one that the active window handles (the main
    // frame's toolbar) is pressed for the active window.
    ui::Window* active = ui::Window::active();
    if (!active) return false;
    ui::Window* owner = nullptr;
    if (!active->find_borrowed(std::to_string(id), &owner)) return false;
    WindowView* av = d.view_of(*active);
    if (!av) return false;
    ui::UserInput in;
    in.kind = ui::UserInput::Kind::Press;
    in.control = id;
    av->queue(in);
    return true;
  });
  d.views[&win] = view;
  view->sync();
  QScreen* screen = QGuiApplication::primaryScreen();
  QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  if (win.def().centred || !parent) {
    QRect r(QPoint(0, 0), view->size());
    r.moveCenter(area.center());
    view->move(r.topLeft());
  } else {
    d.cascade = (d.cascade + 1) % 8;
    view->move(parent->pos() + QPoint(24 + 16 * d.cascade, 24 + 16 * d.cascade));
  }
  d.update_active();
  view->show();
  view->raise();
  view->activateWindow();
}

void DesktopFrontend::window_closed(ui::Window& win) {
  Impl& d = *impl_;
  auto it = d.views.find(&win);
  if (it == d.views.end()) return;
  WindowView* view = it->second;
  d.views.erase(it);
  d.last_timer.erase(&win);
  view->detach();
  view->deleteLater();
  d.update_active();
  if (ui::Window* a = ui::Window::active())
    if (WindowView* v = d.view_of(*a)) {
      v->raise();
      v->activateWindow();
    }
}

void DesktopFrontend::window_title_changed(ui::Window& win) {
  if (WindowView* v = impl_->view_of(win)) v->setWindowTitle(qs(win.title()));
}

ui::Wait DesktopFrontend::next_input(ui::Window& win, bool timer_running, ui::UserInput* out) {
  Impl& d = *impl_;
  if (!d.status.ok()) return ui::Wait::Stop;
  WindowView* view = d.view_of(win);
  if (!view) {
    window_shown(win);
    view = d.view_of(win);
  }
  d.update_active();
  view->sync();
  d.waiting.push_back(Waiting{"window", win.title(), view, view});
  struct Pop {
    Impl& d;
    ~Pop() { d.waiting.pop_back(); }
  } pop{d};
  d.poll_robot();
  if (timer_running) {
    QElapsedTimer& last = d.last_timer[&win];
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    d.poll_robot();
    int period_ms = win.timer() * 10;
    if (!view->has_input() && d.status.ok() && win.timer() >= kHonouredTimer && last.isValid() &&
        last.elapsed() < period_ms) {
      QEventLoop loop;
      QTimer::singleShot(static_cast<int>(period_ms - last.elapsed()), &loop, &QEventLoop::quit);
      d.loop = &loop;
      loop.exec();
      d.loop = nullptr;
    }
    if (!d.status.ok()) return ui::Wait::Stop;
    if (view->has_input()) {
      *out = view->take_input();
      return ui::Wait::Input;
    }
    last.start();
    return ui::Wait::Timer;
  }
  while (!view->has_input() && d.status.ok()) {
    QEventLoop loop;
    d.loop = &loop;
    loop.exec();
    d.loop = nullptr;
  }
  if (!d.status.ok()) return ui::Wait::Stop;
  *out = view->take_input();
  return ui::Wait::Input;
}

void DesktopFrontend::beep() { QApplication::beep(); }

void DesktopFrontend::set_cursor(ui::Cursor c) {
  Impl& d = *impl_;
  if (c == ui::Cursor::Wait) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++d.wait_cursors;
  } else if (d.wait_cursors > 0) {
    QApplication::restoreOverrideCursor();
    --d.wait_cursors;
  }
}

// ---- message boxes ----

int DesktopFrontend::message_box(const ui::MessageBox& box) {
  Impl& d = *impl_;
  int n = static_cast<int>(box.buttons.size());
  int def =
      box.default_button >= 1 && box.default_button <= std::max(n, 1) ? box.default_button : 1;
  if (!d.status.ok()) return def;
  QMessageBox mb(d.top_widget());
  mb.setObjectName("MESSAGE");
  mb.setWindowTitle(qs(box.caption));
  std::string text;
  for (const std::string& l : ui::message_lines(box.text)) text += (text.empty() ? "" : "\n") + l;
  mb.setText(qs(text));
  mb.setIcon(qt_icon(box.icon));
  std::vector<std::string> buttons =
      box.buttons.empty() ? std::vector<std::string>{"&OK"} : box.buttons;
  std::vector<QPushButton*> pbs;
  QPushButton* escape = nullptr;
  for (const std::string& b : buttons) {
    QPushButton* pb = mb.addButton(qs(b), QMessageBox::ActionRole);
    pb->setObjectName(qs("?" + ui::strip_access_key(b)));
    pbs.push_back(pb);
    std::string plain = ui::strip_access_key(b);
    for (char& c : plain) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (plain == "cancel") escape = pb;
  }
  if (!escape && pbs.size() == 1) escape = pbs[0];
  if (escape) mb.setEscapeButton(escape);
  mb.setDefaultButton(pbs[static_cast<size_t>(def - 1)]);
  d.exec(mb, "message", box.caption);
  QAbstractButton* clicked = mb.clickedButton();
  for (size_t i = 0; i < pbs.size(); ++i)
    if (pbs[i] == clicked) return static_cast<int>(i) + 1;
  return def;
}

// ---- main-module dialogs ----

ui::LookupAnswer DesktopFrontend::lookup(const ui::LookupRequest& req) {
  Impl& d = *impl_;
  if (!d.status.ok()) return {};
  LookupDialog dialog(req, d.top_widget());
  d.exec(dialog, "lookup", req.title.empty() ? req.window : req.title);
  return d.status.ok() ? dialog.answer() : ui::LookupAnswer{};
}

ui::DateAnswer DesktopFrontend::select_date(const ui::DateRequest& req) {
  Impl& d = *impl_;
  if (!d.status.ok()) return {false, req.day};
  CalendarDialog dialog(req, d.top_widget());
  d.exec(dialog, "date", req.title.empty() ? "Select a Date" : req.title);
  ui::DateAnswer a = d.status.ok() ? dialog.answer() : ui::DateAnswer{};
  if (!a.chosen) a.day = req.day;
  return a;
}

bool DesktopFrontend::output_dialog(ui::OutputChoice* choice) {
  Impl& d = *impl_;
  if (!d.status.ok()) return false;
  OutputDialog dialog(*choice, d.top_widget());
  if (d.exec(dialog, "output", "Report Output") != QDialog::Accepted || !d.status.ok())
    return false;
  *choice = dialog.choice();
  return true;
}

ui::PreviewAnswer DesktopFrontend::preview(const ui::PreviewRequest& req) {
  Impl& d = *impl_;
  if (!d.status.ok()) return ui::PreviewAnswer::Close;
  PreviewDialog dialog(req, d.top_widget());
  d.exec(dialog, "preview", req.title);
  return d.status.ok() ? dialog.answer() : ui::PreviewAnswer::Close;
}

// ---- notices ----

void DesktopFrontend::print_job(const ui::PrintJobNotice& n) {
  QString text = QString("\"%1\": %2 page(s), %3 cop%4 sent to %5")
                     .arg(qs(n.title))
                     .arg(n.pages)
                     .arg(n.copies)
                     .arg(n.copies == 1 ? "y" : "ies")
                     .arg(qs(n.printer));
  if (!n.where.empty()) text += " (" + qs(n.where) + ")";
  impl_->notice("Printed", text);
}

void DesktopFrontend::fax_job(const ui::FaxJobNotice& n) {
  impl_->notice("Fax", QString("Fax %1 to %2 (%3), %4 page(s): %5")
                           .arg(n.id)
                           .arg(qs(n.to_name.empty() ? n.to_company : n.to_name))
                           .arg(qs(n.number))
                           .arg(n.pages)
                           .arg(qs(n.state)));
}

void DesktopFrontend::email_sent(const ui::EmailNotice& n) {
  impl_->notice("E-mail", QString("E-mail to %1 \"%2\" with %3: %4")
                              .arg(qs(n.to))
                              .arg(qs(n.subject))
                              .arg(qs(n.attachment))
                              .arg(qs(n.state)));
}

}  // namespace tdx::desktop

extern "C" {

tdx::ui::Frontend* tdx_desktop_frontend_create(char* why, int why_size) {
  auto r = tdx::desktop::DesktopFrontend::Create();
  if (!r.ok()) {
    if (why && why_size > 0) {
      std::strncpy(why, r.status().text().c_str(), static_cast<size_t>(why_size - 1));
      why[why_size - 1] = '\0';
    }
    return nullptr;
  }
  return r->release();
}

void tdx_desktop_frontend_destroy(tdx::ui::Frontend* frontend) { delete frontend; }

int tdx_desktop_frontend_finish(tdx::ui::Frontend* frontend, char* why, int why_size) {
  auto* fe = dynamic_cast<tdx::desktop::DesktopFrontend*>(frontend);
  tdx::Status s = fe ? fe->finish() : frontend->status();
  if (s.ok()) return 0;
  if (why && why_size > 0) {
    std::strncpy(why, s.text().c_str(), static_cast<size_t>(why_size - 1));
    why[why_size - 1] = '\0';
  }
  return 1;
}
}
