// The distributor quote end to end: DISTQUOTERPTMNU driven by a script on the small bid of
// distquote_fixture.h, its pages read back from the previewed PDF with pdftotext; a fax run
// through the fax server's job file and an e-mail run through a real SMTP server.
#include <gtest/gtest.h>

#include "tests/support/smtp_server.h"
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "core/files.h"
#include "core/globals.h"
#include "reports/bids/dist_quote.h"
#include "runtime/path/path.h"
#include "runtime/report/render.h"
#include "tests/reports/bids/distquote_fixture.h"
#include "tests/reports/framework/run_fixture.h"

extern "C" void DISTQUOTERPTMNU(void);

namespace tdx::reports {
namespace {

namespace fs = std::filesystem;
using testing::Scripted;

std::string run(const std::string& cmd) {
  std::string out;
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  char buf[4096];
  size_t n;
  while (p && (n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  if (p) pclose(p);
  return out;
}


std::string pdf_text(const std::string& pdf) { return run("pdftotext -layout " + pdf + " -"); }

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

bool has(const std::string& text, const std::string& what) { return count(text, what) > 0; }

// The top of each word `word` in the PDF, in points from the top of its page, page by page.
std::vector<double> word_tops(const std::string& pdf, const std::string& word) {
  std::string box = run("pdftotext -bbox " + pdf + " -");
  std::vector<double> tops;
  std::regex re("yMin=\"([0-9.]+)\"[^>]*>" + word + "</word>");
  for (std::sregex_iterator it(box.begin(), box.end(), re), end; it != end; ++it)
    tops.push_back(std::stod((*it)[1]));
  return tops;
}

// The brand names after "Mfr:" (or "Brand:") in page order.
std::vector<std::string> headings(const std::string& text) {
  std::vector<std::string> out;
  std::regex re("(Mfr|Brand): +([A-Z]+(?: [A-Z]+)*)");
  for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
    out.push_back((*it)[2]);
  return out;
}

class DistQuoteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    core::ResetGlobals();
    DistBidIdRequested() = 0;
    testing::write_quote_fixture();
    settings("");
  }
  void TearDown() override {
    for (int32_t used : {PRODBID::Used, SPECSBID::Used, HEADBID::Used, PRODUCT::Used,
                         MANUF::Used, DISTRI::Used, DISTBID::Used, COMPBID::Used,
                         COMPANY::Used, FAXHEAD::Used})
      EXPECT_EQ(used, 0);
  }
  void settings(const std::string& extra) {
    std::ofstream("TENDIX.INI", std::ios::trunc)
        << "[Printer]\nKind=spool\nSpoolDir=spool\n[Preview]\nOutputDir=out\n" << extra;
  }
  // Runs the window with `actions` before Print, previews and returns the pages' text.
  std::string quote(const std::string& actions, const std::string& pdf = "out/DistQuoteRpt.pdf") {
    Scripted user("type Glo:BID_ID Q1\n" + actions +
                  "press &Print\noutput preview\npreview close\npress ?Cancel\n");
    DISTQUOTERPTMNU();
    Status s = user.fe.finish();
    EXPECT_TRUE(s.ok()) << s.ToString() << "\n" << user.transcript();
    transcript = user.transcript();
    return pdf_text(pdf);
  }
  std::string transcript;
};

TEST(DistQuoteFilter, PiecesInOrderWithoutTheTrailingAnd) {
  struct Case {
    const char *brand, *code, *division, *minority;
    bool extended;
    const char* filter;
  } cases[] = {
      {"", "", "", "", false, "PRO:BID_ID = Glo:BID_ID"},
      {"ALPHA FOODS", "", "", "1", false,
       "PRO:BID_ID = Glo:BID_ID and PRO:MANUFAC = Glo:Manufac and HEA:MINIOR_BID = 'Y'"},
      {"", "A-1", "FROZEN", "", true,
       "PRO:BID_ID = Glo:BID_ID and PRO:PBCODE = Glo:ProdCode and PRO:PROD_DIVISON = "
       "Glo:Division and PRO:ExtTerm"},
  };
  for (const Case& c : cases) {
    core::ResetGlobals();
    Glo::BID_ID = "Q1";
    Glo::Manufac = c.brand;
    Glo::ProdCode = c.code;
    Glo::Division = c.division;
    Glo::Minority = c.minority;
    auto f = DistQuoteFilter(c.extended);
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(*f, c.filter);
  }
}

TEST_F(DistQuoteTest, QuoteOfTheWholeBid) {
  std::string t = quote("");
  // Three brands, three headings in name order, each with its notes band.
  EXPECT_EQ(headings(t), (std::vector<std::string>{"ALPHA FOODS", "BRAVO BRANDS", "CHARLIE CO"}))
      << t;
  EXPECT_EQ(count(t, "Notes:"), 3) << t;
  EXPECT_EQ(count(t, "Notes of bid Q1"), 3);
  // Only bid Q1; the discontinued A-2 is left out, C-9 (not in PRODUCT) prints.
  EXPECT_FALSE(has(t, "Other bid line"));
  EXPECT_FALSE(has(t, "Desc A-2"));
  EXPECT_TRUE(has(t, "Desc C-9"));
  EXPECT_TRUE(has(t, "Desc A-1 Ext A-1")) << "description with the extended description";
  EXPECT_FALSE(has(t, "**Discontinued**"));
  // Units and billing.
  EXPECT_TRUE(std::regex_search(t, std::regex("41\\.80 +__"))) << t;
  EXPECT_TRUE(has(t, "OFF INVOICE"));
  EXPECT_TRUE(has(t, "BILL BACK"));
  EXPECT_TRUE(has(t, "NET BB OI"));  // C-9's "P"
  // C-1 bills "Z": the billing column stays empty after its FOB price.
  EXPECT_TRUE(std::regex_search(t, std::regex("39\\.10 +__ *\n"))) << t;
  // One requirement message, pieces in order.
  EXPECT_EQ(count(t, "*** CN Label Required *** *** USDA *** *** Grade A ***"), 1) << t;
  EXPECT_EQ(count(t, "CN Label"), 1);
  // No distributor: the header's distributor bid id stays hidden.
  EXPECT_FALSE(has(t, "DistBidID"));
  // A brand without comments has no label: two of three headings show one.
  EXPECT_EQ(count(t, "Mfr Comments:"), 2) << t;
  EXPECT_TRUE(has(t, "Alpha ships weekly."));
  // Title, letterhead, agency, comments: standard comment, then the comment fields run on.
  EXPECT_TRUE(std::regex_search(t, std::regex("Bid Quotation +Page:"))) << t;
  EXPECT_TRUE(has(t, "BROKER AND SONS"));
  EXPECT_TRUE(has(t, "Charlotte, NC 28202"));
  EXPECT_TRUE(has(t, "Lincolnton, NC 28092"));
  EXPECT_TRUE(has(t, "Standard comment one."));
  EXPECT_TRUE(has(t, "Price firm.Samples due."));
  // No history asked for.
  EXPECT_FALSE(has(t, "Won by:"));
  // The first heading takes the room of the page header's hidden group (the body starts at
  // 1.25 in, 90 pt); the second follows ALPHA's line below its comments, not over them.
  std::vector<double> from = word_tops("out/DistQuoteRpt.pdf", "From:");
  ASSERT_EQ(from.size(), 3u);
  EXPECT_LT(from[0], 90.0);
  const size_t second = t.find("From:", t.find("From:") + 1);
  EXPECT_LT(t.find("Price firm.Samples due."), second) << t;
}

TEST_F(DistQuoteTest, DiscontinuedAskedForPrintsMarked) {
  std::string t = quote("press \"Print ***Discontinued***\"\n");
  EXPECT_TRUE(has(t, "Desc A-2"));
  EXPECT_EQ(count(t, "**Discontinued**"), 1) << t;
}

TEST_F(DistQuoteTest, BrandAndMinorityNarrowTheQuote) {
  // Q1 is not a minority bid: brand and minority together leave nothing.
  std::string actions = "type Glo:Manufac \"ALPHA FOODS\"\npress Minority\n";
  Scripted user("type Glo:BID_ID Q1\n" + actions +
                "press &Print\noutput preview\nanswer OK\npress ?Cancel\n");
  DISTQUOTERPTMNU();
  EXPECT_TRUE(user.fe.finish().ok()) << user.transcript();
  EXPECT_TRUE(user.shows("\"Nothing to Preview.\"")) << user.transcript();
  // The brand alone: one heading.
  std::string t = quote("type Glo:Manufac \"ALPHA FOODS\"\n");
  EXPECT_EQ(headings(t), std::vector<std::string>{"ALPHA FOODS"}) << t;
}

TEST_F(DistQuoteTest, DistributorNarrowsTheLinesAndShowsItsBidId) {
  DistBidIdRequested() = 1;  // remembered from an earlier opening
  std::string t = quote("type Glo:Distributor \"METRO DIST\"\n");
  EXPECT_TRUE(has(t, "Desc B-1"));
  EXPECT_FALSE(has(t, "Desc C-1"));
  EXPECT_FALSE(has(t, "Desc C-9"));
  EXPECT_TRUE(has(t, "DistBidID:")) << t;
  EXPECT_TRUE(has(t, "M-77")) << t;
  // Not asked for: neither label nor id.
  DistBidIdRequested() = 0;
  t = quote("type Glo:Distributor \"METRO DIST\"\n", "out/DistQuoteRpt-2.pdf");
  EXPECT_FALSE(has(t, "DistBidID")) << t;
  EXPECT_FALSE(has(t, "M-77")) << t;
}

TEST_F(DistQuoteTest, EveryTitleOptionGivesTheWholeLongTitle) {
  // Extension pricing: only line 4 (VALLEY DIST's), with its extension band and award number.
  std::string t = quote(
      "type Glo:Distributor \"VALLEY DIST\"\npress \"Print Extended Description  \"\n"
      "press \"Print Dist. ProdCode\"\npress \"Extension Information\"\n"
      "press \"Print Bid History\"\n");
  EXPECT_TRUE(has(t, "Bid Extension with Extended Description and Dist Item Code w/History"))
      << t;
  EXPECT_TRUE(has(t, "Extension Information"));
  EXPECT_TRUE(has(t, "44.44"));
  EXPECT_TRUE(has(t, "Award#"));
  EXPECT_TRUE(has(t, "Desc C-9"));
  EXPECT_FALSE(has(t, "Desc C-1"));
  // Without extension pricing the award number stays hidden.
  t = quote("press \"Print Extended Description  \"\npress \"Print Bid History\"\n",
            "out/DistQuoteRpt-2.pdf");
  EXPECT_TRUE(has(t, "Bid Quotation with Extended Description w/History")) << t;
  EXPECT_FALSE(has(t, "Award#"));
  EXPECT_FALSE(has(t, "Extension Information"));
}

TEST_F(DistQuoteTest, DistributorProductCodeNeedsTheDistributor) {
  Scripted user(
      "type Glo:BID_ID Q1\npress \"Print Dist. ProdCode\"\npress &Print\n"
      "type Glo:Distributor \"METRO DIST\"\npress &Print\noutput preview\npreview close\n"
      "press ?Cancel\n");
  DISTQUOTERPTMNU();
  EXPECT_TRUE(user.fe.finish().ok()) << user.transcript();
  EXPECT_EQ(user.count("beep"), 1) << user.transcript();
  std::string t = pdf_text("out/DistQuoteRpt.pdf");
  EXPECT_TRUE(has(t, "Bid Quotation with Distributor Item Code")) << t;
  EXPECT_TRUE(has(t, "MET-001")) << t;
}

TEST_F(DistQuoteTest, HistoryOurBrandACompetitorOrNone) {
  std::string t = quote("press \"Print Bid History\"\npress \"DEL && FOB History\"\n");
  // Line 1: our brand won, through METRO DIST, with delivered and FOB prices.
  EXPECT_TRUE(std::regex_search(t, std::regex("Won by: *ALPHA FOODS +6/#10 +A-1 +777 +40\\.00 CS "
                                              "DEL +METRO DIST")))
      << t;
  EXPECT_TRUE(std::regex_search(t, std::regex("Del: +41\\.80 CS"))) << t;
  EXPECT_TRUE(std::regex_search(t, std::regex("FOB: +39\\.10 CS"))) << t;
  // Line 2: a competitor won, its notes follow; line 3: nobody, no history band.
  EXPECT_TRUE(std::regex_search(t, std::regex("Won by: *ACME COMP"))) << t;
  EXPECT_EQ(count(t, "Competitor Notes:"), 1);
  EXPECT_TRUE(has(t, "Acme won on price."));
  EXPECT_EQ(count(t, "Won by:"), 2) << t;
  EXPECT_EQ(count(t, "Del:"), 1) << "delivered and FOB rows only for our brand's history";
  // The history reads did not disturb the run: every line is still there, once.
  EXPECT_EQ(count(t, "Desc B-1"), 1);
  EXPECT_EQ(count(t, "Desc C-1"), 1);
  EXPECT_EQ(count(t, "Desc C-9"), 1);
}

TEST_F(DistQuoteTest, TwoRunsFromOneWindowGiveTheSamePages) {
  Scripted user(
      "type Glo:BID_ID Q1\npress \"Print Bid History\"\npress &Print\noutput preview\n"
      "preview close\npress &Print\noutput preview\npreview close\npress ?Cancel\n");
  DISTQUOTERPTMNU();
  EXPECT_TRUE(user.fe.finish().ok()) << user.transcript();
  std::string first = pdf_text("out/DistQuoteRpt.pdf");
  std::string second = pdf_text("out/DistQuoteRpt-2.pdf");
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(first, second);
}

TEST_F(DistQuoteTest, DistributorBidIdChoiceSurvivesReopening) {
  {
    Scripted user(
        "type Glo:BID_ID Q1\ntype Glo:Distributor \"METRO DIST\"\npress \"Print Distr Bid ID\"\n"
        "press ?Cancel\n");
    DISTQUOTERPTMNU();
    EXPECT_TRUE(user.fe.finish().ok()) << user.transcript();
  }
  EXPECT_EQ(DistBidIdRequested(), 1);
  std::string t = quote("type Glo:Distributor \"METRO DIST\"\n");
  EXPECT_TRUE(has(t, "DistBidID:")) << t;
  EXPECT_TRUE(has(t, "M-77")) << t;
}

TEST_F(DistQuoteTest, WindowRulesAlternateCompanyAndBrandWording) {
  // Hidden without an alternate company: pressing it is an error of the script.
  {
    Scripted user("press \"Use Alternate Company Info\"\n");
    DISTQUOTERPTMNU();
    EXPECT_FALSE(user.fe.finish().ok());
  }
  // "DEL && FOB History" only with history.
  {
    Scripted user("press \"DEL && FOB History\"\n");
    DISTQUOTERPTMNU();
    EXPECT_FALSE(user.fe.finish().ok());
  }
  settings(
      "[Alternate]\nCompany=ALTERNATE BROKERS\nAddress=9 Side St\nCity=Raleigh\nState=NC\n"
      "Zip=27601\n");
  GLO::Pellam = 1;
  std::string t = quote("expect ?BrandPrompt Brand:\npress \"Use Alternate Company Info\"\n");
  EXPECT_TRUE(has(t, "ALTERNATE BROKERS")) << t;
  EXPECT_TRUE(has(t, "Raleigh, NC 27601"));
  EXPECT_FALSE(has(t, "BROKER AND SONS"));
  EXPECT_EQ(headings(t).size(), 3u);
  EXPECT_EQ(count(t, "Brand Comments:"), 2) << t;
  EXPECT_FALSE(has(t, "Mfr"));
  EXPECT_TRUE(has(t, "Brand Ref#"));
}

TEST_F(DistQuoteTest, MissingBidOrCompany) {
  {
    Scripted user("type Glo:BID_ID Q9\nlookup cancel\npress &Print\npress ?Cancel\n");
    DISTQUOTERPTMNU();
    EXPECT_TRUE(user.fe.finish().ok()) << user.transcript();
    EXPECT_TRUE(user.shows("beep")) << user.transcript();
    EXPECT_FALSE(user.shows("output dialog"));
  }
  testing::write_quote_fixture(false);
  Scripted user("type Glo:BID_ID Q1\npress &Print\noutput preview\nanswer OK\npress ?Cancel\n");
  DISTQUOTERPTMNU();
  EXPECT_TRUE(user.fe.finish().ok()) << user.transcript();
  EXPECT_TRUE(user.shows("message \"No Company Defaults File\" [none] \"Please go to company "
                         "defaults under the utility menu\""))
      << user.transcript();
  EXPECT_FALSE(user.shows("preview \""));
  EXPECT_FALSE(user.shows("Generating Report"));
}

// ---- fax and e-mail ------------------------------------------------------------------------

TEST_F(DistQuoteTest, FaxRunLeavesPagesAndACompleteJobWithTheBidAsSubject) {
  fs::create_directories("F/KQXFXSVR");
  set_drive_root('F', fs::absolute("F").string());
  FAX::AFEBase = "F:\\KQXFXSVR";
  Scripted user(
      "type Glo:BID_ID Q1\npress &Print\noutput fax number=5551234567 name=\"Buyer, Jo\"\n"
      "press ?Cancel\n");
  DISTQUOTERPTMNU();
  EXPECT_TRUE(user.fe.finish().ok()) << user.transcript();
  set_drive_root('F', "");
  std::vector<std::string> pages;
  for (auto& e : fs::directory_iterator("F/KQXFXSVR"))
    if (e.path().extension() == ".WMF") pages.push_back(e.path().string());
  std::sort(pages.begin(), pages.end());
  ASSERT_FALSE(pages.empty());
  EXPECT_EQ(fs::path(pages[0]).filename(), "00000101.WMF");
  data::RecordFile<FAX::Record> f(FAX::Decl());
  f.set_name("F/KQXFXSVR/FAXHEAD.TPS");
  ASSERT_TRUE(f.open().ok());
  f.rec().FAXID = 1;
  ASSERT_TRUE(f.get(FAX::BY_FAXID).ok());
  EXPECT_EQ(f.rec().STATUS, 2);
  EXPECT_EQ(f.rec().PAGES, static_cast<int>(pages.size()));
  EXPECT_EQ(f.rec().SUBJECT.view(), "BID # Q1");
  EXPECT_EQ(f.rec().SETTO.view(), "Buyer  Jo");
  // What the fax server would send.
  ASSERT_TRUE(report::page_images_to_pdf(pages, "fax.pdf").ok());
  std::string t = pdf_text("fax.pdf");
  EXPECT_EQ(headings(t).size(), 3u) << t;
  EXPECT_TRUE(has(t, "Desc C-9"));
}

using tdx::testing::SmtpServer;

TEST_F(DistQuoteTest, EmailRunSendsTheQuoteAsPdf) {
  SmtpServer smtp;
  settings("[Mail]\nServer=127.0.0.1\nPort=" + std::to_string(smtp.port()) +
           "\nFrom=quotes@broker.example\n");
  const std::string marker =
      "Quote Q1 " + std::to_string(getpid()) + "-" +
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  Scripted user("type Glo:BID_ID Q1\npress &Print\noutput email to=buyer@example.com "
                "file=.\\q1quote name=\"Jo Buyer\" subject=\"" +
                marker + "\"\npress ?Cancel\n");
  DISTQUOTERPTMNU();
  EXPECT_TRUE(user.fe.finish().ok()) << user.transcript();
  EXPECT_TRUE(user.shows(": sent")) << user.transcript();
  std::string msg = smtp.message_with(marker);
  ASSERT_FALSE(msg.empty()) << "no message arrived";
  ASSERT_TRUE(SmtpServer::save_pdf_attachment(msg, "got.pdf"));
  ASSERT_TRUE(fs::exists("got.pdf"));
  std::string t = pdf_text("got.pdf");
  EXPECT_EQ(headings(t), (std::vector<std::string>{"ALPHA FOODS", "BRAVO BRANDS", "CHARLIE CO"}))
      << t;
  EXPECT_TRUE(fs::exists("q1quote.pdf"));
}

}  // namespace
}  // namespace tdx::reports
