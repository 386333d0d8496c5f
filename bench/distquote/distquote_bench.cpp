// Distributor quote benchmark: the whole report run of one quote (start of the run, view with
// the bid's range read and sort, line checks, headings, history, comments, page images, spool
// printer) for a 40-line generated bid, from a PRODBID of about 1,000,000 lines and from one of
// 1,000 lines. The bid id pins the range of PRODBID the view reads, so the time of a quote should
// not grow with the file.
//   distquote_bench [folder] [runs]       default /tmp/distquote-bench, 20 runs
//
// The large data set is the sample at scale 1000, written once into <folder>/scale-1000 (kept
// for later runs) by a child process. The small one, <folder>/small, is the same data set with
// only PRODBID cut down to its first 1,000 lines in bid order (the benchmark's bid among them):
// its other files are hard links to the large set's, so the two runs differ only in PRODBID and
// print the same pages. Prints, per set, the PRODBID record count, the lines of the bid, pages,
// the median and minimum time of one quote, and the time of PRODBID's record count alone (the
// run's progress total, counted by the store row by row: the one part that grows with the file).
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
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

// <folder>/small: every file of `large` linked, PRODBID cut to its first `keep` lines by bid.
int make_small(const fs::path& large, const fs::path& small, long keep) {
  if (fs::exists(small / "done")) return 0;
  fs::remove_all(small);
  fs::create_directories(small);
  for (const auto& e : fs::directory_iterator(large)) {
    const std::string name = e.path().filename().string();
    if (!e.is_regular_file() || name == "PRODBID.DAT" || name == "done") continue;
    std::error_code ec;
    fs::create_hard_link(e.path(), small / name, ec);
    if (ec) fs::copy_file(e.path(), small / name, ec);
    if (ec) return 1;
  }
  data::RecordFile<PRO::Record> from(PRO::Decl()), to(PRO::Decl());
  from.set_name((large / "PRODBID.DAT").string());
  to.set_name((small / "PRODBID.DAT").string());
  if (!from.open().ok() || !to.create(true).ok() || !to.open().ok()) return 1;
  (void)from.send("QUICKSCAN=on");
  (void)from.set(PRO::BY_BID_ID);
  for (long n = 0; n < keep && from.next().ok(); ++n) {
    std::memcpy(to.record(), from.record(), to.record_size());
    if (!to.add().ok()) return 1;
  }
  from.close();
  to.close();
  std::FILE* f = std::fopen((small / "done").c_str(), "w");
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
  const fs::path start = fs::current_path();
  const fs::path large = folder / "scale-1000";
  if (write_sample(large, 1000) != 0) return 1;
  if (make_small(large, folder / "small", 1000) != 0) return 1;

  std::printf("%-11s %10s %6s %6s %12s %12s %14s\n", "data set", "PRODBID", "lines", "pages",
              "median ms", "min ms", "count ms");
  for (const char* set : {"small", "scale-1000"}) {
    const fs::path dir = folder / set;
    fs::current_path(dir);
    (void)put_ini("Printer", "Kind", "spool", ".\\TENDIX.INI");
    (void)put_ini("Printer", "SpoolDir", "spool", ".\\TENDIX.INI");
    // The run's progress total is PRODBID's record count, which the store counts row by row:
    // timed here on its own, as the part of a quote that grows with the file.
    long records = 0;
    double count_ms = 0;
    if (PRODBID::file.open().ok()) {
      records = static_cast<long>(*PRODBID::file.records());
      auto t0 = Clock::now();
      for (int i = 0; i < 5; ++i) (void)PRODBID::file.records();
      count_ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / 5;
    }
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
        std::fprintf(stderr, "%s: the quote did not complete:\n%s\n", set,
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
    std::printf("%-11s %10ld %6ld %6d %12.1f %12.1f %14.1f\n", set, records, lines, pages,
                ms[ms.size() / 2], ms.front(), count_ms);
    std::fflush(stdout);
    fs::current_path(start);
  }
  return 0;
}
