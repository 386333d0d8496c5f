// The dialogs the desktop frontend shows for the main module and the previewer: the lookup
// (browse) list, the calendar, the output dialog and the page previewer. Each is a modal QDialog
// built in code; the frontend runs it with exec() and reads the answer.
//
// Lookup: the records of a file in key order, named by their locator value, with a locate
// entry above the list that starts with the user's partial entry and positions the list as it
// is typed. The rows come from the request's positioned() alone (the next row after a value v
// is the row positioned at v followed by the lowest character), read in pages as the list is
// scrolled, so a file of any size opens at once.
//
// Previewer: the queued page images drawn by the report renderer, page by page, with zoom; the
// Print button answers Print (the report then prints through the platform printer), Close and
// Esc answer Close.
#pragma once

#include <QDialog>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "runtime/ui/frontend.h"

class QLineEdit;
class QListWidget;
class QCalendarWidget;
class QCheckBox;
class QPlainTextEdit;
class QLabel;
class QComboBox;
class QScrollArea;
class QTemporaryDir;

namespace tdx::desktop {

// Day numbers (4 = 1 January 1801) and dates.
QDate date_of_day(int32_t day);
int32_t day_of_date(const QDate& date);

class LookupDialog : public QDialog {
 public:
  LookupDialog(const ui::LookupRequest& req, QWidget* parent);
  ui::LookupAnswer answer() const;
  // Rows read so far (tests).
  const std::vector<std::string>& rows() const { return rows_; }

 private:
  void locate(const std::string& partial);
  bool load_more(int n);
  void choose();

  const ui::LookupRequest& req_;
  QLineEdit* locator_ = nullptr;
  QListWidget* list_ = nullptr;
  std::vector<std::string> rows_;
  std::set<std::string> seen_;
  bool at_end_ = false;
  bool chosen_ = false;
  std::string key_;
};

class CalendarDialog : public QDialog {
 public:
  CalendarDialog(const ui::DateRequest& req, QWidget* parent);
  ui::DateAnswer answer() const;

 private:
  QCalendarWidget* calendar_ = nullptr;
  bool chosen_ = false;
};

class OutputDialog : public QDialog {
 public:
  OutputDialog(const ui::OutputChoice& start, QWidget* parent);
  ui::OutputChoice choice() const;

 private:
  QCheckBox *preview_, *print_, *fax_, *email_, *pdf_, *off_peak_;
  QLineEdit *pdf_file_, *email_to_, *to_name_, *to_company_, *fax_number_, *subject_;
  QPlainTextEdit* comments_;
};

class PreviewDialog : public QDialog {
 public:
  PreviewDialog(const ui::PreviewRequest& req, QWidget* parent);
  ~PreviewDialog() override;
  ui::PreviewAnswer answer() const {
    return print_ ? ui::PreviewAnswer::Print : ui::PreviewAnswer::Close;
  }
  void show_page(int index);  // 0-based
  int page() const { return page_; }
  void set_zoom(int percent);

 private:
  QPixmap render(int index);

  const ui::PreviewRequest& req_;
  QScrollArea* scroll_ = nullptr;
  QLabel* image_ = nullptr;
  QLabel* page_label_ = nullptr;
  QComboBox* zoom_ = nullptr;
  QTemporaryDir* tmp_ = nullptr;
  std::map<std::pair<int, int>, QPixmap> cache_;  // (page, zoom) -> image
  int page_ = 0;
  int zoom_percent_ = 100;
  bool print_ = false;
};

}  // namespace tdx::desktop
