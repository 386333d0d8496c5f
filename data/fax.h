// The fax server's job file (FAXHEAD.TPS in the server's folder): one job record per fax, in the
// server's own field order. Texts are zero-terminated (CSTRING, the length includes the zero).
// FAX:FAXID is unique, so two stations that take the same next id cannot both add it.
// See record_macros.h.
#pragma once

#include "data/record_macros.h"

namespace FAX {  // FAXHEAD
inline constexpr const char* kLabel = "FAXHEAD";
inline constexpr const char* kFileName = "FAXHEAD.TPS";
inline constexpr const char* kPrefix = "FAX";
#define TDX_FAX_FIELDS(F)                    \
  F(FAXID, 0, LONG, 0, 0)                    \
  F(USERID, 4, CSTRING, 10, 0)               \
  F(STATUS, 14, SHORT, 0, 0)                 \
  F(STATUSGRP, 16, SHORT, 0, 0)              \
  F(PAGES, 18, SHORT, 0, 0)                  \
  F(LANDSCAPE, 20, SHORT, 0, 0)              \
  F(PAPERCODE, 22, SHORT, 0, 0)              \
  F(PAPERWIDTH, 24, SHORT, 0, 0)             \
  F(PAPERHEIGHT, 26, SHORT, 0, 0)            \
  F(RPTWIDTH, 28, SHORT, 0, 0)               \
  F(RPTHEIGHT, 30, SHORT, 0, 0)              \
  F(RPTXPOS, 32, SHORT, 0, 0)                \
  F(RPTYPOS, 34, SHORT, 0, 0)                \
  F(SETHOLD, 36, SHORT, 0, 0)                \
  F(USEBILCODESKEYWORDS, 38, SHORT, 0, 0)    \
  F(BILLINGCODE, 40, CSTRING, 33, 0)         \
  F(KEYWORDS, 73, CSTRING, 33, 0)            \
  F(DIALPREFIX, 106, CSTRING, 33, 0)         \
  F(COUNTRYCODE, 139, CSTRING, 5, 0)         \
  F(AREACODE, 144, CSTRING, 9, 0)            \
  F(NUMBER, 153, CSTRING, 33, 0)             \
  F(EXTENSION, 186, CSTRING, 17, 0)          \
  F(SETTO, 203, CSTRING, 51, 0)              \
  F(COMPANY, 254, CSTRING, 51, 0)            \
  F(SETDATE, 305, LONG, 0, 0)                \
  F(SETTIME, 309, LONG, 0, 0)                \
  F(OFFPEAK, 313, SHORT, 0, 0)               \
  F(PRIORITY, 315, SHORT, 0, 0)              \
  F(SUBJECT, 317, CSTRING, 51, 0)            \
  F(DELETEAFTERSEND, 368, SHORT, 0, 0)       \
  F(SHOWCALLPROGRESS, 370, SHORT, 0, 0)      \
  F(SHOWSENDSCREEN, 372, SHORT, 0, 0)        \
  F(PRINTFROMAPP, 374, SHORT, 0, 0)          \
  F(SEND, 376, SHORT, 0, 0)                  \
  F(USECOVER, 378, SHORT, 0, 0)              \
  F(LOGCHECKTRIES, 380, SHORT, 0, 0)         \
  F(CREATEDATE, 382, LONG, 0, 0)             \
  F(CREATETIME, 386, LONG, 0, 0)             \
  F(PAGESDELETED, 390, SHORT, 0, 0)          \
  F(DESCRIPTION, 392, CSTRING, 51, 0)        \
  F(ERRORSTRING, 443, CSTRING, 81, 0)        \
  F(COVERFILE, 524, CSTRING, 128, 0)         \
  F(WINFAXID, 652, CSTRING, 21, 0)           \
  F(COVERTEXT, 673, CSTRING, 2048, 0)
TDX_RECORD(TDX_FAX_FIELDS, 2721)
inline constexpr auto& kMemos = tdx::data::kNoMemos;
enum Key { BY_FAXID = 0 };
inline constexpr tdx::store::KeySpec kKeys[] = {{"BY_FAXID", "FAXID", tdx::store::kUnique}};
TDX_DECL()
}  // namespace FAX
