#include "transfer/gvtdconv/files.h"

#include <cstdio>

#include "reports/framework/open_file.h"
#include "reports/framework/standard_messages.h"
#include "runtime/store/errors.h"
#include "transfer/backoffice/tables.h"

namespace tdx::transfer {
namespace {

// The file-open check for a back-office table: it is never created, so every failure is
// reported and ends the application.
Status open_table(sql::SqlTable& t, const std::string& connection) {
  Status s = t.Open(connection);
  if (s.ok()) return s;
  const std::string name = t.decl().table;
  // The driver's own words help whoever looks after the connection string.
  if (!t.diag().message.empty())
    std::fprintf(stderr, "gvtdconv: %s: %s\n", name.c_str(), s.ToString().c_str());
  reports::save_error(s);
  if (s.code() == store::kInvalidFile) {
    reports::standard_message(1, name);
    reports::halt(reports::kHaltInvalidFile);
  } else {
    reports::standard_message(30, name);
    reports::halt(reports::kHaltDiskError);
  }
  return s;
}

}  // namespace

TransferFiles::TransferFiles()
    : codedefs(codedefs_decl()),
      contacts(contacts_decl()),
      customer(customer_decl()),
      cst_item(cst_item_decl()),
      pr_ct(pr_ct_decl()),
      prices(prices_decl()),
      principal(principal_decl()),
      cusdist(CDS::Decl()),
      distri(DIS::Decl()),
      itmprod(IPR::Decl()),
      manuf(MAN::Decl()),
      mdprods(MDP::Decl()),
      mfrdist(MDX::Decl()),
      product(PRD::Decl()),
      prinmfr(PMF::Decl()) {}

TransferFiles::~TransferFiles() {
  close_all();
  if (items) items->Close();
}

Status TransferFiles::open_all(const std::string& connection) {
  struct Step {
    sql::SqlTable* table;
    store::KeyedFile* file;
  } order[] = {
      {&codedefs, nullptr}, {&contacts, nullptr}, {&customer, nullptr}, {&cst_item, nullptr},
      {nullptr, &cusdist},  {nullptr, &distri},   {nullptr, &itmprod},  {nullptr, &manuf},
      {nullptr, &mdprods},  {nullptr, &mfrdist},  {nullptr, &product},  {&pr_ct, nullptr},
      {&prices, nullptr},   {nullptr, &prinmfr},  {&principal, nullptr},
  };
  for (const Step& o : order) {
    Status s = o.table ? open_table(*o.table, connection) : reports::open_file(*o.file);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

bool TransferFiles::data_exists() {
  store::KeyedFile* files[] = {&distri, &manuf, &product, &mdprods,
                               &mfrdist, &prinmfr, &cusdist, &itmprod};
  for (store::KeyedFile* f : files) {
    Result<int64_t> n = f->records();
    if (!n.ok() || *n > 0) return true;  // a file that cannot be counted is not known empty
  }
  return false;
}

Status TransferFiles::open_items(const std::string& connection) {
  items = std::make_unique<sql::SqlTable>(items_current_decl());
  Status s = items->Open(connection);
  items_older_ = false;
  if (!s.ok()) {
    items = std::make_unique<sql::SqlTable>(items_older_decl());
    s = items->Open(connection);
    items_older_ = true;
  }
  if (!s.ok()) {
    items.reset();
    return s;
  }
  return bind_items();
}

Status TransferFiles::bind_items() {
  item = ItemRow{};
  sql::SqlTable& t = *items;
  const uint32_t upc = t.decl().columns[static_cast<size_t>(t.decl().find_column("UPC"))].size;
  struct B {
    const char* label;
    VarRef ref;
  } binds[] = {
      {"PRIN_CODE", VarRef::String(item.PRIN_CODE.data(), 10)},
      {"IDCODE", VarRef::String(item.IDCODE.data(), 15)},
      {"DESCRIPTION", VarRef::String(item.DESCRIPTION.data(), 45)},
      {"PACK", VarRef::Long(&item.PACK)},
      {"SIZE", item.SIZE.ref()},
      {"SIZE_UM", VarRef::String(item.SIZE_UM.data(), 2)},
      {"UPC", VarRef::String(item.UPC.data(), upc)},
      {"GROSS_WEIGHT", item.GROSS_WEIGHT.ref()},
      {"NET_WEIGHT", item.NET_WEIGHT.ref()},
      {"CATCH_WEIGHT", VarRef::String(item.CATCH_WEIGHT.data(), 1)},
      {"BID_ITEM", VarRef::String(item.BID_ITEM.data(), 1)},
      {"DISCONTINUED", VarRef::String(item.DISCONTINUED.data(), 1)},
      {"PACK_SIZE_TX", VarRef::String(item.PACK_SIZE_TX.data(), 12)},
  };
  for (const B& b : binds) {
    Status s = t.Bind(b.label, b.ref);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

void TransferFiles::close_all() {
  for (sql::SqlTable* t : {&codedefs, &contacts, &customer, &cst_item, &pr_ct, &prices, &principal})
    t->Close();
  for (store::KeyedFile* f : std::initializer_list<store::KeyedFile*>{
           &cusdist, &distri, &itmprod, &manuf, &mdprods, &mfrdist, &product, &prinmfr})
    f->close();
}

}  // namespace tdx::transfer
