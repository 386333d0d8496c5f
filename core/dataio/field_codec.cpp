#include "core/dataio/field_codec.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include "core/dataio/dataio.h"
#include "runtime/datetime/datetime.h"
#include "runtime/text/cp1252.h"
#include "runtime/text/str.h"

namespace tdx::core::dataio {
namespace {

// LONG fields that hold day numbers or time values. The record layouts declare them as LONG;
// what they mean is the bid files' and the fax job's own knowledge, kept here for the edge.
constexpr const char* kDateFields[] = {
    "HEA:DATE_RECD",  "HEA:OPEN_DATE",   "HEA:DEL_FROMDATE", "HEA:DEL_TODATE", "PRO:AWARD_DATE",
    "PRO:TERMOFGUAN", "PRO:TERMOFALLOW", "PRO:EXTTERMOFG",   "PRO:EXTTERMOFA", "COB:CALL_DATE",
    "COB:AWARD_DATE", "FAX:SETDATE",     "FAX:CREATEDATE",
};
constexpr const char* kTimeFields[] = {"HEA:OPEN_TIME", "FAX:SETTIME", "FAX:CREATETIME"};

// Largest day number with a four-digit ISO year (9999-12-31).
const int32_t kLastIsoDay = make_date(12, 31, 9999);
constexpr int32_t kLastTime = 8640000;  // 23:59:59.99

bool listed(const char* const* begin, const char* const* end, std::string_view name) {
  for (auto p = begin; p != end; ++p)
    if (upper(*p) == upper(name)) return true;
  return false;
}

Status bad(std::string text) { return Status(kImportRejected, std::move(text)); }

std::string quoted(std::string_view v) {
  std::string s = "\"";
  s += v.size() > 40 ? std::string(v.substr(0, 40)) + "..." : std::string(v);
  return s + "\"";
}

// An optionally signed integer, nothing else (no blanks, no decimals).
bool parse_integer(std::string_view t, long long* out) {
  if (t.empty()) return false;
  const char* b = t.data();
  if (*b == '+') ++b;
  auto r = std::from_chars(b, t.data() + t.size(), *out);
  return r.ec == std::errc() && r.ptr == t.data() + t.size() && b != t.data() + t.size();
}

// Well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool valid_utf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    int n;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0)
      n = 1, cp = c & 0x1F;
    else if ((c & 0xF0) == 0xE0)
      n = 2, cp = c & 0x0F;
    else if ((c & 0xF8) == 0xF0)
      n = 3, cp = c & 0x07;
    else
      return false;
    if (i + n >= s.size()) return false;
    for (int k = 1; k <= n; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    static const uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

}  // namespace

std::string time_text(int32_t time) {
  Hms h = time_parts(time);
  char buf[32];
  if (h.hundredths)
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%02d", h.hour, h.minute, h.second, h.hundredths);
  else if (h.second)
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h.hour, h.minute, h.second);
  else
    std::snprintf(buf, sizeof buf, "%02d:%02d", h.hour, h.minute);
  return buf;
}

bool parse_time_text(std::string_view t, int32_t* out) {
  // HH:MM, HH:MM:SS or HH:MM:SS.hh, two digits each.
  auto two = [&](size_t at, int* v) {
    if (at + 2 > t.size() || !isdigit(static_cast<unsigned char>(t[at])) ||
        !isdigit(static_cast<unsigned char>(t[at + 1])))
      return false;
    *v = (t[at] - '0') * 10 + (t[at + 1] - '0');
    return true;
  };
  int h = 0, m = 0, s = 0, hs = 0;
  if (!(t.size() == 5 || t.size() == 8 || t.size() == 11)) return false;
  if (!two(0, &h) || t[2] != ':' || !two(3, &m)) return false;
  if (t.size() >= 8 && (t[5] != ':' || !two(6, &s))) return false;
  if (t.size() == 11 && (t[8] != '.' || !two(9, &hs))) return false;
  if (h > 23 || m > 59 || s > 59) return false;
  *out = make_time(h, m, s, hs);
  return true;
}

FileCodec::FileCodec(std::shared_ptr<const store::FileDecl> decl) : decl_(std::move(decl)) {
  const auto& d = *decl_;
  std::vector<bool> covered(d.record_size, false);
  for (size_t i = 0; i < d.fields.size(); ++i) {
    const auto& f = d.fields[i];
    CodecField c;
    c.name = d.text_name(f);
    c.index = static_cast<int>(i);
    switch (f.type) {
      case FieldType::String:
      case FieldType::CString:
      case FieldType::Memo:
        c.kind = Kind::Text;
        break;
      case FieldType::Decimal:
        c.kind = Kind::Decimal;
        break;
      case FieldType::Real:
        c.kind = Kind::Real;
        break;
      case FieldType::Long:
        c.kind = listed(std::begin(kDateFields), std::end(kDateFields), c.name)   ? Kind::Date
                 : listed(std::begin(kTimeFields), std::end(kTimeFields), c.name) ? Kind::Time
                                                                                  : Kind::Integer;
        break;
      case FieldType::Short:
      case FieldType::Byte:
        c.kind = Kind::Integer;
        break;
    }
    fields_.push_back(c);
    for (uint32_t b = f.offset; b < f.offset + f.size && b < d.record_size; ++b) covered[b] = true;
  }
  for (size_t i = 0; i < d.memos.size(); ++i) {
    CodecField c;
    c.name = d.text_name(d.memos[i]);
    c.memo = true;
    c.index = static_cast<int>(i);
    c.kind = Kind::Text;
    fields_.push_back(c);
  }
  for (uint32_t b = 0; b < d.record_size; ++b)
    if (!covered[b]) fill_.push_back(b);
}

int FileCodec::find(std::string_view name) const {
  if (upper(name) == "_FILL") return -2;
  int fi = decl_->find_field(name);
  if (fi >= 0) return fi;
  int mi = decl_->find_memo(name);
  if (mi >= 0) return static_cast<int>(decl_->fields.size()) + mi;
  return -1;
}

std::string FileCodec::get_text(store::KeyedFile& file, const CodecField& f) const {
  VarRef ref = f.memo ? file.memo_ref(f.index) : file.field(f.index);
  switch (f.kind) {
    case Kind::Text: {
      std::string t = ref.get().text();
      if (ref.type == FieldType::String) t = std::string(clip(t));
      return cp1252_to_utf8(t);
    }
    case Kind::Decimal:
      return ref.get().number().ToFixed(ref.places);
    case Kind::Integer:
      return ref.get().number().ToString();
    case Kind::Real: {
      double v = ref.get().real();
      char buf[64];
      auto r = std::to_chars(buf, buf + sizeof buf, v);
      return std::string(buf, r.ptr);
    }
    case Kind::Date: {
      long long v = ref.get().number().to_integer();
      if (v == 0) return "";
      if (v < 1 || v > kLastIsoDay) return "#" + std::to_string(v);
      return iso_date(static_cast<int32_t>(v));
    }
    case Kind::Time: {
      long long v = ref.get().number().to_integer();
      if (v == 0) return "";
      if (v < 1 || v > kLastTime) return "#" + std::to_string(v);
      return time_text(static_cast<int32_t>(v));
    }
  }
  return "";
}

Status FileCodec::set_text(store::KeyedFile& file, const CodecField& f,
                           std::string_view utf8) const {
  VarRef ref = f.memo ? file.memo_ref(f.index) : file.field(f.index);
  switch (f.kind) {
    case Kind::Text: {
      // A file saved in another encoding would otherwise lose its accented letters to '?'.
      if (!valid_utf8(utf8)) return bad("text for " + f.name + " is not UTF-8");
      std::string t = utf8_to_cp1252(utf8);
      if (!ref.fits(Value(t))) {
        size_t have = ref.type == FieldType::String ? clip(t).size() : t.size();
        return bad("value too long for " + f.name + " (" + std::to_string(have) +
                   " characters, at most " + std::to_string(ref.text_capacity()) + ")");
      }
      return ref.set(Value(std::move(t)));
    }
    case Kind::Decimal: {
      if (is_blank(utf8)) return ref.set(Value(Decimal()));
      Result<Decimal> d = Decimal::Parse(utf8);
      if (!d.ok()) return bad("bad number for " + f.name + ": " + quoted(utf8));
      if (!ref.fits(Value(*d)))
        return bad("number does not fit " + f.name + " (DECIMAL(" + std::to_string(ref.digits) +
                   "," + std::to_string(ref.places) + ")): " + quoted(utf8));
      return ref.set(Value(*d));
    }
    case Kind::Integer: {
      if (utf8.empty()) return ref.set(Value(0));
      long long v;
      if (!parse_integer(utf8, &v)) return bad("bad number for " + f.name + ": " + quoted(utf8));
      if (!ref.fits(Value(v)))
        return bad("number out of range for " + f.name + ": " + quoted(utf8));
      return ref.set(Value(v));
    }
    case Kind::Real: {
      if (utf8.empty()) return ref.set(Value(0.0));
      double v;
      auto r = std::from_chars(utf8.data(), utf8.data() + utf8.size(), v);
      if (r.ec != std::errc() || r.ptr != utf8.data() + utf8.size() || !std::isfinite(v))
        return bad("bad number for " + f.name + ": " + quoted(utf8));
      return ref.set(Value(v));
    }
    case Kind::Date: {
      long long raw;
      if (!utf8.empty() && utf8[0] == '#') {
        if (!parse_integer(utf8.substr(1), &raw) || !ref.fits(Value(raw)))
          return bad("bad date for " + f.name + ": " + quoted(utf8));
        return ref.set(Value(raw));
      }
      std::optional<int32_t> d = parse_iso_date(utf8);
      if (!d) return bad("bad date for " + f.name + ": " + quoted(utf8) + " (YYYY-MM-DD)");
      return ref.set(Value(static_cast<long long>(*d)));
    }
    case Kind::Time: {
      if (utf8.empty()) return ref.set(Value(0));
      long long raw;
      if (utf8[0] == '#') {
        if (!parse_integer(utf8.substr(1), &raw) || !ref.fits(Value(raw)))
          return bad("bad time for " + f.name + ": " + quoted(utf8));
        return ref.set(Value(raw));
      }
      int32_t t;
      if (!parse_time_text(utf8, &t))
        return bad("bad time for " + f.name + ": " + quoted(utf8) + " (HH:MM[:SS[.hh]])");
      return ref.set(Value(static_cast<long long>(t)));
    }
  }
  return Status();
}

std::string FileCodec::get_fill(const store::KeyedFile& file) const {
  const unsigned char* r = file.record();
  bool blank = true;
  for (uint32_t b : fill_)
    if (r[b] != ' ') blank = false;
  if (blank) return "";
  static const char* kHex = "0123456789abcdef";
  std::string s;
  for (uint32_t b : fill_) {
    s += kHex[r[b] >> 4];
    s += kHex[r[b] & 15];
  }
  return s;
}

Status FileCodec::set_fill(store::KeyedFile& file, std::string_view hex) const {
  if (hex.empty()) return Status();
  if (hex.size() != fill_.size() * 2)
    return bad("_fill of " + decl_->label + " needs " + std::to_string(fill_.size() * 2) +
               " hex digits, not " + std::to_string(hex.size()));
  auto nib = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  unsigned char* r = file.record();
  for (size_t i = 0; i < fill_.size(); ++i) {
    int hi = nib(hex[2 * i]), lo = nib(hex[2 * i + 1]);
    if (hi < 0 || lo < 0) return bad("bad hex digit in _fill");
    r[fill_[i]] = static_cast<unsigned char>(hi * 16 + lo);
  }
  return Status();
}

}  // namespace tdx::core::dataio
