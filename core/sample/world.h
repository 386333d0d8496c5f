// The sample set's cast, shared by the catalog and the bid writers: who the brands, products,
// distributors, agencies, representatives and competitors are, so that every name a bid uses
// is one the catalog and reference files hold. Internal to core/sample.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "data/record_file.h"
#include "runtime/base/status.h"
#include "runtime/decimal/decimal.h"
#include "runtime/store/transaction.h"

namespace tdx::core::sample {

// A small deterministic generator (splitmix64): the same seed gives the same set everywhere.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint64_t next() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 <= n < bound. REQUIRES: bound > 0
  int below(int bound) { return static_cast<int>(next() % static_cast<uint64_t>(bound)); }
  bool chance(int percent) { return below(100) < percent; }

 private:
  uint64_t s_;
};

struct Product {
  int brand = 0;  // index into World::brands
  std::string code, description, division, pack;
  Decimal price;  // level 1; the other levels step down from it
  Decimal net_wt, gross_wt;
  bool discontinued = false;
};

struct Brand {
  std::string name;
  std::vector<int> products;      // indexes into World::products
  std::vector<int> distributors;  // indexes into World::distributors (MFRDIST)
};

struct Agency {
  std::string name;
  std::vector<int> distributors;  // AGE:DIST1..5
};

struct World {
  int scale = 1;
  std::vector<Brand> brands;
  std::vector<Product> products;
  std::vector<std::string> distributors;
  std::vector<Agency> agencies;
  std::vector<std::string> regions, reps, competitors;
  std::vector<std::string> bid_types;  // Code_Def "BIDT" values
  int std_comments = 0;                // StdComm ids 1..std_comments
  // (brand, distributor) pairs without a distributor code for one product: the reports print
  // a blank code there.
};

// A data file being written: created empty in the sample folder, open, counting its records.
template <typename Rec>
class Out {
 public:
  Out(const std::string& dir, std::shared_ptr<const store::FileDecl> decl) : f_(decl) {
    f_.set_name(dir + "/" + decl->file_name);
  }
  Status create() {
    Status s = f_.create(/*replace=*/true);
    return s.ok() ? f_.open() : s;
  }
  Rec& rec() { return f_.rec(); }
  std::string& memo(size_t i) { return f_.memo(i); }
  void clear() { f_.clear(); }
  Status add() {
    ++count_;
    return f_.add();
  }
  store::KeyedFile* file() { return &f_; }
  long long count() const { return count_; }
  const std::string& label() const { return f_.decl().label; }
  void close() { f_.close(); }

 private:
  data::RecordFile<Rec> f_;
  long long count_ = 0;
};

inline constexpr std::chrono::milliseconds kSampleLockWait{5000};

// Writes one file in one transaction: create, fill(out), commit, report the count.
template <typename Rec, typename Fill>
Status write_file(const std::string& dir, std::shared_ptr<const store::FileDecl> decl,
                  std::ostream& progress, Fill fill) {
  Out<Rec> out(dir, decl);
  Status s = out.create();
  if (!s.ok()) return s;
  if (!(s = store::logout(kSampleLockWait, {out.file()})).ok()) return s;
  s = fill(out);
  if (!s.ok()) {
    (void)store::rollback();
    return s;
  }
  if (!(s = store::commit()).ok()) return s;
  out.close();
  progress << out.label() << ": " << out.count() << " records\n";
  return Status();
}

#define TDX_SAMPLE_TRY(expr)   \
  do {                         \
    ::tdx::Status s_ = (expr); \
    if (!s_.ok()) return s_;   \
  } while (0)

// Exact decimal from a literal written in the source ("12.50").
Decimal dec(const char* text);
// "(410)555-0123"
std::string phone(int area, int exchange, int line);

// The cast for a scale, without writing anything.
World make_world(int scale);
// Catalog, reference, company, letters (sample_catalog.cpp) and bids (sample_bids.cpp).
Status write_catalog(const std::string& dir, const World& w, std::ostream& progress);
Status write_reference(const std::string& dir, const World& w, std::ostream& progress);
Status write_bids(const std::string& dir, const World& w, std::ostream& progress);

}  // namespace tdx::core::sample
