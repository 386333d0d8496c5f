#include "core/host/run.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "core/frame.h"
#include "core/globals.h"
#include "core/host/desktop_loader.h"
#include "core/host/exports.h"
#include "core/host/host_frontend.h"
#include "core/start.h"
#include "runtime/datetime/datetime.h"
#include "runtime/path/path.h"
#include "runtime/text/str.h"

namespace fs = std::filesystem;

namespace tdx::host {
namespace {

constexpr const char* kLibraryName = "libtdxreports.so";

std::string ProgramDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

bool IsNumber(std::string_view t) {
  t = clip(t);
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) t.remove_prefix(1);
  bool digit = false, dot = false;
  for (char c : t) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !dot) {
      dot = true;
    } else {
      return false;
    }
  }
  return digit;
}

bool IsDateGlobal(const std::string& name) {
  std::string u = upper(name);
  return u.rfind("BEGINDATE", 0) == 0 || u.rfind("ENDDATE", 0) == 0;
}

// "2024-03-15" or "3/15/2024" as a day number; nullopt for anything else.
std::optional<int32_t> ParseDate(const std::string& v) {
  if (auto d = parse_iso_date(v)) return d;
  int m = 0, d = 0, y = 0;
  char extra = 0;
  if (std::sscanf(v.c_str(), "%d/%d/%d%c", &m, &d, &y, &extra) == 3 && m >= 1 && m <= 12 &&
      y >= 1801 && d >= 1 && d <= days_in_month(y, m))
    return make_date(m, d, y);
  return std::nullopt;
}

}  // namespace

std::string FindReportsLibrary(const std::string& given) {
  if (!given.empty()) return given;
  if (const char* env = std::getenv("TDX_REPORTS_LIB"); env && *env) return env;
  std::vector<fs::path> places;
  std::string dir = ProgramDir();
  if (!dir.empty()) {
    places.push_back(fs::path(dir) / kLibraryName);
    places.push_back(fs::path(dir) / ".." / "lib" / kLibraryName);
  }
#ifdef TDX_REPORTS_BUILD_DIR
  places.push_back(fs::path(TDX_REPORTS_BUILD_DIR) / kLibraryName);
#endif
  for (const fs::path& p : places) {
    std::error_code ec;
    if (fs::is_regular_file(p, ec)) return p.string();
  }
  return kLibraryName;
}

std::string SetGlobal(const std::string& assignment) {
  size_t eq = assignment.find('=');
  if (eq == std::string::npos || eq == 0) return "--set needs NAME=VALUE, not \"" + assignment + "\"";
  std::string name = assignment.substr(0, eq);
  std::string value = assignment.substr(eq + 1);
  VarRef ref = core::find_global(name);
  if (!ref.valid()) return "no global " + name + " (see tendix run --help for the names)";
  Value v(value);
  if (ref.type != FieldType::String && ref.type != FieldType::CString) {
    if (IsDateGlobal(name) && !IsNumber(value)) {
      auto day = ParseDate(value);
      if (!day) return name + " takes a date (yyyy-mm-dd or mm/dd/yyyy) or a day number";
      v = Value(static_cast<long>(*day));
    } else if (!IsNumber(value)) {
      return name + " takes a number, not \"" + value + "\"";
    }
  }
  if (!ref.fits(v))
    return "\"" + value + "\" does not fit " + name + " (" + field_type_name(ref.type) +
           (ref.type == FieldType::String ? "(" + std::to_string(ref.size) + ")" : "") + ")";
  Status s = ref.set(v);
  return s.ok() ? "" : name + ": " + s.text();
}

int Run(const RunOptions& given) {
  // Names given on the command line are relative to where tendix was started, not to the data
  // folder it moves to.
  RunOptions opt = given;
  {
    std::error_code ec;
    if (!opt.script.empty()) opt.script = fs::absolute(opt.script, ec).string();
    if (!opt.out_dir.empty()) opt.out_dir = fs::absolute(opt.out_dir, ec).string();
    if (opt.library.find('/') != std::string::npos)
      opt.library = fs::absolute(opt.library, ec).string();
  }
  if (!opt.data_dir.empty()) {
    std::error_code ec;
    if (!fs::is_directory(opt.data_dir, ec)) {
      std::cerr << "tendix: no data folder " << opt.data_dir << "\n";
      return 2;
    }
    Status s = change_dir(opt.data_dir);
    if (!s.ok()) {
      std::cerr << "tendix: cannot work in " << opt.data_dir << ": " << s.text() << "\n";
      return 2;
    }
  }
  if (!opt.out_dir.empty()) {
    std::error_code ec;
    fs::create_directories(opt.out_dir, ec);
    fs::path abs = fs::absolute(opt.out_dir, ec);
    if (!fs::is_directory(abs, ec)) {
      std::cerr << "tendix: cannot make the output folder " << opt.out_dir << "\n";
      return 2;
    }
    core::SetOutputFolder(abs.lexically_normal().string());
    // For the outside pieces that do not link the main module (previewer, printer stand-ins).
    ::setenv("TDX_OUT_DIR", core::OutputFolder().c_str(), 1);
  }
  core::Start();
  for (const std::string& a : opt.sets) {
    std::string err = SetGlobal(a);
    if (!err.empty()) {
      std::cerr << "tendix: " << err << "\n";
      return 2;
    }
  }

  std::string lib = FindReportsLibrary(opt.library);
  void* handle = ::dlopen(lib.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (!handle) {
    std::cerr << "tendix: cannot load the report module " << lib << ": " << ::dlerror() << "\n";
    return 2;
  }
  std::string loaded = lib;
  if (link_map* lm = nullptr; ::dlinfo(handle, RTLD_DI_LINKMAP, &lm) == 0 && lm && lm->l_name &&
                              *lm->l_name)
    loaded = lm->l_name;
  Result<std::vector<std::string>> exports = ListExports(loaded);
  if (!exports.ok()) {
    std::cerr << "tendix: " << exports.status().text() << "\n";
    return 2;
  }
  std::string want = upper(opt.export_name);
  bool known = false;
  for (const std::string& e : *exports) known = known || e == want;
  void* sym = known ? ::dlsym(handle, want.c_str()) : nullptr;
  if (!sym) {
    std::cerr << "tendix: the report module " << loaded << " has no export " << opt.export_name
              << ".\nIts exports:";
    for (const std::string& e : *exports) std::cerr << " " << e;
    std::cerr << (exports->empty() ? " none\n" : "\n");
    return 2;
  }
  auto procedure = reinterpret_cast<void (*)()>(sym);

  bool interactive = opt.script.empty();
  HostFrontend fe(interactive, ::isatty(STDERR_FILENO) == 1);
  if (!interactive) {
    Status s = fe.load_script(opt.script);
    if (!s.ok()) {
      std::cerr << "tendix: " << s.text() << "\n";
      return 2;
    }
  }
  // A person at a display gets real windows; without one (or when the desktop frontend cannot
  // start) the terminal answers.
  DesktopFrontendPtr desktop;
  if (interactive && ChooseFrontend() == FrontendKind::Desktop) {
    auto loaded = LoadDesktopFrontend();
    if (loaded.ok()) {
      desktop = std::move(*loaded);
    } else {
      std::cerr << "tendix: " << loaded.status().text() << "; using the terminal\n";
    }
  }
  {
    ui::ScopedFrontend scope(desktop ? desktop.get() : static_cast<ui::Frontend*>(&fe));
    Status s = core::OpenMainFrame();
    if (!s.ok()) {
      std::cerr << "tendix: " << s.text() << "\n";
      return 1;
    }
    procedure();
    core::CloseMainFrame();
  }
  Status done = desktop ? FinishDesktop(desktop) : fe.finish();
  if (!done.ok()) {
    std::cerr << "tendix: the run failed: " << done.text() << "\n";
    return 1;
  }
  // The module stays loaded: its code may still be on the stack of static destructors.
  return 0;
}

}  // namespace tdx::host
