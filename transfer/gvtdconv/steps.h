// TransferSteps: the five steps of a transfer run, record by record, over open TransferFiles.
//
//   1 principals to brands (PrinMfr.tps, MANUF)     2 customers to distributors (CusDist.tps, DISTRI)
//   3 items to products (ItmProd.tps, PRODUCT)      4 principal-customer relations to MFRDIST
//   5 customer items to distributor product codes (MDPRODS)
// Each step reads its back-office table from start to end. Steps 1-3 skip what the
// cross-reference files say was transferred before and add the cross reference together with
// the catalog record; steps 4 and 5 add what is missing and count every row they can translate.
// The counter starts at 0 in step 1 and goes on through step 5; every count calls on_count.
//
// Crash safety: the writes of each row (the cross reference and its catalog record, or the one
// relation) are made inside a transaction over the step's files, and rows are committed in
// groups of `rows_per_commit`. A run killed anywhere leaves whole rows only, so running it again
// ends exactly as an uninterrupted run would: no cross reference without its brand,
// distributor or product, and nothing added twice.
//
// Messages: only an add of a principal's or customer's cross reference that fails for another
// reason than a duplicate name is reported ("Error Adding Relationship to CODE", "ERROR");
// the open transaction is committed first, so no lock is held while the message waits.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/base/value.h"
#include "runtime/store/keyed_file.h"
#include "transfer/gvtdconv/files.h"

namespace tdx::transfer {

// Rows per commit: large enough that the commits' disk syncs cost little, small enough that
// another station never waits long for the files.
inline constexpr int kRowsPerCommit = 1000;

class TransferSteps {
 public:
  TransferSteps(TransferFiles& files, std::function<void(long)> on_count,
                int rows_per_commit = kRowsPerCommit);

  // Steps 1 to 5 in order.
  void run();
  void principals_to_brands();
  void customers_to_distributors();
  void items_to_products();
  void relations_to_mfrdist();
  void customer_items_to_mdprods();

  long counter() const { return counter_; }
  // Today's day number for the price lookup (default: the clock's today).
  void set_today(int32_t day) { today_ = day; }

 private:
  // Groups the rows of one step into transactions over the step's files.
  class Batch {
   public:
    Batch(std::initializer_list<store::KeyedFile*> files, int rows_per_commit);
    ~Batch();
    // Makes sure a transaction is open before a row writes; false when none could be begun
    // (the row must then write nothing).
    bool begin_row();
    // Ends a row; commits when the group is full.
    void end_row();
    // Commits what is open.
    void flush();

   private:
    std::vector<store::KeyedFile*> files_;
    int rows_per_commit_;
    int rows_ = 0;
    bool open_ = false;
  };

  void count();
  void fill_manuf();
  void fill_distri();
  void fill_product();
  void find_price();

  // The Prices columns the price lookup reads, found once per run of step 3.
  struct PriceColumns {
    VarRef prn, list, itm, cst, start;
    VarRef bracket_id[8];
    VarRef price[8];
  };

  TransferFiles& f_;
  PriceColumns price_cols_;
  std::function<void(long)> on_count_;
  int rows_per_commit_;
  long counter_ = 0;
  int32_t today_ = 0;
};

}  // namespace tdx::transfer
