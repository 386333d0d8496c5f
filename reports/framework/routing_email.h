// The e-mail side of a report run: naming the page images that go into the PDF, and sending the
// finished PDF.
//
// EmailPages names each page "<folder>/<tttt><pppp>.wmf": tttt the last 4 digits of the time of
// day as an 8-digit clock value when the run started, pppp the page number (4 digits), in the
// temporary folder. Each name is claimed by creating the empty file exclusively, so a name that
// already exists (two runs in the same second, or two stations sharing one temporary folder) is
// never overwritten: the next time digits are tried instead (and kept for the pages that
// follow). remove_files() deletes every page file handed out; the report calls it when it ends.
//
// send_report_mail() sends the PDF to the recipient through the SMTP settings: the recipient's
// name and address, subject and comments as the user typed them (Windows-1252; made safe for
// headers by the mailer). It never claims success unless the server accepted the message, and it
// tells the frontend what became of the mail either way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/mail/smtp_mailer.h"
#include "runtime/base/status.h"
#include "runtime/report/page_queue.h"

namespace tdx::reports {

// "<folder>/<last 4 digits of clock as %08d><page %04d>.wmf"
std::string email_page_file_name(std::string_view folder, int32_t clock, int page);

class EmailPages {
 public:
  EmailPages(std::string folder, int32_t clock) : folder_(std::move(folder)), clock_(clock) {}
  EmailPages(const EmailPages&) = delete;
  EmailPages& operator=(const EmailPages&) = delete;
  ~EmailPages() = default;

  report::PageNamer namer();
  const std::vector<std::string>& files() const { return files_; }
  void remove_files();

 private:
  std::string folder_;
  int32_t clock_;
  std::vector<std::string> files_;
};

struct ReportMail {
  std::string pdf_file;                                // this machine's path of the PDF
  std::string to_address, to_name, subject, comments;  // Windows-1252, as typed
};

Status send_report_mail(const platform::SmtpConfig& config, const ReportMail& mail);

}  // namespace tdx::reports
