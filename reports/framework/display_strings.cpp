#include "reports/framework/display_strings.h"

#include "runtime/settings/settings.h"

namespace tdx::reports {
namespace {

// Built on first use and never destroyed: the module's load and unload hooks use it outside the
// order in which the module's other statics are constructed and destroyed.
DisplayStrings& module_strings() {
  static DisplayStrings* strings = new DisplayStrings();
  return *strings;
}

using D = DisplayStrings;

}  // namespace

const DisplayStringKey kDisplayStringKeys[kDisplayStringCount] = {
    {"ProgWinTitlePrvw", "Generating Report", 64, &D::ProgWinTitlePrvw},
    {"ProgWinTitlePrnt", "Printing Report", 64, &D::ProgWinTitlePrnt},
    {"ProgWinPctText", "% Completed", 64, &D::ProgWinPctText},
    {"ProgWinRecText", "Records Read", 64, &D::ProgWinRecText},
    {"ProgWinUsrText", nullptr, 64, &D::ProgWinUsrText},
    {"PrinterDlgTitle", "Report Destination", 64, &D::PrinterDlgTitle},
    {"AskPrvwDialogTitle", nullptr, 64, &D::AskPrvwDialogTitle},
    {"AskPrvwDialogText", nullptr, 64, &D::AskPrvwDialogText},
    {"CancelAreYouSureTitle", "Question", 64, &D::CancelAreYouSureTitle},
    {"CancelAreYouSureText", "Are you sure you want to CANCEL this Report?", 64,
     &D::CancelAreYouSureText},
    {"CancelPrvwPartialTitle", "Question", 64, &D::CancelPrvwPartialTitle},
    {"CancelPrvwPartialText", "Report Cancellation Requested!||Preview Report generated so far?",
     128, &D::CancelPrvwPartialText},
    {"NoDfltPrtrTitle", "WARNING!", 64, &D::NoDfltPrtrTitle},
    {"NoDfltPrtrText",
     "Warning:  No DEFAULT Printer Driver Found!||Printing may not occur correctly (or at all)|"
     "without a Default printer assigned.||Use CONTROL PANEL (PRINTERS) to set a|printer as your "
     "Default.||Continue with report anyway?",
     255, &D::NoDfltPrtrText},
    {"NothingToPrvwTitle", "NOTE...", 64, &D::NothingToPrvwTitle},
    {"NothingToPrvwText", "Nothing to Preview.", 64, &D::NothingToPrvwText},
    {"NothingToPrntTitle", "NOTE...", 64, &D::NothingToPrntTitle},
    {"NothingToPrntText", "Nothing to Print.", 64, &D::NothingToPrntText},
    {"AsciiOutTitle", "Save to what Filename?", 64, &D::AsciiOutTitle},
    {"AsciiOutMasks", "Text|*.TXT|All Files|*.*", 64, &D::AsciiOutMasks},
    {"DynLblErrTitle", "Problem!", 64, &D::DynLblErrTitle},
    {"DynLblErrText1", "Sorry!||", 64, &D::DynLblErrText1},
    {"DynLblErrText2", "||Does not support paper type:", 64, &D::DynLblErrText2},
    {"ButtonYesNoCancel", "&Yes|&No|&Cancel", 64, &D::ButtonYesNoCancel},
    {"ButtonNoYes", "&No|&Yes", 64, &D::ButtonNoYes},
    {"ButtonYes", "&Yes", 64, &D::ButtonYes},
    {"ButtonNoYesIgnore", "&No|&Yes|&Ignore", 64, &D::ButtonNoYesIgnore},
    {"ButtonOk", "&Ok", 64, &D::ButtonOk},
};

const DisplayStrings& load_display_strings(std::string_view preview_text,
                                           std::string_view preview_caption,
                                           std::string_view user_text,
                                           std::string_view settings_file) {
  const std::string_view file = settings_file.substr(0, 63);
  DisplayStrings loaded;
  for (const DisplayStringKey& k : kDisplayStringKeys) {
    std::string_view deflt = k.deflt ? std::string_view(k.deflt) : std::string_view();
    if (k.member == &D::ProgWinUsrText) deflt = user_text;
    if (k.member == &D::AskPrvwDialogTitle) deflt = preview_caption;
    if (k.member == &D::AskPrvwDialogText) deflt = preview_text;
    std::string value = get_ini(kDisplayStringsSection, k.key, deflt, file);
    if (value.size() > k.max_length) value.resize(k.max_length);
    loaded.*k.member = std::move(value);
  }
  module_strings() = std::move(loaded);
  return module_strings();
}

const DisplayStrings& display_strings() { return module_strings(); }
void clear_display_strings() { module_strings() = DisplayStrings(); }

}  // namespace tdx::reports
