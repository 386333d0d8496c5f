#include "runtime/settings/settings.h"

// SimpleIni as a header-only reader of raw bytes: no character conversion (values are
// Windows-1252 and pass through untouched), no link to the ICU-based library build.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

#include "runtime/base/value.h"
#include "runtime/path/path.h"

namespace tdx {
namespace {

std::mutex& settings_mutex() {
  static std::mutex mu;
  return mu;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Names compare like SimpleIni compares them: ASCII letters without regard to case.
bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

struct Line {
  std::string text;  // without its line end
  std::string eol;   // "\r\n", "\n" or "" (last line without one)
};

std::vector<Line> split_lines(const std::string& data) {
  std::vector<Line> lines;
  size_t i = 0;
  while (i < data.size()) {
    size_t nl = data.find('\n', i);
    Line l;
    if (nl == std::string::npos) {
      l.text = data.substr(i);
      i = data.size();
    } else {
      l.text = data.substr(i, nl - i);
      l.eol = "\n";
      if (!l.text.empty() && l.text.back() == '\r') {
        l.text.pop_back();
        l.eol = "\r\n";
      }
      i = nl + 1;
    }
    lines.push_back(std::move(l));
  }
  return lines;
}

// A section header's name, when the line is one.
bool section_name(const std::string& line, std::string_view* name) {
  std::string_view t = trim(line);
  if (t.empty() || t.front() != '[') return false;
  size_t close = t.find(']');
  if (close == std::string_view::npos) return false;
  *name = trim(t.substr(1, close - 1));
  return true;
}

bool is_comment_or_blank(const std::string& line) {
  std::string_view t = trim(line);
  return t.empty() || t.front() == ';' || t.front() == '#';
}

// The key of a "key=value" line, and where its value starts.
bool key_line(const std::string& line, std::string_view* key, size_t* value_at) {
  if (is_comment_or_blank(line)) return false;
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  *key = trim(std::string_view(line).substr(0, eq));
  if (key->empty()) return false;
  size_t v = eq + 1;
  while (v < line.size() && (line[v] == ' ' || line[v] == '\t')) ++v;
  *value_at = v;
  return true;
}

bool has_break(std::string_view s) {
  return s.find('\n') != std::string_view::npos || s.find('\r') != std::string_view::npos ||
         s.find('\0') != std::string_view::npos;
}

bool read_file(const std::string& path, std::string* out, bool* missing) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *missing = (errno == ENOENT);
    return false;
  }
  std::ostringstream ss;
  ss << in.rdbuf();
  *out = ss.str();
  return true;
}

Status write_whole_file(const std::string& path, const std::string& data) {
  std::string tmp = path + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) {
      return Status(kSettingsWrite,
                    "Cannot write settings file " + path + ": " + std::strerror(errno));
    }
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.flush();
    if (!out) {
      std::remove(tmp.c_str());
      return Status(kSettingsWrite, "Cannot write settings file " + path);
    }
  }
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) ::chmod(tmp.c_str(), st.st_mode & 07777);
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    std::remove(tmp.c_str());
    return Status(kSettingsWrite,
                  "Cannot replace settings file " + path + ": " + std::strerror(err));
  }
  return Status::Ok();
}

}  // namespace

std::string get_ini(std::string_view section, std::string_view key, std::string_view deflt,
                    std::string_view file) {
  Result<std::string> path = map_path(file);
  if (!path.ok()) return std::string(deflt);
  std::lock_guard<std::mutex> lock(settings_mutex());
  std::string data;
  bool missing = false;
  if (!read_file(*path, &data, &missing)) return std::string(deflt);
  CSimpleIniA ini;
  ini.SetUnicode(false);
  ini.SetMultiKey(true);  // a key written twice: the first one counts
  if (ini.LoadData(data) < 0) return std::string(deflt);
  std::string s(trim(section)), k(trim(key)), d(deflt);
  const char* v = ini.GetValue(s.c_str(), k.c_str(), nullptr);
  return v ? std::string(v) : d;
}

Status put_ini(std::string_view section, std::string_view key, std::string_view value,
               std::string_view file) {
  std::string_view sec = trim(section), k = trim(key);
  if (sec.empty() || k.empty() || has_break(sec) || has_break(k) || has_break(value) ||
      sec.find(']') != std::string_view::npos || k.find('=') != std::string_view::npos ||
      k.front() == '[' || k.front() == ';' || k.front() == '#') {
    return Status(kBadSetting,
                  "Setting cannot be written: [" + std::string(section) + "] " + std::string(key));
  }
  Result<std::string> path = map_path(file);
  if (!path.ok()) return path.status();
  std::lock_guard<std::mutex> lock(settings_mutex());

  std::string data;
  bool missing = false;
  if (!read_file(*path, &data, &missing) && !missing) {
    return Status(kSettingsWrite, "Cannot read settings file " + *path);
  }
  std::vector<Line> lines = split_lines(data);
  std::string eol = data.find("\r\n") != std::string::npos ? "\r\n" : "\n";

  // Find the key in any section of that name (the reader merges them), and the end of the
  // first such section's entries: its last line that is neither blank nor a comment, so a
  // comment that introduces the next section stays with it.
  bool in_section = false, found = false;
  int sections_seen = 0;
  long insert_after = -1;  // index of the line a new key follows
  for (size_t i = 0; i < lines.size() && !found; ++i) {
    std::string_view name;
    if (section_name(lines[i].text, &name)) {
      in_section = same_name(name, sec);
      if (in_section && ++sections_seen == 1) insert_after = static_cast<long>(i);
      continue;
    }
    if (!in_section) continue;
    std::string_view lk;
    size_t value_at = 0;
    if (key_line(lines[i].text, &lk, &value_at) && same_name(lk, k)) {
      lines[i].text = lines[i].text.substr(0, value_at) + std::string(value);
      found = true;
    } else if (sections_seen == 1 && !is_comment_or_blank(lines[i].text)) {
      insert_after = static_cast<long>(i);
    }
  }
  if (!found) {
    Line entry{std::string(k) + "=" + std::string(value), eol};
    if (insert_after >= 0) {
      Line& prev = lines[static_cast<size_t>(insert_after)];
      if (prev.eol.empty()) prev.eol = eol;
      lines.insert(lines.begin() + insert_after + 1, entry);
    } else {
      if (!lines.empty() && lines.back().eol.empty()) lines.back().eol = eol;
      lines.push_back(Line{"[" + std::string(sec) + "]", eol});
      lines.push_back(entry);
    }
  }
  std::string out;
  out.reserve(data.size() + k.size() + value.size() + 8);
  for (const Line& l : lines) out += l.text + l.eol;
  return write_whole_file(*path, out);
}

Decimal get_ini_decimal(std::string_view section, std::string_view key, const Decimal& deflt,
                        std::string_view file) {
  return text_to_number(get_ini(section, key, deflt.ToString(), file));
}

Status put_ini_decimal(std::string_view section, std::string_view key, const Decimal& value,
                       std::string_view file) {
  return put_ini(section, key, value.Normalized().ToString(), file);
}

}  // namespace tdx
