#include "runtime/path/path.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "runtime/settings/settings.h"
#include "runtime/text/cp1252.h"
#include "runtime/text/str.h"

namespace tdx {
namespace {

std::mutex& drive_mutex() {
  static std::mutex mu;
  return mu;
}
std::map<char, std::string>& drive_overrides() {
  static std::map<char, std::string> m;
  return m;
}

char upper_letter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_sep(char c) { return c == '\\' || c == '/'; }

bool exists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}
bool is_dir(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string join(const std::string& base, const std::string& comp) {
  if (base.empty() || base == ".") return comp;
  if (base.back() == '/') return base + comp;
  return base + "/" + comp;
}

// The case-insensitive key of a UTF-8 name: its Windows-1252 form upper-cased.
std::string fold(const std::string& utf8) { return upper(utf8_to_cp1252(utf8)); }

// The spelling on disk of `comp` inside folder `base`, or "" when nothing matches.
std::string match_in(const std::string& base, const std::string& comp) {
  if (exists(join(base, comp))) return comp;
  DIR* d = ::opendir(base.empty() ? "." : base.c_str());
  if (!d) return std::string();
  std::string want = fold(comp);
  std::vector<std::string> hits;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    if (fold(n) == want) hits.push_back(n);
  }
  ::closedir(d);
  if (hits.empty()) return std::string();
  return *std::min_element(hits.begin(), hits.end());
}

}  // namespace

void set_drive_root(char letter, std::string folder) {
  std::lock_guard<std::mutex> lock(drive_mutex());
  if (folder.empty()) {
    drive_overrides().erase(upper_letter(letter));
  } else {
    drive_overrides()[upper_letter(letter)] = std::move(folder);
  }
}

Result<std::string> drive_root(char letter) {
  char l = upper_letter(letter);
  {
    std::lock_guard<std::mutex> lock(drive_mutex());
    auto it = drive_overrides().find(l);
    if (it != drive_overrides().end()) return it->second;
  }
  // A relative settings file name without a drive: no recursion into the drive map.
  std::string folder =
      std::string(clip(get_ini(kDriveMapSection, std::string(1, l), "", kDriveMapFile)));
  while (folder.size() > 1 && is_sep(folder.back())) folder.pop_back();
  if (folder.empty()) {
    return Status(kUnmappedDrive, std::string("Drive ") + l + ": is not mapped (section [" +
                                      kDriveMapSection + "] of " + kDriveMapFile + ")");
  }
  for (char& c : folder) {
    if (c == '\\') c = '/';
  }
  return cp1252_to_utf8(folder);
}

Result<std::string> map_path(std::string_view name) {
  std::string_view n = name;
  while (!n.empty() && (n.front() == ' ' || n.front() == '\0')) n.remove_prefix(1);
  while (!n.empty() && (n.back() == ' ' || n.back() == '\0')) n.remove_suffix(1);
  if (n.empty()) return Status(kBadName, "Empty file name");

  std::string base;  // "" = working directory
  std::string_view rest = n;
  if (n.size() >= 2 && is_letter(n[0]) && n[1] == ':') {
    Result<std::string> root = drive_root(n[0]);
    if (!root.ok()) return root.status();
    base = *root;
    rest = n.substr(2);
  } else if (n.size() >= 2 && is_sep(n[0]) && is_sep(n[1])) {
    return Status(kBadName, "Network names are not supported: " + cp1252_to_utf8(n));
  } else if (is_sep(n[0])) {
    base = "/";
  }

  // Split the rest into components (Windows-1252 -> UTF-8 each).
  std::vector<std::string> comps;
  size_t i = 0;
  while (i < rest.size()) {
    size_t j = i;
    while (j < rest.size() && !is_sep(rest[j])) ++j;
    std::string_view c = rest.substr(i, j - i);
    if (!c.empty() && c != ".") comps.push_back(cp1252_to_utf8(c));
    i = j + 1;
  }

  std::string out = base;
  bool resolving = true;
  for (const std::string& c : comps) {
    std::string spelled = c;
    if (resolving && c != "..") {
      std::string m = match_in(out, c);
      if (m.empty()) {
        resolving = false;  // nothing below a missing folder exists either
      } else {
        spelled = m;
      }
    }
    out = join(out, spelled);
  }
  if (out.empty()) out = ".";
  return out;
}

std::string temp_dir() {
  const char* t = std::getenv("TMPDIR");
  if (t && *t) {
    std::string s = t;
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    if (is_dir(s)) return s;
  }
  return "/tmp";
}

std::string current_dir_short() {
  char* p = ::realpath(".", nullptr);
  if (!p) return std::string();
  std::string s = p;
  std::free(p);
  return s;
}

Status change_dir(std::string_view name) {
  Result<std::string> p = map_path(name);
  if (!p.ok()) return p.status();
  if (::chdir(p->c_str()) != 0) {
    return Status(kBadName, "Cannot change to folder " + *p + ": " + std::strerror(errno));
  }
  return Status::Ok();
}

PathParts split_path(std::string_view name) {
  PathParts p;
  if (name.size() >= 2 && name[1] == ':') {
    p.drive = std::string(name.substr(0, 2));
    name.remove_prefix(2);
  }
  size_t last_sep = std::string_view::npos;
  for (size_t i = 0; i < name.size(); ++i) {
    if (is_sep(name[i])) last_sep = i;
  }
  if (last_sep != std::string_view::npos) {
    p.folder = std::string(name.substr(0, last_sep + 1));
    name.remove_prefix(last_sep + 1);
  }
  size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) {
    p.ext = std::string(name.substr(dot));
    name = name.substr(0, dot);
  }
  p.name = std::string(name);
  return p;
}

std::string join_path(const PathParts& parts) {
  return parts.drive + parts.folder + parts.name + parts.ext;
}

}  // namespace tdx
