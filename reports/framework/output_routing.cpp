#include "reports/framework/output_routing.h"

#include <filesystem>

#include "core/globals.h"
#include "reports/framework/report_run.h"
#include "runtime/ui/frontend.h"
#include "runtime/ui/keyboard.h"
#include "runtime/ui/message_box.h"

namespace tdx::reports {
namespace {

void nothing_to_show(const RunState& st, bool preview) {
  const DisplayStrings& d = *st.strings;
  ui::message(preview ? d.NothingToPrvwText : d.NothingToPrntText,
              preview ? d.NothingToPrvwTitle : d.NothingToPrntTitle, ui::Icon::Information,
              d.ButtonOk, 1);
}

std::string title_of(const RunState& st) {
  return st.report && !st.report->title().empty() ? st.report->title() : st.job_title;
}

void print_pages(const RunState& st) {
  ui::PrintJobNotice n;
  n.title = title_of(st);
  n.pages = static_cast<int>(st.pages->size());
  n.copies = st.report ? st.report->copies() : 1;
  ui::current_frontend().print_job(n);
}

}  // namespace

Status PreviewRouting::open_report(RunState& st, report::Report& rpt) {
  std::error_code ec;
  std::filesystem::create_directories(st.page_folder, ec);
  if (ec) return Status(ec.value(), "page folder " + st.page_folder + ": " + ec.message());
  rpt.set_sink(st.pages);
  return Status::Ok();
}

void PreviewRouting::end_run(RunState& st) {
  if (st.progress) st.progress->window().close();
  const bool esc = ui::last_key() == ui::Key::Esc;
  if (st.preview) {
    if ((st.response == core::kResponseCompleted && !esc) || st.partial_preview) {
      if (st.report) (void)st.report->end_page();
      if (st.pages->empty()) {
        nothing_to_show(st, true);
        return;
      }
      ui::PreviewRequest req;
      req.title = title_of(st);
      req.pages = st.pages->files();
      req.page_count = static_cast<int>(req.pages.size());
      const bool printed = ui::preview(req) == ui::PreviewAnswer::Print;
      core::GlobalResponse = printed ? core::kResponseCompleted : 0;
      if (printed) print_pages(st);
      st.response = core::GlobalResponse;
    } else if (!st.report_opened) {
      nothing_to_show(st, true);
    }
    return;
  }
  if (esc) return;  // the queued pages are discarded
  if (st.report_opened) {
    if (st.report) (void)st.report->end_page();
    if (st.pages->empty())
      nothing_to_show(st, false);
    else
      print_pages(st);
    return;
  }
  nothing_to_show(st, false);
}

void PreviewRouting::finish(RunState& st) {
  if (st.report) (void)st.report->close();
  if (st.pages) (void)st.pages->remove_files();
  std::error_code ec;
  std::filesystem::remove(st.page_folder, ec);
}

}  // namespace tdx::reports
