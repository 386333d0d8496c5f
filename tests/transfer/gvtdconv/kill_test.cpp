// The gvtdconv program as a process: killed (SIGKILL) at random points and run again, it ends
// with the catalog and cross references of an uninterrupted run; and it reads a PostgreSQL back
// office named in GVDBCONN.INI and writes the same catalog as from SQLite.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "tests/transfer/gvtdconv/transfer_fixture.h"

namespace tdx::transfer {
namespace {

namespace fs = std::filesystem;

// Starts gvtdconv in `dir` with `script`; kills it after `kill_after` unless it ends first.
// Returns the exit status, or -1 when it was killed.
int run_gvtdconv(const fs::path& dir, const std::string& script,
                 std::chrono::microseconds kill_after = std::chrono::microseconds::zero()) {
  {
    std::ofstream(dir / "script.txt") << script;
  }
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    setenv("TDX_SCRIPT", "script.txt", 1);
    setenv("TDX_OUT", "transcript.txt", 1);
    FILE* null = std::freopen("/dev/null", "w", stdout);
    (void)null;
    execl(TDX_GVTDCONV, "gvtdconv", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (kill_after.count() > 0) {
    const auto deadline = std::chrono::steady_clock::now() + kill_after;
    while (std::chrono::steady_clock::now() < deadline) {
      if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? -1 : WEXITSTATUS(status);
  }
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

testing::Catalog catalog_in(const fs::path& dir) {
  const fs::path here = fs::current_path();
  fs::current_path(dir);
  testing::Catalog c = testing::catalog();
  fs::current_path(here);
  return c;
}

bool has_data(const fs::path& dir) {
  for (const auto& [label, records] : catalog_in(dir))
    if (!records.empty()) return true;
  return false;
}

// Runs to the end, answering the question when the files hold data.
void complete_run(const fs::path& dir) {
  std::string script = has_data(dir) ? "press &Ok\nanswer Yes\n" : "press &Ok\n";
  ASSERT_EQ(run_gvtdconv(dir, script), 0) << "in " << dir;
}

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sqltest::use_private_odbcinst();
    top_ = fs::current_path() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(top_);
    fs::create_directories(top_);
  }
  // A folder of its own with GRANVEL.DB standing for the shared back office.
  fs::path folder(const std::string& name, const fs::path& backoffice) {
    fs::path dir = top_ / name;
    fs::create_directories(dir);
    fs::create_symlink(backoffice, dir / "GRANVEL.DB");
    return dir;
  }
  fs::path top_;
};

TEST_F(ProcessTest, KilledAnywhereAndRunAgainEndsAsAnUninterruptedRun) {
  const fs::path bo = top_ / "bo.db";
  std::string cmd = sqltest::generator() + " --sqlite '" + bo.string() + "' 2>/dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  ASSERT_TRUE(testing::add_test_rows("DRIVER=SQLite3;Database=" + bo.string()).ok());

  const fs::path ref = folder("uninterrupted", bo);
  const auto start = std::chrono::steady_clock::now();
  complete_run(ref);
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  const testing::Catalog want = catalog_in(ref);
  ASSERT_FALSE(want.at("PRODUCT").empty());

  std::mt19937 rng(::testing::UnitTest::GetInstance()->random_seed());
  std::uniform_int_distribution<long> when(1, took.count());
  int killed = 0;
  for (int i = 0; i < 12; ++i) {
    const fs::path dir = folder("run" + std::to_string(i), bo);
    const auto at = std::chrono::microseconds(when(rng));
    // Interrupted runs on top of each other, then one that goes through.
    if (run_gvtdconv(dir, "press &Ok\n", at) == -1) ++killed;
    if (i % 3 == 2 && run_gvtdconv(dir, has_data(dir) ? "press &Ok\nanswer Yes\n" : "press &Ok\n",
                                   at / 2) == -1)
      ++killed;
    complete_run(dir);
    testing::Catalog got = catalog_in(dir);
    for (const auto& [label, records] : want)
      ASSERT_EQ(got[label], records) << label << " differs after a kill at " << at.count()
                                     << " us (run " << i << ")";
  }
  EXPECT_GT(killed, 6) << "most runs should have been killed before they ended";
}

TEST_F(ProcessTest, ReadsPostgreSQLNamedInItsSettingsFile) {
  if (sqltest::pg_base().empty())
    GTEST_SKIP() << "no PostgreSQL server: TDX_PG_PORT, TDX_PG_USER, TDX_PG_PASSWORD and "
                    "TDX_PG_DB are not set (tools/test.sh starts one)";
  // The same generated back office on both databases.
  const fs::path bo = top_ / "bo.db";
  std::string cmd = sqltest::generator() + " --sqlite '" + bo.string() + "' 2>/dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  ASSERT_TRUE(testing::add_test_rows("DRIVER=SQLite3;Database=" + bo.string()).ok());
  std::string error;
  std::string conn = sqltest::make_backoffice(true, "current", &error);
  ASSERT_FALSE(conn.empty()) << error;
  ASSERT_TRUE(testing::add_test_rows(conn).ok());
  // A connection string holds at most 128 characters: give the schema a short name.
  const std::string schema = "g" + std::to_string(getpid());
  {
    auto admin = sql::SqlConnection::Connect(sqltest::pg_base());
    ASSERT_TRUE(admin.ok());
    (void)(*admin)->Execute("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
    ASSERT_TRUE((*admin)
                    ->Execute("ALTER SCHEMA tdx_bo_" + std::to_string(getpid()) +
                              "_current RENAME TO " + schema)
                    .ok());
  }
  const std::string pg = sqltest::pg_base() + ";ConnSettings={SET search_path TO " + schema + "}";
  ASSERT_LE(pg.size(), 128u) << pg;

  const fs::path lite = folder("sqlite", bo);
  complete_run(lite);
  const fs::path dir = top_ / "postgresql";
  fs::create_directories(dir);
  std::ofstream(dir / "GVDBCONN.INI") << "[Granvel]\nConnectionString=" << pg << "\n";
  complete_run(dir);
  {
    auto admin = sql::SqlConnection::Connect(sqltest::pg_base());
    if (admin.ok()) (void)(*admin)->Execute("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
  }
  const testing::Catalog want = catalog_in(lite);
  const testing::Catalog got = catalog_in(dir);
  EXPECT_FALSE(want.at("MDPRODS").empty());
  for (const auto& [label, records] : want)
    EXPECT_EQ(got.at(label), records) << label << " differs between SQLite and PostgreSQL";
}

}  // namespace
}  // namespace tdx::transfer
