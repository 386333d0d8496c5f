#include "platform/mail/smtp_mailer.h"

#include <curl/curl.h>

#include <cstring>
#include <mutex>

namespace tdx::platform {
namespace {

struct Upload {
  const std::string* data;
  size_t pos = 0;
};

size_t read_upload(char* buffer, size_t size, size_t nitems, void* userdata) {
  auto* up = static_cast<Upload*>(userdata);
  size_t room = size * nitems;
  size_t left = up->data->size() - up->pos;
  size_t n = left < room ? left : room;
  std::memcpy(buffer, up->data->data() + up->pos, n);
  up->pos += n;
  return n;
}

void global_init_once() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

Status SendMail(const SmtpConfig& config, const MailMessage& message) {
  if (config.server.empty()) {
    return Status(kMailNotConfigured, "No mail server is set up: the e-mail was not sent.");
  }
  auto to = checked_address(message.to_address);
  if (!to.ok()) return Status(kMailBadAddress, to.status().text());
  // The message's own sender when it has one, else the configured one.
  auto from = checked_address(message.from_address.empty() ? config.from_address : message.from_address);
  if (!from.ok()) return Status(kMailBadAddress, "sender: " + from.status().text());

  MailMessage m = message;
  m.to_address = *to;
  m.from_address = *from;
  if (m.from_name.empty()) m.from_name = config.from_name;
  auto wire = render_message(m);
  if (!wire.ok()) return Status(kMailAttachment, wire.status().text());

  global_init_once();
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return Status(kMailRefused, "the mail library could not start");
  const bool implicit_tls = config.tls == "tls";
  std::string url = std::string(implicit_tls ? "smtps://" : "smtp://") + config.server + ":" +
                    std::to_string(config.port);
  char error[CURL_ERROR_SIZE] = {0};
  Upload up{&wire.value()};
  struct curl_slist* rcpt = curl_slist_append(nullptr, ("<" + *to + ">").c_str());

  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(curl, CURLOPT_MAIL_FROM, ("<" + *from + ">").c_str());
  curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, read_upload);
  curl_easy_setopt(curl, CURLOPT_READDATA, &up);
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(config.timeout_seconds));
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(config.timeout_seconds));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  if (config.tls == "starttls") curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
  if (!config.user.empty()) {
    curl_easy_setopt(curl, CURLOPT_USERNAME, config.user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, config.password.c_str());
  }
  CURLcode rc = curl_easy_perform(curl);
  long response = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response);
  curl_slist_free_all(rcpt);
  curl_easy_cleanup(curl);
  if (rc != CURLE_OK) {
    std::string why = error[0] ? error : curl_easy_strerror(rc);
    return Status(kMailRefused, "The e-mail was not sent: " + why +
                                    (response ? " (server answered " + std::to_string(response) + ")" : ""));
  }
  return Status();
}

}  // namespace tdx::platform
