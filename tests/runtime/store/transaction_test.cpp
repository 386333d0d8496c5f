// Several stations at once: each test forks processes that use the same files, and kills
// writers with SIGKILL in the middle of transactions.
#include "runtime/store/transaction.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "runtime/store/errors.h"
#include "runtime/text/str.h"
#include "tests/runtime/store/store_fixture.h"

namespace tdx::store {
namespace {

using namespace std::chrono_literals;
using testing::item_decl;
using testing::kByCode;

// Runs `body` in a child process; its return value is the child's exit code.
template <typename F>
pid_t spawn(F body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  return pid;
}
int wait_exit(pid_t pid) {
  int st = 0;
  waitpid(pid, &st, 0);
  return WIFEXITED(st) ? WEXITSTATUS(st) : 100 + (WIFSIGNALED(st) ? WTERMSIG(st) : 0);
}

// A pipe one process writes a byte to when it is ready.
struct Signal {
  int fd[2];
  Signal() { EXPECT_EQ(pipe(fd), 0); }
  ~Signal() { close(fd[0]), close(fd[1]); }
  void raise() { (void)!write(fd[1], "x", 1); }
  void wait() {
    char c;
    (void)!read(fd[0], &c, 1);
  }
};

void fresh(const std::string& file, int records = 1) {
  std::remove(file.c_str());
  KeyedFile f(item_decl(file));
  ASSERT_TRUE(f.create().ok());
  ASSERT_TRUE(f.open().ok());
  for (int i = 0; i < records; ++i) {
    f.clear();
    ASSERT_TRUE(f.set_value("CODE", Value("R" + std::to_string(i))).ok());
    ASSERT_TRUE(f.set_value("NAME", Value(std::string(20, 'a'))).ok());
    f.memo(0) = std::string(100, 'a');
    ASSERT_TRUE(f.add().ok());
  }
}

bool get_code(KeyedFile& f, const char* code) {
  f.clear();
  return f.set_value("CODE", Value(code)).ok() && f.get(kByCode).ok();
}

TEST(Stations, ALockHeldLongerThanTheWaitFailsTheBegin) {
  fresh("LOCK.DAT");
  Signal ready;
  pid_t holder = spawn([&] {
    KeyedFile f(item_decl("LOCK.DAT"));
    if (!f.open().ok() || !logout(2s, {&f}).ok()) return 1;
    ready.raise();
    std::this_thread::sleep_for(3500ms);
    return commit().ok() ? 0 : 2;
  });
  ready.wait();
  KeyedFile f(item_decl("LOCK.DAT"));
  ASSERT_TRUE(f.open().ok());
  auto t0 = std::chrono::steady_clock::now();
  Status s = logout(2s, {&f});
  auto waited = std::chrono::steady_clock::now() - t0;
  EXPECT_EQ(s.code(), kFileLocked) << s.ToString();
  EXPECT_FALSE(transaction_active());
  EXPECT_GE(waited, 1900ms);
  EXPECT_LT(waited, 3400ms);
  EXPECT_EQ(wait_exit(holder), 0);
  // Once the other station has committed, the transaction begins.
  ASSERT_TRUE(logout(2s, {&f}).ok());
  ASSERT_TRUE(get_code(f, "R0"));
  ASSERT_TRUE(f.set_value("QTY", Value(5)).ok());
  ASSERT_TRUE(f.put().ok());
  ASSERT_TRUE(rollback().ok());
  ASSERT_TRUE(get_code(f, "R0"));
  EXPECT_EQ(f.get_value("QTY").text(), "0");  // rolled back
}

TEST(Stations, APutOverAnotherStationsChangeFailsAndTheOtherVersionIsReadable) {
  fresh("WATCH.DAT");
  KeyedFile f(item_decl("WATCH.DAT"));
  ASSERT_TRUE(f.open().ok());
  f.watch();
  ASSERT_TRUE(get_code(f, "R0"));
  Position pos = f.position();
  pid_t other = spawn([] {
    KeyedFile g(item_decl("WATCH.DAT"));
    if (!g.open().ok() || !get_code(g, "R0")) return 1;
    g.memo(0) = "the other station's text";
    return g.put().ok() ? 0 : 2;
  });
  ASSERT_EQ(wait_exit(other), 0);
  f.memo(0) = "my text";
  ASSERT_TRUE(logout(2s, {&f}).ok());
  Status s = f.put();
  EXPECT_EQ(s.code(), kChangedByOther) << s.ToString();
  EXPECT_EQ(last_error().text, s.text());
  ASSERT_TRUE(rollback().ok());
  f.watch();
  ASSERT_TRUE(f.reget(pos).ok());
  EXPECT_EQ(f.memo(0), "the other station's text");
  f.memo(0) = "my text";
  ASSERT_TRUE(f.put().ok());  // over the version just read: allowed
  ASSERT_TRUE(get_code(f, "R0"));
  EXPECT_EQ(f.memo(0), "my text");
}

TEST(Stations, TwoStationsAddingTheSameUniqueKeyStoreOne) {
  fresh("DUP.DAT", 0);
  Signal go;
  auto station = [&] {
    KeyedFile g(item_decl("DUP.DAT"));
    if (!g.open().ok()) return 1;
    g.clear();
    if (!g.set_value("CODE", Value("SAME")).ok()) return 1;
    go.wait();
    Status s = g.add();
    return s.ok() ? 0 : s.code() == kDuplicateKey ? 40 : 3;
  };
  pid_t a = spawn(station), b = spawn(station);
  go.raise();
  go.raise();
  int ra = wait_exit(a), rb = wait_exit(b);
  EXPECT_EQ(std::min(ra, rb), 0);
  EXPECT_EQ(std::max(ra, rb), 40);
  KeyedFile f(item_decl("DUP.DAT"));
  ASSERT_TRUE(f.open().ok());
  EXPECT_EQ(*f.records(), 1);
}

// A writer that rewrites whole records inside transactions forever, each round with a new
// letter in every byte of NAME and of the memo, over one or two files.
int endless_writer(const std::vector<std::string>& files) {
  std::vector<std::unique_ptr<KeyedFile>> fs;
  std::vector<KeyedFile*> list;
  for (const std::string& n : files) {
    fs.push_back(std::make_unique<KeyedFile>(item_decl(n)));
    if (!fs.back()->open().ok()) return 1;
    list.push_back(fs.back().get());
  }
  for (int round = 0;; ++round) {
    std::string letter(1, static_cast<char>('b' + round % 25));
    if (!logout(5s, list).ok()) return 2;
    for (KeyedFile* f : list) {
      if (!get_code(*f, "R0")) return 3;
      if (!f->set_value("NAME", Value(std::string(20, letter[0]))).ok()) return 4;
      f->memo(0) = std::string(100, letter[0]);
      if (!f->put().ok()) return 5;
    }
    if (!commit().ok()) return 6;
  }
}

// The letter of a file's record R0, or "" when the record is torn (NAME and memo disagree or
// are not all one letter).
std::string letter_of(const std::string& file) {
  KeyedFile f(item_decl(file));
  Status s = f.open();
  EXPECT_TRUE(s.ok()) << s.ToString();
  if (!s.ok() || !get_code(f, "R0")) return "";
  std::string name = f.get_value("NAME").text();
  if (name.size() != 20 || name != std::string(20, name[0])) return "";
  if (f.memo(0) != std::string(100, name[0])) return "";
  return name.substr(0, 1);
}

void kill_writers(const std::vector<std::string>& files, int kills) {
  for (const std::string& n : files) fresh(n);
  int progressed = 0;  // kills after which the writer had committed something
  for (int i = 0; i < kills; ++i) {
    pid_t w = spawn([&] { return endless_writer(files); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + (i * 37) % 90));
    kill(w, SIGKILL);
    EXPECT_EQ(wait_exit(w), 100 + SIGKILL) << "the writer stopped by itself";
    std::string first = letter_of(files[0]);
    EXPECT_NE(first, "") << "torn record after kill " << i;
    progressed += first != "a";
    for (size_t j = 1; j < files.size(); ++j)
      EXPECT_EQ(letter_of(files[j]), first) << "files disagree after kill " << i;
  }
  EXPECT_GT(progressed, 0) << "the writer never got to write";
  // The files are usable afterwards: a transaction begins and commits.
  std::vector<std::unique_ptr<KeyedFile>> fs;
  std::vector<KeyedFile*> list;
  for (const std::string& n : files) {
    fs.push_back(std::make_unique<KeyedFile>(item_decl(n)));
    ASSERT_TRUE(fs.back()->open().ok());
    list.push_back(fs.back().get());
  }
  ASSERT_TRUE(logout(2s, list).ok());
  ASSERT_TRUE(commit().ok());
}

TEST(Stations, AWriterKilledInsideATransactionLeavesOldOrNewRecord) {
  kill_writers({"KILL1.DAT"}, 20);
}

TEST(Stations, AWriterKilledInsideATransactionOverTwoFilesLeavesBothOrNeither) {
  kill_writers({"KILLA.DAT", "KILLB.DAT"}, 20);
}

TEST(Transactions, TwoFilesCommitTogetherAndRollBackTogether) {
  fresh("TA.DAT");
  fresh("TB.DAT");
  KeyedFile a(item_decl("TA.DAT")), b(item_decl("TB.DAT"));
  ASSERT_TRUE(a.open().ok());
  ASSERT_TRUE(b.open().ok());
  EXPECT_EQ(commit().code(), kTransactionActive);
  EXPECT_TRUE(rollback().ok());
  ASSERT_TRUE(logout(2s, {&a, &b}).ok());
  EXPECT_EQ(logout(2s, {&a}).code(), kTransactionActive);
  a.clear();
  ASSERT_TRUE(a.set_value("CODE", Value("NEW")).ok());
  ASSERT_TRUE(a.add().ok());
  ASSERT_TRUE(get_code(b, "R0"));
  ASSERT_TRUE(b.erase().ok());
  EXPECT_EQ(*b.records(), 0);  // the transaction sees its own changes
  ASSERT_TRUE(rollback().ok());
  EXPECT_EQ(*a.records(), 1);
  EXPECT_EQ(*b.records(), 1);
  ASSERT_TRUE(logout(2s, {&a, &b}).ok());
  a.clear();
  ASSERT_TRUE(a.set_value("CODE", Value("NEW")).ok());
  ASSERT_TRUE(a.add().ok());
  ASSERT_TRUE(get_code(b, "R0"));
  ASSERT_TRUE(b.erase().ok());
  ASSERT_TRUE(commit().ok());
  EXPECT_EQ(*a.records(), 2);
  EXPECT_EQ(*b.records(), 0);
  KeyedFile closed(item_decl("TA.DAT"));
  EXPECT_EQ(logout(2s, {&closed}).code(), kFileNotOpen);
}

TEST(Transactions, RecoverWaitsForALockLeftByAnInterruptedWriter) {
  fresh("REC.DAT");
  Signal ready;
  pid_t w = spawn([&] {
    KeyedFile f(item_decl("REC.DAT"));
    if (!f.open().ok() || !logout(2s, {&f}).ok() || !get_code(f, "R0")) return 1;
    f.memo(0) = "half done";
    if (!f.put().ok()) return 2;
    ready.raise();
    std::this_thread::sleep_for(1500ms);
    kill(getpid(), SIGKILL);  // interrupted with the lock held
    return 3;
  });
  ready.wait();
  KeyedFile f(item_decl("REC.DAT"));
  ASSERT_TRUE(f.send("LockWait=0").ok());
  ASSERT_TRUE(f.open().ok());
  ASSERT_TRUE(get_code(f, "R0"));  // readers are not blocked by a writer before its commit
  f.close();
  ASSERT_TRUE(f.send("Recover=10").ok());
  ASSERT_TRUE(f.open().ok());
  ASSERT_TRUE(logout(10s, {&f}).ok());  // waits for the writer to die, then recovers
  ASSERT_TRUE(commit().ok());
  EXPECT_EQ(wait_exit(w), 100 + SIGKILL);
  ASSERT_TRUE(get_code(f, "R0"));
  EXPECT_EQ(f.memo(0), std::string(100, 'a'));
}

}  // namespace
}  // namespace tdx::store
