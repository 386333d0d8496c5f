#include "platform/preview/output_settings.h"

#include <algorithm>
#include <cstdlib>

#include "runtime/settings/settings.h"
#include "runtime/text/cp1252.h"

namespace tdx::platform {

namespace {

std::string get(std::string_view section, std::string_view key, std::string_view deflt,
                std::string_view file) {
  // Settings files are Windows-1252; our platform layer speaks UTF-8.
  return cp1252_to_utf8(get_ini(section, key, deflt, file));
}

int get_int(std::string_view section, std::string_view key, int deflt, std::string_view file) {
  std::string v = get(section, key, "", file);
  if (v.empty()) return deflt;
  char* end = nullptr;
  long n = std::strtol(v.c_str(), &end, 10);
  return end == v.c_str() ? deflt : static_cast<int>(n);
}

bool get_flag(std::string_view section, std::string_view key, std::string_view file) {
  std::string v = get(section, key, "0", file);
  return !v.empty() && (v[0] == '1' || v[0] == 'y' || v[0] == 'Y' || v[0] == 't' || v[0] == 'T');
}

std::string& output_override() {
  static std::string folder;
  return folder;
}

}  // namespace

void set_preview_output_dir(std::string folder) { output_override() = std::move(folder); }

PrinterConfig read_printer_settings(std::string_view file) {
  PrinterConfig c;
  c.kind = get("Printer", "Kind", "cups", file);
  c.name = get("Printer", "Name", "", file);
  c.spool_dir = get("Printer", "SpoolDir", "", file);
  c.spool_supports_copies = get_flag("Printer", "SpoolCopies", file);
  c.copies = std::max(1, get_int("Printer", "Copies", 1, file));
  c.collate = get_flag("Printer", "Collate", file);
  return c;
}

SmtpConfig read_mail_settings(std::string_view file) {
  SmtpConfig c;
  c.server = get("Mail", "Server", "", file);
  c.port = get_int("Mail", "Port", 25, file);
  c.from_address = get("Mail", "From", "", file);
  c.from_name = get("Mail", "FromName", "", file);
  c.user = get("Mail", "User", "", file);
  c.password = get("Mail", "Password", "", file);
  c.tls = get("Mail", "TLS", "none", file);
  c.timeout_seconds = get_int("Mail", "Timeout", 30, file);
  return c;
}

PreviewSettings read_preview_settings(std::string_view file) {
  PreviewSettings p;
  p.output_dir = get("Preview", "OutputDir", "", file);
  if (!output_override().empty()) p.output_dir = output_override();
  // A run given an output folder (tendix run --out sets TDX_OUT_DIR) previews into it.
  if (const char* out = std::getenv("TDX_OUT_DIR"); out != nullptr && *out != '\0')
    p.output_dir = out;
  p.png = get_flag("Preview", "PNG", file);
  p.png_dpi = get_int("Preview", "PNGResolution", 96, file);
  if (p.png_dpi < 10 || p.png_dpi > 1200) p.png_dpi = 96;
  return p;
}

}  // namespace tdx::platform
