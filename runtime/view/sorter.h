// Sorter: orders byte-string entries by a sort key, in memory up to a budget, beyond it through
// sorted runs in temporary files merged on the way out (so a large file is never held in
// memory at once).
//
// An entry is a sort key (compared byte-wise, memcmp order) and a payload carried along. Entries
// with equal keys come out in the order they were added. Usage: add() every entry, finish(),
// then next() until it returns false. An in-memory result (no run was written) can also be read
// backwards (previous()) and repositioned (seek()); a merged result only forwards.
// Not copyable; not thread-safe.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"

namespace tdx::view {

class Sorter {
 public:
  explicit Sorter(size_t memory_budget = 64u << 20);
  ~Sorter();
  Sorter(const Sorter&) = delete;
  Sorter& operator=(const Sorter&) = delete;

  // REQUIRES: not finished.
  Status add(std::string_view key, std::string_view payload);
  Status finish();

  // Reads the next entry in order; false at the end (or on a read error: see status()).
  bool next();
  // In-memory results only: the entry before the current one; false at the start.
  bool previous();
  bool in_memory() const { return runs_.empty(); }
  // In-memory results only: index of the current entry; seek(i) makes entry i current.
  size_t index() const { return cursor_; }
  bool seek(size_t i);
  size_t size() const { return count_; }

  std::string_view payload() const { return current_payload_; }
  const Status& status() const { return status_; }
  int runs() const { return static_cast<int>(runs_.size()); }

 private:
  struct Run;
  Status spill();
  bool load_memory(size_t i);

  size_t budget_;
  size_t used_ = 0;
  uint64_t seq_ = 0;
  size_t count_ = 0;
  bool finished_ = false;
  // Entry: [u32 key length][key][u64 seq, big-endian][payload]
  std::vector<std::string> memory_;
  std::vector<std::unique_ptr<Run>> runs_;
  std::vector<int> heap_;  // indexes of runs with a current entry, min-heap by entry
  size_t cursor_ = static_cast<size_t>(-1);
  std::string_view current_payload_;
  Status status_;
};

}  // namespace tdx::view
