// Decimal: exact fixed-point numbers for prices, weights and commissions.
//
// A Decimal is a signed integer mantissa with a decimal scale (value = mantissa / 10^scale),
// at most 38 significant digits and scale 0..30. Arithmetic is exact for + - *; division is
// carried to kDivisionScale places, rounded half away from zero. No binary floating point is
// involved anywhere between a DECIMAL field and a printed figure.
//
// A DECIMAL(d,p) field holds d digits of which p are decimals. Storing into such a field
// (fit / pack) rounds half away from zero to p places; a value whose integer part needs more
// than d-p digits is an overflow the caller receives as an error, never a wrapped value.
//
// Packed storage: d/2+1 bytes (integer division). Our encoding, big-endian nibbles:
//   nibbles = 2*(d/2+1); the last nibble is the sign (0xC positive or zero, 0xD negative);
//   the other nibbles hold the digits of |mantissa at scale p|, right-aligned, zero-filled.
//   DECIMAL(7,2) 12.34  -> 4 bytes 00 01 23 4C ;  -0.05 -> 00 00 00 5D
//   DECIMAL(10,4) uses 6 bytes = 12 nibbles: 11 digit nibbles (the first always 0) + sign.
// Unpacking a buffer with a digit nibble > 9 or a sign nibble other than 0xC, 0xD, 0xF or 0x0
// is an error (a damaged record); 0xF and 0x0 read as positive, so all-zero bytes are zero.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/base/status.h"

namespace tdx {

class Decimal {
 public:
  using Int = __int128;
  static constexpr int kMaxScale = 30;
  static constexpr int kMaxDigits = 38;
  static constexpr int kDivisionScale = 16;

  Decimal() = default;
  Decimal(int v) : m_(v) {}      // NOLINT: integers convert like the runtime's
  Decimal(long v) : m_(v) {}     // NOLINT
  Decimal(long long v) : m_(v) {}  // NOLINT
  // mantissa / 10^scale. REQUIRES: 0 <= scale <= kMaxScale
  static Decimal FromParts(Int mantissa, int scale);

  // Parses "123", "-1.50", "+.5", " 12.3 " (surrounding blanks allowed), "1,234.5" is rejected.
  static Result<Decimal> Parse(std::string_view text);
  // Nearest decimal of a double, rounded to `places` (for REAL fields and SQL floats only).
  static Decimal FromDouble(double v, int places = 10);

  Int mantissa() const { return m_; }
  int scale() const { return s_; }
  bool is_zero() const { return m_ == 0; }
  bool negative() const { return m_ < 0; }
  double to_double() const;
  // Truncates toward zero (INT of the runtime).
  long long to_integer() const;

  // Rounded half away from zero to `places` decimals (ROUND(x, 10^-places)); places may
  // be negative (round to tens, hundreds).
  Decimal Round(int places) const;
  // Round to p places and check that it fits DECIMAL(d,p). Error code kOverflow on overflow.
  Result<Decimal> Fit(int digits, int places) const;
  // Plain text: "-12.5", "0", "3.1400" keeps the scale; Normalized() drops trailing zeros.
  std::string ToString() const;
  Decimal Normalized() const;
  // Text with exactly `places` decimals (rounded half away from zero), no grouping.
  std::string ToFixed(int places) const;

  Decimal operator-() const { return FromParts(-m_, s_); }
  friend Decimal operator+(const Decimal& a, const Decimal& b);
  friend Decimal operator-(const Decimal& a, const Decimal& b);
  friend Decimal operator*(const Decimal& a, const Decimal& b);
  // Division by zero gives 0, as the runtime does (it does not trap).
  friend Decimal operator/(const Decimal& a, const Decimal& b);
  Decimal& operator+=(const Decimal& b) { return *this = *this + b; }
  Decimal& operator-=(const Decimal& b) { return *this = *this - b; }
  Decimal& operator*=(const Decimal& b) { return *this = *this * b; }
  Decimal& operator/=(const Decimal& b) { return *this = *this / b; }

  friend bool operator==(const Decimal& a, const Decimal& b) { return Compare(a, b) == 0; }
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
    return Compare(a, b) <=> 0;
  }
  static int Compare(const Decimal& a, const Decimal& b);

  // Packed field storage (see the encoding above).
  static constexpr size_t PackedSize(int digits) { return static_cast<size_t>(digits / 2 + 1); }
  // Rounds to `places` and writes PackedSize(digits) bytes; overflow leaves dst unchanged.
  Status Pack(int digits, int places, unsigned char* dst) const;
  static Result<Decimal> Unpack(int digits, int places, const unsigned char* src);

  // Error codes (the runtime's own codes stay below 1000).
  static constexpr int kOverflow = 1001;    // a value too large for its field
  static constexpr int kNotANumber = 1002;  // Parse of a text that is not a number
  static constexpr int kDamaged = 1003;     // Unpack of bytes that are no packed decimal

 private:
  Int m_ = 0;
  int s_ = 0;
};

// Decimal(d,p) typed convenience for record fields in code: keeps the packed bytes semantics
// away from arithmetic code.
std::string to_string(const Decimal& d);

}  // namespace tdx
