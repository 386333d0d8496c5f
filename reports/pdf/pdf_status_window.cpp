#include "reports/pdf/pdf_status_window.h"

#include "reports/pdf/pdf_writer.h"
#include "runtime/ui/window_def.h"

namespace tdx::reports {

ui::WindowDef pdf_status_window_def() {
  return ui::WindowBuilder(kPdfStatusTitle, 179, 76)
      .name("PdfStatus")
      .centred()
      .font("MS Sans Serif", 8)
      .timer(10)
      .esc_ignored()
      .prompt(kPdfStatusText, kPdfGenerating, {25, 6, 130, 10})
      .justify(ui::Justify::Center)
      .progress(kPdfProgress, {20, 21, 139, 14})
      .range(0, 100)
      .field(kPdfPctDone, "LOC:PCTDONE", "@s30", {20, 40, 139, 10})
      .justify(ui::Justify::Center)
      .button(kPdfCancel, "Cancel", {67, 55, 45, 14})
      .build();
}

PdfStatusWindow::PdfStatusWindow() : win_(pdf_status_window_def()) {
  win_.bind("LOC:PCTDONE", VarRef::String(pct_done_.data(), 30));
}

void PdfStatusWindow::open(int pages) {
  pages_ = pages;
  pct_done_ = "";
  (void)win_.open();
  win_.set_progress(kPdfProgress, 0);
}

void PdfStatusWindow::show_page(int n) {
  pct_done_ = "Page " + std::to_string(n) + " of " + std::to_string(pages_);
  win_.display(kPdfPctDone);
  win_.set_progress(kPdfProgress, pages_ > 0 ? n * 100 / pages_ : 0);
}

}  // namespace tdx::reports
