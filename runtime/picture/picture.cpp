#include "runtime/picture/picture.h"

#include <cctype>
#include <mutex>
#include <unordered_map>

#include "runtime/datetime/datetime.h"
#include "runtime/text/str.h"

namespace tdx {
namespace {

constexpr const char* kMonthNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};

Status bad_picture(std::string_view text) {
  return Status(Picture::kBadPicture, "Invalid picture: " + std::string(text));
}
Status rejected(std::string_view picture) {
  return Status(Picture::kRejected, "Entry does not fit picture " + std::string(picture));
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }
char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
bool is_upper_ascii(char c) { return c >= 'A' && c <= 'Z'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\0')) {
    s.remove_suffix(1);
  }
  return s;
}

// Reads an unsigned decimal number at s[*i]; false when there is no digit or it is too long.
bool read_int(std::string_view s, size_t* i, int* out, int max_digits = 6) {
  size_t start = *i;
  int v = 0;
  while (*i < s.size() && is_digit(s[*i])) {
    if (static_cast<int>(*i - start) >= max_digits) return false;
    v = v * 10 + (s[*i] - '0');
    ++*i;
  }
  if (*i == start) return false;
  *out = v;
  return true;
}

std::string pad2(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

// The digits of a non-negative 128-bit integer.
std::string digits_of(unsigned __int128 v) {
  if (v == 0) return "0";
  std::string s;
  while (v > 0) {
    s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  }
  return s;
}

// Two-digit years fall within the 100 years from 80 years before the current year.
int expand_year(int yy) {
  int current = date_parts(today()).year;
  int base = current - 80;
  return base + (((yy - base) % 100) + 100) % 100;
}

// Fills the '#' positions of a pattern with digits, right-aligned; blanks before them.
std::string fill_pattern(std::string_view pattern, std::string_view digits, size_t positions) {
  std::string out(pattern);
  size_t skip = positions - digits.size();  // leading positions left blank
  size_t k = 0, seen = 0;
  for (char& c : out) {
    if (c != '#') continue;
    if (seen++ < skip) {
      c = ' ';
    } else {
      c = digits[k++];
    }
  }
  return out;
}

size_t count_positions(std::string_view pattern) {
  size_t n = 0;
  for (char c : pattern) n += (c == '#');
  return n;
}

}  // namespace

Result<Picture> Picture::Parse(std::string_view text) {
  std::string_view t = trim(text);
  if (t.size() < 2 || t[0] != '@') return bad_picture(text);
  Picture p;
  p.text_ = std::string(t);
  char k = lower_ascii(t[1]);
  size_t i = 2;
  auto take_b = [&] {
    if (i < t.size() && lower_ascii(t[i]) == 'b') {
      p.blank_ = true;
      ++i;
    }
  };
  switch (k) {
    case 's': {
      p.kind_ = PictureKind::String;
      if (!read_int(t, &i, &p.width_, 5) || p.width_ < 1) return bad_picture(text);
      break;
    }
    case 'n': {
      p.kind_ = PictureKind::Number;
      bool seen_dollar = false, seen_minus = false;
      while (i < t.size() && (t[i] == '$' || t[i] == '-')) {
        if (t[i] == '$') {
          if (seen_dollar) return bad_picture(text);
          seen_dollar = true;
          p.currency_first_ = !seen_minus;
        } else {
          if (seen_minus) return bad_picture(text);
          seen_minus = true;
        }
        ++i;
      }
      p.currency_ = seen_dollar;
      p.minus_ = seen_minus;
      if (i < t.size() && (t[i] == '_' || t[i] == '*')) {
        p.fill_ = t[i++];
      } else if (i + 1 < t.size() && t[i] == '0' && is_digit(t[i + 1])) {
        p.fill_ = '0';
        ++i;
      }
      if (!read_int(t, &i, &p.width_, 3) || p.width_ < 1) return bad_picture(text);
      if (i < t.size() && t[i] == '.') {
        ++i;
        if (!read_int(t, &i, &p.places_, 2) || p.places_ > 30) return bad_picture(text);
      }
      take_b();
      break;
    }
    case 'd': {
      p.kind_ = PictureKind::Date;
      int n = 0;
      if (!read_int(t, &i, &n, 2)) return bad_picture(text);
      switch (n) {
        case 1:
          p.templ_ = "Mm/dd/yy";
          p.width_ = 8;
          break;
        case 2:
          p.templ_ = "Mm/dd/yyyy";
          p.width_ = 10;
          break;
        case 4:
          p.templ_ = "NNNNNNNNN Dd, yyyy";
          p.width_ = 18;
          break;
        default:
          return bad_picture(text);
      }
      take_b();
      break;
    }
    case 't': {
      p.kind_ = PictureKind::Time;
      int n = 0;
      if (!read_int(t, &i, &n, 2)) return bad_picture(text);
      switch (n) {
        case 1:
          p.templ_ = "hh:mm";
          p.width_ = 5;
          break;
        case 3:
          p.templ_ = "Hh:mmPP";
          p.width_ = 7;
          break;
        case 7:
          p.templ_ = "Hh:mm PP";
          p.width_ = 8;
          break;
        default:
          return bad_picture(text);
      }
      take_b();
      break;
    }
    case 'p':
    case 'k': {
      p.kind_ = PictureKind::Pattern;
      size_t close = std::string_view::npos;
      for (size_t j = i; j < t.size(); ++j) {
        if (lower_ascii(t[j]) == k) close = j;
      }
      if (close == std::string_view::npos || close == i) return bad_picture(text);
      p.templ_ = std::string(t.substr(i, close - i));
      if (count_positions(p.templ_) == 0) return bad_picture(text);
      p.width_ = static_cast<int>(p.templ_.size());
      i = close + 1;
      take_b();
      break;
    }
    default:
      return bad_picture(text);
  }
  if (i != t.size()) return bad_picture(text);
  return p;
}

const Picture* Picture::Get(std::string_view text) {
  static std::mutex mu;
  static std::unordered_map<std::string, std::unique_ptr<Picture>> cache;
  std::lock_guard<std::mutex> lock(mu);
  std::string key(text);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second.get();
  Result<Picture> r = Parse(text);
  std::unique_ptr<Picture> p = r.ok() ? std::make_unique<Picture>(std::move(r.value())) : nullptr;
  const Picture* out = p.get();
  cache.emplace(std::move(key), std::move(p));
  return out;
}

bool Picture::fixed_width() const {
  return kind_ == PictureKind::String || kind_ == PictureKind::Number ||
         kind_ == PictureKind::Pattern;
}

std::string Picture::format(const Value& v) const {
  switch (kind_) {
    case PictureKind::String: {
      std::string s = v.text();
      s.resize(static_cast<size_t>(width_), ' ');
      return s;
    }
    case PictureKind::Number:
      return format_number(v);
    case PictureKind::Date:
      return format_date(v);
    case PictureKind::Time:
      return format_time(v);
    case PictureKind::Pattern:
      return format_pattern(v);
  }
  return std::string();
}

std::string Picture::format_number(const Value& v) const {
  const size_t width = static_cast<size_t>(width_);
  Decimal r = v.number().Round(places_);
  if (r.is_zero() && blank_) return std::string(width, ' ');
  // The magnitude as an integer at exactly places_ decimals.
  unsigned __int128 mag = r.negative() ? static_cast<unsigned __int128>(-r.mantissa())
                                       : static_cast<unsigned __int128>(r.mantissa());
  for (int s = r.scale(); s < places_; ++s) {
    unsigned __int128 next = mag * 10;
    if (next / 10 != mag) return overflow();
    mag = next;
  }
  for (int s = r.scale(); s > places_; --s) mag /= 10;  // Round() leaves no such digits
  bool neg = r.negative() && mag != 0;
  std::string digits = digits_of(mag);
  if (digits.size() < static_cast<size_t>(places_) + 1) {
    digits.insert(0, static_cast<size_t>(places_) + 1 - digits.size(), '0');
  }
  std::string int_part = digits.substr(0, digits.size() - static_cast<size_t>(places_));
  std::string frac = digits.substr(int_part.size());
  if (fill_ == 0) {
    std::string grouped;
    for (size_t j = 0; j < int_part.size(); ++j) {
      if (j > 0 && (int_part.size() - j) % 3 == 0) grouped += ',';
      grouped += int_part[j];
    }
    int_part = grouped;
  }
  std::string prefix;
  if (currency_first_) {
    if (currency_) prefix += '$';
    if (neg) prefix += '-';
  } else {
    if (neg) prefix += '-';
    if (currency_) prefix += '$';
  }
  std::string number = int_part + (places_ > 0 ? "." + frac : std::string());
  if (prefix.size() + number.size() > width) return overflow();
  size_t room = width - prefix.size() - number.size();
  if (fill_ == '0' || fill_ == '*') return prefix + std::string(room, fill_) + number;
  return std::string(room, ' ') + prefix + number;
}

std::string Picture::format_date(const Value& v) const {
  long long day = v.number().to_integer();
  if (day <= 0 || day > INT32_MAX) return std::string();
  Ymd ymd = date_parts(static_cast<int32_t>(day));
  if (ymd.year > 9999) return overflow();
  std::string out;
  for (size_t i = 0; i < templ_.size();) {
    char c = templ_[i];
    char lc = lower_ascii(c);
    size_t j = i;
    while (j < templ_.size() && lower_ascii(templ_[j]) == lc) ++j;
    size_t len = j - i;
    bool suppress = is_upper_ascii(c);
    switch (lc) {
      case 'm':
        out += suppress ? std::to_string(ymd.month) : pad2(ymd.month);
        break;
      case 'd':
        out += suppress ? std::to_string(ymd.day) : pad2(ymd.day);
        break;
      case 'y': {
        if (len == 2) {
          out += pad2(ymd.year % 100);
        } else {
          std::string y = std::to_string(ymd.year);
          out += std::string(y.size() < 4 ? 4 - y.size() : 0, '0') + y;
        }
        break;
      }
      case 'n':
        out += kMonthNames[ymd.month - 1];
        break;
      default:
        out.append(len, c);
        break;
    }
    i = j;
  }
  return out;
}

std::string Picture::format_time(const Value& v) const {
  long long t = v.number().to_integer();
  if (t <= 0) return std::string();
  if (t > 8640000) return overflow();
  Hms hms = time_parts(static_cast<int32_t>(t));
  bool twelve = templ_.find('P') != std::string::npos;
  std::string out;
  for (size_t i = 0; i < templ_.size();) {
    char c = templ_[i];
    char lc = lower_ascii(c);
    size_t j = i;
    while (j < templ_.size() && lower_ascii(templ_[j]) == lc) ++j;
    bool suppress = is_upper_ascii(c);
    switch (lc) {
      case 'h': {
        int h = hms.hour;
        if (twelve) h = (h % 12 == 0) ? 12 : h % 12;
        out += suppress ? std::to_string(h) : pad2(h);
        break;
      }
      case 'm':
        out += pad2(hms.minute);
        break;
      case 'p':
        out += hms.hour < 12 ? "AM" : "PM";
        break;
      default:
        out.append(j - i, c);
        break;
    }
    i = j;
  }
  return out;
}

std::string Picture::format_pattern(const Value& v) const {
  std::string digits;
  if (v.is_text()) {
    for (char c : v.text_ref()) {
      if (is_digit(c)) digits += c;
    }
  } else {
    long long n = v.number().to_integer();
    if (n < 0) n = -n;
    if (n != 0) digits = std::to_string(n);
  }
  size_t positions = count_positions(templ_);
  if (digits.empty()) return std::string(static_cast<size_t>(width_), ' ');
  if (digits.size() > positions) return overflow();
  return fill_pattern(templ_, digits, positions);
}

Result<Value> Picture::deformat(std::string_view typed) const {
  switch (kind_) {
    case PictureKind::String: {
      std::string_view c = clip(typed);
      if (c.size() > static_cast<size_t>(width_)) return rejected(text_);
      return Value(std::string(c));
    }
    case PictureKind::Number:
      return deformat_number(typed);
    case PictureKind::Date:
      return deformat_date(typed);
    case PictureKind::Time:
      return deformat_time(typed);
    case PictureKind::Pattern:
      return deformat_pattern(typed);
  }
  return rejected(text_);
}

Result<Value> Picture::deformat_number(std::string_view typed) const {
  std::string_view s = trim(typed);
  if (s.empty()) return Value(Decimal(0));
  size_t i = 0;
  bool neg = false, dollar = false;
  while (i < s.size() && (s[i] == '-' || s[i] == '$')) {
    if (s[i] == '-') {
      if (neg) return rejected(text_);
      neg = true;
    } else {
      if (dollar) return rejected(text_);
      dollar = true;
    }
    ++i;
  }
  std::string clean = neg ? "-" : "";
  size_t int_digits = 0;
  for (; i < s.size() && s[i] != '.'; ++i) {
    if (is_digit(s[i])) {
      clean += s[i];
      ++int_digits;
    } else if (s[i] == ',' && int_digits > 0 && i + 1 < s.size() && is_digit(s[i + 1])) {
      continue;  // a grouping comma between digits
    } else {
      return rejected(text_);
    }
  }
  std::string frac;
  if (i < s.size()) {  // s[i] == '.'
    for (++i; i < s.size(); ++i) {
      if (!is_digit(s[i])) return rejected(text_);
      frac += s[i];
    }
  }
  if (int_digits == 0 && frac.empty()) return rejected(text_);
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  if (frac.size() > static_cast<size_t>(places_)) return rejected(text_);
  if (int_digits == 0) clean += '0';
  if (!frac.empty()) clean += "." + frac;
  Result<Decimal> d = Decimal::Parse(clean);
  if (!d.ok()) return rejected(text_);
  if (d->negative() && !minus_) return rejected(text_);
  Value v(*d);
  if (!d->is_zero() && format_number(v) == overflow()) return rejected(text_);
  return v;
}

Result<Value> Picture::deformat_date(std::string_view typed) const {
  std::string_view s = trim(typed);
  if (s.empty()) return Value(Decimal(0));
  int m = 0, d = 0, y = 0;
  size_t i = 0;
  size_t year_start = 0;
  if (is_digit(s[0])) {
    if (!read_int(s, &i, &m, 2) || i >= s.size() || (s[i] != '/' && s[i] != '-')) {
      return rejected(text_);
    }
    char sep = s[i++];
    if (!read_int(s, &i, &d, 2) || i >= s.size() || s[i] != sep) return rejected(text_);
    ++i;
    year_start = i;
    if (!read_int(s, &i, &y, 4)) return rejected(text_);
  } else {
    // "March 5, 2024" / "mar 5 2024"
    std::string word;
    while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) {
      word += lower_ascii(s[i++]);
    }
    if (word.size() < 3) return rejected(text_);
    for (int k = 0; k < 12; ++k) {
      std::string name = lower(kMonthNames[k]);
      if (word == name || (word.size() == 3 && name.compare(0, 3, word) == 0)) m = k + 1;
    }
    if (m == 0) return rejected(text_);
    while (i < s.size() && s[i] == ' ') ++i;
    if (!read_int(s, &i, &d, 2)) return rejected(text_);
    if (i < s.size() && s[i] == ',') ++i;
    while (i < s.size() && s[i] == ' ') ++i;
    year_start = i;
    if (!read_int(s, &i, &y, 4)) return rejected(text_);
  }
  if (i != s.size()) return rejected(text_);
  size_t year_len = i - year_start;
  if (year_len == 2) {
    y = expand_year(y);
  } else if (year_len != 4) {
    return rejected(text_);
  }
  if (y < 1801 || m < 1 || m > 12 || d < 1 || d > days_in_month(y, m)) return rejected(text_);
  return Value(Decimal(make_date(m, d, y)));
}

Result<Value> Picture::deformat_time(std::string_view typed) const {
  std::string_view s = trim(typed);
  if (s.empty()) return Value(Decimal(0));
  size_t i = 0;
  int h = 0, m = 0, sec = 0;
  if (!read_int(s, &i, &h, 2)) return rejected(text_);
  if (i < s.size() && s[i] == ':') {
    ++i;
    size_t st = i;
    if (!read_int(s, &i, &m, 2) || i - st != 2) return rejected(text_);
    if (i < s.size() && s[i] == ':') {
      ++i;
      st = i;
      if (!read_int(s, &i, &sec, 2) || i - st != 2) return rejected(text_);
    }
  }
  while (i < s.size() && s[i] == ' ') ++i;
  int designator = 0;  // 1 AM, 2 PM
  if (i < s.size()) {
    char c = lower_ascii(s[i++]);
    if (c == 'a') {
      designator = 1;
    } else if (c == 'p') {
      designator = 2;
    } else {
      return rejected(text_);
    }
    if (i < s.size() && lower_ascii(s[i]) == 'm') ++i;
    if (i != s.size()) return rejected(text_);
  }
  if (m > 59 || sec > 59) return rejected(text_);
  if (designator != 0) {
    if (h < 1 || h > 12) return rejected(text_);
    h = h % 12 + (designator == 2 ? 12 : 0);
  } else if (h > 23) {
    return rejected(text_);
  }
  return Value(Decimal(make_time(h, m, sec)));
}

Result<Value> Picture::deformat_pattern(std::string_view typed) const {
  std::string_view s = trim(typed);
  if (s.empty()) return Value(std::string());
  std::string digits;
  for (char c : s) {
    if (is_digit(c)) {
      digits += c;
    } else if (c == ' ' || c == '-' || c == '.' || c == '/' ||
               (c != '#' && templ_.find(c) != std::string::npos)) {
      continue;
    } else {
      return rejected(text_);
    }
  }
  size_t positions = count_positions(templ_);
  if (digits.size() != positions) return rejected(text_);
  return Value(fill_pattern(templ_, digits, positions));
}

std::string format_picture(const Value& v, std::string_view picture) {
  const Picture* p = Picture::Get(picture);
  return p ? p->format(v) : v.text();
}

Result<Value> deformat_picture(std::string_view typed, std::string_view picture) {
  const Picture* p = Picture::Get(picture);
  if (!p) return bad_picture(picture);
  return p->deformat(typed);
}

}  // namespace tdx
