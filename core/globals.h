// The globals of the main module: the selection globals that option windows fill and reports
// read, the output globals that the output dialog fills, the request and response codes, the
// marked-products queue and the letter windows' VCRRequest.
//
// C++ names follow the names in the system's texts: `Glo:Manufac` is Glo::Manufac,
// `GLO:Pellam` is GLO::Pellam, `FAX:FaxYes` is FAX::FaxYes (the FAX namespace also holds the
// fax server's job record, data/fax.h), and the unprefixed ones (GlobalResponse, BeginDate1,
// Landscape, ...) are in tdx::core. Glo and GLO are one prefix to filter texts (names match
// without regard to case) but two namespaces here; each global is declared where the texts
// spell it. The one global the texts spell both ways, GLO:BidType, is also reachable as
// Glo::BidType.
//
// Types: STRING(n) is tdx::Str<n> (blank-padded, Windows-1252), LONG is int32_t (day numbers
// too), BYTE is uint8_t.
//
// Every global is bound at load, in the bottom frame of the process's bound names
// (BoundNames::global()), under its text name ("Glo:Manufac", "BeginDate1", "FAX:FaxYes"), so
// filter texts and the host's --set reach them. find_global() gives the same VarRef.
//
// The globals live in libtdxcore.so with default visibility. Single-threaded.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/base/value.h"
#include "runtime/queue/queue.h"
#include "runtime/text/str.h"

namespace Glo {
// Selection globals.
extern tdx::Str<36> Manufac, Distributor, Agency, Competitor;
extern tdx::Str<24> BID_ID;
extern tdx::Str<14> ProdCode, PackSize;
extern tdx::Str<12> Division, LINE_NUM;
extern tdx::Str<10> MfrRef;
extern tdx::Str<4> PrintBids;
extern tdx::Str<3> BidPrice;
extern tdx::Str<2> AgeTypeSize, DistTypeSize;
extern tdx::Str<1> Minority, Brand, Bond, Analysis;
extern tdx::Str<65> Remarks, Remarks2;
extern int32_t Detail, History, OpenDate;
// Output globals: preview the report.
extern uint8_t PreviewYes;
}  // namespace Glo

namespace GLO {
// Selection globals.
extern tdx::Str<36> SalesRep, Region;
extern tdx::Str<4> BidType;
extern tdx::Str<2> TypeSize;
extern int32_t NewSpecOnly, PrintDistProd, AlternateCompany;
// Non-zero: "Brand" wording instead of "Manufacturer" / "Mfr".
extern int32_t Pellam;
extern uint8_t HistFOB, UseAltOrder;
// Output globals.
extern uint8_t EmailReport;        // e-mail the report as a PDF file
extern tdx::Str<100> EmailTo;      // recipient's address
extern tdx::Str<128> PDFFile;      // PDF file to write and attach
extern int32_t FaxID;              // job id of the fax being made
extern uint8_t FaxPages;           // pages named so far for the fax job
extern tdx::Str<128> FaxPath;      // folder of the fax page files
extern uint8_t SendOffPeak;        // fax in off-peak hours
}  // namespace GLO

namespace Glo {
inline tdx::Str<4>& BidType = GLO::BidType;
}  // namespace Glo

namespace FAX {
// Output globals of the output (fax) dialog.
extern uint8_t FaxYes;              // fax the report
extern uint8_t PrintYes;            // print the report
extern tdx::Str<36> ToName, ToCompany;
extern tdx::Str<30> ToNumber;
extern tdx::Str<50> FaxSubject;
extern tdx::Str<200> Comments;
// The fax server's folder: its first character is the drive of ":\KQXFXSVR\FAXHEAD.TPS", and
// the fax page files go into it. Read from the settings at start (core/start.h).
extern tdx::Str<128> AFEBase;
}  // namespace FAX

namespace tdx::core {

// Request and response codes exchanged through GlobalRequest and GlobalResponse.
inline constexpr int32_t kRequestNone = 0;
inline constexpr int32_t kResponseCompleted = 1;  // completed, or a record was selected
inline constexpr int32_t kResponseCancelled = 2;
inline constexpr int32_t kRequestSelectRecord = 4;

extern int32_t GlobalRequest;
extern int32_t GlobalResponse;

// Date ranges of the selections (day numbers, 0 = none).
extern int32_t BeginDate1, BeginDate2, BeginDate3;
extern int32_t EndDate1, EndDate2, EndDate3;
// Switches of the selections.
extern uint8_t GrpByMfr, ShowComm, Landscape;

// Read by the letter windows when they save (0 = a plain save from the window itself).
extern int32_t VCRRequest;

// The marked products of the extended product description letter: each product code at most
// once, always in ascending order of the code (trailing blanks ignored, byte order). Marks stay
// until cleared or the process ends.
struct ProdMark {
  Str<14> PROD_CODE;
};
struct ProdMarkCode {
  const Str<14>& operator()(const ProdMark& m) const { return m.PROD_CODE; }
};
class ProdMarkQueue {
 public:
  size_t records() const { return q_.records(); }
  bool empty() const { return q_.empty(); }
  // Position (from 1) of the code, 0 when not marked.
  size_t find(const Str<14>& code) const { return q_.find(code); }
  bool marked(const Str<14>& code) const { return find(code) != 0; }
  // Marks a code; marking a marked code changes nothing. Returns its position.
  size_t mark(const Str<14>& code);
  // Unmarks a code; false when it was not marked.
  bool unmark(const Str<14>& code) { return q_.remove_key(code); }
  // Marks an unmarked code or unmarks a marked one; returns whether it is marked now.
  bool toggle(const Str<14>& code);
  const ProdMark* get(size_t pos) const { return q_.get(pos); }
  void free() { q_.free(); }
  auto begin() const { return q_.begin(); }
  auto end() const { return q_.end(); }

 private:
  SortedQueue<ProdMark, ProdMarkCode> q_;
};
extern ProdMarkQueue QProdMark;

// One global by its text name, for host options and code that works on any of them.
struct GlobalName {
  const char* name;  // as the texts spell it: "Glo:Manufac"
  VarRef ref;
};
std::span<const GlobalName> globals();
// The global with this text name (any case), or an invalid VarRef.
VarRef find_global(std::string_view name);
// What the bound names carry as owner for the globals (views tell globals from fields by it).
const void* globals_owner();

// Every global back to blank or zero and QProdMark empty (a fresh process; tests).
void ResetGlobals();

}  // namespace tdx::core
