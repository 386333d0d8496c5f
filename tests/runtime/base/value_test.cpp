#include "runtime/base/value.h"

#include <gtest/gtest.h>

namespace tdx {
namespace {

TEST(Value, ComparesLikeTheRuntime) {
  struct Case {
    Value a, b;
    int want;
  } cases[] = {
      {Value("ACME  "), Value("ACME"), 0},  {Value("A"), Value("B"), -1},
      {Value(12), Value("12.00"), 0},       {Value("abc"), Value(0), 0},  // a non-number is 0
      {Value(Decimal(5)), Value(2.5), 1},   {Value(" 7 "), Value(10), -1},
  };
  for (const auto& c : cases) {
    int got = compare_values(c.a, c.b);
    EXPECT_EQ(got < 0 ? -1 : (got > 0 ? 1 : 0), c.want) << c.a.text() << " vs " << c.b.text();
  }
  EXPECT_TRUE(Value("x").truth());
  EXPECT_FALSE(Value("   ").truth());
  EXPECT_FALSE(Value(0).truth());
}

TEST(VarRef, StoresEveryTypeWithItsRules) {
  char s[5];
  char cs[4];
  std::string memo;
  unsigned char packed[4];
  int32_t l = 0;
  int16_t sh = 0;
  uint8_t b = 0;
  double r = 0;

  ASSERT_TRUE(VarRef::String(s, 5).set("ABCDEFG").ok());
  EXPECT_EQ(std::string(s, 5), "ABCDE");
  ASSERT_TRUE(VarRef::CString(cs, 4).set("ABCDEFG").ok());
  EXPECT_EQ(VarRef::CString(cs, 4).get().text(), "ABC");
  ASSERT_TRUE(VarRef::Memo(&memo, 3).set("ABCD").ok());
  EXPECT_EQ(memo, "ABC");

  VarRef dec = VarRef::Packed(packed, 7, 2);
  ASSERT_TRUE(dec.set("12.345").ok());
  EXPECT_EQ(dec.get().text(), "12.35");
  EXPECT_FALSE(dec.set(Value(100000)).ok());
  EXPECT_EQ(dec.get().text(), "12.35");  // unchanged after the overflow

  ASSERT_TRUE(VarRef::Long(&l).set(Value(-7.9)).ok());
  EXPECT_EQ(l, -7);
  EXPECT_FALSE(VarRef::Short(&sh).set(Value(40000)).ok());
  EXPECT_FALSE(VarRef::Byte(&b).set(Value(-1)).ok());
  ASSERT_TRUE(VarRef::Byte(&b).set(Value("255")).ok());
  EXPECT_EQ(b, 255);
  ASSERT_TRUE(VarRef::Real(&r).set(Value("2.5")).ok());
  EXPECT_EQ(r, 2.5);
}

TEST(VarRef, FitsRefusesWhatWouldBeLost) {
  char s[3];
  unsigned char packed[4];
  int16_t sh;
  EXPECT_TRUE(VarRef::String(s, 3).fits("ABC  "));
  EXPECT_FALSE(VarRef::String(s, 3).fits("ABCD"));
  EXPECT_TRUE(VarRef::Packed(packed, 7, 2).fits("99999.99"));
  EXPECT_FALSE(VarRef::Packed(packed, 7, 2).fits("1.234"));
  EXPECT_FALSE(VarRef::Packed(packed, 7, 2).fits("100000"));
  EXPECT_FALSE(VarRef::Short(&sh).fits("1.5"));
  EXPECT_TRUE(VarRef::Short(&sh).fits("-32768"));
}

TEST(VarRef, ClearBlanksAndZeroes) {
  char s[3] = {'a', 'b', 'c'};
  unsigned char packed[4] = {0x12, 0x34, 0x56, 0x7C};
  VarRef::String(s, 3).clear();
  EXPECT_EQ(std::string(s, 3), "   ");
  VarRef p = VarRef::Packed(packed, 7, 2);
  p.clear();
  EXPECT_TRUE(p.get().number().is_zero());
  EXPECT_EQ(packed[3], 0x0C);
}

}  // namespace
}  // namespace tdx
