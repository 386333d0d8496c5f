// Rendering pages through cairo: PDF (fonts embedded as subsets, text extractable), PostScript
// and PNG.
//
// A DocumentWriter streams pages into one PDF or PostScript file: each page is drawn and
// flushed as it is added, so memory stays flat however many pages come; each page takes the
// size of its own paper. It is also a PageSink, so a report can print straight into it (the
// printer path). Texts are Windows-1252 and converted to UTF-8 for cairo; faces map as in
// fonts.h, so rendered widths are the widths filling used. Not copyable; one thread at a time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "runtime/base/status.h"
#include "runtime/report/engine.h"
#include "runtime/report/page.h"

namespace tdx::report {

enum class DocumentKind { Pdf, PostScript };

class DocumentWriter : public PageSink {
 public:
  static Result<std::unique_ptr<DocumentWriter>> Create(std::string_view file, DocumentKind kind);
  ~DocumentWriter() override;
  DocumentWriter(const DocumentWriter&) = delete;
  DocumentWriter& operator=(const DocumentWriter&) = delete;

  Status add_page(const Page& page);
  // Finishes the file; further pages are refused.
  Status close();
  int pages() const { return pages_; }

  Status page_done(int, const Page& page, const std::vector<CountSlot>&) override {
    return add_page(page);
  }
  Status finish() override { return close(); }

 private:
  DocumentWriter() = default;
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int pages_ = 0;
};

// Writes one page as a PNG at `dpi` dots per inch (previews).
Status render_png(const Page& page, double dpi, std::string_view file);

// Turns a list of page image files into one PDF, a page per image, each of its own size.
Status page_images_to_pdf(const std::vector<std::string>& images, std::string_view pdf_file);

}  // namespace tdx::report
