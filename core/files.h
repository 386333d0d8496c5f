// The data files of the main module, one object per file, shared by every module of the process.
//
// Each file is a namespace named by the file's label holding the file object (its record buffer
// is the one buffer every module reads and writes: a lookup window leaves the chosen record in
// it, an option window of the report module reads it from there) and its use counter:
//
//   PRODUCT::file          tdx::data::RecordFile<PRD::Record>, file name PRODUCT.DAT
//   PRODUCT::rec()         the record buffer as PRD::Record (PRODUCT::rec().MANUFAC)
//   PRODUCT::Used          the use counter (long)
//
// The counter protocol every module follows: open the file only when its counter is 0, then add
// 1; on leaving subtract 1 and close the file when the counter is back at 0. UseFile() and
// ReleaseFile() do exactly that; a module with its own open procedure (create, repair, standard
// messages) keeps the same counter rules around it.
//
// Files open relative to the working directory (the data folder), as their declarations name
// them; FAXHEAD is the fax server's job file and is renamed (set_name) to the server's folder
// before it is opened.
//
// The objects live in libtdxcore.so; everything here has default visibility, so a module linked
// against it fails to load when one is missing. Single-threaded, like everything that uses them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "data/bids.h"
#include "data/catalog.h"
#include "data/fax.h"
#include "data/letters.h"
#include "data/record_file.h"
#include "data/reference.h"
#include "runtime/base/status.h"
#include "runtime/store/keyed_file.h"

#define TDX_CORE_FILE(LABEL, PFX)                                 \
  namespace LABEL {                                               \
  extern ::tdx::data::RecordFile<PFX::Record> file;               \
  extern int32_t Used;                                            \
  inline PFX::Record& rec() { return file.rec(); }                \
  }

TDX_CORE_FILE(AGENCY, AGE)
TDX_CORE_FILE(AWARDLTR, AWA)
TDX_CORE_FILE(Code_Def, COD)
TDX_CORE_FILE(COMP, CMP)
TDX_CORE_FILE(COMPANY, COM)
TDX_CORE_FILE(COMPBID, COB)
TDX_CORE_FILE(DISTBID, BDI)
TDX_CORE_FILE(DISTRI, DIS)
TDX_CORE_FILE(EXTPRLTR, EXT)
TDX_CORE_FILE(HEADBID, HEA)
TDX_CORE_FILE(MANUF, MAN)
TDX_CORE_FILE(MDPRODS, MDP)
TDX_CORE_FILE(MFRDIST, MDX)
TDX_CORE_FILE(PBComm, PBC)
TDX_CORE_FILE(PRODBID, PRO)
TDX_CORE_FILE(PRODUCT, PRD)
TDX_CORE_FILE(REGIONS, REG)
TDX_CORE_FILE(SALESREP, SAL)
TDX_CORE_FILE(SPECSBID, SPE)
TDX_CORE_FILE(StdComm, STC)
TDX_CORE_FILE(FAXHEAD, FAX)

#undef TDX_CORE_FILE

namespace tdx::core {

// One file of the main module for code that works on any of them (lookups, import/export).
struct CoreFile {
  const char* label;        // "PRODUCT"
  store::KeyedFile* file;   // the shared file object
  int32_t* used;            // its use counter
};

// Every file above, in label order as listed (AGENCY ... StdComm, then FAXHEAD).
std::span<const CoreFile> core_files();
// The file with this label (any case: "product", "Code_Def"), or null.
const CoreFile* find_core_file(std::string_view label);

// Counter protocol. UseFile: when the counter is 0, open the file shared read/write (create it
// empty when it does not exist; when it is locked, send "Recover=10" and try once more); on
// success add 1. A failure leaves the counter as it was and returns why.
Status UseFile(store::KeyedFile& file, int32_t& used);
inline Status UseFile(const CoreFile& f) { return UseFile(*f.file, *f.used); }
// Subtract 1 and close the file at 0. A counter already at 0 stays 0 (nothing to release).
void ReleaseFile(store::KeyedFile& file, int32_t& used);
inline void ReleaseFile(const CoreFile& f) { ReleaseFile(*f.file, *f.used); }

// Uses a file for a scope: UseFile at construction (see status()), ReleaseFile at destruction
// when the use succeeded.
class FileUse {
 public:
  FileUse(store::KeyedFile& file, int32_t& used) : file_(file), used_(used) {
    status_ = UseFile(file_, used_);
  }
  ~FileUse() {
    if (status_.ok()) ReleaseFile(file_, used_);
  }
  FileUse(const FileUse&) = delete;
  FileUse& operator=(const FileUse&) = delete;
  const Status& status() const { return status_; }

 private:
  store::KeyedFile& file_;
  int32_t& used_;
  Status status_;
};

}  // namespace tdx::core
