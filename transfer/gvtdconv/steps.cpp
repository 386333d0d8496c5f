#include "transfer/gvtdconv/steps.h"

#include <chrono>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/datetime/datetime.h"
#include "runtime/store/errors.h"
#include "runtime/store/transaction.h"
#include "runtime/text/str.h"
#include "runtime/ui/message_box.h"
#include "transfer/gvtdconv/rules.h"

namespace tdx::transfer {
namespace {

// How long a group of rows waits for another station's lock before the rows are left for the
// next run.
constexpr std::chrono::milliseconds kLockWait{10000};

// A STRING column of a back-office record as stored (blank-padded).
std::string_view raw(const VarRef& r) {
  return std::string_view(static_cast<const char*>(r.ptr), r.size);
}
long long whole(const VarRef& r) { return r.get().number().to_integer(); }

// The columns of a table by label, looked up once per step.
VarRef col(sql::SqlTable& t, const char* label) { return t.field(label); }

// The cross-reference fields shared by PrinMfr and CusDist: code, back-office name and the
// catalog name (36, one more than the name, for the "1" of a clashing name).
struct Xref {
  store::KeyedFile& file;
  int by_code;
  Str<10>& code;
  Str<35>& name;
  Str<36>& catalog_name;
};

}  // namespace

// --- Batch --------------------------------------------------------------------------------

TransferSteps::Batch::Batch(std::initializer_list<store::KeyedFile*> files, int rows_per_commit)
    : files_(files), rows_per_commit_(rows_per_commit < 1 ? 1 : rows_per_commit) {}

TransferSteps::Batch::~Batch() { flush(); }

bool TransferSteps::Batch::begin_row() {
  if (open_) return true;
  if (!store::logout(kLockWait, files_).ok()) return false;
  open_ = true;
  rows_ = 0;
  return true;
}

void TransferSteps::Batch::end_row() {
  if (open_ && ++rows_ >= rows_per_commit_) flush();
}

void TransferSteps::Batch::flush() {
  if (!open_) return;
  // A failed commit rolls the group back whole: its rows are transferred by the next run.
  (void)store::commit();
  open_ = false;
  rows_ = 0;
}

// --- steps --------------------------------------------------------------------------------

TransferSteps::TransferSteps(TransferFiles& files, std::function<void(long)> on_count,
                             int rows_per_commit)
    : f_(files), on_count_(std::move(on_count)), rows_per_commit_(rows_per_commit) {}

void TransferSteps::run() {
  if (today_ == 0) today_ = today();
  principals_to_brands();
  customers_to_distributors();
  items_to_products();
  relations_to_mfrdist();
  customer_items_to_mdprods();
}

void TransferSteps::count() {
  ++counter_;
  if (on_count_) on_count_(counter_);
}

namespace {

// Steps 1 and 2: one back-office party (principal or customer) to its cross reference and its
// catalog record. `fill` fills the cleared catalog record from the party row and the cross
// reference. Returns whether the row was transferred (and so must be counted).
template <typename Fill>
bool party_row(const VarRef& code, const VarRef& name, Xref x,
               store::KeyedFile& catalog, Fill fill, const std::function<void()>& before_message) {
  x.code = raw(code);
  if (x.file.get(x.by_code).ok()) {
    // Known: only the cross reference follows the back office's current name. A name that now
    // clashes with another's leaves the stored record as it was.
    x.name = upper_ascii(raw(name));
    x.catalog_name = x.name.raw();
    (void)x.file.put();
    return false;
  }
  x.code = upper_ascii(raw(code));
  x.name = upper_ascii(raw(name));
  x.catalog_name = x.name.raw();
  Status s = x.file.add();
  if (s.code() == store::kDuplicateKey) {
    // Another party already has this name: the same name with "1" in its last position.
    x.catalog_name = std::string(x.catalog_name.raw().substr(0, 35)) + "1";
    if (!x.file.add().ok()) return false;
  } else if (!s.ok()) {
    before_message();
    ui::message_std("Error Adding Relationship to " + std::string(clip(raw(code))), "ERROR",
                    ui::Icon::Exclamation, ui::button::kOk, ui::button::kOk);
    return false;
  }
  catalog.clear();
  fill();
  (void)catalog.add();
  return true;
}

}  // namespace

void TransferSteps::principals_to_brands() {
  counter_ = 0;
  sql::SqlTable& t = f_.principal;
  const VarRef code = col(t, "IDCODE"), name = col(t, "NAME");
  PMF::Record& pmf = f_.prinmfr.rec();
  Xref x{f_.prinmfr, PMF::BYPRICODE, pmf.PRICODE, pmf.PRINAME, pmf.MFRNAME};
  Batch batch({&f_.prinmfr, &f_.manuf}, rows_per_commit_);
  Status s = t.Set();
  while (s.ok() && (s = t.Next()).ok()) {
    if (!batch.begin_row()) continue;
    bool added = party_row(code, name, x, f_.manuf, [&] { fill_manuf(); },
                           [&] { batch.flush(); });
    batch.end_row();
    if (added) count();
  }
}

void TransferSteps::fill_manuf() {
  sql::SqlTable& t = f_.principal;
  MAN::Record& m = f_.manuf.rec();
  m.MANUF_NAME = f_.prinmfr.rec().MFRNAME.raw();
  m.ADDRESS = joined_address(raw(col(t, "ADR1")), raw(col(t, "ADR2")));
  m.CITY = raw(col(t, "CITY"));
  m.STATE = raw(col(t, "STATE"));
  m.ZIP = raw(col(t, "ZIP"));
  // The principal's primary contact and the description of its terms code. Codes travel as
  // bound values, never inside the statement text.
  const Value contact[] = {Value(raw(col(t, "IDCODE"))), Value(raw(col(t, "PRIM_CONTACT")))};
  if (f_.contacts
          .Execute("select * from contacts where org_type='PR' and org_code=? and code=?",
                   contact)
          .ok() &&
      f_.contacts.Next().ok())
    m.CONTACT1 = raw(col(f_.contacts, "NAME"));
  const Value terms[] = {Value(long_text(whole(col(t, "TERMS_CODE"))))};
  if (f_.codedefs.Execute("select * from codedefs where id='336' and value=?", terms).ok() &&
      f_.codedefs.Next().ok())
    m.TERMS = raw(col(f_.codedefs, "DESCRIPTION"));
  m.MIN_DROP = long_text(whole(col(t, "MIN_QTY")));
  m.BROKERNO = raw(col(t, "BROKER_ID"));
}

void TransferSteps::customers_to_distributors() {
  sql::SqlTable& t = f_.customer;
  const VarRef code = col(t, "IDCODE"), name = col(t, "NAME");
  CDS::Record& cds = f_.cusdist.rec();
  Xref x{f_.cusdist, CDS::BYCSTCODE, cds.CSTCODE, cds.CSTNAME, cds.DISTNAME};
  Batch batch({&f_.cusdist, &f_.distri}, rows_per_commit_);
  Status s = t.Set();
  while (s.ok() && (s = t.Next()).ok()) {
    if (!batch.begin_row()) continue;
    bool added = party_row(code, name, x, f_.distri, [&] { fill_distri(); },
                           [&] { batch.flush(); });
    batch.end_row();
    if (added) count();
  }
}

void TransferSteps::fill_distri() {
  sql::SqlTable& t = f_.customer;
  DIS::Record& d = f_.distri.rec();
  d.DISTRI_NAME = f_.cusdist.rec().DISTNAME.raw();
  d.ADDRESS = joined_address(raw(col(t, "ADR1")), raw(col(t, "ADR2")));
  d.CITY = raw(col(t, "CITY"));
  d.STATE = raw(col(t, "STATE"));
  d.ZIP = raw(col(t, "ZIP"));
}

void TransferSteps::items_to_products() {
  if (!f_.items) return;
  sql::SqlTable& t = *f_.items;
  const ItemRow& it = f_.item;
  IPR::Record& ipr = f_.itmprod.rec();
  PMF::Record& pmf = f_.prinmfr.rec();
  sql::SqlTable& p = f_.prices;
  price_cols_ = {col(p, "PRN_CODE"), col(p, "PRC_LIST_NBR"), col(p, "ITM_CODE"),
                 col(p, "CST_CODE"), col(p, "START_DATE"), {}, {}};
  for (int i = 0; i < 8; ++i) {
    const std::string n = std::to_string(i + 1);
    price_cols_.bracket_id[i] = col(p, ("BRACKET_ID" + n).c_str());
    price_cols_.price[i] = col(p, ("PRICE" + n).c_str());
  }
  Batch batch({&f_.itmprod, &f_.product}, rows_per_commit_);
  Status s = t.Set();
  while (s.ok() && (s = t.Next()).ok()) {
    if (!(it.BID_ITEM.raw() == "Y") || it.DISCONTINUED.raw() == "Y") continue;
    if (!batch.begin_row()) continue;
    bool added = [&] {
      ipr.PRNCODE = it.PRIN_CODE.raw();
      ipr.ITMCODE = it.IDCODE.raw();
      if (f_.itmprod.get(IPR::BYPRNCODECODE).ok()) return false;  // transferred before
      pmf.PRICODE = it.PRIN_CODE.raw();
      if (!f_.prinmfr.get(PMF::BYPRICODE).ok()) return false;  // its principal was not
      ipr.PRNCODE = pmf.PRICODE.raw();
      ipr.ITMCODE = it.IDCODE.raw();
      ipr.ITMPACK = static_cast<double>(it.PACK);
      ipr.ITMSIZE = it.SIZE.get().to_double();
      ipr.ITMUM = it.SIZE_UM.raw();
      ipr.PRDMFR = pmf.MFRNAME.raw();
      ipr.PRDCODE = it.IDCODE.raw();
      // Two item codes that differ only past the product code's 14 characters under one brand.
      if (!f_.itmprod.add().ok()) return false;
      f_.product.clear();
      fill_product();
      (void)f_.product.add();
      return true;
    }();
    batch.end_row();
    if (added) count();
  }
}

void TransferSteps::find_price() {
  sql::SqlTable& p = f_.prices;
  const ItemRow& it = f_.item;
  const VarRef &prn = price_cols_.prn, &list = price_cols_.list, &itm = price_cols_.itm,
               &cst = price_cols_.cst, &start = price_cols_.start;
  p.Clear();
  (void)prn.set(Value(it.PRIN_CODE.raw()));
  (void)list.set(Value(""));
  (void)itm.set(Value(it.IDCODE.raw()));
  (void)cst.set(Value(""));
  (void)start.set(Value(2147483647L));
  Status s = p.SetKey("BY_PRIN_LIST_ITEM");
  // The latest blank-list, blank-customer price of the item that has started by today.
  while (s.ok()) {
    s = p.Previous();
    if (!s.ok() || compare_clipped(raw(prn), it.PRIN_CODE.raw()) != 0 ||
        compare_clipped(raw(itm), it.IDCODE.raw()) != 0)
      break;
    if (whole(start) > today_) continue;
    return;
  }
  p.Clear();
}

void TransferSteps::fill_product() {
  const ItemRow& it = f_.item;
  PRD::Record& d = f_.product.rec();
  const PMF::Record& pmf = f_.prinmfr.rec();
  d.MANUFAC = pmf.MFRNAME.raw();
  d.PROD_CODE = it.IDCODE.raw();
  d.PROD_DES = it.DESCRIPTION.raw();
  d.PACK = pack_text(it.PACK, it.SIZE.get(), it.SIZE_UM.raw());
  d.CATCH = it.CATCH_WEIGHT.raw();
  d.GROSS_WT = product_weight(it.GROSS_WEIGHT.get());
  d.NET_WT = product_weight(it.NET_WEIGHT.get());
  d.UPC_CODE = it.UPC.raw();
  find_price();
  Str<15>* ranges[] = {&d.RANGE1, &d.RANGE2, &d.RANGE3, &d.RANGE4,
                       &d.RANGE5, &d.RANGE6, &d.RANGE7, &d.RANGE8};
  store::Packed<11, 4>* prices[] = {&d.PRICE1, &d.PRICE2, &d.PRICE3, &d.PRICE4,
                                    &d.PRICE5, &d.PRICE6, &d.PRICE7, &d.PRICE8};
  for (int i = 0; i < 8; ++i) {
    *ranges[i] = raw(price_cols_.bracket_id[i]);
    *prices[i] = price_cols_.price[i].get().number();
  }
  d.DISCONTINUED = it.DISCONTINUED.raw();
  f_.product.memo(PRD::EXTND_DESCR_MEMO) = std::string(clip(it.PACK_SIZE_TX.raw()));
}

void TransferSteps::relations_to_mfrdist() {
  sql::SqlTable& t = f_.pr_ct;
  const VarRef prn = col(t, "PRN"), cst = col(t, "CST"), prnid = col(t, "PRNID");
  PMF::Record& pmf = f_.prinmfr.rec();
  CDS::Record& cds = f_.cusdist.rec();
  MDX::Record& mdx = f_.mfrdist.rec();
  Batch batch({&f_.mfrdist}, rows_per_commit_);
  Status s = t.Set();
  while (s.ok() && (s = t.Next()).ok()) {
    pmf.PRICODE = raw(prn);
    if (!f_.prinmfr.get(PMF::BYPRICODE).ok()) continue;
    cds.CSTCODE = raw(cst);
    if (!f_.cusdist.get(CDS::BYCSTCODE).ok()) continue;
    if (batch.begin_row()) {
      f_.mfrdist.clear();
      mdx.MANUF_NAME = pmf.MFRNAME.raw();
      mdx.DISTRI_NAME = cds.DISTNAME.raw();
      mdx.MFR_DIST_ID = raw(prnid);
      (void)f_.mfrdist.add();  // the pair may be there already
      batch.end_row();
    }
    count();
  }
}

void TransferSteps::customer_items_to_mdprods() {
  sql::SqlTable& t = f_.cst_item;
  const VarRef prn = col(t, "PRN_CODE"), cst = col(t, "CST_CODE"), itm = col(t, "ITM_CODE"),
               code = col(t, "CODE");
  PMF::Record& pmf = f_.prinmfr.rec();
  CDS::Record& cds = f_.cusdist.rec();
  IPR::Record& ipr = f_.itmprod.rec();
  MDP::Record& mdp = f_.mdprods.rec();
  Batch batch({&f_.mdprods}, rows_per_commit_);
  Status s = t.Set();
  while (s.ok() && (s = t.Next()).ok()) {
    pmf.PRICODE = raw(prn);
    if (!f_.prinmfr.get(PMF::BYPRICODE).ok()) continue;
    cds.CSTCODE = raw(cst);
    if (!f_.cusdist.get(CDS::BYCSTCODE).ok()) continue;
    ipr.PRNCODE = raw(prn);
    ipr.ITMCODE = raw(itm);
    if (!f_.itmprod.get(IPR::BYPRNCODECODE).ok()) continue;  // the item was never transferred
    if (batch.begin_row()) {
      f_.mdprods.clear();
      mdp.MANUF = pmf.MFRNAME.raw();
      mdp.DISTR = cds.DISTNAME.raw();
      mdp.MANUF_PCODE = ipr.PRDCODE.raw();
      mdp.DISTR_PCODE = raw(code);
      (void)f_.mdprods.add();  // the code may be there already
      batch.end_row();
    }
    count();
  }
}

}  // namespace tdx::transfer
