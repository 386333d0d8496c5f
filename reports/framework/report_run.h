// ReportRun: the common life of a report procedure, written once. A report derives from it and
// supplies only what is its own: its files, view, filter pieces, order, record tests, bands,
// group breaks, accumulators, texts to change before the first page and closing totals.
//
// run() goes through these steps (the report's hooks in brackets):
//   1. state cleared (response 2), empty page queue, working directory saved, a new frame of
//      bound names pushed;
//   2. display strings loaded from the report's settings file [settings()];
//   3. the routing prepares the printer (copies 1);
//   4. the names the filter uses are bound [bind_names()];
//   5. the preview question (Yes / No / Cancel; Cancel returns at once with GlobalResponse 2,
//      before any file is opened) - or, for reports whose output dialog chose already, the
//      choice [asks_preview(), preview_chosen()];
//   6. GlobalRequest taken, GlobalRequest = GlobalResponse = 0;
//   7. files opened through their use counters with open_file() and their records bound
//      [files(); the first is the driving file]; then the report's own start [start_of_run()],
//      which may end the run here (the company record missing, say);
//   8. records to process counted [records_to_process(), default: the driving file's count];
//   9. keyboard buffer emptied, last key cleared;
//  10. progress window opened (title for preview or print, user text, "% Completed");
//  11. "QUICKSCAN=on" on the driving file;
//  12. run date and time taken (RUNDATE, RUNTIME in the layout);
//  13. the event loop: at open-window the view is declared, filtered and opened [declare_view(),
//      filter()] (an error: message 36, the view opened without filter) and the first accepted
//      record read; none: the window closes and the report is never opened; else the report is
//      opened through the routing [layout(), resolve(), report_opened()]. Each timer event
//      handles records_per_cycle records (25; 1 once the user pressed Cancel and carried on):
//      [group_break(), print_detail(), count()] then the next accepted record. Cancel and Esc
//      ask the cancel questions (see cancel()).
//  14. "QUICKSCAN=off", end of report, closing totals when the report was opened
//      [closing_totals()];
//  15. the routing's end of run (preview, print, the empty-run messages), report closed, page
//      queue freed;
//  16. use counters down (files closed at 0), GlobalResponse = response (2 when 0), the frame of
//      bound names released, the working directory restored, the view closed.
//
// Record fetch: the next row of the view; a read error other than end of data shows message 35
// naming the driving file and ends the run as if the data had ended; every successful read moves
// the progress display; then record_status() [default 0] may filter the record (2) or stop (1).
//
// A ReportRun is used for one call of run() at a time, on the windows' thread. The routing is
// not owned and must outlive the run; without one, PreviewRouting (output_routing.h) is used.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/framework/display_strings.h"
#include "reports/framework/output_routing.h"
#include "runtime/base/status.h"
#include "runtime/base/value.h"
#include "runtime/report/engine.h"
#include "runtime/report/layout.h"
#include "runtime/report/page_queue.h"
#include "runtime/store/keyed_file.h"
#include "runtime/ui/progress_window.h"
#include "runtime/view/view.h"

namespace tdx::reports {

// Record status of a fetch.
inline constexpr int kRecordAccepted = 0;
inline constexpr int kRecordOutOfRange = 1;  // stop reading
inline constexpr int kRecordFiltered = 2;    // skip it and read on

inline constexpr int kRecordsPerCycle = 25;

// A file the report uses, with the main module's use counter.
struct UsedFile {
  store::KeyedFile* file = nullptr;
  int32_t* used = nullptr;
};

// The per-run state. The routing reads and changes it too.
struct RunState {
  bool preview = false;          // preview requested
  bool report_opened = false;    // the layout was opened (on the first accepted record)
  bool partial_preview = false;  // cancelled with "preview the pages made so far"
  int32_t response = 2;          // 1 completed, 2 cancelled
  int32_t request = 0;           // GlobalRequest at the start of the run
  long records_to_process = 0;
  long records_processed = 0;
  int records_per_cycle = kRecordsPerCycle;
  bool end_of_report = false;
  double saved_copies = 1;
  int saved_printer_copies = 1;
  std::string initial_dir;  // working directory at entry (short-path form)
  std::string settings_file;
  std::string filter;     // the view's filter text
  std::string job_title;  // default job title when the layout has none
  int32_t run_date = 0, run_time = 0;
  long timer_events = 0;    // timer events served so far (for tests and diagnostics)
  std::string page_folder;  // where the page images of this run are written

  report::PageQueue* pages = nullptr;  // the run's page queue (owned by the run)
  report::Report* report = nullptr;    // the open report, or null
  ui::ProgressWindow* progress = nullptr;
  const DisplayStrings* strings = nullptr;
};

class ReportRun {
 public:
  ReportRun();
  virtual ~ReportRun();
  ReportRun(const ReportRun&) = delete;
  ReportRun& operator=(const ReportRun&) = delete;

  // The whole life of the run; returns the response also left in GlobalResponse.
  int32_t run();

  void set_routing(OutputRouting* routing) { routing_ = routing; }
  const RunState& state() const { return st_; }
  RunState& state() { return st_; }

 protected:
  // --- what a report supplies -------------------------------------------------------------
  // Settings file and the defaults of the preview question and the progress window's user text.
  struct Settings {
    std::string file = kSettingsFile;
    std::string preview_text = "Do you wish to PREVIEW this Report?";
    std::string preview_caption = "Preview";
    std::string user_text;
  };
  virtual Settings settings() const { return {}; }
  // False for reports whose output was chosen before the run (then preview_chosen() decides).
  virtual bool asks_preview() const { return true; }
  virtual bool preview_chosen() const { return false; }
  // Names the filter text uses (the files' records are bound by the run after they open).
  virtual Status bind_names() { return Status::Ok(); }
  // The files, driving file first; opened in this order, released in reverse.
  virtual std::vector<UsedFile> files() = 0;
  // After the files are open, before the progress window: what the report reads once per run.
  // False ends the run as cancelled (the report has told the user why).
  virtual bool start_of_run() { return true; }
  // Joins and order of the view over the driving file.
  virtual void declare_view(view::View& v) = 0;
  // The filter text built from the selections (empty: every record).
  virtual Result<std::string> filter() { return std::string(); }
  virtual Result<int64_t> records_to_process();
  // Extra record tests on the row just read: kRecordAccepted, kRecordFiltered, kRecordOutOfRange.
  virtual int record_status() { return kRecordAccepted; }
  // The layout and the storage of its variables that are not bound names (RECCOUNT, ...).
  virtual const report::Layout& layout() = 0;
  virtual VarRef resolve(std::string_view name) {
    (void)name;
    return VarRef();
  }
  // Texts and hidden controls changed before the first page; the default job title.
  virtual void report_opened(report::Report& rpt) { (void)rpt; }
  virtual std::string default_job_title() const { return {}; }
  // Per record: group break check, the detail band, the counters.
  virtual Status group_break(report::Report& rpt) {
    (void)rpt;
    return Status::Ok();
  }
  virtual Status print_detail(report::Report& rpt) { return rpt.print("?DETAILBAND"); }
  virtual void count() {}
  // After the scan (also after a cancel), when the report was opened.
  virtual Status closing_totals(report::Report& rpt) {
    (void)rpt;
    return Status::Ok();
  }
  // The file name message 35 shows (default: the driving file's label).
  virtual std::string read_error_name() const;

  view::View* view() { return view_.get(); }

 private:
  bool ask_preview();
  bool open_files();
  void release_files();
  void on_open_window();
  void on_timer();
  void on_cancel();
  int fetch();
  Status open_report();
  void stop();
  VarRef resolve_var(std::string_view name);
  void finish();

  RunState st_;
  OutputRouting* routing_ = nullptr;
  std::unique_ptr<OutputRouting> default_routing_;
  std::vector<UsedFile> files_;
  size_t files_opened_ = 0;
  bool stopping_ = false;  // the timer is stopped and close-window posted
  std::unique_ptr<view::View> view_;
  std::unique_ptr<report::PageQueue> pages_;
  std::unique_ptr<report::Report> report_;
  std::unique_ptr<ui::ProgressWindow> progress_;
  std::optional<report::Layout> layout_copy_;
};

}  // namespace tdx::reports
