// Fixed-length record strings and the runtime's string functions.
//
// All record and global text is Windows-1252 bytes (one byte, one character). Str<N> is the
// runtime's STRING(n): exactly N bytes, blank-padded, assignment truncates or pads, comparison
// ignores trailing blanks. CStr<N> is CSTRING(n): at most N-1 characters, zero-terminated.
// The free functions work on byte strings (std::string / std::string_view) with the runtime's
// semantics; positions are 1-based where the runtime's are.
// Conversion to and from UTF-8 happens only at the edges (text/cp1252.h).
#pragma once

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace tdx {

// The text without trailing blanks (CLIP).
std::string_view clip(std::string_view s);
// Leading blanks moved to the end, same length (LEFT).
std::string left(std::string_view s);
// Upper / lower case of the ASCII and Windows-1252 letters (UPPER, LOWER).
std::string upper(std::string_view s);
std::string lower(std::string_view s);
// SUB(s, start, length): 1-based start; out-of-range parts give what exists (never throws).
std::string sub(std::string_view s, long start, long length);
// INSTRING(needle, haystack, step, start): 1-based position of needle, 0 when absent.
// The runtime steps by `step` bytes from `start`; step 1 finds every occurrence.
long instring(std::string_view needle, std::string_view haystack, long step = 1, long start = 1);
// True when s is empty or only blanks.
bool is_blank(std::string_view s);
// Compare ignoring trailing blanks, byte-wise (unsigned): <0, 0, >0.
int compare_clipped(std::string_view a, std::string_view b);
// Compare ignoring trailing blanks and letter case (for NOCASE keys).
int compare_clipped_nocase(std::string_view a, std::string_view b);
// Equal as names: same length, ASCII letters without regard to case ("PRD:Manufac").
bool equals_nocase(std::string_view a, std::string_view b);
// Writes s into dst[0..n): truncates, pads with blanks.
void assign_padded(char* dst, size_t n, std::string_view s);
// Writes s into dst[0..n) as a CSTRING: at most n-1 bytes, then zero bytes.
void assign_cstring(char* dst, size_t n, std::string_view s);
// The text of a CSTRING buffer: up to the first zero byte (or n).
std::string_view cstring_view(const char* src, size_t n);

template <size_t N>
class Str {
 public:
  static constexpr size_t kSize = N;
  Str() { std::memset(bytes_, ' ', N); }
  Str(std::string_view s) { assign_padded(bytes_, N, s); }  // NOLINT: implicit like the runtime
  Str(const char* s) : Str(std::string_view(s)) {}          // NOLINT
  Str& operator=(std::string_view s) {
    assign_padded(bytes_, N, s);
    return *this;
  }
  Str& operator=(const char* s) { return *this = std::string_view(s); }

  // All N bytes, padding included.
  std::string_view raw() const { return std::string_view(bytes_, N); }
  // The value without trailing blanks.
  std::string_view clipped() const { return clip(raw()); }
  std::string str() const { return std::string(clipped()); }
  char* data() { return bytes_; }
  const char* data() const { return bytes_; }
  static constexpr size_t size() { return N; }
  bool blank() const { return is_blank(raw()); }

  friend bool operator==(const Str& a, std::string_view b) {
    return compare_clipped(a.raw(), b) == 0;
  }
  template <size_t M>
  friend bool operator==(const Str& a, const Str<M>& b) {
    return compare_clipped(a.raw(), b.raw()) == 0;
  }
  friend std::strong_ordering operator<=>(const Str& a, std::string_view b) {
    return compare_clipped(a.raw(), b) <=> 0;
  }
  template <size_t M>
  friend std::strong_ordering operator<=>(const Str& a, const Str<M>& b) {
    return compare_clipped(a.raw(), b.raw()) <=> 0;
  }

 private:
  char bytes_[N];
};

template <size_t N>
class CStr {
 public:
  static_assert(N >= 1, "a CSTRING needs room for its terminator");
  static constexpr size_t kSize = N;
  CStr() { std::memset(bytes_, 0, N); }
  CStr(std::string_view s) { assign_cstring(bytes_, N, s); }  // NOLINT
  CStr(const char* s) : CStr(std::string_view(s)) {}         // NOLINT
  CStr& operator=(std::string_view s) {
    assign_cstring(bytes_, N, s);
    return *this;
  }
  CStr& operator=(const char* s) { return *this = std::string_view(s); }

  std::string_view view() const { return cstring_view(bytes_, N); }
  std::string str() const { return std::string(view()); }
  char* data() { return bytes_; }
  const char* data() const { return bytes_; }
  static constexpr size_t size() { return N; }

  friend bool operator==(const CStr& a, std::string_view b) {
    return compare_clipped(a.view(), b) == 0;
  }
  friend std::strong_ordering operator<=>(const CStr& a, std::string_view b) {
    return compare_clipped(a.view(), b) <=> 0;
  }

 private:
  char bytes_[N];
};

}  // namespace tdx
