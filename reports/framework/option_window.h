// OptionWindow: what every report option window does, written once. A window derives from it and
// supplies its declared layout, its lookup and date fields, its brand wording and what Print does.
//
// run():
//   opening  a new frame of bound names; GlobalRequest taken, response 2, GlobalRequest and
//            GlobalResponse 0; the selection globals reset [reset_globals(), default
//            reset_selection_globals()]; the reference files of the lookup fields opened through
//            their use counters (open_file) and their records bound with their memos; the window
//            opened; every lookup run once without the user (a value that names no record is
//            cleared; no lookup window is shown); the brand wording applied when GLO:Pellam is
//            non-zero [brand_wording()];
//   events   open-window: display, focus on the first field. gain-focus: display (not during an
//            accept-all pass). rejected: beep, show the field again, focus back on it.
//            accepted on a lookup field: its lookup (skipped for a blank field when the field
//            says so), then the field shown again; when the lookup was cancelled and the field
//            is required or still not blank, the focus stays on it. F2 on a lookup field: the
//            lookup forced (the lookup window opens even for a valid name). selected on a lookup
//            field that asks for it: the lookup. F2 on a date field: DATESELECT. Print: the
//            check before printing [check_before_printing()], then print() - the window stays
//            open. Cancel: closes. Anything else goes to on_event().
//   closing  the reference files released, the window closed, GlobalResponse = 2, the frame
//            released.
//
// Lookup of a name field (lookup()): the file's buffer is cleared, the global put in the key
// field and the record got by that key; when that fails, or when forced, the main module's lookup
// window is called with GlobalRequest = 4, GlobalResponse = 2 and, when the user started it, the
// global's trimmed value typed into the keyboard buffer (its first 14 characters when it has 15
// or more); chosen or found, the global takes the record's value, else it is cleared.
//
// One OptionWindow runs at a time on the windows' thread; it is not copyable.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "reports/framework/report_run.h"
#include "runtime/base/status.h"
#include "runtime/base/value.h"
#include "runtime/store/keyed_file.h"
#include "runtime/ui/window.h"

namespace tdx::reports {

// The main module's lookup of one name global: the file and key it is checked against, the key
// field the global fills and takes back, key fields taken from other globals first (the brand of
// PRD:BY_MAN_PRO), and the lookup window.
struct NameLookup {
  std::string global;  // "Glo:Manufac"
  VarRef value;        // the global's storage
  store::KeyedFile* file = nullptr;
  int32_t* used = nullptr;
  std::string key;                                    // "MAN:BY_MANUF"
  std::string field;                                  // "MAN:MANUF_NAME"
  std::vector<std::pair<std::string, VarRef>> fixed;  // leading key fields and their globals
  void (*browse)() = nullptr;                         // MANUFCTRBROWSE
};

NameLookup brand_lookup();          // Glo:Manufac, MANUF, MAN:BY_MANUF, MANUFCTRBROWSE
NameLookup distributor_lookup();    // Glo:Distributor, DISTRI, DIS:BY_DISTRI, DISTRIBUTORBROWSE
NameLookup agency_lookup();         // Glo:Agency, AGENCY, AGE:BY_AGENCY, AGENCYBROWSE
NameLookup product_lookup();        // Glo:ProdCode, PRODUCT, PRD:BY_PROD_CODE, PRODUCTBROWSE
NameLookup brand_product_lookup();  // Glo:ProdCode with Glo:Manufac, PRD:BY_MAN_PRO, PRODUCTBROWSE2
NameLookup bid_lookup();            // Glo:BID_ID, HEADBID, HEA:BY_BID_ID, BIDBROWSE
NameLookup competitor_lookup();     // Glo:Competitor, COMP, CMP:BY_NAME, BROWSECOMPETITION
NameLookup salesrep_lookup();       // GLO:SalesRep, SALESREP, SAL:BY_SALES_REP, BROWSESALESREPS
NameLookup region_lookup();         // GLO:Region, REGIONS, REG:BY_REGION, BROWSEREGIONS

// An entry of the window tied to a lookup.
struct LookupField {
  std::string label;  // the entry's label ("?Glo:Manufac")
  NameLookup lookup;
  bool required = false;
  bool skip_when_blank = false;  // accepted on a blank field runs no lookup
  bool on_selected = false;      // the lookup also runs when the field gets the focus
};

// A date entry with the calendar on F2.
struct DateField {
  std::string label;
  int32_t* day = nullptr;
};

// The selection globals every option window resets when it opens, in order, to blank or 0.
void reset_selection_globals();

// The names checked before printing by the listing windows: each of Glo:Agency, Glo:Manufac,
// Glo:Distributor, Glo:ProdCode, Glo:BID_ID that is not blank is looked up by its key, in this
// order; the first not found shows "Invalid ... Name" (caption "ERROR") and gives false.
bool check_selection_names();

class OptionWindow {
 public:
  OptionWindow();
  virtual ~OptionWindow();
  OptionWindow(const OptionWindow&) = delete;
  OptionWindow& operator=(const OptionWindow&) = delete;

  // Opening, the event loop, closing. Returns GlobalResponse (always 2).
  int32_t run();

 protected:
  virtual ui::WindowDef window_def() = 0;
  // Binds the window's variables (globals and locals) to its controls.
  virtual void bind(ui::Window& win) = 0;
  virtual void reset_globals() { reset_selection_globals(); }
  virtual std::vector<LookupField> lookup_fields() { return {}; }
  virtual std::vector<DateField> date_fields() { return {}; }
  // The window's texts changed for "Brand" wording; called only when GLO:Pellam is non-zero.
  virtual void brand_wording(ui::Window& win) { (void)win; }
  virtual bool check_before_printing() { return true; }
  // Print: sets the report's switches and runs the report.
  virtual void print(ui::Window& win) = 0;
  // The Print and Cancel buttons' labels.
  virtual std::string print_button() const { return "?Print"; }
  virtual std::string cancel_button() const { return "?Cancel"; }
  // Events the common handling does not take; true when handled.
  virtual bool on_event(ui::Window& win, const ui::Event& ev) {
    (void)win, (void)ev;
    return false;
  }

  // Runs the lookup of a field (see the header comment); returns GlobalResponse after it.
  int32_t lookup(const NameLookup& l, bool user_triggered, bool force);

  // Helper for brand_wording(): the message and tip of a brand entry read "Brand Name".
  static void brand_entry_wording(ui::Window& win, std::string_view label);

  ui::Window* window() { return win_.get(); }

 private:
  bool open_files();
  void release_files();
  const LookupField* lookup_field(const ui::Event& ev) const;
  const DateField* date_field(const ui::Event& ev) const;

  int32_t response_ = 2;
  int32_t saved_request_ = 0;
  bool first_display_done_ = false, refresh_requested_ = false;
  bool user_triggered_ = false, force_ = false;
  std::vector<LookupField> lookups_;
  std::vector<DateField> dates_;
  std::vector<UsedFile> files_;
  size_t files_opened_ = 0;
  std::unique_ptr<ui::Window> win_;
};

}  // namespace tdx::reports
