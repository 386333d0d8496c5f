#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/printer/printer.h"

namespace tdx::platform {
namespace {

namespace fs = std::filesystem;

class SpoolPrinter : public Printer {
 public:
  SpoolPrinter(const PrinterConfig& c) : config_(c) {}
  std::string name() const override { return "spool:" + config_.spool_dir; }
  bool supports_copies() const override { return config_.spool_supports_copies; }
  int copies() const override { return config_.copies; }
  bool collate() const override { return config_.collate; }
  void set_copies(int copies) override { config_.copies = copies; }

  Status Print(const PrintJob& job) override {
    std::error_code ec;
    fs::create_directories(config_.spool_dir, ec);
    // Next free job number; exclusive creation of the .job file claims it, so two processes
    // sharing one spool folder never write the same job.
    for (int seq = 1; seq < 1000000; ++seq) {
      char stem[16];
      std::snprintf(stem, sizeof stem, "%06d", seq);
      fs::path job_file = fs::path(config_.spool_dir) / (std::string(stem) + ".job");
      FILE* f = std::fopen(job_file.c_str(), "wx");
      if (f == nullptr) {
        if (errno == EEXIST) continue;
        return Status(kPrintFailed, "The spool folder " + config_.spool_dir + " cannot be written.");
      }
      fs::path pdf = fs::path(config_.spool_dir) / (std::string(stem) + ".pdf");
      fs::copy_file(job.pdf_path, pdf, fs::copy_options::overwrite_existing, ec);
      if (ec) {
        std::fclose(f);
        fs::remove(job_file);
        return Status(kPrintFailed, "The job could not be spooled: " + ec.message());
      }
      std::fprintf(f, "title=%s\ncopies=%d\ncollate=%d\nfile=%s\n", job.title.c_str(), job.copies,
                   job.collate ? 1 : 0, pdf.filename().c_str());
      bool ok = std::fclose(f) == 0;
      if (!ok) return Status(kPrintFailed, "The job could not be spooled.");
      return Status();
    }
    return Status(kPrintFailed, "The spool folder is full.");
  }

 private:
  PrinterConfig config_;
};

}  // namespace

Result<std::unique_ptr<Printer>> OpenSpoolPrinter(const PrinterConfig& config) {
  if (config.spool_dir.empty()) {
    return Status(kNoPrinter, "No spool folder is set up for the printer: nothing was printed.");
  }
  return std::unique_ptr<Printer>(std::make_unique<SpoolPrinter>(config));
}

}  // namespace tdx::platform
