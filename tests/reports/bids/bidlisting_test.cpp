// The bid listing end to end: the option window driven by a script over a small set of bids,
// the report previewed (or printed to the spool printer) and its pages read back as text.
//
// The bids, in received-date order (the order the listing prints them):
//   B4  agency not on file, received blank, opened 1/20/2024; line 1 ZETA Z201 pack 6/10,
//       quoted by a distributor not on file.
//   B2  COUNTY JAIL (type J2), received 1/05/2024, opened 3/15/2024, MARY JONES, non-profit,
//       bid type JAIL; line 1 ZETA Z200 12/5 FROZEN BB ref Z-2, quoted by US FOODS (D2),
//       first competitor OTHER CO; line 2 ACME P100 OI ref R-B2, first competitor RIVAL CO.
//   B1  CITY SCHOOLS (type S1), received 1/10/2024, opened 2/01/2024, JOHN SMITH, minority,
//       escalation, bid type SCH; line 1 ACME P100 6/10 DRY NET, blank reference, quoted by
//       SYSCO EAST (D1), competitors RIVAL CO then OTHER CO; line 2 ACME P101 ref R-B1.
//   B3  CITY SCHOOLS, received 2/20/2024, opening date blank, JOHN SMITH, no lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/globals.h"
#include "reports/bids/bid_listing.h"
#include "runtime/datetime/datetime.h"
#include "tests/reports/framework/run_fixture.h"

namespace tdx::reports::bids {
namespace {

namespace fs = std::filesystem;
using testing::Scripted;

std::string run_command(const std::string& cmd) {
  std::string out;
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  char buf[4096];
  size_t n;
  while (p && (n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  if (p) pclose(p);
  return out;
}

// ---- fixture --------------------------------------------------------------------------------

template <typename File>
void fresh(File& f) {
  ASSERT_TRUE(f.create(true).ok());
  ASSERT_TRUE(f.open().ok());
}

template <typename File, typename Fill>
void add(File& f, Fill fill) {
  f.clear();
  fill(f.rec());
  ASSERT_TRUE(f.add().ok());
}

struct Line {
  const char* bid;
  const char* line;
  const char* brand;
  const char* code;
  const char* pack;
  const char* division;
  const char* net;
  const char* ref;
};

void add_line(const Line& l) {
  add(PRODBID::file, [&](PRO::Record& r) {
    r.BID_ID = l.bid;
    r.LINE_NUM = l.line;
    r.BID_LINE = std::string(Str<24>(l.bid).raw()) + l.line;
    r.MANUFAC = l.brand;
    r.PBCODE = l.code;
    r.PACK = l.pack;
    r.PROD_DIVISON = l.division;
    r.NET = l.net;
    r.MFR_REFNUM = l.ref;
  });
}

void add_quote(const char* bid, const char* line, const char* distributor) {
  add(DISTBID::file, [&](BDI::Record& r) {
    r.BID_ID = bid;
    r.LINE_NUM = line;
    r.BID_LINE = std::string(Str<24>(bid).raw()) + line;
    r.DISTRIBUTOR = distributor;
  });
}

void add_competitor_bid(const char* bid, const char* line, const char* competitor) {
  add(COMPBID::file, [&](COB::Record& r) {
    r.BID_ID = bid;
    r.LINE_NUM = line;
    r.BID_LINE = std::string(Str<24>(bid).raw()) + line;
    r.MANUFAC = competitor;
  });
}

struct Header {
  const char* id;
  const char* agency;
  int32_t received, opened;
  const char* rep;
  const char* minority;
  int escalation, non_profit;
  const char* type;
};

void add_bid(const Header& h) {
  add(HEADBID::file, [&](HEA::Record& r) {
    r.BID_ID = h.id;
    r.BID_AGENCY = h.agency;
    r.DATE_RECD = h.received;
    r.OPEN_DATE = h.opened;
    r.DEL_FROMDATE = make_date(3, 1, 2024);
    r.DEL_TODATE = make_date(6, 30, 2024);
    r.SALES_REP = h.rep;
    r.MINIOR_BID = h.minority;
    r.Escalation = static_cast<uint8_t>(h.escalation);
    r.NonProfit = static_cast<uint8_t>(h.non_profit);
    r.BidType = h.type;
  });
}

void write_fixture(bool with_company = true) {
  fresh(COMPANY::file);
  if (with_company) add(COMPANY::file, [](COM::Record& r) { r.COMPANY = "TENDIX BROKERS"; });
  COMPANY::file.close();

  fresh(AGENCY::file);
  add(AGENCY::file, [](AGE::Record& r) {
    r.AGENCY_NAME = "CITY SCHOOLS";
    r.TYPE_SIZE = "S1";
  });
  add(AGENCY::file, [](AGE::Record& r) {
    r.AGENCY_NAME = "COUNTY JAIL";
    r.TYPE_SIZE = "J2";
  });
  AGENCY::file.close();

  fresh(MANUF::file);
  add(MANUF::file, [](MAN::Record& r) {
    r.MANUF_NAME = "ACME FOODS";
    r.TYPE_SIZE = "A1";
  });
  add(MANUF::file, [](MAN::Record& r) {
    r.MANUF_NAME = "ZETA FARMS";
    r.TYPE_SIZE = "Z9";
  });
  MANUF::file.close();

  fresh(DISTRI::file);
  add(DISTRI::file, [](DIS::Record& r) {
    r.DISTRI_NAME = "SYSCO EAST";
    r.TYPE_SIZE = "D1";
  });
  add(DISTRI::file, [](DIS::Record& r) {
    r.DISTRI_NAME = "US FOODS";
    r.TYPE_SIZE = "D2";
  });
  DISTRI::file.close();

  fresh(PRODUCT::file);
  for (auto [brand, code] : {std::pair{"ACME FOODS", "P100"},
                             {"ACME FOODS", "P101"},
                             {"ZETA FARMS", "Z200"},
                             {"ZETA FARMS", "Z201"}}) {
    add(PRODUCT::file, [&](PRD::Record& r) {
      r.MANUFAC = brand;
      r.PROD_CODE = code;
    });
  }
  PRODUCT::file.close();

  fresh(COMP::file);
  for (const char* name : {"RIVAL CO", "OTHER CO"})
    add(COMP::file, [&](CMP::Record& r) { r.NAME = name; });
  COMP::file.close();

  fresh(SALESREP::file);
  for (const char* name : {"JOHN SMITH", "MARY JONES"})
    add(SALESREP::file, [&](SAL::Record& r) { r.SALES_REP = name; });
  SALESREP::file.close();

  fresh(Code_Def::file);
  for (const char* value : {"SCH", "JAIL"}) {
    add(Code_Def::file, [&](COD::Record& r) {
      r.ID = "BIDT";
      r.VALUE = value;
    });
  }
  Code_Def::file.close();

  fresh(HEADBID::file);
  add_bid({"B1", "CITY SCHOOLS", make_date(1, 10, 2024), make_date(2, 1, 2024), "JOHN SMITH", "Y",
           1, 0, "SCH"});
  add_bid({"B2", "COUNTY JAIL", make_date(1, 5, 2024), make_date(3, 15, 2024), "MARY JONES", "N", 0,
           1, "JAIL"});
  add_bid({"B3", "CITY SCHOOLS", make_date(2, 20, 2024), 0, "JOHN SMITH", "", 0, 0, ""});
  add_bid({"B4", "NO SUCH AGENCY", 0, make_date(1, 20, 2024), "", "", 0, 0, ""});
  HEADBID::file.close();

  fresh(PRODBID::file);
  add_line({"B1", "1", "ACME FOODS", "P100", "6/10", "DRY", "P", ""});
  add_line({"B1", "2", "ACME FOODS", "P101", "6/10", "DRY", "P", "R-B1"});
  add_line({"B2", "1", "ZETA FARMS", "Z200", "12/5", "FROZEN", "BB", "Z-2"});
  add_line({"B2", "2", "ACME FOODS", "P100", "6/10", "DRY", "OI", "R-B2"});
  add_line({"B4", "1", "ZETA FARMS", "Z201", "6/10", "DRY", "P", ""});
  PRODBID::file.close();

  fresh(DISTBID::file);
  add_quote("B1", "1", "SYSCO EAST");
  add_quote("B2", "1", "US FOODS");
  add_quote("B4", "1", "GHOST DIST");
  DISTBID::file.close();

  fresh(COMPBID::file);
  add_competitor_bid("B1", "1", "RIVAL CO");
  add_competitor_bid("B1", "1", "OTHER CO");
  add_competitor_bid("B2", "1", "OTHER CO");
  add_competitor_bid("B2", "2", "RIVAL CO");
  COMPBID::file.close();

  fresh(SPECSBID::file);
  SPECSBID::file.close();
}

// ---- runs -----------------------------------------------------------------------------------

// What one run of the window showed: the transcript and the text of the pages.
struct Shown {
  std::string transcript;
  std::string pages;
  bool finished = false;
};

// Runs the window with `selection`, then Print, Yes (preview) and closes the preview.
Shown run_window(const std::string& selection, bool expect_pages = true) {
  fs::remove_all("out");
  std::string script = selection + "\npress Print\nanswer Yes\n" +
                       (expect_pages ? "preview close\n" : "answer Ok\n") + "press Cancel\n";
  Scripted user(script);
  BIDLISTINGRPTMNU();
  Shown s;
  s.transcript = user.transcript();
  Status st = user.fe.finish();
  s.finished = st.ok();
  if (!st.ok()) s.transcript += "\n" + st.ToString();
  if (fs::exists("out/BidListingRpt.pdf"))
    s.pages = run_command("pdftotext -layout out/BidListingRpt.pdf -");
  return s;
}

// The bid ids listed, in page order: "B4 B2 B1 B3".
std::string bids_listed(const std::string& pages) {
  // A whole word: not the "B1" of the reference "R-B1".
  std::string out, text = "\n" + pages;
  std::regex id(R"([ \t\n](B[0-9])(?=[ \t\n]))");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), id); it != std::sregex_iterator();
       ++it)
    out += (out.empty() ? "" : " ") + it->str(1);
  return out;
}

std::string total_shown(const std::string& pages) {
  std::smatch m;
  if (std::regex_search(pages, m, std::regex(R"(Total Bids:\s+([-0-9,]+))"))) return m[1];
  return "";
}

class BidListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    core::ResetGlobals();
    std::ofstream("TENDIX.INI", std::ios::trunc)
        << "[Printer]\nKind=spool\nSpoolDir=spool\n[Preview]\nOutputDir=out\n";
    write_fixture();
  }
  void TearDown() override {
    for (const core::CoreFile& f : core::core_files()) {
      EXPECT_EQ(*f.used, 0) << f.label;
      EXPECT_FALSE(f.file->is_open()) << f.label;
    }
  }
};

// ---- selections -----------------------------------------------------------------------------

TEST_F(BidListingTest, EachSelectionListsTheBidsThatMeetIt) {
  struct Case {
    const char* what;
    const char* script;
    const char* bids;  // listed, in order
  } cases[] = {
      // Dates: the default range lets through blank dates up to 2099; the received-date range
      // and the opening-date range, always listed in received-date order.
      {"defaults", "", "B4 B2 B1 B3"},
      {"received range", "type BeginDate1 1/06/2024\ntype EndDate1 1/31/2024", "B1"},
      {"received from", "type BeginDate1 1/06/2024", "B1 B3"},
      {"opening range",
       "press \"Use Open Date?\"\ntype BeginDate1 1/15/2024\ntype EndDate1 2/28/2024", "B4 B1"},
      {"opening to", "press \"Use Open Date?\"\ntype EndDate1 2/28/2024", "B4 B1 B3"},
      // Header conditions.
      {"bid", "type Glo:BID_ID B2", "B2"},
      {"agency", "type Glo:Agency \"COUNTY JAIL\"", "B2"},
      {"minority", "press Minority", "B1"},
      {"sales rep", "type GLO:SalesRep \"JOHN SMITH\"", "B1 B3"},
      {"escalation", "press \"Escalation Clause Only\"", "B1"},
      {"bid type", "type GLO:BidType JAIL", "B2"},
      {"non-profit", "press \"Non Profit Only\"", "B2"},
      {"agency type/size (a missing agency is blank)", "type Glo:AgeTypeSize S1", "B1 B3"},
      // Product-line conditions.
      {"brand", "type Glo:Manufac \"ACME FOODS\"", "B2 B1"},
      {"brand type/size", "type GLO:TypeSize Z9", "B4 B2"},
      {"distributor", "type Glo:Distributor \"SYSCO EAST\"", "B1"},
      {"distributor type/size", "type Glo:DistTypeSize D2", "B2"},
      {"product code", "type Glo:ProdCode P100", "B2 B1"},
      {"division", "type Glo:Division FROZEN", "B2"},
      {"pack size", "type Glo:PackSize 6/10", "B4 B2 B1"},
      {"bid price type", "type Glo:BidPrice BB", "B2"},
      // Net-priced lines hold "P": the window's "NET" finds them, as does "P" itself.
      {"net price type", "type Glo:BidPrice NET", "B4 B1"},
      {"net price type as stored", "type Glo:BidPrice P", "B4 B1"},
      // Only the first competitor bid of a line counts: OTHER CO is second on B1's line 1.
      {"competitor first on a line", "type Glo:Competitor \"RIVAL CO\"", "B2 B1"},
      {"competitor second on a line", "type Glo:Competitor \"OTHER CO\"", "B2"},
      // Combinations: conditions met by different lines of one bid.
      {"brand and code on different lines",
       "type Glo:ProdCode Z200\ntype Glo:Manufac \"ACME FOODS\"", "B2"},
      {"header and line conditions",
       "type Glo:Agency \"CITY SCHOOLS\"\ntype Glo:Distributor \"SYSCO EAST\"", "B1"},
      {"bid within the range", "type Glo:BID_ID B1\ntype BeginDate1 1/01/2024", "B1"},
      {"division and price type on different lines",
       "type Glo:Division FROZEN\ntype Glo:BidPrice OI", "B2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Shown s = run_window(c.script);
    ASSERT_TRUE(s.finished) << s.transcript;
    EXPECT_EQ(bids_listed(s.pages), c.bids) << s.pages;
    EXPECT_EQ(total_shown(s.pages),
              std::to_string(std::count(c.bids, c.bids + std::strlen(c.bids), 'B')))
        << s.pages;
  }
}

TEST_F(BidListingTest, NothingSelectedShowsNoPageAndNoTotal) {
  struct Case {
    const char* what;
    const char* script;
  } cases[] = {
      {"bid outside the range", "type Glo:BID_ID B1\ntype BeginDate1 2/01/2024"},
      {"conditions met by no bid", "type Glo:Division FROZEN\ntype Glo:Distributor \"SYSCO EAST\""},
      {"escalation and non-profit", "press \"Escalation Clause Only\"\npress \"Non Profit Only\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Shown s = run_window(c.script, false);
    ASSERT_TRUE(s.finished) << s.transcript;
    EXPECT_NE(s.transcript.find("\"NOTE...\" [information] \"Nothing to Preview.\""),
              std::string::npos)
        << s.transcript;
    EXPECT_EQ(s.transcript.find("preview \""), std::string::npos) << s.transcript;
  }
}

// Unchecking a switch takes its condition away again.
TEST_F(BidListingTest, UncheckedSwitchesAddNoCondition) {
  Shown s = run_window(
      "press \"Escalation Clause Only\"\npress \"Non Profit Only\"\npress Minority\n"
      "press \"Escalation Clause Only\"\npress \"Non Profit Only\"\npress Minority");
  ASSERT_TRUE(s.finished) << s.transcript;
  EXPECT_EQ(bids_listed(s.pages), "B4 B2 B1 B3");
}

// ---- the page -------------------------------------------------------------------------------

TEST_F(BidListingTest, TheBrandReferenceColumnShowsOnlyWithABrand) {
  Shown plain = run_window("");
  ASSERT_TRUE(plain.finished) << plain.transcript;
  EXPECT_EQ(plain.pages.find("Bid#"), std::string::npos) << plain.pages;
  EXPECT_EQ(plain.pages.find("Manufacturer:"), std::string::npos);
  EXPECT_EQ(plain.pages.find("R-B"), std::string::npos);
  EXPECT_NE(plain.pages.find("TENDIX BROKERS"), std::string::npos);
  EXPECT_NE(plain.pages.find("Bid Listing Report"), std::string::npos);

  // With the brand: its reference per bid is the first non-blank one of its lines (B1's first
  // ACME line has none, its second has R-B1); the brand's name heads the page.
  Shown brand = run_window("type Glo:Manufac \"ACME FOODS\"");
  ASSERT_TRUE(brand.finished) << brand.transcript;
  EXPECT_NE(brand.pages.find("Bid#"), std::string::npos) << brand.pages;
  EXPECT_TRUE(std::regex_search(brand.pages, std::regex(R"(Manufacturer:\s+ACME FOODS)")))
      << brand.pages;
  EXPECT_TRUE(std::regex_search(brand.pages, std::regex(R"(COUNTY JAIL\s+B2\s.*R-B2)")))
      << brand.pages;
  EXPECT_TRUE(std::regex_search(brand.pages, std::regex(R"(CITY SCHOOLS\s+B1\s.*R-B1)")))
      << brand.pages;
  EXPECT_EQ(brand.pages.find("Distributor "), std::string::npos);

  // ZETA's only line on B4 has a blank reference; B2's ZETA line has Z-2.
  Shown zeta = run_window("type Glo:Manufac \"ZETA FARMS\"");
  ASSERT_TRUE(zeta.finished) << zeta.transcript;
  EXPECT_EQ(bids_listed(zeta.pages), "B4 B2");
  EXPECT_TRUE(std::regex_search(zeta.pages, std::regex(R"(B2\s.*Z-2)")));
  EXPECT_TRUE(std::regex_search(zeta.pages, std::regex(R"(B4\s[^\n]*6/30/2024\s*\n)")))
      << zeta.pages;
}

TEST_F(BidListingTest, TheDetailLineAndTheDistributorHeading) {
  Shown s = run_window("type Glo:Distributor \"SYSCO EAST\"");
  ASSERT_TRUE(s.finished) << s.transcript;
  EXPECT_TRUE(std::regex_search(s.pages, std::regex(R"(Distributor\s+SYSCO EAST)"))) << s.pages;
  EXPECT_TRUE(std::regex_search(
      s.pages,
      std::regex(R"(CITY SCHOOLS\s+B1\s+1/10/2024\s+2/01/2024\s+3/01/2024\s+-\s+6/30/2024)")))
      << s.pages;
  EXPECT_EQ(total_shown(s.pages), "1");
}

TEST_F(BidListingTest, BrandWording) {
  GLO::Pellam = 1;
  Shown s = run_window(
      "expect ?ManufacPrompt Brand:\nexpect ?MfrTypeSizePrompt \"Brand Type/Size:\"\n"
      "type Glo:Manufac \"ACME FOODS\"");
  ASSERT_TRUE(s.finished) << s.transcript;
  EXPECT_TRUE(std::regex_search(s.pages, std::regex(R"(Brand:\s+ACME FOODS)"))) << s.pages;
  EXPECT_EQ(s.pages.find("Manufacturer"), std::string::npos);
  GLO::Pellam = 0;
}

// Printing (no preview) sends the same pages to the printer.
TEST_F(BidListingTest, PrintGoesToThePrinter) {
  Scripted user("type Glo:Agency \"CITY SCHOOLS\"\npress Print\nanswer No\npress ?Cancel");
  BIDLISTINGRPTMNU();
  ASSERT_TRUE(user.fe.finish().ok()) << user.transcript();
  EXPECT_TRUE(user.shows("print \"BidListingRpt\" 1 page")) << user.transcript();
  std::string pages = run_command("pdftotext -layout spool/000001.pdf -");
  EXPECT_EQ(bids_listed(pages), "B1 B3") << pages;
  EXPECT_EQ(total_shown(pages), "2");
}

// Many bids: pages follow one another, every bid once, and the count is the number printed.
TEST_F(BidListingTest, ManyBidsOverSeveralPages) {
  ASSERT_TRUE(HEADBID::file.open().ok());
  for (int i = 0; i < 120; ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "M%03d", i);
    add_bid({id, "COUNTY JAIL", make_date(4, 1, 2024) + i, 0, "", "", 0, 0, ""});
  }
  HEADBID::file.close();
  Shown s = run_window("type Glo:Agency \"COUNTY JAIL\"");
  ASSERT_TRUE(s.finished) << s.transcript;
  EXPECT_GE(std::count(s.pages.begin(), s.pages.end(), '\f'), 3) << s.pages;
  std::regex id(R"(\bM[0-9]{3}\b)");
  int listed = 0;
  std::string previous;
  for (auto it = std::sregex_iterator(s.pages.begin(), s.pages.end(), id);
       it != std::sregex_iterator(); ++it, ++listed) {
    EXPECT_LT(previous, it->str());
    previous = it->str();
  }
  EXPECT_EQ(listed, 120);
  EXPECT_EQ(total_shown(s.pages), "121");  // B2 too
}

// ---- the window -----------------------------------------------------------------------------

TEST_F(BidListingTest, OpeningSetsTheInitialValues) {
  Glo::Manufac = "ACME FOODS";
  GLO::BidType = "SCH";
  Glo::OpenDate = 1;
  core::BeginDate1 = make_date(1, 1, 2020);
  Scripted user(
      "expect ?EndDate1 12/31/2099\nexpect ?BeginDate1 \"\"\nexpect ?Glo:Manufac \"\"\n"
      "expect ?GLO:BidType \"\"\npress Cancel");
  BIDLISTINGRPTMNU();
  ASSERT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  EXPECT_EQ(core::EndDate1, make_date(12, 31, 2099));
  EXPECT_EQ(Glo::OpenDate, 0);
  EXPECT_TRUE(Glo::Manufac.blank());
  EXPECT_EQ(core::GlobalResponse, 2);
  EXPECT_TRUE(user.shows("window \"Bid Listing Report\"")) << user.transcript();
}

TEST_F(BidListingTest, F2OnTheDatesOpensTheCalendar) {
  Shown s = run_window(
      "key F2 ?BeginDate1\ndate 01/06/2024\nkey F2 ?EndDate1\ndate 01/31/2024\n"
      "expect ?BeginDate1 1/06/2024");
  ASSERT_TRUE(s.finished) << s.transcript;
  EXPECT_EQ(bids_listed(s.pages), "B1");
}

TEST_F(BidListingTest, LookupsOfTheEntries) {
  // A partial bid type opens its browse; a product chosen with no brand sets the brand.
  Scripted user(
      "type GLO:BidType J\nlookup current\nexpect ?GLO:BidType JAIL\n"
      "type Glo:ProdCode Z2\nlookup current\nexpect ?Glo:Manufac \"ZETA FARMS\"\n"
      "type Glo:Competitor RIV\nlookup current\nexpect ?Glo:Competitor \"RIVAL CO\"\n"
      "type GLO:SalesRep MAR\nlookup current\nexpect ?GLO:SalesRep \"MARY JONES\"\n"
      "key F2 ?GLO:BidType\nlookup SCH\nexpect ?GLO:BidType SCH\n"
      "press Cancel");
  BIDLISTINGRPTMNU();
  ASSERT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  EXPECT_EQ(user.count("lookup BROWSEBIDTYPECODES"), 2) << user.transcript();  // F2 forces it
  EXPECT_TRUE(user.shows("lookup PRODUCTBROWSE ")) << user.transcript();
  EXPECT_EQ(Glo::ProdCode, "Z200");

  // With a brand entered the product lookup lists that brand's products; cancelling it blanks
  // both the code and the brand.
  Scripted again(
      "type Glo:Manufac \"ACME FOODS\"\ntype Glo:ProdCode Z200\nlookup cancel\n"
      "expect ?Glo:ProdCode \"\"\nexpect ?Glo:Manufac \"\"\npress Cancel");
  BIDLISTINGRPTMNU();
  ASSERT_TRUE(again.fe.finish().ok()) << again.fe.finish().ToString() << again.transcript();
  EXPECT_TRUE(again.shows("lookup PRODUCTBROWSE2")) << again.transcript();
}

// A frontend whose calendar lets another station delete records meanwhile, so that names the
// lookups accepted no longer exist when Print checks them.
class DeletingFrontend : public ui::ScriptedFrontend {
 public:
  std::function<void()> on_date;
  ui::DateAnswer select_date(const ui::DateRequest& req) override {
    if (on_date) on_date();
    return ui::ScriptedFrontend::select_date(req);
  }
};

// Deletes the record of `file` whose `field` holds `value`, through a connection of its own.
void delete_record(const char* file, const char* key, const char* field, const char* value) {
  const core::CoreFile* f = core::find_core_file(file);
  ASSERT_NE(f, nullptr) << file;
  store::KeyedFile other(f->file->decl_ptr());
  ASSERT_TRUE(other.open().ok()) << file;
  other.clear();
  ASSERT_TRUE(other.set_value(field, Value(std::string(value))).ok()) << field;
  ASSERT_TRUE(other.get(other.find_key(key)).ok()) << file << " " << value;
  ASSERT_TRUE(other.erase().ok());
}

TEST_F(BidListingTest, AnInvalidNameStopsThePrintWithItsMessage) {
  struct Deletion {
    const char* file;
    const char* key;
    const char* field;
    const char* value;
  };
  struct Case {
    std::vector<Deletion> deleted;
    const char* message;
  } cases[] = {
      {{{"AGENCY", "AGE:BY_AGENCY", "AGE:AGENCY_NAME", "CITY SCHOOLS"}}, "Invalid Agency Name"},
      {{{"MANUF", "MAN:BY_MANUF", "MAN:MANUF_NAME", "ACME FOODS"}}, "Invalid Manufacturer Name"},
      {{{"DISTRI", "DIS:BY_DISTRI", "DIS:DISTRI_NAME", "SYSCO EAST"}}, "Invalid Distributor Name"},
      {{{"PRODUCT", "PRD:BY_PROD_CODE", "PRD:PROD_CODE", "P100"}}, "Invalid Product Code"},
      {{{"HEADBID", "HEA:BY_BID_ID", "HEA:BID_ID", "B1"}}, "Invalid Bid ID"},
      // The first in the order agency, brand, distributor, product code, bid is named.
      {{{"HEADBID", "HEA:BY_BID_ID", "HEA:BID_ID", "B1"},
        {"DISTRI", "DIS:BY_DISTRI", "DIS:DISTRI_NAME", "SYSCO EAST"}},
       "Invalid Distributor Name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    write_fixture();
    DeletingFrontend fe;
    ASSERT_TRUE(fe.load("type Glo:Agency \"CITY SCHOOLS\"\ntype Glo:ProdCode P100\n"
                        "type Glo:Distributor \"SYSCO EAST\"\ntype Glo:BID_ID B1\n"
                        "key F2 ?BeginDate1\ndate cancel\n"
                        "press Print\nanswer OK\npress Cancel")
                    .ok());
    fe.on_date = [&] {
      for (const Deletion& d : c.deleted) delete_record(d.file, d.key, d.field, d.value);
    };
    {
      ui::ScopedFrontend scope(&fe);
      BIDLISTINGRPTMNU();
    }
    ASSERT_TRUE(fe.finish().ok()) << fe.finish().ToString() << fe.transcript();
    EXPECT_NE(fe.transcript().find(std::string("message \"ERROR\" [none] \"") + c.message + "\""),
              std::string::npos)
        << fe.transcript();
    EXPECT_EQ(fe.transcript().find("Preview"), std::string::npos) << fe.transcript();
  }
}

TEST_F(BidListingTest, NoCompanyDefaultsEndsTheRunWithoutPrinting) {
  write_fixture(false);
  Scripted user("press Print\nanswer Yes\nanswer OK\npress Cancel");
  BIDLISTINGRPTMNU();
  ASSERT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  EXPECT_TRUE(
      user.shows("message \"Company Defaults Not Found\" [none] \"Please set company "
                 "defaults under Utility Menu\""))
      << user.transcript();
  EXPECT_FALSE(user.shows("Generating Report")) << user.transcript();
  EXPECT_FALSE(user.shows("Nothing to")) << user.transcript();
}

}  // namespace
}  // namespace tdx::reports::bids
