#include "runtime/datetime/datetime.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace tdx {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
long long days_from_civil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

Ymd civil_from_days(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return Ymd{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// Day number 4 is 1 January 1801.
const long long kEpoch = days_from_civil(1801, 1, 1) - 4;

}  // namespace

bool is_leap_year(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && is_leap_year(year) ? 29 : kDays[month - 1];
}

int32_t make_date(int month, int day, int year) {
  long long m0 = static_cast<long long>(month) - 1;
  long long y = year + (m0 >= 0 ? m0 / 12 : (m0 - 11) / 12);
  long long m = ((m0 % 12) + 12) % 12 + 1;
  long long first = days_from_civil(y, static_cast<unsigned>(m), 1);
  return static_cast<int32_t>(first + day - 1 - kEpoch);
}

Ymd date_parts(int32_t day) { return civil_from_days(day + kEpoch); }

int day_of_week(int32_t day) {
  // 1970-01-01 was a Thursday (4).
  long long z = day + kEpoch;
  return static_cast<int>(((z % 7) + 7 + 4) % 7);
}

std::optional<int32_t> parse_iso_date(std::string_view iso) {
  if (iso.empty()) return 0;
  int y, m, d;
  char tail;
  std::string s(iso);
  if (s.size() != 10 || std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) {
    return std::nullopt;
  }
  if (s[4] != '-' || s[7] != '-' || m < 1 || m > 12 || d < 1 || d > days_in_month(y, m)) {
    return std::nullopt;
  }
  return make_date(m, d, y);
}

std::string iso_date(int32_t day) {
  if (day == 0) return std::string();
  Ymd p = date_parts(day);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
  return buf;
}

int32_t make_time(int hour, int minute, int second, int hundredths) {
  return ((hour * 60 + minute) * 60 + second) * 100 + hundredths + 1;
}

Hms time_parts(int32_t time) {
  int32_t t = time > 0 ? time - 1 : 0;
  Hms h;
  h.hundredths = t % 100;
  t /= 100;
  h.second = t % 60;
  t /= 60;
  h.minute = t % 60;
  h.hour = t / 60;
  return h;
}

int32_t today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return make_date(local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
}

int32_t clock_now() {
  auto now = std::chrono::system_clock::now();
  std::time_t secs = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&secs, &local);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return make_time(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms / 10));
}

}  // namespace tdx
