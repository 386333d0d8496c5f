// Views against the store's own reads, on one PRODBID of (by default) 1,000,000 product lines:
// 25,000 bids of 40 lines, added bid after bid in a scattered bid order.
//   1. one bid's 40 lines through a view (order "+PRO:BID_ID,+PRO:LINE_NUM", filter
//      "PRO:BID_ID = Glo:BID_ID"), averaged over many bids, beside set_from + next by hand;
//   2. the same bid in the distributor quote's order (sorted in memory after the range read);
//   3. the full ordered scan (order "+PRO:BID_ID,+PRO:LINE_NUM", no filter) beside set + next;
//   4. the full scan with a filter no key can serve, beside a hand-written comparison.
// Usage: view_bench [lines=1000000] [folder=/tmp/...]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/bids.h"
#include "runtime/expr/bound_names.h"
#include "runtime/store/errors.h"
#include "runtime/store/keyed_file.h"
#include "runtime/store/transaction.h"
#include "runtime/text/str.h"
#include "runtime/view/view.h"

namespace {

using Clock = std::chrono::steady_clock;
double secs(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

void check(const tdx::Status& s, const char* what) {
  if (!s.ok()) {
    std::fprintf(stderr, "%s: %s\n", what, s.ToString().c_str());
    std::exit(1);
  }
}

constexpr int kLinesPerBid = 40;
std::string bid_id(long b) { return "BID-" + std::to_string(100000 + b); }

}  // namespace

int main(int argc, char** argv) {
  long n = argc > 1 ? std::atol(argv[1]) : 1000000;
  std::string dir = argc > 2 ? argv[2] : "/tmp/tdx_view_bench_" + std::to_string(getpid());
  std::string mk = "mkdir -p '" + dir + "'";
  if (std::system(mk.c_str()) != 0) return 1;
  std::string path = dir + "/PRODBID.DAT";
  std::remove(path.c_str());
  tdx::store::KeyedFile pro(PRO::Decl());
  pro.set_name(path);
  check(pro.create(), "create");
  check(pro.open(), "open");

  long bids = n / kLinesPerBid;
  auto t0 = Clock::now();
  check(tdx::store::logout(std::chrono::seconds(2), {&pro}), "begin");
  auto* rec = reinterpret_cast<PRO::Record*>(pro.record());
  for (long i = 0; i < bids; ++i) {
    long b = (i * 7919) % bids;  // scattered: a bid's key range is not the stored order
    for (int line = 1; line <= kLinesPerBid; ++line) {
      pro.clear();
      rec->BID_ID = bid_id(b);
      rec->LINE_NUM = std::to_string(line);
      rec->MANUFAC = "Brand " + std::to_string((b + line) % 50);
      rec->PBCODE = "C" + std::to_string(b * 100 + line);
      rec->DESCRIP = "Product line description";
      check(pro.add(), "add");
    }
  }
  check(tdx::store::commit(), "commit");
  std::printf("PRODBID: %ld lines (%ld bids of %d) added in %.1f s\n", bids * kLinesPerBid, bids,
              kLinesPerBid, secs(t0));
  check(pro.send("QUICKSCAN=on"), "quickscan");

  tdx::BoundNames& names = tdx::BoundNames::global();
  tdx::BindFrame frame(names);
  check(tdx::view::bind_record(pro, names), "bind");
  tdx::Str<24> glo_bid;
  check(names.bind("Glo:BID_ID", tdx::VarRef::String(glo_bid.data(), 24)), "bind global");

  // 1. One bid.
  const int kRounds = 500;
  long view_rows = 0, hand_rows = 0;
  t0 = Clock::now();
  for (int r = 0; r < kRounds; ++r) {
    glo_bid = bid_id((r * 104729L) % bids);
    tdx::view::View v(pro, names);
    v.set_order("+PRO:BID_ID,+PRO:LINE_NUM");
    v.set_filter("PRO:BID_ID = Glo:BID_ID");
    check(v.open(), "view open");
    while (v.next().ok()) ++view_rows;
  }
  double view_one = secs(t0) / kRounds;
  t0 = Clock::now();
  for (int r = 0; r < kRounds; ++r) {
    glo_bid = bid_id((r * 104729L) % bids);
    pro.clear();
    rec->BID_ID = glo_bid.str();
    check(pro.set_from(PRO::BY_ID_LINE), "set_from");
    while (pro.next().ok() && tdx::compare_clipped_nocase(rec->BID_ID.raw(), glo_bid.raw()) == 0) {
      ++hand_rows;
    }
  }
  double hand_one = secs(t0) / kRounds;

  // 2. One bid in the distributor quote's order (not a key: read the range, sort it).
  long sorted_rows = 0;
  t0 = Clock::now();
  for (int r = 0; r < kRounds; ++r) {
    glo_bid = bid_id((r * 104729L) % bids);
    tdx::view::View v(pro, names);
    v.set_order("+PRO:BID_ID,+PRO:MANUFAC,+PRO:LINE_NUM,+PRO:ALT_PROD,+PRO:PBCODE");
    v.set_filter("PRO:BID_ID = Glo:BID_ID");
    check(v.open(), "view open");
    while (v.next().ok()) ++sorted_rows;
  }
  double view_sorted = secs(t0) / kRounds;

  // 3. Full ordered scan.
  long view_all = 0, hand_all = 0;
  t0 = Clock::now();
  {
    tdx::view::View v(pro, names);
    v.set_order("+PRO:BID_ID,+PRO:LINE_NUM");
    check(v.open(), "view open");
    while (v.next().ok()) ++view_all;
  }
  double view_scan = secs(t0);
  t0 = Clock::now();
  check(pro.set(PRO::BY_ID_LINE), "set");
  while (pro.next().ok()) ++hand_all;
  double hand_scan = secs(t0);

  // 4. Full scan, filter that no key serves.
  long view_f = 0, hand_f = 0;
  glo_bid = bid_id(bids / 2);
  t0 = Clock::now();
  {
    tdx::view::View v(pro, names);
    v.set_order("+PRO:BID_ID,+PRO:LINE_NUM");
    v.set_filter("CLIP(PRO:BID_ID) = Glo:BID_ID and PRO:MANUFAC <> ''");
    check(v.open(), "view open");
    while (v.next().ok()) ++view_f;
  }
  double view_filter = secs(t0);
  t0 = Clock::now();
  check(pro.set(PRO::BY_ID_LINE), "set");
  while (pro.next().ok()) {
    if (tdx::compare_clipped(rec->BID_ID.raw(), glo_bid.raw()) == 0 && !rec->MANUFAC.blank()) ++hand_f;
  }
  double hand_filter = secs(t0);

  std::printf("one bid of %d lines (mean of %d bids): view %.3f ms (%ld rows), by hand %.3f ms "
              "(%ld rows)\n",
              kLinesPerBid, kRounds, view_one * 1e3, view_rows / kRounds, hand_one * 1e3,
              hand_rows / kRounds);
  std::printf("one bid in the quote order (range read + sort): view %.3f ms (%ld rows)\n",
              view_sorted * 1e3, sorted_rows / kRounds);
  std::printf("full ordered scan: view %.2f s (%ld rows, %.0f rows/s), by hand %.2f s (%ld rows, "
              "%.0f rows/s)\n",
              view_scan, view_all, view_all / view_scan, hand_scan, hand_all,
              hand_all / hand_scan);
  std::printf("full scan with an unkeyed filter: view %.2f s (%ld rows), by hand %.2f s (%ld rows)\n",
              view_filter, view_f, hand_filter, hand_f);
  std::remove(path.c_str());
  std::string rm = "rmdir '" + dir + "' 2>/dev/null";
  (void)std::system(rm.c_str());
  return 0;
}
