// The two letter files: one record each (the first in stored order is the letter), no key used.
// The letter windows compare and write the records whole; the bytes after the named fields
// (FILL) are carried along unchanged. See record_macros.h.
#pragma once

#include "data/record_macros.h"

namespace AWA {  // AWARDLTR
inline constexpr const char* kLabel = "AWARDLTR";
inline constexpr const char* kFileName = "AWARDLTR.DAT";
inline constexpr const char* kPrefix = "AWA";
#define TDX_AWA_FIELDS(F)                 \
  F(AGENCY, 0, STRING, 36, 0)             \
  F(BID_ID, 36, STRING, 24, 0)            \
  F(FILL60, 60, FILL, 2, 0)
TDX_RECORD(TDX_AWA_FIELDS, 62)
enum Memo { LETTER_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"LETTER", 3500}};
inline constexpr auto& kKeys = tdx::data::kNoKeys;
TDX_DECL()
}  // namespace AWA

namespace EXT {  // EXTPRLTR
inline constexpr const char* kLabel = "EXTPRLTR";
inline constexpr const char* kFileName = "EXTPRLTR.DAT";
inline constexpr const char* kPrefix = "EXT";
#define TDX_EXT_FIELDS(F)                 \
  F(AGENCY, 0, STRING, 36, 0)             \
  F(FILL36, 36, FILL, 16, 0)
TDX_RECORD(TDX_EXT_FIELDS, 52)
enum Memo { LETTER_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"LETTER", 2940}};
inline constexpr auto& kKeys = tdx::data::kNoKeys;
TDX_DECL()
}  // namespace EXT
