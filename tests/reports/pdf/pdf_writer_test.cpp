// The PDF writer: page sizes from page image headers, file name rules, the status window with
// its Cancel question, and what happens when pages are unreadable or the write fails. PDFs are
// checked with poppler's pdfinfo and pdftotext.
#include "reports/pdf/pdf_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "platform/pdf/pdf_document.h"
#include "runtime/path/path.h"
#include "runtime/report/wmf.h"
#include "runtime/ui/scripted_frontend.h"
#include "runtime/ui/window.h"

namespace tdx::reports {
namespace {

namespace fs = std::filesystem;

std::string run(const std::string& cmd) {
  std::string out;
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

// A page image with one line of text on a letter page.
std::string page_image(const std::string& file, const std::string& text) {
  report::Page page;
  report::TextRun t;
  t.x = 1000, t.y = 1500, t.text = text;
  page.items.push_back(t);
  EXPECT_TRUE(report::write_wmf_file(page, file).ok());
  return file;
}

std::vector<std::string> pages(int n) {
  std::vector<std::string> v;
  for (int i = 1; i <= n; ++i) {
    v.push_back(page_image("page" + std::to_string(i) + ".wmf", "Quote page " + std::to_string(i)));
  }
  return v;
}

// Rewrites a page image's header box and units per inch (with its checksum).
void set_header(const std::string& file, int16_t right, int16_t bottom, uint16_t upi) {
  std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
  uint8_t h[22];
  f.read(reinterpret_cast<char*>(h), 22);
  auto put16 = [&](int at, uint16_t v) { h[at] = v & 0xFF, h[at + 1] = v >> 8; };
  put16(6, 0), put16(8, 0), put16(10, right), put16(12, bottom), put16(14, upi);
  uint16_t sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= h[2 * i] | h[2 * i + 1] << 8;
  put16(20, sum);
  f.seekp(0);
  f.write(reinterpret_cast<char*>(h), 22);
}

// Page count and page sizes of a PDF as poppler reads them.
int pdf_pages(const std::string& file) {
  std::smatch m;
  std::string info = run("pdfinfo " + file);
  return std::regex_search(info, m, std::regex("Pages: +([0-9]+)")) ? std::stoi(m[1]) : -1;
}
std::string pdf_size(const std::string& file, int page) {
  std::smatch m;
  std::string p = std::to_string(page);
  std::string info = run("pdfinfo -f " + p + " -l " + p + " " + file);
  return std::regex_search(info, m, std::regex("size: +([0-9.]+ x [0-9.]+) pts")) ? m[1].str()
                                                                                  : info;
}

bool no_leftovers(const std::string& folder) {
  for (auto& e : fs::directory_iterator(folder)) {
    if (e.path().string().find(".part") != std::string::npos) return false;
  }
  return true;
}

class PdfWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all("out");
    fs::create_directories("out");
  }
  // Set up as the reports do it.
  void setup(PdfWriter& w, const std::string& file) {
    ASSERT_EQ(w.setup(file, ""), 0);
    w.set_paper(0);
    w.set_author(""), w.set_title(""), w.set_subject(""), w.set_creator(""), w.set_keywords("");
    w.set_run(false);
  }
};

TEST(PdfPageSize, FromHeaderInExactDecimals) {
  struct Case {
    int left, top, right, bottom, upi;
    int32_t width, height;
  } cases[] = {
      {0, 0, 12240, 15840, 1440, 612000, 792000},      // letter at 1440 units per inch
      {0, 0, 8500, 11000, 1000, 612000, 792000},       // letter as our page images write it
      {100, 200, 12340, 16040, 1440, 612000, 792000},  // a box not at the origin
      {0, 0, 1001, 1, 1000, 72072, 72},
      {0, 0, 100, 100, 7, 1028571, 1028571},       // 1028571.43: the fraction is dropped
      {0, 0, 15840, 12240, 1440, 792000, 612000},  // landscape
      {0, 0, 0, 100, 1000, 0, 7200},
  };
  for (const Case& c : cases) {
    PdfPageSize s = pdf_page_size(c.left, c.top, c.right, c.bottom, c.upi);
    EXPECT_EQ(s.width, c.width) << c.right << "/" << c.upi;
    EXPECT_EQ(s.height, c.height) << c.bottom << "/" << c.upi;
  }
}

TEST(PdfFileName, Rules) {
  struct Case {
    const char *name, *folder, *current, *want;
  } cases[] = {
      {"C:\\OUT\\Q", "C:\\TEMP", "C:\\WORK", "C:\\OUT\\Q.pdf"},
      {"Q.TXT", "C:\\TEMP", "C:\\WORK", "C:\\TEMP\\Q.TXT"},
      {"Q.TXT", "/tmp", "/work/x", "/tmp/Q.TXT"},
      {".\\Q", "C:\\TEMP", "C:\\WORK", ".\\Q.pdf"},
      {"", "C:\\TEMP", "C:\\WORK", ""},
      {"   ", "C:\\TEMP", "C:\\WORK", ""},
      {"  C:\\OUT\\Q.PDF  ", "C:\\TEMP", "C:\\WORK", "C:\\OUT\\Q.PDF"},
      {"\\OUT\\Q", "C:\\TEMP", "D:\\WORK", "C:\\OUT\\Q.pdf"},  // drive from the folder
      {"\\OUT\\Q", "\\TEMP", "D:\\WORK", "D:\\OUT\\Q.pdf"},    // ... else the current one
      {"C:Q", "D:\\TEMP\\", "E:\\WORK", "C:\\TEMP\\Q.pdf"},    // folder from the folder
      {"Q", "", "C:\\WORK", "C:\\WORK\\Q.pdf"},                // no folder: the current one
      {"..\\Q", "C:\\TEMP", "C:\\WORK", "..\\Q.pdf"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pdf_file_name(c.name, c.folder, c.current), c.want) << '"' << c.name << '"';
  }
}

TEST_F(PdfWriterTest, SetUpOptionsAndReset) {
  PdfWriter w;
  EXPECT_EQ(w.setup("Q.TXT", ""), 0);
  EXPECT_EQ(w.DONEINIT, 1);
  EXPECT_EQ(w.FOLDERNAME, temp_dir());
  EXPECT_EQ(w.FILENAME, temp_dir() + "/Q.TXT");
  EXPECT_EQ(w.setup("other", ""), -1) << "set-up is refused while set up";
  EXPECT_EQ(w.FILENAME, temp_dir() + "/Q.TXT");
  w.reset();
  EXPECT_EQ(w.DONEINIT, 0);
  EXPECT_EQ(w.FILENAME, "");
  EXPECT_EQ(w.setup(".\\Q", ""), 0);
  EXPECT_EQ(w.FILENAME, ".\\Q.pdf");
}

// The status window as the user sees it: the page counter, then "Writing PDF" before the write.
class WatchingFrontend : public ui::ScriptedFrontend {
 public:
  void window_closed(ui::Window& win) override {
    if (win.title() == kPdfStatusTitle) last_status_text = win.text(kPdfStatusText);
    ui::ScriptedFrontend::window_closed(win);
  }
  std::string last_status_text;
};

TEST_F(PdfWriterTest, ThreePagesWithStatusWindow) {
  WatchingFrontend fe;
  ASSERT_TRUE(fe.load("expect ?LOC:PCTDONE \"\"\n"
                      "timers 1\nexpect ?LOC:PCTDONE \"Page 1 of 3\"\n"
                      "timers 1\nexpect ?LOC:PCTDONE \"Page 2 of 3\"\n")
                  .ok());
  ui::ScopedFrontend scope(&fe);
  PdfWriter w;
  setup(w, "out/Q");
  EXPECT_EQ(w.generate(pages(3), true), 1);
  ASSERT_TRUE(fe.finish().ok()) << fe.finish().ToString() << "\n" << fe.transcript();
  EXPECT_EQ(fe.last_status_text, kPdfWriting);
  EXPECT_NE(fe.transcript().find("window \"Please Wait...\""), std::string::npos);
  EXPECT_TRUE(w.written());
  EXPECT_TRUE(w.status().ok()) << w.status().ToString();
  EXPECT_EQ(pdf_pages("out/Q.pdf"), 3);
  EXPECT_EQ(pdf_size("out/Q.pdf", 2), "612 x 792");
  std::string text = run("pdftotext out/Q.pdf -");
  for (int i = 1; i <= 3; ++i) {
    EXPECT_NE(text.find("Quote page " + std::to_string(i)), std::string::npos) << text;
  }
  w.reset();
}

TEST_F(PdfWriterTest, CancelAnsweredNoGoesOnYesWritesNothing) {
  struct Case {
    const char* answer;
    int result;
    bool file;
  } cases[] = {{"No", 1, true}, {"Yes", 0, false}};
  for (const Case& c : cases) {
    fs::remove("out/Q.pdf");
    ui::ScriptedFrontend fe;
    ASSERT_TRUE(fe.load(std::string("timers 1\npress Cancel\nanswer ") + c.answer + "\n").ok());
    ui::ScopedFrontend scope(&fe);
    PdfWriter w;
    setup(w, "out/Q");
    EXPECT_EQ(w.generate(pages(3), true), c.result) << c.answer;
    EXPECT_TRUE(fe.finish().ok()) << fe.finish().ToString();
    EXPECT_NE(fe.transcript().find("message \"Cancel PDF?\" [question] \"Do you wish to Cancel "
                                   "the PDF Generation?\" buttons \"&Yes|&No\" default 2"),
              std::string::npos)
        << fe.transcript();
    EXPECT_EQ(fs::exists("out/Q.pdf"), c.file) << c.answer;
    EXPECT_EQ(w.written(), c.file);
    if (c.file) {
      EXPECT_EQ(pdf_pages("out/Q.pdf"), 3);
    }
    EXPECT_TRUE(no_leftovers("out"));
  }
}

TEST_F(PdfWriterTest, ActiveWindowTimerStoppedAndGivenBack) {
  ui::ScriptedFrontend fe;
  ASSERT_TRUE(fe.load("").ok());
  ui::ScopedFrontend scope(&fe);
  ui::Window report_win(ui::WindowBuilder("Generating Report", 100, 50).timer(1).build());
  ASSERT_TRUE(report_win.open().ok());
  PdfWriter w;
  setup(w, "out/Q");
  EXPECT_EQ(w.generate(pages(2), true), 1);
  EXPECT_EQ(report_win.timer(), 1);
  report_win.close();
}

TEST_F(PdfWriterTest, PageSizeFromEachImageHeader) {
  auto p = pages(2);
  set_header(p[0], 12240, 15840, 1440);  // letter at 1440 units per inch
  set_header(p[1], 14000, 8500, 1000);   // a landscape legal page
  PdfWriter w;
  setup(w, "out/sizes");
  EXPECT_EQ(w.generate(p, false), 1);
  EXPECT_EQ(pdf_size("out/sizes.pdf", 1), "612 x 792");
  EXPECT_EQ(pdf_size("out/sizes.pdf", 2), "1008 x 612");
}

TEST_F(PdfWriterTest, UnreadablePageIsLeftOutAndSaid) {
  auto p = pages(3);
  std::ofstream("page2.wmf", std::ios::trunc) << "not a page image";
  PdfWriter w;
  setup(w, "out/Q");
  EXPECT_EQ(w.generate(p, false), 1);
  EXPECT_TRUE(w.written());
  EXPECT_EQ(w.pages_written(), 2);
  EXPECT_EQ(w.status().code(), kPdfPagesLeftOut);
  EXPECT_NE(w.status().text().find("page2.wmf"), std::string::npos);
  EXPECT_EQ(pdf_pages("out/Q.pdf"), 2);
}

TEST_F(PdfWriterTest, EmptyQueueAndBlankNameWriteNothing) {
  PdfWriter w;
  setup(w, "out/Q");
  EXPECT_EQ(w.generate({}, false), 0);
  EXPECT_FALSE(fs::exists("out/Q.pdf"));
  PdfWriter blank;
  setup(blank, "  ");
  EXPECT_EQ(blank.FILENAME, "");
  EXPECT_EQ(blank.generate(pages(1), false), 1);
  EXPECT_FALSE(blank.written());
  EXPECT_FALSE(blank.status().ok());
}

TEST_F(PdfWriterTest, FailedWriteLeavesNoFileAndSaysWhy) {
  // A folder that does not exist.
  {
    PdfWriter w;
    setup(w, "out/missing/Q");
    EXPECT_EQ(w.generate(pages(2), false), 1);
    EXPECT_FALSE(w.written());
    EXPECT_EQ(w.status().code(), platform::kPdfWriteFailed) << w.status().ToString();
    EXPECT_FALSE(fs::exists("out/missing/Q.pdf"));
  }
  // A full disk: the file size limit makes every write past 2 KB fail.
  {
    std::vector<std::string> many;
    for (int i = 1; i <= 40; ++i) {
      many.push_back(page_image("big" + std::to_string(i) + ".wmf",
                                "A rather long line of text for page " + std::to_string(i)));
    }
    PdfWriter w;
    setup(w, "out/full");
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    sighandler_t prev = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 2048;
    setrlimit(RLIMIT_FSIZE, &small);
    int r = w.generate(many, false);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, prev);
    EXPECT_EQ(r, 1);
    EXPECT_FALSE(w.written());
    EXPECT_EQ(w.status().code(), platform::kPdfWriteFailed) << w.status().ToString();
    EXPECT_FALSE(fs::exists("out/full.pdf"));
    EXPECT_TRUE(no_leftovers("out"));
  }
}

}  // namespace
}  // namespace tdx::reports
