#include "reports/framework/option_window.h"

#include <cstring>

#include "core/files.h"
#include "core/globals.h"
#include "core/procedures.h"
#include "reports/framework/open_file.h"
#include "reports/framework/standard_messages.h"
#include "runtime/expr/bound_names.h"
#include "runtime/ui/keyboard.h"
#include "runtime/ui/message_box.h"

namespace tdx::reports {
namespace {

// Blank (strings) or zero (numbers).
void clear_var(const VarRef& v) {
  if (!v.valid()) return;
  switch (v.type) {
    case FieldType::String:
      std::memset(v.ptr, ' ', v.size);
      break;
    case FieldType::Memo:
      static_cast<std::string*>(v.ptr)->clear();
      break;
    default:
      std::memset(v.ptr, 0, v.size);
      break;
  }
}

// The text of a string variable without its trailing blanks.
std::string clipped(const VarRef& v) {
  if (!v.valid()) return {};
  const char* p = static_cast<const char*>(v.ptr);
  size_t n = v.size;
  if (v.type == FieldType::CString) n = strnlen(p, v.size);
  while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0')) --n;
  return std::string(p, n);
}

// Copies one string variable into another, padded with blanks or cut to its size.
void copy_text(const VarRef& to, const VarRef& from) {
  if (!to.valid() || !from.valid()) return;
  std::string text = clipped(from);
  if (text.size() > to.size) text.resize(to.size);
  char* p = static_cast<char*>(to.ptr);
  std::memset(p, to.type == FieldType::CString ? 0 : ' ', to.size);
  std::memcpy(p, text.data(), text.size());
}

NameLookup make(const char* global, store::KeyedFile& file, int32_t& used, const char* key,
                const char* field, void (*browse)()) {
  NameLookup l;
  l.global = global;
  l.value = core::find_global(global);
  l.file = &file;
  l.used = &used;
  l.key = key;
  l.field = field;
  l.browse = browse;
  return l;
}

// A file used for a while through its use counter.
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

}  // namespace

NameLookup brand_lookup() {
  return make("Glo:Manufac", MANUF::file, MANUF::Used, "MAN:BY_MANUF", "MAN:MANUF_NAME",
              MANUFCTRBROWSE);
}
NameLookup distributor_lookup() {
  return make("Glo:Distributor", DISTRI::file, DISTRI::Used, "DIS:BY_DISTRI", "DIS:DISTRI_NAME",
              DISTRIBUTORBROWSE);
}
NameLookup agency_lookup() {
  return make("Glo:Agency", AGENCY::file, AGENCY::Used, "AGE:BY_AGENCY", "AGE:AGENCY_NAME",
              AGENCYBROWSE);
}
NameLookup product_lookup() {
  return make("Glo:ProdCode", PRODUCT::file, PRODUCT::Used, "PRD:BY_PROD_CODE", "PRD:PROD_CODE",
              PRODUCTBROWSE);
}
NameLookup brand_product_lookup() {
  NameLookup l = make("Glo:ProdCode", PRODUCT::file, PRODUCT::Used, "PRD:BY_MAN_PRO",
                      "PRD:PROD_CODE", PRODUCTBROWSE2);
  l.fixed.push_back({"PRD:MANUFAC", core::find_global("Glo:Manufac")});
  return l;
}
NameLookup bid_lookup() {
  return make("Glo:BID_ID", HEADBID::file, HEADBID::Used, "HEA:BY_BID_ID", "HEA:BID_ID", BIDBROWSE);
}
NameLookup competitor_lookup() {
  return make("Glo:Competitor", COMP::file, COMP::Used, "CMP:BY_NAME", "CMP:NAME",
              BROWSECOMPETITION);
}
NameLookup salesrep_lookup() {
  return make("GLO:SalesRep", SALESREP::file, SALESREP::Used, "SAL:BY_SALES_REP", "SAL:SALES_REP",
              BROWSESALESREPS);
}
NameLookup region_lookup() {
  return make("GLO:Region", REGIONS::file, REGIONS::Used, "REG:BY_REGION", "REG:REGION",
              BROWSEREGIONS);
}

void reset_selection_globals() {
  static const char* const kOrder[] = {
      "Glo:Agency",     "Glo:Manufac",     "Glo:Distributor",  "Glo:ProdCode", "Glo:Division",
      "Glo:Minority",   "Glo:Brand",       "Glo:Remarks",      "Glo:Remarks2", "Glo:BID_ID",
      "Glo:LINE_NUM",   "Glo:Detail",      "Glo:Bond",         "Glo:History",  "BeginDate1",
      "EndDate1",       "BeginDate2",      "EndDate2",         "Glo:OpenDate", "Glo:BidPrice",
      "Glo:Competitor", "Glo:AgeTypeSize", "Glo:DistTypeSize", "Glo:PackSize", "GrpByMfr",
      "Glo:PrintBids",  "ShowComm",        "Glo:Analysis",     "Landscape",
  };
  for (const char* name : kOrder) clear_var(core::find_global(name));
}

bool check_selection_names() {
  struct Check {
    NameLookup lookup;
    const char* message;
  };
  const Check checks[] = {
      {agency_lookup(), "Invalid Agency Name"},
      {brand_lookup(), "Invalid Manufacturer Name"},
      {distributor_lookup(), "Invalid Distributor Name"},
      {product_lookup(), "Invalid Product Code"},
      {bid_lookup(), "Invalid Bid ID"},
  };
  for (const Check& c : checks) {
    const NameLookup& l = c.lookup;
    if (clipped(l.value).empty()) continue;
    CountedUse use(*l.file, *l.used);
    if (!use.ok()) return false;
    l.file->clear();
    copy_text(l.file->field(l.field), l.value);
    if (!l.file->get(l.file->find_key(l.key)).ok()) {
      ui::message(c.message, "ERROR", ui::Icon::None);
      return false;
    }
  }
  return true;
}

OptionWindow::OptionWindow() = default;
OptionWindow::~OptionWindow() = default;

int32_t OptionWindow::lookup(const NameLookup& l, bool user_triggered, bool force) {
  store::KeyedFile& f = *l.file;
  f.clear();
  for (const auto& [field, global] : l.fixed) copy_text(f.field(field), global);
  copy_text(f.field(l.field), l.value);
  const bool found = f.get(f.find_key(l.key)).ok();
  if (!found || force) {
    saved_request_ = core::GlobalRequest;
    core::GlobalRequest = core::kRequestSelectRecord;
    core::GlobalResponse = core::kResponseCancelled;
    // Without the user (the pass at opening) no lookup window is shown: the value is only
    // checked, and cleared when it names no record.
    if (user_triggered) {
      std::string typed = clipped(l.value);
      if (typed.size() >= 15) typed.resize(14);
      ui::clear_keyboard_buffer();
      ui::type_into_keyboard(typed);
      if (l.browse) l.browse();
    }
    core::GlobalRequest = saved_request_;
  } else {
    core::GlobalResponse = core::kResponseCompleted;
  }
  force_ = false;
  if (core::GlobalResponse == core::kResponseCompleted)
    copy_text(l.value, f.field(l.field));
  else
    clear_var(l.value);
  return core::GlobalResponse;
}

void OptionWindow::brand_entry_wording(ui::Window& win, std::string_view label) {
  win.set_msg(label, "Brand Name");
  win.set_tip(label, "Brand Name");
}

bool OptionWindow::open_files() {
  for (const LookupField& lf : lookups_) {
    bool listed = false;
    for (const UsedFile& u : files_) listed = listed || u.file == lf.lookup.file;
    if (!listed) files_.push_back({lf.lookup.file, lf.lookup.used});
  }
  for (const UsedFile& u : files_) {
    if (*u.used == 0 && !open_file(*u.file).ok()) return false;  // the application has ended
    *u.used += 1;
    ++files_opened_;
    (void)view::bind_record(*u.file);
  }
  return true;
}

void OptionWindow::release_files() {
  while (files_opened_ > 0) {
    const UsedFile& u = files_[--files_opened_];
    if (*u.used > 0) *u.used -= 1;
    if (*u.used == 0) u.file->close();
  }
}

const LookupField* OptionWindow::lookup_field(const ui::Event& ev) const {
  for (const LookupField& lf : lookups_)
    if (ui::same_label(ev.label, lf.label)) return &lf;
  return nullptr;
}

const DateField* OptionWindow::date_field(const ui::Event& ev) const {
  for (const DateField& d : dates_)
    if (ui::same_label(ev.label, d.label)) return &d;
  return nullptr;
}

int32_t OptionWindow::run() {
  // Opening.
  BoundNames::global().push_frame();
  saved_request_ = core::GlobalRequest;
  response_ = core::kResponseCancelled;
  core::GlobalRequest = core::kRequestNone;
  core::GlobalResponse = 0;
  first_display_done_ = refresh_requested_ = user_triggered_ = force_ = false;
  reset_globals();
  lookups_ = lookup_fields();
  dates_ = date_fields();
  files_.clear();
  files_opened_ = 0;
  const bool files_ok = open_files();
  if (files_ok) {
    win_ = std::make_unique<ui::Window>(window_def());
    bind(*win_);
    Status opened = win_->open();
    if (!opened.ok()) {
      std::fprintf(stderr, "option window: %s\n", opened.ToString().c_str());
    } else {
      for (const LookupField& lf : lookups_) lookup(lf.lookup, false, false);
      if (GLO::Pellam != 0) brand_wording(*win_);
      // The event loop.
      ui::Event ev;
      while (win_->accept(ev)) {
        ui::Window& w = *win_;
        if (ev.is(ui::EventKind::OpenWindow)) {
          if (!first_display_done_) {
            first_display_done_ = true;
            w.display();
          }
          w.select_first();
        } else if (ev.is(ui::EventKind::GainFocus)) {
          refresh_requested_ = true;
          if (!w.in_accept_all()) w.display();
        } else if (ev.is(ui::EventKind::Rejected)) {
          w.beep();
          w.display(ev.label);
          w.select(ev.label);
        } else if (ev.is(ui::EventKind::Accepted, print_button())) {
          if (check_before_printing()) print(w);
        } else if (ev.is(ui::EventKind::Accepted, cancel_button())) {
          response_ = core::kResponseCancelled;
          w.post(ui::EventKind::CloseWindow);
        } else if (const LookupField* lf = lookup_field(ev); lf && ev.is(ui::EventKind::Accepted)) {
          user_triggered_ = true;
          if (!(lf->skip_when_blank && clipped(lf->lookup.value).empty()))
            lookup(lf->lookup, true, false);
          w.display(lf->label);
          if (core::GlobalResponse == core::kResponseCancelled &&
              (lf->required || !clipped(lf->lookup.value).empty()))
            w.select(lf->label);
        } else if (lf && ev.is(ui::EventKind::AlertKey) && ev.key == ui::Key::F2) {
          user_triggered_ = force_ = true;
          lookup(lf->lookup, true, true);
          w.display();
        } else if (lf && ev.is(ui::EventKind::Selected) && lf->on_selected) {
          user_triggered_ = true;
          lookup(lf->lookup, true, false);
        } else if (const DateField* d = date_field(ev);
                   d && ev.is(ui::EventKind::AlertKey) && ev.key == ui::Key::F2) {
          *d->day = DATESELECT(*d->day);
          w.display();
        } else {
          (void)on_event(w, ev);
        }
      }
    }
  }
  // Closing.
  release_files();
  if (win_) win_->close();
  win_.reset();
  core::GlobalResponse = response_;
  (void)BoundNames::global().pop_frame();
  return core::GlobalResponse;
}

}  // namespace tdx::reports
