// Record member types: fixed-layout fields that code reads and writes inside a record buffer.
//
// A record struct (see data/) is a `#pragma pack(1)` struct of these types and of Str<N> /
// CStr<N>, laid out exactly as the file's declaration, so `rec.GROSS_WT = d` writes the packed
// bytes in place. Every type here has alignment 1 and holds only bytes, so a record struct can
// overlay a KeyedFile's record buffer and be copied with memcpy. Numbers are little-endian, as
// the runtime stores them; DECIMAL uses the packed encoding of runtime/decimal/decimal.h.
// Each type also gives a VarRef to itself, for binding and pictures.
#pragma once

#include <cstdint>
#include <cstring>

#include "runtime/base/value.h"
#include "runtime/decimal/decimal.h"

namespace tdx::store {

// DECIMAL(D,P): Decimal::PackedSize(D) bytes.
template <int D, int P>
class Packed {
 public:
  static_assert(D > 0 && P >= 0 && P <= D, "DECIMAL(d,p) needs 0 <= p <= d");
  static constexpr size_t kSize = Decimal::PackedSize(D);
  Packed() { Decimal().Pack(D, P, bytes_).ok(); }
  // A damaged value reads as 0 (as VarRef::get does).
  Decimal get() const {
    Result<Decimal> r = Decimal::Unpack(D, P, bytes_);
    return r.ok() ? *r : Decimal();
  }
  operator Decimal() const { return get(); }  // NOLINT: reads like the number it holds
  // Rounds to P places; an overflow leaves the field unchanged and returns the error.
  Status set(const Decimal& d) { return d.Pack(D, P, bytes_); }
  Packed& operator=(const Decimal& d) {
    (void)set(d);
    return *this;
  }
  VarRef ref() { return VarRef::Packed(bytes_, D, P); }
  unsigned char* data() { return bytes_; }

 private:
  unsigned char bytes_[kSize];
};

// LONG, SHORT, BYTE, REAL: little-endian bytes, read and written with memcpy (the fields sit at
// any offset of a packed record).
template <typename T, FieldType kType>
class Number {
 public:
  Number() { std::memset(bytes_, 0, sizeof(T)); }
  T get() const {
    T v;
    std::memcpy(&v, bytes_, sizeof(T));
    return v;
  }
  operator T() const { return get(); }  // NOLINT
  Number& operator=(T v) {
    std::memcpy(bytes_, &v, sizeof(T));
    return *this;
  }
  VarRef ref() { return VarRef{kType, bytes_, sizeof(T), 0, 0}; }

 private:
  unsigned char bytes_[sizeof(T)];
};

using Long32 = Number<int32_t, FieldType::Long>;
using Short16 = Number<int16_t, FieldType::Short>;
using Byte8 = Number<uint8_t, FieldType::Byte>;
using Real64 = Number<double, FieldType::Real>;

// Bytes of a record that no declared field covers: kept and carried along unchanged.
template <size_t N>
struct Filler {
  unsigned char bytes[N];
};

}  // namespace tdx::store
