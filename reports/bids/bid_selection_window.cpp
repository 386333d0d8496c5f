#include "reports/bids/bid_selection_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/files.h"
#include "core/globals.h"
#include "core/procedures.h"
#include "runtime/datetime/datetime.h"
#include "runtime/text/str.h"
#include "runtime/ui/keyboard.h"
#include "runtime/ui/window_text.h"

namespace tdx::reports::bids {
namespace {

// The family's controls in tab order: the selection every member asks for. Members add their
// own switches and buttons after these (BidWindowVariant::own_rows).
constexpr std::string_view kFamilyWindowRows = R"window(
| kind   | label               | text                                     | variable         | picture | at            | attributes |
| check  | -                   | "Use Open Date?"                         | Glo:OpenDate     | -       | 81,14         | |
| prompt | ?OpenDateNote       | "(If No then Receive Date will be used)" | -                | -       | 151,14,131,10 | |
| prompt | ?BeginDatePrompt    | "Begin Date:"                            | -                | -       | 31,28         | |
| entry  | -                   |                                          | BeginDate1       | @d2     | 81,28,-,10    | right hint="Begin Date" alert=F2 |
| prompt | ?EndDatePrompt      | "End Date:"                              | -                | -       | 151,28        | |
| entry  | -                   |                                          | EndDate1         | @d2     | 187,28,51,10  | right hint="End Date" alert=F2 |
| prompt | ?BidIdPrompt        | "Bid ID:"                                | -                | -       | 31,54         | |
| entry  | -                   |                                          | Glo:BID_ID       | @s24    | 81,54,103,10  | hint="Enter Bid ID" alert=F2 |
| prompt | ?BidTypePrompt      | "Bid Type:"                              | -                | -       | 249,54        | |
| entry  | -                   |                                          | GLO:BidType      | @s4     | 283,54,37,10  | alert=F2 |
| prompt | ?AgencyPrompt       | "Agency:"                                | -                | -       | 31,66         | |
| entry  | -                   |                                          | Glo:Agency       | @s36    | 81,66,-,10    | hint="Agency Name" alert=F2 |
| prompt | ?AgeTypeSizePrompt  | "Type/Size:"                             | -                | -       | 243,66        | |
| entry  | -                   |                                          | Glo:AgeTypeSize  | @s2     | 283,66,15,10  | hint="Agency Type/Size" |
| prompt | ?ManufacPrompt      | "Manufacturer:"                          | -                | -       | 31,78         | |
| entry  | -                   |                                          | Glo:Manufac      | @s36    | 81,78,137,10  | hint="Manufacturer Name" alert=F2 |
| prompt | ?MfrTypeSizePrompt  | "Mfr.Type/Size:"                         | -                | -       | 227,79,51,10  | |
| entry  | -                   |                                          | GLO:TypeSize     | @s2     | 283,79,15,10  | |
| prompt | ?SalesRepPrompt     | "SalesRep:"                              | -                | -       | 31,90,43,10   | |
| entry  | -                   |                                          | GLO:SalesRep     | @s36    | 81,90,137,10  | alert=F2 |
| prompt | ?DistributorPrompt  | "Distributor:"                           | -                | -       | 31,103        | |
| entry  | -                   |                                          | Glo:Distributor  | @s36    | 81,103,137,10 | hint="Distributor Name" alert=F2 |
| prompt | ?DistTypeSizePrompt | "Type/Size:"                             | -                | -       | 243,103       | |
| entry  | -                   |                                          | Glo:DistTypeSize | @s2     | 283,103,15,10 | hint="Distributor Type Size" |
| prompt | ?ProdCodePrompt     | "ProdCode:"                              | -                | -       | 31,114        | |
| entry  | -                   |                                          | Glo:ProdCode     | @s14    | 81,114,63,10  | hint="Product Code" alert=F2 |
| prompt | ?DivisionPrompt     | "Division:"                              | -                | -       | 152,114       | |
| entry  | -                   |                                          | Glo:Division     | @s12    | 183,114,55,10 | hint="Division Name" |
| prompt | ?PackSizePrompt     | "PackSz:"                                | -                | -       | 251,114       | |
| entry  | -                   |                                          | Glo:PackSize     | @s10    | 283,114,47,10 | hint="Package Size" |
| check  | -                   | "Minority"                               | Glo:Minority     | -       | 81,127        | hint="Minority Flag" |
| prompt | ?CompetitorPrompt   | "Competitor:"                            | -                | -       | 31,137        | |
| entry  | -                   |                                          | Glo:Competitor   | @s36    | 81,137,137,10 | msg="Competitor" alert=F2 |
| prompt | ?BidPricePrompt     | "Bid Price:"                             | -                | -       | 249,137       | |
| entry  | -                   |                                          | Glo:BidPrice     | @s3     | 283,137,19,10 | hint="Bid Price" |
| prompt | ?BidPriceNote       | "(NET, BB, OI, or Blank for All)"        | -                | -       | 305,137,52,20 | |
)window";

// Labels of the lookups that no control carries: the product code entry picks one of the two
// product lookups at the time of the event (on_event), but both take part in the opening pass.
constexpr const char* kProductByCode = "#product by code";
constexpr const char* kProductByBrand = "#product by brand and code";

// Code type of the bid types in Code_Def.
Str<4> bid_type_code_id("BIDT");

void clear_var(const VarRef& v) {
  if (!v.valid()) return;
  if (v.type == FieldType::String)
    std::memset(v.ptr, ' ', v.size);
  else if (v.type == FieldType::CString)
    std::memset(v.ptr, 0, v.size);
  else if (v.type != FieldType::Memo)
    std::memset(v.ptr, 0, v.size);
}

// The bid type browse, marking its entry changed after a lookup asked for with F2.
void bid_type_browse() {
  BROWSEBIDTYPECODES();
  if (ui::last_key() == ui::Key::F2) {
    if (ui::Window* w = ui::Window::active()) w->set_touched(kBidTypeEntry, true);
  }
}

// The sales representative browse; a completed choice is followed by an acceptance of the
// control that has the focus.
void salesrep_browse() {
  BROWSESALESREPS();
  if (core::GlobalResponse == core::kResponseCompleted) {
    if (ui::Window* w = ui::Window::active()) w->post(ui::EventKind::Accepted, w->focus_label());
  }
}

}  // namespace

NameLookup bid_type_lookup() {
  NameLookup l;
  l.global = "GLO:BidType";
  l.value = core::find_global("GLO:BidType");
  l.file = &Code_Def::file;
  l.used = &Code_Def::Used;
  l.key = "COD:By_ID_Value";
  l.field = "COD:VALUE";
  l.fixed.push_back({"COD:ID", VarRef::String(bid_type_code_id.data(), 4)});
  l.browse = bid_type_browse;
  return l;
}

Result<ui::WindowDef> bid_window_def(const BidWindowVariant& v) {
  std::string text = "window \"" + v.title + "\" " + std::to_string(v.width) + " " +
                     std::to_string(v.height) + " centred";
  if (!v.help.empty()) text += " help=\"" + v.help + "\"";
  text += " font=\"MS Sans Serif\",8\n";
  text += kFamilyWindowRows;
  text += v.own_rows;
  Result<ui::WindowDef> parsed = ui::parse_window(text, v.title + ".window");
  if (!parsed.ok()) return parsed.status();
  ui::WindowDef def = std::move(*parsed);
  for (const std::string& label : v.without) {
    int i = def.find(label);
    if (i < 0)
      return Status(1, "window \"" + v.title + "\": no control " + label + " to leave out");
    def.controls.erase(def.controls.begin() + i);
  }
  for (const auto& [label, at] : v.moved) {
    int i = def.find(label);
    if (i < 0) return Status(1, "window \"" + v.title + "\": no control " + label + " to move");
    ui::Rect& r = def.controls[i].at;
    r.x = at.x;
    r.y = at.y;
    if (at.w >= 0) r.w = at.w;
    if (at.h >= 0) r.h = at.h;
  }
  for (size_t i = 0; i < def.controls.size(); ++i) def.controls[i].id = static_cast<int>(i + 1);
  Status s = def.finish();
  if (!s.ok()) return s;
  return def;
}

ui::WindowDef BidSelectionWindow::window_def() {
  if (!def_made_) {
    Result<ui::WindowDef> def = bid_window_def(variant_);
    if (!def.ok()) {
      // A fault in the program's own declaration: the first test that opens the window finds it.
      std::fprintf(stderr, "%s\n", def.status().ToString().c_str());
      std::abort();
    }
    def_ = std::move(*def);
    def_made_ = true;
  }
  return def_;
}

bool BidSelectionWindow::has(std::string_view label) {
  if (!def_made_) (void)window_def();
  return def_.find(label) >= 0;
}

void BidSelectionWindow::bind(ui::Window& win) {
  for (const ui::ControlDef& c : win.def().controls) {
    if (c.var.empty()) continue;
    VarRef ref = core::find_global(c.var);
    if (!ref.valid()) ref = local(c.var);
    // An unbound variable makes the window's open() fail and name it.
    if (ref.valid()) win.bind(c.var, ref);
  }
}

void BidSelectionWindow::reset_globals() {
  for (const std::string& name : variant_.resets) clear_var(core::find_global(name));
  core::EndDate1 = make_date(12, 31, 2099);
  reset_locals();
}

std::vector<LookupField> BidSelectionWindow::lookup_fields() {
  // Opening pass order: bid, agency, brand, distributor, product (by code), product (by brand
  // and code), sales representative, competitor; then the bid type.
  std::vector<LookupField> fields;
  auto add = [&](const char* label, NameLookup l, const char* control) {
    if (has(control)) fields.push_back({label, std::move(l), false, true, false});
  };
  add("?Glo:BID_ID", bid_lookup(), "?Glo:BID_ID");
  add("?Glo:Agency", agency_lookup(), "?Glo:Agency");
  add(kManufacEntry, brand_lookup(), kManufacEntry);
  add("?Glo:Distributor", distributor_lookup(), "?Glo:Distributor");
  add(kProductByCode, product_lookup(), kProdCodeEntry);
  add(kProductByBrand, brand_product_lookup(), kProdCodeEntry);
  NameLookup rep = salesrep_lookup();
  rep.browse = salesrep_browse;
  add(kSalesRepEntry, rep, kSalesRepEntry);
  add("?Glo:Competitor", competitor_lookup(), "?Glo:Competitor");
  add(kBidTypeEntry, bid_type_lookup(), kBidTypeEntry);
  return fields;
}

std::vector<DateField> BidSelectionWindow::date_fields() {
  return {{"?BeginDate1", &core::BeginDate1}, {"?EndDate1", &core::EndDate1}};
}

void BidSelectionWindow::brand_wording(ui::Window& win) {
  for (const auto& [label, text] : variant_.brand_texts) win.set_text(label, text);
  brand_entry_wording(win, kManufacEntry);
}

bool BidSelectionWindow::on_event(ui::Window& win, const ui::Event& ev) {
  if (product_lookup_event(win, ev)) return true;
  return on_own_event(win, ev);
}

bool BidSelectionWindow::product_lookup_event(ui::Window& win, const ui::Event& ev) {
  if (!ui::same_label(ev.label, kProdCodeEntry)) return false;
  const bool f2 = ev.is(ui::EventKind::AlertKey) && ev.key == ui::Key::F2;
  if (!f2 && !ev.is(ui::EventKind::Accepted)) return false;
  if (!f2 && Glo::ProdCode.blank()) return true;  // a blank entry is not looked up
  const NameLookup l = Glo::Manufac.blank() ? product_lookup() : brand_product_lookup();
  if (lookup(l, true, f2) == core::kResponseCompleted) {
    Glo::Manufac = PRODUCT::rec().MANUFAC.raw();
  } else {
    Glo::ProdCode = "";
    Glo::Manufac = "";
  }
  win.display();  // the brand may have changed too
  return true;
}

}  // namespace tdx::reports::bids
