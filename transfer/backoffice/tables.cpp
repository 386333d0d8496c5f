#include "transfer/backoffice/tables.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tdx::transfer {
namespace {

using sql::kKeyNocase;
using sql::kKeyPrimary;
using sql::kKeyUnique;
using sql::SqlColumnSpec;
using sql::SqlKeySpec;
using FT = FieldType;

SqlColumnSpec Str(const char* label, uint32_t n, const char* column = nullptr) {
  return {label, FT::String, n, 0, 0, column};
}
SqlColumnSpec CStr(const char* label, uint32_t n) { return {label, FT::CString, n, 0, 0, nullptr}; }
SqlColumnSpec Lng(const char* label) { return {label, FT::Long, 0, 0, 0, nullptr}; }
SqlColumnSpec Dec(const char* label, uint8_t d, uint8_t p, const char* column = nullptr) {
  return {label, FT::Decimal, 0, d, p, column};
}

// Labels of numbered column runs (BRACKET_ID1 ... BRACKET_ID8) must outlive the specs.
const char* numbered(const char* stem, int i) {
  static std::vector<std::unique_ptr<char[]>> names;
  auto p = std::make_unique<char[]>(40);
  std::snprintf(p.get(), 40, "%s%d", stem, i);
  names.push_back(std::move(p));
  return names.back().get();
}

DeclPtr build(const char* label, const char* prefix, const std::vector<SqlColumnSpec>& cols,
              const std::vector<SqlKeySpec>& keys) {
  auto d = sql::build_sql_table(label, label, prefix, cols, keys);
  if (!d.ok()) {
    // A declaration written in this file is wrong: nothing sensible can run.
    std::fprintf(stderr, "%s\n", d.status().ToString().c_str());
    std::abort();
  }
  return *d;
}

std::vector<SqlColumnSpec> items_columns(bool current) {
  std::vector<SqlColumnSpec> c = {
      Lng("AUTOID"), Str("PRIN_CODE", 10), Str("IDCODE", 15, "CODE"), Str("BRAND", 10),
      Str("DESCRIPTION", 45), Lng("PACK"), Dec("SIZE", 7, 2), Str("SIZE_UM", 2), Str("CLASS", 5),
      Str("CATEGORY", 5), Str("UPC", current ? 14 : 12), Str("UM_SOLD_BY", 2),
      Str("UM_PRICE_BY", 2), Dec("GROSS_WEIGHT", 11, 3), Str("GW_UM", 2), Dec("NET_WEIGHT", 11, 3),
      Str("NW_UM", 2), Dec("CUBE", 11, 3, current ? "CubeSize" : nullptr), Dec("HEIGHT", 11, 2),
      Dec("WIDTH", 11, 2), Dec("LENGTH", 11, 2), Lng("UNITS_LAYER"), Lng("NBR_LAYERS"),
      Dec("COMN_RATE", 11, 4), Str("COMN_TYPE", 1), Dec("EQUIV_UNIT", 11, 3),
      Dec("PORTION_SIZE", 11, 2), Str("PORTION_UM", 2), Lng("NBR_PORTIONS"),
      Str("CATCH_WEIGHT", 1), Str("CN_LABEL", 1), Str("BID_ITEM", 1), Str("BIDMAN_XFER", 1),
      Str("PALLET_REQD", 1), Str("UPDATE_CODE", 1), Lng("UPDATE_DATE"), Lng("UPDATE_TIME"),
      Str("PACK_SIZE_TX", 12), Dec("INNER_PACK", 11, 2), Str("DISCONTINUED", 1),
      Str("USERID", 10), Str("OFFICECODE", 10)};
  if (current) {
    c.push_back(Lng("KOSHER"));
    c.push_back(Str("MODIFIEDBY", 10));
    c.push_back(Str("KOSHERGRADE", 25));
  }
  return c;
}

const std::vector<SqlKeySpec> kItemsKeys = {
    {"AUTOKEY", "AUTOID,USERID", kKeyPrimary | kKeyNocase, "IT_AutoKey"},
    {"BY_PRIN_CODE", "PRIN_CODE,IDCODE", kKeyUnique | kKeyNocase, "IT_KeyOvl"},
    {"BY_UPC", "UPC", kKeyNocase, "IT_KeyUpc_Mi"}};

}  // namespace

DeclPtr items_current_decl() {
  static DeclPtr d = build("Items", "ITM1", items_columns(true), kItemsKeys);
  return d;
}

DeclPtr items_older_decl() {
  static DeclPtr d = build("Items", "ITM2", items_columns(false), kItemsKeys);
  return d;
}

DeclPtr principal_decl() {
  static DeclPtr d = [] {
    std::vector<SqlColumnSpec> c = {
        Lng("AUTOID"), Str("IDCODE", 10, "CODE"), Str("NAME", 35), Str("ADR1", 35),
        Str("ADR2", 35), Str("CITY", 20), Str("STATE", 2), Str("ZIP", 10), Lng("START_DATE"),
        Str("CLASS", 4), Str("CATEGORY", 4), Str("COMM_MODE", 3), Str("DFLT_UM", 2),
        Dec("DFLT_CM_RATE", 11, 4), Str("DFLT_CM_TYPE", 1), Lng("TERMS_CODE"), Str("UPC_SYS", 2),
        Str("UPC_MFG", 5), Lng("NBR_BRACKETS")};
    for (int i = 1; i <= 8; ++i) c.push_back(Str(numbered("BRACKET_ID", i), 3));
    for (int i = 1; i <= 8; ++i) c.push_back(Dec(numbered("BRACKET_QTY", i), 11, 2));
    for (const SqlColumnSpec& s : std::vector<SqlColumnSpec>{
             Str("BRACKET_UM", 2), Str("GL_DEPT", 4), Str("BROKER_ID", 10), Lng("MIN_QTY"),
             Str("FRT_PMT_CODE", 2), Str("TRANS_TYPE", 2), Str("PALLET_EXCHG", 1),
             Str("UNIT_LOAD_CD", 2), Str("ROUTING", 35), Str("FOB_PT_CODE", 2),
             Str("FOB_POINT", 30), Str("ACCT_EXEC", 10), Str("ACCT_ADMIN", 10),
             Str("PRIM_CONTACT", 10), Str("OE_SYS_ID", 10), Str("PRIM_SF", 10), Str("BRKG_FOB", 1),
             Str("AR_INVOICE", 1), Str("WHSE_INVEN", 1), Str("CFM_PROG", 8), Str("CFX_PROG", 8),
             Str("CFM_SORT", 1), Str("N101_BT", 2), Str("N101_VN", 2), Str("N101_ST", 2),
             Str("N103_ST", 2), Str("G6805", 2), Str("G6807", 2), Str("CONTRACT_N9", 1),
             Str("G7604", 2), Str("UPDATE_CODE", 1), Lng("UPDATE_DATE"), Lng("UPDATE_TIME"),
             Str("ESL_PROG", 8), Str("UCS_PROG", 8), Str("BRKT_WT_TYPE", 1), Str("USERID", 10),
             Str("OFFICECODE", 10), Lng("NOFAXASSUME"), Str("DEFAULTPRICELIST", 16),
             Lng("UPCLENGTH14"), Str("PHONENBR", 25), Str("FAXNBR", 25), CStr("EMAIL", 101),
             Lng("DISCONTINUED"), Dec("VARIANCEPCT", 11, 2), CStr("EXTRADATA", 101)}) {
      c.push_back(s);
    }
    return build("Principal", "PRN1", c,
                 {{"AUTOKEY", "AUTOID,USERID", kKeyPrimary, "PR_AutoKey"},
                  {"BY_CODE", "IDCODE", kKeyUnique, "PR_KeyCode"},
                  {"BY_ACCT_EXEC", "ACCT_EXEC", 0, "PR_KeyAcct_Exec"},
                  {"BY_ACCT_ADMIN", "ACCT_ADMIN", 0, "PR_KeyAcct_Admin"},
                  {"BY_NAME", "NAME", 0, "PR_KeyName"},
                  {"BY_OE_SYS_ID", "OE_SYS_ID", 0, "PR_KeyOe_Sys_ID"}});
  }();
  return d;
}

DeclPtr customer_decl() {
  static DeclPtr d = build(
      "Customer", "CST1",
      {Lng("AUTOID"), Str("IDCODE", 10, "CODE"), Str("NAME", 35), Str("ADR1", 35), Str("ADR2", 35),
       Str("CITY", 20), Str("STATE", 2), Str("ZIP", 10), Lng("START_DATE"), Str("OE_SYS_ID", 10),
       Str("CLASS", 4), Str("CATEGORY", 4), Str("ORD_CONFIRM", 1), Str("BROKER_CODE", 10),
       Str("PRIM_ST", 10), Str("REGION", 2), Str("ACV_CODE", 10), Str("INV_NOTE", 60),
       Str("SLSPN_CODE", 10), Str("CFM_PROG", 8), Str("FAX_PROG", 8), Str("CFM_SORT", 1),
       Str("UPDATE_CODE", 1), Lng("UPDATE_DATE"), Lng("UPDATE_TIME"), Str("USERID", 10),
       Str("OFFICECODE", 10), Lng("NOFAXASSUME"), Str("PHONENBR", 25), Str("FAXNBR", 25),
       CStr("EMAIL", 101), CStr("EXTRADATA", 101)},
      {{"AUTOKEY", "AUTOID,USERID", kKeyPrimary, "CT_AutoKey"},
       {"BY_CODE", "IDCODE", kKeyUnique, "CT_KeyCode"},
       {"BY_ZIP", "ZIP", 0, "CT_KeyZip"},
       {"BY_NAME", "NAME", 0, "CT_KeyName"},
       {"BY_SYS_ID", "OE_SYS_ID", 0, "CT_KeyOe_Sys_ID"}});
  return d;
}

DeclPtr cst_item_decl() {
  static DeclPtr d = [] {
    std::vector<SqlColumnSpec> c = {Lng("AUTOID"),         Str("CST_CODE", 10), Str("PRN_CODE", 10),
                                    Str("ITM_CODE", 15),   Str("CODE", 15),
                                    Str("CUSTOMER_NAME", 35), Lng("FIRST_SOLD")};
    for (int i = 1; i <= 5; ++i) c.push_back(Lng(numbered("LAST_SOLD", i)));
    for (int i = 1; i <= 5; ++i) c.push_back(Dec(numbered("QTY_SOLD", i), 11, 2));
    for (int i = 1; i <= 5; ++i) c.push_back(Dec(numbered("PRICE_SOLD", i), 11, 4));
    for (const SqlColumnSpec& s :
         std::vector<SqlColumnSpec>{Str("UPDATE_CODE", 1), Lng("UPDATE_DATE"), Lng("UPDATE_TIME"),
                                    Str("DISCONTINUED", 1), Dec("COMM_RATE", 11, 4),
                                    Str("COMM_TYPE", 1), Str("USERID", 10), Str("OFFICECODE", 10)}) {
      c.push_back(s);
    }
    for (int i = 1; i <= 5; ++i) c.push_back(Str(numbered("ORDNBR", i), 10));
    return build("Cst_Item", "CPI1", c,
                 {{"AUTOKEY", "AUTOID,USERID", kKeyPrimary | kKeyNocase, "CTM_AutoKey"},
                  {"BY_CST_PRN_ITEM", "CST_CODE,PRN_CODE,ITM_CODE", kKeyUnique | kKeyNocase,
                   "CTM_KeyCst_Prn_Itm"},
                  {"BY_CST_ITMCODE", "CST_CODE,CODE", kKeyNocase, "CTM_KeyCst_Itm"},
                  {"BY_PRN_ITM_CST", "PRN_CODE,ITM_CODE,CST_CODE", kKeyNocase, "CTM_KeyPrn_Itm"},
                  {"BY_PRN_CST_ITMCODE", "PRN_CODE,CST_CODE,CODE", kKeyNocase,
                   "CTM_KeyPrn_Cst_Itm"}});
  }();
  return d;
}

DeclPtr pr_ct_decl() {
  static DeclPtr d = build(
      "Pr_Ct", "PCT1",
      {Lng("AUTOID"), Str("PRN", 10), Str("SF", 10), Str("CST", 10), Str("ST", 10),
       Str("PRNID", 17), Str("PRICE_MODE", 2), Str("PRICE_LIST", 16), Str("SLSPN_CODE", 10),
       Str("FAX_CONFIRM", 1), Str("CREDIT_HOLD", 1), Dec("ACV", 11, 2), Str("BUYER", 10),
       Str("BROKER_ID", 10), Dec("COMN_RATE", 11, 4), Str("COMN_TYPE", 1), Str("ID_TYPE", 2),
       Str("DEL_NOTE", 60), Str("USERID", 10), Str("OFFICECODE", 10), Lng("PRINTBBONORDERS"),
       Str("BRKG_FOB", 1), Str("TERMS", 4), Lng("NBR_DAYS"), Lng("TERMSCALC")},
      {{"AUTOKEY", "AUTOID,USERID", kKeyPrimary | kKeyNocase, "PCX_AutoKey"},
       {"BY_PRIN_SF_CST_ST", "PRN,SF,CST,ST", kKeyUnique | kKeyNocase, "PCX_KeyPscs"},
       {"BY_PRNID", "PRNID", kKeyNocase, "PCX_KeyPrnID"}});
  return d;
}

DeclPtr prices_decl() {
  static DeclPtr d = [] {
    std::vector<SqlColumnSpec> c = {
        Lng("AUTOID"),     Str("PRN_CODE", 10), Str("PRC_LIST_NBR", 16), Str("ITM_CODE", 15),
        Str("CST_CODE", 10), Lng("START_DATE"), Lng("END_DATE"),        Lng("NBR_BRACKETS"),
        Str("BRACKET_UM", 2)};
    for (int i = 1; i <= 8; ++i) c.push_back(Dec(numbered("PRICE", i), 11, 4));
    for (int i = 1; i <= 8; ++i) c.push_back(Str(numbered("BRACKET_ID", i), 3));
    for (int i = 1; i <= 8; ++i) c.push_back(Lng(numbered("BRACKET_QTY", i)));
    for (const SqlColumnSpec& s : std::vector<SqlColumnSpec>{
             Dec("COMN_RATE", 11, 4), Str("COMN_TYPE", 1), Str("UM_PRICE_BY", 2),
             Str("UPDATE_CODE", 1), Lng("UPDATE_DATE"), Lng("UPDATE_TIME"), Str("USERID", 10),
             Str("OFFICECODE", 10)}) {
      c.push_back(s);
    }
    return build("Prices", "PRC1", c,
                 {{"AUTOKEY", "AUTOID,USERID", kKeyPrimary | kKeyNocase, "PC_AutoKey"},
                  {"BY_PRIN_LIST_ITEM", "PRN_CODE,PRC_LIST_NBR,ITM_CODE,CST_CODE,START_DATE",
                   kKeyUnique | kKeyNocase, "PC_KeyPic_Ovl"},
                  {"KEYPRN_ITM", "PRN_CODE,ITM_CODE", kKeyNocase, "PC_KeyPrn_Itm"}});
  }();
  return d;
}

DeclPtr contacts_decl() {
  static DeclPtr d = build(
      "Contacts", "CON1",
      {Lng("AUTOID"), Str("USERID", 10), Str("ORG_TYPE", 2), Str("ORG_CODE", 10),
       Str("IDCODE", 10, "CODE"), Str("NAME", 35), Str("ADR1", 35), Str("ADR2", 35),
       Str("CITY", 20), Str("STATE", 2), Str("ZIP", 10), Str("COUNTRY", 10), Str("TITLE", 30),
       Str("FUNCTION_CDE", 4), Str("SALUTATION", 4), Str("DEAR", 30), Str("NOTE", 70),
       Str("INITIALS", 3), Str("LABEL_NAME", 1), Str("UPDATE_CODE", 1), Lng("UPDATE_DATE"),
       Lng("UPDATE_TIME"), Str("OFFICECODE", 10), Str("PHONENBR", 25), Str("FAXNBR", 25),
       CStr("EMAIL", 101), CStr("EXTRADATA", 101)},
      {{"AUTOKEY", "AUTOID,USERID", kKeyPrimary, "CN_AutoKey"},
       {"BY_ORG_TYPE_CODE", "ORG_TYPE,ORG_CODE,IDCODE", kKeyUnique, "CN_KeyToc"}});
  return d;
}

DeclPtr codedefs_decl() {
  static DeclPtr d = build(
      "CodeDefs", "COD1",
      {Lng("AUTOID"), Str("ID", 4), Str("VALUE", 4), Str("DESCRIPTION", 60), Str("UPDATE_CODE", 1),
       Lng("UPDATE_DATE"), Lng("UPDATE_TIME"), Str("USERID", 10), Str("OFFICECODE", 10)},
      {{"AUTOKEY", "AUTOID,USERID", kKeyPrimary, "CDE_AutoKey"},
       {"BY_ID_VALUE", "ID,VALUE", kKeyUnique, "CDE_KeyCode_Value"},
       {"BY_ID", "ID", 0, "CDE_Key_ID"},
       {"BY_VALUE", "VALUE", 0, "CDE_KeyValue"}});
  return d;
}

}  // namespace tdx::transfer
