#include "platform/preview/previewer.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "runtime/path/path.h"
#include "runtime/report/render.h"
#include "runtime/report/wmf.h"
#include "runtime/ui/frontend.h"

namespace tdx::platform {

namespace {

namespace fs = std::filesystem;

// A report title as a file name: letters, digits, '-' and '_' kept, the rest '_'.
std::string file_stem(const std::string& title) {
  std::string s;
  for (unsigned char c : title) s += std::isalnum(c) || c == '-' || c == '_' ? char(c) : '_';
  return s.empty() ? "preview" : s;
}

// The first name "<stem>.pdf", "<stem>-2.pdf", ... not yet in the folder, claimed by creating it.
std::string claim_name(const fs::path& folder, const std::string& stem) {
  for (int n = 1; n < 100000; ++n) {
    fs::path p = folder / (n == 1 ? stem : stem + "-" + std::to_string(n));
    p += ".pdf";
    FILE* f = std::fopen(p.c_str(), "wx");
    if (f) {
      std::fclose(f);
      return p.string();
    }
    if (errno != EEXIST) return {};
  }
  return {};
}

std::atomic<unsigned> job_counter{0};

}  // namespace

std::vector<std::string> copy_order(const std::vector<std::string>& pages, int copies,
                                    bool collate) {
  if (copies < 1) copies = 1;
  std::vector<std::string> out;
  out.reserve(pages.size() * copies);
  if (collate) {
    for (int c = 0; c < copies; ++c) out.insert(out.end(), pages.begin(), pages.end());
  } else {
    for (const std::string& p : pages) out.insert(out.end(), copies, p);
  }
  return out;
}

Previewer::Previewer(Printer* printer, PreviewSettings settings)
    : printer_(printer), settings_(std::move(settings)) {}

int Previewer::SUPPORTED(PrinterProperty property) const {
  switch (property) {
    case PrinterProperty::Copies:
      return printer_ && printer_->supports_copies() ? 1 : 0;
  }
  return 0;
}

int Previewer::PRINTPREVIEW(const std::vector<std::string>& pages, const std::string& title) {
  last_preview_file_.clear();
  ui::PreviewRequest req;
  req.title = title;
  req.pages = pages;
  req.page_count = static_cast<int>(pages.size());
  if (!settings_.output_dir.empty() && !pages.empty()) {
    auto dir = map_path(settings_.output_dir);
    std::error_code ec;
    if (dir.ok() && (fs::create_directories(*dir, ec), !ec)) {
      std::string pdf = claim_name(*dir, file_stem(title));
      if (!pdf.empty() && report::page_images_to_pdf(pages, pdf).ok()) {
        last_preview_file_ = pdf;
        req.folder = settings_.output_dir;
        if (settings_.png) {
          const std::string base = pdf.substr(0, pdf.size() - 4);
          for (size_t i = 0; i < pages.size(); ++i) {
            auto page = report::read_wmf_file(pages[i]);
            if (!page.ok()) continue;
            char suffix[32];
            std::snprintf(suffix, sizeof suffix, "-p%03zu.png", i + 1);
            (void)report::render_png(*page, settings_.png_dpi, base + suffix);
          }
        }
      } else if (!pdf.empty()) {
        fs::remove(pdf, ec);
      }
    }
  }
  return ui::preview(req) == ui::PreviewAnswer::Print ? 1 : 2;
}

void Previewer::HANDLECOPIES(int copies, bool collate) {
  copies_ = copies < 1 ? 1 : copies;
  collate_ = collate;
}

Status Previewer::ASSGNPGOFPG(report::PageQueue& queue) { return queue.assign_page_of_pages(); }

Status Previewer::flush(const std::vector<std::string>& pages, const std::string& title) {
  const int copies = copies_;
  const bool collate = collate_;
  copies_ = 1;
  collate_ = false;
  if (pages.empty()) return Status();
  if (!printer_) return Status(kNoPrinter, "No printer is set up: nothing was printed.");
  const bool printer_copies = printer_->supports_copies();
  const std::vector<std::string> order =
      printer_copies ? pages : copy_order(pages, copies, collate);
  const std::string pdf = temp_dir() + "/tdxprint-" + std::to_string(::getpid()) + "-" +
                          std::to_string(job_counter++) + ".pdf";
  Status s = report::page_images_to_pdf(order, pdf);
  if (s.ok()) {
    PrintJob job;
    job.pdf_path = pdf;
    job.copies = printer_copies ? copies : 1;
    job.collate = collate;
    job.title = title;
    s = printer_->Print(job);
  }
  std::error_code ec;
  fs::remove(pdf, ec);
  if (!s.ok()) return s;
  ui::PrintJobNotice n;
  n.title = title;
  n.printer = printer_->name();
  n.pages = static_cast<int>(order.size());
  n.copies = printer_copies ? copies : 1;
  ui::current_frontend().print_job(n);
  return Status();
}

}  // namespace tdx::platform
