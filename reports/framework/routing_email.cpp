#include "reports/framework/routing_email.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/mail/mail_message.h"
#include "runtime/store/errors.h"
#include "runtime/text/cp1252.h"
#include "runtime/ui/frontend.h"

namespace tdx::reports {

namespace {

std::string trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\0')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\0')) --e;
  return std::string(s.substr(b, e - b));
}

// The last 4 digits of the clock value written with 8 digits.
int time_digits(int32_t clock) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08d", clock);
  std::string s(buf);
  return std::stoi(s.substr(s.size() - 4));
}

}  // namespace

std::string email_page_file_name(std::string_view folder, int32_t clock, int page) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%04d.wmf", time_digits(clock), page);
  std::string f(folder);
  return f.empty() ? std::string(buf) : f + "/" + buf;
}

report::PageNamer EmailPages::namer() {
  return [this](int page) -> Result<std::string> {
    // Try the run's time digits, then the next ones, until a name is free.
    for (int attempt = 0; attempt < 10000; ++attempt) {
      const std::string name = email_page_file_name(folder_, clock_, page);
      int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
      if (fd >= 0) {
        ::close(fd);
        files_.push_back(name);
        return name;
      }
      if (errno != EEXIST) {
        return Status(store::kAccessDenied, "cannot create the page file " + name);
      }
      clock_ = (time_digits(clock_) + 1) % 10000;  // keeps only the digits that count
    }
    return Status(store::kAccessDenied, "no free page file name in " + folder_);
  };
}

void EmailPages::remove_files() {
  for (const std::string& f : files_) {
    std::error_code ec;
    std::filesystem::remove(f, ec);
  }
  files_.clear();
}

Status send_report_mail(const platform::SmtpConfig& config, const ReportMail& mail) {
  platform::MailMessage m;
  m.to_address = cp1252_to_utf8(trim(mail.to_address));
  m.to_name = cp1252_to_utf8(trim(mail.to_name));
  m.subject = cp1252_to_utf8(trim(mail.subject));
  m.body = cp1252_to_utf8(trim(mail.comments));
  m.attachments.push_back({mail.pdf_file, "", ""});
  Status s = platform::SendMail(config, m);
  ui::EmailNotice n;
  n.to = m.to_address;
  n.to_name = m.to_name;
  n.subject = m.subject;
  n.attachment = mail.pdf_file;
  n.state = s.ok() ? "sent" : s.text();
  ui::current_frontend().email_sent(n);
  return s;
}

}  // namespace tdx::reports
