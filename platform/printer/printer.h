// Printer: where printed pages go.
//
// A print job is a PDF file of the pages (rendered by the report engine) with a copy count,
// a collate switch and a job title. Two printers exist:
//   - "cups": the default CUPS destination (or a named one) through libcups; CUPS makes copies
//     itself, so supports_copies() is true.
//   - "spool": a folder; each job becomes NNNNNN.pdf beside NNNNNN.job (title, copies,
//     collate, page count of the file as given), for tests and batch runs. Whether it claims
//     copy support is a setting, so both paths of the copy rules can be exercised.
// A printer that makes no copies itself gets each copy as pages in the file: the caller
// (the previewer's copy handling) repeats the pages and sends copies = 1.
// OpenPrinter fails with kNoPrinter when nothing is configured and CUPS has no destination:
// the caller shows the message and prints nothing.
#pragma once

#include <memory>
#include <string>

#include "runtime/base/status.h"

namespace tdx::platform {

struct PrinterConfig {
  std::string kind = "cups";    // "cups" or "spool"
  std::string name;             // cups: destination (empty = default); spool: unused
  std::string spool_dir;        // spool: the folder jobs are written to
  bool spool_supports_copies = false;
  int copies = 1;               // the printer's own copies setting
  bool collate = false;         // the printer's own collate setting
};

struct PrintJob {
  std::string pdf_path;
  int copies = 1;
  bool collate = false;
  std::string title;
};

inline constexpr int kNoPrinter = 2101;
inline constexpr int kPrintFailed = 2102;

class Printer {
 public:
  virtual ~Printer() = default;
  virtual std::string name() const = 0;
  // SUPPORTED(copies): true when the driver makes copies itself.
  virtual bool supports_copies() const = 0;
  // The printer's own settings (copies and collate of the default printer).
  virtual int copies() const = 0;
  virtual bool collate() const = 0;
  virtual void set_copies(int copies) = 0;
  // Sends one job. ok only when the job was accepted by the spooler.
  virtual Status Print(const PrintJob& job) = 0;
};

Result<std::unique_ptr<Printer>> OpenPrinter(const PrinterConfig& config);

}  // namespace tdx::platform
