#include "runtime/decimal/decimal.h"

#include <cmath>
#include <cstdio>

namespace tdx {
namespace {

using Int = Decimal::Int;

constexpr Int pow10_int(int n) {
  Int r = 1;
  for (int i = 0; i < n; ++i) r *= 10;
  return r;
}

// 10^0 .. 10^38 (10^38 < 2^127).
struct Pow10Table {
  Int v[39];
  constexpr Pow10Table() : v() {
    for (int i = 0; i < 39; ++i) v[i] = pow10_int(i);
  }
};
constexpr Pow10Table kPow10;

Int pow10(int n) { return kPow10.v[n]; }

Int abs_int(Int v) { return v < 0 ? -v : v; }

// v / 10^n rounded half away from zero. REQUIRES: 0 <= n <= 38
Int div_pow10_round(Int v, int n) {
  if (n == 0) return v;
  Int p = pow10(n);
  Int q = v / p;
  Int r = v % p;
  if (abs_int(r) * 2 >= p) q += (v < 0 ? -1 : 1);
  return q;
}

// v * 10^n, false on overflow.
bool mul_pow10(Int v, int n, Int* out) {
  if (n > 38) return v == 0 ? (*out = 0, true) : false;
  return !__builtin_mul_overflow(v, pow10(n), out);
}

int digit_count(Int v) {
  v = abs_int(v);
  int n = 1;
  while (n < 39 && v >= pow10(n)) ++n;
  return n;
}

// Brings a and b to one scale. When the larger scale cannot be reached without overflow, the
// more precise operand is rounded to fewer places instead (only values beyond 38 digits do this).
void align(Decimal a, Decimal b, Int* am, Int* bm, int* scale) {
  int s = a.scale() > b.scale() ? a.scale() : b.scale();
  for (;; --s) {
    Int x = 0, y = 0;
    bool okx = a.scale() <= s ? mul_pow10(a.mantissa(), s - a.scale(), &x)
                              : ((x = div_pow10_round(a.mantissa(), a.scale() - s)), true);
    bool oky = b.scale() <= s ? mul_pow10(b.mantissa(), s - b.scale(), &y)
                              : ((y = div_pow10_round(b.mantissa(), b.scale() - s)), true);
    if ((okx && oky) || s == 0) {
      *am = x;
      *bm = y;
      *scale = s;
      return;
    }
  }
}

}  // namespace

Decimal Decimal::FromParts(Int mantissa, int scale) {
  Decimal d;
  d.m_ = mantissa;
  d.s_ = scale < 0 ? 0 : (scale > kMaxScale ? kMaxScale : scale);
  if (scale < 0) {
    Int m;
    d.m_ = mul_pow10(mantissa, -scale, &m) ? m : mantissa;
  } else if (scale > kMaxScale) {
    d.m_ = div_pow10_round(mantissa, scale - kMaxScale);
  }
  return d;
}

Result<Decimal> Decimal::Parse(std::string_view text) {
  size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  while (n > i && text[n - 1] == ' ') --n;
  bool neg = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) neg = text[i++] == '-';
  Int m = 0;
  int scale = 0, digits = 0;
  bool point = false;
  for (; i < n; ++i) {
    char c = text[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return Status(kNotANumber, "not a number: '" + std::string(text) + "'");
    if (digits == 0 && c == '0' && !point) continue;  // leading zeros carry nothing
    if (digits >= kMaxDigits || (point && scale >= kMaxScale)) {
      return Status(kOverflow, "too many digits: '" + std::string(text) + "'");
    }
    m = m * 10 + (c - '0');
    ++digits;
    if (point) ++scale;
  }
  // At least one digit must have been seen ("-", "." and "" are not numbers).
  bool any_digit = false;
  for (char c : text) any_digit |= (c >= '0' && c <= '9');
  if (!any_digit) return Status(kNotANumber, "not a number: '" + std::string(text) + "'");
  return FromParts(neg ? -m : m, scale);
}

Decimal Decimal::FromDouble(double v, int places) {
  if (!std::isfinite(v)) return Decimal();
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", places, v);
  auto r = Parse(buf);
  return r.ok() ? r.value().Normalized() : Decimal();
}

double Decimal::to_double() const {
  auto r = std::strtod(ToString().c_str(), nullptr);
  return r;
}

long long Decimal::to_integer() const { return static_cast<long long>(m_ / pow10(s_)); }

Decimal Decimal::Round(int places) const {
  if (places >= s_) return *this;
  if (places >= 0) return FromParts(div_pow10_round(m_, s_ - places), places);
  int drop = s_ - places;  // places < 0: round to 10^-places
  if (drop > 38) return Decimal();
  Int q = div_pow10_round(m_, drop);
  Int back;
  if (!mul_pow10(q, -places, &back)) return *this;
  return FromParts(back, 0);
}

Result<Decimal> Decimal::Fit(int digits, int places) const {
  Decimal r = Round(places);
  Int m;
  if (!mul_pow10(r.m_, places - r.s_, &m) || (m != 0 && digit_count(m) > digits)) {
    return Status(kOverflow, "value " + ToString() + " does not fit DECIMAL(" +
                                 std::to_string(digits) + "," + std::to_string(places) + ")");
  }
  return FromParts(m, places);
}

std::string Decimal::ToString() const {
  Int a = abs_int(m_);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(a % 10)));
    a /= 10;
  } while (a != 0);
  if (static_cast<int>(digits.size()) <= s_) digits.insert(0, static_cast<size_t>(s_ + 1) - digits.size(), '0');
  if (s_ > 0) digits.insert(digits.size() - static_cast<size_t>(s_), 1, '.');
  if (m_ < 0) digits.insert(digits.begin(), '-');
  return digits;
}

Decimal Decimal::Normalized() const {
  Int m = m_;
  int s = s_;
  while (s > 0 && m % 10 == 0) {
    m /= 10;
    --s;
  }
  return FromParts(m, s);
}

std::string Decimal::ToFixed(int places) const {
  Decimal r = Round(places);
  Int m;
  if (!mul_pow10(r.m_, places - r.s_, &m)) return r.ToString();
  return FromParts(m, places).ToString();
}

Decimal operator+(const Decimal& a, const Decimal& b) {
  Int x, y, z;
  int s;
  align(a, b, &x, &y, &s);
  if (__builtin_add_overflow(x, y, &z)) {
    return Decimal::FromParts(div_pow10_round(x, 1) + div_pow10_round(y, 1), s - 1);
  }
  return Decimal::FromParts(z, s);
}

Decimal operator-(const Decimal& a, const Decimal& b) { return a + (-b); }

Decimal operator*(const Decimal& a, const Decimal& b) {
  Int am = a.m_, bm = b.m_;
  int as = a.s_, bs = b.s_;
  Int z;
  // Beyond 38 digits, give up decimal places of the more precise operand first.
  while (__builtin_mul_overflow(am, bm, &z)) {
    if (as == 0 && bs == 0) return Decimal::FromDouble(a.to_double() * b.to_double(), 0);
    if (as >= bs) am = div_pow10_round(am, 1), --as;
    else bm = div_pow10_round(bm, 1), --bs;
  }
  int s = as + bs;
  if (s > Decimal::kMaxScale) return Decimal::FromParts(div_pow10_round(z, s - Decimal::kMaxScale), Decimal::kMaxScale);
  return Decimal::FromParts(z, s);
}

Decimal operator/(const Decimal& a, const Decimal& b) {
  if (b.m_ == 0) return Decimal();
  // q = a.m * 10^(t + b.s - a.s) / b.m at scale t, one extra digit for rounding.
  for (int t = Decimal::kDivisionScale; t >= 0; --t) {
    int shift = t + 1 + b.s_ - a.s_;
    Int num;
    if (shift >= 0) {
      if (!mul_pow10(a.m_, shift, &num)) continue;
    } else {
      num = a.m_ / pow10(-shift);
    }
    Int q = num / b.m_;  // one digit more than t
    Int r = q % 10;
    q /= 10;
    if (abs_int(r) >= 5) q += ((num < 0) != (b.m_ < 0)) ? -1 : 1;
    return Decimal::FromParts(q, t).Normalized();
  }
  return Decimal::FromDouble(a.to_double() / b.to_double(), 0);
}

int Decimal::Compare(const Decimal& a, const Decimal& b) {
  if ((a.m_ < 0) != (b.m_ < 0)) return a.m_ < 0 ? -1 : 1;
  Int ai = a.m_ / pow10(a.s_), bi = b.m_ / pow10(b.s_);
  if (ai != bi) return ai < bi ? -1 : 1;
  // Same integer part: compare the fractions at scale 30.
  Int af = (a.m_ % pow10(a.s_)) * pow10(kMaxScale - a.s_);
  Int bf = (b.m_ % pow10(b.s_)) * pow10(kMaxScale - b.s_);
  if (af != bf) return af < bf ? -1 : 1;
  return 0;
}

Status Decimal::Pack(int digits, int places, unsigned char* dst) const {
  auto fitted = Fit(digits, places);
  if (!fitted.ok()) return fitted.status();
  Int m = abs_int(fitted->m_);
  const size_t bytes = PackedSize(digits);
  unsigned char out[32] = {};
  // The last nibble is the sign; digits fill the nibbles before it from the right.
  out[bytes - 1] = fitted->m_ < 0 ? 0x0D : 0x0C;
  size_t nibble = bytes * 2 - 1;  // index of the sign nibble
  while (m != 0 && nibble > 0) {
    --nibble;
    unsigned char d = static_cast<unsigned char>(m % 10);
    m /= 10;
    if (nibble % 2 == 0) out[nibble / 2] |= static_cast<unsigned char>(d << 4);
    else out[nibble / 2] |= d;
  }
  for (size_t i = 0; i < bytes; ++i) dst[i] = out[i];
  return Status();
}

Result<Decimal> Decimal::Unpack(int digits, int places, const unsigned char* src) {
  const size_t bytes = PackedSize(digits);
  unsigned char sign = src[bytes - 1] & 0x0F;
  if (sign != 0x0C && sign != 0x0D && sign != 0x0F && sign != 0x00) return Status(kDamaged, "damaged packed decimal (sign)");
  Int m = 0;
  for (size_t nibble = 0; nibble + 1 < bytes * 2; ++nibble) {
    unsigned char d = nibble % 2 == 0 ? src[nibble / 2] >> 4 : src[nibble / 2] & 0x0F;
    if (d > 9) return Status(kDamaged, "damaged packed decimal (digit)");
    m = m * 10 + d;
  }
  return FromParts(sign == 0x0D ? -m : m, places);
}

std::string to_string(const Decimal& d) { return d.ToString(); }

}  // namespace tdx
