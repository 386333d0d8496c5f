// The transfer program's cross-reference files: which back-office principal became which brand,
// which customer which distributor, which item which product. Both keys of each are unique, so
// one catalog name never stands for two back-office records. See record_macros.h.
#pragma once

#include "data/record_macros.h"

namespace PMF {  // PrinMfr.tps
inline constexpr const char* kLabel = "PrinMfr";
inline constexpr const char* kFileName = "PrinMfr.tps";
inline constexpr const char* kPrefix = "PMF";
#define TDX_PMF_FIELDS(F)                 \
  F(PRICODE, 0, STRING, 10, 0)            \
  F(PRINAME, 10, STRING, 35, 0)           \
  F(MFRNAME, 45, STRING, 36, 0)
TDX_RECORD(TDX_PMF_FIELDS, 81)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
enum Key { BYPRICODE = 0, BYMFRNAME = 1 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BYPRICODE", "PRICODE", tdx::store::kUnique | tdx::store::kNocase},
    {"BYMFRNAME", "MFRNAME", tdx::store::kUnique | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace PMF

namespace CDS {  // CusDist.tps
inline constexpr const char* kLabel = "CusDist";
inline constexpr const char* kFileName = "CusDist.tps";
inline constexpr const char* kPrefix = "CDS";
#define TDX_CDS_FIELDS(F)                 \
  F(CSTCODE, 0, STRING, 10, 0)            \
  F(CSTNAME, 10, STRING, 35, 0)           \
  F(DISTNAME, 45, STRING, 36, 0)
TDX_RECORD(TDX_CDS_FIELDS, 81)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
enum Key { BYCSTCODE = 0, BYDISTNAME = 1 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BYCSTCODE", "CSTCODE", tdx::store::kUnique | tdx::store::kNocase},
    {"BYDISTNAME", "DISTNAME", tdx::store::kUnique | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace CDS

namespace IPR {  // ItmProd.tps
inline constexpr const char* kLabel = "ItmProd";
inline constexpr const char* kFileName = "ItmProd.tps";
inline constexpr const char* kPrefix = "IPR";
#define TDX_IPR_FIELDS(F)                 \
  F(PRNCODE, 0, STRING, 10, 0)            \
  F(ITMCODE, 10, STRING, 15, 0)           \
  F(ITMPACK, 25, REAL, 0, 0)              \
  F(ITMSIZE, 33, REAL, 0, 0)              \
  F(ITMUM, 41, STRING, 2, 0)              \
  F(PRDMFR, 43, STRING, 36, 0)            \
  F(PRDCODE, 79, STRING, 14, 0)
TDX_RECORD(TDX_IPR_FIELDS, 93)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
enum Key { BYPRNCODECODE = 0, BYPRDMFRCODE = 1 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BYPRNCODECODE", "PRNCODE,ITMCODE", tdx::store::kUnique | tdx::store::kNocase},
    {"BYPRDMFRCODE", "PRDMFR,PRDCODE", tdx::store::kUnique | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace IPR
