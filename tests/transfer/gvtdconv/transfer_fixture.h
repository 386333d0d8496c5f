// Test helpers for the transfer program: a back office with the rows the transfer tests need
// beyond the generator's landmarks, and the catalog and cross references read back whole.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "data/catalog.h"
#include "data/xref.h"
#include "runtime/sql/connection.h"
#include "runtime/store/keyed_file.h"
#include "tests/runtime/sql/backoffice_fixture.h"

namespace tdx::transfer::testing {

// Rows added to the generated back office (any layout, any database):
//   - ORPHAN-1, a bid item of ACME3, whose principal is never transferred (third "acme foods");
//   - HEAVY-1, a bid item of ACME with a gross weight that does not fit the product (123456.789)
//     and a net weight that rounds to the largest that does (99999.994).
inline Status add_test_rows(const std::string& connection) {
  auto c = sql::SqlConnection::Connect(connection);
  if (!c.ok()) return c.status();
  const char* rows[] = {
      "INSERT INTO Items (AUTOID, PRIN_CODE, CODE, DESCRIPTION, PACK, SIZE, SIZE_UM, UPC, "
      "GROSS_WEIGHT, NET_WEIGHT, CATCH_WEIGHT, BID_ITEM, DISCONTINUED, PACK_SIZE_TX, USERID) "
      "VALUES (9001, 'ACME3', 'ORPHAN-1', 'Orphan Item', 1, 1, 'EA', '111', 1, 1, 'N', 'Y', 'N', "
      "'1/1 EA', 'ADMIN')",
      "INSERT INTO Items (AUTOID, PRIN_CODE, CODE, DESCRIPTION, PACK, SIZE, SIZE_UM, UPC, "
      "GROSS_WEIGHT, NET_WEIGHT, CATCH_WEIGHT, BID_ITEM, DISCONTINUED, PACK_SIZE_TX, USERID) "
      "VALUES (9002, 'ACME', 'HEAVY-1', 'Heavy Pallet', 1, 2000, 'LB', '222', 123456.789, "
      "99999.994, 'Y', 'Y', 'N', '1/2000 LB', 'ADMIN')",
  };
  for (const char* r : rows) {
    Status s = (*c)->Execute(r);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

// The records of one file: record bytes and memos, sorted (the order records were added in is
// not part of what a run leaves behind).
inline std::vector<std::string> file_records(std::shared_ptr<const store::FileDecl> decl) {
  std::vector<std::string> out;
  store::KeyedFile f(std::move(decl));
  if (!f.open().ok()) return out;
  if (f.set_file().ok()) {
    while (f.next().ok()) {
      std::string r(reinterpret_cast<const char*>(f.record()), f.record_size());
      for (size_t m = 0; m < f.decl().memos.size(); ++m) r += "\x1f" + f.memo(m);
      out.push_back(r);
    }
  }
  f.close();
  std::sort(out.begin(), out.end());
  return out;
}

// Every catalog and cross-reference file of the working directory.
using Catalog = std::map<std::string, std::vector<std::string>>;
inline Catalog catalog() {
  Catalog c;
  for (const auto& d : {PRD::Decl(), MAN::Decl(), DIS::Decl(), MDX::Decl(), MDP::Decl(),
                        PMF::Decl(), CDS::Decl(), IPR::Decl()})
    c[d->label] = file_records(d);
  return c;
}

inline bool catalog_has_data() {
  for (const auto& [label, records] : catalog())
    if (!records.empty()) return true;
  return false;
}

}  // namespace tdx::transfer::testing
