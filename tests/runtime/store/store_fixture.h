// A small declaration that exercises every key attribute, shared by the store tests.
#pragma once

#include <memory>
#include <string>

#include "runtime/store/decl.h"
#include "runtime/store/keyed_file.h"

namespace tdx::store::testing {

// Record of 48 bytes: NAME 0 STRING(20), CODE 20 STRING(10), QTY 30 LONG, PRICE 34 DECIMAL(7,2),
// NOTE 38 CSTRING(10); memo NOTES(100).
// Keys: BY_NAME (NAME) DUP OPT NOCASE; BY_CODE (CODE) unique NOCASE;
//       BY_NAME_CODE (NAME, CODE) DUP; BY_QTY (QTY) DUP.
inline std::shared_ptr<const FileDecl> item_decl(std::string file = "ITEM.DAT",
                                                 bool code_unique = true, int record = 48) {
  static const FieldSpec fields[] = {
      {"NAME", FieldType::String, 0, 20},      {"CODE", FieldType::String, 20, 10},
      {"QTY", FieldType::Long, 30, 4},         {"PRICE", FieldType::Decimal, 34, 0, 7, 2},
      {"NOTE", FieldType::CString, 38, 10},
  };
  static const MemoSpec memos[] = {{"NOTES", 100}};
  const KeySpec keys[] = {
      {"BY_NAME", "NAME", kDup | kOpt | kNocase},
      {"BY_CODE", "CODE", (code_unique ? kUnique : kDup) | kNocase},
      {"BY_NAME_CODE", "NAME,CODE", kDup},
      {"BY_QTY", "ITM:QTY", kDup},
  };
  auto d = build_decl("ITEM", std::move(file), "ITM", static_cast<uint32_t>(record), fields,
                      memos, keys);
  return d.ok() ? *d : nullptr;
}

enum { kByName = 0, kByCode = 1, kByNameCode = 2, kByQty = 3 };

}  // namespace tdx::store::testing
