// Queue<Entry>: the runtime's in-memory list of entries (QUEUE), with positions counted from 1.
// SortedQueue<Entry, KeyOf>: a Queue kept in ascending order of a key taken from each entry.
//
// The runtime's operations and their names here:
//   ADD(q)               add()                at the end (Queue), or at its sorted place
//   ADD(q, +key)         add()                (SortedQueue: after entries with an equal key)
//   PUT(q) over a match  add_or_replace()     replaces the entry with an equal key, else adds
//   PUT(q) at a position put(pos, e)          replaces entry pos
//   DELETE(q)            remove(pos) / remove_key(key)
//   GET(q, pos)          get(pos)             nullptr when pos is out of range
//   GET(q, key)          find(key) / get_key(key)
//   SORT(q, key)         sort(less)           stable (Queue only; a SortedQueue is always sorted)
//   RECORDS(q)           records()
//   FREE(q)              free()
// Walking in order: for (const Entry& e : q) ...
//
// A queue owns its entries. It is a plain value with no hidden shared state, so one queue may be
// handed by reference to another module (a list of marked products that a main module owns and a
// report module reads and changes). Not thread-safe: one thread at a time, as every caller here
// runs on the caller's single thread. Changing a queue invalidates pointers from get().
//
// Keys compare with the key type's own ordering: a Str<N> key therefore ignores trailing blanks
// ("ABC" and "ABC   " are the same key). For another order, give SortedQueue a Less.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace tdx {

template <typename Entry>
class Queue {
 public:
  using iterator = typename std::vector<Entry>::iterator;
  using const_iterator = typename std::vector<Entry>::const_iterator;

  size_t records() const { return v_.size(); }
  bool empty() const { return v_.empty(); }
  void add(Entry e) { v_.push_back(std::move(e)); }
  // Inserts before position pos (1..records()+1). False when pos is out of range.
  bool insert(size_t pos, Entry e) {
    if (pos < 1 || pos > v_.size() + 1) return false;
    v_.insert(v_.begin() + static_cast<std::ptrdiff_t>(pos - 1), std::move(e));
    return true;
  }
  // Replaces entry pos. False when pos is out of range.
  bool put(size_t pos, Entry e) {
    if (pos < 1 || pos > v_.size()) return false;
    v_[pos - 1] = std::move(e);
    return true;
  }
  bool remove(size_t pos) {
    if (pos < 1 || pos > v_.size()) return false;
    v_.erase(v_.begin() + static_cast<std::ptrdiff_t>(pos - 1));
    return true;
  }
  Entry* get(size_t pos) { return pos >= 1 && pos <= v_.size() ? &v_[pos - 1] : nullptr; }
  const Entry* get(size_t pos) const {
    return pos >= 1 && pos <= v_.size() ? &v_[pos - 1] : nullptr;
  }
  // Position of the first entry for which pred holds, 0 when none.
  template <typename Pred>
  size_t find_if(Pred pred) const {
    auto it = std::find_if(v_.begin(), v_.end(), pred);
    return it == v_.end() ? 0 : static_cast<size_t>(it - v_.begin()) + 1;
  }
  // Stable: entries with equal keys keep their order.
  template <typename Less>
  void sort(Less less) {
    std::stable_sort(v_.begin(), v_.end(), less);
  }
  void free() {
    v_.clear();
    v_.shrink_to_fit();
  }

  iterator begin() { return v_.begin(); }
  iterator end() { return v_.end(); }
  const_iterator begin() const { return v_.begin(); }
  const_iterator end() const { return v_.end(); }

 private:
  std::vector<Entry> v_;
};

// KeyOf: a callable type, KeyOf{}(entry) gives the key (by value or const reference).
template <typename Entry, typename KeyOf, typename Less = std::less<>>
class SortedQueue {
 public:
  using const_iterator = typename Queue<Entry>::const_iterator;

  size_t records() const { return q_.records(); }
  bool empty() const { return q_.empty(); }

  // Adds at the sorted place, after entries with an equal key; returns the position.
  size_t add(Entry e) {
    size_t pos = upper(KeyOf{}(e));
    q_.insert(pos, std::move(e));
    return pos;
  }
  // Replaces the first entry with an equal key, or adds; returns the position.
  size_t add_or_replace(Entry e) {
    size_t pos = find(KeyOf{}(e));
    if (pos != 0) {
      q_.put(pos, std::move(e));
      return pos;
    }
    return add(std::move(e));
  }
  // Position of the first entry with this key, 0 when none.
  template <typename Key>
  size_t find(const Key& key) const {
    size_t pos = lower(key);
    const Entry* e = q_.get(pos);
    return (e && !less_(key, KeyOf{}(*e))) ? pos : 0;
  }
  template <typename Key>
  const Entry* get_key(const Key& key) const {
    return q_.get(find(key));
  }
  const Entry* get(size_t pos) const { return q_.get(pos); }
  // Replaces entry pos with e, keeping the order (the entry moves when its key changed).
  bool put(size_t pos, Entry e) {
    if (!q_.remove(pos)) return false;
    add(std::move(e));
    return true;
  }
  bool remove(size_t pos) { return q_.remove(pos); }
  // Removes the first entry with this key; false when there is none.
  template <typename Key>
  bool remove_key(const Key& key) {
    return q_.remove(find(key));
  }
  void free() { q_.free(); }

  const_iterator begin() const { return q_.begin(); }
  const_iterator end() const { return q_.end(); }

 private:
  // First position whose key is not less than key (1-based; records()+1 when none).
  template <typename Key>
  size_t lower(const Key& key) const {
    auto it = std::partition_point(q_.begin(), q_.end(),
                                   [&](const Entry& e) { return less_(KeyOf{}(e), key); });
    return static_cast<size_t>(it - q_.begin()) + 1;
  }
  // First position whose key is greater than key.
  template <typename Key>
  size_t upper(const Key& key) const {
    auto it = std::partition_point(q_.begin(), q_.end(),
                                   [&](const Entry& e) { return !less_(key, KeyOf{}(e)); });
    return static_cast<size_t>(it - q_.begin()) + 1;
  }

  Queue<Entry> q_;
  Less less_;
};

}  // namespace tdx
