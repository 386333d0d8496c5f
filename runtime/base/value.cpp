#include "runtime/base/value.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "runtime/text/str.h"

namespace tdx {
namespace {

struct TypeName {
  FieldType type;
  const char* name;
};
constexpr TypeName kTypeNames[] = {
    {FieldType::String, "STRING"}, {FieldType::CString, "CSTRING"}, {FieldType::Decimal, "DECIMAL"},
    {FieldType::Real, "REAL"},     {FieldType::Long, "LONG"},       {FieldType::Short, "SHORT"},
    {FieldType::Byte, "BYTE"},     {FieldType::Memo, "MEMO"}};

std::string real_text(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

// An integer field's value from a Decimal: truncated toward zero, checked against [lo, hi].
Status integer_in_range(const Decimal& d, long long lo, long long hi, long long* out) {
  Decimal t = d;
  long long v = t.to_integer();
  if (Decimal::Compare(d, Decimal(lo) - Decimal(1)) <= 0 || Decimal::Compare(d, Decimal(hi) + Decimal(1)) >= 0) {
    return Status(Decimal::kOverflow, "value " + d.ToString() + " out of range " + std::to_string(lo) +
                                          ".." + std::to_string(hi));
  }
  *out = v;
  return Status();
}

}  // namespace

const char* field_type_name(FieldType t) {
  for (const auto& tn : kTypeNames) {
    if (tn.type == t) return tn.name;
  }
  return "?";
}

bool parse_field_type(std::string_view name, FieldType* out) {
  std::string up = upper(clip(name));
  for (const auto& tn : kTypeNames) {
    if (up == tn.name) {
      *out = tn.type;
      return true;
    }
  }
  return false;
}

Decimal text_to_number(std::string_view text) {
  auto r = Decimal::Parse(text);
  return r.ok() ? r.value() : Decimal();
}

std::string Value::text() const {
  switch (v_.index()) {
    case 0: return std::get<0>(v_);
    case 1: return std::get<1>(v_).Normalized().ToString();
    default: return real_text(std::get<2>(v_));
  }
}

Decimal Value::number() const {
  switch (v_.index()) {
    case 0: return text_to_number(std::get<0>(v_));
    case 1: return std::get<1>(v_);
    default: return Decimal::FromDouble(std::get<2>(v_), 10);
  }
}

double Value::real() const {
  switch (v_.index()) {
    case 0: return text_to_number(std::get<0>(v_)).to_double();
    case 1: return std::get<1>(v_).to_double();
    default: return std::get<2>(v_);
  }
}

bool Value::truth() const {
  switch (v_.index()) {
    case 0: return !is_blank(std::get<0>(v_));
    case 1: return !std::get<1>(v_).is_zero();
    default: return std::get<2>(v_) != 0.0;
  }
}

int compare_values(const Value& a, const Value& b) {
  if (a.is_text() && b.is_text()) return compare_clipped(a.text_ref(), b.text_ref());
  if (a.is_real() || b.is_real()) {
    double x = a.real(), y = b.real();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  return Decimal::Compare(a.number(), b.number());
}

Value VarRef::get() const {
  switch (type) {
    case FieldType::String: return Value(std::string(static_cast<const char*>(ptr), size));
    case FieldType::CString: return Value(std::string(cstring_view(static_cast<const char*>(ptr), size)));
    case FieldType::Memo: return Value(*static_cast<const std::string*>(ptr));
    case FieldType::Decimal: {
      auto r = Decimal::Unpack(digits, places, static_cast<const unsigned char*>(ptr));
      return Value(r.ok() ? r.value() : Decimal());
    }
    case FieldType::Real: {
      double d;
      std::memcpy(&d, ptr, 8);
      return Value(d);
    }
    case FieldType::Long: {
      int32_t v;
      std::memcpy(&v, ptr, 4);
      return Value(static_cast<long long>(v));
    }
    case FieldType::Short: {
      int16_t v;
      std::memcpy(&v, ptr, 2);
      return Value(static_cast<long long>(v));
    }
    case FieldType::Byte: return Value(static_cast<long long>(*static_cast<const uint8_t*>(ptr)));
  }
  return Value();
}

Status VarRef::set(const Value& v) const {
  switch (type) {
    case FieldType::String:
      assign_padded(static_cast<char*>(ptr), size, v.is_text() ? v.text_ref() : v.text());
      return Status();
    case FieldType::CString:
      assign_cstring(static_cast<char*>(ptr), size, v.is_text() ? v.text_ref() : v.text());
      return Status();
    case FieldType::Memo: {
      std::string t = v.text();
      if (t.size() > size) t.resize(size);
      *static_cast<std::string*>(ptr) = std::move(t);
      return Status();
    }
    case FieldType::Decimal:
      return v.number().Pack(digits, places, static_cast<unsigned char*>(ptr));
    case FieldType::Real: {
      double d = v.real();
      std::memcpy(ptr, &d, 8);
      return Status();
    }
    case FieldType::Long: {
      long long x;
      Status s = integer_in_range(v.number(), std::numeric_limits<int32_t>::min(),
                                  std::numeric_limits<int32_t>::max(), &x);
      if (!s.ok()) return s;
      int32_t y = static_cast<int32_t>(x);
      std::memcpy(ptr, &y, 4);
      return Status();
    }
    case FieldType::Short: {
      long long x;
      Status s = integer_in_range(v.number(), std::numeric_limits<int16_t>::min(),
                                  std::numeric_limits<int16_t>::max(), &x);
      if (!s.ok()) return s;
      int16_t y = static_cast<int16_t>(x);
      std::memcpy(ptr, &y, 2);
      return Status();
    }
    case FieldType::Byte: {
      long long x;
      Status s = integer_in_range(v.number(), 0, 255, &x);
      if (!s.ok()) return s;
      *static_cast<uint8_t*>(ptr) = static_cast<uint8_t>(x);
      return Status();
    }
  }
  return Status();
}

bool VarRef::fits(const Value& v) const {
  switch (type) {
    case FieldType::String: return clip(v.text()).size() <= size;
    case FieldType::CString: return v.text().size() + 1 <= size;
    case FieldType::Memo: return v.text().size() <= size;
    case FieldType::Decimal: {
      Decimal d = v.number();
      if (d.Normalized().scale() > places) return false;
      return d.Fit(digits, places).ok();
    }
    case FieldType::Real: return true;
    case FieldType::Long:
    case FieldType::Short:
    case FieldType::Byte: {
      Decimal d = v.number();
      if (d.Normalized().scale() > 0) return false;
      long long lo = type == FieldType::Byte ? 0 : (type == FieldType::Short ? -32768 : -2147483648LL);
      long long hi = type == FieldType::Byte ? 255 : (type == FieldType::Short ? 32767 : 2147483647LL);
      long long x;
      return integer_in_range(d, lo, hi, &x).ok();
    }
  }
  return false;
}

void VarRef::clear() const {
  switch (type) {
    case FieldType::String: std::memset(ptr, ' ', size); break;
    case FieldType::CString: std::memset(ptr, 0, size); break;
    case FieldType::Memo: static_cast<std::string*>(ptr)->clear(); break;
    case FieldType::Decimal: (void)Decimal().Pack(digits, places, static_cast<unsigned char*>(ptr)); break;
    default: std::memset(ptr, 0, size); break;
  }
}

uint32_t VarRef::text_capacity() const {
  switch (type) {
    case FieldType::String:
    case FieldType::Memo: return size;
    case FieldType::CString: return size > 0 ? size - 1 : 0;
    case FieldType::Decimal: return static_cast<uint32_t>(digits + 2);
    case FieldType::Real: return 20;
    case FieldType::Long: return 11;
    case FieldType::Short: return 6;
    case FieldType::Byte: return 3;
  }
  return 0;
}

}  // namespace tdx
