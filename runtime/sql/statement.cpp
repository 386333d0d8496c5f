#include "runtime/sql/statement.h"

#include <sql.h>
#include <sqlext.h>

#include "runtime/sql/connection.h"
#include "runtime/store/errors.h"
#include "runtime/text/cp1252.h"
#include "runtime/text/str.h"

namespace tdx::sql {

static_assert(sizeof(SQLLEN) == sizeof(long), "SqlStatement::Param::indicator holds an SQLLEN");

SqlStatement::SqlStatement(SqlConnection* conn) : conn_(conn) {}

SqlStatement::~SqlStatement() {
  if (stmt_ != nullptr) SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
}

Status SqlStatement::Fail(short rc, const char* what) {
  (void)rc;
  status_ = odbc_failure(SQL_HANDLE_STMT, stmt_, what, &diag_);
  return status_;
}

void SqlStatement::CloseCursor() {
  if (cursor_open_ && stmt_ != nullptr) SQLFreeStmt(stmt_, SQL_CLOSE);
  cursor_open_ = false;
}

Status SqlStatement::Bind(std::span<const Value> params) {
  SQLFreeStmt(stmt_, SQL_RESET_PARAMS);
  // The buffers must stay where they are until SQLExecute has read them: size them first.
  params_.assign(params.size(), Param());
  for (size_t i = 0; i < params.size(); ++i) {
    const Value& v = params[i];
    Param& p = params_[i];
    SQLUSMALLINT n = static_cast<SQLUSMALLINT>(i + 1);
    SQLRETURN rc;
    if (v.is_text()) {
      p.text = cp1252_to_utf8(clip(v.text_ref()));
      p.indicator = static_cast<long>(p.text.size());
      SQLULEN col = p.text.empty() ? 1 : p.text.size();
      rc = SQLBindParameter(stmt_, n, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, col, 0,
                            p.text.data(), static_cast<SQLLEN>(p.text.size()),
                            reinterpret_cast<SQLLEN*>(&p.indicator));
    } else if (v.is_real()) {
      p.real = v.real();
      p.indicator = 0;
      rc = SQLBindParameter(stmt_, n, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &p.real, 0,
                            reinterpret_cast<SQLLEN*>(&p.indicator));
    } else {
      Decimal d = v.number().Normalized();
      if (d.scale() == 0 && d.mantissa() >= INT64_MIN && d.mantissa() <= INT64_MAX) {
        p.integer = static_cast<long long>(d.mantissa());
        p.indicator = 0;
        rc = SQLBindParameter(stmt_, n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0,
                              &p.integer, 0, reinterpret_cast<SQLLEN*>(&p.indicator));
      } else {
        p.text = d.ToString();
        p.indicator = static_cast<long>(p.text.size());
        rc = SQLBindParameter(stmt_, n, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_DECIMAL, 38,
                              static_cast<SQLSMALLINT>(d.scale()), p.text.data(),
                              static_cast<SQLLEN>(p.text.size()),
                              reinterpret_cast<SQLLEN*>(&p.indicator));
      }
    }
    if (!SQL_SUCCEEDED(rc)) return Fail(rc, "SQLBindParameter");
  }
  return Status();
}

Status SqlStatement::Execute(std::string_view text, std::span<const Value> params) {
  status_ = Status();
  names_.clear();
  row_.clear();
  if (stmt_ == nullptr) {
    SQLHSTMT h = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, conn_->dbc(), &h))) {
      status_ = odbc_failure(SQL_HANDLE_DBC, conn_->dbc(), "SQLAllocHandle", &diag_);
      return status_;
    }
    stmt_ = h;
  }
  CloseCursor();
  if (prepared_ != text) {
    prepared_.clear();
    std::string t(text);
    SQLRETURN rc = SQLPrepare(stmt_, reinterpret_cast<SQLCHAR*>(t.data()), SQL_NTS);
    if (!SQL_SUCCEEDED(rc)) return Fail(rc, "SQLPrepare");
    prepared_ = std::move(t);
  }
  Status b = Bind(params);
  if (!b.ok()) return b;
  SQLRETURN rc = SQLExecute(stmt_);
  if (rc == SQL_NO_DATA) return Status();  // an update or delete that touched no row
  if (!SQL_SUCCEEDED(rc)) {
    // A failed execution may leave the statement in a state the driver will not prepare over.
    prepared_.clear();
    return Fail(rc, "SQLExecute");
  }
  SQLSMALLINT cols = 0;
  if (!SQL_SUCCEEDED(SQLNumResultCols(stmt_, &cols))) return Fail(rc, "SQLNumResultCols");
  cursor_open_ = cols > 0;
  for (SQLSMALLINT c = 1; c <= cols; ++c) {
    SQLCHAR name[256] = {};
    SQLSMALLINT name_len = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN col_size = 0;
    SQLRETURN r = SQLDescribeCol(stmt_, static_cast<SQLUSMALLINT>(c), name, sizeof name, &name_len,
                                 &type, &col_size, &digits, &nullable);
    if (!SQL_SUCCEEDED(r)) return Fail(r, "SQLDescribeCol");
    names_.emplace_back(reinterpret_cast<char*>(name));
  }
  row_.assign(names_.size(), std::nullopt);
  return Status();
}

bool SqlStatement::Fetch() {
  if (!cursor_open_) return false;
  SQLRETURN rc = SQLFetch(stmt_);
  if (rc == SQL_NO_DATA) {
    CloseCursor();
    return false;
  }
  if (!SQL_SUCCEEDED(rc)) {
    (void)Fail(rc, "SQLFetch");
    CloseCursor();
    return false;
  }
  char buf[512];
  for (size_t i = 0; i < names_.size(); ++i) {
    std::optional<std::string>& out = row_[i];
    out.reset();
    // Long values arrive in pieces: each call returns what fits, SQL_NO_DATA after the last.
    for (;;) {
      SQLLEN ind = 0;
      SQLRETURN r = SQLGetData(stmt_, static_cast<SQLUSMALLINT>(i + 1), SQL_C_CHAR, buf, sizeof buf,
                               &ind);
      if (r == SQL_NO_DATA) break;
      if (!SQL_SUCCEEDED(r)) {
        (void)Fail(r, "SQLGetData");
        CloseCursor();
        return false;
      }
      if (ind == SQL_NULL_DATA) break;
      if (!out) out.emplace();
      size_t got = (ind == SQL_NO_TOTAL || ind >= static_cast<SQLLEN>(sizeof buf))
                       ? sizeof buf - 1
                       : static_cast<size_t>(ind);
      out->append(buf, got);
      if (r == SQL_SUCCESS) break;
    }
  }
  return true;
}

}  // namespace tdx::sql
