#include "platform/mail/mail_message.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <unistd.h>

namespace tdx::platform {
namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64(const std::string& in) {
  std::string out;
  out.reserve((in.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < in.size(); i += 3) {
    unsigned v = (static_cast<unsigned char>(in[i]) << 16) | (static_cast<unsigned char>(in[i + 1]) << 8) |
                 static_cast<unsigned char>(in[i + 2]);
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += kBase64[(v >> 6) & 63];
    out += kBase64[v & 63];
  }
  if (i < in.size()) {
    unsigned v = static_cast<unsigned char>(in[i]) << 16;
    if (i + 1 < in.size()) v |= static_cast<unsigned char>(in[i + 1]) << 8;
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += i + 1 < in.size() ? kBase64[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

// Base64 broken into lines of 76 characters, CRLF after each.
std::string base64_lines(const std::string& in) {
  std::string b = base64(in), out;
  for (size_t i = 0; i < b.size(); i += 76) out += b.substr(i, 76) + "\r\n";
  return out;
}

std::string quoted_printable(const std::string& in) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out, line;
  auto flush = [&](bool soft) {
    out += line;
    out += soft ? "=\r\n" : "\r\n";
    line.clear();
  };
  for (size_t i = 0; i < in.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    if (c == '\n') {
      // A blank at a line's end must be encoded so that transports cannot strip it.
      if (!line.empty() && (line.back() == ' ' || line.back() == '\t')) {
        char last = line.back();
        line.pop_back();
        line += '=';
        line += kHex[static_cast<unsigned char>(last) >> 4];
        line += kHex[static_cast<unsigned char>(last) & 15];
      }
      flush(false);
      continue;
    }
    if (c == '\r') continue;
    std::string piece;
    if ((c >= 33 && c <= 126 && c != '=') || c == ' ' || c == '\t') {
      piece = std::string(1, static_cast<char>(c));
    } else {
      piece = {'=', kHex[c >> 4], kHex[c & 15]};
    }
    if (line.size() + piece.size() > 75) flush(true);
    line += piece;
  }
  if (!line.empty()) flush(false);
  return out;
}

bool is_ascii(const std::string& s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

// RFC 2047 encoded words, each at most 75 characters, split on UTF-8 character boundaries.
std::string encoded_words(const std::string& utf8) {
  std::string out, chunk;
  auto emit = [&]() {
    if (chunk.empty()) return;
    if (!out.empty()) out += "\r\n ";
    out += "=?UTF-8?B?" + base64(chunk) + "?=";
    chunk.clear();
  };
  size_t i = 0;
  while (i < utf8.size()) {
    size_t len = 1;
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xF0) len = 4;
    else if (c >= 0xE0) len = 3;
    else if (c >= 0xC0) len = 2;
    if (i + len > utf8.size()) len = utf8.size() - i;
    if (chunk.size() + len > 45) emit();  // 45 bytes -> 60 base64 characters per word
    chunk += utf8.substr(i, len);
    i += len;
  }
  emit();
  return out;
}

std::string rfc5322_date() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[64];
  std::strftime(buf, sizeof buf, "%a, %d %b %Y %H:%M:%S %z", &tm);
  return buf;
}

std::string message_id(const std::string& from) {
  std::random_device rd;
  std::ostringstream id;
  auto at = from.find('@');
  std::string domain = at == std::string::npos ? "localhost" : from.substr(at + 1);
  id << "<" << std::chrono::system_clock::now().time_since_epoch().count() << "." << getpid() << "."
     << rd() << "@" << domain << ">";
  return id.str();
}

// "Name <address>" with the name made safe and quoted or encoded.
std::string mailbox(const std::string& name, const std::string& address) {
  std::string n = header_text(name);
  if (n.empty()) return "<" + address + ">";
  if (is_ascii(n)) {
    std::string quoted;
    for (char c : n) {
      if (c == '"' || c == '\\') quoted += '\\';
      quoted += c;
    }
    return "\"" + quoted + "\" <" + address + ">";
  }
  return encoded_words(n) + " <" + address + ">";
}

std::string file_name_of(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

Result<std::string> checked_address(const std::string& address) {
  std::string a = address;
  while (!a.empty() && a.back() == ' ') a.pop_back();
  while (!a.empty() && a.front() == ' ') a.erase(a.begin());
  if (a.empty()) return Status(1, "no e-mail address");
  for (unsigned char c : a) {
    if (c < 0x21 || c == 0x7F || c == '<' || c == '>' || c == ',' || c == ';' || c == '"' || c == '(' ||
        c == ')' || c == '\\') {
      return Status(1, "the e-mail address \"" + header_text(a) + "\" has a character an address cannot hold");
    }
  }
  auto at = a.find('@');
  if (at == std::string::npos || at == 0 || at + 1 >= a.size() || a.find('@', at + 1) != std::string::npos) {
    return Status(1, "\"" + a + "\" is not an e-mail address");
  }
  return a;
}

std::string header_text(const std::string& utf8) {
  std::string out;
  for (unsigned char c : utf8) {
    bool control = c < 0x20 || c == 0x7F;
    char ch = control ? ' ' : static_cast<char>(c);
    if (ch == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += ch;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

Result<std::string> render_message(const MailMessage& m) {
  std::string subject = header_text(m.subject);
  std::ostringstream msg;
  msg << "Date: " << rfc5322_date() << "\r\n";
  msg << "From: " << mailbox(m.from_name, m.from_address) << "\r\n";
  msg << "To: " << mailbox(m.to_name, m.to_address) << "\r\n";
  msg << "Subject: " << (is_ascii(subject) ? subject : encoded_words(subject)) << "\r\n";
  msg << "Message-ID: " << message_id(m.from_address) << "\r\n";
  msg << "MIME-Version: 1.0\r\n";
  const std::string boundary = "=_tendix_" + std::to_string(std::random_device{}()) + "_part";
  msg << "Content-Type: multipart/mixed; boundary=\"" << boundary << "\"\r\n\r\n";
  msg << "This is a message in MIME format.\r\n";
  msg << "--" << boundary << "\r\n";
  msg << "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n";
  msg << quoted_printable(m.body);
  for (const auto& a : m.attachments) {
    std::ifstream in(a.path, std::ios::binary);
    if (!in) return Status(3, "cannot read the attachment " + a.path);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return Status(3, "cannot read the attachment " + a.path);
    std::string name = header_text(a.name.empty() ? file_name_of(a.path) : a.name);
    std::string type = a.content_type;
    if (type.empty()) {
      bool pdf = name.size() > 4 && (name.substr(name.size() - 4) == ".pdf" || name.substr(name.size() - 4) == ".PDF");
      type = pdf ? "application/pdf" : "application/octet-stream";
    }
    std::string quoted_name;
    for (char c : name) quoted_name += (c == '"' || c == '\\') ? '_' : c;
    std::string disp = is_ascii(quoted_name) ? "\"" + quoted_name + "\"" : "\"" + encoded_words(quoted_name) + "\"";
    msg << "--" << boundary << "\r\n";
    msg << "Content-Type: " << type << "; name=" << disp << "\r\n";
    msg << "Content-Transfer-Encoding: base64\r\n";
    msg << "Content-Disposition: attachment; filename=" << disp << "\r\n\r\n";
    msg << base64_lines(data);
  }
  msg << "--" << boundary << "--\r\n";
  return msg.str();
}

}  // namespace tdx::platform
