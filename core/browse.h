// Browse: the record-reading side of a lookup window, over one file in one key order.
//
// A browse lists the records of a file in the order of one of its keys. Its last key component
// is the locator: the partial entry the user typed positions the list at the first record whose
// locator is >= that text (in the key's own comparison, so a NOCASE key positions "acm" at
// "ACME FOODS"); past the end it is at the last record. Leading components before the locator
// may be fixed: their values are taken from the record buffer when the browse is made, and the
// list then holds only records with those values (the products of one brand, the codes of one
// code type). A record is named by its locator value, clipped ("ACME FOODS", a product code).
//
// The browse reads through the file's shared record buffer; every call leaves the buffer as it
// found it except fetch(), which leaves the chosen record there. The file must be open.
// A desktop frontend can use rows() to show a page; the scripted one needs only positioned()
// and exists().
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/store/keyed_file.h"

namespace tdx::core {

class Browse {
 public:
  // REQUIRES: 0 <= key < keys; 0 <= fixed < components of the key.
  Browse(store::KeyedFile& file, int key, int fixed);
  Browse(const Browse&) = delete;
  Browse& operator=(const Browse&) = delete;

  // Locator value of the record the list is positioned at for `partial`; "" when the list is
  // empty.
  std::string positioned(std::string_view partial);
  // Up to n locator values from the position of `partial` on, in key order.
  std::vector<std::string> rows(std::string_view partial, int n);
  // Whether the list holds a record with this locator value.
  bool exists(std::string_view value);
  // Reads the record with this locator value into the buffer. kRecordNotFound when the list
  // has none.
  Status fetch(std::string_view value);

  // The record buffer (fixed bytes and memos) as it was when the browse was made, back in place.
  void restore();

 private:
  // Sets the key fields: the fixed values, then the locator.
  void set_key(std::string_view locator);
  bool in_range();
  std::string locator_value();
  // Reads the first record at or after `partial` (or the last one before it); false when none.
  bool seek(std::string_view partial);

  store::KeyedFile& file_;
  int key_;
  int fixed_;
  std::vector<int> comps_;              // field indexes of the key's components
  std::vector<std::string> fixed_vals_; // clipped text of the fixed components
  std::vector<unsigned char> saved_rec_;
  std::vector<std::string> saved_memos_;
};

}  // namespace tdx::core
