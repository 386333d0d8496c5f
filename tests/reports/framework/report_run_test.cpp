// The life of a report run on a small report: the preview question, empty selections, batches of
// 25 records per timer event, the cancel questions, Esc, display strings from the settings file,
// the working directory, use counters and the response.
#include "reports/framework/report_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "runtime/path/path.h"
#include "tests/reports/framework/run_fixture.h"

namespace tdx::reports {
namespace {

using testing::ItemList;
using testing::make_products;
using testing::Scripted;

class ReportRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    core::ResetGlobals();
    std::remove("TENDIX.INI");
  }
  void TearDown() override {
    EXPECT_EQ(PRODUCT::Used, 0);
    EXPECT_FALSE(PRODUCT::file.is_open());
  }
};

std::vector<int> batches(const ItemList& r) {
  std::vector<int> out;
  for (const auto& [event, n] : r.per_event) out.push_back(n);
  return out;
}

TEST_F(ReportRunTest, CancelAtThePreviewQuestionOpensNoFile) {
  std::remove("PRODUCT.DAT");
  Scripted user("answer Cancel");
  core::GlobalResponse = 0;
  ItemList r;
  EXPECT_EQ(r.run(), 2);
  EXPECT_EQ(core::GlobalResponse, 2);
  EXPECT_TRUE(
      user.shows("message \"Preview\" [exclamation] \"Do you wish to PREVIEW this "
                 "Report?\" buttons \"&Yes|&No|&Cancel\" default 1 -> 3"))
      << user.transcript();
  struct stat st;
  EXPECT_NE(stat("PRODUCT.DAT", &st), 0) << "the file was not even created";
  EXPECT_FALSE(user.shows("window"));
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
}

TEST_F(ReportRunTest, AnEmptySelectionSaysNothingToShowOnce) {
  struct Case {
    const char* answer;
    const char* shown;
  };
  const Case cases[] = {
      {"Yes", "message \"NOTE...\" [information] \"Nothing to Preview.\" buttons \"&Ok\""},
      {"No", "message \"NOTE...\" [information] \"Nothing to Print.\" buttons \"&Ok\""},
  };
  make_products(30);
  for (const Case& c : cases) {
    Glo::Manufac = "NOBODY";
    Scripted user(std::string("answer ") + c.answer + "\nanswer Ok");
    ItemList r;
    EXPECT_EQ(r.run(), 2);
    EXPECT_EQ(user.count("Nothing to"), 1) << user.transcript();
    EXPECT_TRUE(user.shows(c.shown)) << user.transcript();
    EXPECT_FALSE(r.state().report_opened);
    EXPECT_EQ(r.printed, 0);
    EXPECT_EQ(r.totals_printed, 0);
    EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
  }
}

TEST_F(ReportRunTest, AnEmptyFileCompletesWithoutDividingByZero) {
  make_products(0);
  Scripted user("answer Yes\nanswer Ok");
  ItemList r;
  EXPECT_EQ(r.run(), 2);
  EXPECT_EQ(r.state().records_to_process, 0);
  EXPECT_TRUE(user.shows("Nothing to Preview."));
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
}

TEST_F(ReportRunTest, ARunReadsTwentyFiveRecordsPerTimerEventAndPreviews) {
  make_products(60);
  Scripted user("answer Yes\npreview print");
  ItemList r;
  EXPECT_EQ(r.run(), 1);
  EXPECT_EQ(batches(r), (std::vector<int>{25, 25, 10}));
  EXPECT_EQ(r.totals_printed, 1);
  EXPECT_EQ(r.TTLRECCOUNT, 60);
  EXPECT_EQ(r.state().records_processed, 60);
  EXPECT_TRUE(user.shows("window \"Generating Report\"")) << user.transcript();
  // Ten products a page and the total: seven pages.
  EXPECT_TRUE(user.shows("preview \"ItemList\" 7 pages")) << user.transcript();
  EXPECT_TRUE(user.shows("print \"ItemList\" 7 pages"));
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
}

TEST_F(ReportRunTest, ThePrintPathAndAPreviewClosedWithoutPrinting) {
  make_products(12);
  {
    Scripted user("answer No");
    ItemList r;
    EXPECT_EQ(r.run(), 1);
    EXPECT_TRUE(user.shows("window \"Printing Report\"")) << user.transcript();
    EXPECT_TRUE(user.shows("print \"ItemList\" 2 pages")) << user.transcript();
    EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
  }
  {
    Scripted user("answer Yes\npreview close");
    ItemList r;
    EXPECT_EQ(r.run(), 2);
    EXPECT_FALSE(user.shows("print \""));
    EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
  }
}

TEST_F(ReportRunTest, TheBrandSelectionFiltersTheView) {
  make_products(5, "ACME");
  ASSERT_TRUE(PRODUCT::file.open().ok());
  PRODUCT::file.clear();
  PRODUCT::rec().MANUFAC = "ZETA";
  PRODUCT::rec().PROD_CODE = "Z1";
  ASSERT_TRUE(PRODUCT::file.add().ok());
  PRODUCT::file.close();
  Glo::Manufac = "ZETA";
  Scripted user("answer Yes\npreview close");
  ItemList r;
  r.run();
  EXPECT_EQ(r.printed, 1);
  EXPECT_EQ(r.state().filter, "PRD:MANUFAC = Glo:Manufac");
  EXPECT_EQ(r.state().records_to_process, 6);
}

TEST_F(ReportRunTest, CancelThenNoCarriesOnWithTwentyFiveRecordsPerEvent) {
  make_products(60);
  Scripted user("answer Yes\ntimers 1\npress Cancel\nanswer No\npreview close");
  ItemList r;
  r.run();
  EXPECT_TRUE(
      user.shows("message \"Question\" [exclamation] \"Are you sure you want to CANCEL "
                 "this Report?\" buttons \"&No|&Yes\" default 1 -> 1"))
      << user.transcript();
  EXPECT_EQ(batches(r), (std::vector<int>{25, 25, 10}));
  EXPECT_TRUE(user.shows("preview \"ItemList\" 7 pages")) << user.transcript();
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
}

TEST_F(ReportRunTest, CancelYesIgnoreCarriesOnWithOneRecordPerEvent) {
  make_products(40);
  Scripted user("answer Yes\ntimers 1\npress Cancel\nanswer Yes\nanswer Ignore\npreview close");
  ItemList r;
  r.run();
  EXPECT_TRUE(
      user.shows("message \"Question\" [exclamation] \"Report Cancellation Requested!"
                 "||Preview Report generated so far?\" buttons \"&No|&Yes|&Ignore\" "
                 "default 1 -> 3"))
      << user.transcript();
  std::vector<int> expected = {25};
  expected.insert(expected.end(), 15, 1);
  EXPECT_EQ(batches(r), expected);
  EXPECT_EQ(r.state().records_per_cycle, 1);
  // It ends normally: every product and the total, previewed.
  EXPECT_EQ(r.TTLRECCOUNT, 40);
  EXPECT_TRUE(user.shows("preview \"ItemList\" 5 pages")) << user.transcript();
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
}

TEST_F(ReportRunTest, CancelYesYesPreviewsThePagesMadeSoFar) {
  make_products(60);
  Scripted user("answer Yes\ntimers 1\npress Cancel\nanswer Yes\nanswer Yes\npreview print");
  ItemList r;
  EXPECT_EQ(r.run(), 1);
  EXPECT_TRUE(r.state().partial_preview);
  EXPECT_EQ(r.printed, 25);
  EXPECT_EQ(r.totals_printed, 1);  // the closing totals of what was printed
  // Two full pages, then five products and the total.
  EXPECT_TRUE(user.shows("preview \"ItemList\" 3 pages")) << user.transcript();
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
}

TEST_F(ReportRunTest, CancelYesNoShowsNothing) {
  make_products(60);
  Scripted user("answer Yes\ntimers 1\npress Cancel\nanswer Yes\nanswer No");
  ItemList r;
  EXPECT_EQ(r.run(), 2);
  EXPECT_EQ(r.printed, 25);
  EXPECT_FALSE(user.shows("preview \""));
  EXPECT_FALSE(user.shows("Nothing to"));
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
}

TEST_F(ReportRunTest, EscIsCancel) {
  make_products(60);
  {
    Scripted user("answer Yes\ntimers 1\nkey Esc\nanswer No\npreview close");
    ItemList r;
    r.run();
    EXPECT_EQ(user.count("Are you sure you want to CANCEL"), 1) << user.transcript();
    EXPECT_EQ(batches(r), (std::vector<int>{25, 25, 10}));
    EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
  }
  {
    Scripted user("answer No\ntimers 1\nkey Esc\nanswer Yes");
    ItemList r;
    EXPECT_EQ(r.run(), 2);
    // Printing has no partial preview: the run ends at once.
    EXPECT_EQ(r.printed, 25);
    EXPECT_FALSE(user.shows("Preview Report generated so far?"));
    EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
  }
}

TEST_F(ReportRunTest, ASettingsValueOverridesADisplayString) {
  make_products(3);
  std::ofstream("TENDIX.INI") << "[DISPLAY STRINGS 2.0]\nAskPrvwDialogText=Look first?\n"
                                 "ProgWinTitlePrvw=Working\n";
  Scripted user("answer Yes\npreview close");
  ItemList r;
  r.run();
  EXPECT_TRUE(user.shows("message \"Preview\" [exclamation] \"Look first?\"")) << user.transcript();
  EXPECT_TRUE(user.shows("window \"Working\""));
  std::remove("TENDIX.INI");
}

TEST_F(ReportRunTest, TheWorkingDirectoryChangedDuringTheRunIsRestored) {
  make_products(3);
  mkdir("elsewhere", 0755);
  const std::string before = current_dir_short();
  Scripted user("answer Yes\npreview close");
  ItemList r;
  r.on_count = [] { (void)change_dir("elsewhere"); };
  r.run();
  EXPECT_NE(r.state().initial_dir, "");
  EXPECT_EQ(current_dir_short(), before);
}

TEST_F(ReportRunTest, AFileAlreadyInUseStaysOpenForItsOtherUser) {
  make_products(3);
  ASSERT_TRUE(PRODUCT::file.open().ok());
  PRODUCT::Used = 1;  // the option window's use
  Scripted user("answer Yes\npreview close");
  ItemList r;
  r.run();
  EXPECT_EQ(PRODUCT::Used, 1);
  EXPECT_TRUE(PRODUCT::file.is_open());
  PRODUCT::Used = 0;
  PRODUCT::file.close();
}

TEST_F(ReportRunTest, AMissingFileIsCreatedAndTheRunSaysNothingToPreview) {
  std::remove("PRODUCT.DAT");
  Scripted user("answer Yes\nanswer Ok");
  ItemList r;
  EXPECT_EQ(r.run(), 2);
  struct stat st;
  EXPECT_EQ(stat("PRODUCT.DAT", &st), 0);
  EXPECT_EQ(user.count("Nothing to Preview."), 1);
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
}

TEST_F(ReportRunTest, AFilterErrorShowsMessage36AndTheRunGoesOnUnfiltered) {
  make_products(4);
  Scripted user("answer Yes\nanswer OK\npreview close");
  ItemList r;
  r.bad_filter = true;
  r.run();
  EXPECT_TRUE(user.shows("message \"View Open Error\" [information] \"Error: ("))
      << user.transcript();
  EXPECT_TRUE(user.shows("attempting to open the current VIEW. Filter and Range Limits ignored."));
  EXPECT_EQ(r.printed, 4);
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
}

TEST_F(ReportRunTest, TheFrameOfBoundNamesIsReleased) {
  make_products(2);
  const size_t depth = BoundNames::global().depth();
  Scripted user("answer Yes\npreview close");
  ItemList r;
  r.run();
  EXPECT_EQ(BoundNames::global().depth(), depth);
  EXPECT_EQ(BoundNames::global().find("PRD:PROD_CODE"), nullptr);
}

}  // namespace
}  // namespace tdx::reports
