// The bid files: headers (HEADBID), specification lines (SPECSBID), brand products offered on a
// line (PRODBID), competitors' bids (COMPBID) and distributors that quoted a line (DISTBID).
// Joined by text: a bid by its 24-character id, a line by id + 12-character line number, and the
// 36-character bid/line value (bid id with its trailing blanks, then the line number).
// Offsets the reports rely on are fixed; FILL rows and the fields after the last fixed one are
// this system's own. See record_macros.h.
#pragma once

#include "data/record_macros.h"

namespace HEA {  // HEADBID
inline constexpr const char* kLabel = "HEADBID";
inline constexpr const char* kFileName = "HEADBID.DAT";
inline constexpr const char* kPrefix = "HEA";
#define TDX_HEA_FIELDS(F)                 \
  F(FILL0, 0, FILL, 3, 0)                 \
  F(SALES_REP, 3, STRING, 36, 0)          \
  F(BID_AGENCY, 39, STRING, 36, 0)        \
  F(BID_ID, 75, STRING, 24, 0)            \
  F(DATE_RECD, 99, LONG, 0, 0)            \
  F(OPEN_DATE, 103, LONG, 0, 0)           \
  F(OPEN_TIME, 107, LONG, 0, 0)           \
  F(AM_PM, 111, STRING, 2, 0)             \
  F(DEL_FROMDATE, 113, LONG, 0, 0)        \
  F(DEL_TODATE, 117, LONG, 0, 0)          \
  F(FILL121, 121, FILL, 5, 0)             \
  F(AGENCY_DELIN, 126, STRING, 45, 0)     \
  F(AGENCY_DEL2, 171, STRING, 45, 0)      \
  F(AGENCY_DEL3, 216, STRING, 45, 0)      \
  F(AGENCY_DEL4, 261, STRING, 45, 0)      \
  F(FILL306, 306, FILL, 1, 0)             \
  F(PALLETIZE, 307, STRING, 1, 0)         \
  F(MINIOR_BID, 308, STRING, 1, 0)        \
  F(Escalation, 309, BYTE, 0, 0)          \
  F(NonProfit, 310, BYTE, 0, 0)           \
  F(BidType, 311, STRING, 4, 0)
TDX_RECORD(TDX_HEA_FIELDS, 315)
enum Memo { NOTES_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"NOTES", 240}};
enum Key { BY_BID_ID = 0, BY_DATE_RECD = 1 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_BID_ID", "BID_ID", tdx::store::kUnique | tdx::store::kNocase},
    {"BY_DATE_RECD", "DATE_RECD", tdx::store::kDup},
};
TDX_DECL()
}  // namespace HEA

namespace SPE {  // SPECSBID
inline constexpr const char* kLabel = "SPECSBID";
inline constexpr const char* kFileName = "SPECSBID.DAT";
inline constexpr const char* kPrefix = "SPE";
#define TDX_SPE_FIELDS(F)                 \
  F(FILL0, 0, FILL, 5, 0)                 \
  F(LINE_NUM, 5, STRING, 12, 0)           \
  F(PRODUCT_SPEC, 17, STRING, 120, 0)     \
  F(CN_LABEL, 137, STRING, 1, 0)          \
  F(USDA, 138, STRING, 1, 0)              \
  F(FILL139, 139, FILL, 2, 0)             \
  F(SPEC_SHEET, 141, STRING, 1, 0)        \
  F(GRADE, 142, STRING, 5, 0)             \
  F(APPROVED_BRANDS, 147, STRING, 120, 0) \
  F(FILL267, 267, FILL, 19, 0)            \
  F(BID_ID, 286, STRING, 24, 0)           \
  F(MFR_BIDNUM, 310, STRING, 10, 0)       \
  F(FILL320, 320, FILL, 164, 0)           \
  F(COMMISSION, 484, DECIMAL, 9, 2)       \
  F(HIST_BID_ID, 489, STRING, 24, 0)      \
  F(HIST_LINE_NUM, 513, STRING, 12, 0)    \
  F(ALT_SEQ, 525, LONG, 0, 0)             \
  F(BRANDED, 529, BYTE, 0, 0)
TDX_RECORD(TDX_SPE_FIELDS, 530)
enum Memo { COMMENTS_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"COMMENTS", 120}};
enum Key { BY_ID_LINE = 0, BY_BID_ID = 1 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_ID_LINE", "BID_ID,LINE_NUM", tdx::store::kUnique | tdx::store::kNocase},
    {"BY_BID_ID", "BID_ID", tdx::store::kDup | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace SPE

namespace PRO {  // PRODBID
inline constexpr const char* kLabel = "PRODBID";
inline constexpr const char* kFileName = "PRODBID.DAT";
inline constexpr const char* kPrefix = "PRO";
#define TDX_PRO_FIELDS(F)                 \
  F(PB_ID, 0, LONG, 0, 0)                 \
  F(BID_ID, 4, STRING, 24, 0)             \
  F(LINE_NUM, 28, STRING, 12, 0)          \
  F(BID_LINE, 40, STRING, 36, 0)          \
  F(AWARD_FLAG, 76, STRING, 1, 0)         \
  F(AWARD_DATE, 77, LONG, 0, 0)           \
  F(PBCODE, 81, STRING, 14, 0)            \
  F(ALT_PROD, 95, STRING, 1, 0)           \
  F(MANUFAC, 96, STRING, 36, 0)           \
  F(MFR_REFNUM, 132, STRING, 10, 0)       \
  F(MFRAWARD, 142, STRING, 10, 0)         \
  F(PACK, 152, STRING, 14, 0)             \
  F(DESCRIP, 166, STRING, 36, 0)          \
  F(PROD_DIVISON, 202, STRING, 12, 0)     \
  F(PRICE, 214, STRING, 10, 0)            \
  F(UNIT, 224, STRING, 2, 0)              \
  F(PRICE_BASIS, 226, STRING, 1, 0)       \
  F(FPRICE, 227, STRING, 10, 0)           \
  F(FUNIT, 237, STRING, 2, 0)             \
  F(POFO, 239, STRING, 20, 0)             \
  F(FILL259, 259, FILL, 4, 0)             \
  F(NET, 263, STRING, 3, 0)               \
  F(ALLOW, 266, STRING, 15, 0)            \
  F(ALLOWUM, 281, STRING, 2, 0)           \
  F(GUANT, 283, STRING, 30, 0)            \
  F(QUAN, 313, LONG, 0, 0)                \
  F(UNITS, 317, STRING, 2, 0)             \
  F(SERVE, 319, SHORT, 0, 0)              \
  F(FILL321, 321, FILL, 8, 0)             \
  F(APPROX, 329, STRING, 1, 0)            \
  F(GROSS, 330, DECIMAL, 7, 2)            \
  F(NET_WT, 334, DECIMAL, 7, 2)           \
  F(HIST_PRICE, 338, STRING, 30, 0)       \
  F(TERMOFGUAN, 368, LONG, 0, 0)          \
  F(TERMOFALLOW, 372, LONG, 0, 0)         \
  F(COMMENTS, 376, STRING, 60, 0)         \
  F(COMMENTS2, 436, STRING, 60, 0)        \
  F(COMMENTS3, 496, STRING, 60, 0)        \
  F(COMMENTS4, 556, STRING, 60, 0)        \
  F(FILL616, 616, FILL, 1, 0)             \
  F(EXTPRICE, 617, STRING, 10, 0)         \
  F(EXTUM, 627, STRING, 2, 0)             \
  F(EXTFPRICE, 629, STRING, 10, 0)        \
  F(EXTFUM, 639, STRING, 2, 0)            \
  F(EXTALLOW, 641, STRING, 15, 0)         \
  F(EXTALLOWUM, 656, STRING, 2, 0)        \
  F(EXTTERMOFG, 658, LONG, 0, 0)          \
  F(EXTTERMOFA, 662, LONG, 0, 0)          \
  F(ExtTerm, 666, BYTE, 0, 0)
TDX_RECORD(TDX_PRO_FIELDS, 667)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
enum Key { BY_ID_LINE = 0, BY_BID_ID = 1 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_ID_LINE", "BID_ID,LINE_NUM", tdx::store::kDup | tdx::store::kNocase},
    {"BY_BID_ID", "BID_ID", tdx::store::kDup | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace PRO

namespace COB {  // COMPBID
inline constexpr const char* kLabel = "COMPBID";
inline constexpr const char* kFileName = "COMPBID.DAT";
inline constexpr const char* kPrefix = "COB";
#define TDX_COB_FIELDS(F)                 \
  F(BID_ID, 0, STRING, 24, 0)             \
  F(LINE_NUM, 24, STRING, 12, 0)          \
  F(BID_LINE, 36, STRING, 36, 0)          \
  F(DISTRI, 72, STRING, 36, 0)            \
  F(MANUFAC, 108, STRING, 36, 0)          \
  F(PROD_CODE, 144, STRING, 14, 0)        \
  F(PACK, 158, STRING, 14, 0)             \
  F(PROD_DES, 172, STRING, 36, 0)         \
  F(PRICE, 208, STRING, 60, 0)            \
  F(TERMS, 268, STRING, 60, 0)            \
  F(FILL328, 328, FILL, 1, 0)             \
  F(CALL_DATE, 329, LONG, 0, 0)           \
  F(AWARD_FLAG, 333, STRING, 1, 0)        \
  F(AWARD_DATE, 334, LONG, 0, 0)
TDX_RECORD(TDX_COB_FIELDS, 338)
enum Memo { COMMENTS_MEMO = 0 };
inline constexpr tdx::store::MemoSpec kMemos[] = {{"COMMENTS", 120}};
enum Key { BY_ID_LINE = 0, BY_BID_LINE = 1 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_ID_LINE", "BID_ID,LINE_NUM", tdx::store::kDup | tdx::store::kNocase},
    {"BY_BID_LINE", "BID_LINE", tdx::store::kDup | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace COB

namespace BDI {  // DISTBID
inline constexpr const char* kLabel = "DISTBID";
inline constexpr const char* kFileName = "DISTBID.DAT";
inline constexpr const char* kPrefix = "BDI";
#define TDX_BDI_FIELDS(F)                 \
  F(BID_ID, 0, STRING, 24, 0)             \
  F(LINE_NUM, 24, STRING, 12, 0)          \
  F(BID_LINE, 36, STRING, 36, 0)          \
  F(AWARD_FLAG, 72, STRING, 1, 0)         \
  F(FILL73, 73, FILL, 4, 0)               \
  F(BID_PRICE, 77, STRING, 15, 0)         \
  F(DISTRIBUTOR, 92, STRING, 36, 0)       \
  F(DISTBIDID, 128, STRING, 12, 0)
TDX_RECORD(TDX_BDI_FIELDS, 140)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
enum Key { BY_ID_LINE = 0, BY_BID_LINE = 1, BY_BID_ID = 2 };
inline constexpr tdx::store::KeySpec kKeys[] = {
    {"BY_ID_LINE", "BID_ID,LINE_NUM", tdx::store::kDup | tdx::store::kNocase},
    {"BY_BID_LINE", "BID_LINE", tdx::store::kDup | tdx::store::kNocase},
    {"BY_BID_ID", "BID_ID", tdx::store::kDup | tdx::store::kNocase},
};
TDX_DECL()
}  // namespace BDI
