// The mailer against a real SMTP server (aiosmtpd: the one tools/test.sh starts, or one of the
// test's own). Messages are read back from the server's Maildir.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/mail/smtp_mailer.h"
#include "tests/support/smtp_server.h"

namespace tdx::platform {
namespace {


SmtpConfig server_at(int port) {
  SmtpConfig c;
  c.server = "127.0.0.1";
  c.port = port;
  c.from_address = "reports@broker.example";
  c.from_name = "Tendix Reports";
  c.timeout_seconds = 10;
  return c;
}

class MailTest : public ::testing::Test {
 protected:
  SmtpConfig local_server() const { return server_at(smtp_.port()); }
  // The text of the stored message that contains `marker`, or "".
  std::string delivered_with(const std::string& marker) const {
    std::string path = smtp_.message_with(marker);
    return path.empty() ? std::string() : tdx::testing::SmtpServer::read_file(path);
  }

  tdx::testing::SmtpServer smtp_;
};

TEST_F(MailTest, DeliversThePdfAttachment) {
  std::string pdf = "%PDF-1.4\n% a small file standing in for a report\n%%EOF\n";
  { std::ofstream(std::string("quote.pdf"), std::ios::binary) << pdf; }
  std::string marker = "quote-" + std::to_string(std::rand());
  MailMessage m{"", "", "buyer@agency.example", "Pat Buyer", "Bid quote " + marker, "Please find the quote.", {}};
  m.attachments.push_back({"quote.pdf", "", ""});
  ASSERT_TRUE(SendMail(local_server(), m).ok());
  std::string got = delivered_with(marker);
  ASSERT_FALSE(got.empty());
  EXPECT_NE(got.find("To: \"Pat Buyer\" <buyer@agency.example>"), std::string::npos);
  EXPECT_NE(got.find("Content-Type: application/pdf; name=\"quote.pdf\""), std::string::npos);
  EXPECT_NE(got.find("Date: "), std::string::npos);
  EXPECT_NE(got.find("Message-ID: <"), std::string::npos);
  // base64 of the first 12 bytes of the file ("%PDF-1.4\n% a")
  EXPECT_NE(got.find("JVBERi0xLjQKJSBh"), std::string::npos);
}

TEST_F(MailTest, TypedLineBreaksNeverReachTheHeaders) {
  std::string marker = "inject-" + std::to_string(std::rand());
  MailMessage m{"", "", "buyer@agency.example", "Pat\r\nBcc: victim@else.example",
                marker + "\r\nX-Injected: yes", "body", {}};
  ASSERT_TRUE(SendMail(local_server(), m).ok());
  std::string got = delivered_with(marker);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.find("\nBcc:"), std::string::npos);
  EXPECT_EQ(got.find("\nX-Injected:"), std::string::npos);
  EXPECT_NE(got.find("Subject: " + marker + " X-Injected: yes"), std::string::npos);
  // An address with a line break in it is refused before anything is sent.
  m.to_address = "buyer@agency.example\r\nRCPT TO:<victim@else.example>";
  EXPECT_EQ(SendMail(local_server(), m).code(), kMailBadAddress);
}

TEST_F(MailTest, NonAsciiHeadersAreEncodedWords) {
  std::string marker = "enc-" + std::to_string(std::rand());
  MailMessage m{"", "", "buyer@agency.example", "Jos\xc3\xa9 M\xc3\xbcller", "Cr\xc3\xa8me",
                "caf\xc3\xa9 " + marker, {}};
  ASSERT_TRUE(SendMail(local_server(), m).ok());
  std::string got = delivered_with(marker);
  ASSERT_FALSE(got.empty());
  EXPECT_NE(got.find("To: =?UTF-8?B?Sm9zw6kgTcO8bGxlcg==?= <buyer@agency.example>"), std::string::npos);
  EXPECT_NE(got.find("Subject: =?UTF-8?B?Q3LDqG1l?="), std::string::npos);
  EXPECT_NE(got.find("caf=C3=A9"), std::string::npos);
}

TEST(Mail, FailuresAreReportedNotClaimedAsSent) {
  MailMessage m{"", "", "buyer@agency.example", "", "s", "b", {}};
  SmtpConfig none;
  none.from_address = "reports@broker.example";
  EXPECT_EQ(SendMail(none, m).code(), kMailNotConfigured);

  SmtpConfig closed = none;
  closed.server = "127.0.0.1";
  closed.port = 1;  // nothing listens there
  closed.timeout_seconds = 5;
  Status s = SendMail(closed, m);
  EXPECT_EQ(s.code(), kMailRefused);
  EXPECT_NE(s.text().find("not sent"), std::string::npos);

  m.attachments.push_back({"missing.pdf", "", ""});
  closed.server = "127.0.0.1";
  EXPECT_EQ(SendMail(closed, m).code(), kMailAttachment);
  EXPECT_EQ(SendMail(closed, {"", "", "not an address", "", "", "", {}}).code(), kMailBadAddress);
}

}  // namespace
}  // namespace tdx::platform
