// The previewer over our page images: copy order, printing on printers with and without copy
// support, previews that print or close, the preview output folder, and the output settings.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/preview/output_settings.h"
#include "platform/preview/previewer.h"
#include "runtime/report/wmf.h"
#include "runtime/ui/scripted_frontend.h"

namespace tdx::platform {
namespace {

namespace fs = std::filesystem;

std::string run(const std::string& cmd) {
  std::string out;
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  char buf[4096];
  size_t n;
  while (p && (n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  if (p) pclose(p);
  return out;
}

std::vector<std::string> page_images(std::vector<std::string> texts) {
  std::vector<std::string> files;
  for (size_t i = 0; i < texts.size(); ++i) {
    report::Page page;
    report::TextRun t;
    t.x = 1000, t.y = 1500, t.text = texts[i];
    page.items.push_back(t);
    files.push_back("p" + std::to_string(i + 1) + ".wmf");
    EXPECT_TRUE(report::write_wmf_file(page, files.back()).ok());
  }
  return files;
}

// The text of each page of a PDF, trimmed, joined by blanks: "A B A B".
std::string page_texts(const std::string& pdf) {
  std::string text = run("pdftotext " + pdf + " -"), out, cur;
  for (char c : text) {
    if (c == '\f') {
      out += (out.empty() ? "" : " ") + cur;
      cur.clear();
    } else if (c != '\n' && c != ' ') {
      cur += c;
    }
  }
  return out;
}

std::string read(const std::string& f) {
  std::stringstream s;
  s << std::ifstream(f).rdbuf();
  return s.str();
}

TEST(CopyOrder, CollatedOrNot) {
  std::vector<std::string> p = {"1", "2"};
  auto join = [](const std::vector<std::string>& v) {
    std::string s;
    for (auto& x : v) s += x;
    return s;
  };
  EXPECT_EQ(join(copy_order(p, 3, true)), "121212");
  EXPECT_EQ(join(copy_order(p, 3, false)), "111222");
  EXPECT_EQ(join(copy_order(p, 1, false)), "12");
  EXPECT_EQ(join(copy_order(p, 0, true)), "12");
}

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all("spool");
    fs::remove_all("previews");
  }
  std::unique_ptr<Printer> spool(bool copies) {
    PrinterConfig c;
    c.kind = "spool";
    c.spool_dir = "spool";
    c.spool_supports_copies = copies;
    return std::move(*OpenPrinter(c));
  }
};

TEST_F(PreviewTest, ThreeCopiesOnPrintersWithAndWithoutCopySupport) {
  struct Case {
    bool printer_copies, collate;
    const char* job;
    const char* pages;
  } cases[] = {
      {false, true, "title=Quote\ncopies=1\ncollate=1\n", "A B A B A B"},
      {false, false, "title=Quote\ncopies=1\ncollate=0\n", "A A A B B B"},
      {true, true, "title=Quote\ncopies=3\ncollate=1\n", "A B"},
      {true, false, "title=Quote\ncopies=3\ncollate=0\n", "A B"},
  };
  auto pages = page_images({"A", "B"});
  for (const Case& c : cases) {
    fs::remove_all("spool");
    auto printer = spool(c.printer_copies);
    ui::ScriptedFrontend fe;
    ui::ScopedFrontend scope(&fe);
    Previewer pv(printer.get(), {});
    EXPECT_EQ(pv.SUPPORTED(PrinterProperty::Copies), c.printer_copies ? 1 : 0);
    pv.HANDLECOPIES(3, c.collate);
    ASSERT_TRUE(pv.flush(pages, "Quote").ok());
    EXPECT_EQ(pv.copies(), 1) << "copies go back to 1 after a flush";
    EXPECT_EQ(read("spool/000001.job"), std::string(c.job) + "file=000001.pdf\n");
    EXPECT_EQ(page_texts("spool/000001.pdf"), c.pages);
    EXPECT_NE(fe.transcript().find("print \"Quote\""), std::string::npos) << fe.transcript();
  }
}

TEST_F(PreviewTest, PreviewPrintsOnlyWhenTheUserPrints) {
  auto pages = page_images({"A", "B"});
  for (const char* answer : {"close", "print"}) {
    fs::remove_all("previews");
    ui::ScriptedFrontend fe;
    ASSERT_TRUE(fe.load(std::string("preview ") + answer).ok());
    ui::ScopedFrontend scope(&fe);
    Previewer pv(nullptr, {"previews", true, 50});
    int r = pv.PRINTPREVIEW(pages, "Dist Quote");
    EXPECT_EQ(r, std::string(answer) == "print" ? 1 : 2);
    EXPECT_TRUE(fe.finish().ok()) << fe.finish().ToString();
    EXPECT_NE(fe.transcript().find("preview \"Dist Quote\" 2 pages in \"previews\""),
              std::string::npos)
        << fe.transcript();
    EXPECT_EQ(page_texts("previews/Dist_Quote.pdf"), "A B");
    EXPECT_TRUE(fs::exists("previews/Dist_Quote-p002.png"));
  }
  // A second preview of the same title never overwrites the first.
  ui::ScriptedFrontend fe;
  ASSERT_TRUE(fe.load("preview close").ok());
  ui::ScopedFrontend scope(&fe);
  Previewer pv(nullptr, {"previews", false, 96});
  pv.PRINTPREVIEW(pages, "Dist Quote");
  EXPECT_EQ(pv.last_preview_file(), "previews/Dist_Quote-2.pdf");
}

TEST_F(PreviewTest, NoPrinterPrintsNothingAndSaysSo) {
  Previewer pv(nullptr, {});
  EXPECT_EQ(pv.SUPPORTED(PrinterProperty::Copies), 0);
  Status s = pv.flush(page_images({"A"}), "Quote");
  EXPECT_EQ(s.code(), kNoPrinter);
  EXPECT_NE(s.text().find("nothing was printed"), std::string::npos);
}

TEST(OutputSettings, SectionsAndDefaults) {
  {
    std::ofstream f("TENDIX.INI", std::ios::trunc);
    f << "[Printer]\nKind=spool\nSpoolDir=out/spool\nSpoolCopies=1\n"
         "[Mail]\nServer=127.0.0.1\nPort=2525\nFrom=reports@broker.example\nTLS=starttls\n"
         "[Preview]\nOutputDir=out\nPNG=1\n";
  }
  PrinterConfig p = read_printer_settings();
  EXPECT_EQ(p.kind, "spool");
  EXPECT_EQ(p.spool_dir, "out/spool");
  EXPECT_TRUE(p.spool_supports_copies);
  SmtpConfig m = read_mail_settings();
  EXPECT_EQ(m.server, "127.0.0.1");
  EXPECT_EQ(m.port, 2525);
  EXPECT_EQ(m.from_address, "reports@broker.example");
  EXPECT_EQ(m.tls, "starttls");
  EXPECT_EQ(m.timeout_seconds, 30);
  PreviewSettings v = read_preview_settings();
  EXPECT_EQ(v.output_dir, "out");
  EXPECT_TRUE(v.png);
  EXPECT_EQ(v.png_dpi, 96);
  set_preview_output_dir("batch-out");
  EXPECT_EQ(read_preview_settings().output_dir, "batch-out");
  set_preview_output_dir("");
  fs::remove("TENDIX.INI");
  EXPECT_EQ(read_printer_settings().kind, "cups");
  EXPECT_EQ(read_mail_settings().server, "");
  EXPECT_EQ(read_preview_settings().output_dir, "");
}

}  // namespace
}  // namespace tdx::platform
