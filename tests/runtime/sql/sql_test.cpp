// The SQL layer on a generated back office, once on SQLite and once on PostgreSQL (skipped
// when no server is configured). The same expectations hold for both: nothing above the layer
// may notice which database it reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "runtime/sql/connection.h"
#include "runtime/sql/table.h"
#include "runtime/store/errors.h"
#include "runtime/text/str.h"
#include "tests/runtime/sql/backoffice_fixture.h"

// psqlODBC keeps a few hundred bytes per failed or closed connection to the end of the
// process; they are the driver's, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:psqlodbcw.so\n"; }

namespace tdx::sql {
namespace {

using FT = FieldType;

constexpr int32_t kFutureDay = 108998;  // 1 June 2099 as a day number
constexpr int32_t kDay2019 = 79686;     // 1 March 2019
constexpr int32_t kDay2021 = 80539;     // 1 July 2021

std::shared_ptr<const SqlTableDecl> must(Result<std::shared_ptr<const SqlTableDecl>> r) {
  EXPECT_TRUE(r.ok()) << r.status().ToString();
  return r.ok() ? *r : nullptr;
}

// Columns the tests look at; a declaration need not name every column of the table.
std::shared_ptr<const SqlTableDecl> principal_decl() {
  static const SqlColumnSpec cols[] = {
      {"AUTOID", FT::Long},
      {"IDCODE", FT::String, 10, 0, 0, "CODE"},
      {"NAME", FT::String, 35},
      {"ADR2", FT::String, 35},
      {"TERMS_CODE", FT::Long},
      {"DFLT_CM_RATE", FT::Decimal, 0, 11, 4},
      {"EMAIL", FT::CString, 101},
  };
  return must(build_sql_table("Principal", "Principal", "PRN1", cols));
}

std::shared_ptr<const SqlTableDecl> prices_decl() {
  static const SqlColumnSpec cols[] = {
      {"AUTOID", FT::Long},          {"PRN_CODE", FT::String, 10}, {"PRC_LIST_NBR", FT::String, 16},
      {"ITM_CODE", FT::String, 15},  {"CST_CODE", FT::String, 10}, {"START_DATE", FT::Long},
      {"PRICE1", FT::Decimal, 0, 11, 4}, {"BRACKET_ID1", FT::String, 3}, {"USERID", FT::String, 10},
  };
  static const SqlKeySpec keys[] = {
      {"AUTOKEY", "AUTOID,USERID", kKeyPrimary | kKeyNocase},
      {"BY_PRIN_LIST_ITEM", "PRN_CODE,PRC_LIST_NBR,ITM_CODE,CST_CODE,START_DATE",
       kKeyUnique | kKeyNocase},
      {"KEYPRN_ITM", "PRN_CODE,ITM_CODE", kKeyNocase},
  };
  return must(build_sql_table("Prices", "Prices", "PRC1", cols, keys));
}

std::shared_ptr<const SqlTableDecl> items_decl(bool current) {
  std::vector<SqlColumnSpec> cols = {{"AUTOID", FT::Long},
                                     {"PRIN_CODE", FT::String, 10},
                                     {"IDCODE", FT::String, 15, 0, 0, "CODE"},
                                     {"UPC", FT::String, current ? 14u : 12u},
                                     {"CUBE", FT::Decimal, 0, 11, 3, current ? "CubeSize" : nullptr}};
  if (current) {
    cols.push_back({"KOSHER", FT::Long});
    cols.push_back({"MODIFIEDBY", FT::String, 10});
    cols.push_back({"KOSHERGRADE", FT::String, 25});
  }
  return must(build_sql_table("Items", "Items", current ? "ITM1" : "ITM2", cols));
}

std::shared_ptr<const SqlTableDecl> contacts_decl() {
  static const SqlColumnSpec cols[] = {{"ORG_TYPE", FT::String, 2},
                                       {"ORG_CODE", FT::String, 10},
                                       {"IDCODE", FT::String, 10, 0, 0, "CODE"},
                                       {"NAME", FT::String, 35},
                                       {"EMAIL", FT::CString, 101}};
  return must(build_sql_table("Contacts", "Contacts", "CON1", cols));
}

std::shared_ptr<const SqlTableDecl> codedefs_decl() {
  static const SqlColumnSpec cols[] = {
      {"ID", FT::String, 4}, {"VALUE", FT::String, 4}, {"DESCRIPTION", FT::String, 60}};
  return must(build_sql_table("CodeDefs", "CodeDefs", "COD1", cols));
}

std::string text(const SqlTable& t, const char* label) {
  VarRef v = t.field(label);
  return v.get().text();
}
std::string clipped(const SqlTable& t, const char* label) {
  return std::string(clip(text(t, label)));
}
long long number(const SqlTable& t, const char* label) {
  return t.field(label).get().number().to_integer();
}

// One back office per process and backend, in both Items layouts.
class SqlLayerTest : public ::testing::TestWithParam<bool> {
 protected:
  static std::map<std::pair<bool, std::string>, std::string>& made() {
    static std::map<std::pair<bool, std::string>, std::string> m;
    return m;
  }
  static void TearDownTestSuite() {
    for (auto& [k, conn] : made()) sqltest::drop_backoffice(k.first, k.second);
    made().clear();
  }

  bool postgres() const { return GetParam(); }

  // The connection string of the back office in `layout`; skips when PostgreSQL is not set up.
  std::string backoffice(const std::string& layout = "current") {
    auto key = std::make_pair(postgres(), layout);
    auto it = made().find(key);
    if (it != made().end()) return it->second;
    std::string error;
    std::string conn = sqltest::make_backoffice(postgres(), layout, &error);
    EXPECT_FALSE(conn.empty()) << error;
    made()[key] = conn;
    return conn;
  }

  void SetUp() override {
    sqltest::use_private_odbcinst();
    if (postgres() && sqltest::pg_base().empty()) {
      GTEST_SKIP() << "no PostgreSQL server: TDX_PG_PORT, TDX_PG_USER, TDX_PG_PASSWORD and "
                      "TDX_PG_DB are not set (tools/test.sh starts one)";
    }
  }
};

// Rows come in the database's order with every declared column in its field; NULL reads as
// blank or zero; UTF-8 text lands as Windows-1252, '?' for what Windows-1252 cannot show.
TEST_P(SqlLayerTest, ReadsDeclaredColumnsInTableOrder) {
  SqlTable prn(principal_decl());
  ASSERT_TRUE(prn.Open(backoffice()).ok());
  ASSERT_TRUE(prn.Set().ok());
  struct Row {
    std::string code, name, adr2, email;
    long long terms;
    std::string rate;
  };
  std::vector<Row> rows;
  Status s;
  while ((s = prn.Next()).ok()) {
    rows.push_back({clipped(prn, "IDCODE"), clipped(prn, "NAME"), text(prn, "ADR2"),
                    text(prn, "EMAIL"), number(prn, "TERMS_CODE"),
                    prn.field("DFLT_CM_RATE").get().number().Normalized().ToString()});
  }
  EXPECT_EQ(s.code(), store::kRecordNotAvailable);
  ASSERT_EQ(rows.size(), 40u);
  const std::vector<std::string> first_codes = {"ACME", "ACME2",  "ACME3", "OKE'EFE",
                                                "CAFE", "LODZ",   "NULLS", "lower"};
  for (size_t i = 0; i < first_codes.size(); ++i) EXPECT_EQ(rows[i].code, first_codes[i]);

  EXPECT_EQ(rows[4].name, "Caf\xe9 Cr\xe8me Brands");
  EXPECT_EQ(rows[5].name, "?\xf3" "d? Pierogi");  // L with stroke and z with acute have no form
  EXPECT_EQ(rows[0].terms, 1);
  EXPECT_EQ(rows[1].adr2, std::string("Suite 5") + std::string(28, ' '));  // padded to 35

  const Row& nulls = rows[6];  // every optional column NULL
  EXPECT_EQ(nulls.name, "Null Row Foods");
  EXPECT_EQ(nulls.adr2, std::string(35, ' '));
  EXPECT_EQ(nulls.email, "");
  EXPECT_EQ(nulls.terms, 0);
  EXPECT_EQ(nulls.rate, "0");
  EXPECT_EQ(rows[2].adr2, std::string(35, ' ')) << "a NULL second address line";
}

// A column can land in the caller's own variable instead of the table's buffer.
TEST_P(SqlLayerTest, BoundVariablesReceiveTheirColumns) {
  SqlTable prn(principal_decl());
  Str<35> name;
  int32_t autoid = -1;
  ASSERT_TRUE(prn.Bind("PRN1:NAME", VarRef::String(name.data(), 35)).ok());
  ASSERT_TRUE(prn.Bind("AUTOID", VarRef::Long(&autoid)).ok());
  ASSERT_TRUE(prn.Open(backoffice()).ok());
  ASSERT_TRUE(prn.Set().ok());
  ASSERT_TRUE(prn.Next().ok());
  ASSERT_TRUE(prn.Next().ok());
  EXPECT_EQ(name, "ACME FOODS");
  EXPECT_EQ(autoid, 2);
}

// A table opens only with every declared column: that tells the Items layouts apart.
TEST_P(SqlLayerTest, OpenRefusesMissingColumnsAndTables) {
  std::string current = backoffice("current");
  std::string older = backoffice("older");
  struct Case {
    const char* what;
    const std::string* conn;
    bool current_layout;
    int code;
  } cases[] = {
      {"current declaration, current table", &current, true, 0},
      {"older declaration, current table (no column CUBE)", &current, false,
       store::kInvalidFile},
      {"current declaration, older table (no KOSHER ...)", &older, true, store::kInvalidFile},
      {"older declaration, older table", &older, false, 0},
  };
  for (const Case& c : cases) {
    SqlTable items(items_decl(c.current_layout));
    Status s = items.Open(*c.conn);
    EXPECT_EQ(s.code(), c.code) << c.what << ": " << s.ToString();
    EXPECT_EQ(items.is_open(), c.code == 0) << c.what;
    if (c.code == store::kInvalidFile && c.current_layout) {
      EXPECT_NE(s.text().find("KOSHER"), std::string::npos) << s.text();
    }
  }
  // The older layout's UPC is 12 characters: a longer value is cut to its field.
  SqlTable items(items_decl(false));
  ASSERT_TRUE(items.Open(older).ok());
  ASSERT_TRUE(items.Set().ok());
  ASSERT_TRUE(items.Next().ok());
  EXPECT_EQ(items.field("UPC").size, 12u);
  EXPECT_EQ(clipped(items, "UPC").size(), 12u);

  static const SqlColumnSpec one[] = {{"AUTOID", FT::Long}};
  SqlTable missing(must(build_sql_table("Nothing", "NoSuchTable", "NOT", one)));
  EXPECT_EQ(missing.Open(current).code(), store::kFileNotFound);
}

// A connection string that does not connect fails the open with the driver's diagnosis.
TEST_P(SqlLayerTest, OpenFailsWithoutAWorkingConnection) {
  std::string bad = postgres() ? sqltest::pg_base() + ";Uid=nobody_here;Pwd={wrong}"
                               : "DRIVER=SQLite3;Database=/nonexistent/folder/bo.db";
  for (const std::string& conn : {std::string(), std::string("   "), bad,
                                  std::string("DRIVER=No Such Driver;Database=x")}) {
    SqlTable prn(principal_decl());
    Status s = prn.Open(conn);
    EXPECT_FALSE(s.ok()) << "'" << conn << "'";
    EXPECT_FALSE(prn.is_open());
    EXPECT_EQ(s.text().substr(0, 1), "[") << s.text();  // "[SQLSTATE] message"
  }
}

// Prices read backwards in key order from a position, as the item price lookup does:
// the latest blank-list, blank-customer price not after a day, skipping future ones.
TEST_P(SqlLayerTest, PricesReadBackwardsFromAPosition) {
  SqlTable prc(prices_decl());
  ASSERT_TRUE(prc.Open(backoffice()).ok());
  auto position = [&](const char* prin, const char* item) {
    prc.Clear();
    ASSERT_TRUE(prc.field("PRN_CODE").set(Value(prin)).ok());
    ASSERT_TRUE(prc.field("ITM_CODE").set(Value(item)).ok());
    ASSERT_TRUE(prc.field("START_DATE").set(Value(2147483647LL)).ok());
    ASSERT_TRUE(prc.SetKey("PRC1:BY_PRIN_LIST_ITEM").ok());
  };
  // Letter case of the position does not matter (NOCASE key).
  position("acme", "chkbrst-10");
  struct Want {
    int32_t start;
    const char* price;
    const char* range;
  } want[] = {{kFutureDay, "49", "1-9"}, {kDay2021, "42.5", "1-9"}, {kDay2019, "40", "1-9"}};
  for (const Want& w : want) {
    ASSERT_TRUE(prc.Previous().ok());
    EXPECT_EQ(clipped(prc, "ITM_CODE"), "CHKBRST-10");
    EXPECT_EQ(text(prc, "CST_CODE"), std::string(10, ' '));
    EXPECT_EQ(text(prc, "PRC_LIST_NBR"), std::string(16, ' '));
    EXPECT_EQ(number(prc, "START_DATE"), w.start);
    EXPECT_EQ(prc.field("PRICE1").get().number().Normalized().ToString(), w.price);
    EXPECT_EQ(clipped(prc, "BRACKET_ID1"), w.range);
  }
  Status s = prc.Previous();  // the next one down belongs to another item, or there is none
  if (s.ok()) {
    EXPECT_FALSE(clipped(prc, "ITM_CODE") == "CHKBRST-10" && clipped(prc, "PRN_CODE") == "ACME");
  }

  // Only a future blank price: the first row read back is that future one.
  position("ACME", "FUTUREONLY");
  ASSERT_TRUE(prc.Previous().ok());
  EXPECT_EQ(number(prc, "START_DATE"), kFutureDay);
  ASSERT_TRUE(prc.Previous().ok());
  EXPECT_NE(clipped(prc, "ITM_CODE"), "FUTUREONLY");

  // A position with a quote in it and non-ASCII text in the key.
  position("OKE'EFE", "OK-1");
  ASSERT_TRUE(prc.Previous().ok());
  EXPECT_EQ(clipped(prc, "PRN_CODE"), "OKE'EFE");
  position("CAFE", "CR\xc8ME-1");
  ASSERT_TRUE(prc.Previous().ok());
  EXPECT_EQ(clipped(prc, "ITM_CODE"), "CR\xc8ME-1");
}

// Reading the whole key order forwards and backwards, across many batches, gives every row
// exactly once, in the order the runtime's NOCASE comparison gives.
TEST_P(SqlLayerTest, KeyOrderPagesThroughTheWholeTable) {
  SqlTable prc(prices_decl());
  ASSERT_TRUE(prc.Open(backoffice()).ok());
  struct Key {
    std::string prn, list, item, cst;
    long long start, autoid;
  };
  std::vector<Key> all;
  ASSERT_TRUE(prc.Set().ok());
  while (prc.Next().ok()) {
    all.push_back({text(prc, "PRN_CODE"), text(prc, "PRC_LIST_NBR"), text(prc, "ITM_CODE"),
                   text(prc, "CST_CODE"), number(prc, "START_DATE"), number(prc, "AUTOID")});
  }
  ASSERT_GT(all.size(), 500u);
  std::sort(all.begin(), all.end(), [](const Key& a, const Key& b) {
    for (auto [x, y] : {std::pair{&a.prn, &b.prn}, std::pair{&a.list, &b.list},
                        std::pair{&a.item, &b.item}, std::pair{&a.cst, &b.cst}}) {
      int c = compare_clipped_nocase(*x, *y);
      if (c != 0) return c < 0;
    }
    return a.start < b.start;
  });
  std::vector<long long> expected;
  for (const Key& k : all) expected.push_back(k.autoid);

  prc.Clear();  // all blank and zero: before the first row
  ASSERT_TRUE(prc.SetKey("BY_PRIN_LIST_ITEM").ok());
  std::vector<long long> forward;
  while (prc.Next().ok()) forward.push_back(number(prc, "AUTOID"));
  EXPECT_EQ(forward, expected);

  prc.Clear();
  ASSERT_TRUE(prc.field("PRN_CODE").set(Value("\xff")).ok());  // after the last row
  ASSERT_TRUE(prc.SetKey("BY_PRIN_LIST_ITEM").ok());
  std::vector<long long> backward;
  while (prc.Previous().ok()) backward.push_back(number(prc, "AUTOID"));
  std::reverse(expected.begin(), expected.end());
  EXPECT_EQ(backward, expected);

  // A key with duplicates pages through its ties without losing or repeating a row.
  prc.Clear();
  ASSERT_TRUE(prc.SetKey("KEYPRN_ITM").ok());
  std::vector<long long> dup;
  while (prc.Next().ok()) dup.push_back(number(prc, "AUTOID"));
  std::sort(dup.begin(), dup.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dup, expected);
}

// The contact and terms statements: codes travel as bound parameters, so a code with a quote
// finds its row and a code built to alter the statement finds nothing.
TEST_P(SqlLayerTest, StatementsBindCodesAsParameters) {
  std::string conn = backoffice();
  SqlTable con(contacts_decl());
  ASSERT_TRUE(con.Open(conn).ok());
  const char* kContact =
      "select * from contacts where org_type='PR' and org_code=? and code=?";
  struct Case {
    const char* org;
    const char* code;
    const char* name;  // nullptr: no row
  } cases[] = {
      {"ACME      ", "JSMITH    ", "John Smith-Worthington III, Esq."},
      {"OKE'EFE   ", "PO'NEIL   ", "Patrick O'Neil"},
      {"CAFE", "ABLANC", "Am\xe9lie Blanc"},
      {"ACME3     ", "          ", nullptr},
      {"x' or '1'='1", "JSMITH", nullptr},
      {"ACME' --", "JSMITH", nullptr},
  };
  for (const Case& c : cases) {
    Value params[] = {Value(c.org), Value(c.code)};
    ASSERT_TRUE(con.Execute(kContact, params).ok()) << c.org;
    Status s = con.Next();
    if (c.name == nullptr) {
      EXPECT_EQ(s.code(), store::kRecordNotAvailable) << c.org << " found " << clipped(con, "NAME");
      continue;
    }
    ASSERT_TRUE(s.ok()) << c.org << ": " << s.ToString();
    EXPECT_EQ(clipped(con, "ORG_TYPE"), "PR");
    EXPECT_EQ(clipped(con, "NAME"), c.name);
    EXPECT_EQ(text(con, "EMAIL"), "") << "NULL e-mail";
  }
  // Nothing was changed by the attempts above: the table still has its rows.
  auto rows = con.connection()->Query("select count(*) from contacts where org_type=?",
                                      std::vector<Value>{Value("PR")});
  ASSERT_TRUE(rows.ok()) << rows.status().ToString();
  EXPECT_GT(std::stoi(*rows->rows.at(0).at(0)), 5);

  SqlTable cod(codedefs_decl());
  ASSERT_TRUE(cod.Open(conn).ok());
  const char* kTerms = "select * from codedefs where id='336' and value=?";
  struct Terms {
    long long code;
    const char* description;
  } terms[] = {{1, "Net 30 Days"}, {5, "Cash on Delivery Terms Apply"}, {99, nullptr}, {0, nullptr}};
  for (const Terms& t : terms) {
    // The terms code is a LONG written as text, as the statement compares it with text.
    Value params[] = {Value(Value(Decimal(t.code)).text())};
    ASSERT_TRUE(cod.Execute(kTerms, params).ok());
    Status s = cod.Next();
    if (t.description == nullptr) {
      EXPECT_EQ(s.code(), store::kRecordNotAvailable) << t.code;
    } else {
      ASSERT_TRUE(s.ok()) << t.code;
      EXPECT_EQ(clipped(cod, "DESCRIPTION"), t.description);
      EXPECT_EQ(clipped(cod, "ID"), "336");
    }
  }
}

// Raw statements report the driver's SQLSTATE; a failed statement leaves the table usable.
TEST_P(SqlLayerTest, FailedStatementReportsTheDriver) {
  SqlTable cod(codedefs_decl());
  ASSERT_TRUE(cod.Open(backoffice()).ok());
  Status s = cod.Execute("select * from no_such_table where x=?", std::vector<Value>{Value(1)});
  EXPECT_EQ(s.code(), store::kFileSystemError);
  EXPECT_FALSE(cod.diag().message.empty());
  EXPECT_EQ(cod.Next().code(), store::kRecordNotAvailable);
  ASSERT_TRUE(cod.Set().ok());
  EXPECT_TRUE(cod.Next().ok());
}

INSTANTIATE_TEST_SUITE_P(Backends, SqlLayerTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) {
                           return i.param ? "PostgreSQL" : "SQLite";
                         });

TEST(SqlTableDeclTest, RejectsInconsistentDeclarations) {
  const SqlColumnSpec ok_col[] = {{"A", FT::Long}};
  const SqlColumnSpec no_size[] = {{"A", FT::String, 0}};
  const SqlColumnSpec twice[] = {{"A", FT::Long}, {"a", FT::Long}};
  const SqlColumnSpec bad_dec[] = {{"A", FT::Decimal, 0, 2, 4}};
  const SqlKeySpec bad_key[] = {{"K", "A,B", 0}};
  EXPECT_TRUE(build_sql_table("T", "T", "T", ok_col).ok());
  EXPECT_EQ(build_sql_table("T", "T", "T", no_size).status().code(), store::kInvalidDeclaration);
  EXPECT_EQ(build_sql_table("T", "T", "T", twice).status().code(), store::kInvalidDeclaration);
  EXPECT_EQ(build_sql_table("T", "T", "T", bad_dec).status().code(), store::kInvalidDeclaration);
  EXPECT_EQ(build_sql_table("T", "T", "T", ok_col, bad_key).status().code(),
            store::kInvalidDeclaration);
  // Packed in declaration order: LONG 4, STRING(10) 10, DECIMAL(11,4) 6, CSTRING(101) 101.
  const SqlColumnSpec layout[] = {{"A", FT::Long},
                                  {"B", FT::String, 10},
                                  {"C", FT::Decimal, 0, 11, 4},
                                  {"D", FT::CString, 101}};
  auto d = build_sql_table("T", "T", "T", layout);
  ASSERT_TRUE(d.ok());
  EXPECT_EQ((*d)->record_size, 121u);
  EXPECT_EQ((*d)->columns[3].offset, 20u);
  EXPECT_EQ((*d)->find_column("t:c"), 2);
}

}  // namespace
}  // namespace tdx::sql
