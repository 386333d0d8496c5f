#include "frontend/desktop/window_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

#include "runtime/report/fonts.h"
#include "runtime/text/cp1252.h"
#include "runtime/ui/message_box.h"

namespace tdx::desktop {

using ui::ControlKind;

int DialogUnits::x(int du) const { return static_cast<int>(std::lround(du * base_x / 4.0)); }
int DialogUnits::y(int du) const { return static_cast<int>(std::lround(du * base_y / 8.0)); }

DialogUnits dialog_units_of(const QFont& font) {
  // The dialog base units as the desktop defines them: the average width of the 52 letters
  // (rounded to whole pixels) and the font's cell height.
  QFontMetricsF fm(font);
  double w =
      fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  DialogUnits du;
  du.base_x = std::floor((w / 26.0 + 1.0) / 2.0);
  du.base_y = std::round(fm.height());
  if (du.base_x < 1) du.base_x = 1;
  if (du.base_y < 1) du.base_y = 1;
  return du;
}

QFont qt_font(const ui::Font& f, const ui::Font& window_font) {
  std::string name = f.name.empty() ? window_font.name : f.name;
  int size = f.size > 0 ? f.size : window_font.size;
  if (name.empty()) name = "MS Sans Serif";
  if (size <= 0) size = 8;
  QFont font(QString::fromStdString(report::render_family(name)));
  // Points at 96 pixels per inch, as the layouts were drawn.
  font.setPixelSize(static_cast<int>(std::lround(size * 96.0 / 72.0)));
  font.setBold(f.bold || (f.name.empty() && f.size == 0 && window_font.bold));
  font.setItalic(f.italic);
  return font;
}

QString qs(const std::string& cp1252) { return QString::fromStdString(cp1252_to_utf8(cp1252)); }
std::string cp(const QString& s) { return utf8_to_cp1252(s.toStdString()); }

namespace {

Qt::Alignment alignment(Justify j) {
  switch (j) {
    case Justify::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    case Justify::Center:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

// "&&" shows one ampersand and a single "&" marks the access key: the same in Qt's texts.
QString button_text(const std::string& text) { return qs(text); }

ui::Key key_of(const QKeyEvent* e) {
  bool shift = e->modifiers() & Qt::ShiftModifier;
  switch (e->key()) {
    case Qt::Key_F1:
      return ui::Key::F1;
    case Qt::Key_F2:
      return ui::Key::F2;
    case Qt::Key_F3:
      return ui::Key::F3;
    case Qt::Key_F4:
      return ui::Key::F4;
    case Qt::Key_F5:
      return ui::Key::F5;
    case Qt::Key_F6:
      return ui::Key::F6;
    case Qt::Key_F7:
      return ui::Key::F7;
    case Qt::Key_F8:
      return ui::Key::F8;
    case Qt::Key_F9:
      return ui::Key::F9;
    case Qt::Key_F10:
      return ui::Key::F10;
    case Qt::Key_F11:
      return ui::Key::F11;
    case Qt::Key_F12:
      return ui::Key::F12;
    case Qt::Key_Escape:
      return ui::Key::Esc;
    case Qt::Key_Tab:
      return shift ? ui::Key::ShiftTab : ui::Key::Tab;
    case Qt::Key_Backtab:
      return ui::Key::ShiftTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return ui::Key::Enter;
    case Qt::Key_Up:
      return ui::Key::Up;
    case Qt::Key_Down:
      return ui::Key::Down;
    case Qt::Key_PageUp:
      return ui::Key::PageUp;
    case Qt::Key_PageDown:
      return ui::Key::PageDown;
    case Qt::Key_Home:
      return ui::Key::Home;
    case Qt::Key_End:
      return ui::Key::End;
    default:
      return ui::Key::None;
  }
}

bool is_typed_kind(ControlKind k) {
  return k == ControlKind::Entry || k == ControlKind::Spin || k == ControlKind::Text;
}

std::string crlf(const QString& s) {
  std::string in = cp(s), out;
  for (char c : in) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

QString lf(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '\r') out += c;
  return qs(out);
}

}  // namespace

WindowView::WindowView(ui::Window& win, std::function<void()> on_input)
    : QWidget(nullptr, Qt::Dialog), win_(win), on_input_(std::move(on_input)) {
  build();
}

WindowView::~WindowView() = default;

void WindowView::build() {
  const ui::WindowDef& def = win_.def();
  QFont font = qt_font(def.font, def.font);
  setFont(font);
  du_ = dialog_units_of(font);
  setObjectName(qs(def.name));
  setWindowTitle(qs(win_.title()));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  client_ = new QWidget(this);
  client_->setFixedSize(du_.x(def.w), du_.y(def.h));
  layout->addWidget(client_);
  status_ = new QLabel(this);
  status_->setObjectName("?status");
  status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  status_->setContentsMargins(4, 1, 4, 1);
  status_->setMinimumHeight(QFontMetrics(font).height() + 4);
  layout->addWidget(status_);
  // The status bar shows the focused control's message; a window without messages has none.
  bool messages = false;
  for (const auto& c : def.controls) messages = messages || !c.msg.empty();
  status_->setVisible(messages);

  std::vector<QWidget*> frames;
  for (size_t i = 0; i < def.controls.size(); ++i) {
    const ui::ControlDef& c = def.controls[i];
    QWidget* w = make_control(c, i);
    if (!w) continue;
    w->setObjectName(qs(c.label));
    if (c.font.name.size() || c.font.size || c.font.bold || c.font.italic)
      w->setFont(qt_font(c.font, def.font));
    QSize hint = w->sizeHint();
    int pw = c.at.w >= 0 ? du_.x(c.at.w) : hint.width();
    int ph = c.at.h >= 0 ? du_.y(c.at.h) : hint.height();
    w->setGeometry(du_.x(c.at.x), du_.y(c.at.y), pw, ph);
    widgets_[c.id] = w;
    ids_[w] = c.id;
    w->installEventFilter(this);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
      ids_[area->viewport()] = c.id;
      area->viewport()->installEventFilter(this);
    }
    if (c.kind == ControlKind::Group || c.kind == ControlKind::Option) frames.push_back(w);
  }
  for (QWidget* f : frames) f->lower();  // frames sit behind the controls they surround

  // Prompts give their access key to the control declared after them.
  for (size_t i = 0; i < def.controls.size(); ++i) {
    const ui::ControlDef& c = def.controls[i];
    if (c.kind != ControlKind::Prompt) continue;
    auto* label = qobject_cast<QLabel*>(widgets_[c.id]);
    QWidget* buddy = nullptr;
    for (size_t j = i + 1; j < def.controls.size() && !buddy; ++j) {
      ControlKind k = def.controls[j].kind;
      if (k != ControlKind::Prompt && k != ControlKind::Field && k != ControlKind::Group)
        buddy = widgets_[def.controls[j].id];
    }
    if (label && buddy)
      label->setBuddy(buddy);
    else if (label)
      label->setText(qs(ui::strip_access_key(c.text)));
  }
  // Tab order as declared (the window's loop moves the focus itself; this keeps Qt in step).
  QWidget* prev = nullptr;
  for (const auto& c : def.controls) {
    QWidget* w = widgets_[c.id];
    if (!w || w->focusPolicy() == Qt::NoFocus) continue;
    if (prev) QWidget::setTabOrder(prev, w);
    prev = w;
  }
  adjustSize();
  setFixedSize(sizeHint());
}

QWidget* WindowView::make_control(const ui::ControlDef& c, size_t index) {
  (void)index;
  switch (c.kind) {
    case ControlKind::Prompt: {
      auto* l = new QLabel(qs(c.text), client_);
      l->setAlignment(alignment(c.justify) | Qt::AlignTop);
      l->setAlignment((alignment(c.justify) & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
      return l;
    }
    case ControlKind::Field: {
      auto* l = new QLabel(client_);
      Justify j = c.justify;
      const Picture* pic = Picture::Get(c.picture);
      if (j == Justify::Left && pic && pic->default_justify() == Justify::Right) j = Justify::Right;
      l->setAlignment(alignment(j));
      return l;
    }
    case ControlKind::Entry:
    case ControlKind::Spin: {
      auto* e = new QLineEdit(client_);
      e->setReadOnly(c.read_only);
      Justify j = c.justify;
      if (c.kind == ControlKind::Spin) j = Justify::Right;
      e->setAlignment(alignment(j));
      return e;
    }
    case ControlKind::Text: {
      auto* t = new QPlainTextEdit(client_);
      t->setReadOnly(c.read_only);
      t->setTabChangesFocus(true);
      return t;
    }
    case ControlKind::Button: {
      auto* b = new QPushButton(button_text(c.text), client_);
      b->setAutoDefault(false);
      int id = c.id;
      connect(b, &QPushButton::clicked, this, [this, id] { press(id); });
      return b;
    }
    case ControlKind::Check: {
      auto* b = new QCheckBox(button_text(c.text), client_);
      int id = c.id;
      connect(b, &QCheckBox::clicked, this, [this, id] { press(id); });
      return b;
    }
    case ControlKind::Radio: {
      auto* b = new QRadioButton(button_text(c.text), client_);
      b->setAutoExclusive(false);
      int id = c.id;
      connect(b, &QRadioButton::clicked, this, [this, id] { press(id); });
      return b;
    }
    case ControlKind::Option:
    case ControlKind::Group: {
      auto* g = new QGroupBox(qs(ui::strip_access_key(c.text)), client_);
      g->setFocusPolicy(Qt::NoFocus);
      if (c.text.empty()) g->setFlat(true);
      return g;
    }
    case ControlKind::List: {
      auto* t = new QTreeWidget(client_);
      t->setRootIsDecorated(false);
      t->setUniformRowHeights(true);
      t->setSelectionMode(QAbstractItemView::SingleSelection);
      int cols = std::max<int>(1, static_cast<int>(c.columns.size()));
      t->setColumnCount(cols);
      QStringList heads;
      bool any_heading = false;
      for (int k = 0; k < cols; ++k) {
        std::string h = k < static_cast<int>(c.columns.size()) ? c.columns[k].heading : "";
        any_heading = any_heading || !h.empty();
        heads << qs(h);
        if (k < static_cast<int>(c.columns.size()) && c.columns[k].width > 0)
          t->setColumnWidth(k, du_.x(c.columns[k].width));
      }
      t->setHeaderLabels(heads);
      t->setHeaderHidden(!any_heading);
      int id = c.id;
      connect(t, &QTreeWidget::itemClicked, this, [this, t, id](QTreeWidgetItem* item, int) {
        if (syncing_ || !active_) return;
        ui::UserInput in;
        in.kind = ui::UserInput::Kind::SelectRow;
        in.control = id;
        in.row = t->indexOfTopLevelItem(item) + 1;
        queue(in);
      });
      connect(t, &QTreeWidget::itemDoubleClicked, this, [this, t, id](QTreeWidgetItem* item, int) {
        if (syncing_ || !active_) return;
        ui::UserInput in;
        in.kind = ui::UserInput::Kind::DoubleClick;
        in.control = id;
        in.row = t->indexOfTopLevelItem(item) + 1;
        queue(in);
      });
      return t;
    }
    case ControlKind::Progress: {
      auto* p = new QProgressBar(client_);
      int lo = c.has_range ? static_cast<int>(c.low.to_integer()) : 0;
      int hi = c.has_range ? static_cast<int>(c.high.to_integer()) : 100;
      p->setRange(lo, hi);
      p->setTextVisible(false);
      return p;
    }
  }
  return nullptr;
}

QWidget* WindowView::widget_of(const std::string& label) const {
  int id = win_.id(label);
  auto it = widgets_.find(id);
  return it == widgets_.end() ? nullptr : it->second;
}

int WindowView::id_of(QObject* obj) const {
  auto it = ids_.find(obj);
  return it == ids_.end() ? 0 : it->second;
}

void WindowView::queue(const ui::UserInput& in) {
  if (detached_) return;
  inputs_.push_back(in);
  if (on_input_) on_input_();
}

ui::UserInput WindowView::take_input() {
  ui::UserInput in = inputs_.front();
  inputs_.pop_front();
  return in;
}

void WindowView::press(int id) {
  if (syncing_ || detached_) return;
  if (!active_) {
    if (borrowed_press_) borrowed_press_(id);
    return;
  }
  ui::UserInput in;
  in.kind = ui::UserInput::Kind::Press;
  in.control = id;
  queue(in);
}

void WindowView::key(ui::Key k, int id) {
  ui::UserInput in;
  in.kind = ui::UserInput::Kind::Key;
  in.key = k;
  in.control = id;
  queue(in);
}

bool WindowView::editable_entry(int id) const {
  const ui::ControlDef* c = win_.control_def(id);
  if (!c || !is_typed_kind(c->kind) || c->read_only) return false;
  auto it = widgets_.find(id);
  if (it == widgets_.end()) return false;
  if (auto* e = qobject_cast<QLineEdit*>(it->second)) return e->isModified();
  if (auto* t = qobject_cast<QPlainTextEdit*>(it->second)) return t->document()->isModified();
  return false;
}

std::string WindowView::widget_text(int id) const {
  auto it = widgets_.find(id);
  if (it == widgets_.end()) return "";
  if (auto* e = qobject_cast<QLineEdit*>(it->second)) return cp(e->text());
  if (auto* t = qobject_cast<QPlainTextEdit*>(it->second)) return crlf(t->toPlainText());
  return "";
}

void WindowView::typed(int id) {
  ui::UserInput in;
  in.kind = ui::UserInput::Kind::Type;
  in.control = id;
  in.text = widget_text(id);
  auto it = widgets_.find(id);
  if (it != widgets_.end()) {
    if (auto* e = qobject_cast<QLineEdit*>(it->second)) e->setModified(false);
    if (auto* t = qobject_cast<QPlainTextEdit*>(it->second)) t->document()->setModified(false);
  }
  queue(in);
}

void WindowView::detach() {
  detached_ = true;
  active_ = false;
  inputs_.clear();
  on_input_ = nullptr;
  borrowed_press_ = nullptr;
  hide();
}

bool WindowView::eventFilter(QObject* obj, QEvent* ev) {
  if (detached_) return QWidget::eventFilter(obj, ev);
  int id = id_of(obj);
  if (id == 0 || syncing_) return QWidget::eventFilter(obj, ev);
  const ui::ControlDef* c = win_.control_def(id);
  if (!c) return QWidget::eventFilter(obj, ev);
  switch (ev->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
      // Windows under the innermost one take no input (their borrowed buttons excepted).
      if (!active_ && !(c->kind == ControlKind::Button && borrowed_press_)) return true;
      break;
    default:
      break;
  }
  if (!active_) return QWidget::eventFilter(obj, ev);

  if (ev->type() == QEvent::KeyPress) {
    auto* ke = static_cast<QKeyEvent*>(ev);
    ui::Key k = key_of(ke);
    if (k == ui::Key::None) return QWidget::eventFilter(obj, ev);
    bool typed_kind = is_typed_kind(c->kind);
    switch (k) {
      case ui::Key::Tab:
      case ui::Key::ShiftTab:
        if (editable_entry(id))
          typed(id);
        else
          key(k, id);
        return true;
      case ui::Key::Enter:
        if (c->kind == ControlKind::Text) return QWidget::eventFilter(obj, ev);
        if (editable_entry(id))
          typed(id);
        else
          key(k, id);
        return true;
      case ui::Key::Up:
      case ui::Key::Down:
        if (c->kind == ControlKind::Spin) {
          key(k, id);
          return true;
        }
        if (c->kind == ControlKind::List) {
          // Within the rows shown the arrow moves the selection; at an edge the window is
          // asked to scroll.
          const ui::ControlState* st = win_.control_state(id);
          int row = st ? st->selected_row : 0;
          int rows = st ? static_cast<int>(st->rows.size()) : 0;
          int next = row + (k == ui::Key::Down ? 1 : -1);
          if (row > 0 && next >= 1 && next <= rows) {
            ui::UserInput in;
            in.kind = ui::UserInput::Kind::SelectRow;
            in.control = id;
            in.row = next;
            queue(in);
          } else {
            key(k, id);
          }
          return true;
        }
        return QWidget::eventFilter(obj, ev);
      case ui::Key::PageUp:
      case ui::Key::PageDown:
      case ui::Key::Home:
      case ui::Key::End:
        if (c->kind == ControlKind::List) {
          key(k, id);
          return true;
        }
        return QWidget::eventFilter(obj, ev);
      default:  // F-keys and Esc: the window decides; a half-typed entry is redisplayed
        (void)typed_kind;
        key(k, id);
        return true;
    }
  }
  if (ev->type() == QEvent::FocusIn) {
    auto* fe = static_cast<QFocusEvent*>(ev);
    if (is_typed_kind(c->kind) && id != win_.focus() &&
        (fe->reason() == Qt::MouseFocusReason || fe->reason() == Qt::ShortcutFocusReason)) {
      ui::UserInput in;
      in.kind = ui::UserInput::Kind::Press;  // pressing an entry gives it the focus
      in.control = id;
      queue(in);
    }
  }
  if (ev->type() == QEvent::FocusOut) {
    auto* fe = static_cast<QFocusEvent*>(ev);
    if ((fe->reason() == Qt::MouseFocusReason || fe->reason() == Qt::ShortcutFocusReason) &&
        editable_entry(id))
      typed(id);
  }
  if (ev->type() == QEvent::Wheel && c->kind == ControlKind::Spin) {
    auto* we = static_cast<QWheelEvent*>(ev);
    ui::UserInput in;
    in.kind = ui::UserInput::Kind::Spin;
    in.control = id;
    in.count = we->angleDelta().y() > 0 ? 1 : -1;
    queue(in);
    return true;
  }
  return QWidget::eventFilter(obj, ev);
}

void WindowView::closeEvent(QCloseEvent* ev) {
  ev->ignore();
  if (!active_ || detached_) return;
  // The close box: Esc's button where the window declares one (the progress window's Cancel),
  // else the window is asked to close.
  const ui::WindowDef& def = win_.def();
  if (def.esc == ui::EscAction::Press) {
    int id = win_.id(def.esc_button);
    if (id && win_.usable(id)) {
      press(id);
      return;
    }
  }
  win_.post(ui::EventKind::CloseWindow);
  ui::UserInput nothing;  // wakes the loop, which then finds the posted event
  nothing.kind = ui::UserInput::Kind::Press;
  nothing.control = 0;
  queue(nothing);
}

void WindowView::sync() {
  if (detached_) return;
  syncing_ = true;
  const ui::WindowDef& def = win_.def();
  QString title = qs(win_.title());
  if (windowTitle() != title) setWindowTitle(title);
  for (const ui::ControlDef& c : def.controls) {
    auto it = widgets_.find(c.id);
    if (it == widgets_.end()) continue;
    QWidget* w = it->second;
    const ui::ControlState* st = win_.control_state(c.id);
    if (!st) continue;
    bool visible = !win_.hidden(c.label);
    if (w->isVisibleTo(this) != visible) w->setVisible(visible);
    if (w->isEnabled() == st->disabled) w->setEnabled(!st->disabled);
    // A button without a text (a toolbar's) is named by its tip, else by its label.
    QString tip = qs(st->tip.empty() && st->text.empty() && c.kind == ControlKind::Button
                         ? ui::strip_access_key(c.label.substr(c.label.rfind('?') + 1))
                         : st->tip);
    if (w->toolTip() != tip) w->setToolTip(tip);
    switch (c.kind) {
      case ControlKind::Prompt: {
        auto* l = static_cast<QLabel*>(w);
        QString t = l->buddy() ? qs(st->text) : qs(ui::strip_access_key(st->text));
        if (l->text() != t) l->setText(t);
        break;
      }
      case ControlKind::Field: {
        auto* l = static_cast<QLabel*>(w);
        QString t = qs(st->screen);
        if (l->text() != t) l->setText(t);
        break;
      }
      case ControlKind::Entry:
      case ControlKind::Spin: {
        auto* e = static_cast<QLineEdit*>(w);
        // Blank padding is not shown: the field's alignment places the value.
        std::string shown = st->screen;
        while (!shown.empty() && shown.back() == ' ') shown.pop_back();
        const Picture* pic = Picture::Get(c.picture);
        if (pic && pic->kind() == PictureKind::Number)
          shown.erase(0, std::min(shown.find_first_not_of(' '), shown.size()));
        QString t = qs(shown);
        if (!(e->hasFocus() && e->isModified()) && e->text() != t) {
          e->setText(t);
          e->setModified(false);
        }
        break;
      }
      case ControlKind::Text: {
        auto* e = static_cast<QPlainTextEdit*>(w);
        QString t = lf(st->screen);
        if (!(e->hasFocus() && e->document()->isModified()) && e->toPlainText() != t) {
          e->setPlainText(t);
          e->document()->setModified(false);
        }
        break;
      }
      case ControlKind::Button:
      case ControlKind::Check:
      case ControlKind::Radio: {
        auto* b = static_cast<QAbstractButton*>(w);
        QString t = button_text(st->text);
        if (b->text() != t) b->setText(t);
        if (c.kind == ControlKind::Check) b->setChecked(win_.checked(c.label));
        if (c.kind == ControlKind::Radio) {
          int opt = win_.id(c.parent);
          const ui::ControlState* os = opt ? win_.control_state(opt) : nullptr;
          std::string value = c.value;
          if (!c.has_value) {
            int n = 0;
            for (const auto& r : def.controls) {
              if (r.kind == ControlKind::Radio && ui::same_label(r.parent, c.parent)) ++n;
              if (&r == &c) break;
            }
            value = std::to_string(n);
          }
          auto clipped = [](std::string s) {
            while (!s.empty() && s.back() == ' ') s.pop_back();
            while (!s.empty() && s.front() == ' ') s.erase(s.begin());
            return s;
          };
          b->setChecked(os && clipped(os->screen) == clipped(value));
        }
        break;
      }
      case ControlKind::Option:
      case ControlKind::Group: {
        auto* g = static_cast<QGroupBox*>(w);
        QString t = qs(ui::strip_access_key(st->text));
        if (g->title() != t) g->setTitle(t);
        break;
      }
      case ControlKind::List: {
        auto* t = static_cast<QTreeWidget*>(w);
        bool same = t->topLevelItemCount() == static_cast<int>(st->rows.size());
        for (int r = 0; same && r < t->topLevelItemCount(); ++r) {
          const auto& cells = st->rows[static_cast<size_t>(r)];
          QTreeWidgetItem* item = t->topLevelItem(r);
          for (int k = 0; same && k < t->columnCount(); ++k)
            same = item->text(k) ==
                   (k < static_cast<int>(cells.size()) ? qs(cells[static_cast<size_t>(k)]) : "");
        }
        if (!same) {
          t->clear();
          for (const auto& cells : st->rows) {
            QStringList texts;
            for (const auto& cell : cells) texts << qs(cell);
            auto* item = new QTreeWidgetItem(texts);
            for (int k = 0; k < static_cast<int>(c.columns.size()) && k < item->columnCount(); ++k)
              item->setTextAlignment(k, alignment(c.columns[static_cast<size_t>(k)].justify));
            t->addTopLevelItem(item);
          }
        }
        int sel = st->selected_row;
        if (sel >= 1 && sel <= t->topLevelItemCount()) {
          QTreeWidgetItem* item = t->topLevelItem(sel - 1);
          if (t->currentItem() != item) t->setCurrentItem(item);
        } else {
          t->clearSelection();
        }
        break;
      }
      case ControlKind::Progress:
        static_cast<QProgressBar*>(w)->setValue(st->progress);
        break;
    }
  }
  // The focus the window gives, and its message in the status bar.
  int focus = win_.focus();
  auto fit = widgets_.find(focus);
  if (fit != widgets_.end()) {
    QWidget* w = fit->second;
    if (w->isVisible() && w->isEnabled() && (QApplication::focusWidget() != w) &&
        isActiveWindow()) {
      w->setFocus(Qt::OtherFocusReason);
    } else if (w->isVisible() && w->isEnabled() && focus != shown_focus_) {
      w->setFocus(Qt::OtherFocusReason);
    }
    if (focus != shown_focus_) {
      if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
    }
  }
  shown_focus_ = focus;
  const ui::ControlState* fs = focus ? win_.control_state(focus) : nullptr;
  QString msg = fs ? qs(fs->msg) : QString();
  if (status_->text() != msg) status_->setText(msg);
  syncing_ = false;
}

}  // namespace tdx::desktop
