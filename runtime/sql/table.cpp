#include "runtime/sql/table.h"

#include <cstdlib>

#include "runtime/decimal/decimal.h"
#include "runtime/store/errors.h"
#include "runtime/text/cp1252.h"
#include "runtime/text/str.h"

namespace tdx::sql {
namespace {

constexpr int kFirstBatch = 8;
constexpr int kMaxBatch = 512;

bool is_text_type(FieldType t) { return t == FieldType::String || t == FieldType::CString; }

// A number as the database wrote it ("12", "12.5", "1.25e-05", " 7 "); nullopt when it is none.
std::optional<Decimal> parse_number(const std::string& text, int places) {
  auto d = Decimal::Parse(text);
  if (d.ok()) return *d;
  const char* s = text.c_str();
  char* end = nullptr;
  double v = std::strtod(s, &end);
  if (end == s) return std::nullopt;
  while (*end == ' ') ++end;
  if (*end != 0) return std::nullopt;
  return Decimal::FromDouble(v, places > 10 ? places : 10);
}

// The value a column's database text gives its field.
Value column_value(const SqlColumnDecl& c, const std::string& text) {
  if (is_text_type(c.type)) return Value(utf8_to_cp1252(text));
  auto n = parse_number(text, c.places);
  if (!n) return Value(0);
  if (c.type == FieldType::Real) return Value(n->to_double());
  return Value(*n);
}

}  // namespace

SqlTable::SqlTable(std::shared_ptr<const SqlTableDecl> decl)
    : decl_(std::move(decl)), record_(decl_->record_size, 0) {
  for (const SqlColumnDecl& c : decl_->columns) {
    unsigned char* p = record_.data() + c.offset;
    VarRef v{c.type, p, c.size, c.digits, c.places};
    targets_.push_back(v);
  }
  Clear();
}

SqlTable::~SqlTable() { Close(); }

void SqlTable::Close() {
  stmt_.reset();
  conn_.reset();
  mode_ = Mode::None;
  batch_open_ = false;
}

Status SqlTable::NotOpen() const {
  return Status(store::kFileNotOpen, std::string("File not open: ") + decl_->label);
}

VarRef SqlTable::field(std::string_view label) const {
  int i = decl_->find_column(label);
  return i < 0 ? VarRef() : targets_[static_cast<size_t>(i)];
}

Status SqlTable::Bind(int i, VarRef target) {
  if (i < 0 || static_cast<size_t>(i) >= targets_.size() || !target.valid()) {
    return Status(store::kInvalidDeclaration, "Invalid file declaration: bad binding");
  }
  targets_[static_cast<size_t>(i)] = target;
  return Status();
}

Status SqlTable::Bind(std::string_view label, VarRef target) {
  int i = decl_->find_column(label);
  if (i < 0) {
    return Status(store::kInvalidDeclaration,
                  "Invalid file declaration: no column " + std::string(label));
  }
  return Bind(i, target);
}

void SqlTable::Clear() {
  for (const VarRef& v : targets_) v.clear();
}

Status SqlTable::Open(std::string_view connection_string) {
  Close();
  auto conn = SqlConnection::Shared(connection_string);
  if (!conn.ok()) {
    diag_ = SqlDiag{"", 0, conn.status().text()};
    return conn.status();
  }
  auto stmt = std::make_unique<SqlStatement>(conn->get());
  Status probe = stmt->Execute("SELECT * FROM " + decl_->table + " WHERE 1=0");
  if (!probe.ok()) {
    diag_ = stmt->diag();
    return Status(store::kFileNotFound,
                  "File not found: table " + decl_->table + " " + probe.text());
  }
  const std::vector<std::string>& have = stmt->column_names();
  actual_names_.clear();
  std::string missing;
  for (const SqlColumnDecl& c : decl_->columns) {
    std::string found;
    for (const std::string& h : have) {
      if (compare_clipped_nocase(h, c.column) == 0) {
        found = h;
        break;
      }
    }
    if (found.empty()) missing += (missing.empty() ? "" : ", ") + c.column;
    actual_names_.push_back(found);
  }
  stmt->CloseCursor();
  if (!missing.empty()) {
    return Status(store::kInvalidFile,
                  "Invalid file: table " + decl_->table + " has no column " + missing);
  }
  select_list_.clear();
  for (const std::string& n : actual_names_) {
    if (!select_list_.empty()) select_list_ += ", ";
    select_list_ += conn->get()->QuoteIdentifier(n);
  }
  conn_ = std::move(*conn);
  stmt_ = std::move(stmt);
  mode_ = Mode::None;
  return Status();
}

void SqlTable::StoreRow(const std::vector<int>& map) {
  for (size_t i = 0; i < decl_->columns.size(); ++i) {
    const VarRef& target = targets_[i];
    int r = map[i];
    const std::optional<std::string>* v = r >= 0 ? &stmt_->value(r) : nullptr;
    if (v == nullptr || !v->has_value()) {
      target.clear();
      continue;
    }
    if (!target.set(column_value(decl_->columns[i], **v)).ok()) target.clear();
  }
}

Status SqlTable::Set() {
  if (!is_open()) return NotOpen();
  batch_open_ = false;
  Status s = stmt_->Execute("SELECT " + select_list_ + " FROM " + decl_->table);
  if (!s.ok()) {
    diag_ = stmt_->diag();
    mode_ = Mode::None;
    return s;
  }
  result_map_.clear();
  for (size_t i = 0; i < decl_->columns.size(); ++i) result_map_.push_back(static_cast<int>(i));
  mode_ = Mode::Table;
  return Status();
}

Status SqlTable::SetKey(std::string_view key) {
  if (!is_open()) return NotOpen();
  int k = decl_->find_key(key);
  if (k < 0) {
    return Status(store::kInvalidDeclaration,
                  "Invalid file declaration: " + decl_->label + " has no key " + std::string(key));
  }
  stmt_->CloseCursor();
  key_ = k;
  const SqlKeyDecl& kd = decl_->keys[static_cast<size_t>(k)];
  order_ = kd.components;
  int pk = decl_->primary_key();
  if (!kd.unique() && pk >= 0) {
    for (int c : decl_->keys[static_cast<size_t>(pk)].components) {
      bool have = false;
      for (int o : order_) have = have || o == c;
      if (!have) order_.push_back(c);
    }
  }
  position_.clear();
  for (int c : kd.components) position_.push_back(targets_[static_cast<size_t>(c)].get());
  position_inclusive_ = true;
  batch_open_ = false;
  result_map_.clear();
  for (size_t i = 0; i < decl_->columns.size(); ++i) result_map_.push_back(static_cast<int>(i));
  mode_ = Mode::Keyed;
  return Status();
}

// One batch of the key order from position_, at the current level. Level L asks for the rows
// whose first L-1 order columns equal the position's and whose L-th lies beyond it (or at it,
// for the deepest level of an inclusive position). Walking the levels from the deepest up gives
// the whole order from the position onwards, and each level is one index seek on any database.
Status SqlTable::QueryBatch(bool forward, bool grow) {
  const SqlKeyDecl& kd = decl_->keys[static_cast<size_t>(key_)];
  SqlConnection& c = *conn_;
  std::vector<std::string> exprs;
  for (int col : order_) {
    const SqlColumnDecl& cd = decl_->columns[static_cast<size_t>(col)];
    std::string e = c.QuoteIdentifier(actual_names_[static_cast<size_t>(col)]);
    if (kd.nocase() && is_text_type(cd.type)) e = c.NoCase(e);
    exprs.push_back(std::move(e));
  }
  std::string where;
  std::vector<Value> bound;
  for (size_t i = 0; i < static_cast<size_t>(level_); ++i) {
    const SqlColumnDecl& cd = decl_->columns[static_cast<size_t>(order_[i])];
    Value v = position_[i];
    // SQLite compares with the NOCASE collation; elsewhere both sides are upper-cased.
    if (kd.nocase() && is_text_type(cd.type) && c.dialect() != SqlDialect::SQLite) {
      v = Value(upper(v.text()));
    }
    bool last = i + 1 == static_cast<size_t>(level_);
    bool inclusive = last && position_inclusive_ && level_ == static_cast<int>(position_.size());
    std::string op = !last ? "=" : forward ? (inclusive ? ">=" : ">") : (inclusive ? "<=" : "<");
    where += (i ? " AND " : " WHERE ") + exprs[i] + " " + op + " ?";
    bound.push_back(std::move(v));
  }
  std::string order;
  for (size_t i = level_ > 0 ? static_cast<size_t>(level_ - 1) : 0; i < exprs.size(); ++i) {
    order += (order.empty() ? "" : ", ") + exprs[i] + (forward ? " ASC" : " DESC");
  }
  batch_limit_ = grow ? std::min(batch_limit_ * 2, kMaxBatch) : kFirstBatch;
  std::string text = "SELECT " + select_list_ + " FROM " + decl_->table + where + " ORDER BY " +
                     order + c.Limit(batch_limit_);
  Status s = stmt_->Execute(text, bound);
  if (!s.ok()) {
    diag_ = stmt_->diag();
    batch_open_ = false;
    return s;
  }
  batch_open_ = true;
  batch_forward_ = forward;
  batch_rows_ = 0;
  return Status();
}

Status SqlTable::Read(bool forward) {
  if (!is_open()) return NotOpen();
  switch (mode_) {
    case Mode::None:
      return Status(store::kRecordNotAvailable, "Record not available: no read started");
    case Mode::Table:
    case Mode::Statement:
      if (!forward) {
        return Status(store::kRecordNotAvailable,
                      "Record not available: previous needs a key order");
      }
      if (stmt_->Fetch()) {
        StoreRow(result_map_);
        return Status();
      }
      if (!stmt_->status().ok()) {
        diag_ = stmt_->diag();
        return stmt_->status();
      }
      return Status(store::kRecordNotAvailable, "Record not available");
    case Mode::Keyed:
      break;
  }
  if (!batch_open_ || batch_forward_ != forward) {
    level_ = static_cast<int>(position_.size());
    Status s = QueryBatch(forward, false);
    if (!s.ok()) return s;
  }
  for (;;) {
    if (stmt_->Fetch()) {
      ++batch_rows_;
      StoreRow(result_map_);
      RememberPosition();
      return Status();
    }
    if (!stmt_->status().ok()) {
      diag_ = stmt_->diag();
      batch_open_ = false;
      return stmt_->status();
    }
    if (batch_rows_ == batch_limit_) {
      // A full batch ran out: the next, larger one continues after the last row read.
      level_ = static_cast<int>(position_.size());
      Status s = QueryBatch(forward, true);
      if (!s.ok()) return s;
      continue;
    }
    if (level_ <= 1) break;  // every level is done: the end of the order
    --level_;
    Status s = QueryBatch(forward, false);
    if (!s.ok()) return s;
  }
  return Status(store::kRecordNotAvailable, "Record not available");
}

// The order values of the row just read, as the database gave them, so that the next batch
// continues exactly after it.
void SqlTable::RememberPosition() {
  position_.clear();
  for (int col : order_) {
    const SqlColumnDecl& cd = decl_->columns[static_cast<size_t>(col)];
    const std::optional<std::string>& v = stmt_->value(col);
    if (v) {
      position_.push_back(column_value(cd, *v));
    } else {
      position_.push_back(is_text_type(cd.type) ? Value("") : Value(0));
    }
  }
  position_inclusive_ = false;
}

Status SqlTable::Next() { return Read(true); }
Status SqlTable::Previous() { return Read(false); }

void SqlTable::MapResult() {
  result_map_.assign(decl_->columns.size(), -1);
  const std::vector<std::string>& names = stmt_->column_names();
  for (size_t i = 0; i < decl_->columns.size(); ++i) {
    for (size_t r = 0; r < names.size(); ++r) {
      if (compare_clipped_nocase(names[r], decl_->columns[i].column) == 0) {
        result_map_[i] = static_cast<int>(r);
        break;
      }
    }
  }
}

Status SqlTable::Execute(std::string_view statement, std::span<const Value> params) {
  if (!is_open()) return NotOpen();
  batch_open_ = false;
  Status s = stmt_->Execute(statement, params);
  if (!s.ok()) {
    diag_ = stmt_->diag();
    mode_ = Mode::None;
    return s;
  }
  MapResult();
  mode_ = Mode::Statement;
  return Status();
}

}  // namespace tdx::sql
