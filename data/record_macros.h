// One table per file, two products: the record struct and its store declaration.
//
// A file's fields are written once, as an X-macro list of rows
//     F(NAME, offset, KIND, a, b)
// with KIND one of STRING(a), CSTRING(a), DECIMAL(a digits, b places), REAL, LONG, SHORT, BYTE,
// or FILL(a) for bytes of the record that no field names (kept and carried along unchanged).
// TDX_RECORD(LIST, SIZE) turns the list into
//   - `struct Record`: a packed struct with one member per row (Str<n>, CStr<n>,
//     store::Packed<d,p>, store::Long32, ...), checked at compile time: every member at its
//     stated offset and the whole record exactly SIZE bytes;
//   - `kFields`: the same rows as store::FieldSpec, from which Decl() builds the FileDecl.
// Struct and declaration therefore cannot disagree.
#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include "runtime/store/decl.h"
#include "runtime/store/fields.h"
#include "runtime/text/str.h"

#define TDX_T_STRING(a, b) ::tdx::Str<a>
#define TDX_T_CSTRING(a, b) ::tdx::CStr<a>
#define TDX_T_DECIMAL(a, b) ::tdx::store::Packed<a, b>
#define TDX_T_REAL(a, b) ::tdx::store::Real64
#define TDX_T_LONG(a, b) ::tdx::store::Long32
#define TDX_T_SHORT(a, b) ::tdx::store::Short16
#define TDX_T_BYTE(a, b) ::tdx::store::Byte8
#define TDX_T_FILL(a, b) ::tdx::store::Filler<a>

#define TDX_S_STRING(n, o, a, b) {#n, ::tdx::FieldType::String, o, a, 0, 0},
#define TDX_S_CSTRING(n, o, a, b) {#n, ::tdx::FieldType::CString, o, a, 0, 0},
#define TDX_S_DECIMAL(n, o, a, b) {#n, ::tdx::FieldType::Decimal, o, 0, a, b},
#define TDX_S_REAL(n, o, a, b) {#n, ::tdx::FieldType::Real, o, 8, 0, 0},
#define TDX_S_LONG(n, o, a, b) {#n, ::tdx::FieldType::Long, o, 4, 0, 0},
#define TDX_S_SHORT(n, o, a, b) {#n, ::tdx::FieldType::Short, o, 2, 0, 0},
#define TDX_S_BYTE(n, o, a, b) {#n, ::tdx::FieldType::Byte, o, 1, 0, 0},
#define TDX_S_FILL(n, o, a, b)

#define TDX_MEMBER(n, o, kind, a, b) TDX_T_##kind(a, b) n;
#define TDX_OFFSET(n, o, kind, a, b) \
  static_assert(offsetof(Record, n) == (o), "field " #n " is not at its stated offset");
#define TDX_SPEC(n, o, kind, a, b) TDX_S_##kind(n, o, a, b)

#define TDX_RECORD(LIST, SIZE)                                                  \
  _Pragma("pack(push, 1)") struct Record {                                      \
    LIST(TDX_MEMBER)                                                            \
  };                                                                            \
  _Pragma("pack(pop)") static_assert(sizeof(Record) == (SIZE), "record size"); \
  LIST(TDX_OFFSET)                                                              \
  inline constexpr ::tdx::store::FieldSpec kFields[] = {LIST(TDX_SPEC)};

// Decl(): the file's declaration, built once from kLabel, kFileName, kPrefix, Record, kFields,
// kMemos and kKeys of the enclosing namespace.
#define TDX_DECL()                                                                       \
  inline const std::shared_ptr<const ::tdx::store::FileDecl>& Decl() {                   \
    static const std::shared_ptr<const ::tdx::store::FileDecl> d = ::tdx::data::make_decl( \
        kLabel, kFileName, kPrefix, sizeof(Record), kFields, kMemos, kKeys);             \
    return d;                                                                            \
  }

namespace tdx::data {

inline constexpr ::tdx::store::MemoSpec kNoMemos[] = {{"", 0}};
inline constexpr ::tdx::store::KeySpec kNoKeys[] = {{"", "", 0}};

// Builds a declaration from code tables; rows with an empty name are placeholders (kNoMemos,
// kNoKeys). A table that does not build is a programming error: the process aborts with the
// reason, and the declaration tests catch it first.
std::shared_ptr<const store::FileDecl> make_decl(const char* label, const char* file_name,
                                                 const char* prefix, size_t record_size,
                                                 std::span<const store::FieldSpec> fields,
                                                 std::span<const store::MemoSpec> memos,
                                                 std::span<const store::KeySpec> keys);

}  // namespace tdx::data
