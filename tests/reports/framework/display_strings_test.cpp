// Display strings: defaults, the report's own defaults, values from the settings file, and the
// lengths each text is kept to.
#include "reports/framework/display_strings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace tdx::reports {
namespace {

void write_settings(const std::string& body) { std::ofstream("TENDIX.INI") << body; }

TEST(DisplayStrings, DefaultsAndTheReportsOwnDefaults) {
  std::remove("TENDIX.INI");
  const DisplayStrings& d =
      load_display_strings("Do you wish to PREVIEW this Report?", "Preview", "");
  EXPECT_EQ(d.AskPrvwDialogText, "Do you wish to PREVIEW this Report?");
  EXPECT_EQ(d.AskPrvwDialogTitle, "Preview");
  EXPECT_EQ(d.ProgWinUsrText, "");
  EXPECT_EQ(d.ProgWinTitlePrvw, "Generating Report");
  EXPECT_EQ(d.ProgWinPctText, "% Completed");
  EXPECT_EQ(d.CancelPrvwPartialText,
            "Report Cancellation Requested!||Preview Report generated so far?");
  EXPECT_EQ(d.NothingToPrvwText, "Nothing to Preview.");
  EXPECT_EQ(d.NothingToPrntTitle, "NOTE...");
  EXPECT_EQ(d.ButtonNoYesIgnore, "&No|&Yes|&Ignore");
  // The whole default warning fits its 255 characters.
  EXPECT_TRUE(d.NoDfltPrtrText.ends_with("Default.||Continue with report anyway?"));
  EXPECT_EQ(&d, &display_strings());
}

TEST(DisplayStrings, SettingsValuesReplaceDefaultsAndAreKeptToTheirLengths) {
  const std::string long_text(300, 'x');
  write_settings(
      "[Other]\nAskPrvwDialogText=not this section\n"
      "[DISPLAY STRINGS 2.0]\n"
      "AskPrvwDialogText=Vorschau?\n"
      "ButtonOk=\n"
      "ProgWinTitlePrvw=" +
      long_text +
      "\n"
      "CancelPrvwPartialText=" +
      long_text +
      "\n"
      "NoDfltPrtrText=" +
      long_text + "\n");
  const DisplayStrings& d =
      load_display_strings("Do you wish to PREVIEW this Report?", "Preview", "User");
  EXPECT_EQ(d.AskPrvwDialogText, "Vorschau?");
  EXPECT_EQ(d.AskPrvwDialogTitle, "Preview");
  EXPECT_EQ(d.ProgWinUsrText, "User");
  EXPECT_EQ(d.ButtonOk, "");  // a value in the file, even empty, replaces the default
  EXPECT_EQ(d.ProgWinTitlePrvw, std::string(64, 'x'));
  EXPECT_EQ(d.CancelPrvwPartialText, std::string(128, 'x'));
  EXPECT_EQ(d.NoDfltPrtrText, std::string(255, 'x'));
  // Another settings file; each load replaces the strings as a whole.
  std::ofstream("CPCSRPTS.INI") << "[DISPLAY STRINGS 2.0]\nButtonOk=&Fine\n";
  load_display_strings("Q", "C", "", "CPCSRPTS.INI");
  EXPECT_EQ(display_strings().ButtonOk, "&Fine");
  EXPECT_EQ(display_strings().AskPrvwDialogText, "Q");
  std::remove("TENDIX.INI");
  std::remove("CPCSRPTS.INI");
}

}  // namespace
}  // namespace tdx::reports
