// The report procedures a module exports, read from its dynamic symbol table.
//
// A report module exports its procedures as plain C names in capitals (PRODUCTLISTPRINT) and
// hides everything else; the names it imports from the main module are undefined in its table
// and are not counted. ListExports reads the ELF file itself (64-bit, little-endian, the only
// kind this machine loads), so it needs no symbol lookup by guessing.
#pragma once

#include <string>
#include <vector>

#include "runtime/base/status.h"

namespace tdx::host {

// Defined, global or weak functions whose names are capitals and digits (a letter first),
// sorted. A file that is not a readable ELF shared object is an error naming it.
Result<std::vector<std::string>> ListExports(const std::string& path);

}  // namespace tdx::host
