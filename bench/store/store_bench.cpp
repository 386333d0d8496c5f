// Throughput of the keyed record store on PRODUCT records, measured against a bare SQLite read of
// the same table in the same run. Usage: store_bench [records=1000000] [folder=/tmp/...]
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/catalog.h"
#include "data/record_file.h"
#include "runtime/store/transaction.h"

namespace {

using Clock = std::chrono::steady_clock;
double secs(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

void check(const tdx::Status& s, const char* what) {
  if (!s.ok()) {
    std::fprintf(stderr, "%s: %s\n", what, s.ToString().c_str());
    std::exit(1);
  }
}

std::string brand(long i) { return "Brand " + std::to_string(i % 997); }
std::string code(long i) { return "C" + std::to_string(1000000 + (i * 7919) % 1000003); }

}  // namespace

int main(int argc, char** argv) {
  long n = argc > 1 ? std::atol(argv[1]) : 1000000;
  std::string dir = argc > 2 ? argv[2] : "/tmp/tdx_store_bench_" + std::to_string(getpid());
  std::string mk = "mkdir -p '" + dir + "'";
  if (std::system(mk.c_str()) != 0) return 1;
  std::string path = dir + "/PRODUCT.DAT";
  std::remove(path.c_str());
  tdx::data::RecordFile<PRD::Record> prd(PRD::Decl());
  prd.set_name(path);
  check(prd.create(), "create");
  check(prd.open(), "open");

  auto t0 = Clock::now();
  check(tdx::store::logout(std::chrono::seconds(2), {&prd}), "begin");
  for (long i = 0; i < n; ++i) {
    prd.clear();
    prd.rec().MANUFAC = brand(i);
    prd.rec().PROD_CODE = code(i);
    prd.rec().PROD_DES = "Product description " + std::to_string(i);
    prd.rec().PACK = "6/10 LB";
    check(prd.rec().PRICE1.set(tdx::Decimal(i % 5000)), "price");
    check(prd.add(), "add");
  }
  check(tdx::store::commit(), "commit");
  double add_s = secs(t0);

  auto scan = [&](const char* option) {
    check(prd.send(option), "option");
    auto t = Clock::now();
    long count = 0;
    check(prd.set(PRD::BY_MAN_PRO), "set");
    while (prd.next().ok()) ++count;
    if (count != n) std::fprintf(stderr, "scan read %ld of %ld\n", count, n);
    return secs(t);
  };
  double quick_s = scan("QUICKSCAN=on");
  double slow_s = scan("QUICKSCAN=off");

  long gets = n < 200000 ? n : 200000;
  auto t = Clock::now();
  for (long j = 0; j < gets; ++j) {
    long i = (j * 104729) % n;
    prd.clear();
    prd.rec().MANUFAC = brand(i);
    prd.rec().PROD_CODE = code(i);
    check(prd.get(PRD::BY_MAN_PRO), "get");
  }
  double get_s = secs(t);
  prd.close();

  // The same key-order read, straight through SQLite: one statement stepped to the end.
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT id,ver,rec,m0 FROM data WHERE k1_0 IS NOT NULL "
                     "ORDER BY k1_0,k1_1,id",
                     -1, &st, nullptr);
  t = Clock::now();
  long raw = 0;
  size_t bytes = 0;
  while (sqlite3_step(st) == SQLITE_ROW) {
    bytes += static_cast<size_t>(sqlite3_column_bytes(st, 2));
    ++raw;
  }
  double raw_s = secs(t);
  sqlite3_finalize(st);
  sqlite3_close(db);

  // And the sqlite3 shell reading the same table in the same order.
  std::string cli = "sqlite3 '" + path +
                    "' 'SELECT length(rec) FROM data WHERE k1_0 IS NOT NULL ORDER BY "
                    "k1_0,k1_1,id' > /dev/null";
  t = Clock::now();
  int cli_rc = std::system(cli.c_str());
  double cli_s = secs(t);

  std::printf("store benchmark, %ld PRODUCT records (%s)\n", n, path.c_str());
  std::printf("  add (one transaction)        %10.0f records/s\n", n / add_s);
  std::printf("  key order, QUICKSCAN=on      %10.0f records/s\n", n / quick_s);
  std::printf("  key order, QUICKSCAN=off     %10.0f records/s\n", n / slow_s);
  std::printf("  keyed get (BY_MAN_PRO)       %10.0f records/s\n", gets / get_s);
  std::printf("  bare SQLite, same read       %10.0f records/s (%ld rows, %zu bytes)\n",
              raw / raw_s, raw, bytes);
  if (cli_rc == 0)
    std::printf("  sqlite3 shell, same read     %10.0f records/s\n", n / cli_s);
  else
    std::printf("  sqlite3 shell not available\n");
  std::string rm = "rm -rf '" + dir + "'";
  if (argc <= 2 && std::system(rm.c_str()) != 0) return 1;
  return 0;
}
