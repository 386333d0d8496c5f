// SmtpMailer: sends a MailMessage to an SMTP server through libcurl.
//
// Send() returns ok only when the server accepted the message (a 250 after DATA). An
// unreachable server, a refused sender or recipient, a failed login or TLS handshake, or no
// server configured at all, is an error whose text says which, so a report never claims a mail
// went out when it did not. Nothing is retried. A message without a sender gets the
// configured one. The attachment files are read, never changed.
#pragma once

#include <string>

#include "platform/mail/mail_message.h"
#include "runtime/base/status.h"

namespace tdx::platform {

struct SmtpConfig {
  std::string server;      // host name or address; empty = no server configured
  int port = 25;
  std::string from_address;
  std::string from_name;
  std::string user;        // login when not empty
  std::string password;
  // "none": plain SMTP; "starttls": upgrade, fail when the server cannot; "tls": implicit TLS
  std::string tls = "none";
  int timeout_seconds = 30;
};

// Error codes of Send().
inline constexpr int kMailNotConfigured = 2001;
inline constexpr int kMailBadAddress = 2002;
inline constexpr int kMailAttachment = 2003;
inline constexpr int kMailRefused = 2004;  // connection, login or protocol failure

Status SendMail(const SmtpConfig& config, const MailMessage& message);

}  // namespace tdx::platform
