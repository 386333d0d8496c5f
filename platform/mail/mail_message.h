// MailMessage: one e-mail with attachments, and its wire form (RFC 5322 with MIME).
//
// Every text that a user typed (recipient name and address, subject) is made safe for a header:
// line breaks and other control characters become blanks, so nothing a user types can add a
// header or a recipient; text outside ASCII is written as an RFC 2047 encoded word (UTF-8,
// base64). All texts given here are UTF-8. The body is sent as UTF-8 quoted-printable, each
// attachment as base64.
#pragma once

#include <string>
#include <vector>

#include "runtime/base/status.h"

namespace tdx::platform {

struct MailAttachment {
  std::string path;          // file to attach
  std::string name;          // name the recipient sees (defaults to the file's own name)
  std::string content_type;  // defaults to application/pdf for .pdf, else application/octet-stream
};

struct MailMessage {
  std::string from_address;
  std::string from_name;
  std::string to_address;
  std::string to_name;
  std::string subject;
  std::string body;
  std::vector<MailAttachment> attachments;
};

// The recipient's address alone, when it is one plausible address (local@domain, no blanks,
// no control characters, no angle brackets or commas); an error names what is wrong.
Result<std::string> checked_address(const std::string& address);

// A header value made safe: control characters (CR and LF included) become blanks, runs of
// blanks shrink to one, and a value with non-ASCII text becomes encoded words.
std::string header_text(const std::string& utf8);

// The whole message as sent over SMTP, with Date and Message-ID headers.
// REQUIRES: the addresses have passed checked_address.
Result<std::string> render_message(const MailMessage& m);

}  // namespace tdx::platform
