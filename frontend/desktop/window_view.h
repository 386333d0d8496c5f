// WindowView: one declared window (ui::Window) drawn with Qt widgets, and the user's input in it
// turned back into the window's UserInput.
//
// Drawing is generic: every control of the declaration becomes a widget at its position, with
// dialog units turned into pixels from the window font's metrics (a horizontal unit is a quarter
// of the font's average character width, a vertical unit an eighth of its height). The model
// stays the master of everything the user sees: sync() copies the window's state (title, texts,
// entry values, hidden and disabled flags, check and radio states, list rows, progress, focus,
// the status-bar message of the focused control, tips) into the widgets; the frontend calls it
// before it waits for input.
//
// Input is captured, not acted on: a button press, a finished entry (Tab, Enter or a click
// elsewhere after typing), a key the system reacts to (F-keys, Esc, Tab, Enter, arrows and page
// keys), a list row chosen or double-clicked, a spin step and the close box each queue one
// UserInput. The window's own event loop then decides what they mean, so focus moves in the
// declared tab order, alert keys and Esc do what the window declares, and a rejected value keeps
// the focus where the window says.
//
// Views live on the GUI thread; the frontend owns them (one per open window).
#pragma once

#include <QWidget>
#include <deque>
#include <functional>
#include <map>

#include "runtime/ui/window.h"

class QLabel;

namespace tdx::desktop {

// Pixels per dialog unit of a font: x = du * base_x / 4, y = du * base_y / 8.
struct DialogUnits {
  double base_x = 6, base_y = 13;
  int x(int du) const;
  int y(int du) const;
};
DialogUnits dialog_units_of(const QFont& font);

// The Qt font for a declared font (face mapped to its installed free twin, points at 96 dpi).
QFont qt_font(const ui::Font& f, const ui::Font& window_font);

// Window texts are Windows-1252.
QString qs(const std::string& cp1252);
std::string cp(const QString& s);

class WindowView : public QWidget {
 public:
  // `on_input` is called each time an input is queued (the frontend ends its wait).
  WindowView(ui::Window& win, std::function<void()> on_input);
  ~WindowView() override;

  ui::Window& window() { return win_; }
  // Copies the window's state into the widgets.
  void sync();
  bool has_input() const { return !inputs_.empty(); }
  ui::UserInput take_input();
  // Queues input from outside (a toolbar press of another window this window handles).
  void queue(const ui::UserInput& in);
  // Whether this view takes input now (only the innermost window does).
  void set_active(bool active) { active_ = active; }
  bool active() const { return active_; }
  // The widget of a control (by label), or nullptr.
  QWidget* widget_of(const std::string& label) const;
  // A borrowed control pressed in this (inactive) view is routed through this hook.
  void set_borrowed_press(std::function<bool(int id)> hook) { borrowed_press_ = std::move(hook); }
  const DialogUnits& units() const { return du_; }
  // The window has closed: from now on the view touches it no more (it is deleted later).
  void detach();

 protected:
  bool eventFilter(QObject* obj, QEvent* ev) override;
  void closeEvent(QCloseEvent* ev) override;

 private:
  void build();
  QWidget* make_control(const ui::ControlDef& c, size_t index);
  int id_of(QObject* obj) const;
  void press(int id);
  void key(ui::Key k, int id);
  void typed(int id);  // an edited entry is left
  bool editable_entry(int id) const;
  std::string widget_text(int id) const;

  ui::Window& win_;
  std::function<void()> on_input_;
  std::function<bool(int)> borrowed_press_;
  DialogUnits du_;
  QWidget* client_ = nullptr;
  QLabel* status_ = nullptr;
  std::map<int, QWidget*> widgets_;  // by control id
  std::map<QObject*, int> ids_;      // widget (and inner widgets) -> control id
  std::deque<ui::UserInput> inputs_;
  bool syncing_ = false;
  bool active_ = true;
  bool detached_ = false;
  int shown_focus_ = 0;
};

}  // namespace tdx::desktop
