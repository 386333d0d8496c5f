// Every data file of the system, for code that works on all of them (import/export, sample
// data, the declaration tests): the catalog, cross-reference, bid, reference and letter files
// and the fax server's job file.
#pragma once

#include <memory>
#include <vector>

#include "data/bids.h"
#include "data/catalog.h"
#include "data/fax.h"
#include "data/letters.h"
#include "data/reference.h"
#include "data/xref.h"

namespace tdx::data {

// In a fixed order: PRODUCT, MANUF, DISTRI, MFRDIST, MDPRODS, PrinMfr, CusDist, ItmProd,
// HEADBID, SPECSBID, PRODBID, COMPBID, DISTBID, AGENCY, SALESREP, REGIONS, COMP, COMPANY, PBComm,
// StdComm, Code_Def, AWARDLTR, EXTPRLTR, FAXHEAD.
const std::vector<std::shared_ptr<const store::FileDecl>>& all_files();
// The declaration with this label ("PRODUCT", any case), or null.
std::shared_ptr<const store::FileDecl> find_file(std::string_view label);

}  // namespace tdx::data
