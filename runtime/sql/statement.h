// SqlStatement: one ODBC statement handle on a SqlConnection, with bound parameters and rows
// read column by column as text.
//
// Statement text is sent as written (UTF-8); values never enter it: each `?` is bound to one
// parameter, so a code with a quote in it is data, not SQL. Parameters are runtime values:
//   - text (Windows-1252) is sent as UTF-8 without trailing blanks, because record strings are
//     blank-padded and the runtime compares text without trailing blanks;
//   - a Decimal with no decimals is sent as a 64-bit integer, any other Decimal as exact
//     decimal text; a REAL as a double.
// Rows come back as UTF-8 text per column, or null. Every failure is a Status whose code is the
// store's file-system error (90) and whose text is "[SQLSTATE] driver message"; diag() keeps the
// SQLSTATE, native code and message of the last failure apart.
//
// A SqlStatement belongs to one thread and must not outlive its connection. Not copyable.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/base/value.h"

namespace tdx::sql {

class SqlConnection;

// The driver's own account of a failure.
struct SqlDiag {
  std::string sqlstate;  // five characters, e.g. "42S02"; empty when the driver gave none
  int native = 0;
  std::string message;
};

class SqlStatement {
 public:
  explicit SqlStatement(SqlConnection* conn);
  ~SqlStatement();
  SqlStatement(const SqlStatement&) = delete;
  SqlStatement& operator=(const SqlStatement&) = delete;

  // Prepares `text` unless it is the text prepared last (then only the open cursor is closed),
  // binds `params` to its `?` markers in order and executes it.
  Status Execute(std::string_view text, std::span<const Value> params = {});
  // Closes the open cursor, if any; the prepared text stays for the next Execute.
  void CloseCursor();

  // Columns of the current result: count and names as the database spells them.
  int column_count() const { return static_cast<int>(names_.size()); }
  const std::vector<std::string>& column_names() const { return names_; }

  // Reads the next row. Returns true with a row, false at the end or on a failure (then
  // status() says which). The row's values are read with value().
  bool Fetch();
  Status status() const { return status_; }
  // Column `i` (0-based) of the row just fetched: UTF-8 text, or nullopt for NULL.
  const std::optional<std::string>& value(int i) const { return row_[static_cast<size_t>(i)]; }

  const SqlDiag& diag() const { return diag_; }

 private:
  Status Fail(short rc, const char* what);
  Status Bind(std::span<const Value> params);

  SqlConnection* conn_;
  void* stmt_ = nullptr;  // SQLHSTMT
  std::string prepared_;
  bool cursor_open_ = false;
  std::vector<std::string> names_;
  std::vector<std::optional<std::string>> row_;
  struct Param {
    std::string text;
    long long integer = 0;
    double real = 0;
    long indicator = 0;  // SQLLEN
  };
  std::vector<Param> params_;
  Status status_;
  SqlDiag diag_;
};

}  // namespace tdx::sql
