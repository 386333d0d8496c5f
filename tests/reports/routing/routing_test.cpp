// Output routing end to end: a small report run through the scripted frontend with real
// components - the store's fax job file, the spool printer, the PDF writer and a real SMTP
// server (aiosmtpd) on 127.0.0.1.
#include "reports/framework/routing.h"

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
#include <set>
#include <sstream>
#include <thread>

#include "runtime/path/path.h"
#include "tests/reports/framework/run_fixture.h"

namespace tdx::reports {
namespace {

namespace fs = std::filesystem;
using testing::ItemList;
using testing::make_products;
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

std::string read(const fs::path& f) {
  std::stringstream s;
  s << std::ifstream(f, std::ios::binary).rdbuf();
  return s.str();
}

// The first product code on each page of a PDF: "P0001 P0011 P0001 P0011".
std::string first_codes(const std::string& pdf) {
  std::string text = run("pdftotext -layout " + pdf + " -"), out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\f', start);
    if (end == std::string::npos) break;
    std::smatch m;
    std::string page = text.substr(start, end - start);
    if (std::regex_search(page, m, std::regex("P[0-9]{4}"))) {
      out += (out.empty() ? "" : " ") + m.str();
    }
    start = end + 1;
  }
  return out;
}

// The item list as a report with the output dialog: fax and e-mail come from the globals, the
// fax header is filled at the (one) group heading.
class OutputItemList : public ItemList {
 public:
  explicit OutputItemList(ReportRouting* r) : routing_(r) { set_routing(r); }

 protected:
  bool asks_preview() const override { return false; }
  bool preview_chosen() const override { return Glo::PreviewYes != 0; }
  Status group_break(report::Report& rpt) override {
    if (!heading_) {
      heading_ = true;
      if (FAX::FaxYes) return routing_->fill_fax_header(rpt);
    }
    return Status();
  }

 private:
  ReportRouting* routing_;
  bool heading_ = false;
};

class RoutingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    core::ResetGlobals();
    fs::remove_all("F");
    fs::create_directories("F/KQXFXSVR");
    set_drive_root('F', fs::absolute("F").string());
    FAX::AFEBase = "F:\\KQXFXSVR";
    settings("");
  }
  void TearDown() override {
    set_drive_root('F', "");
    EXPECT_EQ(PRODUCT::Used, 0);
    EXPECT_EQ(FAXHEAD::Used, 0);
    EXPECT_FALSE(FAXHEAD::file.is_open());
  }
  void settings(const std::string& extra) {
    std::ofstream("TENDIX.INI", std::ios::trunc) << "[Printer]\nKind=spool\nSpoolDir=spool\n"
                                                 << extra;
  }
  std::set<std::string> fax_files() {
    std::set<std::string> s;
    for (auto& e : fs::directory_iterator("F/KQXFXSVR")) {
      if (e.path().extension() == ".WMF") s.insert(e.path().filename().string());
    }
    return s;
  }
  int fax_records() {
    data::RecordFile<FAX::Record> f(FAX::Decl());
    f.set_name("F/KQXFXSVR/FAXHEAD.TPS");
    if (!f.open().ok()) return 0;
    return static_cast<int>(*f.records());
  }
};

TEST_F(RoutingTest, TwelvePageFaxRunLeavesPagesAndACompleteJob) {
  make_products(115);  // ten a page and the total: 12 pages
  FAX::FaxYes = 1;
  FAX::ToNumber = "5551234567";
  FAX::ToName = "Smith, John";
  Glo::BID_ID = "B100";
  Scripted user("");
  ReportRouting routing({true, "Item List", false});
  OutputItemList r(&routing);
  EXPECT_EQ(r.run(), 1);
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  std::set<std::string> want;
  for (int p = 1; p <= 12; ++p) {
    char name[32];
    std::snprintf(name, sizeof name, "000001%02d.WMF", p);
    want.insert(name);
  }
  EXPECT_EQ(fax_files(), want);
  EXPECT_EQ(GLO::FaxID, 1);
  EXPECT_EQ(GLO::FaxPages, 12);
  data::RecordFile<FAX::Record> f(FAX::Decl());
  f.set_name("F/KQXFXSVR/FAXHEAD.TPS");
  ASSERT_TRUE(f.open().ok());
  f.rec().FAXID = 1;
  ASSERT_TRUE(f.get(FAX::BY_FAXID).ok());
  EXPECT_EQ(f.rec().PAGES, 12);
  EXPECT_EQ(f.rec().STATUS, 2);
  EXPECT_EQ(f.rec().STATUSGRP, 2);
  EXPECT_EQ(f.rec().SUBJECT.view(), "BID # B100");
  EXPECT_EQ(f.rec().SETTO.view(), "Smith  John");
  EXPECT_EQ(f.rec().PAPERCODE, 1);
  EXPECT_EQ(f.rec().PAPERWIDTH, 8500);
  EXPECT_TRUE(user.shows("fax 1 to \"5551234567\"")) << user.transcript();
}

TEST_F(RoutingTest, FaxRunCancelledWithoutPreviewLeavesNothing) {
  make_products(115);
  FAX::FaxYes = 1;
  FAX::ToNumber = "5551234567";
  Scripted user("timers 2\npress Cancel\nanswer Yes");
  ReportRouting routing({true, "Item List", false});
  OutputItemList r(&routing);
  EXPECT_EQ(r.run(), 2);
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  EXPECT_TRUE(fax_files().empty());
  EXPECT_EQ(fax_records(), 0);
}

TEST_F(RoutingTest, ThreeCopiesOnAPrinterWithoutCopySupport) {
  make_products(12);  // two pages: P0001.., P0011..
  struct Case {
    const char* collate;
    const char* pages;
  } cases[] = {
      {"1", "P0001 P0011 P0001 P0011 P0001 P0011"},
      {"0", "P0001 P0001 P0001 P0011 P0011 P0011"},
  };
  for (const Case& c : cases) {
    fs::remove_all("spool");
    settings(std::string("Copies=3\nCollate=") + c.collate + "\n");
    Scripted user("answer No");
    ReportRouting routing;
    ItemList r;
    r.set_routing(&routing);
    EXPECT_EQ(r.run(), 1);
    EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
    EXPECT_EQ(read("spool/000001.job"), std::string("title=ItemList\ncopies=1\ncollate=") +
                                            c.collate + "\nfile=000001.pdf\n");
    EXPECT_EQ(first_codes("spool/000001.pdf"), c.pages) << "collate " << c.collate;
    EXPECT_FALSE(fs::exists("spool/000002.job"));
  }
}

TEST_F(RoutingTest, OneCopyGoesStraightToThePrinterAndAPrinterWithCopiesMakesThem) {
  make_products(12);
  settings("Copies=3\nSpoolCopies=1\n");
  Scripted user("answer No");
  ReportRouting routing;
  ItemList r;
  r.set_routing(&routing);
  EXPECT_EQ(r.run(), 1);
  EXPECT_EQ(read("spool/000001.job"), "title=ItemList\ncopies=3\ncollate=0\nfile=000001.pdf\n");
  EXPECT_EQ(first_codes("spool/000001.pdf"), "P0001 P0011");
}

TEST_F(RoutingTest, PreviewClosedPrintsNothingPreviewPrintedPrints) {
  make_products(12);
  {
    Scripted user("answer Yes\npreview close");
    ReportRouting routing;
    ItemList r;
    r.set_routing(&routing);
    EXPECT_EQ(r.run(), 2);
    EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString();
    EXPECT_FALSE(fs::exists("spool/000001.job"));
    EXPECT_FALSE(user.shows("print \""));
  }
  {
    Scripted user("answer Yes\npreview print");
    ReportRouting routing;
    ItemList r;
    r.set_routing(&routing);
    EXPECT_EQ(r.run(), 1);
    EXPECT_TRUE(fs::exists("spool/000001.job"));
    EXPECT_EQ(first_codes("spool/000001.pdf"), "P0001 P0011");
  }
}

TEST_F(RoutingTest, NoPrinterSaysSoAndTheRunEndsNormally) {
  make_products(3);
  std::ofstream("TENDIX.INI", std::ios::trunc) << "[Printer]\nKind=spool\n";  // no folder
  Scripted user("answer No\nanswer OK");
  ReportRouting routing;
  ItemList r;
  r.set_routing(&routing);
  EXPECT_EQ(r.run(), 1);
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  EXPECT_TRUE(user.shows("nothing was printed")) << user.transcript();
}

using tdx::testing::SmtpServer;

TEST_F(RoutingTest, EmailRunSendsThePdfToARealServer) {
  SmtpServer smtp;
  make_products(12);
  settings("[Mail]\nServer=127.0.0.1\nPort=" + std::to_string(smtp.port()) +
           "\nFrom=reports@broker.example\n");
  const std::string marker =
      "Quote " + std::to_string(getpid()) + "-" +
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  GLO::EmailReport = 1;
  GLO::PDFFile = ".\\quote";
  GLO::EmailTo = "buyer@example.com";
  FAX::ToName = "J\xF6rg\r\nBcc: victim@example.com";  // typed with a line break
  FAX::FaxSubject = marker;
  FAX::Comments = "Prices as agreed.";
  Scripted user("");
  ReportRouting routing({true, "Item List", false});
  OutputItemList r(&routing);
  EXPECT_EQ(r.run(), 1);
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  EXPECT_TRUE(user.shows("e-mail to \"buyer@example.com\"")) << user.transcript();
  EXPECT_TRUE(user.shows(": sent")) << user.transcript();
  std::string msg = smtp.message_with(marker);
  ASSERT_FALSE(msg.empty()) << "no message arrived";
  std::string text = read(msg);
  EXPECT_EQ(text.find("\nBcc:"), std::string::npos) << text.substr(0, 600);
  EXPECT_NE(text.find("=?UTF-8?"), std::string::npos) << "the name is an encoded word";
  // The attachment, taken out of the message, is the report.
  ASSERT_TRUE(SmtpServer::save_pdf_attachment(msg, "got.pdf"));
  ASSERT_TRUE(fs::exists("got.pdf"));
  std::string pdf_text = run("pdftotext got.pdf -");
  EXPECT_NE(pdf_text.find("P0001"), std::string::npos) << pdf_text;
  EXPECT_NE(pdf_text.find("P0012"), std::string::npos) << pdf_text;
  EXPECT_TRUE(fs::exists("quote.pdf"));
}

TEST_F(RoutingTest, RefusedMailSaysSoAndKeepsThePdf) {
  make_products(3);
  settings("[Mail]\nServer=127.0.0.1\nPort=1\nFrom=reports@broker.example\nTimeout=5\n");
  GLO::EmailReport = 1;
  GLO::PDFFile = ".\\kept";
  GLO::EmailTo = "buyer@example.com";
  FAX::FaxSubject = "Quote";
  Scripted user("answer OK");
  ReportRouting routing({true, "Item List", false});
  OutputItemList r(&routing);
  r.run();
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  EXPECT_TRUE(user.shows("message \"E-mail Not Sent\"")) << user.transcript();
  EXPECT_TRUE(user.shows("The PDF file is kept")) << user.transcript();
  EXPECT_FALSE(user.shows(": sent"));
  EXPECT_TRUE(fs::exists("kept.pdf"));
}

TEST_F(RoutingTest, PreviewClosedInAnEmailRunAsksCreatePdf) {
  struct Case {
    const char* script;
    bool file;
  } cases[] = {
      {"preview close\nanswer No", false},
      // Yes: the PDF is written; no mail server is set up, which the user is told.
      {"preview close\nanswer Yes\nanswer OK", true},
  };
  make_products(12);
  for (const Case& c : cases) {
    fs::remove("closed.pdf");
    GLO::EmailReport = 1;
    GLO::PDFFile = ".\\closed";
    GLO::EmailTo = "buyer@example.com";
    Glo::PreviewYes = 1;
    Scripted user(c.script);
    ReportRouting routing({true, "Item List", false});
    OutputItemList r(&routing);
    EXPECT_EQ(r.run(), 2);
    EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
    EXPECT_TRUE(
        user.shows("message \"Create PDF?\" [question] \"Report Not Printed||Create PDF "
                   "anyway?\" buttons \"&Yes|&No\" default 2"))
        << user.transcript();
    EXPECT_EQ(fs::exists("closed.pdf"), c.file);
    EXPECT_FALSE(user.shows(": sent"));
  }
}

}  // namespace
}  // namespace tdx::reports
