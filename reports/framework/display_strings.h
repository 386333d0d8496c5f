// Display strings: the 28 user-visible texts of a report run (progress window, preview
// question, cancel questions, empty-run messages, button lists), read from section
// "DISPLAY STRINGS 2.0" of a settings file at the start of every run.
//
// load_display_strings() reads every key in the fixed order of kDisplayStringKeys, each with
// its default; a value in the file (also an empty one) replaces the default. Three defaults come
// from the report: the preview question's text and caption and the progress window's user text.
// Each text is kept to 64 characters, the partial-preview question to 128 and the no-default-
// printer warning to 255; only the first 63 characters of the settings file name are used.
// In the texts `|` is a line break of a message box; in button lists `|` separates buttons and
// `&` marks an access key.
//
// The strings are module state: one copy per loaded module, cleared when the module loads and
// unloads, replaced as a whole by every load. Single-threaded.
#pragma once

#include <string>
#include <string_view>

namespace tdx::reports {

inline constexpr const char* kDisplayStringsSection = "DISPLAY STRINGS 2.0";
inline constexpr const char* kSettingsFile = ".\\TENDIX.INI";

struct DisplayStrings {
  std::string ProgWinTitlePrvw, ProgWinTitlePrnt, ProgWinPctText, ProgWinRecText, ProgWinUsrText;
  std::string PrinterDlgTitle, AskPrvwDialogTitle, AskPrvwDialogText;
  std::string CancelAreYouSureTitle, CancelAreYouSureText;
  std::string CancelPrvwPartialTitle, CancelPrvwPartialText;
  std::string NoDfltPrtrTitle, NoDfltPrtrText;
  std::string NothingToPrvwTitle, NothingToPrvwText, NothingToPrntTitle, NothingToPrntText;
  std::string AsciiOutTitle, AsciiOutMasks;
  std::string DynLblErrTitle, DynLblErrText1, DynLblErrText2;
  std::string ButtonYesNoCancel, ButtonNoYes, ButtonYes, ButtonNoYesIgnore, ButtonOk;
};

// One key: its name, its default (nullptr = given by the report), its kept length and where it
// goes.
struct DisplayStringKey {
  const char* key;
  const char* deflt;
  size_t max_length;
  std::string DisplayStrings::*member;
};
inline constexpr int kDisplayStringCount = 28;
// In reading order.
extern const DisplayStringKey kDisplayStringKeys[kDisplayStringCount];

// Reads the strings from `settings_file` into the module's copy and returns it.
const DisplayStrings& load_display_strings(std::string_view preview_text,
                                           std::string_view preview_caption,
                                           std::string_view user_text,
                                           std::string_view settings_file = kSettingsFile);
// The module's copy (as last loaded; all empty before the first load).
const DisplayStrings& display_strings();
void clear_display_strings();

}  // namespace tdx::reports
