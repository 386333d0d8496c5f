// DISTQUOTERPTMNU: the option window "Distributor Quote Report". Its controls are declared
// below as data (runtime/ui/WINDOW_FORMAT.md); the common behaviour of option windows is
// reports/framework/option_window.h. What is its own:
//   - on opening it also clears GLO:UseAltOrder, GLO:PrintDistProd, GLO:HistFOB,
//     GLO:AlternateCompany and its three switches, and keeps "Print Distr Bid ID"
//     (GLO:DISTBIDIDREQ) as the last opening left it;
//   - "Use Alternate Company Info" shows only when the settings name an alternate company;
//   - "Print Distr Bid ID" shows once a distributor is entered (and is cleared without one);
//   - "Print Dist. ProdCode" makes the distributor required; "DEL && FOB History" shows only
//     with "Print Bid History";
//   - the product code is looked up within the brand when one is entered, and the product's
//     brand comes back with the code;
//   - Print: the bid must exist, and the distributor too when its product codes are asked for
//     (else a beep and the focus on the entry); then FAXREPORT, then the report.
#include <string_view>

#include "core/files.h"
#include "core/globals.h"
#include "core/procedures.h"
#include "reports/bids/dist_quote.h"
#include "reports/framework/export.h"
#include "reports/framework/open_file.h"
#include "reports/framework/option_window.h"
#include "runtime/settings/settings.h"
#include "runtime/text/str.h"
#include "runtime/ui/window_text.h"

namespace tdx::reports {
namespace {

constexpr std::string_view kWindow = R"window(
window "Distributor Quote Report" 315 218 centred help="~DistributorQuoteReport" font="MS Sans Serif",8
| kind   | label                 | text                            | variable             | picture | at             | attributes |
| prompt | -                     | "Bid ID:"                       | -                    | -       | 13,18          | |
| entry  | ?Glo:BID_ID           |                                 | Glo:BID_ID           | @s24    | 61,18,103,10   | hint="Enter Bid ID" alert=F2 |
| prompt | -                     | "(Bid ID Must Be Entered)"      | -                    | -       | 179,18         | |
| prompt | -                     | "(Specify Selections Required or Blank for All)" | - | -      | 61,34          | |
| prompt | ?BrandPrompt          | "Manufacturer:"                 | -                    | -       | 13,51          | |
| entry  | ?Glo:Manufac          |                                 | Glo:Manufac          | @s36    | 61,51,137,10   | hint="Manufacturer Name" alert=F2 |
| prompt | ?DistRequiredPrompt   | "(Distrubutor Must Be Entered)" | -                    | -       | 204,63         | hidden |
| prompt | -                     | "Distributor:"                  | -                    | -       | 13,63          | |
| entry  | ?Glo:Distributor      |                                 | Glo:Distributor      | @s36    | 61,63,137,10   | hint="Distributor Name" alert=F2 |
| prompt | -                     | "ProdCode:"                     | -                    | -       | 13,75          | |
| entry  | ?Glo:ProdCode         |                                 | Glo:ProdCode         | @s14    | 61,75,-,10     | hint="Product Code" alert=F2 |
| prompt | -                     | "Division:"                     | -                    | -       | 163,75         | |
| entry  | ?Glo:Division         |                                 | Glo:Division         | @s12    | 197,75,-,10    | hint="Division Name" |
| check  | ?Glo:Minority         | "Minority"                      | Glo:Minority         | -       | 61,87          | hint="Minority Flag" |
| check  | ?Glo:Brand            | "Brand"                         | Glo:Brand            | -       | 197,87         | hint="Print Brand Information" |
| prompt | -                     | "Remarks:"                      | -                    | -       | 13,99          | |
| entry  | ?Glo:Remarks          |                                 | Glo:Remarks          | @s65    | 61,99,248,10   | hint="Remarks to print on report" |
| prompt | -                     | "(Print Additional Information)" | -                   | -       | 61,113         | |
| check  | ?Glo:Detail           | "Print Extended Description  "  | Glo:Detail           | -       | 57,128         | hint="Print Detailed Information" |
| check  | ?GLO:PrintDistProd    | "Print Dist. ProdCode"          | GLO:PrintDistProd    | -       | 177,128        | hint="Print History" |
| check  | ?EXTENDED             | "Extension Information"         | EXTENDED             | -       | 61,141,99,10   | |
| check  | ?LOC:DISCONTINUED     | "Print ***Discontinued***"      | LOC:DISCONTINUED     | -       | 167,155        | values="1","0" |
| check  | ?LOC:BOLDPRICES       | "Bold Prices"                   | LOC:BOLDPRICES       | -       | 61,154,99,10   | |
| check  | ?GLO:DISTBIDIDREQ     | "Print Distr Bid ID"            | GLO:DISTBIDIDREQ     | -       | 189,169        | hidden |
| check  | ?GLO:AlternateCompany | "Use Alternate Company Info"    | GLO:AlternateCompany | -       | 56,169         | hidden |
| check  | ?Glo:History          | "Print Bid History"             | Glo:History          | -       | 191,142        | hint="Print History" |
| check  | ?GLO:HistFOB          | "DEL && FOB History"            | GLO:HistFOB          | -       | 177,183        | hidden |
| button | ?Print                | "&Print"                        | -                    | -       | 212,201,42,12  | |
| button | ?Cancel               | "Cancel"                        | -                    | -       | 262,201,42,12  | |
)window";

constexpr const char* kSettings = ".\\tendix.ini";

// A file used through its use counter for the life of the window.
class CountedUse {
 public:
  CountedUse(store::KeyedFile& file, int32_t& used) : file_(file), used_(used) {
    ok_ = used_ > 0 || open_file(file_).ok();
    if (ok_) ++used_;
  }
  ~CountedUse() {
    if (!ok_) return;
    if (used_ > 0) --used_;
    if (used_ == 0) file_.close();
  }
  CountedUse(const CountedUse&) = delete;
  CountedUse& operator=(const CountedUse&) = delete;
  bool ok() const { return ok_; }

 private:
  store::KeyedFile& file_;
  int32_t& used_;
  bool ok_ = false;
};

class DistQuoteWindow : public OptionWindow {
 protected:
  ui::WindowDef window_def() override {
    auto parsed = ui::parse_window(kWindow, "dist_quote.window");
    if (!parsed.ok()) {
      std::fprintf(stderr, "%s\n", parsed.status().ToString().c_str());
      return ui::WindowDef();
    }
    ui::WindowDef def = *parsed;
    const bool alternate = !is_blank(get_ini("Alternate", "Company", "", kSettings));
    for (ui::ControlDef& c : def.controls)
      if (equals_nocase(c.label, "?GLO:AlternateCompany")) c.hidden = !alternate;
    return def;
  }

  void bind(ui::Window& w) override {
    w.bind("Glo:BID_ID", VarRef::String(Glo::BID_ID.data(), 24));
    w.bind("Glo:Manufac", VarRef::String(Glo::Manufac.data(), 36));
    w.bind("Glo:Distributor", VarRef::String(Glo::Distributor.data(), 36));
    w.bind("Glo:ProdCode", VarRef::String(Glo::ProdCode.data(), 14));
    w.bind("Glo:Division", VarRef::String(Glo::Division.data(), 12));
    w.bind("Glo:Minority", VarRef::String(Glo::Minority.data(), 1));
    w.bind("Glo:Brand", VarRef::String(Glo::Brand.data(), 1));
    w.bind("Glo:Remarks", VarRef::String(Glo::Remarks.data(), 65));
    w.bind("Glo:Detail", VarRef::Long(&Glo::Detail));
    w.bind("GLO:PrintDistProd", VarRef::Long(&GLO::PrintDistProd));
    w.bind("EXTENDED", VarRef::Long(&switches_.extended));
    w.bind("LOC:DISCONTINUED", VarRef::Long(&switches_.discontinued));
    w.bind("LOC:BOLDPRICES", VarRef::Long(&switches_.bold_prices));
    w.bind("GLO:DISTBIDIDREQ", VarRef::Byte(&DistBidIdRequested()));
    w.bind("GLO:AlternateCompany", VarRef::Long(&GLO::AlternateCompany));
    w.bind("Glo:History", VarRef::Long(&Glo::History));
    w.bind("GLO:HistFOB", VarRef::Byte(&GLO::HistFOB));
  }

  void reset_globals() override {
    reset_selection_globals();
    GLO::UseAltOrder = 0;
    switches_ = DistQuoteSwitches();
    GLO::PrintDistProd = 0;
    GLO::HistFOB = 0;
    GLO::AlternateCompany = 0;
    // The distributor and product code are this window's own lookups; their opening pass.
    lookup(distributor_lookup(), false, false);
    lookup(product_lookup(), false, false);
  }

  std::vector<LookupField> lookup_fields() override {
    return {{"?Glo:BID_ID", bid_lookup(), true, false, false},
            {"?Glo:Manufac", brand_lookup(), false, true, false}};
  }

  void brand_wording(ui::Window& w) override {
    w.set_text("?BrandPrompt", "Brand:");
    brand_entry_wording(w, "?Glo:Manufac");
  }

  bool on_event(ui::Window& w, const ui::Event& ev) override {
    using ui::EventKind;
    const bool f2 = ev.is(EventKind::AlertKey) && ev.key == ui::Key::F2;
    if (ev.is(EventKind::Selected, "?Glo:Distributor")) {
      // Leaving the entry re-checks the distributor even when its text did not change.
      w.set_touched("?Glo:Distributor", true);
      return true;
    }
    if (ev.is(EventKind::Accepted, "?Glo:Distributor") ||
        (f2 && ui::same_label(ev.label, "?Glo:Distributor"))) {
      if (f2 || !Glo::Distributor.blank()) {
        const int32_t r = lookup(distributor_lookup(), true, f2);
        w.display();
        // Required while the distributor's product codes are asked for.
        if (r == core::kResponseCancelled &&
            (GLO::PrintDistProd != 0 || !Glo::Distributor.blank()))
          w.select("?Glo:Distributor");
      }
      distributor_entered(w);
      return true;
    }
    if (ev.is(EventKind::Accepted, "?Glo:ProdCode") ||
        (f2 && ui::same_label(ev.label, "?Glo:ProdCode"))) {
      if (f2 || !Glo::ProdCode.blank()) product_code(w, f2);
      return true;
    }
    if (ev.is(EventKind::Accepted, "?GLO:PrintDistProd")) {
      const bool on = GLO::PrintDistProd != 0;
      w.set_hidden("?DistRequiredPrompt", !on);
      w.set_required("?Glo:Distributor", on);
      return true;
    }
    if (ev.is(EventKind::Accepted, "?Glo:History")) {
      if (Glo::History == 0) GLO::HistFOB = 0;
      w.set_hidden("?GLO:HistFOB", Glo::History == 0);
      w.display();
      return true;
    }
    return false;
  }

  void print(ui::Window& w) override {
    HEADBID::file.clear();
    HEADBID::rec().BID_ID = Glo::BID_ID.raw();
    if (!HEADBID::file.get(HEA::BY_BID_ID).ok()) {
      w.beep();
      w.select("?Glo:BID_ID");
      return;
    }
    if (GLO::PrintDistProd != 0) {
      DISTRI::file.clear();
      DISTRI::rec().DISTRI_NAME = Glo::Distributor.raw();
      if (!DISTRI::file.get(DIS::BY_DISTRI).ok()) {
        w.beep();
        w.select("?Glo:Distributor");
        return;
      }
    }
    FAXREPORT();
    if (core::GlobalResponse == core::kResponseCancelled) {
      w.select("?Glo:Distributor");
      return;
    }
    RunDistQuote(switches_);
  }

 private:
  // "Print Distr Bid ID" goes with an entered distributor.
  void distributor_entered(ui::Window& w) {
    const bool given = !Glo::Distributor.blank();
    if (!given) DistBidIdRequested() = 0;
    w.set_hidden("?GLO:DISTBIDIDREQ", !given);
    w.display();
  }

  // The product code, within the brand when one is entered; the brand comes back with it.
  void product_code(ui::Window& w, bool force) {
    const bool with_brand = !Glo::Manufac.blank();
    const int32_t r =
        lookup(with_brand ? brand_product_lookup() : product_lookup(), true, force);
    if (r == core::kResponseCompleted) {
      Glo::Manufac = PRODUCT::rec().MANUFAC.raw();
    } else {
      Glo::Manufac = "";
      Glo::ProdCode = "";
    }
    w.display();
  }

  DistQuoteSwitches switches_;
};

}  // namespace
}  // namespace tdx::reports

TDX_REPORT_EXPORT void DISTQUOTERPTMNU(void) {
  // DISTRI and PRODUCT are this window's own lookups' files; HEADBID and MANUF come with the
  // common lookups.
  tdx::reports::CountedUse distri(DISTRI::file, DISTRI::Used);
  tdx::reports::CountedUse product(PRODUCT::file, PRODUCT::Used);
  tdx::reports::DistQuoteWindow window;
  window.run();
}
