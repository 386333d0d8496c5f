#include "runtime/decimal/decimal.h"

#include <gtest/gtest.h>

#include <vector>

namespace tdx {
namespace {

Decimal D(const char* s) {
  auto r = Decimal::Parse(s);
  EXPECT_TRUE(r.ok()) << s;
  return r.ok() ? r.value() : Decimal();
}

TEST(Decimal, ParseAndPrint) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"0", "0"},     {"12.50", "12.50"}, {"-0.05", "-0.05"}, {" +7 ", "7"},
               {".5", "0.5"},  {"007.10", "7.10"}, {"-12", "-12"},     {"123456789012345678.25", "123456789012345678.25"}};
  for (const auto& c : cases) EXPECT_EQ(D(c.in).ToString(), c.out) << c.in;
  for (const char* bad : {"", "-", ".", "1,234.5", "12a", "1.2.3", "--1"}) {
    EXPECT_FALSE(Decimal::Parse(bad).ok()) << bad;
  }
}

TEST(Decimal, ArithmeticIsExact) {
  EXPECT_EQ(D("0.1") + D("0.2"), D("0.3"));
  EXPECT_EQ((D("19.99") * D("3")).ToString(), "59.97");
  EXPECT_EQ((D("1.0625") - D("2.5")).ToString(), "-1.4375");
  EXPECT_EQ((D("10") / D("4")).ToString(), "2.5");
  EXPECT_EQ((D("1") / D("3")).ToFixed(4), "0.3333");
  EXPECT_EQ((D("2") / D("3")).ToFixed(4), "0.6667");
  EXPECT_EQ((D("5") / D("0")).ToString(), "0");
  EXPECT_LT(D("-1.5"), D("-1.25"));
  EXPECT_EQ(D("1.50"), D("1.5"));
}

TEST(Decimal, FitRoundsHalfAwayFromZeroAndReportsOverflow) {
  struct Case {
    const char* in;
    int d, p;
    const char* want;  // nullptr: overflow
  } cases[] = {
      // DECIMAL(7,2): five integer digits.
      {"99999.99", 7, 2, "99999.99"},  {"99999.994", 7, 2, "99999.99"},
      {"99999.995", 7, 2, nullptr},    {"-99999.995", 7, 2, nullptr},
      {"100000", 7, 2, nullptr},       {"0.005", 7, 2, "0.01"},
      {"-0.005", 7, 2, "-0.01"},       {"-0.004", 7, 2, "0.00"},
      {"12.345", 7, 2, "12.35"},       {"-12.345", 7, 2, "-12.35"},
      // DECIMAL(11,4): seven integer digits.
      {"9999999.9999", 11, 4, "9999999.9999"}, {"9999999.99995", 11, 4, nullptr},
      {"10000000", 11, 4, nullptr},    {"1.23455", 11, 4, "1.2346"},
      {"-1.23445", 11, 4, "-1.2345"},  {"0", 11, 4, "0.0000"},
  };
  for (const auto& c : cases) {
    auto r = D(c.in).Fit(c.d, c.p);
    if (c.want == nullptr) {
      ASSERT_FALSE(r.ok()) << c.in;
      EXPECT_EQ(r.status().code(), Decimal::kOverflow);
    } else {
      ASSERT_TRUE(r.ok()) << c.in;
      EXPECT_EQ(r->ToString(), c.want) << c.in;
    }
  }
}

TEST(Decimal, PackedRoundTripsAndEncoding) {
  unsigned char buf[8];
  ASSERT_TRUE(D("12.34").Pack(7, 2, buf).ok());
  EXPECT_EQ(std::vector<unsigned char>(buf, buf + 4), (std::vector<unsigned char>{0x00, 0x01, 0x23, 0x4C}));
  ASSERT_TRUE(D("-0.05").Pack(7, 2, buf).ok());
  EXPECT_EQ(std::vector<unsigned char>(buf, buf + 4), (std::vector<unsigned char>{0x00, 0x00, 0x00, 0x5D}));

  struct Case {
    const char* v;
    int d, p;
  } cases[] = {{"99999.99", 7, 2},      {"-99999.99", 7, 2}, {"0", 7, 2},
               {"9999999.9999", 11, 4}, {"-0.0001", 11, 4},  {"1234567890", 10, 0},
               {"-42", 10, 0},          {"0.5", 1, 1}};
  for (const auto& c : cases) {
    ASSERT_EQ(Decimal::PackedSize(c.d), static_cast<size_t>(c.d / 2 + 1));
    ASSERT_TRUE(D(c.v).Pack(c.d, c.p, buf).ok()) << c.v;
    auto back = Decimal::Unpack(c.d, c.p, buf);
    ASSERT_TRUE(back.ok()) << c.v;
    EXPECT_EQ(*back, D(c.v)) << c.v;
  }
  // Overflow leaves the field as it was.
  ASSERT_TRUE(D("1").Pack(7, 2, buf).ok());
  EXPECT_FALSE(D("100000").Pack(7, 2, buf).ok());
  EXPECT_EQ(*Decimal::Unpack(7, 2, buf), D("1"));
  // All-zero bytes are zero; a digit nibble above 9 is a damaged field.
  unsigned char zero[4] = {0, 0, 0, 0};
  EXPECT_TRUE(Decimal::Unpack(7, 2, zero)->is_zero());
  unsigned char bad[4] = {0xA0, 0, 0, 0x0C};
  EXPECT_EQ(Decimal::Unpack(7, 2, bad).status().code(), Decimal::kDamaged);
}

TEST(Decimal, RoundToNegativePlacesAndInteger) {
  EXPECT_EQ(D("1250").Round(-2).ToString(), "1300");
  EXPECT_EQ(D("-1249.9").Round(-2).ToString(), "-1200");
  EXPECT_EQ(D("-7.9").to_integer(), -7);
}

}  // namespace
}  // namespace tdx
