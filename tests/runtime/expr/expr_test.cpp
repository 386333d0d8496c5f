// Bound names, filter expressions and filter texts.
//
// The central table runs every filter and join condition text the reports use against a small
// fixture of five bid rows (a product line with its specification line, bid header, agency,
// product, competitor bid and cross-reference fields) and checks which rows each selects.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "runtime/expr/bound_names.h"
#include "runtime/expr/expression.h"
#include "runtime/expr/filter_text.h"
#include "runtime/text/str.h"

namespace tdx {
namespace {

// One row of the fixture: every field the filter texts read.
struct Row {
  const char* pro_bid;
  const char* pro_line;
  const char* pro_manufac;
  const char* pro_pbcode;
  const char* pro_division;
  const char* pro_award;
  int16_t pro_serve;
  const char* pro_pack;
  const char* pro_net;
  const char* pro_mfrref;
  uint8_t pro_extterm;
  const char* spe_bid;
  const char* spe_line;
  uint8_t spe_branded;
  const char* hea_bid;
  const char* hea_minority;
  int32_t hea_date_recd;
  int32_t hea_open_date;
  const char* hea_agency;
  const char* hea_salesrep;
  uint8_t hea_escalation;
  uint8_t hea_nonprofit;
  const char* hea_bidtype;
  const char* age_name;
  const char* age_typesize;
  const char* prd_manufac;
  const char* prd_code;
  const char* cob_award;
  const char* mdp_manuf;
  const char* mdp_distr;
  const char* mdp_pcode;
  const char* man_name;
  const char* awa_agency;
};

// clang-format off
const Row kRows[] = {
  // 0: bid B1 line 1, ACME product awarded, branded, minority, extension terms
  {"B1", "1", "ACME FOODS", "A100", "FROZEN", "Y", 1, "6/10", "BB", "R1", 1,
   "B1", "1", 1, "B1", "Y", 80000, 80010, "CITY SCHOOLS", "JONES", 1, 0, "ANN",
   "CITY SCHOOLS", "LG", "ACME FOODS", "A100", "N", "ACME FOODS", "SYSCO", "A100", "ACME FOODS",
   "CITY SCHOOLS"},
  // 1: bid B1 line 2, BETA product not awarded, competitor awarded, product not on file
  {"B1", "2", "BETA MILLS", "B200", "DRY", "N", 0, "12/1", "OI", "R2", 0,
   "B1", "2", 0, "B1", "Y", 80000, 80010, "CITY SCHOOLS", "JONES", 1, 0, "ANN",
   "CITY SCHOOLS", "LG", "", "", "Y", "BETA MILLS", "US FOODS", "B200", "",
   "COUNTY JAIL"},
  // 2: bid b1 (lower case) line 1, ACME, nothing awarded, specification line missing
  {"b1", "1", "ACME FOODS", "A100", "FROZEN", "N", 0, "6/10", "BB", "", 0,
   "", "", 0, "b1", "N", 80050, 80060, "COUNTY JAIL", "SMITH", 0, 1, "EMER",
   "COUNTY JAIL", "SM", "ACME FOODS", "A100", "N", "ACME FOODS", "US FOODS", "A100", "ACME FOODS",
   ""},
  // 3: bid B2 line 7, ACME, awarded, not minority, extension terms
  {"B2", "7", "ACME FOODS", "A200", "DRY", "Y", 1, "4/5", "P", "R7", 1,
   "B2", "7", 1, "B2", "N", 80100, 80110, "STATE UNIV", "JONES", 0, 1, "ANN",
   "STATE UNIV", "LG", "ACME FOODS", "A200", "Y", "BETA MILLS", "SYSCO", "B201", "ACME FOODS",
   "STATE UNIV"},
  // 4: bid B2 line 8, another brand's line whose product code differs from the catalog's
  {"B2", "8", "Acme Foods", "A300", "DRY", "N", 0, "4/5", "Z", "", 0,
   "B2", "9", 0, "B2", "N", 80100, 80110, "STATE UNIV", "JONES", 0, 1, "ANN",
   "", "", "Acme Foods", "A301", "N", "ACME FOODS", "SYSCO", "A300", "",
   ""},
};
// clang-format on

// The record buffers and globals that names are bound to.
struct Vars {
  Str<24> pro_bid;
  Str<12> pro_line;
  Str<36> pro_manufac;
  Str<14> pro_pbcode;
  Str<12> pro_division;
  Str<1> pro_award;
  int16_t pro_serve = 0;
  Str<14> pro_pack;
  Str<3> pro_net;
  Str<10> pro_mfrref;
  uint8_t pro_extterm = 0;
  Str<24> spe_bid;
  Str<12> spe_line;
  uint8_t spe_branded = 0;
  Str<24> hea_bid;
  Str<1> hea_minority;
  int32_t hea_date_recd = 0;
  int32_t hea_open_date = 0;
  Str<36> hea_agency;
  Str<36> hea_salesrep;
  uint8_t hea_escalation = 0;
  uint8_t hea_nonprofit = 0;
  Str<4> hea_bidtype;
  std::string hea_notes;
  Str<36> age_name;
  Str<2> age_typesize;
  Str<36> prd_manufac;
  Str<14> prd_code;
  Str<1> cob_award;
  Str<24> cob_bid;
  Str<12> cob_line;
  Str<36> mdp_manuf;
  Str<36> mdp_distr;
  Str<14> mdp_pcode;
  Str<36> man_name;
  Str<36> awa_agency;
  // globals
  Str<24> g_bid;
  Str<36> g_manufac;
  Str<14> g_prodcode;
  Str<12> g_division;
  Str<36> g_distributor;
  Str<14> g_packsize;
  Str<3> g_bidprice;
  Str<36> g_agency;
  Str<2> g_agetypesize;
  Str<36> g_salesrep;
  Str<4> g_bidtype;
  Str<10> g_mfrref;
  int16_t g_newspeconly = 0;
  int32_t begin1 = 0, end1 = 0;
  char loc_cstring[21] = {};
  double g_real = 0;

  void load(const Row& r) {
    pro_bid = r.pro_bid;
    pro_line = r.pro_line;
    pro_manufac = r.pro_manufac;
    pro_pbcode = r.pro_pbcode;
    pro_division = r.pro_division;
    pro_award = r.pro_award;
    pro_serve = r.pro_serve;
    pro_pack = r.pro_pack;
    pro_net = r.pro_net;
    pro_mfrref = r.pro_mfrref;
    pro_extterm = r.pro_extterm;
    spe_bid = r.spe_bid;
    spe_line = r.spe_line;
    spe_branded = r.spe_branded;
    hea_bid = r.hea_bid;
    hea_minority = r.hea_minority;
    hea_date_recd = r.hea_date_recd;
    hea_open_date = r.hea_open_date;
    hea_agency = r.hea_agency;
    hea_salesrep = r.hea_salesrep;
    hea_escalation = r.hea_escalation;
    hea_nonprofit = r.hea_nonprofit;
    hea_bidtype = r.hea_bidtype;
    age_name = r.age_name;
    age_typesize = r.age_typesize;
    prd_manufac = r.prd_manufac;
    prd_code = r.prd_code;
    cob_award = r.cob_award;
    cob_bid = r.spe_bid;
    cob_line = r.spe_line;
    mdp_manuf = r.mdp_manuf;
    mdp_distr = r.mdp_distr;
    mdp_pcode = r.mdp_pcode;
    man_name = r.man_name;
    awa_agency = r.awa_agency;
  }
};

template <size_t N>
VarRef S(Str<N>& s) {
  return VarRef::String(s.data(), N);
}

// Owner tags: one per file, as views pass their record buffers.
int kPro, kSpe, kHea, kAge, kPrd, kCob, kMdp, kMan, kAwa;

void bind_fixture(BoundNames& names, Vars& v) {
  auto b = [&](const char* name, VarRef ref, const void* owner = nullptr) {
    ASSERT_TRUE(names.bind(name, ref, owner).ok()) << name;
  };
  b("PRO:BID_ID", S(v.pro_bid), &kPro);
  b("PRO:LINE_NUM", S(v.pro_line), &kPro);
  b("PRO:MANUFAC", S(v.pro_manufac), &kPro);
  b("PRO:PBCODE", S(v.pro_pbcode), &kPro);
  b("PRO:PROD_DIVISON", S(v.pro_division), &kPro);
  b("PRO:AWARD_FLAG", S(v.pro_award), &kPro);
  b("PRO:SERVE", VarRef::Short(&v.pro_serve), &kPro);
  b("PRO:PACK", S(v.pro_pack), &kPro);
  b("PRO:NET", S(v.pro_net), &kPro);
  b("PRO:MFR_REFNUM", S(v.pro_mfrref), &kPro);
  b("PRO:EXTTERM", VarRef::Byte(&v.pro_extterm), &kPro);
  b("SPE:BID_ID", S(v.spe_bid), &kSpe);
  b("SPE:LINE_NUM", S(v.spe_line), &kSpe);
  b("SPE:BRANDED", VarRef::Byte(&v.spe_branded), &kSpe);
  b("HEA:BID_ID", S(v.hea_bid), &kHea);
  b("HEA:MINIOR_BID", S(v.hea_minority), &kHea);
  b("HEA:DATE_RECD", VarRef::Long(&v.hea_date_recd), &kHea);
  b("HEA:OPEN_DATE", VarRef::Long(&v.hea_open_date), &kHea);
  b("HEA:BID_AGENCY", S(v.hea_agency), &kHea);
  b("HEA:SALES_REP", S(v.hea_salesrep), &kHea);
  b("HEA:ESCALATION", VarRef::Byte(&v.hea_escalation), &kHea);
  b("HEA:NONPROFIT", VarRef::Byte(&v.hea_nonprofit), &kHea);
  b("HEA:BIDTYPE", S(v.hea_bidtype), &kHea);
  b("HEA:NOTES", VarRef::Memo(&v.hea_notes, 240), &kHea);
  b("AGE:AGENCY_NAME", S(v.age_name), &kAge);
  b("AGE:TYPE_SIZE", S(v.age_typesize), &kAge);
  b("PRD:MANUFAC", S(v.prd_manufac), &kPrd);
  b("PRD:PROD_CODE", S(v.prd_code), &kPrd);
  b("COB:AWARD_FLAG", S(v.cob_award), &kCob);
  b("COB:BID_ID", S(v.cob_bid), &kCob);
  b("COB:LINE_NUM", S(v.cob_line), &kCob);
  b("MDP:MANUF", S(v.mdp_manuf), &kMdp);
  b("MDP:DISTR", S(v.mdp_distr), &kMdp);
  b("MDP:MANUF_PCODE", S(v.mdp_pcode), &kMdp);
  b("MAN:MANUF_NAME", S(v.man_name), &kMan);
  b("AWA:AGENCY", S(v.awa_agency), &kAwa);
  // globals and locals, bound as the reports spell them
  b("Glo:BID_ID", S(v.g_bid));
  b("Glo:Manufac", S(v.g_manufac));
  b("Glo:ProdCode", S(v.g_prodcode));
  b("Glo:Division", S(v.g_division));
  b("Glo:Distributor", S(v.g_distributor));
  b("Glo:PackSize", S(v.g_packsize));
  b("Glo:BidPrice", S(v.g_bidprice));
  b("Glo:Agency", S(v.g_agency));
  b("Glo:AgeTypeSize", S(v.g_agetypesize));
  b("GLO:SalesRep", S(v.g_salesrep));
  b("GLO:BidType", S(v.g_bidtype));
  b("Glo:MfrRef", S(v.g_mfrref));
  b("GLO:NewSpecOnly", VarRef::Short(&v.g_newspeconly));
  b("BeginDate1", VarRef::Long(&v.begin1));
  b("EndDate1", VarRef::Long(&v.end1));
  b("LOC:CNAME", VarRef::CString(v.loc_cstring, sizeof v.loc_cstring));
  b("LOC:REAL", VarRef::Real(&v.g_real));
}

class ExprTest : public ::testing::Test {
 protected:
  void SetUp() override { bind_fixture(names_, v_); }

  // Sets globals from "name=value;name=value" (dates as numbers).
  void set_globals(const std::string& assignments) {
    size_t pos = 0;
    while (pos < assignments.size()) {
      size_t end = assignments.find(';', pos);
      if (end == std::string::npos) end = assignments.size();
      std::string item = assignments.substr(pos, end - pos);
      size_t eq = item.find('=');
      const BoundName* b = names_.find(item.substr(0, eq));
      ASSERT_NE(b, nullptr) << item;
      ASSERT_TRUE(b->ref.set(Value(item.substr(eq + 1))).ok()) << item;
      pos = end + 1;
    }
  }

  // Which rows the text selects, as a string of 0/1 per row.
  std::string selection(const std::string& text) {
    Result<Expression> e = Expression::Compile(text, names_);
    if (!e.ok()) return "error: " + e.status().text();
    std::string out;
    for (const Row& r : kRows) {
      v_.load(r);
      out += e->test() ? '1' : '0';
    }
    return out;
  }

  BoundNames names_;
  Vars v_;
};

struct FilterCase {
  const char* text;
  const char* globals;
  const char* selected;  // one 0/1 per fixture row
};

// clang-format off
const FilterCase kFilterCases[] = {
  // The product list: a brand, or no filter at all.
  {"PRD:MANUFAC = Glo:Manufac", "Glo:Manufac=ACME FOODS", "10110"},
  {"", "", "11111"},
  // Cross reference: both selections always applied; its join condition.
  {"MDP:MANUF = Glo:Manufac and MDP:DISTR = Glo:Distributor",
   "Glo:Manufac=ACME FOODS;Glo:Distributor=SYSCO", "10001"},
  {"MDP:MANUF = Glo:Manufac and MDP:DISTR = Glo:Distributor", "Glo:Manufac=ACME FOODS", "00000"},
  {"PRD:MANUFAC=MDP:MANUF AND PRD:PROD_CODE=MDP:MANUF_PCODE", "", "10100"},
  // Award summary: the two award joins and the filter with minority and branded pieces.
  {"PRO:AWARD_FLAG = 'Y' AND PRO:BID_ID=SPE:BID_ID AND PRO:LINE_NUM=SPE:LINE_NUM", "", "10010"},
  {"COB:AWARD_FLAG = 'Y' AND COB:BID_ID=SPE:BID_ID AND COB:LINE_NUM=SPE:LINE_NUM", "", "01010"},
  {"SPE:BID_ID = Glo:BID_ID and (COB:AWARD_FLAG = 'Y' or PRO:AWARD_FLAG = 'Y')",
   "Glo:BID_ID=B1", "11000"},
  {"SPE:BID_ID = Glo:BID_ID and (COB:AWARD_FLAG = 'Y' or PRO:AWARD_FLAG = 'Y') and "
   "HEA:MINIOR_BID = 'Y' and SPE:BRANDED", "Glo:BID_ID=B1", "10000"},
  // Distributor quote, brand letters, price authorizations: bid plus optional pieces.
  {"PRO:BID_ID = Glo:BID_ID", "Glo:BID_ID=B1", "11000"},
  {"PRO:BID_ID = GLO:Bid_ID and PRO:MANUFAC = Glo:Manufac and HEA:MINIOR_BID = 'Y'",
   "Glo:BID_ID=B1;Glo:Manufac=ACME FOODS", "10000"},
  {"PRO:BID_ID = Glo:BID_ID and PRO:Manufac = Glo:Manufac and PRO:PBCODE = Glo:ProdCode and "
   "PRO:PROD_DIVISON = Glo:Division and HEA:MINIOR_BID = 'Y' and SPE:BRANDED",
   "Glo:BID_ID=B1;Glo:Manufac=ACME FOODS;Glo:ProdCode=A100;Glo:Division=FROZEN", "10000"},
  {"PRO:BID_ID = Glo:BID_ID and PRO:MANUFAC = Glo:Manufac and PRO:ExtTerm",
   "Glo:BID_ID=B2;Glo:Manufac=ACME FOODS", "00010"},
  {"PRO:BID_ID = Glo:BID_ID and PRO:ExtTerm and PRO:MANUFAC = GLO:Manufac",
   "Glo:BID_ID=B1;Glo:Manufac=ACME FOODS", "10000"},
  // Blanket bid, merchandising and special quote joins.
  {"PRD:MANUFAC=PRO:MANUFAC AND PRD:PROD_CODE=PRO:PBCODE", "", "10110"},
  {"SPE:BID_ID=PRO:BID_ID AND SPE:LINE_NUM=PRO:LINE_NUM", "", "11010"},
  {"HEA:BID_ID=PRO:BID_ID", "", "11111"},
  {"MAN:MANUF_NAME=PRO:MANUFAC", "", "10110"},
  // Merchandising: the bid id regardless of case, alone and with its optional text.
  {"UPPER(PRO:BID_ID) = UPPER(Glo:BID_ID)", "Glo:BID_ID=b1", "11100"},
  {"PRO:BID_ID = Glo:BID_ID", "Glo:BID_ID=b1", "00100"},
  {"UPPER(PRO:BID_ID) = UPPER(Glo:BID_ID) AND  HEA:MINIOR_BID = 'Y' and SPE:BRANDED and "
   "PRO:PBCODE = Glo:ProdCode and PRO:ExtTerm", "Glo:BID_ID=b1;Glo:ProdCode=A100", "10000"},
  // Bid listing: header conditions with date ranges ("=>" is ">=").
  {"HEA:DATE_RECD => BeginDate1 and HEA:DATE_RECD <= EndDate1", "BeginDate1=80000;EndDate1=80050",
   "11100"},
  {"HEA:OPEN_DATE => BeginDate1 and HEA:OPEN_DATE <= EndDate1", "BeginDate1=80060;EndDate1=90000",
   "00111"},
  {"HEA:DATE_RECD => BeginDate1 and HEA:DATE_RECD <= EndDate1 and HEA:BID_ID = Glo:BID_ID and "
   "HEA:BID_AGENCY = Glo:Agency and HEA:MINIOR_BID = 'Y' and HEA:SALES_REP = GLO:SalesRep and "
   "HEA:Escalation = 1 and HEA:BidType = GLO:BidType",
   "BeginDate1=1;EndDate1=99999;Glo:BID_ID=B1;Glo:Agency=CITY SCHOOLS;GLO:SalesRep=JONES;"
   "GLO:BidType=ANN", "11000"},
  {"HEA:DATE_RECD => BeginDate1 and HEA:DATE_RECD <= EndDate1 and HEA:NonProfit = 1",
   "BeginDate1=1;EndDate1=99999", "00111"},
  // Bid summary and detail product listing: line conditions, spelled in mixed case.
  {"HEA:OPEN_DATE => BeginDate1 and HEA:OPEN_DATE <= EndDate1 and PRO:BID_ID = Glo:BID_ID and "
   "PRO:Manufac = Glo:Manufac and AGE:Type_Size = Glo:AgeTypeSize and "
   "PRO:SERVE = GLO:NewSpecOnly and Pro:Pack = Glo:PackSize and PRO:PBCode = Glo:ProdCode and "
   "PRO:PROD_DIVISON = Glo:Division and PRO:Net = Glo:BidPrice",
   "BeginDate1=1;EndDate1=99999;Glo:BID_ID=B2;Glo:Manufac=ACME FOODS;Glo:AgeTypeSize=LG;"
   "GLO:NewSpecOnly=1;Glo:PackSize=4/5;Glo:ProdCode=A200;Glo:Division=DRY;Glo:BidPrice=P",
   "00010"},
  {"HEA:DATE_RECD => BeginDate1 and HEA:DATE_RECD <= EndDate1 and HEA:SALES_REP = GLO:SalesRep",
   "BeginDate1=80000;EndDate1=80100;GLO:SalesRep=SMITH", "00100"},
  // Bid detail listing: header filter, agency join, line filter with a quoted bid id.
  {"HEA:BID_ID = Glo:BID_ID and HEA:DATE_RECD => BeginDate1 and HEA:DATE_RECD <= EndDate1",
   "Glo:BID_ID=B2;BeginDate1=1;EndDate1=99999", "00011"},
  {"AGE:AGENCY_NAME=HEA:BID_AGENCY", "", "11110"},
  {"PRO:BID_ID=SPE:BID_ID AND PRO:LINE_NUM=SPE:LINE_NUM", "", "11010"},
  {"SPE:BID_ID = 'B2                      ' and PRO:Manufac = Glo:Manufac and PRO:SERVE = 1",
   "Glo:Manufac=ACME FOODS", "00010"},
  // Award analysis: manufacturer reference, branded in parentheses, non-profit.
  {"HEA:DATE_RECD => BeginDate1 and HEA:DATE_RECD <= EndDate1 and SPE:BID_ID = Glo:BID_ID and "
   "PRO:MFR_REFNUM = Glo:MfrRef and (SPE:Branded)",
   "BeginDate1=1;EndDate1=99999;Glo:BID_ID=B1;Glo:MfrRef=R1", "10000"},
  {"(SPE:Branded) and HEA:NonProfit = 1", "", "00010"},
  // Special quote: one fixed filter, with and without a brand.
  {"PRO:BID_ID=GLO:BID_ID AND (GLO:MANUFAC='' OR (GLO:MANUFAC<>'' AND PRO:MANUFAC=GLO:MANUFAC))",
   "Glo:BID_ID=B2", "00011"},
  {"PRO:BID_ID=GLO:BID_ID AND (GLO:MANUFAC='' OR (GLO:MANUFAC<>'' AND PRO:MANUFAC=GLO:MANUFAC))",
   "Glo:BID_ID=B2;Glo:Manufac=ACME FOODS", "00010"},
  // Letters: the agency of the letter.
  {"AGE:AGENCY_NAME=AWA:AGENCY", "", "10011"},  // two blanks are equal
};
// clang-format on

TEST_F(ExprTest, FilterTextsOfTheReportsSelectTheRightRows) {
  for (const FilterCase& c : kFilterCases) {
    // Every case starts from blank globals.
    v_.g_bid = "";
    v_.g_manufac = "";
    v_.g_prodcode = "";
    v_.g_division = "";
    v_.g_distributor = "";
    v_.g_packsize = "";
    v_.g_bidprice = "";
    v_.g_agency = "";
    v_.g_agetypesize = "";
    v_.g_salesrep = "";
    v_.g_bidtype = "";
    v_.g_mfrref = "";
    v_.g_newspeconly = 0;
    v_.begin1 = v_.end1 = 0;
    set_globals(c.globals);
    EXPECT_EQ(selection(c.text), c.selected) << c.text << "  [" << c.globals << "]";
  }
}

// Operators, literals and functions, each against the same record.
struct ValueCase {
  const char* text;
  bool truth;
};

TEST_F(ExprTest, OperatorsLiteralsAndFunctions) {
  v_.load(kRows[0]);
  std::strcpy(v_.loc_cstring, "abc");
  v_.g_real = 2.5;
  v_.hea_notes = "call before noon";
  // clang-format off
  const ValueCase cases[] = {
    {"PRO:MANUFAC = 'ACME FOODS'", true},
    {"PRO:MANUFAC = 'ACME FOODS    '", true},      // trailing blanks do not count
    {"PRO:MANUFAC = ' ACME FOODS'", false},        // leading blanks do
    {"PRO:MANUFAC = 'acme foods'", false},         // case counts ...
    {"UPPER('acme foods') = PRO:MANUFAC", true},   // ... unless a function folds it
    {"LOWER(PRO:MANUFAC) = 'acme foods'", true},
    {"PRO:MANUFAC <> 'ACME'", true},
    {"PRO:MANUFAC ~= 'ACME'", true},
    {"PRO:MANUFAC > 'ACME'", true},
    {"PRO:MANUFAC < 'B'", true},
    {"HEA:DATE_RECD >= 80000 and HEA:DATE_RECD <= 80000", true},
    {"HEA:DATE_RECD => 80001", false},
    {"HEA:DATE_RECD =< 80000", true},
    {"HEA:DATE_RECD > 79999.5", true},
    {"HEA:DATE_RECD = '80000'", true},             // text against number: converted
    {"PRO:SERVE = ' 1 '", true},
    {"PRO:SERVE = 'abc'", false},                  // "abc" converts to 0
    {"HEA:NONPROFIT = 'abc'", true},
    {"'10' > '9'", false},                         // two texts compare as texts
    {"10 > 9", true},
    {"-3 < 0", true},
    {".5 = 0.50", true},
    {"PRO:ExtTerm", true},
    {"HEA:NonProfit", false},
    {"not HEA:NonProfit", true},
    {"~HEA:NonProfit", true},
    {"NOT PRO:BID_ID = 'B1'", false},              // not applies to the comparison
    {"not not PRO:ExtTerm", true},
    {"HEA:NonProfit or PRO:ExtTerm and SPE:BRANDED", true},   // and before or
    {"(HEA:NonProfit or PRO:ExtTerm) and HEA:NonProfit", false},
    {"Glo:Manufac", false},                        // a blank text is false
    {"PRO:Manufac", true},
    {"'It''s' = 'It''s'", true},
    {"LEN('It''s') = 4", true},
    {"CLIP(PRO:MANUFAC) = 'ACME FOODS'", true},
    {"LEN(CLIP(PRO:MANUFAC)) = 10", true},
    {"LEN(PRO:MANUFAC) = 36", true},
    {"SUB(PRO:MANUFAC, 6, 5) = 'FOODS'", true},
    {"SUB(PRO:MANUFAC, 0, 3) = 'AC'", true},
    {"SUB(PRO:MANUFAC, 40, 3) = ''", true},
    {"INSTRING('FOODS', PRO:MANUFAC) = 6", true},
    {"INSTRING('X', PRO:MANUFAC, 1, 1) = 0", true},
    {"LEFT('  ab') = 'ab'", true},
    {"INT(2.9) = 2 and ABS(-4) = 4", true},
    {"TODAY() > 0", true},
    {"LOC:CNAME = 'abc'", true},                   // CSTRING: up to its zero byte
    {"LEN(LOC:CNAME) = 3", true},
    {"LOC:REAL = 2.5 and LOC:REAL > 2", true},
    {"INSTRING('noon', HEA:NOTES) = 13", true},    // a memo
    {"upper(pro:manufac) = 'ACME FOODS' AND Pro:Bid_Id = 'B1'", true},
    {"UPPER(5) = '5'", true},
    {"  ", true},                                  // blank text: no filter
  };
  // clang-format on
  for (const ValueCase& c : cases) {
    Result<Expression> e = Expression::Compile(c.text, names_);
    ASSERT_TRUE(e.ok()) << c.text << ": " << e.status().ToString();
    EXPECT_EQ(e->test(), c.truth) << c.text;
  }
}

struct ErrorCase {
  const char* text;
  int code;
  const char* message;  // the whole error text
};

TEST_F(ExprTest, BadTextsAreErrorsNamingTheTextAndPlace) {
  // clang-format off
  const ErrorCase cases[] = {
    {"PRO:BID_ID = Glo:BIDX", kExprUnknownName,
     "Bad expression \"PRO:BID_ID = Glo:BIDX\" at 14: the name \"Glo:BIDX\" is not bound"},
    {"PRO:BID_ID = ", kExprSyntax,
     "Bad expression \"PRO:BID_ID = \" at 14: operand expected at the end"},
    {"PRO:BID_ID = 'B1", kExprSyntax,
     "Bad expression \"PRO:BID_ID = 'B1\" at 14: text without its closing quote"},
    // A bid id with an apostrophe pasted into a literal breaks the line filter.
    {"SPE:BID_ID = 'O'HARA 1                ' and PRO:SERVE = 1", kExprSyntax,
     "Bad expression \"SPE:BID_ID = 'O'HARA 1                ' and PRO:SERVE = 1\" at 17: "
     "unexpected \"HARA\""},
    {"(PRO:SERVE = 1", kExprSyntax, "Bad expression \"(PRO:SERVE = 1\" at 15: \")\" expected"},
    {"PRO:SERVE = 1)", kExprSyntax, "Bad expression \"PRO:SERVE = 1)\" at 14: unexpected \")\""},
    {"PRO:SERVE = = 1", kExprSyntax,
     "Bad expression \"PRO:SERVE = = 1\" at 13: operand expected before \"=\""},
    {"PRO:SERVE = 1 = 1", kExprSyntax,
     "Bad expression \"PRO:SERVE = 1 = 1\" at 15: a comparison cannot follow a comparison; "
     "use and/or"},
    {"PRO:SERVE and", kExprSyntax,
     "Bad expression \"PRO:SERVE and\" at 14: operand expected at the end"},
    {"FOO(PRO:SERVE)", kExprSyntax,
     "Bad expression \"FOO(PRO:SERVE)\" at 1: unknown function \"FOO\""},
    {"UPPER(PRO:PACK, 1)", kExprSyntax,
     "Bad expression \"UPPER(PRO:PACK, 1)\" at 1: UPPER takes 1 argument(s), not 2"},
    {"PRO:SERVE # 1", kExprSyntax,
     "Bad expression \"PRO:SERVE # 1\" at 11: unexpected character \"#\""},
    {"PRO:SERVE = 1.2.3", kExprSyntax,
     "Bad expression \"PRO:SERVE = 1.2.3\" at 13: malformed or too large number \"1.2.3\""},
    {"PRO:SERVE = 12abc", kExprSyntax,
     "Bad expression \"PRO:SERVE = 12abc\" at 15: malformed number"},
  };
  // clang-format on
  for (const ErrorCase& c : cases) {
    Result<Expression> e = Expression::Compile(c.text, names_);
    ASSERT_FALSE(e.ok()) << c.text;
    EXPECT_EQ(e.status().code(), c.code) << c.text;
    EXPECT_EQ(e.status().text(), c.message);
  }
  // Nesting beyond what evaluation can afford is refused, not crashed on.
  std::string deep(5000, '(');
  EXPECT_EQ(Expression::Compile(deep + "1" + std::string(5000, ')'), names_).status().code(),
            kExprSyntax);
  std::string chain = "PRO:SERVE";
  for (int i = 0; i < 3000; ++i) chain += " and PRO:SERVE";
  EXPECT_EQ(Expression::Compile(chain, names_).status().code(), kExprSyntax);
}

TEST_F(ExprTest, TermsShowWhichEqualitiesPinAFile) {
  Result<Expression> e = Expression::Compile(
      "PRO:BID_ID = Glo:BID_ID and HEA:MINIOR_BID = 'Y' and UPPER(PRO:MANUFAC) = "
      "UPPER(Glo:Manufac) and PRO:LINE_NUM = SPE:LINE_NUM and PRO:PACK = PRO:PBCODE and "
      "(PRO:SERVE = 1 or PRO:NET = 'P') and UPPER(PRO:NET) = 'P'",
      names_);
  ASSERT_TRUE(e.ok()) << e.status().ToString();
  // Groups by address: 0 the product line's fields, 1 the specification line's, 2 the header's.
  auto in = [](const VarRef& r, const void* lo, const void* hi) {
    return r.ptr >= lo && r.ptr <= hi;
  };
  Expression::Classifier classify = [&](const VarRef& r) {
    if (in(r, &v_.pro_bid, &v_.pro_extterm)) return 0;
    if (in(r, &v_.spe_bid, &v_.spe_branded)) return 1;
    if (in(r, &v_.hea_bid, &v_.hea_notes)) return 2;
    return -1;
  };
  std::vector<Expression::Term> t = e->terms(classify);
  ASSERT_EQ(t.size(), 7u);
  EXPECT_EQ(t[0].groups, 1u);
  EXPECT_EQ(t[0].pins[0].group, 0);
  EXPECT_EQ(t[0].pins[0].field.ptr, v_.pro_bid.data());
  EXPECT_EQ(t[0].pins[1].group, -1);
  v_.g_bid = "B9";
  EXPECT_EQ(e->value_of(t[0].pins[0].other).text(), std::string("B9") + std::string(22, ' '));
  EXPECT_EQ(t[1].groups, 4u);  // the header's
  EXPECT_EQ(t[1].pins[0].group, 2);
  EXPECT_EQ(t[2].pins[0].group, 0);
  EXPECT_TRUE(t[2].pins[0].folds_case);
  // Product line against specification line: a pin for each side.
  EXPECT_EQ(t[3].groups, 3u);
  EXPECT_EQ(t[3].pins[0].group, 0);
  EXPECT_EQ(t[3].pins[1].group, 1);
  EXPECT_EQ(t[3].pins[1].field.ptr, v_.spe_line.data());
  EXPECT_EQ(t[4].pins[0].group, -1);  // both sides are the same file's
  EXPECT_EQ(t[5].pins[0].group, -1);  // not an equality
  EXPECT_EQ(t[6].pins[0].group, -1);  // UPPER on one side only
  v_.load(kRows[0]);
  EXPECT_TRUE(e->test_term(t[0].node) == false);  // Glo:BID_ID is B9
  EXPECT_TRUE(e->test_term(t[3].node));
}

TEST(BoundNamesTest, FramesReleaseTheirNamesAndInnerFramesHideOuterOnes) {
  BoundNames names;
  Str<10> outer = "outer", inner = "inner";
  ASSERT_TRUE(names.bind("LOC:Name", VarRef::String(outer.data(), 10)).ok());
  {
    BindFrame frame(names);
    EXPECT_EQ(names.depth(), 2u);
    ASSERT_TRUE(names.bind("loc:NAME", VarRef::String(inner.data(), 10)).ok());
    ASSERT_TRUE(names.bind("PRO:PBCode", VarRef::String(inner.data(), 10)).ok());
    EXPECT_EQ(names.find("LOC:NAME")->ref.ptr, inner.data());
    EXPECT_NE(names.find("PRO:PBCODE"), nullptr);
    EXPECT_EQ(names.find("pro:pbcode")->name, "PRO:PBCode");
    // A compiled expression keeps its variables after the frame is gone.
  }
  EXPECT_EQ(names.depth(), 1u);
  EXPECT_EQ(names.find("PRO:PBCODE"), nullptr);
  EXPECT_EQ(names.find("LOC:NAME")->ref.ptr, outer.data());
  EXPECT_FALSE(names.pop_frame().ok());  // the bottom frame stays
  EXPECT_FALSE(names.bind("", VarRef::String(outer.data(), 10)).ok());
  EXPECT_FALSE(names.bind("A B", VarRef::String(outer.data(), 10)).ok());
  EXPECT_FALSE(names.bind("1ABC", VarRef::String(outer.data(), 10)).ok());
  EXPECT_FALSE(names.bind("LOC:X", VarRef{}).ok());
  // Rebinding in the same frame replaces.
  ASSERT_TRUE(names.bind("LOC:NAME", VarRef::String(inner.data(), 10)).ok());
  EXPECT_EQ(names.find("Loc:Name")->ref.ptr, inner.data());
  // Binding a whole record.
  Str<4> a = "a", b = "b";
  NamedRef rec[] = {{"REC:A", VarRef::String(a.data(), 4)}, {"REC:B", VarRef::String(b.data(), 4)}};
  int owner = 0;
  ASSERT_TRUE(names.bind_all(rec, &owner).ok());
  EXPECT_EQ(names.find("rec:b")->owner, &owner);
}

TEST(BoundNamesTest, ExpressionOutlivesTheFrameItWasCompiledIn) {
  BoundNames names;
  Str<10> value = "x";
  Result<Expression> e = Status(1, "unset");
  {
    BindFrame frame(names);
    ASSERT_TRUE(names.bind("LOC:V", VarRef::String(value.data(), 10)).ok());
    e = Expression::Compile("LOC:V = 'y'", names);
    ASSERT_TRUE(e.ok());
  }
  EXPECT_FALSE(e->test());
  value = "y";
  EXPECT_TRUE(e->test());
  EXPECT_FALSE(Expression::Compile("LOC:V = 'y'", names).ok());
}

TEST(FilterTextTest, PiecesAreAppendedToTheClippedTextAndTheTrailingAndIsCut) {
  struct Case {
    const char* first;
    std::vector<std::pair<bool, const char*>> pieces;
    const char* text;
  };
  const Case cases[] = {
      {"PRO:BID_ID = Glo:BID_ID and", {}, "PRO:BID_ID = Glo:BID_ID"},
      {"PRO:BID_ID = Glo:BID_ID and",
       {{true, " PRO:MANUFAC = Glo:Manufac and"},
        {false, " PRO:PBCODE = Glo:ProdCode and"},
        {true, " HEA:MINIOR_BID = 'Y' and"}},
       "PRO:BID_ID = Glo:BID_ID and PRO:MANUFAC = Glo:Manufac and HEA:MINIOR_BID = 'Y'"},
      {"", {{true, " SPE:BRANDED and"}}, " SPE:BRANDED"},
      {"", {}, ""},
      {"A = 1 AND   ", {}, "A = 1"},
      {"PRO:BID_ID = Glo:BID_ID", {}, "PRO:BID_ID = Glo:BID_ID"},  // nothing to cut
      {"X = 'band'", {}, "X = 'band'"},
  };
  for (const Case& c : cases) {
    FilterText f(c.first);
    for (const auto& [given, piece] : c.pieces) f.append_if(given, piece);
    Result<std::string> text = f.text();
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(*text, c.text);
  }
  // A text longer than its variable is refused rather than cut into another filter.
  FilterText small("PRO:BID_ID = Glo:BID_ID and", 40);
  small.append(" PRO:MANUFAC = Glo:Manufac and");
  EXPECT_FALSE(small.text().ok());
}

TEST_F(ExprTest, QuotedLiteralKeepsAnApostropheInsideTheText) {
  v_.load(kRows[0]);
  v_.spe_bid = "O'HARA 1";
  Str<24> hea_bid = "O'HARA 1";
  std::string text = "SPE:BID_ID = " + quote_literal(hea_bid.raw());
  Result<Expression> e = Expression::Compile(text, names_);
  ASSERT_TRUE(e.ok()) << e.status().ToString();
  EXPECT_TRUE(e->test());
  // An id crafted to widen the filter stays one literal.
  std::string crafted = "SPE:BID_ID = " + quote_literal("X' or 'a'='a");
  Result<Expression> c = Expression::Compile(crafted, names_);
  ASSERT_TRUE(c.ok());
  EXPECT_FALSE(c->test());
}

}  // namespace
}  // namespace tdx
