#include "core/host/desktop_loader.h"

#include <dlfcn.h>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace tdx::host {
namespace {

constexpr const char* kDesktopLibrary = "libtdxdesktop.so";

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

bool ConnectUnix(const std::string& path, bool abstract) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  size_t offset = abstract ? 1 : 0;
  if (path.size() + offset >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path + offset, path.data(), path.size());
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  socklen_t len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
  bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0;
  ::close(fd);
  return ok;
}

bool ConnectTcp(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &res) != 0) return false;
  bool ok = false;
  for (addrinfo* a = res; a && !ok; a = a->ai_next) {
    int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    ok = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0;
    ::close(fd);
  }
  ::freeaddrinfo(res);
  return ok;
}

// DISPLAY is [host]:number[.screen]; an empty host (or "unix") is the local socket.
bool X11Reachable(const std::string& display) {
  size_t colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  std::string host = display.substr(0, colon);
  std::string rest = display.substr(colon + 1);
  size_t dot = rest.find('.');
  std::string number = rest.substr(0, dot);
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
  if (host.empty() || host == "unix") {
    std::string path = "/tmp/.X11-unix/X" + number;
    return ConnectUnix(path, false) || ConnectUnix(path, true);
  }
  return ConnectTcp(host, 6000 + std::atoi(number.c_str()));
}

bool WaylandReachable(const std::string& display) {
  if (display.empty()) return false;
  if (display.front() == '/') return ConnectUnix(display, false);
  std::string dir = Env("XDG_RUNTIME_DIR");
  return !dir.empty() && ConnectUnix(dir + "/" + display, false);
}

std::string ProgramDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

std::string FindDesktopLibrary() {
  if (std::string env = Env("TDX_DESKTOP_LIB"); !env.empty()) return env;
  std::vector<fs::path> places;
  if (std::string dir = ProgramDir(); !dir.empty()) {
    places.push_back(fs::path(dir) / kDesktopLibrary);
    places.push_back(fs::path(dir) / ".." / "lib" / kDesktopLibrary);
  }
#ifdef TDX_DESKTOP_BUILD_DIR
  places.push_back(fs::path(TDX_DESKTOP_BUILD_DIR) / kDesktopLibrary);
#endif
  for (const fs::path& p : places) {
    std::error_code ec;
    if (fs::is_regular_file(p, ec)) return p.string();
  }
  return kDesktopLibrary;
}

}  // namespace

bool DisplayReachable() {
  if (WaylandReachable(Env("WAYLAND_DISPLAY"))) return true;
  std::string x = Env("DISPLAY");
  return !x.empty() && X11Reachable(x);
}

bool StdinCarriesActions() {
  struct stat st {};
  return ::fstat(STDIN_FILENO, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISREG(st.st_mode));
}

FrontendKind ChooseFrontend() {
  std::string want = Env("TDX_FRONTEND");
  if (want == "terminal") return FrontendKind::Terminal;
  if (want == "desktop") return FrontendKind::Desktop;
  if (StdinCarriesActions()) return FrontendKind::Terminal;
  return DisplayReachable() ? FrontendKind::Desktop : FrontendKind::Terminal;
}

Result<DesktopFrontendPtr> LoadDesktopFrontend() {
  std::string lib = FindDesktopLibrary();
  void* handle = ::dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return Status(1, std::string("cannot load ") + lib + ": " + ::dlerror());
  using Create = ui::Frontend* (*)(char* why, int why_size);
  using Destroy = void (*)(ui::Frontend*);
  auto create = reinterpret_cast<Create>(::dlsym(handle, "tdx_desktop_frontend_create"));
  auto destroy = reinterpret_cast<Destroy>(::dlsym(handle, "tdx_desktop_frontend_destroy"));
  using Finish = int (*)(ui::Frontend*, char*, int);
  auto finish = reinterpret_cast<Finish>(::dlsym(handle, "tdx_desktop_frontend_finish"));
  if (!create || !destroy || !finish) return Status(1, lib + " is not the desktop frontend");
  char why[512] = {};
  ui::Frontend* fe = create(why, sizeof why);
  if (!fe) return Status(1, std::string("the desktop frontend did not start: ") + why);
  return DesktopFrontendPtr(fe, DesktopDeleter{destroy, finish});
}

Status FinishDesktop(const DesktopFrontendPtr& fe) {
  if (!fe) return Status::Ok();
  char why[512] = {};
  if (fe.get_deleter().finish && fe.get_deleter().finish(fe.get(), why, sizeof why) != 0)
    return Status(1, why);
  return fe->status().ok() ? Status::Ok() : fe->status();
}

}  // namespace tdx::host
