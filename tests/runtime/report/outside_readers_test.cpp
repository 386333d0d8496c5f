// Our page images and PDFs as outside readers see them: libwmf (wmf2svg), poppler (pdftotext)
// and qpdf. The tools come from tools/packages.txt; a test fails when one is missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "runtime/report/page_queue.h"
#include "runtime/report/render.h"
#include "runtime/report/wmf.h"
#include "tests/runtime/report/fixture.h"

// fontconfig and cairo keep process-wide caches that are never freed; they are not our leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libcairo\nleak:libpixman\nleak:libfreetype\n";
}

namespace tdx::report {
namespace {

using testing::must_open;
using testing::must_parse;
using testing::Vars;

std::string run(const std::string& cmd, int* rc) {
  std::string out;
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  if (!p) {
    *rc = -1;
    return out;
  }
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  *rc = pclose(p);
  return out;
}

std::string slurp(const std::string& f) {
  std::ifstream in(f, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A 4 x 2 24-bit BMP: red, green, blue, white over black.
void write_bmp(const std::string& file) {
  const int w = 4, h = 2, stride = 12;
  std::vector<uint8_t> b(54 + stride * h, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B', b[1] = 'M';
  put32(2, static_cast<uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  b[26] = 1, b[28] = 24;
  const uint8_t top[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};
  for (int x = 0; x < w; ++x)
    for (int c = 0; c < 3; ++c) b[54 + stride + x * 3 + c] = top[x][c];  // bottom-up: row 1 is top
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<char*>(b.data()), b.size());
}

constexpr const char* kLayout = R"(
report body=500,1250,10000,6000 landscape font="Arial 8"
header at=500,500,10000,600
| text  |      | "Dez Iridovo Vevedu" |     | 52   | 31  | 2000 | 177 | bold |
| text  |      | "Page:"               |     | 9000 | 31  | -    | -   |      |
| field |      | #PAGE                 | @N4 | 9400 | 31  | -    | -   | left |
| image | ?SIG | "sig.bmp"             |     | 4000 | 100 | 2000 | 375 |      |
| line  |      |                       |     | 10   | 550 | 9980 | 0   |      |
band ?DETAIL
| box   |      |                       |       | 0    | 0   | 9990 | 250 |        |
| field |      | CODE                  | @s14  | 30   | 40  | -    | -   |        |
| field |      | DESC                  | @s36  | 1500 | 40  | 3000 | 177 | Tahoma |
| field |      | PRICE                 | @n$-15.4 | 5000 | 40 | 1500 | - | bold |
)";

TEST(OutsideReaders, LibwmfReadsEveryPageImageAndFindsItsTexts) {
  write_bmp("sig.bmp");
  Vars v;
  v.text("CODE", "");
  v.text("DESC", "");
  v.number("PRICE", 0);
  auto r = must_open(must_parse(kLayout), v);
  PageQueue q(folder_namer("."));
  r->set_sink(&q);
  for (int i = 0; i < 40; ++i) {
    v.text("CODE", "P" + std::to_string(1000 + i));
    v.text("DESC", "Caf\xE9 & Cr\xE8me <" + std::to_string(i) + ">");
    v.number("PRICE", 12.5 * i);
    ASSERT_TRUE(r->print("?DETAIL").ok());
  }
  ASSERT_TRUE(r->close().ok());
  ASSERT_GE(q.size(), 2u);
  int code_seen = 0;
  for (size_t i = 0; i < q.size(); ++i) {
    int rc;
    std::string svg_file = q.file(i) + ".svg";
    std::string out = run("wmf2svg -o " + svg_file + " " + q.file(i), &rc);
    ASSERT_EQ(rc, 0) << out;
    std::string svg = slurp(svg_file);
    EXPECT_NE(svg.find("Dez Iridovo Vevedu"), std::string::npos) << q.file(i);
    EXPECT_NE(svg.find("Page:"), std::string::npos);
    EXPECT_NE(svg.find(">" + std::to_string(i + 1) + "<"), std::string::npos) << "page number";
    EXPECT_NE(svg.find("<image"), std::string::npos) << "signature bitmap";
    for (int k = 0; k < 40; ++k)
      if (svg.find("P" + std::to_string(1000 + k)) != std::string::npos) ++code_seen;
  }
  EXPECT_EQ(code_seen, 40);
  ASSERT_TRUE(q.remove_files().ok());
}

TEST(OutsideReaders, PdfHasEveryTextAndPassesQpdf) {
  write_bmp("sig.bmp");
  Vars v;
  v.text("CODE", "");
  v.text("DESC", "");
  v.number("PRICE", 0);
  auto r = must_open(must_parse(kLayout), v);
  PageQueue q(folder_namer("."));
  r->set_sink(&q);
  std::vector<std::string> want;
  for (int i = 0; i < 30; ++i) {
    v.text("CODE", "Q" + std::to_string(500 + i));
    v.text("DESC", "Tomato paste " + std::to_string(i));
    v.number("PRICE", 3 + i);
    want.push_back("Q" + std::to_string(500 + i));
    ASSERT_TRUE(r->print("?DETAIL").ok());
  }
  ASSERT_TRUE(r->close().ok());
  ASSERT_TRUE(page_images_to_pdf(q.files(), "out.pdf").ok());
  int rc;
  std::string out = run("qpdf --check out.pdf", &rc);
  EXPECT_EQ(rc, 0) << out;
  out = run("pdfinfo out.pdf", &rc);
  size_t at = out.find("Pages:");
  ASSERT_NE(at, std::string::npos) << out;
  EXPECT_EQ(std::atoi(out.c_str() + at + 6), static_cast<int>(q.size())) << out;
  EXPECT_NE(out.find("792 x 612 pts"), std::string::npos) << out;  // landscape letter
  std::string text = run("pdftotext -layout out.pdf -", &rc);
  ASSERT_EQ(rc, 0) << text;
  for (const std::string& w : want) EXPECT_NE(text.find(w), std::string::npos) << w;
  EXPECT_NE(text.find("Dez Iridovo Vevedu"), std::string::npos);
  EXPECT_NE(text.find("$29.0000"), std::string::npos) << text.substr(0, 2000);
  EXPECT_NE(text.find("Tomato paste 29"), std::string::npos);
  out = run("pdffonts out.pdf", &rc);
  EXPECT_NE(out.find("LiberationSans"), std::string::npos) << out;
  EXPECT_EQ(out.find(" no  "), std::string::npos) << "every font embedded:\n" << out;

  // A preview PNG of the first page at 50 dpi: 550 x 425 pixels.
  auto first = read_wmf_file(q.file(0));
  ASSERT_TRUE(first.ok());
  ASSERT_TRUE(render_png(*first, 50, "page1.png").ok());
  std::string png = slurp("page1.png");
  ASSERT_GT(png.size(), 24u);
  auto be32 = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(png[at]) << 24 |
                                 static_cast<uint8_t>(png[at + 1]) << 16 |
                                 static_cast<uint8_t>(png[at + 2]) << 8 |
                                 static_cast<uint8_t>(png[at + 3]));
  };
  EXPECT_EQ(be32(16), 550u);
  EXPECT_EQ(be32(20), 425u);
  ASSERT_TRUE(q.remove_files().ok());
}

TEST(OutsideReaders, PrinterPathWritesPostScriptStraightFromTheReport) {
  Vars v;
  v.text("CODE", "");
  v.text("DESC", "");
  v.number("PRICE", 0);
  auto r = must_open(must_parse(kLayout), v);
  auto ps = DocumentWriter::Create("out.ps", DocumentKind::PostScript);
  ASSERT_TRUE(ps.ok());
  r->set_sink(ps->get());
  v.text("CODE", "PSCODE1");
  ASSERT_TRUE(r->print("?DETAIL").ok());
  ASSERT_TRUE(r->close().ok());
  EXPECT_EQ((*ps)->pages(), 1);
  std::string text = slurp("out.ps");
  EXPECT_EQ(text.rfind("%!PS", 0), 0u);
}

}  // namespace
}  // namespace tdx::report
