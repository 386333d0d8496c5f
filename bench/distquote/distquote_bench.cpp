// Distributor quote benchmark: the whole report run of one quote (start of the run, view with
// the bid's range read and sort, line checks, headings, history, comments, page images, spool
// printer) for a 40-line generated bid, from the sample data set at a small and a large scale.
// The bid id pins the range of PRODBID the view reads, so the time of a quote should not grow
// with the file.
//   distquote_bench [folder] [runs] [scales...]   default /tmp/distquote-bench, 20 runs, 2 1000
//
// Each scale's data set is written once into <folder>/scale-N (kept for later runs) by a child
// process. Prints, per scale, the PRODBID record count, the lines of the bid, pages, and the
// median and minimum time of one quote.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/globals.h"
#include "core/sample/sample.h"
#include "reports/bids/dist_quote.h"
#include "runtime/path/path.h"
#include "runtime/settings/settings.h"
#include "runtime/ui/scripted_frontend.h"

namespace fs = std::filesystem;
using namespace tdx;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kBid = "A0001-B00001";  // a generated bid: 20 lines, 40 offered products

int write_sample(const fs::path& dir, int scale) {
  if (fs::exists(dir / "done")) return 0;
  fs::remove_all(dir);
  pid_t pid = fork();
  if (pid == 0) {
    std::ostringstream log;
    Status s = core::WriteSample(dir.string(), scale, log);
    if (!s.ok()) std::fprintf(stderr, "sample: %s\n", s.ToString().c_str());
    _exit(s.ok() ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
  std::FILE* f = std::fopen((dir / "done").c_str(), "w");
  if (f) std::fclose(f);
  return 0;
}

long count_lines(const char* bid) {
  long n = 0;
  if (!PRODBID::file.open().ok()) return -1;
  PRODBID::file.clear();
  PRODBID::rec().BID_ID = bid;
  (void)PRODBID::file.set_from(PRO::BY_BID_ID);
  while (PRODBID::file.next().ok() && PRODBID::rec().BID_ID == bid) ++n;
  PRODBID::file.close();
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path folder = argc > 1 ? argv[1] : "/tmp/distquote-bench";
  int runs = argc > 2 ? std::atoi(argv[2]) : 20;
  std::vector<int> scales;
  for (int i = 3; i < argc; ++i) scales.push_back(std::atoi(argv[i]));
  if (scales.empty()) scales = {2, 1000};
  const fs::path start = fs::current_path();

  std::printf("%-7s %10s %6s %6s %12s %12s\n", "scale", "PRODBID", "lines", "pages", "median ms",
              "min ms");
  for (int scale : scales) {
    fs::path dir = folder / ("scale-" + std::to_string(scale));
    if (write_sample(dir, scale) != 0) return 1;
    fs::current_path(dir);
    (void)put_ini("Printer", "Kind", "spool", ".\\TENDIX.INI");
    (void)put_ini("Printer", "SpoolDir", "spool", ".\\TENDIX.INI");
    long records = 0;
    if (PRODBID::file.open().ok()) records = static_cast<long>(*PRODBID::file.records());
    PRODBID::file.close();
    const long lines = count_lines(kBid);

    std::vector<double> ms;
    int pages = 0;
    for (int r = 0; r < runs; ++r) {
      fs::remove_all("spool");
      core::ResetGlobals();
      Glo::BID_ID = kBid;
      Glo::History = 1;
      FAX::PrintYes = 1;
      ui::ScriptedFrontend fe;
      (void)fe.load("");
      ui::ScopedFrontend scope(&fe);
      auto t0 = Clock::now();
      int32_t response = reports::RunDistQuote({});
      ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
      if (response != 1 || !fe.finish().ok()) {
        std::fprintf(stderr, "scale %d: the quote did not complete:\n%s\n", scale,
                     fe.transcript().c_str());
        return 1;
      }
      if (r == 0) {
        const std::string& t = fe.transcript();
        size_t at = t.find(" pages");
        size_t from = t.rfind(' ', at - 1);
        if (at != std::string::npos) pages = std::atoi(t.c_str() + from + 1);
      }
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-7d %10ld %6ld %6d %12.1f %12.1f\n", scale, records, lines, pages,
                ms[ms.size() / 2], ms.front());
    std::fflush(stdout);
    fs::current_path(start);
  }
  return 0;
}
