#include "runtime/datetime/datetime.h"

#include <gtest/gtest.h>

namespace tdx {
namespace {

TEST(Date, DayNumbersAroundTheCenturies) {
  struct Case {
    int32_t day;
    Ymd ymd;
  } cases[] = {
      // Day 4 is 1 January 1801, so day 1 is 29 December 1800 (the day count starts on the 28th).
      {1, {1800, 12, 29}},   {3, {1800, 12, 31}},   {4, {1801, 1, 1}},     {62, {1801, 2, 28}},
      {63, {1801, 3, 1}},    {36162, {1899, 12, 31}}, {36163, {1900, 1, 1}}, {36221, {1900, 2, 28}},
      {36222, {1900, 3, 1}},  // 1900 is no leap year
      {72686, {1999, 12, 31}}, {72687, {2000, 1, 1}}, {72746, {2000, 2, 29}},  // 2000 is one
      {72747, {2000, 3, 1}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(date_parts(c.day), c.ymd) << c.day;
    EXPECT_EQ(make_date(c.ymd.month, c.ymd.day, c.ymd.year), c.day) << c.day;
  }
}

TEST(Date, RollsOverLikeTheRuntime) {
  EXPECT_EQ(make_date(13, 1, 2000), make_date(1, 1, 2001));
  EXPECT_EQ(make_date(3, 0, 2000), make_date(2, 29, 2000));
  EXPECT_EQ(make_date(0, 1, 2000), make_date(12, 1, 1999));
  EXPECT_EQ(day_of_week(make_date(1, 1, 1801)), 4);  // a Thursday
  EXPECT_EQ(day_of_week(make_date(12, 11, 2026)), 5);  // a Friday
}

TEST(Date, IsoTextBothWays) {
  EXPECT_EQ(parse_iso_date("2099-12-31"), make_date(12, 31, 2099));
  EXPECT_EQ(parse_iso_date(""), 0);
  EXPECT_EQ(iso_date(0), "");
  EXPECT_EQ(iso_date(4), "1801-01-01");
  for (const char* bad : {"2001-02-29", "2000-13-01", "2000-1-1", "20000101", "2000-01-01x"}) {
    EXPECT_FALSE(parse_iso_date(bad).has_value()) << bad;
  }
}

TEST(Time, HundredthsPlusOne) {
  EXPECT_EQ(make_time(0, 0), 1);
  EXPECT_EQ(make_time(12, 0), 4320001);
  EXPECT_EQ(make_time(23, 59, 59, 99), 8640000);
  Hms t = time_parts(make_time(13, 45, 30, 25));
  EXPECT_EQ(t.hour, 13);
  EXPECT_EQ(t.minute, 45);
  EXPECT_EQ(t.second, 30);
  EXPECT_EQ(t.hundredths, 25);
  EXPECT_GT(today(), make_date(1, 1, 2020));
  EXPECT_GE(clock_now(), 1);
}

}  // namespace
}  // namespace tdx
