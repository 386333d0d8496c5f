#include "runtime/settings/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace tdx {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
void spit(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

// A settings file as another program might have left it: comments, blank lines, a line without
// "=", a duplicate key, odd spacing, CRLF line ends and a comment at the very end.
const char* kForeign =
    "; Tendix settings\r\n"
    "\r\n"
    "[DISPLAY STRINGS 2.0]\r\n"
    "AskPrvwDialogText = Really preview?\r\n"
    "ButtonOk=&Ok\r\n"
    "not a setting\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    "Empty=\r\n"
    "\r\n"
    "; alternate company below\r\n"
    "[Alternate]\r\n"
    "Company=Acme Foods ; Inc\r\n"
    "; trailing comment\r\n";

TEST(Settings, ReadsWithDefaultsAndWithoutRegardToCase) {
  spit("read.ini", kForeign);
  struct Case {
    const char *section, *key, *deflt, *expected;
  } cases[] = {
      {"DISPLAY STRINGS 2.0", "AskPrvwDialogText", "d", "Really preview?"},
      {"display strings 2.0", "ASKPRVWDIALOGTEXT", "d", "Really preview?"},
      {"Alternate", "company", "", "Acme Foods ; Inc"},  // no comment stripping in values
      {"Alternate", "Phone", "", ""},
      {"Alternate", "Phone", "none", "none"},
      {"Missing", "Company", "dflt", "dflt"},
      {"DISPLAY STRINGS 2.0", "Dup", "", "first"},
      {"DISPLAY STRINGS 2.0", "Empty", "dflt", ""},  // present but empty: not the default
  };
  for (const Case& c : cases) {
    EXPECT_EQ(get_ini(c.section, c.key, c.deflt, "read.ini"), c.expected)
        << c.section << "/" << c.key;
  }
  // Windows-style names of the same file, in any case.
  EXPECT_EQ(get_ini("Alternate", "Company", "", ".\\READ.INI"), "Acme Foods ; Inc");
  EXPECT_EQ(get_ini("Alternate", "Company", "gone", ".\\nosuch.ini"), "gone");
}

TEST(Settings, WritesKeepEveryForeignLine) {
  spit("keep.ini", kForeign);
  // Change an existing key (case-insensitively), add a key to an existing section, add a section.
  ASSERT_TRUE(put_ini("display strings 2.0", "askprvwdialogtext", "Preview now?", "keep.ini"));
  ASSERT_TRUE(put_ini("Alternate", "Phone", "(312)555-0100", "keep.ini"));
  ASSERT_TRUE(put_ini("DISPLAY STRINGS 2.0", "NewKey", "x", "keep.ini"));
  ASSERT_TRUE(put_ini("AwardLetterOffsets", "HorizAdj", "0.25", "keep.ini"));
  EXPECT_EQ(slurp("keep.ini"),
            "; Tendix settings\r\n"
            "\r\n"
            "[DISPLAY STRINGS 2.0]\r\n"
            "AskPrvwDialogText = Preview now?\r\n"
            "ButtonOk=&Ok\r\n"
            "not a setting\r\n"
            "Dup=first\r\n"
            "Dup=second\r\n"
            "Empty=\r\n"
            "NewKey=x\r\n"
            "\r\n"
            "; alternate company below\r\n"
            "[Alternate]\r\n"
            "Company=Acme Foods ; Inc\r\n"
            "Phone=(312)555-0100\r\n"
            "; trailing comment\r\n"
            "[AwardLetterOffsets]\r\n"
            "HorizAdj=0.25\r\n");
  EXPECT_EQ(get_ini("DISPLAY STRINGS 2.0", "AskPrvwDialogText", "", "keep.ini"), "Preview now?");
  EXPECT_EQ(get_ini("awardletteroffsets", "horizadj", "", "keep.ini"), "0.25");
}

TEST(Settings, WriteCreatesTheFileAndSurvivesAMissingLastLineEnd) {
  std::remove("new.ini");
  ASSERT_TRUE(put_ini("SpecDistrQuote", "SpecialRmks", "NONE", ".\\NEW.INI"));
  EXPECT_EQ(slurp("NEW.INI"), "[SpecDistrQuote]\nSpecialRmks=NONE\n");

  spit("noeol.ini", "[A]\nx=1");
  ASSERT_TRUE(put_ini("A", "y", "2", "noeol.ini"));
  ASSERT_TRUE(put_ini("B", "z", "3", "noeol.ini"));
  EXPECT_EQ(slurp("noeol.ini"), "[A]\nx=1\ny=2\n[B]\nz=3\n");
}

TEST(Settings, RefusesWhatWouldCorruptTheFile) {
  spit("safe.ini", "[A]\nx=1\n");
  const char* bad[][2] = {{"A", "x\n[Evil]"}, {"A]", "x"}, {"A", "k=v"}, {"", "x"}, {"A", ""}};
  for (const auto& b : bad) {
    Status s = put_ini(b[0], b[1], "v", "safe.ini");
    EXPECT_EQ(s.code(), kBadSetting) << b[0] << "/" << b[1];
  }
  EXPECT_EQ(put_ini("A", "x", "1\r\n[Evil]\r\nk=v", "safe.ini").code(), kBadSetting);
  EXPECT_EQ(slurp("safe.ini"), "[A]\nx=1\n");
}

TEST(Settings, DecimalsRoundTripAsPlainText) {
  std::remove("dec.ini");
  EXPECT_EQ(get_ini_decimal("AwardLetterOffsets", "HorizAdj", Decimal(0), "dec.ini"), Decimal(0));
  for (const char* v : {"0.25", "-1", "2.5", "-0.05", "0", "1234.5678"}) {
    Decimal d = *Decimal::Parse(v);
    ASSERT_TRUE(put_ini_decimal("AwardLetterOffsets", "VertAdj", d, "dec.ini"));
    EXPECT_EQ(get_ini("AwardLetterOffsets", "VertAdj", "", "dec.ini"), v);
    EXPECT_EQ(get_ini_decimal("AwardLetterOffsets", "VertAdj", Decimal(7), "dec.ini"), d) << v;
  }
  ASSERT_TRUE(put_ini("AwardLetterOffsets", "VertAdj", "junk", "dec.ini"));
  EXPECT_EQ(get_ini_decimal("AwardLetterOffsets", "VertAdj", Decimal(7), "dec.ini"), Decimal(0));
}

}  // namespace
}  // namespace tdx
