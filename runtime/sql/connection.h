// SqlConnection: one ODBC connection (unixODBC) to a back-office database, opened from an ODBC
// connection string ("DRIVER=SQLite3;Database=/path/bo.db",
// "DRIVER=PostgreSQL Unicode;Server=...;Database=...;Uid=...;Pwd={...}").
//
// The connection knows which database product it talks to (the driver's DBMS name) only to
// spell the few things SQL leaves open: case-insensitive ordering and comparison of text
// (SQLite: `col COLLATE NOCASE`; elsewhere `UPPER(col)`), identifier quotes and row limits.
// Callers above the SQL layer never see the difference.
//
// Shared() hands out one connection per connection string while anyone holds it, so the tables
// of one database share a connection as the runtime's SQL driver shares its owner string.
// Failures are Status values with the store's file-system error code (90) and the driver's
// "[SQLSTATE] message"; diag() keeps them apart. One thread; not copyable.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/base/value.h"
#include "runtime/sql/statement.h"

namespace tdx::sql {

enum class SqlDialect { Generic, SQLite, PostgreSQL };

// All rows of a result: column names and per row one optional UTF-8 text per column.
struct SqlRows {
  std::vector<std::string> columns;
  std::vector<std::vector<std::optional<std::string>>> rows;
};

class SqlConnection {
 public:
  // Connects without any prompt. An empty connection string is refused before the driver
  // manager sees it.
  static Result<std::shared_ptr<SqlConnection>> Connect(std::string_view connection_string);
  // The live connection for this exact string, or a new one.
  static Result<std::shared_ptr<SqlConnection>> Shared(std::string_view connection_string);

  ~SqlConnection();
  SqlConnection(const SqlConnection&) = delete;
  SqlConnection& operator=(const SqlConnection&) = delete;

  const std::string& connection_string() const { return conn_str_; }
  const std::string& dbms_name() const { return dbms_; }
  SqlDialect dialect() const { return dialect_; }

  // Runs one statement with its `?` markers bound to params (see statement.h) and returns
  // every row. For statements without rows the result is empty.
  Result<SqlRows> Query(std::string_view statement, std::span<const Value> params = {});
  Status Execute(std::string_view statement, std::span<const Value> params = {});

  // Manual transactions (auto-commit otherwise): for loading data in bulk.
  Status Begin();
  Status Commit();
  Status Rollback();

  // SQL spelling for this database.
  std::string QuoteIdentifier(std::string_view name) const;
  // An expression that orders and compares `expr` without regard to letter case.
  std::string NoCase(std::string_view expr) const;
  // " LIMIT n" (every dialect we meet here understands it).
  std::string Limit(int n) const;

  void* dbc() const { return dbc_; }  // SQLHDBC, for SqlStatement
  const SqlDiag& diag() const { return diag_; }

 private:
  SqlConnection() = default;
  Status EndTransaction(bool commit);

  std::string conn_str_;
  std::string dbms_;
  std::string quote_ = "\"";
  SqlDialect dialect_ = SqlDialect::Generic;
  void* dbc_ = nullptr;  // SQLHDBC
  SqlDiag diag_;
};

// Driver diagnostics of an ODBC handle as a Status (code 90) and a SqlDiag. Internal to the layer.
Status odbc_failure(short handle_type, void* handle, const char* what, SqlDiag* diag);

}  // namespace tdx::sql
