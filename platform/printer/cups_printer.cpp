#include <cups/cups.h>

#include "platform/printer/printer.h"

namespace tdx::platform {
namespace {

class CupsPrinter : public Printer {
 public:
  CupsPrinter(std::string dest, int copies, bool collate)
      : dest_(std::move(dest)), copies_(copies), collate_(collate) {}
  std::string name() const override { return dest_; }
  bool supports_copies() const override { return true; }
  int copies() const override { return copies_; }
  bool collate() const override { return collate_; }
  void set_copies(int copies) override { copies_ = copies; }

  Status Print(const PrintJob& job) override {
    cups_option_t* options = nullptr;
    int n = 0;
    n = cupsAddOption("copies", std::to_string(job.copies < 1 ? 1 : job.copies).c_str(), n, &options);
    n = cupsAddOption("collate", job.collate ? "true" : "false", n, &options);
    int id = cupsPrintFile(dest_.c_str(), job.pdf_path.c_str(), job.title.c_str(), n, options);
    cupsFreeOptions(n, options);
    if (id == 0) {
      return Status(kPrintFailed, std::string("The printer refused the job: ") + cupsLastErrorString());
    }
    return Status();
  }

 private:
  std::string dest_;
  int copies_;
  bool collate_;
};

}  // namespace

Result<std::unique_ptr<Printer>> OpenCupsPrinter(const PrinterConfig& config) {
  cups_dest_t* dests = nullptr;
  int count = cupsGetDests(&dests);
  cups_dest_t* dest = cupsGetDest(config.name.empty() ? nullptr : config.name.c_str(), nullptr, count, dests);
  if (dest == nullptr) {
    cupsFreeDests(count, dests);
    return Status(kNoPrinter, config.name.empty()
                                  ? "No printer is set up: nothing was printed."
                                  : "The printer \"" + config.name + "\" is not set up: nothing was printed.");
  }
  int copies = config.copies;
  if (const char* c = cupsGetOption("copies", dest->num_options, dest->options)) copies = std::atoi(c);
  bool collate = config.collate;
  if (const char* c = cupsGetOption("collate", dest->num_options, dest->options)) collate = std::string(c) == "true";
  std::unique_ptr<Printer> p = std::make_unique<CupsPrinter>(dest->name, copies < 1 ? 1 : copies, collate);
  cupsFreeDests(count, dests);
  return p;
}

}  // namespace tdx::platform
