// Report engine benchmark: fills N pages (default 10,000) of a product-list-like layout into page
// images, renders the page images into one PDF, and has ReportLab draw the same pages for
// comparison. Prints pages/s for each stage and the peak memory.
//   report_bench [pages]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "runtime/base/value.h"
#include "runtime/report/engine.h"
#include "runtime/report/page_queue.h"
#include "runtime/report/render.h"
#include "runtime/report/wmf.h"
#include "runtime/text/cp1252.h"

using namespace tdx;
using namespace tdx::report;

namespace {

long peak_rss_kb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

struct Vars {
  std::map<std::string, std::unique_ptr<char[]>> texts;
  std::map<std::string, std::unique_ptr<double>> reals;
  std::map<std::string, std::unique_ptr<int32_t>> longs;
  void set(const std::string& n, const std::string& v) {
    auto& p = texts[n];
    if (!p) p.reset(new char[40]);
    std::memset(p.get(), ' ', 40);
    std::memcpy(p.get(), v.data(), std::min<size_t>(v.size(), 40));
  }
  void set(const std::string& n, double v) {
    auto& p = reals[n];
    if (!p) p.reset(new double);
    *p = v;
  }
  void set_long(const std::string& n, int32_t v) {
    auto& p = longs[n];
    if (!p) p.reset(new int32_t);
    *p = v;
  }
  VarRef get(std::string_view name) {
    std::string n(name);
    if (auto it = texts.find(n); it != texts.end()) return VarRef::String(it->second.get(), 40);
    if (auto it = reals.find(n); it != reals.end()) return VarRef::Real(it->second.get());
    if (auto it = longs.find(n); it != longs.end()) return VarRef::Long(it->second.get());
    return VarRef();
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int target = argc > 1 ? std::atoi(argv[1]) : 10000;
  std::ifstream lf(std::string(TDX_SOURCE_DIR) + "/bench/report/product_list.layout");
  std::stringstream ss;
  ss << lf.rdbuf();
  auto layout = parse_layout(ss.str(), "product_list.layout");
  if (!layout.ok()) {
    std::fprintf(stderr, "%s\n", layout.status().ToString().c_str());
    return 1;
  }
  char tmpl[] = "/tmp/report_bench_XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string dir = tmpl;

  Vars v;
  for (const char* n : {"PRD:MANUFAC", "PRD:PROD_CODE", "PRD:PACK", "PRD:PROD_DES",
                        "PRD:PROD_DIVISON", "PRD:UPC_CODE", "PRD:RANGE1", "PRD:RANGE2",
                        "CURRMANUF"})
    v.set(n, "");
  for (const char* n : {"PRD:GROSS_WT", "PRD:NET_WT", "PRD:PRICE1", "PRD:PRICE2"}) v.set(n, 0.0);
  v.set_long("RECCOUNT", 0);
  v.set_long("RUNDATE", 81234);
  v.set_long("RUNTIME", 4500001);
  auto report = Report::Open(*layout, [&](std::string_view n) { return v.get(n); });
  if (!report.ok()) {
    std::fprintf(stderr, "%s\n", report.status().ToString().c_str());
    return 1;
  }
  Report& r = **report;
  PageQueue queue(folder_namer(dir));
  r.set_sink(&queue);

  // Stage 1: fill to page images.
  auto t1 = std::chrono::steady_clock::now();
  long records = 0;
  int32_t in_brand = 0;
  Status st;
  while (st.ok() && r.pages_done() < target - 1) {
    if (records % 40 == 0) {
      if (records > 0) {
        *v.longs["RECCOUNT"] = in_brand;
        st = r.print("?BRANDTOTAL");
      }
      char brand[40];
      std::snprintf(brand, sizeof brand, "BRAND %05ld FOODS", records / 40);
      v.set("PRD:MANUFAC", brand);
      v.set("CURRMANUF", brand);
      in_brand = 0;
      if (st.ok()) st = r.print("?BRANDHEAD");
    }
    char code[24];
    std::snprintf(code, sizeof code, "P%07ld", records);
    v.set("PRD:PROD_CODE", code);
    v.set("PRD:PACK", "6/#10 CAN");
    v.set("PRD:PROD_DES", "TOMATO PASTE, 26% SOLIDS, FANCY " + std::to_string(records % 97));
    v.set("PRD:PROD_DIVISON", "GROCERY");
    v.set("PRD:UPC_CODE", "0 12345 67890 " + std::to_string(records % 10));
    v.set("PRD:RANGE1", "1-99 CS");
    v.set("PRD:RANGE2", "100+ CS");
    v.set("PRD:GROSS_WT", 41.25 + records % 7);
    v.set("PRD:NET_WT", 39.5);
    v.set("PRD:PRICE1", 1234.5678 + records % 13);
    v.set("PRD:PRICE2", 1199.25);
    if (st.ok()) st = r.print("?DETAILBAND");
    ++records;
    ++in_brand;
  }
  if (st.ok()) st = r.close();
  if (!st.ok()) {
    std::fprintf(stderr, "fill: %s\n", st.ToString().c_str());
    return 1;
  }
  const double fill_s = seconds_since(t1);
  const int pages = static_cast<int>(queue.size());
  const long rss_fill = peak_rss_kb();

  // Stage 2: page images -> one PDF.
  auto t2 = std::chrono::steady_clock::now();
  const std::string pdf = dir + "/report.pdf";
  st = page_images_to_pdf(queue.files(), pdf);
  if (!st.ok()) {
    std::fprintf(stderr, "pdf: %s\n", st.ToString().c_str());
    return 1;
  }
  const double pdf_s = seconds_since(t2);
  const long rss_pdf = peak_rss_kb();
  std::ifstream pf(pdf, std::ios::binary | std::ios::ate);
  const long pdf_bytes = static_cast<long>(pf.tellg());

  // The same pages for ReportLab (not timed here).
  const std::string dump = dir + "/pages.txt";
  {
    std::ofstream out(dump);
    for (const std::string& f : queue.files()) {
      auto page = read_wmf_file(f);
      if (!page.ok()) return 1;
      out << "P " << page->width << ' ' << page->height << '\n';
      for (const PageItem& it : page->items) {
        if (auto* t = std::get_if<TextRun>(&it)) {
          out << "T " << t->x << ' ' << t->y << ' ' << t->font.height << ' ' << t->font.bold
              << ' ' << t->font.italic << ' ' << cp1252_to_utf8(t->text) << '\n';
        } else if (auto* l = std::get_if<LineItem>(&it)) {
          out << "L " << l->x1 << ' ' << l->y1 << ' ' << l->x2 << ' ' << l->y2 << ' ' << l->width
              << '\n';
        } else if (auto* b = std::get_if<BoxItem>(&it)) {
          out << "B " << b->r.x << ' ' << b->r.y << ' ' << b->r.w << ' ' << b->r.h << ' '
              << b->width << '\n';
        }
      }
    }
  }
  std::string cmd = "/usr/bin/python3 " + std::string(TDX_SOURCE_DIR) +
                    "/bench/report/reportlab_pages.py " + dump + " " + dir + "/reportlab.pdf";
  std::string rl = "reportlab: not run";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    rl.clear();
    while (fgets(buf, sizeof buf, p)) rl += buf;
    if (pclose(p) != 0) rl = "reportlab failed: " + rl;
    while (!rl.empty() && rl.back() == '\n') rl.pop_back();
  }

  std::printf("records printed: %ld, pages: %d\n", records, pages);
  std::printf("fill to page images: %.2f s = %.0f pages/s (peak RSS %ld KiB)\n", fill_s,
              pages / fill_s, rss_fill);
  std::printf("page images to PDF:  %.2f s = %.0f pages/s (peak RSS %ld KiB, PDF %ld bytes)\n",
              pdf_s, pages / pdf_s, rss_pdf, pdf_bytes);
  std::printf("%s\n", rl.c_str());
  std::string clean = "rm -rf " + dir;
  return std::system(clean.c_str()) == 0 ? 0 : 1;
}
