// SqlTable: one back-office table read through a SqlConnection into a record buffer, the way
// the runtime's SQL file driver maps a table onto a record.
//
// Open(connection string) connects (sharing one connection per string) and checks that the
// table exists and has every declared column; it does not open otherwise, which is how a
// program tells two layouts of one table apart. Columns are matched by name without regard to
// letter case, so a table created with unquoted names works on SQLite and on PostgreSQL alike.
//
// Reading:
//   - Set() then Next(): every row in the database's own order (no ORDER BY).
//   - SetKey(key) then Next() or Previous(): rows in the key's order starting at the key values
//     now in the record buffer: Next() from the first row >= them upwards, Previous() from the
//     last row <= them downwards. Values go to the database as bound parameters; rows come in
//     small batches, each one index seek (equal leading columns, a range on the next), so a
//     lookup that reads one or two rows never drags the rest of the table across.
//     Key columns are expected to hold no NULLs (a NULL never compares equal or in range).
//   - Execute(statement, params): the caller's own statement with `?` markers bound to params;
//     Next() reads its rows into the record. Result columns are matched to declared columns by
//     name; declared columns the result lacks are cleared.
// A read that finds a row fills every declared field; at the end it returns the store's
// "Record not available" (33) and leaves the record as it was.
//
// Field values: text arrives as UTF-8 and is stored as Windows-1252 (a character without a
// Windows-1252 form becomes '?'), truncated or padded to its field; NULL reads as blanks or
// zero; numbers that do not fit their field (or are no numbers) read as zero.
//
// Errors: a connection that fails gives the driver's "[SQLSTATE] message" with the store's
// file-system error (90); a table that cannot be read is "File not found" (2); a declared
// column that the table lacks is "Invalid file" (36). The driver's part stays in diag().
//
// Each column lands in a VarRef: by default in the table's own record buffer (record()), or in
// a caller's variable after Bind(). Bound variables must outlive the table's reads.
// One thread; not copyable.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/base/value.h"
#include "runtime/sql/connection.h"
#include "runtime/sql/statement.h"
#include "runtime/sql/table_decl.h"

namespace tdx::sql {

class SqlTable {
 public:
  explicit SqlTable(std::shared_ptr<const SqlTableDecl> decl);
  ~SqlTable();
  SqlTable(const SqlTable&) = delete;
  SqlTable& operator=(const SqlTable&) = delete;

  const SqlTableDecl& decl() const { return *decl_; }

  Status Open(std::string_view connection_string);
  void Close();
  bool is_open() const { return conn_ != nullptr; }
  SqlConnection* connection() const { return conn_.get(); }

  // The record buffer (decl().record_size bytes) and its fields.
  unsigned char* record() { return record_.data(); }
  // The variable column `i` lands in (the buffer's field unless bound elsewhere).
  VarRef field(int i) const { return targets_[static_cast<size_t>(i)]; }
  // By label ("ITM_CODE" or "PRC1:ITM_CODE"); an invalid VarRef when there is no such column.
  VarRef field(std::string_view label) const;
  // Lets column `i` land in the caller's variable instead of the buffer. The VarRef's type
  // should match the declared one (conversions follow VarRef::set otherwise).
  Status Bind(int i, VarRef target);
  Status Bind(std::string_view label, VarRef target);
  // Blanks and zeros into every field (the runtime's CLEAR of the record).
  void Clear();

  Status Set();
  Status SetKey(std::string_view key);
  Status Next();
  Status Previous();
  Status Execute(std::string_view statement, std::span<const Value> params = {});

  const SqlDiag& diag() const { return diag_; }

 private:
  enum class Mode { None, Table, Keyed, Statement };
  Status Read(bool forward);
  Status QueryBatch(bool forward, bool grow);
  void StoreRow(const std::vector<int>& map);
  void RememberPosition();
  void MapResult();
  Status NotOpen() const;

  std::shared_ptr<const SqlTableDecl> decl_;
  std::vector<unsigned char> record_;
  std::vector<VarRef> targets_;
  std::shared_ptr<SqlConnection> conn_;
  std::unique_ptr<SqlStatement> stmt_;
  std::vector<std::string> actual_names_;  // each declared column as the database spells it
  std::string select_list_;
  std::vector<int> result_map_;  // declared column -> result column, -1 when absent
  Mode mode_ = Mode::None;

  // Keyed reading.
  int key_ = -1;
  std::vector<int> order_;          // key components, then primary key components as tie-breakers
  std::vector<Value> position_;     // values of order_ where the next batch starts
  bool position_inclusive_ = true;  // the next batch starts at (true) or after (false) position_
  bool batch_forward_ = true;
  bool batch_open_ = false;
  int batch_rows_ = 0;
  int batch_limit_ = 0;
  int level_ = 0;                   // order columns the open batch's condition uses
  SqlDiag diag_;
};

}  // namespace tdx::sql
