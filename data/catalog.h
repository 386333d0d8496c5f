// The catalog files: products, brands, distributors, brand-distributor relations and the
// distributor product codes of brand products. Created and filled by the transfer program, read
// by the reports. Each namespace (named by the file's prefix) holds the record struct, the key
// numbers (`PRD::BY_MAN_PRO`), the memo numbers and Decl(); see record_macros.h.
// Names join records: a product's PRD:MANUFAC equals its brand's MAN:MANUF_NAME, 36 characters.
#pragma once

#include "data/record_macros.h"

namespace PRD {  // PRODUCT
inline constexpr const char* kLabel = "PRODUCT";
inline constexpr const char* kFileName = "PRODUCT.DAT";
inline constexpr const char* kPrefix = "PRD";
#define TDX_PRD_FIELDS(F)                 \
  F(MANUFAC, 0, STRING, 36, 0)            \
  F(TERMS, 36, STRING, 15, 0)             \
  F(MIN_DROP, 51, STRING, 15, 0)          \
  F(STANDARD, 66, STRING, 3, 0)           \
  F(PROD_CODE, 69, STRING, 14, 0)         \
  F(PROD_DES, 83, STRING, 36, 0)          \
  F(PROD_DIVISON, 119, STRING, 12, 0)     \
  F(PACK, 131, STRING, 14, 0)             \
  F(CATCH, 145, STRING, 1, 0)             \
  F(GROSS_WT, 146, DECIMAL, 7, 2)         \
  F(NET_WT, 150, DECIMAL, 7, 2)           \
  F(UPC_CODE, 154, STRING, 15, 0)         \
  F(RANGE1, 169, STRING, 15, 0)           \
  F(PRICE1, 184, DECIMAL, 11, 4)          \
  F(RANGE2, 190, STRING, 15, 0)           \
  F(PRICE2, 205, DECIMAL, 11, 4)          \
  F(RANGE3, 211, STRING, 15, 0)           \
  F(PRICE3, 226, DECIMAL, 11, 4)          \
  F(RANGE4, 232, STRING, 15, 0)           \
  F(PRICE4, 247, DECIMAL, 11, 4)          \
  F(RANGE5, 253, STRING, 15, 0)           \
  F(PRICE5, 268, DECIMAL, 11, 4)          \
  F(RANGE6, 274, STRING, 15, 0)           \
  F(PRICE6, 289, DECIMAL, 11, 4)          \
  F(RANGE7, 295, STRING, 15, 0)           \
  F(PRICE7, 310, DECIMAL, 11, 4)          \
  F(RANGE8, 316, STRING, 15, 0)           \
  F(PRICE8, 331, DECIMAL, 11, 4)          \
  F(DISCONTINUED, 337, STRING, 1, 0)
TDX_RECORD(TDX_PRD_FIELDS, 338)
enum Memo { EXTND_DESCR_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"EXTND_DESCR", 560}};
enum Key { BY_PROD_CODE = 0, BY_MAN_PRO = 1 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_PROD_CODE", "PROD_CODE", tdx::store::kDup | tdx::store::kOpt | tdx::store::kNocase},
    // A product without its code is in neither key, so no key-ordered listing shows it.
    {"BY_MAN_PRO", "MANUFAC,PROD_CODE",
     tdx::store::kDup | tdx::store::kOpt | tdx::store::kOptAnyBlank | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace PRD

// MANUF and DISTRI share their first 377 bytes (name, addresses, phones, contacts).
#define TDX_PARTY_FIELDS(F, NAME)          \
  F(NAME, 0, STRING, 36, 0)                \
  F(ADDRESS, 36, STRING, 30, 0)            \
  F(CITY, 66, STRING, 20, 0)               \
  F(STATE, 86, STRING, 2, 0)               \
  F(ZIP, 88, STRING, 10, 0)                \
  F(ALT_ADDRESS, 98, STRING, 30, 0)        \
  F(ALT_CITY, 128, STRING, 20, 0)          \
  F(ALT_STATE, 148, STRING, 2, 0)          \
  F(ALT_ZIP, 150, STRING, 10, 0)           \
  F(FAX_NUMBER, 160, STRING, 13, 0)        \
  F(CORP_PHONE, 173, STRING, 13, 0)        \
  F(TYPE_SIZE, 186, STRING, 2, 0)          \
  F(CONTACT1, 188, STRING, 25, 0)          \
  F(TITLE1, 213, STRING, 25, 0)            \
  F(PHONE1, 238, STRING, 13, 0)            \
  F(CONTACT2, 251, STRING, 25, 0)          \
  F(TITLE2, 276, STRING, 25, 0)            \
  F(PHONE2, 301, STRING, 13, 0)            \
  F(CONTACT3, 314, STRING, 25, 0)          \
  F(TITLE3, 339, STRING, 25, 0)            \
  F(PHONE3, 364, STRING, 13, 0)

namespace MAN {  // MANUF
inline constexpr const char* kLabel = "MANUF";
inline constexpr const char* kFileName = "MANUF.DAT";
inline constexpr const char* kPrefix = "MAN";
#define TDX_MAN_FIELDS(F)                 \
  TDX_PARTY_FIELDS(F, MANUF_NAME)         \
  F(TERMS, 377, STRING, 15, 0)            \
  F(MIN_DROP, 392, STRING, 15, 0)         \
  F(MIN_PICKUP, 407, STRING, 15, 0)       \
  F(STANDARD, 422, STRING, 3, 0)          \
  F(BROKERNO, 425, STRING, 12, 0)         \
  F(TERR_ZONE, 437, STRING, 10, 0)        \
  F(EMAIL, 447, STRING, 100, 0)           \
  F(EMAIL1, 547, STRING, 100, 0)          \
  F(EMAIL2, 647, STRING, 100, 0)          \
  F(EMAIL3, 747, STRING, 100, 0)
TDX_RECORD(TDX_MAN_FIELDS, 847)
enum Memo { COMMENTS_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"COMMENTS", 360}};
enum Key { BY_MANUF = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_MANUF", "MANUF_NAME", tdx::store::kDup | tdx::store::kOpt | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace MAN

namespace DIS {  // DISTRI
inline constexpr const char* kLabel = "DISTRI";
inline constexpr const char* kFileName = "DISTRI.DAT";
inline constexpr const char* kPrefix = "DIS";
#define TDX_DIS_FIELDS(F)                 \
  TDX_PARTY_FIELDS(F, DISTRI_NAME)        \
  F(EMAIL, 377, STRING, 100, 0)           \
  F(EMAIL1, 477, STRING, 100, 0)          \
  F(EMAIL2, 577, STRING, 100, 0)          \
  F(EMAIL3, 677, STRING, 100, 0)
TDX_RECORD(TDX_DIS_FIELDS, 777)
enum Memo { COMMENTS_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"COMMENTS", 240}};
enum Key { BY_DISTRI = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_DISTRI", "DISTRI_NAME", tdx::store::kDup | tdx::store::kOpt | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace DIS

namespace MDX {  // MFRDIST
inline constexpr const char* kLabel = "MFRDIST";
inline constexpr const char* kFileName = "MFRDIST.DAT";
inline constexpr const char* kPrefix = "MDX";
#define TDX_MDX_FIELDS(F)                 \
  F(MANUF_NAME, 0, STRING, 36, 0)         \
  F(DISTRI_NAME, 36, STRING, 36, 0)       \
  F(MFR_DIST_ID, 72, STRING, 12, 0)
TDX_RECORD(TDX_MDX_FIELDS, 84)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
enum Key { BY_MANUF_DST = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_MANUF_DST", "MANUF_NAME,DISTRI_NAME",
     tdx::store::kUnique | tdx::store::kOpt | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace MDX

namespace MDP {  // MDPRODS
inline constexpr const char* kLabel = "MDPRODS";
inline constexpr const char* kFileName = "MDPRODS.DAT";
inline constexpr const char* kPrefix = "MDP";
#define TDX_MDP_FIELDS(F)                 \
  F(MANUF, 0, STRING, 36, 0)              \
  F(MANUF_PCODE, 36, STRING, 14, 0)       \
  F(DISTR, 50, STRING, 36, 0)             \
  F(DISTR_PCODE, 86, STRING, 15, 0)
TDX_RECORD(TDX_MDP_FIELDS, 101)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
enum Key { MFRPRDDSTKEY = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"MFRPRDDSTKEY", "MANUF,DISTR,MANUF_PCODE",
     tdx::store::kUnique | tdx::store::kOpt | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace MDP
