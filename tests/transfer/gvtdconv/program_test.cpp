// The program as its user sees it, driven by a script in-process: the start and status windows,
// the question before adding to existing data, Cancel and No, the Items layout failure and a
// missing back-office table. The back office is the SQLite default GRANVEL.DB of the working
// directory (gvdbconn's built-in connection string).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "data/record_file.h"
#include "reports/framework/standard_messages.h"
#include "runtime/ui/scripted_frontend.h"
#include "tests/transfer/gvtdconv/transfer_fixture.h"
#include "transfer/gvtdconv/program.h"

namespace tdx::transfer {
namespace {

namespace fs = std::filesystem;

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sqltest::use_private_odbcinst();
    top_ = fs::current_path();
    fs::path dir = top_ / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
    std::string cmd = sqltest::generator() + " --sqlite GRANVEL.DB 2>/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }
  void TearDown() override {
    reports::set_halt_handler(nullptr);
    fs::current_path(top_);
  }
  // Runs the program with this script; returns the transcript. The script must be used whole.
  std::string run(const std::string& script) {
    ui::ScriptedFrontend fe;
    EXPECT_TRUE(fe.load(script).ok());
    {
      ui::ScopedFrontend scope(&fe);
      run_program();
    }
    EXPECT_TRUE(fe.finish().ok()) << fe.finish().text() << "\n" << fe.transcript();
    return fe.transcript();
  }
  void execute(const std::string& statement) {
    auto c = sql::SqlConnection::Connect("DRIVER=SQLite3;Database=" +
                                         (fs::current_path() / "GRANVEL.DB").string());
    ASSERT_TRUE(c.ok());
    ASSERT_TRUE((*c)->Execute(statement).ok()) << statement;
  }
  fs::path top_;
};

constexpr const char* kQuestion =
    "message \"Warning\" [question] \"Data already exists.  Continue?\" buttons \"&Yes|&No\" "
    "default 2";

TEST_F(ProgramTest, RunsOnceThenAsksBeforeAddingToExistingData) {
  EXPECT_EQ(run("press &Ok\n"),
            "window \"Xfer from Granvel\"\n"
            "  > press &Ok\n"
            "  window \"Xfer from Granvel\"\n"
            "  close \"Xfer from Granvel\"\n"
            "close \"Xfer from Granvel\"\n");
  testing::Catalog first = testing::catalog();
  EXPECT_FALSE(first["PRODUCT"].empty());
  EXPECT_FALSE(first["MDPRODS"].empty());

  // No: the files are closed untouched and the program ends.
  std::string t = run("press &Ok\nanswer No\n");
  EXPECT_NE(t.find(std::string(kQuestion) + " -> 2 \"&No\""), std::string::npos) << t;
  EXPECT_EQ(testing::catalog(), first);

  // Yes: a second run over unchanged data adds nothing.
  t = run("press &Ok\nanswer Yes\n");
  EXPECT_NE(t.find(std::string(kQuestion) + " -> 1 \"&Yes\""), std::string::npos) << t;
  EXPECT_EQ(testing::catalog(), first);
}

TEST_F(ProgramTest, CancelEndsWithoutTouchingAnyFile) {
  EXPECT_EQ(run("press &Cancel\n"),
            "window \"Xfer from Granvel\"\n"
            "  > press &Cancel\n"
            "close \"Xfer from Granvel\"\n");
  EXPECT_FALSE(fs::exists("PRODUCT.DAT"));
  EXPECT_FALSE(fs::exists("PrinMfr.tps"));
}

TEST_F(ProgramTest, OneCrossReferenceRecordIsEnoughToAsk) {
  {
    data::RecordFile<IPR::Record> ipr(IPR::Decl());
    ASSERT_TRUE(ipr.create().ok());
    ASSERT_TRUE(ipr.open().ok());
    ipr.clear();
    ipr.rec().PRNCODE = "X";
    ipr.rec().ITMCODE = "Y";
    ASSERT_TRUE(ipr.add().ok());
  }
  run("press &Ok\nanswer No\n");
  // The missing files were created empty by the opening, and stay empty.
  testing::Catalog c = testing::catalog();
  EXPECT_TRUE(fs::exists("MANUF.DAT"));
  EXPECT_TRUE(c["MANUF"].empty());
  EXPECT_EQ(c["ItmProd"].size(), 1u);
}

TEST_F(ProgramTest, ItemsInNeitherLayoutEndsWithFileError) {
  execute("DROP TABLE Items");
  std::string t = run("press &Ok\nanswer OK\n");
  EXPECT_NE(t.find("message \"File Error\" [exclamation] \"Error File not found opening Items\" "
                   "buttons \"&OK\" default 1 -> 1"),
            std::string::npos)
      << t;
  EXPECT_TRUE(testing::catalog()["MANUF"].empty());
}

TEST_F(ProgramTest, MissingBackOfficeTableIsReportedAndEndsTheProgram) {
  execute("DROP TABLE Contacts");
  std::string halted;
  reports::set_halt_handler([&](const std::string& text) { halted = text; });
  std::string t = run("press &Ok\nanswer OK\n");
  EXPECT_EQ(halted, "Disk Error");
  EXPECT_NE(t.find("message \"File Access Error\" [information] \"File (Contacts) could not be "
                   "opened.  Error: File not found (2).\""),
            std::string::npos)
      << t;
  // Contacts is opened second: nothing of the catalog was created.
  EXPECT_FALSE(fs::exists("CusDist.tps"));
}

}  // namespace
}  // namespace tdx::transfer
