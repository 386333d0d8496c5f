// SmtpServer: a real SMTP server for tests that send mail, and the messages it stored.
//
// Under tools/test.sh the shared server is used (TDX_SMTP_PORT, TDX_SMTP_MAILDIR). Run alone, a
// test starts its own aiosmtpd (Debian's python3-aiosmtpd) on a port of its own, storing mail in
// ./maildir, and stops it when the object goes. Messages are found by a marker in their text,
// so tests sharing one server never read each other's mail.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace tdx::testing {

class SmtpServer {
 public:
  SmtpServer() {
    const char* port = std::getenv("TDX_SMTP_PORT");
    const char* dir = std::getenv("TDX_SMTP_MAILDIR");
    if (port && dir) {
      port_ = std::atoi(port);
      maildir_ = dir;
      return;
    }
    port_ = 30000 + getpid() % 20000;
    maildir_ = std::filesystem::absolute("maildir").string();
    std::filesystem::remove_all(maildir_);
    pid_ = fork();
    if (pid_ == 0) {
      std::string listen = "127.0.0.1:" + std::to_string(port_);
      execl("/usr/bin/python3", "python3", "-m", "aiosmtpd", "-n", "-l", listen.c_str(), "-c",
            "aiosmtpd.handlers.Mailbox", maildir_.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 100 && !accepting(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  ~SmtpServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  SmtpServer(const SmtpServer&) = delete;
  SmtpServer& operator=(const SmtpServer&) = delete;

  int port() const { return port_; }

  // The path of the stored message whose text holds `marker`, waiting up to 5 s for it;
  // "" when none arrived.
  std::string message_with(const std::string& marker) const {
    for (int i = 0; i < 50; ++i) {
      for (const char* sub : {"new", "cur"}) {
        std::error_code ec;
        for (std::filesystem::directory_iterator it(std::filesystem::path(maildir_) / sub, ec), end;
             !ec && it != end; it.increment(ec)) {
          if (read_file(it->path()).find(marker) != std::string::npos) return it->path().string();
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
  }

  // Writes the first application/pdf part of a stored message to `pdf_path` (decoded by
  // Python's own e-mail parser, not ours); true when one was there.
  static bool save_pdf_attachment(const std::string& message_path, const std::string& pdf_path) {
    std::string cmd =
        "/usr/bin/python3 -c \"import email,sys; m=email.message_from_binary_file(open(sys.argv[1],"
        "'rb')); [open(sys.argv[2],'wb').write(p.get_payload(decode=True)) for p in m.walk() if "
        "p.get_content_type()=='application/pdf']\" '" +
        message_path + "' '" + pdf_path + "'";
    std::filesystem::remove(pdf_path);
    return std::system(cmd.c_str()) == 0 && std::filesystem::exists(pdf_path);
  }

  static std::string read_file(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

 private:
  bool accepting() const {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port_));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
  }

  pid_t pid_ = -1;
  int port_ = 0;
  std::string maildir_;
};

}  // namespace tdx::testing
