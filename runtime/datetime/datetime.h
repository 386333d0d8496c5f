// Dates and times as the runtime stores them.
//
// Date: a signed 32-bit day number; day 4 is 1 January 1801 (the count runs from 28 December
// 1800, so day 1 is the 29th); 0 means no date. Gregorian calendar throughout.
// Time: hundredths of a second since midnight plus one; 1 is 00:00:00.00, 8640000 is
// 23:59:59.99; 0 means no time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tdx {

struct Ymd {
  int year = 0, month = 0, day = 0;
  friend bool operator==(const Ymd&, const Ymd&) = default;
};

// DATE(month, day, year): the day number. Months and days out of range roll over like the
// runtime's (month 13 of 2000 is January 2001; day 0 is the last day of the previous month).
int32_t make_date(int month, int day, int year);
// The calendar date of a day number. REQUIRES: day > 0
Ymd date_parts(int32_t day);
// 0 = Sunday .. 6 = Saturday.
int day_of_week(int32_t day);
bool is_leap_year(int year);
int days_in_month(int year, int month);

// ISO "YYYY-MM-DD" <-> day number ("" <-> 0). nullopt for a malformed or impossible date.
std::optional<int32_t> parse_iso_date(std::string_view iso);
std::string iso_date(int32_t day);

// TIME(h, m, s, hundredths) and its parts.
int32_t make_time(int hour, int minute, int second = 0, int hundredths = 0);
struct Hms {
  int hour = 0, minute = 0, second = 0, hundredths = 0;
};
Hms time_parts(int32_t time);

// TODAY() and CLOCK() in local time.
int32_t today();
int32_t clock_now();

}  // namespace tdx
