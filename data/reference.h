// The reference files of the bids: agencies, sales representatives, regions, competitors, the
// broker's own company (first record), standard comments and their links to offered products,
// and coded values. FILL rows and fields after the last fixed offset are this system's own.
// See record_macros.h.
#pragma once

#include "data/record_macros.h"

namespace AGE {  // AGENCY
inline constexpr const char* kLabel = "AGENCY";
inline constexpr const char* kFileName = "AGENCY.DAT";
inline constexpr const char* kPrefix = "AGE";
#define TDX_AGE_FIELDS(F)                 \
  F(AGENCY_NAME, 0, STRING, 36, 0)        \
  F(ADDRESS, 36, STRING, 30, 0)           \
  F(CITY, 66, STRING, 20, 0)              \
  F(STATE, 86, STRING, 2, 0)              \
  F(ZIP, 88, STRING, 10, 0)               \
  F(SADDRESS, 98, STRING, 30, 0)          \
  F(SCITY, 128, STRING, 20, 0)            \
  F(SSTATE, 148, STRING, 2, 0)            \
  F(SZIP, 150, STRING, 10, 0)             \
  F(FAX_PHONE, 160, STRING, 13, 0)        \
  F(CORP_PHONE, 173, STRING, 13, 0)       \
  F(TYPE_SIZE, 186, STRING, 2, 0)         \
  F(CONTACT1, 188, STRING, 25, 0)         \
  F(TITLE1, 213, STRING, 25, 0)           \
  F(PHONE1, 238, STRING, 13, 0)           \
  F(CONTACT2, 251, STRING, 25, 0)         \
  F(TITLE2, 276, STRING, 25, 0)           \
  F(PHONE2, 301, STRING, 13, 0)           \
  F(CONTACT3, 314, STRING, 25, 0)         \
  F(TITLE3, 339, STRING, 25, 0)           \
  F(PHONE3, 364, STRING, 13, 0)           \
  F(DIST1, 377, STRING, 36, 0)            \
  F(DIST2, 413, STRING, 36, 0)            \
  F(DIST3, 449, STRING, 36, 0)            \
  F(DIST4, 485, STRING, 36, 0)            \
  F(DIST5, 521, STRING, 36, 0)            \
  F(FILL557, 557, FILL, 36, 0)            \
  F(EMAIL, 593, STRING, 50, 0)
TDX_RECORD(TDX_AGE_FIELDS, 643)
enum Memo { COMMENTS_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"COMMENTS", 240}};
enum Key { BY_AGENCY = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_AGENCY", "AGENCY_NAME", tdx::store::kDup | tdx::store::kOpt | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace AGE

namespace SAL {  // SALESREP
inline constexpr const char* kLabel = "SALESREP";
inline constexpr const char* kFileName = "SALESREP.DAT";
inline constexpr const char* kPrefix = "SAL";
#define TDX_SAL_FIELDS(F)                 \
  F(REGION, 0, STRING, 36, 0)             \
  F(SALES_REP, 36, STRING, 36, 0)         \
  F(ADDRESS, 72, STRING, 30, 0)           \
  F(CITY, 102, STRING, 20, 0)             \
  F(STATE, 122, STRING, 2, 0)             \
  F(ZIP, 124, STRING, 10, 0)              \
  F(PHONE, 134, STRING, 13, 0)            \
  F(FAX, 147, STRING, 13, 0)              \
  F(EMAIL, 160, STRING, 64, 0)            \
  F(CONTACT, 224, STRING, 25, 0)
TDX_RECORD(TDX_SAL_FIELDS, 249)
enum Memo { COMMENTS_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"COMMENTS", 240}};
enum Key { BY_SALES_REP = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_SALES_REP", "SALES_REP", tdx::store::kDup | tdx::store::kOpt | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace SAL

namespace REG {  // REGIONS
inline constexpr const char* kLabel = "REGIONS";
inline constexpr const char* kFileName = "REGIONS.DAT";
inline constexpr const char* kPrefix = "REG";
#define TDX_REG_FIELDS(F) F(REGION, 0, STRING, 36, 0)
TDX_RECORD(TDX_REG_FIELDS, 36)
enum Memo { COMMENTS_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"COMMENTS", 240}};
enum Key { BY_REGION = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_REGION", "REGION", tdx::store::kDup | tdx::store::kOpt | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace REG

namespace CMP {  // COMP
inline constexpr const char* kLabel = "COMP";
inline constexpr const char* kFileName = "COMP.DAT";
inline constexpr const char* kPrefix = "CMP";
#define TDX_CMP_FIELDS(F) F(NAME, 0, STRING, 36, 0)
TDX_RECORD(TDX_CMP_FIELDS, 36)
enum Memo { COMMENTS_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"COMMENTS", 240}};
enum Key { BY_NAME = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_NAME", "NAME", tdx::store::kDup | tdx::store::kOpt | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace CMP

namespace COM {  // COMPANY
inline constexpr const char* kLabel = "COMPANY";
inline constexpr const char* kFileName = "COMPANY.DAT";
inline constexpr const char* kPrefix = "COM";
#define TDX_COM_FIELDS(F)                 \
  F(COMPANY, 0, STRING, 40, 0)            \
  F(ADDRESS, 40, STRING, 40, 0)           \
  F(CITY, 80, STRING, 20, 0)              \
  F(STATE, 100, STRING, 2, 0)             \
  F(ZIP, 102, STRING, 10, 0)              \
  F(PHONE, 112, STRING, 13, 0)            \
  F(FAX, 125, STRING, 13, 0)              \
  F(CONTACT, 138, STRING, 25, 0)          \
  F(COMMENT1, 163, STRING, 55, 0)         \
  F(COMMENT2, 218, STRING, 55, 0)         \
  F(COMMENT3, 273, STRING, 55, 0)         \
  F(COMMENT4, 328, STRING, 55, 0)         \
  F(COMMENT5, 383, STRING, 55, 0)         \
  F(COMMENT6, 438, STRING, 55, 0)         \
  F(COMMENT7, 493, STRING, 55, 0)
TDX_RECORD(TDX_COM_FIELDS, 548)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
inline constexpr auto& kKeys = tdx::data::kNoKeys;
TDX_DECL()
}  // namespace COM

namespace PBC {  // PBComm
inline constexpr const char* kLabel = "PBComm";
inline constexpr const char* kFileName = "PBComm.tps";
inline constexpr const char* kPrefix = "PBC";
#define TDX_PBC_FIELDS(F)                 \
  F(FILL0, 0, FILL, 4, 0)                 \
  F(PB_ID, 4, LONG, 0, 0)                 \
  F(STD_ID, 8, LONG, 0, 0)
TDX_RECORD(TDX_PBC_FIELDS, 12)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
enum Key { ByPBIDStdID = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"ByPBIDStdID", "PB_ID,STD_ID", tdx::store::kUnique},
};
TDX_DECL()
}  // namespace PBC

namespace STC {  // StdComm
inline constexpr const char* kLabel = "StdComm";
inline constexpr const char* kFileName = "StdComm.tps";
inline constexpr const char* kPrefix = "STC";
#define TDX_STC_FIELDS(F)                 \
  F(ID, 0, LONG, 0, 0)                    \
  F(FILL4, 4, FILL, 4, 0)                 \
  F(COMMENTS, 8, STRING, 60, 0)
TDX_RECORD(TDX_STC_FIELDS, 68)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
enum Key { AutoKey = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {{"AutoKey", "ID", tdx::store::kUnique}};
TDX_DECL()
}  // namespace STC

namespace COD {  // Code_Def
inline constexpr const char* kLabel = "Code_Def";
inline constexpr const char* kFileName = "Code_Def.tps";
inline constexpr const char* kPrefix = "COD";
#define TDX_COD_FIELDS(F)                 \
  F(FILL0, 0, FILL, 4, 0)                 \
  F(ID, 4, STRING, 4, 0)                  \
  F(VALUE, 8, STRING, 4, 0)               \
  F(DESCRIPTION, 12, STRING, 40, 0)
TDX_RECORD(TDX_COD_FIELDS, 52)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
enum Key { By_ID_Value = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"By_ID_Value", "ID,VALUE", tdx::store::kUnique | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace COD
