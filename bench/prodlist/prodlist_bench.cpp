// Product list benchmark: the detail variant of the product list over a large catalog, the whole
// report run (view through the brand/code key, group breaks, bands, the progress window's timer
// batches through the scripted frontend) to page images, then the page images to one PDF; and
// ReportLab drawing the same pages (every text, line and box of our page images) in the same
// run. Prints records/s, pages/s and peak memory of each, beside the 2,500 records/s that 25
// records per timer event of 1/100 s allow an interactive run.
//   prodlist_bench [products] [folder]      default 100000 products, folder /tmp/prodlist-bench
//
// The catalog is the sample data set (scale 51: the small set and 50 generated brands of 20
// products), each product repeated with a numbered code ("G0001-001/07") until the count is
// reached. It is written by a child process, so the peak memory shown is the report's alone.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/globals.h"
#include "core/sample/sample.h"
#include "reports/catalog/product_list.h"
#include "reports/framework/output_routing.h"
#include "runtime/path/path.h"
#include "runtime/report/render.h"
#include "runtime/report/wmf.h"
#include "runtime/store/transaction.h"
#include "runtime/text/cp1252.h"
#include "runtime/ui/scripted_frontend.h"

namespace fs = std::filesystem;
using namespace tdx;
using Clock = std::chrono::steady_clock;

namespace {

double seconds_since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

long peak_rss_kb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

// The sample at scale 51, its products repeated up to `want`. Runs in the current directory.
int write_catalog(long want) {
  std::ostringstream log;
  Status s = core::WriteSample(".", 51, log);
  if (!s.ok()) {
    std::fprintf(stderr, "sample: %s\n", s.ToString().c_str());
    return 1;
  }
  if (!PRODUCT::file.open().ok()) return 1;
  std::vector<PRD::Record> base;
  std::vector<std::string> memos;
  (void)PRODUCT::file.set_file();
  for (Status r = PRODUCT::file.next(); r.ok(); r = PRODUCT::file.next()) {
    base.push_back(PRODUCT::rec());
    memos.push_back(std::string(PRODUCT::file.memo(PRD::EXTND_DESCR_MEMO)));
  }
  long have = static_cast<long>(*PRODUCT::file.records());
  // One transaction: the adds are written together, as the sample writes its files.
  if (!store::logout(std::chrono::seconds(2), {&PRODUCT::file}).ok()) return 1;
  for (int copy = 1; have < want; ++copy)
    for (size_t i = 0; i < base.size() && have < want; ++i) {
      PRODUCT::rec() = base[i];
      char code[32];
      std::snprintf(code, sizeof code, "%s/%02d", std::string(base[i].PROD_CODE.clipped()).c_str(),
                    copy);
      PRODUCT::rec().PROD_CODE = code;
      PRODUCT::file.memo(PRD::EXTND_DESCR_MEMO) = memos[i];
      if (!PRODUCT::file.add().ok()) return 1;
      ++have;
    }
  if (!store::commit().ok()) return 1;
  PRODUCT::file.close();
  std::printf("catalog: %ld products\n", have);
  return 0;
}

// Pages to the run's page queue, kept after the run for the PDF and ReportLab stages.
class KeepPages : public reports::OutputRouting {
 public:
  std::vector<std::string> pages;
  double seconds = 0;  // from the start of the run to the last page image written
  Clock::time_point start;

  Status open_report(reports::RunState& st, report::Report& rpt) override {
    std::error_code ec;
    fs::create_directories(st.page_folder, ec);
    rpt.set_sink(st.pages);
    return Status::Ok();
  }
  void end_run(reports::RunState& st) override {
    if (st.report) (void)st.report->end_page();
    pages = st.pages->files();
    seconds = seconds_since(start);
  }
};

// Our pages as the display-list dump reportlab_pages.py draws.
Status dump_pages(const std::vector<std::string>& pages, const std::string& file) {
  std::ofstream out(file);
  for (const std::string& p : pages) {
    auto page = report::read_wmf_file(p);
    if (!page.ok()) return page.status();
    out << "P " << page->width << ' ' << page->height << '\n';
    for (const report::PageItem& item : page->items) {
      if (auto t = std::get_if<report::TextRun>(&item)) {
        out << "T " << t->x << ' ' << t->y << ' ' << t->font.height << ' ' << t->font.bold << ' '
            << t->font.italic << ' ' << cp1252_to_utf8(t->text) << '\n';
      } else if (auto l = std::get_if<report::LineItem>(&item)) {
        out << "L " << l->x1 << ' ' << l->y1 << ' ' << l->x2 << ' ' << l->y2 << ' ' << l->width
            << '\n';
      } else if (auto b = std::get_if<report::BoxItem>(&item)) {
        out << "B " << b->r.x << ' ' << b->r.y << ' ' << b->r.w << ' ' << b->r.h << ' ' << b->width
            << '\n';
      }
    }
  }
  return out ? Status::Ok() : Status(1, "cannot write " + file);
}

}  // namespace

int main(int argc, char** argv) {
  const long products = argc > 1 ? std::atol(argv[1]) : 100000;
  const fs::path folder = fs::absolute(argc > 2 ? argv[2] : "/tmp/prodlist-bench");
  fs::remove_all(folder);
  fs::create_directories(folder);
  if (!change_dir(folder.string()).ok()) return 1;

  const auto t_data = Clock::now();
  pid_t child = fork();
  if (child == 0) _exit(write_catalog(products));
  int wstatus = 0;
  waitpid(child, &wstatus, 0);
  if (!WIFEXITED(wstatus) || WEXITSTATUS(wstatus) != 0) {
    std::fprintf(stderr, "writing the catalog failed\n");
    return 1;
  }
  std::printf("data written in %.1f s (not measured below)\n", seconds_since(t_data));

  // The run: detail variant, every brand, previewed (pages to the page queue).
  core::ResetGlobals();
  Glo::Detail = 1;
  ui::ScriptedFrontend fe;
  if (!fe.load("answer Yes").ok()) return 1;
  ui::ScopedFrontend scope(&fe);
  KeepPages routing;
  reports::catalog::ProductList report;
  report.set_routing(&routing);
  routing.start = Clock::now();
  report.run();
  if (!fe.finish().ok()) {
    std::fprintf(stderr, "run: %s\n%s", fe.finish().ToString().c_str(), fe.transcript().c_str());
    return 1;
  }
  const long records = report.TTLRECCOUNT;
  const size_t pages = routing.pages.size();
  const double run_s = routing.seconds;
  const long run_peak = peak_rss_kb();

  const auto t_pdf = Clock::now();
  Status pdf = report::page_images_to_pdf(routing.pages, (folder / "ours.pdf").string());
  const double pdf_s = seconds_since(t_pdf);
  if (!pdf.ok()) {
    std::fprintf(stderr, "pdf: %s\n", pdf.ToString().c_str());
    return 1;
  }
  const long our_peak = peak_rss_kb();

  // ReportLab, the same pages.
  if (!dump_pages(routing.pages, (folder / "pages.dump").string()).ok()) return 1;
  const std::string script = std::string(TDX_SOURCE_DIR) + "/bench/report/reportlab_pages.py";
  const auto t_rl = Clock::now();
  pid_t rl = fork();
  if (rl == 0) {
    execl("/usr/bin/python3", "python3", script.c_str(), (folder / "pages.dump").c_str(),
          (folder / "reportlab.pdf").c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  struct rusage ru {};
  wait4(rl, &wstatus, 0, &ru);
  const double rl_wall = seconds_since(t_rl);
  const bool rl_ok = WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0;

  for (const std::string& p : routing.pages) fs::remove(p);

  std::printf("\nproduct list, detail variant, every brand: %ld products, %zu pages\n", records,
              pages);
  std::printf("%-44s %8s %12s %10s %9s\n", "stage", "seconds", "records/s", "pages/s", "peak MB");
  std::printf("%-44s %8.2f %12.0f %10.0f %9.1f\n", "ours: report run to page images", run_s,
              records / run_s, pages / run_s, run_peak / 1024.0);
  std::printf("%-44s %8.2f %12s %10.0f %9.1f\n", "ours: page images to one PDF", pdf_s, "",
              pages / pdf_s, our_peak / 1024.0);
  std::printf("%-44s %8.2f %12.0f %10.0f %9.1f\n", "ours: records to PDF", run_s + pdf_s,
              records / (run_s + pdf_s), pages / (run_s + pdf_s), our_peak / 1024.0);
  if (rl_ok)
    std::printf("%-44s %8.2f %12s %10.0f %9.1f\n", "ReportLab: the same pages to PDF (process)",
                rl_wall, "", pages / rl_wall, ru.ru_maxrss / 1024.0);
  else
    std::printf("ReportLab did not run (python3-reportlab installed?)\n");
  std::printf("%-44s %8.2f %12.0f %10.0f\n", "timer limit: 25 records per 1/100 s event",
              records / 2500.0, 2500.0, pages / (records / 2500.0));
  std::printf("PDFs: %s, %s\n", (folder / "ours.pdf").c_str(), (folder / "reportlab.pdf").c_str());
  return rl_ok ? 0 : 1;
}
