// BidSelectionWindow: the option window shared by the listings over many bids (bid listing, bid
// summary, bid detail listing, detail product listing). They all ask for the same selection -
// date range on the received or opening date, bid, bid type, agency and its type/size, brand and
// its type/size, sales representative, distributor and its type/size, product code, division,
// pack size, minority, competitor and bid price type - and differ only in a few places, which a
// member states as data (BidWindowVariant): title, size and help key, family controls it leaves
// out or places elsewhere, its own controls after the family's (switches, Print, Cancel), the
// globals it resets, and its brand wording.
//
// What the family does, on top of the common option window (reports/framework/option_window.h):
//   - the family's controls are declared once (kFamilyWindowRows in the .cpp); every variable
//     they name is a main-module global, bound by its text name; a member's own variables come
//     from local();
//   - opening resets the variant's globals to blank or zero, then EndDate1 = 31 December 2099,
//     then the member's own locals (reset_locals());
//   - lookups, in the order of the opening pass: bid, agency, brand, distributor, product by
//     code, product by brand and code, sales representative, competitor, bid type. Each runs on
//     acceptance of a non-blank entry or on F2. The product code entry takes the brand's form
//     (PRD:BY_MAN_PRO, PRODUCTBROWSE2) when a brand is entered, else the code's
//     (PRD:BY_PROD_CODE, PRODUCTBROWSE); a chosen product also sets the brand, a cancelled one
//     blanks both. A completed sales representative lookup posts an acceptance to the control
//     that has the focus; an F2 lookup of the bid type marks its entry changed;
//   - F2 on the two date entries opens the calendar;
//   - Print first checks agency, brand, distributor, product code and bid (each when given, in
//     that order; "Invalid ... " with caption "ERROR" at the first that names no record), then
//     calls print().
//
// A window is run once per call of run(), on the windows' thread; not copyable.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "reports/framework/option_window.h"
#include "runtime/ui/window_def.h"

namespace tdx::reports::bids {

// Labels of the family's controls that members refer to.
inline constexpr const char* kManufacPrompt = "?ManufacPrompt";
inline constexpr const char* kTypeSizePrompt = "?MfrTypeSizePrompt";
inline constexpr const char* kManufacEntry = "?Glo:Manufac";
inline constexpr const char* kProdCodeEntry = "?Glo:ProdCode";
inline constexpr const char* kBidTypeEntry = "?GLO:BidType";
inline constexpr const char* kSalesRepEntry = "?GLO:SalesRep";

struct BidWindowVariant {
  std::string title;
  int width = 360, height = 183;
  std::string help;
  // Family controls this window does not have (by label; a prompt and its entry both).
  std::vector<std::string> without;
  // Family controls placed elsewhere: label and x, y, w, h (-1 keeps the family's size).
  std::vector<std::pair<std::string, ui::Rect>> moved;
  // The window's own controls, declared as rows of the window text form
  // (runtime/ui/WINDOW_FORMAT.md), placed after the family's in tab order.
  std::string own_rows;
  // Globals reset to blank or zero when the window opens, in this order (EndDate1 is then set
  // to 31 December 2099).
  std::vector<std::string> resets;
  // Texts that change to the brand wording when GLO:Pellam is non-zero (prompt label, text);
  // the brand entry's message and tip always become "Brand Name".
  std::vector<std::pair<std::string, std::string>> brand_texts;
};

// The window declaration of a variant: the family's rows less `without`, moved as `moved`, then
// the variant's own rows. An error names the faulty row.
Result<ui::WindowDef> bid_window_def(const BidWindowVariant& v);

// The bid type lookup: Code_Def by COD:By_ID_Value, code type "BIDT" and the code value.
NameLookup bid_type_lookup();

class BidSelectionWindow : public OptionWindow {
 public:
  explicit BidSelectionWindow(BidWindowVariant variant) : variant_(std::move(variant)) {}

 protected:
  // A variable of the window's own controls that is not a main-module global (LOC:...).
  virtual VarRef local(std::string_view name) {
    (void)name;
    return VarRef();
  }
  // Resets the window's own locals when it opens (after the globals).
  virtual void reset_locals() {}
  // Events of the window's own controls.
  virtual bool on_own_event(ui::Window& win, const ui::Event& ev) {
    (void)win, (void)ev;
    return false;
  }

  const BidWindowVariant& variant() const { return variant_; }

  // OptionWindow.
  ui::WindowDef window_def() override;
  void bind(ui::Window& win) override;
  void reset_globals() override;
  std::vector<LookupField> lookup_fields() override;
  std::vector<DateField> date_fields() override;
  void brand_wording(ui::Window& win) override;
  bool check_before_printing() override { return check_selection_names(); }
  bool on_event(ui::Window& win, const ui::Event& ev) override;

 private:
  bool has(std::string_view label);
  bool product_lookup_event(ui::Window& win, const ui::Event& ev);

  BidWindowVariant variant_;
  ui::WindowDef def_;
  bool def_made_ = false;
};

}  // namespace tdx::reports::bids
