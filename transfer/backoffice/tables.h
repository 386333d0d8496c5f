// The back-office (Granvel) tables as the transfer program declares them: columns in order with
// their field types and sizes, SQL column names where they differ from the field labels, and
// the keys with the database's index names.
//
// Two declarations of Items exist: the current layout (ITM1, with KOSHER, MODIFIEDBY and
// KOSHERGRADE, UPC of 14, cube in column CubeSize) and the older one (ITM2, UPC of 12, column
// CUBE, without the three). A table opens only when it has every declared column, so opening
// the current layout first and the older one after tells the two apart.
//
// Each function builds its declaration once and returns the same shared object afterwards.
#pragma once

#include <memory>

#include "runtime/sql/table_decl.h"

namespace tdx::transfer {

using DeclPtr = std::shared_ptr<const sql::SqlTableDecl>;

DeclPtr items_current_decl();  // ITM1
DeclPtr items_older_decl();    // ITM2
DeclPtr principal_decl();      // PRN1
DeclPtr customer_decl();       // CST1
DeclPtr cst_item_decl();       // CPI1
DeclPtr pr_ct_decl();          // PCT1
DeclPtr prices_decl();         // PRC1
DeclPtr contacts_decl();       // CON1
DeclPtr codedefs_decl();       // COD1

}  // namespace tdx::transfer
