#include "core/globals.h"

#include <cstdio>

#include "runtime/expr/bound_names.h"

namespace Glo {
tdx::Str<36> Manufac, Distributor, Agency, Competitor;
tdx::Str<24> BID_ID;
tdx::Str<14> ProdCode, PackSize;
tdx::Str<12> Division, LINE_NUM;
tdx::Str<10> MfrRef;
tdx::Str<4> PrintBids;
tdx::Str<3> BidPrice;
tdx::Str<2> AgeTypeSize, DistTypeSize;
tdx::Str<1> Minority, Brand, Bond, Analysis;
tdx::Str<65> Remarks, Remarks2;
int32_t Detail = 0, History = 0, OpenDate = 0;
uint8_t PreviewYes = 0;
}  // namespace Glo

namespace GLO {
tdx::Str<36> SalesRep, Region;
tdx::Str<4> BidType;
tdx::Str<2> TypeSize;
int32_t NewSpecOnly = 0, PrintDistProd = 0, AlternateCompany = 0;
int32_t Pellam = 0;
uint8_t HistFOB = 0, UseAltOrder = 0;
uint8_t EmailReport = 0;
tdx::Str<100> EmailTo;
tdx::Str<128> PDFFile;
int32_t FaxID = 0;
uint8_t FaxPages = 0;
tdx::Str<128> FaxPath;
uint8_t SendOffPeak = 0;
}  // namespace GLO

namespace FAX {
uint8_t FaxYes = 0;
uint8_t PrintYes = 0;
tdx::Str<36> ToName, ToCompany;
tdx::Str<30> ToNumber;
tdx::Str<50> FaxSubject;
tdx::Str<200> Comments;
tdx::Str<128> AFEBase;
}  // namespace FAX

namespace tdx::core {

int32_t GlobalRequest = 0;
int32_t GlobalResponse = 0;
int32_t BeginDate1 = 0, BeginDate2 = 0, BeginDate3 = 0;
int32_t EndDate1 = 0, EndDate2 = 0, EndDate3 = 0;
uint8_t GrpByMfr = 0, ShowComm = 0, Landscape = 0;
int32_t VCRRequest = 0;
ProdMarkQueue QProdMark;

size_t ProdMarkQueue::mark(const Str<14>& code) {
  if (size_t pos = q_.find(code)) return pos;
  return q_.add(ProdMark{code});
}

bool ProdMarkQueue::toggle(const Str<14>& code) {
  if (q_.remove_key(code)) return false;
  q_.add(ProdMark{code});
  return true;
}

namespace {

template <size_t N>
VarRef S(Str<N>& s) {
  return VarRef::String(s.data(), static_cast<uint32_t>(N));
}
VarRef L(int32_t& v) { return VarRef::Long(&v); }
VarRef B(uint8_t& v) { return VarRef::Byte(&v); }

const int kOwner = 0;  // its address tags the globals' bindings

const GlobalName kGlobals[] = {
    {"GlobalRequest", L(GlobalRequest)},
    {"GlobalResponse", L(GlobalResponse)},
    {"Glo:Manufac", S(Glo::Manufac)},
    {"Glo:Distributor", S(Glo::Distributor)},
    {"Glo:Agency", S(Glo::Agency)},
    {"Glo:Competitor", S(Glo::Competitor)},
    {"GLO:SalesRep", S(GLO::SalesRep)},
    {"GLO:Region", S(GLO::Region)},
    {"Glo:BID_ID", S(Glo::BID_ID)},
    {"Glo:ProdCode", S(Glo::ProdCode)},
    {"Glo:PackSize", S(Glo::PackSize)},
    {"Glo:Division", S(Glo::Division)},
    {"Glo:LINE_NUM", S(Glo::LINE_NUM)},
    {"Glo:MfrRef", S(Glo::MfrRef)},
    {"GLO:BidType", S(GLO::BidType)},
    {"Glo:PrintBids", S(Glo::PrintBids)},
    {"Glo:BidPrice", S(Glo::BidPrice)},
    {"Glo:AgeTypeSize", S(Glo::AgeTypeSize)},
    {"Glo:DistTypeSize", S(Glo::DistTypeSize)},
    {"GLO:TypeSize", S(GLO::TypeSize)},
    {"Glo:Minority", S(Glo::Minority)},
    {"Glo:Brand", S(Glo::Brand)},
    {"Glo:Bond", S(Glo::Bond)},
    {"Glo:Analysis", S(Glo::Analysis)},
    {"Glo:Remarks", S(Glo::Remarks)},
    {"Glo:Remarks2", S(Glo::Remarks2)},
    {"Glo:Detail", L(Glo::Detail)},
    {"Glo:History", L(Glo::History)},
    {"Glo:OpenDate", L(Glo::OpenDate)},
    {"GLO:NewSpecOnly", L(GLO::NewSpecOnly)},
    {"GLO:PrintDistProd", L(GLO::PrintDistProd)},
    {"GLO:AlternateCompany", L(GLO::AlternateCompany)},
    {"GLO:Pellam", L(GLO::Pellam)},
    {"BeginDate1", L(BeginDate1)},
    {"BeginDate2", L(BeginDate2)},
    {"BeginDate3", L(BeginDate3)},
    {"EndDate1", L(EndDate1)},
    {"EndDate2", L(EndDate2)},
    {"EndDate3", L(EndDate3)},
    {"GrpByMfr", B(GrpByMfr)},
    {"ShowComm", B(ShowComm)},
    {"Landscape", B(Landscape)},
    {"GLO:HistFOB", B(GLO::HistFOB)},
    {"GLO:UseAltOrder", B(GLO::UseAltOrder)},
    {"Glo:PreviewYes", B(Glo::PreviewYes)},
    {"GLO:EmailReport", B(GLO::EmailReport)},
    {"GLO:EmailTo", S(GLO::EmailTo)},
    {"GLO:PDFFile", S(GLO::PDFFile)},
    {"GLO:FaxID", L(GLO::FaxID)},
    {"GLO:FaxPages", B(GLO::FaxPages)},
    {"GLO:FaxPath", S(GLO::FaxPath)},
    {"GLO:SendOffPeak", B(GLO::SendOffPeak)},
    {"FAX:FaxYes", B(FAX::FaxYes)},
    {"FAX:PrintYes", B(FAX::PrintYes)},
    {"FAX:ToName", S(FAX::ToName)},
    {"FAX:ToCompany", S(FAX::ToCompany)},
    {"FAX:ToNumber", S(FAX::ToNumber)},
    {"FAX:FaxSubject", S(FAX::FaxSubject)},
    {"FAX:Comments", S(FAX::Comments)},
    {"FAX:AFEBase", S(FAX::AFEBase)},
    {"VCRRequest", L(VCRRequest)},
};

// Binds every global under its text name when the library loads, in the bottom frame, so the
// names live as long as the process.
struct Registration {
  Registration() {
    BoundNames& names = BoundNames::global();
    for (const GlobalName& g : kGlobals) {
      Status s = names.bind(g.name, g.ref, &kOwner);
      if (!s.ok()) std::fprintf(stderr, "tdxcore: cannot bind %s: %s\n", g.name, s.ToString().c_str());
    }
  }
};
const Registration registration;

}  // namespace

std::span<const GlobalName> globals() { return kGlobals; }

VarRef find_global(std::string_view name) {
  std::string want = upper(name);
  for (const GlobalName& g : globals())
    if (upper(g.name) == want) return g.ref;
  return VarRef{};
}

const void* globals_owner() { return &kOwner; }

void ResetGlobals() {
  for (const GlobalName& g : globals()) g.ref.clear();
  QProdMark.free();
}

}  // namespace tdx::core
