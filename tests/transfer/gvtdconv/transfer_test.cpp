// The five transfer steps against the generated back office, on SQLite and on PostgreSQL
// (through psqlODBC): the edge cases of names, items, prices, packs, addresses and repeated runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data/record_file.h"
#include "runtime/datetime/datetime.h"
#include "runtime/ui/scripted_frontend.h"
#include "tests/transfer/gvtdconv/transfer_fixture.h"
#include "transfer/gvtdconv/files.h"
#include "transfer/gvtdconv/steps.h"

extern "C" const char* __lsan_default_suppressions() { return "leak:psqlodbcw.so\n"; }

namespace tdx::transfer {
namespace {

namespace fs = std::filesystem;

// Counter readings after each step of one run.
struct StepCounts {
  long after[5] = {};
};

// Runs the five steps on the files of the working directory. No message may appear.
StepCounts run_steps(const std::string& connection, bool* older = nullptr) {
  ui::ScriptedFrontend fe;
  ui::ScopedFrontend scope(&fe);
  StepCounts c;
  TransferFiles files;
  EXPECT_TRUE(files.open_all(connection).ok());
  EXPECT_TRUE(files.open_items(connection).ok());
  if (older) *older = files.items_older();
  TransferSteps steps(files, nullptr, /*rows_per_commit=*/7);
  steps.set_today(make_date(6, 15, 2024));
  steps.principals_to_brands();
  c.after[0] = steps.counter();
  steps.customers_to_distributors();
  c.after[1] = steps.counter();
  steps.items_to_products();
  c.after[2] = steps.counter();
  steps.relations_to_mfrdist();
  c.after[3] = steps.counter();
  steps.customer_items_to_mdprods();
  c.after[4] = steps.counter();
  files.close_all();
  EXPECT_TRUE(fe.finish().ok()) << fe.finish().text() << "\n" << fe.transcript();
  return c;
}

std::string pad(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}

class TransferTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    sqltest::use_private_odbcinst();
    if (GetParam() && sqltest::pg_base().empty())
      GTEST_SKIP() << "no PostgreSQL server: TDX_PG_PORT, TDX_PG_USER, TDX_PG_PASSWORD and "
                      "TDX_PG_DB are not set (tools/test.sh starts one)";
    // Catalog files of a folder of their own, whichever cases one process runs.
    top_ = fs::current_path();
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name)
      if (c == '/') c = '_';
    fs::remove_all(top_ / name);
    fs::create_directories(top_ / name);
    fs::current_path(top_ / name);
  }
  void TearDown() override {
    if (!top_.empty()) fs::current_path(top_);
    sqltest::drop_backoffice(GetParam(), "current");
    sqltest::drop_backoffice(GetParam(), "older");
  }
  std::string backoffice(const std::string& layout) {
    std::string error;
    std::string conn = sqltest::make_backoffice(GetParam(), layout, &error);
    EXPECT_FALSE(conn.empty()) << error;
    Status s = testing::add_test_rows(conn);
    EXPECT_TRUE(s.ok()) << s.ToString();
    return conn;
  }
  fs::path top_;
};

TEST_P(TransferTest, FirstRunWritesTheCatalogByTheRules) {
  const std::string conn = backoffice("current");
  bool older = true;
  StepCounts first = run_steps(conn, &older);
  EXPECT_FALSE(older);

  data::RecordFile<PMF::Record> pmf(PMF::Decl());
  data::RecordFile<MAN::Record> man(MAN::Decl());
  data::RecordFile<PRD::Record> prd(PRD::Decl());
  data::RecordFile<IPR::Record> ipr(IPR::Decl());
  data::RecordFile<MDX::Record> mdx(MDX::Decl());
  for (store::KeyedFile* f : std::initializer_list<store::KeyedFile*>{&pmf, &man, &prd, &ipr, &mdx})
    ASSERT_TRUE(f->open().ok());

  // One name for three principals: the first keeps it, the second gets "1" in position 36,
  // the third is not transferred (and neither is its item).
  const std::string acme1 = pad("ACME FOODS", 35) + "1";
  struct Principal {
    const char* code;
    bool found;
    std::string brand;
  } principals[] = {
      {"ACME", true, "ACME FOODS"},       {"ACME2", true, acme1},
      {"ACME3", false, ""},               {"LOWER", true, "LOWER CASE CODE CO"},
      {"OKE'EFE", true, "O'KEEFE PROVISIONS"},
  };
  for (const Principal& p : principals) {
    pmf.rec().PRICODE = p.code;
    ASSERT_EQ(pmf.get(PMF::BYPRICODE).ok(), p.found) << p.code;
    if (p.found) {
      EXPECT_EQ(pmf.rec().MFRNAME.raw(), pad(p.brand, 36)) << p.code;
    }
  }
  EXPECT_EQ(*pmf.records(), first.after[0]);

  // Brands: the address join and its cut at 30, contact and terms looked up, blanks for none.
  struct Brand {
    std::string name, address, contact, terms, min_drop, brokerno;
  } brands[] = {
      {"ACME FOODS", "100 Main St", "John Smith-Worthington II", "Net 30 Days", "", "BRK0001"},
      {acme1, "200 Main St, Suite 5", "Mary Jones", "2% 10 Net 30", "", "BRK0002"},
      {"O'KEEFE PROVISIONS", "12 Harbor Blvd, Building 7, Lo", "Patrick O'Neil", "1% 15 Net 45",
       "", "BRK0004"},
      {"NULL ROW FOODS", "", "", "", "0", ""},
  };
  for (const Brand& b : brands) {
    man.rec().MANUF_NAME = b.name;
    ASSERT_TRUE(man.get(MAN::BY_MANUF).ok()) << b.name;
    EXPECT_EQ(man.rec().MANUF_NAME.raw(), pad(b.name, 36));
    EXPECT_EQ(man.rec().ADDRESS.str(), b.address) << b.name;
    EXPECT_EQ(man.rec().CONTACT1.str(), b.contact) << b.name;
    EXPECT_EQ(man.rec().TERMS.str(), b.terms) << b.name;
    if (!b.min_drop.empty()) {
      EXPECT_EQ(man.rec().MIN_DROP.str(), b.min_drop) << b.name;
    }
    EXPECT_EQ(man.rec().BROKERNO.str(), b.brokerno) << b.name;
  }

  // Products: bid items only ('Y' exactly, not discontinued), pack texts, the latest started
  // blank-list price, weights that fit or zero, one of two codes equal in 14 characters.
  struct Product {
    const char* code;
    bool present;
    const char* pack;
    const char* range1;
    const char* range3;
    const char* price1;
    const char* price3;
  } products[] = {
      {"CHKBRST-10", true, "6/10 LB", "1-9", "20+", "42.5", "42"},
      {"FUTUREONLY", true, "12/12.5 OZ", "", "", "0", "0"},
      {"NOPRICE", true, "100/12.5OZ", "", "", "0", "0"},
      {"LOWERBID", false, "", "", "", "", ""},
      {"DISCONT", false, "", "", "", "", ""},
      {"LONGCODE-ABCDE", true, "4/5 LB", "", "", "0", "0"},
      {"ORPHAN-1", false, "", "", "", "", ""},
  };
  for (const Product& p : products) {
    prd.rec().MANUFAC = "ACME FOODS";
    prd.rec().PROD_CODE = p.code;
    ASSERT_EQ(prd.get(PRD::BY_MAN_PRO).ok(), p.present) << p.code;
    if (!p.present) continue;
    EXPECT_EQ(prd.rec().PACK.str(), p.pack) << p.code;
    EXPECT_EQ(prd.rec().RANGE1.str(), p.range1) << p.code;
    EXPECT_EQ(prd.rec().RANGE3.str(), p.range3) << p.code;
    EXPECT_EQ(prd.rec().PRICE1.get().Normalized().ToString(), p.price1) << p.code;
    EXPECT_EQ(prd.rec().PRICE3.get().Normalized().ToString(), p.price3) << p.code;
  }
  ipr.rec().PRNCODE = "ACME";
  ipr.rec().ITMCODE = "LONGCODE-ABCDE2";
  EXPECT_FALSE(ipr.get(IPR::BYPRNCODECODE).ok());
  ipr.rec().ITMCODE = "LONGCODE-ABCDE1";
  ASSERT_TRUE(ipr.get(IPR::BYPRNCODECODE).ok());
  EXPECT_EQ(ipr.rec().PRDCODE.str(), "LONGCODE-ABCDE");
  EXPECT_EQ(ipr.rec().ITMPACK.get(), 4.0);

  prd.rec().MANUFAC = "ACME FOODS";
  prd.rec().PROD_CODE = "HEAVY-1";
  ASSERT_TRUE(prd.get(PRD::BY_MAN_PRO).ok());
  EXPECT_TRUE(prd.rec().GROSS_WT.get().is_zero()) << "123456.789 does not fit DECIMAL(7,2)";
  EXPECT_EQ(prd.rec().NET_WT.get().ToString(), "99999.99");
  EXPECT_EQ(prd.rec().PACK.str(), "1/2000 LB");
  EXPECT_EQ(prd.memo(PRD::EXTND_DESCR_MEMO), "1/2000 LB");
  EXPECT_EQ(*prd.records(), first.after[2] - first.after[1]);

  mdx.rec().MANUF_NAME = "ACME FOODS";
  mdx.rec().DISTRI_NAME = "SYSCO CENTRAL";
  ASSERT_TRUE(mdx.get(MDX::BY_MANUF_DST).ok());
  EXPECT_EQ(mdx.rec().MFR_DIST_ID.str(), "ACME-SYSC-VE");
  for (store::KeyedFile* f : std::initializer_list<store::KeyedFile*>{&pmf, &man, &prd, &ipr, &mdx})
    f->close();

  // A second run adds and counts nothing in steps 1-3 and counts every row again in 4 and 5.
  testing::Catalog before = testing::catalog();
  StepCounts second = run_steps(conn);
  EXPECT_EQ(second.after[2], 0);
  EXPECT_EQ(second.after[4], first.after[4] - first.after[2]);
  EXPECT_GT(second.after[3], 0);
  EXPECT_EQ(testing::catalog(), before);
}

TEST_P(TransferTest, OlderItemsLayoutTransfersTheSameWay) {
  const std::string conn = backoffice("older");
  bool older = false;
  run_steps(conn, &older);
  EXPECT_TRUE(older);
  data::RecordFile<PRD::Record> prd(PRD::Decl());
  ASSERT_TRUE(prd.open().ok());
  prd.rec().MANUFAC = "ACME FOODS";
  prd.rec().PROD_CODE = "CHKBRST-10";
  ASSERT_TRUE(prd.get(PRD::BY_MAN_PRO).ok());
  EXPECT_EQ(prd.rec().PACK.str(), "6/10 LB");
  EXPECT_EQ(prd.rec().PRICE1.get().Normalized().ToString(), "42.5");
  EXPECT_EQ(prd.rec().UPC_CODE.str().size(), 12u);
  prd.rec().PROD_CODE = "LOWERBID";
  EXPECT_FALSE(prd.get(PRD::BY_MAN_PRO).ok());
}

// The same back office read from SQLite and from PostgreSQL gives the same catalog.
TEST(TransferBackends, PostgreSQLGivesTheSameCatalogAsSQLite) {
  sqltest::use_private_odbcinst();
  if (sqltest::pg_base().empty())
    GTEST_SKIP() << "no PostgreSQL server (tools/test.sh starts one)";
  testing::Catalog result[2];
  const fs::path top = fs::current_path();
  for (int pg = 0; pg < 2; ++pg) {
    std::string error;
    std::string conn = sqltest::make_backoffice(pg == 1, "current", &error);
    ASSERT_FALSE(conn.empty()) << error;
    ASSERT_TRUE(testing::add_test_rows(conn).ok());
    fs::path dir = top / (pg ? "pg" : "sqlite");
    fs::create_directories(dir);
    fs::current_path(dir);
    run_steps(conn);
    result[pg] = testing::catalog();
    fs::current_path(top);
  }
  sqltest::drop_backoffice(true, "current");
  EXPECT_GT(result[0]["PRODUCT"].size(), 100u);
  for (const auto& [label, records] : result[0])
    EXPECT_EQ(records, result[1][label]) << label << " differs between SQLite and PostgreSQL";
}

INSTANTIATE_TEST_SUITE_P(Backends, TransferTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) {
                           return i.param ? "PostgreSQL" : "SQLite";
                         });

}  // namespace
}  // namespace tdx::transfer
