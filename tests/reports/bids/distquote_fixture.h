// A small bid for the distributor quote tests, written straight into the data files of the
// test's folder.
//
// Bid Q1 (agency COUNTY SCHOOLS, notes, four specification lines) offers, added out of brand
// order:
//   line 1 (alt seq 10, CN label, USDA, grade A; history Q0/1)  ALPHA FOODS A-1: billing "OI",
//          standard comment 1, comment fields, quoted by METRO DIST (distributor bid id M-77)
//   line 2 (alt seq 20; history Q0/2)  ALPHA FOODS A-2 (discontinued), BRAVO BRANDS B-1 "BB";
//          quoted by METRO DIST
//   line 3 (alt seq 30; history Q0/3)  CHARLIE CO C-1: units "BL", billing "Z"; quoted by
//          VALLEY DIST (V-1)
//   line 4 (alt seq 40)  CHARLIE CO C-9, which PRODUCT does not hold; extension pricing;
//          quoted by VALLEY DIST
// The previous bid Q0: line 1 won by ALPHA FOODS A-1 through METRO DIST; line 2 won by the
// competitor ACME COMP, with notes; line 3 lost by a competitor, won by nobody on file.
// ALPHA FOODS and CHARLIE CO have comments, BRAVO BRANDS none. Bid Q2 is another bid of the
// same brands that no quote of Q1 may show.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/files.h"
#include "runtime/datetime/datetime.h"

namespace tdx::reports::testing {

template <typename F>
void fresh(F& file) {
  ASSERT_TRUE(file.create(true).ok()) << file.name();
  ASSERT_TRUE(file.open().ok()) << file.name();
  file.clear();
}

template <typename F>
void add(F& file) {
  ASSERT_TRUE(file.add().ok()) << file.name();
  file.clear();
}

inline void add_line(const char* bid, const char* line, const char* spec, int32_t alt_seq,
                     const char* hist_line = "") {
  SPE::Record& r = SPECSBID::rec();
  r.BID_ID = bid;
  r.LINE_NUM = line;
  r.PRODUCT_SPEC = spec;
  r.ALT_SEQ = alt_seq;
  if (*hist_line) {
    r.HIST_BID_ID = "Q0";
    r.HIST_LINE_NUM = hist_line;
  }
}

struct Offer {
  int32_t id;
  const char* bid;
  const char* line;
  const char* brand;
  const char* code;
  const char* net = "P";
  const char* unit = "CS";
  bool award = false;
  bool extension = false;
};

inline void add_offer(const Offer& o) {
  PRO::Record& r = PRODBID::rec();
  r.PB_ID = o.id;
  r.BID_ID = o.bid;
  r.LINE_NUM = o.line;
  r.BID_LINE = std::string(Str<24>(o.bid).raw()) + o.line;
  r.MANUFAC = o.brand;
  r.PBCODE = o.code;
  r.DESCRIP = std::string("Desc ") + o.code;
  r.PACK = "6/#10";
  r.PRICE = "41.80";
  r.UNIT = o.unit;
  r.FPRICE = "39.10";
  r.FUNIT = o.unit;
  r.UNITS = o.unit;
  r.NET = o.net;
  r.QUAN = 850;
  r.HIST_PRICE = "40.00 CS DEL";
  r.AWARD_FLAG = o.award ? "Y" : "N";
  if (o.extension) {
    r.ExtTerm = 1;
    r.EXTPRICE = "44.44";
    r.EXTUM = "CS";
  }
}

inline void add_distbid(const char* bid, const char* line, const char* dist, const char* id,
                        bool award = false) {
  BDI::Record& r = DISTBID::rec();
  r.BID_ID = bid;
  r.LINE_NUM = line;
  r.DISTRIBUTOR = dist;
  r.DISTBIDID = id;
  r.AWARD_FLAG = award ? "Y" : "N";
}

// Writes the data set; `company` false leaves COMPANY empty.
inline void write_quote_fixture(bool company = true) {
  fresh(COMPANY::file);
  if (company) {
    COM::Record& c = COMPANY::rec();
    c.COMPANY = "BROKER AND SONS";
    c.ADDRESS = "1 Main St";
    c.CITY = "Charlotte";
    c.STATE = "NC";
    c.ZIP = "28202";
    c.PHONE = "7045551000";
    c.CONTACT = "Pat Broker";
    c.COMMENT1 = "Prices subject to change";
    add(COMPANY::file);
  }
  COMPANY::file.close();

  fresh(AGENCY::file);
  AGENCY::rec().AGENCY_NAME = "COUNTY SCHOOLS";
  AGENCY::rec().CITY = "Lincolnton";
  AGENCY::rec().STATE = "NC";
  AGENCY::rec().ZIP = "28092";
  add(AGENCY::file);
  AGENCY::file.close();

  fresh(MANUF::file);
  for (const char* b : {"CHARLIE CO", "ALPHA FOODS", "BRAVO BRANDS"}) {
    MANUF::rec().MANUF_NAME = b;
    MANUF::rec().TERMS = "Net 30";
    if (std::string(b) == "ALPHA FOODS") MANUF::file.memo(MAN::COMMENTS_MEMO) = "Alpha ships weekly.";
    if (std::string(b) == "CHARLIE CO") MANUF::file.memo(MAN::COMMENTS_MEMO) = "Charlie minimum ten cases.";
    add(MANUF::file);
  }
  MANUF::file.close();

  fresh(DISTRI::file);
  for (const char* d : {"METRO DIST", "VALLEY DIST"}) {
    DISTRI::rec().DISTRI_NAME = d;
    add(DISTRI::file);
  }
  DISTRI::file.close();

  fresh(PRODUCT::file);
  struct P {
    const char* brand;
    const char* code;
    bool discontinued;
  } products[] = {{"ALPHA FOODS", "A-1", false},
                  {"ALPHA FOODS", "A-2", true},
                  {"BRAVO BRANDS", "B-1", false},
                  {"CHARLIE CO", "C-1", false}};
  for (const P& p : products) {
    PRODUCT::rec().MANUFAC = p.brand;
    PRODUCT::rec().PROD_CODE = p.code;
    PRODUCT::rec().DISCONTINUED = p.discontinued ? "Y" : "N";
    PRODUCT::rec().GROSS_WT = *Decimal::Parse("12.50");
    PRODUCT::file.memo(PRD::EXTND_DESCR_MEMO) = std::string("  Ext ") + p.code;
    add(PRODUCT::file);
  }
  PRODUCT::file.close();

  fresh(HEADBID::file);
  for (const char* bid : {"Q0", "Q1", "Q2"}) {
    HEA::Record& h = HEADBID::rec();
    h.BID_ID = bid;
    h.BID_AGENCY = "COUNTY SCHOOLS";
    h.OPEN_DATE = make_date(3, 5, 2024);
    h.AGENCY_DELIN = "Deliver to Central Warehouse";
    h.MINIOR_BID = std::string(bid) == "Q2" ? "Y" : "N";
    HEADBID::file.memo(HEA::NOTES_MEMO) = std::string("Notes of bid ") + bid;
    add(HEADBID::file);
  }
  HEADBID::file.close();

  fresh(SPECSBID::file);
  add_line("Q1", "1", "Beef patty", 10, "1");
  SPECSBID::rec().CN_LABEL = "Y";
  SPECSBID::rec().USDA = "Y";
  SPECSBID::rec().GRADE = "A";
  add(SPECSBID::file);
  add_line("Q1", "2", "Fish portion", 20, "2");
  add(SPECSBID::file);
  add_line("Q1", "3", "Milk carton", 30, "3");
  add(SPECSBID::file);
  add_line("Q1", "4", "Peaches diced", 40);
  add(SPECSBID::file);
  for (const char* l : {"1", "2", "3"}) {
    add_line("Q0", l, "Last year", 10);
    add(SPECSBID::file);
  }
  add_line("Q2", "1", "Other bid line", 10);
  add(SPECSBID::file);
  SPECSBID::file.close();

  fresh(PRODBID::file);
  add_offer({1, "Q1", "3", "CHARLIE CO", "C-1", "Z", "BL"});
  add(PRODBID::file);
  add_offer({2, "Q1", "1", "ALPHA FOODS", "A-1", "OI"});
  PRODBID::rec().COMMENTS = "Price firm.";
  PRODBID::rec().COMMENTS2 = "Samples due.";
  add(PRODBID::file);
  add_offer({3, "Q1", "2", "ALPHA FOODS", "A-2"});
  add(PRODBID::file);
  add_offer({4, "Q1", "2", "BRAVO BRANDS", "B-1", "BB"});
  add(PRODBID::file);
  add_offer({5, "Q1", "4", "CHARLIE CO", "C-9", "P", "CS", false, true});
  add(PRODBID::file);
  add_offer({6, "Q0", "1", "ALPHA FOODS", "A-1", "P", "CS", true});
  PRODBID::rec().QUAN = 777;
  add(PRODBID::file);
  add_offer({7, "Q0", "2", "BRAVO BRANDS", "B-1"});
  PRODBID::rec().QUAN = 555;
  add(PRODBID::file);
  add_offer({8, "Q2", "1", "ALPHA FOODS", "A-1"});
  add(PRODBID::file);
  PRODBID::file.close();

  fresh(DISTBID::file);
  add_distbid("Q1", "1", "METRO DIST", "M-77");
  add(DISTBID::file);
  add_distbid("Q1", "2", "METRO DIST", "");
  add(DISTBID::file);
  add_distbid("Q1", "3", "VALLEY DIST", "V-1");
  add(DISTBID::file);
  add_distbid("Q1", "4", "VALLEY DIST", "");
  add(DISTBID::file);
  add_distbid("Q0", "1", "METRO DIST", "M-1", true);
  add(DISTBID::file);
  DISTBID::file.close();

  fresh(COMPBID::file);
  COB::Record& cb = COMPBID::rec();
  cb.BID_ID = "Q0";
  cb.LINE_NUM = "2";
  cb.MANUFAC = "ACME COMP";
  cb.PROD_CODE = "AC-55";
  cb.DISTRI = "VALLEY DIST";
  cb.PRICE = "35.90 CS";
  cb.AWARD_FLAG = "Y";
  COMPBID::file.memo(COB::COMMENTS_MEMO) = "Acme won on price.";
  add(COMPBID::file);
  cb.BID_ID = "Q0";
  cb.LINE_NUM = "3";
  cb.MANUFAC = "GAMMA COMP";
  cb.AWARD_FLAG = "N";
  add(COMPBID::file);
  COMPBID::file.close();

  fresh(StdComm::file);
  StdComm::rec().ID = 1;
  StdComm::rec().COMMENTS = "Standard comment one.";
  add(StdComm::file);
  StdComm::file.close();
  fresh(PBComm::file);
  PBComm::rec().PB_ID = 2;
  PBComm::rec().STD_ID = 1;
  add(PBComm::file);
  PBComm::file.close();

  fresh(MDPRODS::file);
  MDPRODS::rec().MANUF = "ALPHA FOODS";
  MDPRODS::rec().MANUF_PCODE = "A-1";
  MDPRODS::rec().DISTR = "METRO DIST";
  MDPRODS::rec().DISTR_PCODE = "MET-001";
  add(MDPRODS::file);
  MDPRODS::file.close();
}

}  // namespace tdx::reports::testing
