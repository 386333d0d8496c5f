// Output settings: which printer, which mail server and where previews are written, read from
// sections of our own in the settings file (".\TENDIX.INI" of the working directory). The keys
// and their defaults are documented in docs/output.md:
//
//   [Printer]  Kind=cups|spool  Name=  SpoolDir=  SpoolCopies=0|1  Copies=1  Collate=0|1
//   [Mail]     Server=  Port=25  From=  FromName=  User=  Password=  TLS=none|starttls|tls
//              Timeout=30
//   [Preview]  OutputDir=  PNG=0|1  PNGResolution=96
//
// Missing keys take their defaults; nothing is ever written back. A mail section without a
// server means "no server configured" (the mailer then says so and sends nothing).
#pragma once

#include <string>
#include <string_view>

#include "platform/mail/smtp_mailer.h"
#include "platform/printer/printer.h"

namespace tdx::platform {

inline constexpr const char* kOutputSettingsFile = ".\\TENDIX.INI";

// Where a preview writes its pages in a run without a screen (empty folder: nowhere). The
// environment variable TDX_OUT_DIR, when set, takes the place of OutputDir.
struct PreviewSettings {
  std::string output_dir;
  bool png = false;
  int png_dpi = 96;
};

PrinterConfig read_printer_settings(std::string_view file = kOutputSettingsFile);
SmtpConfig read_mail_settings(std::string_view file = kOutputSettingsFile);
PreviewSettings read_preview_settings(std::string_view file = kOutputSettingsFile);

// A host's output folder for this process (`tendix run --out DIR`): when set, previews write
// there whatever the settings file says. An empty folder removes the override.
void set_preview_output_dir(std::string folder);

}  // namespace tdx::platform
