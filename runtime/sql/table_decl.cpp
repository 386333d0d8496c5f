#include "runtime/sql/table_decl.h"

#include "runtime/decimal/decimal.h"
#include "runtime/store/errors.h"
#include "runtime/text/str.h"

namespace tdx::sql {
namespace {

// "PRC1:PRN_CODE" -> "PRN_CODE" when the prefix is this table's; otherwise unchanged.
std::string_view strip_prefix(std::string_view name, std::string_view prefix) {
  size_t colon = name.find(':');
  if (colon != std::string_view::npos &&
      compare_clipped_nocase(name.substr(0, colon), prefix) == 0) {
    return name.substr(colon + 1);
  }
  return name;
}

Status bad(const std::string& label, const std::string& what) {
  return Status(store::kInvalidDeclaration, "Invalid file declaration: " + label + ": " + what);
}

}  // namespace

int SqlTableDecl::find_column(std::string_view name) const {
  std::string_view bare = strip_prefix(name, prefix);
  for (size_t i = 0; i < columns.size(); ++i) {
    if (compare_clipped_nocase(columns[i].label, bare) == 0) return static_cast<int>(i);
  }
  return -1;
}

int SqlTableDecl::find_key(std::string_view name) const {
  std::string_view bare = strip_prefix(name, prefix);
  for (size_t i = 0; i < keys.size(); ++i) {
    if (compare_clipped_nocase(keys[i].name, bare) == 0) return static_cast<int>(i);
  }
  return -1;
}

int SqlTableDecl::primary_key() const {
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].primary()) return static_cast<int>(i);
  }
  return -1;
}

Result<std::shared_ptr<const SqlTableDecl>> build_sql_table(std::string label, std::string table,
                                                             std::string prefix,
                                                             std::span<const SqlColumnSpec> columns,
                                                             std::span<const SqlKeySpec> keys) {
  auto d = std::make_shared<SqlTableDecl>();
  d->label = std::move(label);
  d->table = std::move(table);
  d->prefix = std::move(prefix);
  if (d->table.empty()) return bad(d->label, "no table name");
  if (columns.empty()) return bad(d->label, "no columns");
  uint32_t offset = 0;
  for (const SqlColumnSpec& s : columns) {
    if (s.label == nullptr || *s.label == 0) return bad(d->label, "a column without a label");
    SqlColumnDecl c;
    c.label = s.label;
    c.column = (s.column != nullptr && *s.column != 0) ? s.column : s.label;
    c.type = s.type;
    c.offset = offset;
    switch (s.type) {
      case FieldType::String:
      case FieldType::CString:
        if (s.size == 0) return bad(d->label, c.label + " has no size");
        c.size = s.size;
        break;
      case FieldType::Decimal:
        if (s.digits == 0 || s.places > s.digits || s.digits > 31) {
          return bad(d->label, c.label + " has bad digits or places");
        }
        c.digits = s.digits;
        c.places = s.places;
        c.size = static_cast<uint32_t>(Decimal::PackedSize(s.digits));
        break;
      case FieldType::Long: c.size = 4; break;
      case FieldType::Short: c.size = 2; break;
      case FieldType::Byte: c.size = 1; break;
      case FieldType::Real: c.size = 8; break;
      case FieldType::Memo: return bad(d->label, c.label + ": a MEMO is not a column type here");
    }
    if (d->find_column(c.label) >= 0) return bad(d->label, c.label + " declared twice");
    offset += c.size;
    d->columns.push_back(std::move(c));
  }
  d->record_size = offset;
  for (const SqlKeySpec& k : keys) {
    SqlKeyDecl key;
    key.name = k.name != nullptr ? k.name : "";
    key.index = k.index != nullptr ? k.index : "";
    key.attrs = k.attrs;
    if (key.name.empty()) return bad(d->label, "a key without a name");
    std::string_view rest = k.components != nullptr ? k.components : "";
    while (!rest.empty()) {
      size_t comma = rest.find(',');
      std::string_view part = rest.substr(0, comma);
      while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
      int idx = d->find_column(clip(part));
      if (idx < 0) return bad(d->label, "key " + key.name + " names " + std::string(part));
      key.components.push_back(idx);
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    if (key.components.empty()) return bad(d->label, "key " + key.name + " has no components");
    if (d->find_key(key.name) >= 0) return bad(d->label, "key " + key.name + " declared twice");
    d->keys.push_back(std::move(key));
  }
  return std::shared_ptr<const SqlTableDecl>(std::move(d));
}

}  // namespace tdx::sql
