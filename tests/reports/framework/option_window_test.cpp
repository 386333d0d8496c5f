// The common behaviour of option windows, on a small window declared here: globals reset and
// normalised at opening, lookups of name fields (partial entries, 14 characters, F2, cancelled
// lookups keeping the focus), the calendar, brand wording, the check before printing, Print
// running the report with the window staying open, Cancel.
#include "reports/framework/option_window.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/files.h"
#include "core/globals.h"
#include "runtime/ui/window_def.h"
#include "tests/reports/framework/run_fixture.h"

namespace tdx::reports {
namespace {

using testing::ItemList;
using testing::make_products;
using testing::Scripted;

class ItemOptions : public OptionWindow {
 public:
  bool brand_required = false;
  bool checks_names = false;
  bool resets = true;
  std::vector<std::string> printed_with;  // Glo:Manufac at each Print
  int prints = 0;

 protected:
  ui::WindowDef window_def() override {
    using ui::Key;
    auto b = ui::WindowBuilder("Item Options", 200, 100);
    b.centred()
        .prompt("?BrandPrompt", "Manufacturer:", {5, 5})
        .entry("?Glo:Manufac", "Glo:Manufac", "@s36", {60, 5, 120, 10})
        .hint("Manufacturer Name")
        .alert_key(Key::F2);
    if (brand_required) b.required();
    b.prompt("", "Distributor:", {5, 20})
        .entry("?Glo:Distributor", "Glo:Distributor", "@s36", {60, 20, 120, 10})
        .alert_key(Key::F2)
        .prompt("", "From:", {5, 35})
        .entry("?BeginDate1", "BeginDate1", "@d2", {60, 35, 50, 10})
        .alert_key(Key::F2)
        .button("?Print", "&Print", {60, 80, 40, 12})
        .button("?Cancel", "Cancel", {110, 80, 40, 12});
    return b.build();
  }
  void bind(ui::Window& w) override {
    w.bind("Glo:Manufac", VarRef::String(Glo::Manufac.data(), 36));
    w.bind("Glo:Distributor", VarRef::String(Glo::Distributor.data(), 36));
    w.bind("BeginDate1", VarRef::Long(&core::BeginDate1));
  }
  void reset_globals() override {
    if (resets) reset_selection_globals();
  }
  std::vector<LookupField> lookup_fields() override {
    return {{"?Glo:Manufac", brand_lookup(), brand_required, true, false},
            {"?Glo:Distributor", distributor_lookup(), false, true, false}};
  }
  std::vector<DateField> date_fields() override { return {{"?BeginDate1", &core::BeginDate1}}; }
  void brand_wording(ui::Window& w) override {
    w.set_text("?BrandPrompt", "Brand:");
    brand_entry_wording(w, "?Glo:Manufac");
  }
  bool check_before_printing() override { return !checks_names || check_selection_names(); }
  void print(ui::Window&) override {
    ++prints;
    printed_with.push_back(std::string(Glo::Manufac.data(), 36));
    ItemList report;
    report.run();
  }
};

void add_brand(const char* name) {
  MANUF::file.clear();
  MANUF::rec().MANUF_NAME = name;
  ASSERT_TRUE(MANUF::file.add().ok());
}

class OptionWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    core::ResetGlobals();
    std::remove("TENDIX.INI");
    std::remove("MANUF.DAT");
    std::remove("DISTRI.DAT");
    ASSERT_TRUE(MANUF::file.create().ok());
    ASSERT_TRUE(MANUF::file.open().ok());
    add_brand("ACME FOODS");
    add_brand("ZETA FARMS");
    add_brand("ABCDEFGHIJKLMNOPQRST");
    MANUF::file.close();
    make_products(3, "ACME FOODS");
  }
  void TearDown() override {
    EXPECT_EQ(MANUF::Used, 0);
    EXPECT_EQ(DISTRI::Used, 0);
    EXPECT_FALSE(MANUF::file.is_open());
  }
};

TEST_F(OptionWindowTest, OpeningResetsTheSelectionAndCancelCloses) {
  Glo::Manufac = "ACME FOODS";
  Glo::BID_ID = "B1";
  core::Landscape = 1;
  GLO::SalesRep = "KEPT";  // not on the common list
  Scripted user("expect ?Glo:Manufac \"\"\npress Cancel");
  ItemOptions w;
  EXPECT_EQ(w.run(), 2);
  EXPECT_TRUE(Glo::BID_ID.blank());
  EXPECT_EQ(core::Landscape, 0);
  EXPECT_EQ(GLO::SalesRep, "KEPT");
  EXPECT_EQ(core::GlobalResponse, 2);
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
}

TEST_F(OptionWindowTest, OpeningClearsANameThatNamesNoRecordWithoutShowingALookup) {
  Glo::Manufac = "NO SUCH BRAND";
  Glo::Distributor = "";
  Scripted user("expect ?Glo:Manufac \"\"\npress Cancel");
  ItemOptions w;
  w.resets = false;
  w.run();
  EXPECT_FALSE(user.shows("lookup ")) << user.transcript();
  EXPECT_TRUE(Glo::Manufac.blank());
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  // A valid name stays.
  Glo::Manufac = "zeta farms";
  Scripted again("expect ?Glo:Manufac \"ZETA FARMS\"\npress Cancel");
  ItemOptions w2;
  w2.resets = false;
  w2.run();
  EXPECT_TRUE(again.fe.finish().ok()) << again.fe.finish().ToString() << again.transcript();
}

TEST_F(OptionWindowTest, ATypedPartialBrandOpensTheLookupPositionedThere) {
  Scripted user(
      "type Glo:Manufac Ze\nlookup current\nexpect ?Glo:Manufac \"ZETA FARMS\"\npress Cancel");
  ItemOptions w;
  w.run();
  EXPECT_TRUE(
      user.shows("lookup MANUFCTRBROWSE \"Select a Manufacturer\" at \"Ze\" -> \"ZETA FARMS\""))
      << user.transcript();
  EXPECT_EQ(Glo::Manufac, "ZETA FARMS");
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
}

TEST_F(OptionWindowTest, ATwentyCharacterEntryReachesTheLookupAsFourteen) {
  Scripted user("type Glo:Manufac ABCDEFGHIJKLMNOPQRSX\nlookup cancel\npress Cancel");
  ItemOptions w;
  w.run();
  EXPECT_TRUE(user.shows(
      "lookup MANUFCTRBROWSE \"Select a Manufacturer\" at \"ABCDEFGHIJKLMN\" -> cancelled"))
      << user.transcript();
  EXPECT_TRUE(Glo::Manufac.blank());  // a cancelled lookup clears the global
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
}

TEST_F(OptionWindowTest, ACancelledLookupOfARequiredFieldKeepsTheFocus) {
  // F2 goes to the focused field: the brand again when it kept the focus, the distributor when
  // the focus moved on.
  for (bool required : {true, false}) {
    Scripted user("type Glo:Manufac Q\nlookup cancel\nkey F2\nlookup cancel\npress Cancel");
    ItemOptions w;
    w.brand_required = required;
    w.run();
    const std::string second = required
                                   ? "lookup MANUFCTRBROWSE \"Select a Manufacturer\" at \"\""
                                   : "lookup DISTRIBUTORBROWSE \"Select a Distributor\" at \"\"";
    EXPECT_TRUE(user.shows(second)) << required << "\n" << user.transcript();
    EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  }
}

TEST_F(OptionWindowTest, F2OnAValidBrandStillOpensTheLookup) {
  Scripted user(
      "type Glo:Manufac \"ACME FOODS\"\nkey F2 ?Glo:Manufac\nlookup \"ZETA FARMS\"\npress Cancel");
  ItemOptions w;
  w.run();
  EXPECT_EQ(user.count("lookup MANUFCTRBROWSE"), 1)
      << user.transcript();  // the typed name is valid
  EXPECT_TRUE(user.shows(
      "lookup MANUFCTRBROWSE \"Select a Manufacturer\" at \"ACME FOODS\" -> \"ZETA FARMS\""));
  EXPECT_EQ(Glo::Manufac, "ZETA FARMS");
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
}

TEST_F(OptionWindowTest, F2OnADateFieldOpensTheCalendar) {
  Scripted user("key F2 ?BeginDate1\ndate 01/15/2024\nexpect ?BeginDate1 1/15/2024\npress Cancel");
  ItemOptions w;
  w.run();
  EXPECT_NE(core::BeginDate1, 0);
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
}

TEST_F(OptionWindowTest, PrintRunsTheReportAndTheWindowStaysOpen) {
  Scripted user(
      "type Glo:Manufac \"ACME FOODS\"\npress &Print\nanswer Yes\npreview close\n"
      "type Glo:Manufac \"ZETA FARMS\"\npress &Print\nanswer Yes\nanswer Ok\npress Cancel");
  ItemOptions w;
  EXPECT_EQ(w.run(), 2);
  ASSERT_EQ(w.prints, 2);
  EXPECT_EQ(w.printed_with[0].substr(0, 10), "ACME FOODS");
  EXPECT_EQ(w.printed_with[1].substr(0, 10), "ZETA FARMS");
  // The first run found the brand's products; the second found none.
  EXPECT_TRUE(user.shows("preview \"ItemList\" 1 page")) << user.transcript();
  EXPECT_EQ(user.count("Nothing to Preview."), 1);
  EXPECT_EQ(core::GlobalResponse, 2);
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
}

TEST_F(OptionWindowTest, BrandWording) {
  GLO::Pellam = 1;
  Scripted user("expect ?BrandPrompt Brand:\npress Cancel");
  ItemOptions w;
  w.run();
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  GLO::Pellam = 0;
  Scripted plain("expect ?BrandPrompt Manufacturer:\npress Cancel");
  ItemOptions w2;
  w2.run();
  EXPECT_TRUE(plain.fe.finish().ok()) << plain.fe.finish().ToString() << plain.transcript();
}

TEST_F(OptionWindowTest, TheCheckBeforePrintingStopsAtTheFirstUnknownName) {
  Glo::BID_ID = "NO SUCH BID";  // kept: this window does not reset, and has no bid field
  Scripted user("press &Print\nanswer OK\npress Cancel");
  ItemOptions w;
  w.resets = false;
  w.checks_names = true;
  w.run();
  EXPECT_EQ(w.prints, 0);
  EXPECT_TRUE(user.shows("message \"ERROR\" [none] \"Invalid Bid ID\"")) << user.transcript();
  EXPECT_EQ(HEADBID::Used, 0);
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
}

}  // namespace
}  // namespace tdx::reports
