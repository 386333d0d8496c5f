// The desktop frontend in-process, on Qt's offscreen platform: declared windows drawn from their
// data and driven by real key presses and clicks (the robot), message boxes, the lookup list,
// the calendar, the previewer and a timer-driven window that stays responsive.
#include "frontend/desktop/desktop_frontend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "runtime/datetime/datetime.h"
#include "runtime/report/wmf.h"
#include "runtime/text/str.h"
#include "runtime/ui/keyboard.h"
#include "runtime/ui/message_box.h"
#include "runtime/ui/progress_window.h"
#include "runtime/ui/window.h"

// Qt and fontconfig keep caches for the life of the process; they are not our leaks.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

namespace tdx::desktop {
namespace {

namespace fs = std::filesystem;
using ui::EventKind;
using ui::Key;
using ui::WindowBuilder;

class DesktopTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    auto r = DesktopFrontend::Create();
    if (!r.ok()) {
      why_ = r.status().text();
      return;
    }
    fe_ = std::move(*r).release();
  }
  static void TearDownTestSuite() {
    delete fe_;
    fe_ = nullptr;
  }
  void SetUp() override {
    if (!fe_) GTEST_SKIP() << "the desktop frontend cannot start here: " << why_;
    scope_ = std::make_unique<ui::ScopedFrontend>(fe_);
    fe_->set_robot_timeout_ms(10000);
  }
  void TearDown() override { scope_.reset(); }
  void robot(const std::string& text) { ASSERT_TRUE(fe_->load_robot(text).ok()); }
  void expect_finished() {
    Status s = fe_->finish();
    EXPECT_TRUE(s.ok()) << s.text();
  }
  static std::string shot(const std::string& name) {
    const char* dir = std::getenv("TDX_TEST_WORKDIR");
    return (fs::path(dir ? dir : ".") / name).string();
  }

  static inline DesktopFrontend* fe_ = nullptr;
  static inline std::string why_;
  std::unique_ptr<ui::ScopedFrontend> scope_;
};

ui::WindowDef options_def() {
  return WindowBuilder("Desk Options", 200, 100)
      .centred()
      .prompt("?BrandPrompt", "&Brand:", {5, 5, 40, 10})
      .entry("?Brand", "LOC:Brand", "@s20", {50, 5, 100, 10})
      .alert_key(Key::F2)
      .hint("Brand Name")
      .entry("?Qty", "LOC:Qty", "@n5", {50, 20, 40, 10})
      .check("?Detail", "&Detail", "LOC:Detail", {50, 35, 60, 10})
      .button("?Hidden", "Hidden", {5, 80, 40, 12})
      .hidden()
      .button("?Off", "Off", {50, 80, 40, 12})
      .disabled()
      .button("?Print", "&Print", {100, 80, 40, 12})
      .build();
}

struct OptionVars {
  Str<20> brand;
  int32_t qty = 0;
  int32_t detail = 0;
  void bind(ui::Window& w) {
    w.bind("LOC:Brand", VarRef::String(brand.data(), 20));
    w.bind("LOC:Qty", VarRef::Long(&qty));
    w.bind("LOC:Detail", VarRef::Long(&detail));
  }
};

// Runs the window, logging "kind label" of every event except Selected; Print logs the brand.
std::vector<std::string> run_logged(ui::Window& win, OptionVars& v) {
  std::vector<std::string> log;
  ui::Event ev;
  while (win.accept(ev)) {
    if (ev.is(EventKind::Selected) || ev.is(EventKind::OpenWindow)) {
      if (ev.is(EventKind::OpenWindow)) win.select_first();
      continue;
    }
    std::string l = ui::event_kind_name(ev.kind);
    if (!ev.label.empty()) l += " " + ev.label;
    if (ev.is(EventKind::AlertKey)) l += std::string(" ") + ui::key_name(ev.key);
    if (ev.is(EventKind::Accepted, "?Print")) l += " brand=" + std::string(clip(v.brand.str()));
    log.push_back(l);
  }
  return log;
}

TEST_F(DesktopTest, OptionWindowTakesTypedValuesKeysAndClicksInDeclaredOrder) {
  ui::Window win(options_def());
  OptionVars v;
  v.bind(win);
  ASSERT_TRUE(win.open().ok());
  // Tab moves in the declared order (Brand, Qty, Detail): leaving Brand lands on Qty, Tab from
  // there on the check box, which Space toggles. Hidden and disabled buttons take no click;
  // F2 is the entry's alert key; a number that does not fit is rejected; Esc closes.
  robot(R"(wait window "Desk Options"
shot )" +
        shot("options.png") + R"(
type ?Brand "Acme Foods"
key Tab
key Space
type ?Qty "1234"
click ?Off
click "&Print"
key F2 ?Brand
type ?Qty "abc"
key Esc
)");
  std::vector<std::string> log = run_logged(win, v);
  expect_finished();
  std::vector<std::string> want = {"accepted ?Brand",     "accepted ?Detail",
                                   "accepted ?Qty",       "accepted ?Print brand=Acme Foods",
                                   "alert-key ?Brand F2", "rejected ?Qty",
                                   "close-window"};
  EXPECT_EQ(log, want);
  EXPECT_EQ(v.qty, 1234);
  EXPECT_EQ(v.detail, 1);
  EXPECT_GT(fs::file_size(shot("options.png")), 1000u);
}

TEST_F(DesktopTest, MessageBoxAnswersTheButtonNumberAndEscPicksCancel) {
  struct Case {
    const char* robot;
    const char* buttons;
    int default_button;
    int want;
  } cases[] = {
      {"wait message Preview\nclick &No\n", "&Yes|&No|&Cancel", 1, 2},
      {"wait message Preview\nkey Esc\n", "&Yes|&No|&Cancel", 1, 3},
      {"wait message Preview\nkey Enter\n", "&No|&Yes", 2, 2},
      {"wait message Preview\nclick Ignore\n", "&No|&Yes|&Ignore", 1, 3},
  };
  for (const Case& c : cases) {
    robot(c.robot);
    int got = ui::message("Do you wish to PREVIEW this Report?", "Preview", ui::Icon::Question,
                          c.buttons, c.default_button);
    EXPECT_EQ(got, c.want) << c.robot;
    expect_finished();
  }
}

// A browse over a sorted list, as tdxcore's lookups answer: positioned at the first row >=
// the partial entry (case-blind), past the end at the last row.
struct FakeBrowse {
  std::vector<std::string> rows;
  std::string positioned(const std::string& p) const {
    auto up = [](std::string s) {
      for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      return s;
    };
    for (const auto& r : rows)
      if (up(r) >= up(p)) return r;
    return rows.empty() ? "" : rows.back();
  }
};

TEST_F(DesktopTest, LookupListsRowsInKeyOrderFromThePartialEntry) {
  FakeBrowse b;
  for (int i = 0; i < 250; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "BRAND %03d", i);
    b.rows.push_back(name);
  }
  b.rows.insert(b.rows.begin(), "ACME FOODS");
  ui::LookupRequest req;
  req.window = "MANUFCTRBROWSE";
  req.title = "Select a Manufacturer";
  req.positioned = [&](const std::string& p) { return b.positioned(p); };
  struct Case {
    std::string partial, robot, want;
    bool chosen;
  } cases[] = {
      {"ac", "wait lookup Manufacturer\nkey Enter\n", "ACME FOODS", true},
      {"brand 1", "wait lookup\nkey Down ?List\nclick Select\n", "BRAND 101", true},
      // Far down the list: rows are read in pages as the list moves.
      {"", "wait lookup\ntype ?Locate \"brand 24\"\nkey End ?List\nkey Enter\n", "BRAND 249", true},
      {"zzz", "wait lookup\nkey Enter\n", "BRAND 249", true},
      {"ac", "wait lookup\nclick Cancel\n", "", false},
  };
  for (const Case& c : cases) {
    req.partial = c.partial;
    robot(c.robot);
    ui::LookupAnswer a = ui::lookup(req);
    EXPECT_EQ(a.chosen, c.chosen) << c.robot;
    EXPECT_EQ(a.key, c.want) << c.robot;
    expect_finished();
  }
}

TEST_F(DesktopTest, CalendarStartsAtTheGivenDayAndCancelKeepsIt) {
  int32_t day = make_date(3, 15, 2024);
  robot("wait date\nkey Enter ?Ok\n");
  EXPECT_EQ(ui::select_date(day).day, day);
  robot("wait date\nclick ?Calendar\nkey Right ?Calendar\nclick ?Ok\n");
  ui::DateAnswer next = ui::select_date(day);
  EXPECT_TRUE(next.chosen);
  robot("wait date \"Select a Date\"\nclick Cancel\n");
  ui::DateAnswer a = ui::select_date(day);
  EXPECT_FALSE(a.chosen);
  EXPECT_EQ(a.day, day);
  expect_finished();
}

TEST_F(DesktopTest, PreviewShowsThePagesAndPrintAnswersPrint) {
  std::vector<std::string> pages;
  for (int i = 1; i <= 2; ++i) {
    report::Page page;
    report::TextRun t;
    t.x = 1000;
    t.y = 1000;
    t.text = "Bid Product Report page " + std::to_string(i);
    t.font.height = 200;
    page.items.push_back(t);
    std::string file = shot("page" + std::to_string(i) + ".wmf");
    ASSERT_TRUE(report::write_wmf_file(page, file).ok());
    pages.push_back(file);
  }
  ui::PreviewRequest req;
  req.title = "ProductListPrint";
  req.pages = pages;
  req.page_count = 2;
  robot("wait preview ProductListPrint\nclick ?Next\nshot " + shot("preview.png") +
        "\nclick &Print\n");
  EXPECT_EQ(ui::preview(req), ui::PreviewAnswer::Print);
  expect_finished();
  EXPECT_GT(fs::file_size(shot("preview.png")), 5000u);
  robot("wait preview\nkey Esc\n");
  EXPECT_EQ(ui::preview(req), ui::PreviewAnswer::Close);
  expect_finished();
}

TEST_F(DesktopTest, ProgressWindowKeepsTakingTimersAndCancelIsServedBetweenThem) {
  ui::ProgressWindow pw;
  ASSERT_TRUE(pw.open("Generating Report", "", "% Completed").ok());
  pw.set_total(1000000);
  robot("wait window \"Generating Report\"\npause 5\nshot " + shot("progress.png") +
        "\nclick Cancel\n");
  ui::clear_last_key();  // an Esc of an earlier window is not this run's
  long timers = 0;
  bool cancelled = false;
  ui::Event ev;
  while (pw.accept(ev)) {
    if (ev.is(EventKind::Timer)) {
      ++timers;
      for (int i = 0; i < 25; ++i) pw.record_read();
    }
    if (pw.is_cancel(ev)) {
      cancelled = true;
      pw.window().post(EventKind::CloseWindow);
    }
  }
  EXPECT_TRUE(cancelled);
  EXPECT_GT(timers, 5);
  EXPECT_GT(pw.processed(), 0);
  expect_finished();
  EXPECT_GT(fs::file_size(shot("progress.png")), 500u);
}

TEST_F(DesktopTest, RobotThatIsNotMetFailsTheRunInsteadOfHanging) {
  // A frontend of its own: a failed one stays failed.
  auto made = DesktopFrontend::Create();
  ASSERT_TRUE(made.ok()) << made.status().text();
  std::unique_ptr<DesktopFrontend> fe = std::move(*made);
  ui::ScopedFrontend scope(fe.get());
  fe->set_robot_timeout_ms(300);
  ASSERT_TRUE(fe->load_robot("wait message Nowhere\n").ok());
  ui::Window win(options_def());
  OptionVars v;
  v.bind(win);
  ASSERT_TRUE(win.open().ok());
  run_logged(win, v);
  EXPECT_FALSE(fe->status().ok());
  EXPECT_NE(fe->status().text().find("Nowhere"), std::string::npos);
  // Every later question gets its harmless answer at once.
  EXPECT_EQ(ui::message("text", "caption", ui::Icon::None, "&Yes|&No", 2), 2);
}

}  // namespace
}  // namespace tdx::desktop
