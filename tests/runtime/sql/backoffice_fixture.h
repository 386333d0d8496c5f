// Test helper: back-office databases for the SQL layer and the transfer tests.
//
// Each call generates the back office with tools/backoffice/generate.py (test scale, fixed seed)
// and makes it reachable by an ODBC connection string:
//   - SQLite: the generator writes a database file in the test's scratch folder;
//   - PostgreSQL: the generator writes SQL text that is loaded through the SQL layer into a
//     schema of its own (one per process and layout, so parallel test processes never meet);
//     the connection string selects the schema with psqlODBC's ConnSettings.
// The PostgreSQL server comes from TDX_PG_PORT, TDX_PG_USER, TDX_PG_PASSWORD and TDX_PG_DB
// (tools/services.sh); without them pg_base() is empty and PostgreSQL tests skip.
// ODBC uses a private odbcinst.ini (ODBCSYSINI) that turns psqlODBC's CommLog off.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/sql/connection.h"

namespace tdx::sqltest {

inline std::string workdir() {
  const char* w = std::getenv("TDX_TEST_WORKDIR");
  return w != nullptr ? w : ".";
}

// Must run before the first ODBC call of the process.
inline void use_private_odbcinst() {
  static bool done = false;
  if (done) return;
  done = true;
  std::string dir = workdir() + "/odbcsys";
  std::system(("mkdir -p '" + dir + "'").c_str());
  std::ofstream f(dir + "/odbcinst.ini");
  f << "[SQLite3]\nDriver=libsqlite3odbc.so\nSetup=libsqlite3odbc.so\n\n"
       "[PostgreSQL Unicode]\nDriver=psqlodbcw.so\nDebug=0\nCommLog=0\n\n"
       "[PostgreSQL ANSI]\nDriver=psqlodbca.so\nDebug=0\nCommLog=0\n";
  f.close();
  setenv("ODBCSYSINI", dir.c_str(), 1);
}

// The PostgreSQL server's connection string, or "" when the environment names none.
inline std::string pg_base() {
  const char* port = std::getenv("TDX_PG_PORT");
  const char* user = std::getenv("TDX_PG_USER");
  const char* pw = std::getenv("TDX_PG_PASSWORD");
  const char* db = std::getenv("TDX_PG_DB");
  if (!port || !user || !pw || !db || !*port || !*user || !*db) return "";
  return std::string("DRIVER=PostgreSQL Unicode;Server=127.0.0.1;Port=") + port +
         ";Database=" + db + ";Uid=" + user + ";Pwd={" + pw + "}";
}

inline std::string generator() {
  return std::string("/usr/bin/python3 '") + TDX_SOURCE_DIR + "/tools/backoffice/generate.py'";
}

// Generates the back office in the given Items layout ("current" or "older") and returns the
// connection string; on failure an empty string and *error says why.
inline std::string make_backoffice(bool postgres, const std::string& layout, std::string* error) {
  use_private_odbcinst();
  std::string tag = std::to_string(getpid()) + "_" + layout;
  if (!postgres) {
    std::string file = workdir() + "/bo_" + tag + ".db";
    std::string cmd = generator() + " --sqlite '" + file + "' --items-layout " + layout +
                      " 2>/dev/null";
    if (std::system(cmd.c_str()) != 0) {
      *error = "generator failed: " + cmd;
      return "";
    }
    return "DRIVER=SQLite3;Database=" + file;
  }
  std::string base = pg_base();
  std::string sql = workdir() + "/bo_" + tag + ".sql";
  std::string cmd = generator() + " --sql '" + sql + "' --dialect postgresql --items-layout " +
                    layout + " 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) {
    *error = "generator failed: " + cmd;
    return "";
  }
  std::string schema = "tdx_bo_" + tag;
  {
    auto admin = sql::SqlConnection::Connect(base);
    if (!admin.ok()) {
      *error = admin.status().ToString();
      return "";
    }
    Status s = (*admin)->Execute("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
    if (s.ok()) s = (*admin)->Execute("CREATE SCHEMA " + schema);
    if (!s.ok()) {
      *error = s.ToString();
      return "";
    }
  }
  std::string conn = base + ";ConnSettings={SET search_path TO " + schema + "}";
  auto c = sql::SqlConnection::Connect(conn);
  if (!c.ok()) {
    *error = c.status().ToString();
    return "";
  }
  std::ifstream in(sql);
  std::string line;
  Status s = (*c)->Begin();
  while (s.ok() && std::getline(in, line)) {
    while (!line.empty() && (line.back() == ';' || line.back() == '\r')) line.pop_back();
    if (!line.empty()) s = (*c)->Execute(line);
  }
  if (s.ok()) {
    s = (*c)->Commit();
  } else {
    (void)(*c)->Rollback();
  }
  if (!s.ok()) {
    *error = "loading " + sql + ": " + s.ToString();
    return "";
  }
  return conn;
}

// Drops what make_backoffice made on the server (files stay in the scratch folder).
inline void drop_backoffice(bool postgres, const std::string& layout) {
  if (!postgres) return;
  auto admin = sql::SqlConnection::Connect(pg_base());
  if (!admin.ok()) return;
  std::string schema = "tdx_bo_" + std::to_string(getpid()) + "_" + layout;
  (void)(*admin)->Execute("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
}

}  // namespace tdx::sqltest
