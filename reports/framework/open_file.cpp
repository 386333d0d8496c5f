#include "reports/framework/open_file.h"

#include "reports/framework/standard_messages.h"
#include "runtime/path/path.h"
#include "runtime/store/errors.h"

namespace tdx::reports {
namespace {

// Shows a fatal message, ends the application and hands the error back for a halt that returns.
Status fatal(int message, const std::string& name, const char* halt_text, Status error) {
  standard_message(message, name);
  halt(halt_text);
  return error;
}

}  // namespace

std::string full_file_name(const store::KeyedFile& file) {
  const std::string& n = file.name();
  if (!n.empty() && n[0] == '/') return n;
  std::string dir = current_dir_short();
  std::string rel = n.rfind("./", 0) == 0 ? n.substr(2) : n;
  return dir.empty() ? n : dir + "/" + rel;
}

Status open_file(store::KeyedFile& file, store::OpenMode mode) {
  Status s = file.open(mode);
  if (s.code() == store::kFileLocked) {
    (void)file.send(kRecoverOption);
    s = file.open(mode);
  }
  if (s.ok()) return s;
  const std::string name = full_file_name(file);
  switch (s.code()) {
    case store::kFileNotFound: {
      Status c = file.create();
      if (!c.ok()) return fatal(4, name, kHaltFileCreation, c);
      s = file.open(mode);
      if (!s.ok()) return fatal(5, name, kHaltFileCreation, s);
      break;
    }
    case store::kInvalidKeyFile: {
      if (standard_message(2, name) != ui::button::kYes) {
        halt(kHaltInvalidKey);
        return s;
      }
      Status b = file.build_keys();
      if (!b.ok()) return fatal(3, name, kHaltRebuildKey, b);
      s = file.open(mode);
      break;
    }
    case store::kInvalidFile:
      return fatal(1, name, kHaltInvalidFile, s);
    default:
      break;
  }
  if (s.ok()) return s;
  return fatal(30, name, kHaltDiskError, s);
}

}  // namespace tdx::reports
