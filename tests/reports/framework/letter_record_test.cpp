// Letter texts saved and deleted inside a transaction: two stations saving one letter, a lock
// held past the 2-second wait, and a delete.
#include "reports/framework/letter_record.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "data/letters.h"
#include "runtime/store/transaction.h"
#include "tests/reports/framework/fileopen_fixture.h"

namespace tdx::reports {
namespace {

using namespace std::chrono_literals;
using testing::Ready;
using testing::ScriptedRun;
using testing::spawn;
using testing::wait_exit;

// A fresh AWARDLTR with one letter.
void fresh_letter(const char* text) {
  std::remove(AWA::kFileName);
  store::KeyedFile f(AWA::Decl());
  ASSERT_TRUE(f.create().ok());
  ASSERT_TRUE(f.open().ok());
  f.clear();
  f.memo(AWA::LETTER_MEMO) = text;
  ASSERT_TRUE(f.add().ok());
}

// Opens the letter file and reads the letter as the letter window does (watched).
void read_letter(store::KeyedFile& f) {
  ASSERT_TRUE(f.open().ok());
  ASSERT_TRUE(f.set_file().ok());
  f.watch();
  ASSERT_TRUE(f.next().ok());
}

TEST(LetterRecord, TwoStationsSavingOneLetterGiveChangedByAnotherStation) {
  fresh_letter("original");
  ScriptedRun run("answer OK");
  store::KeyedFile mine(AWA::Decl());
  read_letter(mine);
  // The other station saves its text first.
  pid_t other = spawn([] {
    store::KeyedFile f(AWA::Decl());
    if (!f.open().ok() || !f.set_file().ok() || !f.next().ok()) return 1;
    f.memo(AWA::LETTER_MEMO) = "the other station's text";
    return update_letter(f) == kLetterDone ? 0 : 2;
  });
  ASSERT_EQ(wait_exit(other), 0);

  mine.memo(AWA::LETTER_MEMO) = "my text";
  EXPECT_EQ(update_letter(mine), kLetterChanged);
  EXPECT_TRUE(
      run.shows("message \"Update Operation Error\" [information] \"This record was "
                "changed by another station.\" buttons \"&OK\" default 1 -> 1"))
      << run.transcript();
  // The window now shows the other station's text, and nothing of mine was written.
  EXPECT_EQ(mine.memo(AWA::LETTER_MEMO), "the other station's text");
  EXPECT_FALSE(store::transaction_active());
  // Saving again writes over the version just shown.
  mine.memo(AWA::LETTER_MEMO) = "my text";
  EXPECT_EQ(update_letter(mine), kLetterDone);
  store::KeyedFile check(AWA::Decl());
  read_letter(check);
  EXPECT_EQ(check.memo(AWA::LETTER_MEMO), "my text");
  EXPECT_TRUE(run.fe.finish().ok()) << run.transcript();
}

TEST(LetterRecord, ALockHeldPastTheWaitCancelsTheTransaction) {
  fresh_letter("original");
  Ready ready;
  pid_t other = spawn([&ready] {
    store::KeyedFile f(AWA::Decl());
    if (!f.open().ok() || !store::logout(2s, {&f}).ok()) return 1;
    ready.raise();
    std::this_thread::sleep_for(5000ms);  // past both waits
    return store::commit().ok() ? 0 : 2;
  });
  ready.wait();
  ScriptedRun run("answer OK\nanswer OK");
  store::KeyedFile mine(AWA::Decl());
  read_letter(mine);
  mine.memo(AWA::LETTER_MEMO) = "my text";
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(update_letter(mine), kLetterFailed);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, 1900ms);
  EXPECT_TRUE(
      run.shows("message \"Transaction Framing Error\" [information] \"Error: (File is "
                "locked (32)) attempting to frame the update transaction on AWARDLTR.  "
                "Update transaction cancelled.\""))
      << run.transcript();
  EXPECT_EQ(delete_letter(mine), kLetterFailed);
  EXPECT_TRUE(run.shows("the delete transaction on AWARDLTR.  Delete transaction cancelled."));
  EXPECT_EQ(wait_exit(other), 0);
  store::KeyedFile check(AWA::Decl());
  read_letter(check);
  EXPECT_EQ(check.memo(AWA::LETTER_MEMO), "original");
}

TEST(LetterRecord, DeleteRemovesTheLetter) {
  fresh_letter("original");
  ScriptedRun run("");
  store::KeyedFile mine(AWA::Decl());
  read_letter(mine);
  EXPECT_EQ(delete_letter(mine), kLetterDone);
  EXPECT_EQ(*mine.records(), 0);
  // Nothing left to delete: message 17, code 1.
  ScriptedRun again("answer OK");
  EXPECT_EQ(delete_letter(mine), kLetterFailed);
  EXPECT_TRUE(
      again.shows("message \"Delete Operation Error\" [information] \"An error (Record "
                  "not available (33)) was experienced when attempting to delete a "
                  "record from the file AWARDLTR.\""))
      << again.transcript();
}

}  // namespace
}  // namespace tdx::reports
