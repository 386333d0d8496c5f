// The lookup windows: one browse procedure, one row per window.
#include <string>

#include "core/browse.h"
#include "core/files.h"
#include "core/globals.h"
#include "core/procedures.h"
#include "runtime/store/errors.h"
#include "runtime/ui/frontend.h"
#include "runtime/ui/keyboard.h"
#include "runtime/ui/message_box.h"

namespace tdx::core {
namespace {

struct LookupDef {
  const char* window;
  const char* title;        // "Manufacturer" reads "Brand" with brand wording
  store::KeyedFile& file;
  int32_t& used;
  int key;
  int fixed;                // leading key components that limit the list
};

void ShowOpenError(const store::KeyedFile& file, const Status& s) {
  (void)ui::message("File (" + file.name() + ") could not be opened.  Error: " + s.text() + " (" +
                        std::to_string(s.code()) + ").",
                    "File Access Error", ui::Icon::Exclamation);
}

std::string Title(const char* title) {
  std::string t = title;
  if (GLO::Pellam != 0) {
    size_t at = t.find("Manufacturer");
    if (at != std::string::npos) t.replace(at, 12, "Brand");
  }
  return t;
}

void RunLookup(const LookupDef& d) {
  std::string partial = ui::take_keyboard_buffer();
  GlobalResponse = kResponseCancelled;
  FileUse use(d.file, d.used);
  if (!use.status().ok()) {
    ShowOpenError(d.file, use.status());
    return;
  }
  Browse browse(d.file, d.key, d.fixed);
  ui::LookupRequest req;
  req.window = d.window;
  req.title = Title(d.title);
  req.partial = partial;
  req.exists = [&](const std::string& v) { return browse.exists(v); };
  req.positioned = [&](const std::string& p) { return browse.positioned(p); };
  ui::LookupAnswer ans = ui::lookup(req);
  if (ans.chosen && browse.fetch(ans.key).ok()) {
    GlobalResponse = kResponseCompleted;
  } else {
    browse.restore();
    GlobalResponse = kResponseCancelled;
  }
}

}  // namespace
}  // namespace tdx::core

using tdx::core::LookupDef;
using tdx::core::RunLookup;

extern "C" {

void MANUFCTRBROWSE(void) {
  RunLookup({"MANUFCTRBROWSE", "Select a Manufacturer", MANUF::file, MANUF::Used, MAN::BY_MANUF, 0});
}
void DISTRIBUTORBROWSE(void) {
  RunLookup({"DISTRIBUTORBROWSE", "Select a Distributor", DISTRI::file, DISTRI::Used,
             DIS::BY_DISTRI, 0});
}
void AGENCYBROWSE(void) {
  RunLookup({"AGENCYBROWSE", "Select an Agency", AGENCY::file, AGENCY::Used, AGE::BY_AGENCY, 0});
}
void PRODUCTBROWSE(void) {
  RunLookup({"PRODUCTBROWSE", "Select a Product", PRODUCT::file, PRODUCT::Used,
             PRD::BY_PROD_CODE, 0});
}
void PRODUCTBROWSE2(void) {
  // The products of the brand in the buffer; without a brand, every product by its code.
  if (PRODUCT::rec().MANUFAC.blank()) {
    RunLookup({"PRODUCTBROWSE2", "Select a Product", PRODUCT::file, PRODUCT::Used,
               PRD::BY_PROD_CODE, 0});
    return;
  }
  RunLookup({"PRODUCTBROWSE2", "Select a Product of the Manufacturer", PRODUCT::file,
             PRODUCT::Used, PRD::BY_MAN_PRO, 1});
}
void BIDBROWSE(void) {
  RunLookup({"BIDBROWSE", "Select a Bid", HEADBID::file, HEADBID::Used, HEA::BY_BID_ID, 0});
}
void BROWSECOMPETITION(void) {
  RunLookup({"BROWSECOMPETITION", "Select a Competitor", COMP::file, COMP::Used, CMP::BY_NAME, 0});
}
void BROWSESALESREPS(void) {
  RunLookup({"BROWSESALESREPS", "Select a Sales Rep", SALESREP::file, SALESREP::Used,
             SAL::BY_SALES_REP, 0});
}
void BROWSEREGIONS(void) {
  RunLookup({"BROWSEREGIONS", "Select a Region", REGIONS::file, REGIONS::Used, REG::BY_REGION, 0});
}
void BROWSEBIDTYPECODES(void) {
  // The bid type codes: code type "BIDT" unless the caller put another type in the buffer.
  if (Code_Def::rec().ID.blank()) Code_Def::rec().ID = "BIDT";
  RunLookup({"BROWSEBIDTYPECODES", "Select a Bid Type", Code_Def::file, Code_Def::Used,
             COD::By_ID_Value, 1});
}

}  // extern "C"
