#include "platform/printer/printer.h"

namespace tdx::platform {

Result<std::unique_ptr<Printer>> OpenCupsPrinter(const PrinterConfig& config);
Result<std::unique_ptr<Printer>> OpenSpoolPrinter(const PrinterConfig& config);

Result<std::unique_ptr<Printer>> OpenPrinter(const PrinterConfig& config) {
  if (config.kind == "spool") return OpenSpoolPrinter(config);
  if (config.kind == "cups" || config.kind.empty()) return OpenCupsPrinter(config);
  return Status(kNoPrinter, "Unknown printer kind \"" + config.kind + "\": nothing was printed.");
}

}  // namespace tdx::platform
