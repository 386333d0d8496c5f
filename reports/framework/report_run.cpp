#include "reports/framework/report_run.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "core/globals.h"
#include "reports/framework/open_file.h"
#include "reports/framework/standard_messages.h"
#include "runtime/datetime/datetime.h"
#include "runtime/expr/bound_names.h"
#include "runtime/path/path.h"
#include "runtime/store/errors.h"
#include "runtime/text/str.h"
#include "runtime/ui/frontend.h"
#include "runtime/ui/keyboard.h"
#include "runtime/ui/message_box.h"

namespace tdx::reports {
namespace {

std::string upper_ascii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool same_name(std::string_view a, const char* b) { return upper_ascii(std::string(a)) == b; }

// A folder of its own for each run's page images.
std::string new_page_folder() {
  static std::atomic<long> serial{0};
  return temp_dir() + "/tdxpages-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
}

}  // namespace

ReportRun::ReportRun() = default;
ReportRun::~ReportRun() = default;

Result<int64_t> ReportRun::records_to_process() { return files_.front().file->records(); }

std::string ReportRun::read_error_name() const {
  return files_.empty() ? std::string() : files_.front().file->decl().label;
}

int32_t ReportRun::run() {
  // 1. Prepare state.
  st_ = RunState();
  st_.response = core::kResponseCancelled;
  st_.page_folder = new_page_folder();
  pages_ = std::make_unique<report::PageQueue>(report::folder_namer(st_.page_folder));
  st_.pages = pages_.get();
  st_.initial_dir = current_dir_short();
  if (!routing_) {
    if (!default_routing_) default_routing_ = std::make_unique<PreviewRouting>();
    routing_ = default_routing_.get();
  }
  BoundNames::global().push_frame();
  files_.clear();
  files_opened_ = 0;
  stopping_ = false;

  // 2. Display strings.
  const Settings cfg = settings();
  st_.settings_file = cfg.file;
  st_.strings =
      &load_display_strings(cfg.preview_text, cfg.preview_caption, cfg.user_text, cfg.file);
  // 3. Printer copies.
  routing_->prepare(st_);
  // 4. Names of the filter.
  Status bound = bind_names();
  if (!bound.ok()) std::fprintf(stderr, "report: binding names: %s\n", bound.ToString().c_str());

  // 5. Preview or print.
  if (asks_preview()) {
    if (!ask_preview()) {
      finish();
      return core::GlobalResponse;
    }
  } else {
    st_.preview = preview_chosen();
  }

  // 6. Request and response.
  st_.request = core::GlobalRequest;
  core::GlobalRequest = core::kRequestNone;
  core::GlobalResponse = 0;
  st_.response = core::kResponseCancelled;

  // 7. Files.
  files_ = files();
  if (files_.empty() || !open_files() || !start_of_run()) {
    finish();
    return core::GlobalResponse;
  }

  // 8. Record count.
  Result<int64_t> count = records_to_process();
  st_.records_to_process = count.ok() ? static_cast<long>(*count) : 0;
  st_.records_per_cycle = kRecordsPerCycle;
  st_.records_processed = 0;

  // 9. Keyboard.
  ui::clear_keyboard_buffer();
  ui::clear_last_key();

  // 10. Progress window.
  progress_ = std::make_unique<ui::ProgressWindow>();
  st_.progress = progress_.get();
  const DisplayStrings& d = *st_.strings;
  progress_->set_total(st_.records_to_process);
  Status opened = progress_->open(st_.preview ? d.ProgWinTitlePrvw : d.ProgWinTitlePrnt,
                                  d.ProgWinUsrText, d.ProgWinPctText);
  if (!opened.ok()) {
    std::fprintf(stderr, "report: progress window: %s\n", opened.ToString().c_str());
    finish();
    return core::GlobalResponse;
  }

  // 11. Read-ahead on the driving file.
  (void)files_.front().file->send("QUICKSCAN=on");
  // 12. Run date and time.
  st_.run_date = today();
  st_.run_time = clock_now();

  // 13. The event loop.
  ui::Event ev;
  while (progress_->accept(ev)) {
    if (ev.is(ui::EventKind::OpenWindow)) {
      on_open_window();
    } else if (ev.is(ui::EventKind::Timer)) {
      on_timer();
    } else if (progress_->is_cancel(ev)) {
      on_cancel();
    }
  }

  // 14. Closing totals.
  (void)files_.front().file->send("QUICKSCAN=off");
  st_.end_of_report = true;
  if (report_) {
    Status s = closing_totals(*report_);
    if (!s.ok()) std::fprintf(stderr, "report: closing totals: %s\n", s.ToString().c_str());
  }
  // 15. Routing, then the report closed.
  routing_->end_run(st_);
  if (report_) (void)report_->close();
  // 16. Return.
  finish();
  return core::GlobalResponse;
}

bool ReportRun::ask_preview() {
  const DisplayStrings& d = *st_.strings;
  int answer = ui::message(d.AskPrvwDialogText, d.AskPrvwDialogTitle, ui::Icon::Exclamation,
                           d.ButtonYesNoCancel, 1);
  if (answer == 1) {
    st_.preview = true;
  } else if (answer == 2) {
    st_.preview = false;
  } else {
    st_.response = core::kResponseCancelled;
    return false;
  }
  return true;
}

bool ReportRun::open_files() {
  for (const UsedFile& f : files_) {
    if (*f.used == 0 && !open_file(*f.file).ok()) return false;  // the application has ended
    *f.used += 1;
    ++files_opened_;
    Status s = view::bind_record(*f.file);
    if (!s.ok())
      std::fprintf(stderr, "report: binding %s: %s\n", f.file->decl().label.c_str(),
                   s.ToString().c_str());
  }
  return true;
}

void ReportRun::release_files() {
  while (files_opened_ > 0) {
    const UsedFile& f = files_[--files_opened_];
    if (*f.used > 0) *f.used -= 1;
    if (*f.used == 0) f.file->close();
  }
}

void ReportRun::stop() {
  stopping_ = true;
  progress_->window().set_timer(0);
  progress_->window().post(ui::EventKind::CloseWindow);
}

void ReportRun::on_open_window() {
  view_ = std::make_unique<view::View>(*files_.front().file);
  declare_view(*view_);
  Result<std::string> text = filter();
  Status s = text.status();
  if (text.ok()) {
    st_.filter = *text;
    view_->set_filter(st_.filter);
    s = view_->open();
  }
  if (!s.ok()) {
    // The run goes on over the whole view, as the message says.
    save_status(s);
    standard_message(36, "");
    st_.filter.clear();
    view_->set_filter("");
    (void)view_->open();
  }
  if (fetch() != kRecordAccepted) {
    st_.response = core::kResponseCancelled;
    stop();
    return;
  }
  Status o = open_report();
  if (!o.ok()) {
    std::fprintf(stderr, "report: opening the report: %s\n", o.ToString().c_str());
    st_.response = core::kResponseCancelled;
    stop();
  }
}

Status ReportRun::open_report() {
  auto opened =
      report::Report::Open(layout(), [this](std::string_view n) { return resolve_var(n); });
  if (!opened.ok()) return opened.status();
  report_ = std::move(*opened);
  st_.report = report_.get();
  st_.report_opened = true;
  report_opened(*report_);
  st_.job_title = default_job_title();
  if (report_->title().empty()) report_->set_title(st_.job_title);
  return routing_->open_report(st_, *report_);
}

VarRef ReportRun::resolve_var(std::string_view name) {
  if (same_name(name, "RUNDATE")) return VarRef::Long(&st_.run_date);
  if (same_name(name, "RUNTIME")) return VarRef::Long(&st_.run_time);
  VarRef r = resolve(name);
  if (r.valid()) return r;
  if (const BoundName* b = BoundNames::global().find(name)) return b->ref;
  return VarRef();
}

void ReportRun::on_timer() {
  if (!report_ || stopping_) return;
  // Esc pressed since the last event: the window's loop goes on to the timer without returning
  // in between, so the key is served here, before the batch, exactly as the Cancel button.
  if (ui::last_key() == ui::Key::Esc) {
    ui::clear_last_key();
    on_cancel();
    if (stopping_) return;
  }
  ++st_.timer_events;
  for (int i = 0; i < st_.records_per_cycle; ++i) {
    Status s = group_break(*report_);
    if (s.ok()) s = print_detail(*report_);
    if (!s.ok()) {
      // Pages that cannot be made end the run as cancelled, never as a complete report.
      std::fprintf(stderr, "report: printing: %s\n", s.ToString().c_str());
      st_.response = core::kResponseCancelled;
      stop();
      return;
    }
    count();
    if (fetch() == kRecordOutOfRange) {
      st_.response = core::kResponseCompleted;
      break;
    }
    st_.response = core::kResponseCancelled;
  }
  if (st_.response == core::kResponseCompleted) stop();
}

int ReportRun::fetch() {
  for (;;) {
    Status s = view_->next();
    if (s.ok()) {
      st_.response = core::kResponseCompleted;
      progress_->record_read();
      st_.records_processed = progress_->processed();
    } else {
      if (s.code() != store::kRecordNotAvailable) {
        save_status(s);
        standard_message(35, read_error_name());
      }
      st_.response = core::kResponseCancelled;
    }
    int status = st_.response == core::kResponseCancelled ? kRecordOutOfRange : kRecordAccepted;
    if (status == kRecordAccepted) status = record_status();
    if (status == kRecordAccepted || status == kRecordOutOfRange) return status;
  }
}

void ReportRun::on_cancel() {
  const DisplayStrings& d = *st_.strings;
  if (ui::message(d.CancelAreYouSureText, d.CancelAreYouSureTitle, ui::Icon::Exclamation,
                  d.ButtonNoYes, 1) == 1)
    return;  // No: carry on as before
  st_.records_per_cycle = 1;
  if (st_.preview && pages_ && !pages_->empty()) {
    int answer = ui::message(d.CancelPrvwPartialText, d.CancelPrvwPartialTitle,
                             ui::Icon::Exclamation, d.ButtonNoYesIgnore, 1);
    if (answer == 1) {
      st_.response = core::kResponseCancelled;
      stop();
    } else if (answer == 2) {
      st_.response = core::kResponseCompleted;
      st_.partial_preview = true;
      stop();
    }
    return;  // Ignore: carry on, one record per timer event
  }
  st_.response = core::kResponseCancelled;
  stop();
}

void ReportRun::finish() {
  ui::set_cursor(ui::Cursor::Normal);
  if (view_) view_->close();
  routing_->finish(st_);
  release_files();
  core::GlobalResponse = st_.response != 0 ? st_.response : core::kResponseCancelled;
  (void)BoundNames::global().pop_frame();
  if (upper_ascii(current_dir_short()) != upper_ascii(st_.initial_dir))
    (void)change_dir(st_.initial_dir);
  view_.reset();
  report_.reset();
  st_.report = nullptr;
  progress_.reset();
  st_.progress = nullptr;
  pages_.reset();
  st_.pages = nullptr;
}

}  // namespace tdx::reports
