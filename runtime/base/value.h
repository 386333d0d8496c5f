// Value and VarRef: how the runtime's layers see a variable without knowing its owner.
//
// A Value is what a variable holds, for expressions, pictures and import/export: text
// (Windows-1252 bytes), an exact Decimal (every DECIMAL, LONG, SHORT and BYTE), or a REAL.
// A VarRef is a typed reference to a variable's storage: a field inside a record buffer, a
// global, a window's local. The store, the bound names of filters, the report engine's field
// controls and the window entries all reach variables through VarRef, so the conversion rules
// live here once:
//   - text into a STRING truncates or pads; into a CSTRING keeps at most size-1 bytes;
//     into a MEMO keeps at most `size` bytes (text too long for its variable is *not* an error
//     on assignment, as in the runtime; callers that must refuse it, like import, check
//     fits() first);
//   - a number into a DECIMAL rounds half away from zero; overflow is an error;
//   - a number into LONG/SHORT/BYTE truncates toward zero; out of range is an error;
//   - text into a number is converted as the runtime converts: blanks around a number are
//     ignored, anything that is not a number gives 0.
// A VarRef does not own what it points at; the owner outlives every VarRef to it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "runtime/base/status.h"
#include "runtime/decimal/decimal.h"

namespace tdx {

enum class FieldType : uint8_t { String, CString, Decimal, Real, Long, Short, Byte, Memo };

// "STRING", "CSTRING", ... and back (case-insensitive); Parse returns false for an unknown name.
const char* field_type_name(FieldType t);
bool parse_field_type(std::string_view name, FieldType* out);

class Value {
 public:
  Value() : v_(std::string()) {}
  Value(std::string text) : v_(std::move(text)) {}  // NOLINT
  Value(std::string_view text) : v_(std::string(text)) {}  // NOLINT
  Value(const char* text) : v_(std::string(text)) {}  // NOLINT
  Value(Decimal d) : v_(d) {}  // NOLINT
  Value(int v) : v_(Decimal(v)) {}  // NOLINT
  Value(long v) : v_(Decimal(v)) {}  // NOLINT
  Value(long long v) : v_(Decimal(v)) {}  // NOLINT
  Value(double v) : v_(v) {}  // NOLINT

  bool is_text() const { return v_.index() == 0; }
  bool is_decimal() const { return v_.index() == 1; }
  bool is_real() const { return v_.index() == 2; }
  bool is_number() const { return !is_text(); }

  // The text form: text as is; numbers without trailing zeros ("12.5", "0", "-3").
  std::string text() const;
  // The numeric form (text converted as described above; a REAL to its nearest decimal).
  Decimal number() const;
  double real() const;
  // True for a non-zero number or a non-blank text (bare truth values of filters).
  bool truth() const;

  const std::string& text_ref() const { return std::get<0>(v_); }  // REQUIRES: is_text()

 private:
  std::variant<std::string, Decimal, double> v_;
};

// Compares as the runtime does: two texts byte-wise ignoring trailing blanks; otherwise both as
// numbers. <0, 0, >0.
int compare_values(const Value& a, const Value& b);

// Text to number as the runtime converts (" 12.50 " -> 12.5, "abc" -> 0, "" -> 0).
Decimal text_to_number(std::string_view text);

struct VarRef {
  FieldType type = FieldType::String;
  void* ptr = nullptr;   // STRING/CSTRING: char[size]; MEMO: std::string*; numbers: their storage
  uint32_t size = 0;     // bytes (STRING, CSTRING, DECIMAL packed), max chars for MEMO
  uint8_t digits = 0;    // DECIMAL only
  uint8_t places = 0;    // DECIMAL only

  static VarRef String(char* p, uint32_t n) { return {FieldType::String, p, n, 0, 0}; }
  static VarRef CString(char* p, uint32_t n) { return {FieldType::CString, p, n, 0, 0}; }
  static VarRef Memo(std::string* p, uint32_t max) { return {FieldType::Memo, p, max, 0, 0}; }
  static VarRef Packed(unsigned char* p, uint8_t d, uint8_t pl) {
    return {FieldType::Decimal, p, static_cast<uint32_t>(Decimal::PackedSize(d)), d, pl};
  }
  static VarRef Long(int32_t* p) { return {FieldType::Long, p, 4, 0, 0}; }
  static VarRef Short(int16_t* p) { return {FieldType::Short, p, 2, 0, 0}; }
  static VarRef Byte(uint8_t* p) { return {FieldType::Byte, p, 1, 0, 0}; }
  static VarRef Real(double* p) { return {FieldType::Real, p, 8, 0, 0}; }

  bool valid() const { return ptr != nullptr; }
  // The current value. A damaged packed decimal reads as 0.
  Value get() const;
  // Stores v with the conversion rules above.
  Status set(const Value& v) const;
  // True when v can be stored without losing anything (text not longer than the field,
  // number in range, no more decimals than the field keeps).
  bool fits(const Value& v) const;
  // Blanks, zeros, empty memo (the runtime's CLEAR of one variable).
  void clear() const;
  // Display width in characters for text fields, used by lookups and pictures.
  uint32_t text_capacity() const;
};

}  // namespace tdx
