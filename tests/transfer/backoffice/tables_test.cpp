// The back-office declarations against the generated back office, on SQLite and on PostgreSQL:
// every table opens with every declared column and reads all its rows; the two Items layouts
// tell themselves apart.
#include "transfer/backoffice/tables.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/sql/table.h"
#include "runtime/store/errors.h"
#include "tests/runtime/sql/backoffice_fixture.h"

extern "C" const char* __lsan_default_suppressions() { return "leak:psqlodbcw.so\n"; }

namespace tdx::transfer {
namespace {

class BackofficeTablesTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    sqltest::use_private_odbcinst();
    if (GetParam() && sqltest::pg_base().empty()) {
      GTEST_SKIP() << "no PostgreSQL server: TDX_PG_PORT, TDX_PG_USER, TDX_PG_PASSWORD and "
                      "TDX_PG_DB are not set (tools/test.sh starts one)";
    }
  }
  void TearDown() override {
    sqltest::drop_backoffice(GetParam(), "current");
    sqltest::drop_backoffice(GetParam(), "older");
  }
};

long long count_rows(sql::SqlTable& t) {
  long long n = 0;
  if (!t.Set().ok()) return -1;
  Status s;
  while ((s = t.Next()).ok()) ++n;
  return s.code() == store::kRecordNotAvailable ? n : -1;
}

TEST_P(BackofficeTablesTest, EveryTableOpensAndReadsWhole) {
  std::string error;
  std::string current = sqltest::make_backoffice(GetParam(), "current", &error);
  ASSERT_FALSE(current.empty()) << error;
  std::string older = sqltest::make_backoffice(GetParam(), "older", &error);
  ASSERT_FALSE(older.empty()) << error;

  struct Case {
    DeclPtr decl;
    const std::string* conn;
    int open_code;
  } cases[] = {
      {codedefs_decl(), &current, 0},        {contacts_decl(), &current, 0},
      {customer_decl(), &current, 0},        {cst_item_decl(), &current, 0},
      {pr_ct_decl(), &current, 0},           {prices_decl(), &current, 0},
      {principal_decl(), &current, 0},       {items_current_decl(), &current, 0},
      {items_older_decl(), &current, store::kInvalidFile},
      {items_current_decl(), &older, store::kInvalidFile},
      {items_older_decl(), &older, 0},
  };
  for (const Case& c : cases) {
    sql::SqlTable t(c.decl);
    Status s = t.Open(*c.conn);
    ASSERT_EQ(s.code(), c.open_code) << c.decl->prefix << ": " << s.ToString();
    if (!s.ok()) continue;
    auto n = t.connection()->Query("select count(*) from " + c.decl->table);
    ASSERT_TRUE(n.ok());
    EXPECT_EQ(count_rows(t), std::stoll(*n->rows[0][0])) << c.decl->prefix;
  }
  // Record sizes follow the declarations (packed, declaration order).
  EXPECT_EQ(codedefs_decl()->record_size, 4u + 4 + 4 + 60 + 1 + 4 + 4 + 10 + 10);
  EXPECT_EQ(items_current_decl()->columns.size(), items_older_decl()->columns.size() + 3);
}

INSTANTIATE_TEST_SUITE_P(Backends, BackofficeTablesTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) {
                           return i.param ? "PostgreSQL" : "SQLite";
                         });

}  // namespace
}  // namespace tdx::transfer
