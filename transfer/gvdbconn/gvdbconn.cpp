#include "transfer/gvdbconn/gvdbconn.h"

// The file is read as bytes: the connection string is ASCII or UTF-8 and goes to ODBC as it is.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

constexpr const char* kSettingsFile = "GVDBCONN.INI";
constexpr const char* kSection = "Granvel";
constexpr const char* kKey = "ConnectionString";
constexpr const char* kVersion = "GVDBCONN 1.0";

void fill(char* dst, uint32_t cap, std::string_view value) {
  if (dst == nullptr) return;
  size_t n = value.size() < cap ? value.size() : cap;
  std::memcpy(dst, value.data(), n);
  std::memset(dst + n, ' ', cap - n);
}

// The value of `key` in an ODBC connection string (keys without regard to case; a value in
// braces may hold semicolons), or "".
std::string attribute(std::string_view conn, std::string_view key) {
  size_t i = 0;
  while (i < conn.size()) {
    size_t eq = conn.find('=', i);
    if (eq == std::string_view::npos) break;
    std::string_view k = conn.substr(i, eq - i);
    while (!k.empty() && k.front() == ' ') k.remove_prefix(1);
    while (!k.empty() && k.back() == ' ') k.remove_suffix(1);
    size_t v = eq + 1, end;
    std::string value;
    if (v < conn.size() && conn[v] == '{') {
      end = conn.find('}', v + 1);
      if (end == std::string_view::npos) end = conn.size();
      value = std::string(conn.substr(v + 1, end - v - 1));
      end = conn.find(';', end);
    } else {
      end = conn.find(';', v);
      value = std::string(conn.substr(v, end == std::string_view::npos ? end : end - v));
    }
    bool same = k.size() == key.size();
    for (size_t j = 0; same && j < k.size(); ++j) {
      same = std::toupper(static_cast<unsigned char>(k[j])) ==
             std::toupper(static_cast<unsigned char>(key[j]));
    }
    if (same) return value;
    if (end == std::string_view::npos) break;
    i = end + 1;
  }
  return {};
}

std::string sqlite_connection(const std::string& path) {
  // Braces keep a path with a semicolon in it one value.
  if (path.find_first_of(";{}") != std::string::npos) return "DRIVER=SQLite3;Database={" + path + "}";
  return "DRIVER=SQLite3;Database=" + path;
}

// GRANVEL.DB in the working directory, named by its full path when that fits the buffer, else
// relative to the working directory (the program never changes it), so that a deep folder
// never yields a cut, unusable string.
std::string default_connection(uint32_t capacity) {
  std::error_code ec;
  std::string dir = std::filesystem::current_path(ec).string();
  if (!ec) {
    std::string full = sqlite_connection(dir + "/GRANVEL.DB");
    if (full.size() <= capacity) return full;
  }
  return sqlite_connection("./GRANVEL.DB");
}

}  // namespace

extern "C" void InitDBConnect(char* driver, uint32_t driver_cap, char* server, uint32_t server_cap,
                              char* database, uint32_t database_cap, char* connection,
                              uint32_t connection_cap, char* user, uint32_t user_cap,
                              char* settings_file, uint32_t settings_cap, char* version,
                              uint32_t version_cap) {
  std::string conn;
  std::string source;
  CSimpleIniA ini;
  ini.SetUnicode(false);
  if (std::filesystem::exists(kSettingsFile) && ini.LoadFile(kSettingsFile) >= 0 &&
      ini.GetValue(kSection, kKey, nullptr) != nullptr) {
    conn = ini.GetValue(kSection, kKey, "");
    source = kSettingsFile;
  } else {
    conn = default_connection(connection_cap);
  }
  fill(driver, driver_cap, attribute(conn, "DRIVER"));
  fill(server, server_cap, attribute(conn, "Server"));
  fill(database, database_cap, attribute(conn, "Database"));
  fill(connection, connection_cap, conn);
  fill(user, user_cap, attribute(conn, "Uid"));
  fill(settings_file, settings_cap, source);
  fill(version, version_cap, kVersion);
}
