#include "core/files.h"

#include <algorithm>
#include <array>

#include "runtime/text/str.h"

#define TDX_CORE_FILE_DEF(LABEL, PFX)                          \
  namespace LABEL {                                            \
  ::tdx::data::RecordFile<PFX::Record> file(PFX::Decl());      \
  int32_t Used = 0;                                            \
  }

TDX_CORE_FILE_DEF(AGENCY, AGE)
TDX_CORE_FILE_DEF(AWARDLTR, AWA)
TDX_CORE_FILE_DEF(Code_Def, COD)
TDX_CORE_FILE_DEF(COMP, CMP)
TDX_CORE_FILE_DEF(COMPANY, COM)
TDX_CORE_FILE_DEF(COMPBID, COB)
TDX_CORE_FILE_DEF(DISTBID, BDI)
TDX_CORE_FILE_DEF(DISTRI, DIS)
TDX_CORE_FILE_DEF(EXTPRLTR, EXT)
TDX_CORE_FILE_DEF(HEADBID, HEA)
TDX_CORE_FILE_DEF(MANUF, MAN)
TDX_CORE_FILE_DEF(MDPRODS, MDP)
TDX_CORE_FILE_DEF(MFRDIST, MDX)
TDX_CORE_FILE_DEF(PBComm, PBC)
TDX_CORE_FILE_DEF(PRODBID, PRO)
TDX_CORE_FILE_DEF(PRODUCT, PRD)
TDX_CORE_FILE_DEF(REGIONS, REG)
TDX_CORE_FILE_DEF(SALESREP, SAL)
TDX_CORE_FILE_DEF(SPECSBID, SPE)
TDX_CORE_FILE_DEF(StdComm, STC)
TDX_CORE_FILE_DEF(FAXHEAD, FAX)

namespace tdx::core {
namespace {

#define TDX_ROW(LABEL) CoreFile{#LABEL, &LABEL::file, &LABEL::Used}
const std::array<CoreFile, 21> kFiles = {
    TDX_ROW(AGENCY),  TDX_ROW(AWARDLTR), TDX_ROW(Code_Def), TDX_ROW(COMP),
    TDX_ROW(COMPANY), TDX_ROW(COMPBID),  TDX_ROW(DISTBID),  TDX_ROW(DISTRI),
    TDX_ROW(EXTPRLTR), TDX_ROW(HEADBID), TDX_ROW(MANUF),    TDX_ROW(MDPRODS),
    TDX_ROW(MFRDIST), TDX_ROW(PBComm),   TDX_ROW(PRODBID),  TDX_ROW(PRODUCT),
    TDX_ROW(REGIONS), TDX_ROW(SALESREP), TDX_ROW(SPECSBID), TDX_ROW(StdComm),
    TDX_ROW(FAXHEAD),
};
#undef TDX_ROW

}  // namespace

std::span<const CoreFile> core_files() { return kFiles; }

const CoreFile* find_core_file(std::string_view label) {
  std::string want = upper(label);
  for (const CoreFile& f : kFiles)
    if (upper(f.label) == want) return &f;
  return nullptr;
}

Status UseFile(store::KeyedFile& file, int32_t& used) {
  if (used > 0 && file.is_open()) {
    ++used;
    return Status::Ok();
  }
  Status s = file.open();
  if (s.code() == store::kFileLocked) {
    // A lock left by an interrupted writer: recover it and try once more.
    (void)file.send("Recover=10");
    s = file.open();
  }
  if (s.code() == store::kFileNotFound) {
    s = file.create();
    if (s.ok()) s = file.open();
  }
  if (!s.ok()) return s;
  ++used;
  return Status::Ok();
}

void ReleaseFile(store::KeyedFile& file, int32_t& used) {
  if (used <= 0) {
    used = 0;
    return;
  }
  if (--used == 0) file.close();
}

}  // namespace tdx::core
