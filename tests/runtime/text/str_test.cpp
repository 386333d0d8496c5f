#include "runtime/text/str.h"

#include <gtest/gtest.h>

#include "runtime/text/cp1252.h"

namespace tdx {
namespace {

TEST(Str, AssignmentPadsAndTruncates) {
  Str<5> s("AB");
  EXPECT_EQ(s.raw(), "AB   ");
  s = "ABCDEFG";
  EXPECT_EQ(s.raw(), "ABCDE");
  EXPECT_EQ(Str<3>().raw(), "   ");
  EXPECT_TRUE(Str<3>().blank());
}

TEST(Str, ComparisonIgnoresTrailingBlanksOnly) {
  Str<10> a("ACME");
  EXPECT_TRUE(a == "ACME");
  EXPECT_TRUE(a == "ACME   ");
  EXPECT_FALSE(a == " ACME");
  EXPECT_FALSE(a == "acme");
  EXPECT_TRUE(a == Str<4>("ACME"));
  EXPECT_TRUE(a < "ACMF");
  EXPECT_TRUE(a > "ACM");
  // A blank sorts below every printable character, so "AB" < "AB!" and "AB" > "AB\t".
  EXPECT_LT(compare_clipped("AB", "AB!"), 0);
  EXPECT_EQ(compare_clipped_nocase("Acme Foods", "ACME FOODS  "), 0);
  EXPECT_NE(compare_clipped_nocase("Acme", "Acm"), 0);
}

TEST(CStr, KeepsAtMostNMinusOne) {
  CStr<4> c("ABCDEF");
  EXPECT_EQ(c.view(), "ABC");
  EXPECT_EQ(c.data()[3], '\0');
  c = "";
  EXPECT_EQ(c.view(), "");
}

TEST(StringFunctions, TableOfCases) {
  EXPECT_EQ(clip("AB  "), "AB");
  EXPECT_EQ(clip("    "), "");
  EXPECT_EQ(left("  AB"), "AB  ");
  EXPECT_EQ(upper("caf\xe9 ab"), "CAF\xc9 AB");
  EXPECT_EQ(lower("CAF\xc9"), "caf\xe9");
  struct SubCase {
    const char* s;
    long start, len;
    const char* want;
  } subs[] = {{"ABCDEF", 1, 3, "ABC"}, {"ABCDEF", 4, 10, "DEF"}, {"ABCDEF", 7, 1, ""},
              {"ABCDEF", 0, 2, "A"},   {"ABCDEF", 2, 0, ""},    {"", 1, 5, ""}};
  for (const auto& c : subs) EXPECT_EQ(sub(c.s, c.start, c.len), c.want) << c.s << " " << c.start;
  EXPECT_EQ(instring("CD", "ABCDEF"), 3);
  EXPECT_EQ(instring("X", "ABCDEF"), 0);
  EXPECT_EQ(instring("A", "BA", 1, 3), 0);
  EXPECT_EQ(instring("", "ABC"), 0);
}

TEST(Cp1252, RoundTripsEveryByte) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(all)), all);
  EXPECT_EQ(cp1252_to_utf8("\x80"), "\xe2\x82\xac");  // euro sign
}

TEST(Cp1252, UnmappableBecomesOneQuestionMark) {
  // A CJK character, an emoji and a stray continuation byte each become exactly one '?'.
  EXPECT_EQ(utf8_to_cp1252("a\xe4\xb8\xad" "b\xf0\x9f\x98\x80" "c\x80" "d"), "a?b?c?d");
  // A truncated sequence at the end of the text.
  EXPECT_EQ(utf8_to_cp1252("ab\xc3"), "ab?");
  EXPECT_EQ(utf8_to_cp1252("caf\xc3\xa9"), "caf\xe9");
}

}  // namespace
}  // namespace tdx
