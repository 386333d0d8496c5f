// Opening a data file: created when missing, a locked file retried with "Recover=10", a damaged
// key file rebuilt on request, and the fatal ends with their messages and halt texts.
#include "reports/framework/open_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "runtime/path/path.h"
#include "runtime/store/errors.h"
#include "tests/reports/framework/fileopen_fixture.h"

namespace tdx::reports {
namespace {

using namespace std::chrono_literals;
using testing::item_decl;
using testing::Ready;
using testing::ScriptedRun;
using testing::spawn;
using testing::wait_exit;

std::string full(const std::string& name) { return current_dir_short() + "/" + name; }

void make_file(const std::string& name, bool second_key = false, int records = 1) {
  std::remove(name.c_str());
  store::KeyedFile f(item_decl(name, second_key));
  ASSERT_TRUE(f.create().ok());
  ASSERT_TRUE(f.open().ok());
  for (int i = 0; i < records; ++i) {
    f.clear();
    ASSERT_TRUE(f.set_value("CODE", Value("C" + std::to_string(i))).ok());
    ASSERT_TRUE(f.add().ok());
  }
}

TEST(OpenFile, AMissingFileIsCreatedEmptyWithoutAQuestion) {
  std::remove("NEW.DAT");
  ScriptedRun run("");
  store::KeyedFile f(item_decl("NEW.DAT"));
  ASSERT_TRUE(open_file(f).ok());
  EXPECT_TRUE(f.is_open());
  EXPECT_EQ(f.mode().code(), store::kReadWriteDenyNone);
  EXPECT_EQ(*f.records(), 0);
  EXPECT_TRUE(run.halts.empty());
  EXPECT_TRUE(run.fe.finish().ok()) << run.transcript();
  // Opening it again while open is fine.
  EXPECT_TRUE(open_file(f).ok());
}

TEST(OpenFile, ADamagedKeyFileIsRebuiltOnYesAndEndsTheApplicationOnNo) {
  const std::string shown = "message \"Invalid Key\" [exclamation] \"" + full("KEYS.DAT") +
                            " key file is invalid.  Do you want to rebuild the key?\"";
  {
    make_file("KEYS.DAT", false, 3);
    ScriptedRun run("answer Yes");
    store::KeyedFile f(item_decl("KEYS.DAT", /*second_key=*/true));  // keys differ: damaged
    ASSERT_TRUE(open_file(f).ok());
    EXPECT_EQ(*f.records(), 3);
    EXPECT_EQ(f.find_key("BY_NAME"), 1);
    EXPECT_TRUE(run.shows(shown)) << run.transcript();
    EXPECT_TRUE(run.halts.empty());
  }
  {
    make_file("KEYS.DAT", false, 3);
    ScriptedRun run("answer No");
    store::KeyedFile f(item_decl("KEYS.DAT", true));
    EXPECT_EQ(open_file(f).code(), store::kInvalidKeyFile);
    EXPECT_FALSE(f.is_open());
    EXPECT_TRUE(run.shows(shown + " buttons \"&Yes|&No\" default 1 -> 2 \"&No\""));
    EXPECT_EQ(run.halts, std::vector<std::string>{"Invalid Key!"});
  }
}

TEST(OpenFile, FatalErrorsShowTheirMessageAndHaltText) {
  // A file of another record layout.
  make_file("OTHER.DAT");
  {
    ScriptedRun run("answer OK");
    store::KeyedFile f(item_decl("OTHER.DAT", false, 40));
    EXPECT_EQ(open_file(f).code(), store::kInvalidFile);
    EXPECT_TRUE(
        run.shows("message \"Invalid File\" [information] \"Error: (Invalid file (36)) "
                  "accessing " +
                  full("OTHER.DAT") + ".  Press OK to end this application.\""))
        << run.transcript();
    EXPECT_EQ(run.halts, std::vector<std::string>{"Invalid File!"});
  }
  // A file that cannot be created: the operating system's reason is shown.
  {
    ScriptedRun run("answer OK");
    store::KeyedFile f(item_decl("NO_SUCH_FOLDER/X.DAT"));
    EXPECT_FALSE(open_file(f).ok());
    EXPECT_TRUE(
        run.shows("message \"File Creation Error\" [information] \"Error: (No such file "
                  "or directory (2)) creating " +
                  full("NO_SUCH_FOLDER/X.DAT")))
        << run.transcript();
    EXPECT_EQ(run.halts, std::vector<std::string>{"File Creation Error!"});
  }
}

TEST(OpenFileDeathTest, AFatalErrorEndsTheProcessWithItsHaltText) {
  make_file("DEATH.DAT");
  EXPECT_EXIT(
      {
        ui::ScriptedFrontend fe;
        (void)fe.load("answer OK");
        ui::ScopedFrontend scope(&fe);
        store::KeyedFile f(item_decl("DEATH.DAT", false, 40));
        (void)open_file(f);
      },
      ::testing::ExitedWithCode(1), "Invalid File!");
}

// Another station holds the file exclusively for `hold`.
pid_t hold_exclusive(const std::string& name, std::chrono::milliseconds hold, Ready& ready) {
  return spawn([=, &ready] {
    store::KeyedFile f(item_decl(name));
    if (!f.open(store::OpenMode{store::Access::ReadWrite, store::Share::DenyAll}).ok()) return 1;
    ready.raise();
    std::this_thread::sleep_for(hold);
    f.close();
    return 0;
  });
}

TEST(OpenFile, ALockedFileIsOpenedAfterRecover) {
  make_file("LOCKED.DAT");
  Ready ready;
  pid_t other = hold_exclusive("LOCKED.DAT", 1500ms, ready);
  ready.wait();
  ScriptedRun run("");
  store::KeyedFile f(item_decl("LOCKED.DAT"));
  ASSERT_TRUE(f.send("LockWait=0").ok());  // the first open fails at once
  auto t0 = std::chrono::steady_clock::now();
  ASSERT_TRUE(open_file(f).ok());
  auto waited = std::chrono::steady_clock::now() - t0;
  // Only the recovery wait can have outlasted the other station's lock.
  EXPECT_GE(waited, 1000ms);
  EXPECT_LT(waited, 9000ms);
  EXPECT_EQ(*f.records(), 1);
  EXPECT_TRUE(run.fe.finish().ok()) << run.transcript();
  EXPECT_EQ(wait_exit(other), 0);
}

TEST(OpenFile, AFileStillLockedAfterRecoverEndsWithMessage30AndDiskError) {
  make_file("HELD.DAT");
  Ready ready;
  pid_t other = hold_exclusive("HELD.DAT", 13000ms, ready);
  ready.wait();
  ScriptedRun run("answer OK");
  store::KeyedFile f(item_decl("HELD.DAT"));
  ASSERT_TRUE(f.send("LockWait=0").ok());
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(open_file(f).code(), store::kFileLocked);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, 9500ms);  // "Recover=10" waited 10 seconds
  EXPECT_TRUE(run.shows("message \"File Access Error\" [information] \"File (" + full("HELD.DAT") +
                        ") could not be opened.  Error: File is locked "
                        "(32).\" buttons \"&OK\" default 1 -> 1"))
      << run.transcript();
  EXPECT_EQ(run.halts, std::vector<std::string>{"Disk Error"});
  kill(other, SIGKILL);
  wait_exit(other);
}

}  // namespace
}  // namespace tdx::reports
