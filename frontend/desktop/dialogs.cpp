#include "frontend/desktop/dialogs.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include "frontend/desktop/window_view.h"
#include "runtime/datetime/datetime.h"
#include "runtime/report/render.h"
#include "runtime/report/wmf.h"

namespace tdx::desktop {

namespace {
// Day number 1 is 28 December 1800.
const QDate kDayOne(1800, 12, 28);
// Rows read before the locate gives up walking to the typed position from the top and starts
// the list at it.
constexpr int kMaxWalk = 20000;
constexpr int kPage = 100;
}  // namespace

QDate date_of_day(int32_t day) { return kDayOne.addDays(day - 1); }
int32_t day_of_date(const QDate& date) { return static_cast<int32_t>(kDayOne.daysTo(date) + 1); }

// ---- lookup ----

LookupDialog::LookupDialog(const ui::LookupRequest& req, QWidget* parent)
    : QDialog(parent), req_(req) {
  setObjectName(qs(req.window));
  setWindowTitle(qs(req.title.empty() ? req.window : req.title));
  auto* v = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(tr("&Locate:"), this);
  locator_ = new QLineEdit(this);
  locator_->setObjectName("?Locate");
  label->setBuddy(locator_);
  row->addWidget(label);
  row->addWidget(locator_);
  v->addLayout(row);
  list_ = new QListWidget(this);
  list_->setObjectName("?List");
  list_->setMinimumSize(360, 300);
  v->addWidget(list_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* select = buttons->addButton(tr("&Select"), QDialogButtonBox::AcceptRole);
  select->setObjectName("?Select");
  QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
  cancel->setObjectName("?Cancel");
  select->setDefault(true);
  v->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { choose(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { choose(); });
  connect(locator_, &QLineEdit::textEdited, this, [this](const QString& t) { locate(cp(t)); });
  connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (!at_end_ && value >= list_->verticalScrollBar()->maximum() - 5) load_more(kPage);
  });
  locator_->setText(qs(req.partial));
  load_more(kPage);
  locate(req.partial);
  locator_->setFocus();
}

bool LookupDialog::load_more(int n) {
  if (at_end_ || !req_.positioned) {
    at_end_ = true;
    return false;
  }
  for (int i = 0; i < n; ++i) {
    // The next row after v: the row positioned at v followed by the lowest character. Past
    // the end the browse answers its last row again, which ends the list.
    std::string next = rows_.empty() ? req_.positioned("") : req_.positioned(rows_.back() + '\x01');
    if (next.empty() || seen_.count(next)) {
      at_end_ = true;
      return false;
    }
    seen_.insert(next);
    rows_.push_back(next);
    list_->addItem(qs(next));
  }
  return true;
}

void LookupDialog::locate(const std::string& partial) {
  if (!req_.positioned) return;
  std::string target = req_.positioned(partial);
  if (target.empty()) return;
  auto find = [&] {
    for (size_t i = 0; i < rows_.size(); ++i)
      if (rows_[i] == target) return static_cast<int>(i);
    return -1;
  };
  int at = find();
  while (at < 0 && !at_end_ && static_cast<int>(rows_.size()) < kMaxWalk) {
    load_more(kPage);
    at = find();
  }
  if (at < 0) {
    // Too far from the top: the list starts at the typed position.
    rows_.clear();
    seen_.clear();
    list_->clear();
    at_end_ = false;
    seen_.insert(target);
    rows_.push_back(target);
    list_->addItem(qs(target));
    load_more(kPage);
    at = 0;
  }
  list_->setCurrentRow(at);
  list_->scrollToItem(list_->item(at), QAbstractItemView::PositionAtCenter);
}

void LookupDialog::choose() {
  int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  chosen_ = true;
  key_ = rows_[static_cast<size_t>(row)];
  accept();
}

ui::LookupAnswer LookupDialog::answer() const {
  ui::LookupAnswer a;
  a.chosen = chosen_;
  a.key = key_;
  return a;
}

// ---- calendar ----

CalendarDialog::CalendarDialog(const ui::DateRequest& req, QWidget* parent) : QDialog(parent) {
  setObjectName("DATESELECT");
  setWindowTitle(qs(req.title.empty() ? "Select a Date" : req.title));
  auto* v = new QVBoxLayout(this);
  calendar_ = new QCalendarWidget(this);
  calendar_->setObjectName("?Calendar");
  calendar_->setGridVisible(true);
  calendar_->setSelectedDate(req.day > 0 ? date_of_day(req.day) : date_of_day(today()));
  v->addWidget(calendar_);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(tr("&Ok"), QDialogButtonBox::AcceptRole)->setObjectName("?Ok");
  buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole)->setObjectName("?Cancel");
  v->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    chosen_ = true;
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(calendar_, &QCalendarWidget::activated, this, [this] {
    chosen_ = true;
    accept();
  });
}

ui::DateAnswer CalendarDialog::answer() const {
  ui::DateAnswer a;
  a.chosen = chosen_;
  a.day = chosen_ ? day_of_date(calendar_->selectedDate()) : 0;
  return a;
}

// ---- output dialog ----

OutputDialog::OutputDialog(const ui::OutputChoice& c, QWidget* parent) : QDialog(parent) {
  setObjectName("FAXREPORT");
  setWindowTitle(tr("Report Output"));
  auto* v = new QVBoxLayout(this);
  auto check = [this, v](const char* label, const char* name, bool on) {
    auto* b = new QCheckBox(tr(label), this);
    b->setObjectName(name);
    b->setChecked(on);
    v->addWidget(b);
    return b;
  };
  preview_ = check("Pre&view", "?Preview", c.preview);
  print_ = check("&Print", "?Print", c.print);
  fax_ = check("&Fax", "?Fax", c.fax);
  email_ = check("&E-mail", "?Email", c.email);
  pdf_ = check("P&DF file", "?PDF", c.pdf);
  off_peak_ = check("Send &off-peak", "?OffPeak", c.off_peak);
  auto* form = new QFormLayout;
  auto line = [this, form](const char* label, const char* name, const std::string& text) {
    auto* e = new QLineEdit(qs(text), this);
    e->setObjectName(name);
    form->addRow(tr(label), e);
    return e;
  };
  pdf_file_ = line("PDF file:", "?PDFFile", c.pdf_file);
  email_to_ = line("E-mail to:", "?EmailTo", c.email_to);
  to_name_ = line("To name:", "?ToName", c.to_name);
  to_company_ = line("Company:", "?ToCompany", c.to_company);
  fax_number_ = line("Fax number:", "?FaxNumber", c.fax_number);
  subject_ = line("Subject:", "?Subject", c.subject);
  comments_ = new QPlainTextEdit(qs(c.comments), this);
  comments_->setObjectName("?Comments");
  comments_->setMaximumHeight(80);
  form->addRow(tr("Comments:"), comments_);
  v->addLayout(form);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(tr("&Ok"), QDialogButtonBox::AcceptRole)->setObjectName("?Ok");
  buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole)->setObjectName("?Cancel");
  v->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ui::OutputChoice OutputDialog::choice() const {
  ui::OutputChoice c;
  c.preview = preview_->isChecked();
  c.print = print_->isChecked();
  c.fax = fax_->isChecked();
  c.email = email_->isChecked();
  c.pdf = pdf_->isChecked();
  c.off_peak = off_peak_->isChecked();
  c.pdf_file = cp(pdf_file_->text());
  c.email_to = cp(email_to_->text());
  c.to_name = cp(to_name_->text());
  c.to_company = cp(to_company_->text());
  c.fax_number = cp(fax_number_->text());
  c.subject = cp(subject_->text());
  c.comments = cp(comments_->toPlainText());
  return c;
}

// ---- previewer ----

PreviewDialog::PreviewDialog(const ui::PreviewRequest& req, QWidget* parent)
    : QDialog(parent), req_(req) {
  setObjectName("PREVIEW");
  setWindowTitle(tr("Print Preview - ") + qs(req.title));
  tmp_ = new QTemporaryDir();
  auto* v = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  auto button = [this, bar](const QString& text, const char* name) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    bar->addWidget(b);
    return b;
  };
  QPushButton* print = button(tr("&Print"), "?Print");
  QPushButton* first = button(tr("|<"), "?First");
  QPushButton* prev = button(tr("<"), "?Prior");
  QPushButton* next = button(tr(">"), "?Next");
  QPushButton* last = button(tr(">|"), "?Last");
  page_label_ = new QLabel(this);
  page_label_->setObjectName("?Page");
  bar->addWidget(page_label_);
  zoom_ = new QComboBox(this);
  zoom_->setObjectName("?Zoom");
  for (int z : {50, 75, 100, 125, 150, 200}) zoom_->addItem(QString("%1%").arg(z), z);
  zoom_->setCurrentIndex(2);
  bar->addWidget(zoom_);
  bar->addStretch();
  QPushButton* close = button(tr("&Close"), "?Close");
  v->addLayout(bar);
  scroll_ = new QScrollArea(this);
  scroll_->setObjectName("?Pages");
  scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  scroll_->setBackgroundRole(QPalette::Dark);
  image_ = new QLabel;
  image_->setObjectName("?Image");
  scroll_->setWidget(image_);
  v->addWidget(scroll_);
  resize(880, 900);

  connect(print, &QPushButton::clicked, this, [this] {
    print_ = true;
    accept();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(first, &QPushButton::clicked, this, [this] { show_page(0); });
  connect(prev, &QPushButton::clicked, this, [this] { show_page(page_ - 1); });
  connect(next, &QPushButton::clicked, this, [this] { show_page(page_ + 1); });
  connect(last, &QPushButton::clicked, this,
          [this] { show_page(static_cast<int>(req_.pages.size()) - 1); });
  connect(zoom_, &QComboBox::currentIndexChanged, this,
          [this](int i) { set_zoom(zoom_->itemData(i).toInt()); });
  new QShortcut(QKeySequence(Qt::Key_PageDown), this, [this] { show_page(page_ + 1); });
  new QShortcut(QKeySequence(Qt::Key_PageUp), this, [this] { show_page(page_ - 1); });
  show_page(0);
}

PreviewDialog::~PreviewDialog() { delete tmp_; }

QPixmap PreviewDialog::render(int index) {
  auto key = std::make_pair(index, zoom_percent_);
  if (auto it = cache_.find(key); it != cache_.end()) return it->second;
  QPixmap pix;
  auto page = report::read_wmf_file(req_.pages[static_cast<size_t>(index)]);
  if (page.ok()) {
    QString file = tmp_->filePath(QString("p%1-%2.png").arg(index).arg(zoom_percent_));
    double dpi = 96.0 * zoom_percent_ / 100.0;
    if (report::render_png(*page, dpi, cp(file)).ok()) pix.load(file);
  }
  if (pix.isNull()) {
    pix = QPixmap(400, 100);
    pix.fill(Qt::white);
  }
  cache_[key] = pix;
  return pix;
}

void PreviewDialog::show_page(int index) {
  int n = static_cast<int>(req_.pages.size());
  if (n == 0) {
    page_label_->setText(tr("No pages"));
    return;
  }
  if (index < 0) index = 0;
  if (index >= n) index = n - 1;
  page_ = index;
  QPixmap pix = render(index);
  image_->setPixmap(pix);
  image_->resize(pix.size());
  page_label_->setText(tr("Page %1 of %2").arg(index + 1).arg(n));
}

void PreviewDialog::set_zoom(int percent) {
  if (percent < 10) percent = 10;
  zoom_percent_ = percent;
  show_page(page_);
}

}  // namespace tdx::desktop
