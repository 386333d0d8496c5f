#include "runtime/text/str.h"

namespace tdx {
namespace {

// Windows-1252 case mapping: ASCII letters, the accented letters 0xC0-0xDE / 0xE0-0xFE
// (except the multiplication and division signs), and the three pairs of the 0x8A-0x9F block.
unsigned char to_upper_byte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c;
  }
}

unsigned char to_lower_byte(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

template <typename Map>
int compare_clipped_with(std::string_view a, std::string_view b, Map map) {
  a = clip(a);
  b = clip(b);
  const size_t n = a.size() > b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    // The shorter text continues with blanks, which is what ignoring trailing blanks means.
    unsigned char ca = map(i < a.size() ? static_cast<unsigned char>(a[i]) : ' ');
    unsigned char cb = map(i < b.size() ? static_cast<unsigned char>(b[i]) : ' ');
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return 0;
}

}  // namespace

std::string_view clip(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0')) --n;
  return s.substr(0, n);
}

std::string left(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  std::string out(s.substr(i));
  out.append(i, ' ');
  return out;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(to_upper_byte(static_cast<unsigned char>(c)));
  return out;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(to_lower_byte(static_cast<unsigned char>(c)));
  return out;
}

std::string sub(std::string_view s, long start, long length) {
  if (length <= 0) return std::string();
  long first = start < 1 ? 1 : start;
  long last = start + length - 1;  // inclusive, 1-based
  if (last > static_cast<long>(s.size())) last = static_cast<long>(s.size());
  if (first > last) return std::string();
  return std::string(s.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1)));
}

long instring(std::string_view needle, std::string_view haystack, long step, long start) {
  if (needle.empty() || step <= 0 || start < 1) return 0;
  for (long pos = start; pos - 1 + static_cast<long>(needle.size()) <= static_cast<long>(haystack.size());
       pos += step) {
    if (haystack.compare(static_cast<size_t>(pos - 1), needle.size(), needle) == 0) {
      // With a step above 1 the runtime counts in steps: the result is the step number.
      return step == 1 ? pos : (pos - start) / step + 1;
    }
  }
  return 0;
}

bool is_blank(std::string_view s) { return clip(s).empty(); }

int compare_clipped(std::string_view a, std::string_view b) {
  return compare_clipped_with(a, b, [](unsigned char c) { return c; });
}

int compare_clipped_nocase(std::string_view a, std::string_view b) {
  return compare_clipped_with(a, b, to_upper_byte);
}

bool equals_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

void assign_padded(char* dst, size_t n, std::string_view s) {
  size_t k = s.size() < n ? s.size() : n;
  std::memcpy(dst, s.data(), k);
  std::memset(dst + k, ' ', n - k);
}

void assign_cstring(char* dst, size_t n, std::string_view s) {
  if (n == 0) return;
  size_t k = s.size() < n - 1 ? s.size() : n - 1;
  // A zero byte inside the text ends a CSTRING.
  size_t z = s.substr(0, k).find('\0');
  if (z != std::string_view::npos) k = z;
  std::memcpy(dst, s.data(), k);
  std::memset(dst + k, 0, n - k);
}

std::string_view cstring_view(const char* src, size_t n) {
  size_t k = 0;
  while (k < n && src[k] != '\0') ++k;
  return std::string_view(src, k);
}

}  // namespace tdx
