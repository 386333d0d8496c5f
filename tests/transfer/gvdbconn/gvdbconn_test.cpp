// InitDBConnect: the connection string from GVDBCONN.INI or the built-in SQLite default, in
// buffers of the capacities the transfer program passes.
#include "transfer/gvdbconn/gvdbconn.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/sql/table.h"
#include "runtime/store/errors.h"
#include "runtime/text/str.h"
#include "tests/runtime/sql/backoffice_fixture.h"
#include "transfer/backoffice/tables.h"

extern "C" const char* __lsan_default_suppressions() { return "leak:psqlodbcw.so\n"; }

namespace {

namespace fs = std::filesystem;

struct Buffers {
  char b[7][129];  // one byte past the largest capacity shows an overrun
  static constexpr uint32_t kCap[7] = {17, 17, 128, 128, 17, 64, 15};
  Buffers() {
    for (auto& x : b) std::memset(x, '#', sizeof x);
  }
  void Init() {
    InitDBConnect(b[0], kCap[0], b[1], kCap[1], b[2], kCap[2], b[3], kCap[3], b[4], kCap[4], b[5],
                  kCap[5], b[6], kCap[6]);
  }
  std::string raw(int i) const { return std::string(b[i], kCap[i]); }
  std::string text(int i) const { return std::string(tdx::clip(raw(i))); }
};

// Each test works in a folder of its own, as the transfer program works in its own.
class GvdbconnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tdx::sqltest::use_private_odbcinst();
    old_ = fs::current_path();
    dir_ = fs::path(tdx::sqltest::workdir()) /
           ("gv_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    if (!short_dir_.empty()) fs::remove_all(short_dir_);
  }
  // Moves to a folder whose path is short enough for the full-path default.
  void UseShortFolder() {
    char tmpl[] = "/tmp/gvXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    short_dir_ = tmpl;
    fs::current_path(short_dir_);
  }
  void WriteIni(const std::string& body) { std::ofstream(dir_ / "GVDBCONN.INI") << body; }

  fs::path old_, dir_, short_dir_;
};

TEST_F(GvdbconnTest, DefaultIsTheSqliteFileBesideTheCatalog) {
  // A folder too deep for the full path in 128 characters gets the relative name.
  std::string deep = fs::current_path().string() + "/" + std::string(120, 'd');
  fs::create_directories(deep);
  fs::current_path(deep);
  Buffers deep_b;
  deep_b.Init();
  EXPECT_EQ(deep_b.text(3), "DRIVER=SQLite3;Database=./GRANVEL.DB");

  UseShortFolder();
  Buffers b;
  b.Init();
  std::string want = "DRIVER=SQLite3;Database=" + fs::current_path().string() + "/GRANVEL.DB";
  EXPECT_EQ(b.text(3), want);
  EXPECT_EQ(b.raw(3), want + std::string(128 - want.size(), ' ')) << "blank-padded, no overrun";
  EXPECT_EQ(b.text(0), "SQLite3");
  EXPECT_EQ(b.text(5), "");
  EXPECT_EQ(b.text(6), "GVDBCONN 1.0");
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(b.b[i][Buffers::kCap[i]], '#') << "buffer " << i + 1 << " written past its capacity";
  }

  // The default reaches a back office generated there.
  std::string cmd = tdx::sqltest::generator() + " --sqlite GRANVEL.DB 2>/dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  tdx::sql::SqlTable prn(tdx::transfer::principal_decl());
  EXPECT_TRUE(prn.Open(b.text(3)).ok());
}

TEST_F(GvdbconnTest, SettingsFileNamesTheConnection) {
  struct Case {
    std::string ini;
    std::string want;  // clipped fourth buffer
  } cases[] = {
      {"[Granvel]\nConnectionString=DRIVER=PostgreSQL Unicode;Server=db1;Database=granvel;"
       "Uid=bo;Pwd={a;b}\n",
       "DRIVER=PostgreSQL Unicode;Server=db1;Database=granvel;Uid=bo;Pwd={a;b}"},
      {"[granvel]\nconnectionstring = DRIVER=SQLite3;Database=/data/bo.db\n",
       "DRIVER=SQLite3;Database=/data/bo.db"},
      {"[Granvel]\nConnectionString=\n", ""},  // present but empty: no connection on purpose
      {"[Granvel]\nConnectionString=DRIVER=SQLite3;Database=/" + std::string(200, 'x') + "\n",
       "DRIVER=SQLite3;Database=/" + std::string(128 - 25, 'x')},  // cut at 128
  };
  for (const Case& c : cases) {
    WriteIni(c.ini);
    Buffers b;
    b.Init();
    EXPECT_EQ(b.text(3), c.want) << c.ini;
    EXPECT_EQ(b.text(5), "GVDBCONN.INI");
  }
  WriteIni("[Granvel]\nConnectionString=DRIVER=PostgreSQL Unicode;Server=db1;Uid=bo\n");
  Buffers b;
  b.Init();
  EXPECT_EQ(b.text(0), "PostgreSQL Unicod");  // 17 characters, cut
  EXPECT_EQ(b.text(1), "db1");
  EXPECT_EQ(b.text(4), "bo");
}

// No connection string, or one that does not connect: the first table open fails.
TEST_F(GvdbconnTest, NoConnectionFailsTheFirstOpen) {
  for (const char* ini : {"[Granvel]\nConnectionString=\n",
                          "[Granvel]\nConnectionString=DRIVER=SQLite3;Database=/no/such/dir/x.db\n"}) {
    WriteIni(ini);
    Buffers b;
    b.Init();
    tdx::sql::SqlTable codedefs(tdx::transfer::codedefs_decl());
    tdx::Status s = codedefs.Open(b.text(3));
    EXPECT_FALSE(s.ok()) << ini;
    EXPECT_FALSE(codedefs.is_open());
  }
  // No settings file and no GRANVEL.DB: the SQLite driver makes an empty database, which has
  // no tables, so the open reports the table as not found.
  UseShortFolder();
  Buffers b;
  b.Init();
  tdx::sql::SqlTable codedefs(tdx::transfer::codedefs_decl());
  EXPECT_EQ(codedefs.Open(b.text(3)).code(), tdx::store::kFileNotFound);
}

}  // namespace
