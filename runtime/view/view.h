// View: a primary keyed file read in an order, with joined files and a filter.
//
// Declare, open, read:
//   View v(prodbid);                                         // primary file
//   int spe = v.join_key(View::kPrimary, specsbid, "BY_ID_LINE",
//                        {"PRO:BID_ID", "PRO:LINE_NUM"}, Join::Inner);
//   v.join_key(spe, headbid, "BY_BID_ID", {"SPE:BID_ID"});   // outer, nested under SPECSBID
//   v.join_condition(View::kPrimary, product,
//                    "PRD:MANUFAC=PRO:MANUFAC AND PRD:PROD_CODE=PRO:PBCODE");
//   v.set_order("+PRO:BID_ID,+PRO:MANUFAC,+SPE:ALT_SEQ,+PRO:LINE_NUM");
//   v.set_filter("PRO:BID_ID = Glo:BID_ID");
//   if (!v.open().ok()) ...                                  // bad filter: error, no crash
//   while (v.next().ok()) ... the files' record buffers hold the row ...
//
// Rows. Each read fills the record buffers of every file of the view with one row: the primary
// record and, for each join, one matching record, or a cleared (blank) buffer when an outer
// join has no match. Joins by key match the records of the joined file whose leading key
// components equal the values taken from the parent (in the key's own collation, so a NOCASE
// key matches without regard to case); joins by condition match the records for which the
// condition text is true. An inner join drops the parent's rows when it has no match.
// Side-by-side joins (several joins under one parent) are read in step, not multiplied:
// row i of a parent carries match i of each join; a join with fewer matches is blank on the
// rows beyond its last; a to-one join (by default: a join through a unique key with every
// component given) that has exactly one match repeats it on every row. runtime/view/VIEWS.md
// shows the rows this gives.
//
// Order: an order text ("+A:X,-B:Y": components may name any file of the view; '-' is
// descending; strings order without regard to case and trailing blanks, like the product's
// NOCASE keys; numbers and dates as numbers), a key of the primary file, or the stored order
// (the order records were added; the default). Rows with equal order values come in the order
// the primary records were added, and a primary record's rows in join order.
//
// Reading plan (decided at open; plan() describes it): when the order is, or begins, a key of
// the primary file, the view reads through that key without sorting; when the filter pins the
// leading components of a key (`PRO:BID_ID = Glo:BID_ID` and the like, compared with values
// that do not change during the read), only that range of the key is read; terms of the filter
// that read only the primary record are tested before any join is read. Everything else is
// sorted after the filter, in memory up to a budget and through temporary files beyond it.
// Pinned values are taken when the view opens (and again by start_at_key()).
//
// Files: the view neither opens nor closes its files; they must be open before open(). The
// primary file's sequence is the view's while it is open: code that reads the primary file
// itself between two reads of a view in key order saves the view's position first and
// restores it after (save_position / restore_position), which also restores every buffer.
//
// Errors: open() fails (code kExprSyntax / kExprUnknownName, or the store's) for a filter,
// condition or order text that does not compile, or a name that is not a field of the view;
// next() returns kRecordNotAvailable (33) at the end of the data and the store's error for a
// failed read. Not copyable; one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/expr/bound_names.h"
#include "runtime/store/keyed_file.h"

namespace tdx::view {

enum class Join : uint8_t { Outer, Inner };
// How a join behaves beside other joins of the same parent (see above).
enum class Cardinality : uint8_t { Auto, ToOne, ToMany };

// What the view decided at open, for tests and benchmarks.
struct Plan {
  int key = -1;             // primary key read through; -1 = stored order
  int pinned = 0;           // leading key components fixed by the filter
  bool backward = false;    // read from the end of the key
  bool sorted = false;      // rows are sorted after reading
  int prefilter_terms = 0;  // filter terms tested on the primary record before joins
};

// An opaque saved position of a view.
struct ViewPosition {
  bool valid = false;
  store::Position primary{};
  bool primary_valid = false;
  std::vector<std::string> rows;  // the current primary record's rows (streaming reads)
  size_t row = 0;
  size_t sorted_index = 0;
  std::string image;  // the current row, as loaded into the buffers
  int state = 0;
};

class View {
 public:
  static constexpr int kPrimary = 0;

  explicit View(store::KeyedFile& primary, BoundNames& names = BoundNames::global());
  ~View();
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  // Joins `file` under `parent` (kPrimary or the number a join call returned) through its key
  // `key`, the leading components taking the values of the parent's fields `from` (text names
  // such as "PRO:BID_ID"; an empty list takes the parent's fields of the key components'
  // names). Returns the join's number (1, 2, ...). Errors surface at open().
  int join_key(int parent, store::KeyedFile& file, std::string_view key,
               std::vector<std::string> from = {}, Join kind = Join::Outer,
               Cardinality card = Cardinality::Auto);
  // Joins `file` under `parent` by a condition text over bound names.
  int join_condition(int parent, store::KeyedFile& file, std::string condition,
                     Join kind = Join::Outer, Cardinality card = Cardinality::ToMany);

  // Order text; replaces a key order.
  void set_order(std::string order_text);
  // Order of a key of the primary file ("PRO:BY_ID_LINE"); forward or backward.
  void set_key_order(std::string_view key, bool backward = false);
  // Stored order (the default).
  void set_stored_order();
  // Filter text (empty = every row). Takes effect at the next open().
  void set_filter(std::string text);
  // Memory for sorting before temporary files are used (default 64 MB).
  void set_sort_memory(size_t bytes);

  // Compiles and plans; positions before the first row. Reopening an open view starts over.
  Status open();
  void close();
  bool is_open() const;

  // In key order only: the next read returns the first row whose primary key values are at or
  // after the key fields now in the primary file's buffer (the other rules unchanged).
  Status start_at_key();

  // The next / previous row into the buffers. kRecordNotAvailable past either end.
  Status next();
  Status previous();

  // Record count of the primary file.
  Result<int64_t> records();

  ViewPosition save_position() const;
  // Reloads every buffer with the saved row; the next read continues after it.
  Status restore_position(const ViewPosition& pos);

  const Plan& plan() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Binds every field and memo of a file's record buffer under its text name ("PRD:MANUFAC") in
// the innermost frame of `names` (the memo with its declared size).
Status bind_record(store::KeyedFile& file, BoundNames& names = BoundNames::global());

}  // namespace tdx::view
