// The bid listing report and its option window (bid_listing.h).
#include "reports/bids/bid_listing.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/globals.h"
#include "reports/bids/bid_selection_window.h"
#include "reports/framework/open_file.h"
#include "reports/framework/report_run.h"
#include "reports/framework/routing.h"
#include "reports/framework/standard_messages.h"
#include "runtime/expr/bound_names.h"
#include "runtime/expr/filter_text.h"
#include "runtime/report/layout.h"
#include "runtime/store/errors.h"
#include "runtime/ui/message_box.h"

namespace tdx::reports::bids {
namespace {

// ---- layout ---------------------------------------------------------------------------------
// The brand and distributor header groups are boxed in the layout, but the report shows them
// without their boxes, or hides them when no brand (distributor) is chosen. The "Bid#" heading
// and the reference column show only when a brand is chosen.
constexpr const char* kBidListingLayout = R"layout(
report body=500,1427,7500,8823 font="Arial 10 regular" portrait

header at=500,500,7500,927 font="Arial 8 regular"
| kind  | label         | text or field        | picture | x    | y   | w    | h   | attributes        |
| field |               | RUNDATE              | @D1     | 396  | 63  | -    | -   | left              |
| text  |               | "Run:"               |         | 73   | 52  | -    | -   |                   |
| field |               | RUNTIME              | @T3     | 396  | 240 | -    | -   | left              |
| group | ?BRANDGROUP   |                      |         | 2094 | 260 | 3250 | 271 | boxed             |
| text  | ?MFRPROMPT    | "Manufacturer:"      |         | 2135 | 354 | -    | -   |                   |
| field |               | Glo:Manufac          | @s36    | 2927 | 354 | 2344 | 177 | bold, left        |
| end   |
| group | ?DISTGROUP    |                      |         | 2094 | 458 | 3250 | 271 | boxed             |
| text  |               | "Distributor"        |         | 2125 | 542 | -    | -   |                   |
| field |               | Glo:Distributor      | @s36    | 2927 | 542 | 2344 | 177 | bold, left        |
| end   |
| text  |               | "Bid Listing Report" |         | 2740 | 156 | 2063 | 229 | 12 bold, centred  |
| text  |               | "Bid Agency"         |         | 31   | 719 | 729  | 177 | bold, left        |
| text  |               | "Open Date"          |         | 4469 | 719 | 656  | 177 | bold, right       |
| text  |               | "Bid ID"             |         | 2125 | 719 | 406  | 177 | bold              |
| text  |               | "Rec'd Date"         |         | 3771 | 719 | 615  | 177 | bold, right       |
| text  |               | "Delivery Period"    |         | 5344 | 719 | 1094 | 177 | bold, centred     |
| text  | ?BIDNUMHEAD   | "Bid#"               |         | 6792 | 719 | 313  | 177 | bold, left, hidden |
| line  |               |                      |         | 21   | 885 | 7469 | 0   |                   |
| field |               | #PAGE                | @N4     | 7063 | 63  | -    | -   | left              |
| field |               | COM:COMPANY          | @s40    | 2073 | 10  | 3365 | 177 | bold, centred     |
| text  |               | "Page:"              |         | 6563 | 63  | -    | -   |                   |

band ?DETAILBAND font="Arial 8 regular"
| kind  | label         | text or field        | picture | x    | y   | w    | h   | attributes        |
| field |               | HEA:BID_AGENCY       | @s30    | 10   | 10  | 2052 | 208 |                   |
| field |               | HEA:BID_ID           | @s24    | 2125 | 10  | -    | -   |                   |
| field |               | HEA:DATE_RECD        | @d2     | 3750 | 10  | -    | -   | right             |
| field |               | HEA:OPEN_DATE        | @d2     | 4500 | 10  | -    | -   | right             |
| field |               | HEA:DEL_FROMDATE     | @d2     | 5250 | 10  | -    | -   | right             |
| text  |               | "-"                  |         | 5833 | 10  | 167  | 208 | centred           |
| field |               | HEA:DEL_TODATE       | @d2     | 5906 | 10  | -    | -   | right             |
| field | ?LOC:MFRREF   | LOC:MFRREF           | @s10    | 6792 | 10  | -    | -   | hidden            |

band ?TOTALS
| kind  | label         | text or field        | picture | x    | y   | w    | h   | attributes        |
| line  |               |                      |         | 10   | 10  | 7480 | 0   |                   |
| text  |               | "Total Bids:"        |         | 2333 | 52  | 750  | 208 | bold, left        |
| field |               | LOC:COUNT            | @n-6    | 3573 | 52  | 573  | 208 | bold, right       |

footer at=500,10250,7500,250
form at=500,500,7500,10000
)layout";

// The header groups as the report shows them: never with their boxes.
report::Layout parse_bid_listing_layout() {
  auto parsed = report::parse_layout(kBidListingLayout, "bid_listing.layout");
  if (!parsed.ok()) {
    // A fault of the layout text above, found by the first run of any test.
    std::fprintf(stderr, "%s\n", parsed.status().ToString().c_str());
    return report::Layout();
  }
  report::Layout l = std::move(*parsed);
  if (l.header) {
    for (report::Control& c : l.header->controls)
      if (c.kind == report::ControlKind::Group) c.boxed = false;
  }
  return l;
}

// ---- the report -----------------------------------------------------------------------------

class BidListing : public ReportRun {
 public:
  BidListing(int32_t escalation_only, int32_t non_profit_only)
      : escalation_only_(escalation_only), non_profit_only_(non_profit_only) {}

 protected:
  Status bind_names() override;
  std::vector<UsedFile> files() override;
  bool start_of_run() override { return company_defaults(); }
  void declare_view(view::View& v) override;
  Result<std::string> filter() override;
  int record_status() override;
  const report::Layout& layout() override;
  VarRef resolve(std::string_view name) override;
  void report_opened(report::Report& rpt) override;
  std::string default_job_title() const override { return "BidListingRpt"; }
  void count() override { ++LOC_COUNT; }
  Status closing_totals(report::Report& rpt) override;

 private:
  bool company_defaults();
  bool passes_line_conditions();
  void check_distributors(const PRO::Record& line, bool& distributor, bool& dist_type_size);

  const int32_t escalation_only_, non_profit_only_;
  Str<10> LOC_MFRREF;
  // Bids printed. 32 bits: a 16-bit count would print a negative total past 32,767 bids.
  int32_t LOC_COUNT = 0;
};

// The names the filter reads (the files' records are bound when they open).
Status BidListing::bind_names() {
  BoundNames& n = BoundNames::global();
  for (const char* name : {"Glo:Agency", "Glo:BID_ID", "BeginDate1", "EndDate1", "BeginDate2",
                           "EndDate2", "GLO:SalesRep", "GLO:TypeSize", "Glo:BidType"}) {
    Status s = n.bind(name, core::find_global(name));
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

// HEADBID drives the run; the others are read per bid. The company defaults must exist:
// without them the run ends once the files are open, before the progress window.
std::vector<UsedFile> BidListing::files() {
  return {{&HEADBID::file, &HEADBID::Used},  {&PRODBID::file, &PRODBID::Used},
          {&COMPBID::file, &COMPBID::Used},  {&DISTBID::file, &DISTBID::Used},
          {&DISTRI::file, &DISTRI::Used},    {&MANUF::file, &MANUF::Used},
          {&AGENCY::file, &AGENCY::Used},    {&COMPANY::file, &COMPANY::Used},
          {&SPECSBID::file, &SPECSBID::Used}};
}

// The first COMPANY record into the buffer (the page header prints COM:COMPANY); false, after
// telling the user, when there is none.
bool BidListing::company_defaults() {
  const bool was_open = COMPANY::Used > 0;
  if (!was_open && !open_file(COMPANY::file).ok()) return false;
  ++COMPANY::Used;
  COMPANY::file.clear();
  bool found = COMPANY::file.set_file().ok() && COMPANY::file.next().ok();
  if (--COMPANY::Used == 0) COMPANY::file.close();
  if (!found) {
    ui::message("Please set company defaults under Utility Menu", "Company Defaults Not Found",
                ui::Icon::None);
  }
  return found;
}

// Bids in received-date order, whatever date the range applies to.
void BidListing::declare_view(view::View& v) { v.set_key_order("HEA:BY_DATE_RECD"); }

// Built once per run from the header conditions.
Result<std::string> BidListing::filter() {
  FilterText f(Glo::OpenDate != 0 ? "HEA:OPEN_DATE => BeginDate1 and HEA:OPEN_DATE <= EndDate1 and"
                                  : "HEA:DATE_RECD => BeginDate1 and HEA:DATE_RECD <= EndDate1 and",
               1024);
  f.append_if(!Glo::BID_ID.blank(), " HEA:BID_ID = Glo:BID_ID and");
  f.append_if(!Glo::Agency.blank(), " HEA:BID_AGENCY = Glo:Agency and");
  f.append_if(!Glo::Minority.blank(), " HEA:MINIOR_BID = 'Y' and");
  f.append_if(!GLO::SalesRep.blank(), " HEA:SALES_REP = GLO:SalesRep and");
  f.append_if(escalation_only_ != 0, " HEA:Escalation = 1 and");
  f.append_if(!GLO::BidType.blank(), " HEA:BidType = GLO:BidType and");
  f.append_if(non_profit_only_ != 0, " HEA:NonProfit = 1 and");
  return f.text();
}

// The bid option test, on each bid the filter passed.
int BidListing::record_status() {
  if (!Glo::AgeTypeSize.blank()) {
    AGENCY::file.clear();
    AGENCY::rec().AGENCY_NAME = HEADBID::rec().BID_AGENCY.raw();
    if (!AGENCY::file.get(AGE::BY_AGENCY).ok()) AGENCY::file.clear();  // missing: blank
    if (!(AGENCY::rec().TYPE_SIZE == Glo::AgeTypeSize)) return kRecordFiltered;
  }
  return passes_line_conditions() ? kRecordAccepted : kRecordFiltered;
}

// The bid price type: the window offers "NET", "BB" and "OI", but a net-priced line holds "P"
// ("NET BB OI" on the pages), so "NET" selects those lines too; any other value is compared as
// it is.
bool net_matches(const Str<3>& net) {
  return net == Glo::BidPrice || (Glo::BidPrice == "NET" && net == "P");
}

// The nine product-line conditions: each given one must be met by some line of the bid.
bool BidListing::passes_line_conditions() {
  const bool brand = !Glo::Manufac.blank(), brand_type_size = !GLO::TypeSize.blank(),
             distributor = !Glo::Distributor.blank(), dist_type_size = !Glo::DistTypeSize.blank(),
             prod_code = !Glo::ProdCode.blank(), division = !Glo::Division.blank(),
             pack_size = !Glo::PackSize.blank(), competitor = !Glo::Competitor.blank(),
             bid_price = !Glo::BidPrice.blank();
  if (!(brand || brand_type_size || distributor || dist_type_size || prod_code || division ||
        pack_size || competitor || bid_price))
    return true;

  // Met when not given.
  bool brand_met = !brand, brand_type_size_met = !brand_type_size, distributor_met = !distributor,
       dist_type_size_met = !dist_type_size, prod_code_met = !prod_code, division_met = !division,
       pack_size_met = !pack_size, competitor_met = !competitor, bid_price_met = !bid_price;
  LOC_MFRREF = "";

  const Str<24> bid_id = HEADBID::rec().BID_ID;
  PRODBID::file.clear();
  PRODBID::rec().BID_ID = bid_id;
  Status s = PRODBID::file.set_from(PRO::BY_ID_LINE);
  while (s.ok()) {
    s = PRODBID::file.next();
    if (!s.ok()) break;
    const PRO::Record& line = PRODBID::rec();
    if (!(line.BID_ID == bid_id)) break;

    if (brand_type_size && !brand_type_size_met) {
      MANUF::file.clear();
      MANUF::rec().MANUF_NAME = line.MANUFAC.raw();
      if (MANUF::file.get(MAN::BY_MANUF).ok() && MANUF::rec().TYPE_SIZE == GLO::TypeSize)
        brand_type_size_met = true;
    }
    if (pack_size && line.PACK == Glo::PackSize) pack_size_met = true;
    // The reference is looked for on every line of the brand until one has it.
    if (brand && line.MANUFAC == Glo::Manufac) {
      brand_met = true;
      if (LOC_MFRREF.blank()) LOC_MFRREF = line.MFR_REFNUM.raw();
    }
    if (prod_code && line.PBCODE == Glo::ProdCode) prod_code_met = true;
    if (division && line.PROD_DIVISON == Glo::Division) division_met = true;
    if (bid_price && net_matches(line.NET)) bid_price_met = true;
    if (competitor && !competitor_met) {
      // Only the line's first competitor bid counts.
      COMPBID::file.clear();
      COMPBID::rec().BID_ID = line.BID_ID;
      COMPBID::rec().LINE_NUM = line.LINE_NUM;
      if (!COMPBID::file.get(COB::BY_ID_LINE).ok()) COMPBID::file.clear();
      if (COMPBID::rec().MANUFAC == Glo::Competitor) competitor_met = true;
    }
    if ((distributor && !distributor_met) || (dist_type_size && !dist_type_size_met))
      check_distributors(line, distributor_met, dist_type_size_met);
  }
  if (!s.ok() && s.code() != store::kRecordNotAvailable) {
    save_status(s);
    standard_message(35, PRODBID::file.decl().label);
  }
  return brand_met && brand_type_size_met && distributor_met && dist_type_size_met &&
         prod_code_met && division_met && pack_size_met && competitor_met && bid_price_met;
}

// The distributors that quoted the line: the distributor itself, or its type/size.
void BidListing::check_distributors(const PRO::Record& line, bool& distributor,
                                    bool& dist_type_size) {
  DISTBID::file.clear();
  DISTBID::rec().BID_LINE = line.BID_LINE;
  Status s = DISTBID::file.set_from(BDI::BY_BID_LINE);
  while (s.ok()) {
    s = DISTBID::file.next();
    if (!s.ok() || !(DISTBID::rec().BID_LINE == line.BID_LINE)) break;
    const BDI::Record& quote = DISTBID::rec();
    if (!Glo::Distributor.blank() && quote.DISTRIBUTOR == Glo::Distributor) distributor = true;
    if (!Glo::DistTypeSize.blank()) {
      DISTRI::file.clear();
      DISTRI::rec().DISTRI_NAME = quote.DISTRIBUTOR.raw();
      if (!DISTRI::file.get(DIS::BY_DISTRI).ok()) DISTRI::file.clear();  // missing: blank
      if (DISTRI::rec().TYPE_SIZE == Glo::DistTypeSize) dist_type_size = true;
    }
  }
}

const report::Layout& BidListing::layout() {
  static const report::Layout l = parse_bid_listing_layout();
  return l;
}

VarRef BidListing::resolve(std::string_view name) {
  if (name == "LOC:MFRREF") return VarRef::String(LOC_MFRREF.data(), 10);
  if (name == "LOC:COUNT") return VarRef::Long(&LOC_COUNT);
  return VarRef();
}

void BidListing::report_opened(report::Report& rpt) {
  const bool brand = !Glo::Manufac.blank();
  (void)rpt.set_hidden("?BRANDGROUP", !brand);
  (void)rpt.set_hidden("?BIDNUMHEAD", !brand);
  (void)rpt.set_hidden("?LOC:MFRREF", !brand);
  (void)rpt.set_hidden("?DISTGROUP", Glo::Distributor.blank());
  if (GLO::Pellam != 0) (void)rpt.set_text("?MFRPROMPT", "Brand:");
}

// The number of bids listed, when any was.
Status BidListing::closing_totals(report::Report& rpt) {
  if (LOC_COUNT == 0) return Status::Ok();
  return rpt.print("?TOTALS");
}

// ---- the option window ----------------------------------------------------------------------

BidWindowVariant bid_listing_window() {
  BidWindowVariant v;
  v.title = "Bid Listing Report";
  v.width = 360;
  v.height = 183;
  v.help = "~BidListingReport";
  // "New Spec Only" belongs to the family's layout but has no use here: it is never shown.
  v.own_rows = R"window(
| check  | -  | "Escalation Clause Only" | LOC:ESCALATION  | - | 80,153        | values="1","0" |
| check  | -  | "New Spec Only"          | GLO:NewSpecOnly | - | 153,153       | hidden |
| button | -  | "Print"                  | -               | - | 262,163,42,12 | |
| button | -  | "Cancel"                 | -               | - | 315,163,42,12 | |
| check  | -  | "Non Profit Only"        | LOC:NONPROFIT   | - | 105,165       | values="1","0" |
)window";
  v.resets = {"Glo:Agency",      "Glo:Manufac",    "Glo:Distributor", "Glo:ProdCode",
              "Glo:Division",    "Glo:Minority",   "Glo:Brand",       "Glo:Remarks",
              "Glo:Remarks2",    "Glo:BID_ID",     "Glo:LINE_NUM",    "Glo:Bond",
              "Glo:BidPrice",    "Glo:Competitor", "Glo:AgeTypeSize", "Glo:DistTypeSize",
              "Glo:PackSize",    "Glo:PrintBids",  "Glo:Analysis",    "GLO:SalesRep",
              "GLO:TypeSize",    "GLO:BidType",    "Glo:Detail",      "Glo:History",
              "BeginDate1",      "BeginDate2",     "EndDate2",        "Glo:OpenDate",
              "GLO:NewSpecOnly", "GrpByMfr",       "ShowComm",        "Landscape"};
  v.brand_texts = {{kManufacPrompt, "Brand:"}, {kTypeSizePrompt, "Brand Type/Size:"}};
  return v;
}

class BidListingWindow : public BidSelectionWindow {
 public:
  BidListingWindow() : BidSelectionWindow(bid_listing_window()) {}

 protected:
  VarRef local(std::string_view name) override {
    if (name == "LOC:ESCALATION") return VarRef::Long(&LOC_ESCALATION);
    if (name == "LOC:NONPROFIT") return VarRef::Long(&LOC_NONPROFIT);
    return VarRef();
  }
  void reset_locals() override { LOC_ESCALATION = LOC_NONPROFIT = 0; }
  void print(ui::Window&) override { (void)BidListingRpt(LOC_ESCALATION, LOC_NONPROFIT); }

 private:
  int32_t LOC_ESCALATION = 0, LOC_NONPROFIT = 0;
};

}  // namespace

int32_t BidListingRpt(int32_t escalation_only, int32_t non_profit_only) {
  ReportRouting routing;
  BidListing report(escalation_only, non_profit_only);
  report.set_routing(&routing);
  return report.run();
}

}  // namespace tdx::reports::bids

TDX_REPORT_EXPORT void BIDLISTINGRPTMNU(void) {
  tdx::reports::bids::BidListingWindow window;
  (void)window.run();
}
