// Previewer: shows a report's queued page images and prints them, the four operations a report
// run relies on, over our page queue, printer and frontend:
//
//   SUPPORTED(Copies)    1 when the printer in use makes copies itself, else 0 (also with no
//                        printer at all);
//   PRINTPREVIEW(pages)  shows the pages through the current frontend; 1 when the user chose
//                        to print, 2 when the preview was closed (cancelled). In a run without a
//                        screen the preview also writes its pages into the preview output folder
//                        (one PDF, and a PNG per page on request; see output_settings.h) so they
//                        can be looked at afterwards;
//   HANDLECOPIES(n, c)   the pages flushed next come out in n copies, collated (1..m, 1..m) or
//                        not (1,1,1, 2,2,2): a printer that makes copies gets the pages once
//                        with the copy count, a printer that does not gets the pages repeated in
//                        that order with one copy;
//   ASSGNPGOFPG(queue)   fills the page-count fields of every queued page (page x of y).
// flush() sends the pages to the printer as one job with the report's title, tells the frontend
// about the job, and sets the copies back to 1. Without a printer it prints nothing and says so.
//
// One Previewer per report run, on the windows' thread. The printer is not owned.
#pragma once

#include <string>
#include <vector>

#include "platform/preview/output_settings.h"
#include "platform/printer/printer.h"
#include "runtime/base/status.h"
#include "runtime/report/page_queue.h"

namespace tdx::platform {

enum class PrinterProperty { Copies };

// The pages in the order they are printed for `copies` copies, collated or not.
std::vector<std::string> copy_order(const std::vector<std::string>& pages, int copies,
                                    bool collate);

class Previewer {
 public:
  // `printer` may be null: no printer is configured.
  Previewer(Printer* printer, PreviewSettings settings);
  Previewer(const Previewer&) = delete;
  Previewer& operator=(const Previewer&) = delete;

  int SUPPORTED(PrinterProperty property) const;
  int PRINTPREVIEW(const std::vector<std::string>& pages, const std::string& title);
  void HANDLECOPIES(int copies, bool collate);
  Status ASSGNPGOFPG(report::PageQueue& queue);
  Status flush(const std::vector<std::string>& pages, const std::string& title);

  int copies() const { return copies_; }
  bool collate() const { return collate_; }
  // Where the last preview wrote its PDF (empty when it wrote none).
  const std::string& last_preview_file() const { return last_preview_file_; }

 private:
  Printer* printer_;
  PreviewSettings settings_;
  int copies_ = 1;
  bool collate_ = false;
  std::string last_preview_file_;
};

}  // namespace tdx::platform
