// The standard messages: every number's caption, text, icon, buttons, default and answer, and
// the error description they show.
#include "reports/framework/standard_messages.h"

#include <gtest/gtest.h>

#include "runtime/store/errors.h"
#include "tests/reports/framework/fileopen_fixture.h"

namespace tdx::reports {
namespace {

using testing::ScriptedRun;

struct MessageCase {
  int number;
  const char* name;
  const char* extra;
  const char* answer;
  int returns;
  const char* shown;  // the transcript line without its answer
};

// The saved error every case shows: "File is locked (32)".
TEST(StandardMessages, EveryNumberShowsItsCaptionTextIconAndButtons) {
  const MessageCase cases[] = {
      {1, "/d/PRODUCT.DAT  ", "", "OK", 1,
       "message \"Invalid File\" [information] \"Error: (File is locked (32)) accessing "
       "/d/PRODUCT.DAT.  Press OK to end this application.\" buttons \"&OK\" default 1"},
      {2, "/d/PRODUCT.DAT", "", "No", 4,
       "message \"Invalid Key\" [exclamation] \"/d/PRODUCT.DAT key file is invalid.  Do you want "
       "to rebuild the key?\" buttons \"&Yes|&No\" default 1"},
      {2, "/d/PRODUCT.DAT", "", "Yes", 2, "buttons \"&Yes|&No\" default 1"},
      {3, "/d/MANUF.DAT", "", "OK", 1,
       "message \"Key Rebuild Error\" [information] \"Error: (File is locked (32)) repairing key "
       "for /d/MANUF.DAT.  Press OK to end this application.\" buttons \"&OK\" default 1"},
      {4, "/d/MANUF.DAT", "", "OK", 1,
       "message \"File Creation Error\" [information] \"Error: (File is locked (32)) creating "
       "/d/MANUF.DAT.  Press OK to end this application.\""},
      {5, "/d/MANUF.DAT", "", "OK", 1,
       "message \"File Creation Error\" [information] \"Error: (File is locked (32)) opening "
       "created file:/d/MANUF.DAT.  Press OK to end this application.\""},
      {14, "", "", "OK", 1,
       "message \"Record Insert Error\" [information] \"An error was experienced during the "
       "update of record.  Error: File is locked (32).\" buttons \"&OK\""},
      {15, "EXTPRLTR", "", "OK", 1,
       "message \"Update Operation Error\" [information] \"An error (File is locked (32)) was "
       "experienced when attempting to update a record from the file.  Probable Cause: "
       "EXTPRLTR.\" buttons \"&OK\""},
      {16, "", "", "Cancel", 64,
       "message \"Record Update Error\" [information] \"An error was experienced changing this "
       "record.  Do you want to try to save again?\" buttons \"&Yes|&No|Cancel\" default 3"},
      {16, "", "", "Yes", 2, "\"&Yes|&No|Cancel\" default 3"},
      {17, "AWARDLTR", "", "OK", 1,
       "message \"Delete Operation Error\" [information] \"An error (File is locked (32)) was "
       "experienced when attempting to delete a record from the file AWARDLTR.\""},
      {30, "/d/COMP.DAT", "", "OK", 1,
       "message \"File Access Error\" [information] \"File (/d/COMP.DAT) could not be opened.  "
       "Error: File is locked (32).\" buttons \"&OK\" default 1"},
      {33, "", "", "No", 4,
       "message \"Update Cancelled\" [exclamation] \"Do you want to save the changes to this "
       "record?\" buttons \"&Yes|&No|Cancel\" default 2"},
      {33, "", "", "Cancel", 64, "\"&Yes|&No|Cancel\" default 2"},
      {34, "Update", "AWARDLTR  ", "OK", 1,
       "message \"Transaction Framing Error\" [information] \"Error: (File is locked (32)) "
       "attempting to frame the update transaction on AWARDLTR.  Update transaction "
       "cancelled.\""},
      {35, "PRODUCT", "", "OK", 1,
       "message \"Record Retrieval Error\" [information] \"Error: (File is locked (32)) "
       "attempting to access a record from the PRODUCT file.  Returning to previous window.\""},
      {36, "", "", "OK", 1,
       "message \"View Open Error\" [information] \"Error: (File is locked (32)) attempting to "
       "open the current VIEW. Filter and Range Limits ignored.\""},
  };
  for (const MessageCase& c : cases) {
    ScriptedRun run(std::string("answer ") + c.answer);
    save_error(store::make_error(store::kFileLocked, "somewhere"));
    EXPECT_EQ(standard_message(c.number, c.name, c.extra), c.returns) << c.number;
    EXPECT_TRUE(run.shows(c.shown)) << c.number << "\n" << run.transcript();
    EXPECT_FALSE(saved_error().set) << "the message clears the saved error";
    EXPECT_TRUE(run.fe.finish().ok()) << run.fe.finish().ToString();
  }
}

TEST(StandardMessages, ChangedByAnotherStationHasItsOwnText) {
  ScriptedRun run("answer OK");
  save_error(store::make_error(store::kChangedByOther));
  standard_message(15, "EXTPRLTR");
  EXPECT_TRUE(
      run.shows("message \"Update Operation Error\" [information] \"This record was "
                "changed by another station.\" buttons \"&OK\""))
      << run.transcript();
}

TEST(StandardMessages, ErrorDescription) {
  struct Case {
    Status error;
    int os_code;
    const char* expected;
  };
  const Case cases[] = {
      // The store's fixed text, not the detail behind it.
      {store::make_error(store::kFileNotFound, "PRODUCT.DAT"), 0, "File not found (2)"},
      // The operating system's text and code where it refused.
      {store::make_error(store::kFileSystemError, "x"), 13, "Permission denied (13)"},
      // An error the store does not know keeps its own text, trimmed.
      {Status(801, "Unknown name PRD:NOPE  "), 0, "Unknown name PRD:NOPE (801)"},
  };
  for (const Case& c : cases) {
    save_error(c.error, c.os_code);
    if (c.os_code) {
      // The operating system's text comes from the store when it recorded the failure.
      clear_saved_error();
      (void)store::fail(c.error, c.os_code);
      save_error();
    }
    EXPECT_EQ(error_description(), c.expected);
    clear_saved_error();
  }
  // Without a saved error: the store's current error.
  (void)store::fail(store::make_error(store::kInvalidKeyFile, "MANUF.DAT"));
  EXPECT_EQ(error_description(), "Key file invalid (46)");
  store::clear_last_error();
}

TEST(StandardMessagesDeathTest, HaltShowsItsTextAndEndsTheProcessWithAnError) {
  EXPECT_EXIT(halt("Disk Error"), ::testing::ExitedWithCode(1), "Disk Error");
}

}  // namespace
}  // namespace tdx::reports
