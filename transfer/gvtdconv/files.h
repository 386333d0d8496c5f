// TransferFiles: every file one transfer run uses, opened and closed together.
//
// open_all() opens, in this order, CodeDefs, Contacts, Customer, Cst_Item, CusDist.tps, DISTRI,
// ItmProd.tps, MANUF, MDPRODS, MFRDIST, PRODUCT, Pr_Ct, Prices, PrinMfr.tps and Principal, each
// read/write and deny none, through the file-open check:
//   - catalog and cross-reference files through open_file() (reports/framework): a missing one
//     is created empty, a locked one recovered, a damaged key offered a rebuild;
//   - back-office tables are never created: a table that cannot be read (or a database that
//     cannot be reached) shows standard message 30 and ends the application with "Disk Error";
//     a table that lacks a declared column shows message 1 ("Invalid File!").
// Every fatal message ends the process through halt(); when a test has replaced the halt,
// open_all() returns the error and the caller unwinds.
//
// Items is opened on its own (open_items): the current layout first, the older one when the
// current does not open. Both layouts land in one ItemRow through bound columns, so the steps
// read the same fields whichever layout the back office has.
//
// Open counters: each file is opened once per run and closed by close_all(); Items closes when
// the object goes (the end of the program).
#pragma once

#include <memory>
#include <string>

#include "data/catalog.h"
#include "data/record_file.h"
#include "data/xref.h"
#include "runtime/base/status.h"
#include "runtime/sql/table.h"
#include "runtime/store/fields.h"
#include "runtime/text/str.h"

namespace tdx::transfer {

// The Items columns the transfer reads, in either layout.
struct ItemRow {
  Str<10> PRIN_CODE;
  Str<15> IDCODE;
  Str<45> DESCRIPTION;
  int32_t PACK = 0;
  store::Packed<7, 2> SIZE;
  Str<2> SIZE_UM;
  Str<14> UPC;  // 12 characters in the older layout, blank-padded here
  store::Packed<11, 3> GROSS_WEIGHT;
  store::Packed<11, 3> NET_WEIGHT;
  Str<1> CATCH_WEIGHT;
  Str<1> BID_ITEM;
  Str<1> DISCONTINUED;
  Str<12> PACK_SIZE_TX;
};

class TransferFiles {
 public:
  TransferFiles();
  ~TransferFiles();
  TransferFiles(const TransferFiles&) = delete;
  TransferFiles& operator=(const TransferFiles&) = delete;

  // See the header comment. `connection` is the back-office connection string (blanks clipped).
  Status open_all(const std::string& connection);
  // True when any catalog or cross-reference file holds a record.
  bool data_exists();
  // Opens Items, current layout first. On failure the error of the older layout's open.
  Status open_items(const std::string& connection);
  bool items_older() const { return items_older_; }
  // Closes every file of the run (not Items).
  void close_all();

  // Back office.
  sql::SqlTable codedefs, contacts, customer, cst_item, pr_ct, prices, principal;
  std::unique_ptr<sql::SqlTable> items;
  ItemRow item;
  // Catalog and cross references.
  data::RecordFile<CDS::Record> cusdist;
  data::RecordFile<DIS::Record> distri;
  data::RecordFile<IPR::Record> itmprod;
  data::RecordFile<MAN::Record> manuf;
  data::RecordFile<MDP::Record> mdprods;
  data::RecordFile<MDX::Record> mfrdist;
  data::RecordFile<PRD::Record> product;
  data::RecordFile<PMF::Record> prinmfr;

 private:
  Status bind_items();
  bool items_older_ = false;
};

}  // namespace tdx::transfer
