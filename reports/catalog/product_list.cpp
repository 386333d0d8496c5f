// The product list report and its two option windows (product_list.h).
#include "reports/catalog/product_list.h"

#include <cstdio>

#include "core/files.h"
#include "core/globals.h"
#include "reports/framework/export.h"
#include "reports/framework/routing.h"
#include "runtime/expr/bound_names.h"
#include "runtime/expr/filter_text.h"
#include "runtime/report/layout.h"
#include "runtime/ui/window_text.h"

TDX_REPORT_EXPORT void PRODUCTLISTPRINT(void);

namespace tdx::reports::catalog {

// ---- layout ---------------------------------------------------------------------------------
// The page header's RUNDATE and RUNTIME are the run's date and time. The bands are printed by
// label: ?BRANDHEAD, ?DETAILBAND, ?BRANDTOTAL, ?GRANDTOTAL. The 28 controls of the price grid
// sit in the group ?PRICEGRID, which the summary hides; the detail band has no fixed height, so
// without the grid it ends below the weights line.
const char* const kProductListLayout = R"layout(
report body=510,1010,7500,9240 font="Arial 8"

header at=500,500,7500,510
| kind  | label | text or field        | picture | x    | y   | w    | h   | attributes             |
| text  |       | "Run:"               |         | 73   | 52  | -    | -   |                        |
| field |       | RUNDATE              | @D1     | 396  | 63  | -    | -   | left                   |
| field |       | RUNTIME              | @T3     | 396  | 240 | -    | -   | left                   |
| text  |       | "Bid Product Report" |         | 2406 | 240 | 2698 | 198 | Arial 10 bold, centred |
| field |       | #PAGE                | @N4     | 7073 | 63  | -    | -   | left                   |
| text  |       | "Page:"              |         | 6573 | 63  | -    | -   |                        |

band ?BRANDHEAD
| kind  | label      | text or field         | picture | x    | y   | w    | h   | attributes |
| text  | ?MFRPROMPT | "Manufacturer:"       |         | 42   | 63  | 813  | 167 |            |
| field |            | PRD:MANUFAC           | @s36    | 927  | 63  | 2771 | 208 | bold       |
| text  |            | "Product Description" |         | 3667 | 323 | 1313 | 167 | bold       |
| text  |            | "Product Code"        |         | 563  | 333 | 813  | 167 | bold       |
| text  |            | "Pack"                |         | 2250 | 333 | 406  | 167 | bold       |

band ?DETAILBAND
| kind  | label      | text or field    | picture  | x    | y   | w    | h   | attributes  |
| field |            | PRD:PROD_CODE    | @s14     | 563  | 10  | -    | -   |             |
| field |            | PRD:PACK         | @s14     | 2250 | 10  | -    | -   |             |
| field |            | PRD:PROD_DES     | @s36     | 3667 | 10  | 2396 | 167 |             |
| text  |            | "Gross Weight:"  |          | 885  | 167 | 885  | 167 | bold        |
| field |            | PRD:GROSS_WT     | @n-10.2  | 1823 | 167 | 531  | 167 | right       |
| text  |            | "Net Weight:"    |          | 2552 | 167 | 719  | 167 | bold        |
| field |            | PRD:NET_WT       | @n-10.2  | 3323 | 167 | 500  | 167 | right       |
| text  |            | "Division:"      |          | 3948 | 167 | 542  | 167 | bold        |
| field |            | PRD:PROD_DIVISON | @s12     | 4531 | 167 | 792  | 167 |             |
| text  |            | "UPC Code:"      |          | 5448 | 167 | 656  | 167 | bold        |
| field |            | PRD:UPC_CODE     | @s15     | 6156 | 167 | -    | -   |             |
| group | ?PRICEGRID |                  |          | 885  | 323 | 5688 | 771 |             |
| text  |            | "Range"          |          | 1521 | 323 | -    | -   | bold, left  |
| text  |            | "Price"          |          | 3188 | 323 | -    | -   | bold, right |
| text  |            | "Range"          |          | 4510 | 323 | -    | -   | bold, left  |
| text  |            | "Price"          |          | 6573 | 323 | -    | -   | bold, right |
| text  |            | "Level 1 >"      |          | 885  | 458 | 563  | 167 | bold, right |
| text  |            | "Level 2 >"      |          | 3885 | 458 | -    | -   | bold, right |
| text  |            | "Level 3 >"      |          | 885  | 615 | -    | -   | bold, right |
| text  |            | "Level 4 >"      |          | 3885 | 615 | -    | -   | bold, right |
| text  |            | "Level 5 >"      |          | 885  | 771 | -    | -   | bold, right |
| text  |            | "Level 6 >"      |          | 3885 | 771 | -    | -   | bold, right |
| text  |            | "Level 7 >"      |          | 885  | 927 | -    | -   | bold, right |
| text  |            | "Level 8 >"      |          | 3885 | 927 | -    | -   | bold, right |
| field |            | PRD:RANGE1       | @s15     | 1521 | 458 | -    | -   |             |
| field |            | PRD:RANGE3       | @s15     | 1521 | 615 | -    | -   |             |
| field |            | PRD:RANGE5       | @s15     | 1521 | 771 | -    | -   |             |
| field |            | PRD:RANGE7       | @s15     | 1521 | 927 | -    | -   |             |
| field |            | PRD:PRICE1       | @n$-15.4 | 2552 | 458 | -    | -   | right       |
| field |            | PRD:PRICE3       | @n$-15.4 | 2552 | 615 | -    | -   | right       |
| field |            | PRD:PRICE5       | @n$-15.4 | 2552 | 771 | -    | -   | right       |
| field |            | PRD:PRICE7       | @n$-15.4 | 2552 | 927 | -    | -   | right       |
| field |            | PRD:RANGE2       | @s15     | 4510 | 458 | -    | -   |             |
| field |            | PRD:RANGE4       | @s15     | 4510 | 615 | -    | -   |             |
| field |            | PRD:RANGE6       | @s15     | 4510 | 771 | -    | -   |             |
| field |            | PRD:RANGE8       | @s15     | 4510 | 927 | -    | -   |             |
| field |            | PRD:PRICE2       | @n$-15.4 | 5938 | 458 | -    | -   | right       |
| field |            | PRD:PRICE4       | @n$-15.4 | 5938 | 615 | -    | -   | right       |
| field |            | PRD:PRICE6       | @n$-15.4 | 5938 | 771 | -    | -   | right       |
| field |            | PRD:PRICE8       | @n$-15.4 | 5938 | 927 | -    | -   | right       |
| end   |
band ?BRANDTOTAL height=281
| kind  | label | text or field                | picture | x    | y  | w    | h   | attributes              |
| text  |       | "Total Products Printed for" |         | 10   | 10 | 1958 | 198 | Arial 10 bold           |
| field |       | CURRMANUF                    | @s36    | 1948 | 10 | 3031 | 167 | Arial 10 bold           |
| text  |       | "="                          |         | 5010 | 10 | 219  | 198 | Arial 10 bold, centred  |
| field |       | RECCOUNT                     | @n-13   | 5354 | 10 | -    | -   | Arial 10 bold, left     |

band ?GRANDTOTAL height=396
| kind  | label | text or field              | picture | x    | y  | w    | h   | attributes          |
| text  |       | "Total Products Printed = " |        | 10   | 10 | 1854 | 198 | Arial 10 bold       |
| field |       | TTLRECCOUNT                | @n-13   | 1938 | 10 | 1021 | 167 | Arial 10 bold, left |

footer at=500,10250,7500,250
form at=500,500,7500,10000
)layout";

// ---- the report -----------------------------------------------------------------------------

// The names the filter reads.
Status ProductList::bind_names() {
  BoundNames& n = BoundNames::global();
  Status s = n.bind("PRD:MANUFAC", VarRef::String(PRODUCT::rec().MANUFAC.data(), 36));
  return s.ok() ? n.bind("Glo:Manufac", VarRef::String(Glo::Manufac.data(), 36)) : s;
}

std::vector<UsedFile> ProductList::files() { return {{&PRODUCT::file, &PRODUCT::Used}}; }

// Brand, then product code, through the key: the same order as "+PRD:MANUFAC,+PRD:PROD_CODE",
// without the products the key leaves out (no code). A brand selection pins the brand, so only
// that brand's part of the key is read.
void ProductList::declare_view(view::View& v) { v.set_key_order("BY_MAN_PRO"); }

Result<std::string> ProductList::filter() {
  FilterText f;
  f.append_if(!Glo::Manufac.blank(), " PRD:MANUFAC = Glo:Manufac and");
  return f.text();
}

const report::Layout& ProductList::layout() {
  static const report::Layout l = [] {
    auto parsed = report::parse_layout(kProductListLayout, "product_list.layout");
    if (!parsed.ok()) {
      // A fault of the layout text above, found by the first run of any test.
      std::fprintf(stderr, "%s\n", parsed.status().ToString().c_str());
      return report::Layout();
    }
    return *parsed;
  }();
  return l;
}

VarRef ProductList::resolve(std::string_view name) {
  if (name == "RECCOUNT") return VarRef::Long(&RECCOUNT);
  if (name == "TTLRECCOUNT") return VarRef::Long(&TTLRECCOUNT);
  if (name == "CURRMANUF") return VarRef::String(CURRMANUF.data(), 36);
  return VarRef();
}

void ProductList::report_opened(report::Report& rpt) {
  if (GLO::Pellam != 0) (void)rpt.set_text("?MFRPROMPT", "Brand:");
  if (Glo::Detail == 0) (void)rpt.set_hidden("?PRICEGRID", true);
}

Status ProductList::print_heading(report::Report& rpt) {
  Status s = rpt.print("?BRANDHEAD");
  CURRMANUF = PRODUCT::rec().MANUFAC.raw();
  RECCOUNT = 0;
  last_brand_ = PRODUCT::rec().MANUFAC.raw();
  group_started_ = true;
  return s;
}

// The total of the group in progress, printed with the record buffer's brand set back to that
// group's brand and restored after.
Status ProductList::print_brand_total(report::Report& rpt) {
  const Str<36> current = PRODUCT::rec().MANUFAC;
  PRODUCT::rec().MANUFAC = last_brand_;
  Status s = rpt.print("?BRANDTOTAL");
  PRODUCT::rec().MANUFAC = current;
  return s;
}

Status ProductList::group_break(report::Report& rpt) {
  if (!group_started_) return print_heading(rpt);
  // The break compares all 36 characters, as stored.
  if (PRODUCT::rec().MANUFAC.raw() != last_brand_.raw()) {
    Status s = print_brand_total(rpt);
    if (!s.ok()) return s;
    return print_heading(rpt);
  }
  return Status::Ok();
}

void ProductList::count() {
  ++RECCOUNT;
  ++TTLRECCOUNT;
}

Status ProductList::closing_totals(report::Report& rpt) {
  if (!group_started_) return Status::Ok();
  Status s = print_brand_total(rpt);
  return s.ok() ? rpt.print("?GRANDTOTAL") : s;
}

// ---- the option windows ---------------------------------------------------------------------

namespace {

constexpr const char* kSummaryWindow = R"window(
window "Product Summary Report" 214 72 centred help="~ProductSummaryReport" font="MS Sans Serif",8
| kind   | label         | text                                                | variable    | picture | at             | attributes |
| prompt | ?MFRPROMPT    | "*Manufacturer:"                                    | -           | -       | 13,13,-,-      | |
| entry  | ?Glo:Manufac  |                                                     | Glo:Manufac | @s36    | 63,13,140,10   | hint="Manufacturer Name" alert=F2 |
| prompt | ?BLANKPROMPT  | "* Leave Manufacturer field blank for all products" | -           | -       | 13,31,185,12   | disabled |
| button | ?Print        | "&Print"                                            | -           | -       | 18,55,42,12    | |
| button | ?Cancel       | "Cancel"                                            | -           | -       | 163,55,42,12   | |
)window";

constexpr const char* kDetailWindow = R"window(
window "Product Detail Report" 214 72 centred help="~ProductDetailReport" font="MS Sans Serif",8
| kind   | label         | text                                                | variable    | picture | at             | attributes |
| prompt | ?MFRPROMPT    | "*Manufacturer:"                                    | -           | -       | 13,13,-,-      | |
| entry  | ?Glo:Manufac  |                                                     | Glo:Manufac | @s36    | 63,13,140,10   | hint="Manufacturer Name" alert=F2 |
| prompt | ?BLANKPROMPT  | "* Leave Manufacturer field blank for all products" | -           | -       | 13,31,185,12   | disabled |
| button | ?Print        | "&Print"                                            | -           | -       | 18,55,42,12    | |
| button | ?Cancel       | "Cancel"                                            | -           | -       | 163,55,42,12   | |
)window";

}  // namespace

ui::WindowDef ProductListOptions::window_def() {
  auto def = ui::parse_window(detail_ ? kDetailWindow : kSummaryWindow,
                              detail_ ? "product_detail.window" : "product_summary.window");
  if (!def.ok()) {
    std::fprintf(stderr, "%s\n", def.status().ToString().c_str());
    return ui::WindowDef();
  }
  return *def;
}

void ProductListOptions::bind(ui::Window& win) {
  win.bind("Glo:Manufac", VarRef::String(Glo::Manufac.data(), 36));
}

// A blank brand is valid (every brand): the lookup runs only for a typed name.
std::vector<LookupField> ProductListOptions::lookup_fields() {
  return {{"?Glo:Manufac", brand_lookup(), /*required=*/false, /*skip_when_blank=*/true,
           /*on_selected=*/false}};
}

void ProductListOptions::brand_wording(ui::Window& win) {
  win.set_text("?MFRPROMPT", detail_ ? "*Brand:" : "Brand:");
  brand_entry_wording(win, "?Glo:Manufac");
  win.set_text("?BLANKPROMPT", "* Leave Brand field blank for all products");
}

void ProductListOptions::print(ui::Window&) {
  Glo::Detail = detail_ ? 1 : 0;
  PRODUCTLISTPRINT();
}

}  // namespace tdx::reports::catalog

// ---- exports --------------------------------------------------------------------------------

TDX_REPORT_EXPORT void PRODUCTLISTPRINT(void) {
  tdx::reports::ReportRouting routing;
  tdx::reports::catalog::ProductList report;
  report.set_routing(&routing);
  report.run();
}

TDX_REPORT_EXPORT void PRODSUMMARYRPTMNU(void) {
  tdx::reports::catalog::ProductListOptions window(false);
  window.run();
}

TDX_REPORT_EXPORT void PRODDETRPTMNU(void) {
  tdx::reports::catalog::ProductListOptions window(true);
  window.run();
}
