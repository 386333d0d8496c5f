#include "runtime/sql/connection.h"

#include <sql.h>
#include <sqlext.h>

#include <map>

#include "runtime/store/errors.h"
#include "runtime/text/str.h"

namespace tdx::sql {
namespace {

// One ODBC environment for the process, created on first use and kept to the end: the
// driver manager and its drivers are loaded once.
SQLHENV environment(Status* status) {
  static SQLHENV env = [] {
    SQLHENV h = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h))) return SQLHENV{};
    SQLSetEnvAttr(h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    return h;
  }();
  if (env == SQL_NULL_HENV) *status = Status(store::kFileSystemError, "ODBC environment unavailable");
  return env;
}

std::map<std::string, std::weak_ptr<SqlConnection>>& shared_connections() {
  static std::map<std::string, std::weak_ptr<SqlConnection>> m;
  return m;
}

std::string info_text(SQLHDBC dbc, SQLUSMALLINT what) {
  char buf[256] = {};
  SQLSMALLINT len = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(dbc, what, buf, sizeof buf, &len))) return {};
  return std::string(buf);
}

}  // namespace

Status odbc_failure(short handle_type, void* handle, const char* what, SqlDiag* diag) {
  *diag = SqlDiag();
  SQLCHAR state[6] = {};
  SQLINTEGER native = 0;
  SQLCHAR msg[1024] = {};
  SQLSMALLINT len = 0;
  if (handle != nullptr &&
      SQL_SUCCEEDED(SQLGetDiagRec(handle_type, handle, 1, state, &native, msg, sizeof msg, &len))) {
    diag->sqlstate = reinterpret_cast<char*>(state);
    diag->native = native;
    diag->message = reinterpret_cast<char*>(msg);
  } else {
    diag->message = std::string(what) + " failed";
  }
  std::string text = "[" + (diag->sqlstate.empty() ? std::string("HY000") : diag->sqlstate) +
                     "] " + diag->message;
  return Status(store::kFileSystemError, std::move(text));
}

Result<std::shared_ptr<SqlConnection>> SqlConnection::Connect(std::string_view connection_string) {
  std::string conn(clip(connection_string));
  if (conn.empty()) {
    return Status(store::kFileSystemError, "[08001] no connection string");
  }
  Status st;
  SQLHENV env = environment(&st);
  if (!st.ok()) return st;

  std::shared_ptr<SqlConnection> c(new SqlConnection());
  c->conn_str_ = conn;
  SQLHDBC dbc = SQL_NULL_HDBC;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
    return odbc_failure(SQL_HANDLE_ENV, env, "SQLAllocHandle", &c->diag_);
  }
  c->dbc_ = dbc;
  SQLCHAR out[1024];
  SQLSMALLINT out_len = 0;
  SQLRETURN rc = SQLDriverConnect(dbc, nullptr,
                                  reinterpret_cast<SQLCHAR*>(const_cast<char*>(conn.c_str())),
                                  SQL_NTS, out, sizeof out, &out_len, SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) {
    Status s = odbc_failure(SQL_HANDLE_DBC, dbc, "SQLDriverConnect", &c->diag_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    c->dbc_ = nullptr;
    return s;
  }
  c->dbms_ = info_text(dbc, SQL_DBMS_NAME);
  std::string q = info_text(dbc, SQL_IDENTIFIER_QUOTE_CHAR);
  if (q.size() == 1 && q != " ") c->quote_ = q;
  std::string up = upper(c->dbms_);
  if (up.find("SQLITE") != std::string::npos) {
    c->dialect_ = SqlDialect::SQLite;
  } else if (up.find("POSTGRES") != std::string::npos) {
    c->dialect_ = SqlDialect::PostgreSQL;
  }
  return c;
}

Result<std::shared_ptr<SqlConnection>> SqlConnection::Shared(std::string_view connection_string) {
  std::string key(clip(connection_string));
  auto& m = shared_connections();
  auto it = m.find(key);
  if (it != m.end()) {
    if (auto live = it->second.lock()) return live;
  }
  auto c = Connect(key);
  if (!c.ok()) return c.status();
  m[key] = *c;
  return c;
}

SqlConnection::~SqlConnection() {
  if (dbc_ != nullptr) {
    SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  }
}

Result<SqlRows> SqlConnection::Query(std::string_view statement, std::span<const Value> params) {
  SqlStatement stmt(this);
  Status s = stmt.Execute(statement, params);
  if (!s.ok()) {
    diag_ = stmt.diag();
    return s;
  }
  SqlRows rows;
  rows.columns = stmt.column_names();
  while (stmt.Fetch()) {
    std::vector<std::optional<std::string>> row;
    row.reserve(static_cast<size_t>(stmt.column_count()));
    for (int i = 0; i < stmt.column_count(); ++i) row.push_back(stmt.value(i));
    rows.rows.push_back(std::move(row));
  }
  if (!stmt.status().ok()) {
    diag_ = stmt.diag();
    return stmt.status();
  }
  return rows;
}

Status SqlConnection::Execute(std::string_view statement, std::span<const Value> params) {
  SqlStatement stmt(this);
  Status s = stmt.Execute(statement, params);
  if (!s.ok()) diag_ = stmt.diag();
  return s;
}

Status SqlConnection::Begin() {
  SQLRETURN rc = SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT,
                                   reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
  if (!SQL_SUCCEEDED(rc)) return odbc_failure(SQL_HANDLE_DBC, dbc_, "Begin", &diag_);
  return Status();
}

Status SqlConnection::EndTransaction(bool commit) {
  SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_, commit ? SQL_COMMIT : SQL_ROLLBACK);
  Status s;
  if (!SQL_SUCCEEDED(rc)) s = odbc_failure(SQL_HANDLE_DBC, dbc_, "SQLEndTran", &diag_);
  SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  return s;
}

Status SqlConnection::Commit() { return EndTransaction(true); }
Status SqlConnection::Rollback() { return EndTransaction(false); }

std::string SqlConnection::QuoteIdentifier(std::string_view name) const {
  std::string out = quote_;
  for (char ch : name) {
    out += ch;
    if (std::string(1, ch) == quote_) out += ch;  // a quote inside is doubled
  }
  out += quote_;
  return out;
}

std::string SqlConnection::NoCase(std::string_view expr) const {
  if (dialect_ == SqlDialect::SQLite) return std::string(expr) + " COLLATE NOCASE";
  return "UPPER(" + std::string(expr) + ")";
}

std::string SqlConnection::Limit(int n) const { return " LIMIT " + std::to_string(n); }

}  // namespace tdx::sql
