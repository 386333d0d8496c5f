// SqlTableDecl: how a program declares one back-office table that it reads over SQL.
//
// A declaration lists the table's columns in order, each with the runtime type of the field it
// lands in (STRING, CSTRING, LONG, DECIMAL; SHORT, BYTE and REAL work too), its size, and the
// column's SQL name where it differs from the field label ("IDCODE" read from column CODE).
// The fields form a record buffer packed in declaration order without gaps, exactly like a
// record of the keyed files: STRING(n) and CSTRING(n) n bytes, LONG 4, DECIMAL(d,p) d/2+1.
// Keys name their components by field label; a key's order is what a positioned read follows
// (NOCASE keys order text without regard to letter case). The key marked primary breaks ties
// of keys that allow duplicates.
//
// Declarations are written as constexpr tables of SqlColumnSpec / SqlKeySpec and checked once
// by build_sql_table(); a built declaration is immutable and shared by every table using it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/base/value.h"

namespace tdx::sql {

enum SqlKeyAttr : uint32_t {
  kKeyUnique = 1u << 0,
  kKeyNocase = 1u << 1,
  kKeyPrimary = 1u << 2,  // implies unique
};

struct SqlColumnDecl {
  std::string label;   // field label without prefix: "IDCODE"
  std::string column;  // SQL column name: "CODE" (the label when not given)
  FieldType type = FieldType::String;
  uint32_t offset = 0;  // in the record buffer
  uint32_t size = 0;    // bytes in the record buffer
  uint8_t digits = 0;   // DECIMAL only
  uint8_t places = 0;   // DECIMAL only
};

struct SqlKeyDecl {
  std::string name;             // "BY_PRIN_LIST_ITEM"
  std::string index;            // the database's index name, for reference: "PC_KeyPic_Ovl"
  std::vector<int> components;  // indexes into SqlTableDecl::columns
  uint32_t attrs = 0;
  bool unique() const { return attrs & (kKeyUnique | kKeyPrimary); }
  bool nocase() const { return attrs & kKeyNocase; }
  bool primary() const { return attrs & kKeyPrimary; }
};

struct SqlTableDecl {
  std::string label;   // "Prices"
  std::string table;   // SQL table name: "Prices"
  std::string prefix;  // "PRC1"
  uint32_t record_size = 0;
  std::vector<SqlColumnDecl> columns;
  std::vector<SqlKeyDecl> keys;

  // By "PRC1:PRN_CODE" or "PRN_CODE", any case; -1 when absent.
  int find_column(std::string_view name) const;
  int find_key(std::string_view name) const;
  int primary_key() const;  // -1 when none is marked
};

struct SqlColumnSpec {
  const char* label;
  FieldType type;
  uint32_t size = 0;  // STRING/CSTRING bytes; ignored for numbers (DECIMAL: from digits)
  uint8_t digits = 0;
  uint8_t places = 0;
  const char* column = nullptr;  // SQL name when it differs from the label
};

struct SqlKeySpec {
  const char* name;
  const char* components;  // comma-separated labels: "PRN_CODE,PRC_LIST_NBR,ITM_CODE"
  uint32_t attrs;
  const char* index = nullptr;
};

// Builds and checks a declaration: unique labels, sizes given for text, key components that
// name columns. Errors carry the store's code for an inconsistent declaration (57).
Result<std::shared_ptr<const SqlTableDecl>> build_sql_table(std::string label, std::string table,
                                                             std::string prefix,
                                                             std::span<const SqlColumnSpec> columns,
                                                             std::span<const SqlKeySpec> keys = {});

}  // namespace tdx::sql
