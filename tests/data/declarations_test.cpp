// The declarations of every data file: sizes, names, keys as the catalog rules state them, and
// records written through the record structs read back through the store.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "data/files.h"
#include "data/record_file.h"
#include "runtime/store/errors.h"

namespace tdx::data {
namespace {

using store::kDuplicateKey;

TEST(Declarations, EveryFileBuildsWithItsRecordSize) {
  struct Case {
    const char* label;
    const char* file;
    uint32_t size;
  } cases[] = {
      {"PRODUCT", "PRODUCT.DAT", 338}, {"MANUF", "MANUF.DAT", 847},     {"DISTRI", "DISTRI.DAT", 777},
      {"MFRDIST", "MFRDIST.DAT", 84},  {"MDPRODS", "MDPRODS.DAT", 101}, {"PrinMfr", "PrinMfr.tps", 81},
      {"CusDist", "CusDist.tps", 81},  {"ItmProd", "ItmProd.tps", 93},  {"AWARDLTR", "AWARDLTR.DAT", 62},
      {"EXTPRLTR", "EXTPRLTR.DAT", 52}, {"FAXHEAD", "FAXHEAD.TPS", 2721},
  };
  for (const Case& c : cases) {
    auto d = find_file(c.label);
    ASSERT_NE(d, nullptr) << c.label;
    EXPECT_EQ(d->record_size, c.size) << c.label;
    EXPECT_EQ(d->file_name, c.file) << c.label;
  }
  EXPECT_EQ(all_files().size(), 24u);
}

TEST(Declarations, EveryFieldIsReachableByItsTextName) {
  for (const auto& d : all_files()) {
    store::KeyedFile f(d);
    for (const auto& fld : d->fields) {
      std::string name = d->prefix + ":" + fld.name;
      EXPECT_TRUE(f.field(name).valid()) << name;
      std::string lower;
      for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      EXPECT_TRUE(f.field(lower).valid()) << lower;
    }
    for (const auto& m : d->memos) EXPECT_TRUE(f.field(d->prefix + ":" + m.name).valid());
  }
  store::KeyedFile prd(PRD::Decl());
  EXPECT_EQ(prd.field("PRD:MANUFAC").ptr, prd.record());
  EXPECT_EQ(prd.field("prd:price8").digits, 11);
  EXPECT_EQ(prd.field("PRD:EXTND_DESCR").size, 560u);
  EXPECT_FALSE(prd.field("MAN:MANUF_NAME").valid());
}

TEST(Declarations, EveryFileCreatesOpensAndStoresAClearedRecord) {
  for (const auto& d : all_files()) {
    std::remove(d->file_name.c_str());
    store::KeyedFile f(d);
    ASSERT_TRUE(f.create().ok()) << d->label;
    ASSERT_TRUE(f.open().ok()) << d->label;
    f.clear();
    ASSERT_TRUE(f.add().ok()) << d->label;
    ASSERT_TRUE(f.set_file().ok());
    ASSERT_TRUE(f.next().ok()) << d->label;
    EXPECT_EQ(*f.records(), 1);
  }
}

TEST(Declarations, RecordStructAndDeclarationAgree) {
  std::remove("PRODUCT.DAT");
  RecordFile<PRD::Record> prd(PRD::Decl());
  ASSERT_TRUE(prd.create().ok());
  ASSERT_TRUE(prd.open().ok());
  prd.clear();
  prd.rec().MANUFAC = "Acme Foods";
  prd.rec().PROD_CODE = "A-100";
  ASSERT_TRUE(prd.rec().PRICE8.set(Decimal::Parse("1234.5678").value()).ok());
  ASSERT_TRUE(prd.rec().GROSS_WT.set(Decimal::Parse("-12.25").value()).ok());
  prd.rec().DISCONTINUED = "Y";
  prd.memo(PRD::EXTND_DESCR_MEMO) = "long text";
  ASSERT_TRUE(prd.add().ok());
  prd.clear();
  ASSERT_TRUE(prd.set_value("PRD:MANUFAC", Value("ACME FOODS")).ok());
  ASSERT_TRUE(prd.set_value("PRD:PROD_CODE", Value("a-100")).ok());
  ASSERT_TRUE(prd.get(PRD::BY_MAN_PRO).ok());
  EXPECT_EQ(prd.rec().MANUFAC, "Acme Foods");
  EXPECT_EQ(prd.get_value("PRD:PRICE8").number(), Decimal::Parse("1234.5678").value());
  EXPECT_EQ(prd.rec().GROSS_WT.get(), Decimal::Parse("-12.25").value());
  EXPECT_EQ(prd.get_value("PRD:DISCONTINUED").text(), "Y");
  EXPECT_EQ(prd.record()[337], 'Y');
  EXPECT_EQ(prd.get_value("PRD:EXTND_DESCR").text(), "long text");

  RecordFile<PRO::Record> pro(PRO::Decl());
  pro.clear();
  pro.rec().AWARD_DATE = 80000;
  pro.rec().SERVE = static_cast<int16_t>(1);
  EXPECT_EQ(pro.get_value("PRO:AWARD_DATE").text(), "80000");
  EXPECT_EQ(pro.get_value("PRO:SERVE").text(), "1");
  int32_t raw;
  std::memcpy(&raw, pro.record() + 77, 4);
  EXPECT_EQ(raw, 80000);
}

// The catalog's key rules, on the real declarations.
TEST(CatalogKeys, BlankCodesDuplicatesAndCase) {
  std::remove("PRODUCT.DAT");
  RecordFile<PRD::Record> prd(PRD::Decl());
  ASSERT_TRUE(prd.create().ok());
  ASSERT_TRUE(prd.open().ok());
  auto add = [&](const char* manuf, const char* code) {
    prd.clear();
    prd.rec().MANUFAC = manuf;
    prd.rec().PROD_CODE = code;
    return prd.add();
  };
  ASSERT_TRUE(add("ACME", "P1").ok());
  ASSERT_TRUE(add("", "").ok());        // all components blank: in neither key
  ASSERT_TRUE(add("ACME", "").ok());    // blank code: in neither key, whatever the brand
  ASSERT_TRUE(add("Acme", "p1").ok());  // DUP: same brand and code in another case
  auto codes = [&](int key) {
    std::string out;
    EXPECT_TRUE(prd.set(key).ok());
    while (prd.next().ok()) out += "[" + prd.rec().MANUFAC.str() + "/" + prd.rec().PROD_CODE.str() + "]";
    return out;
  };
  EXPECT_EQ(codes(PRD::BY_PROD_CODE), "[ACME/P1][Acme/p1]");
  EXPECT_EQ(codes(PRD::BY_MAN_PRO), "[ACME/P1][Acme/p1]");
  EXPECT_EQ(*prd.records(), 4);

  std::remove("MFRDIST.DAT");
  RecordFile<MDX::Record> mdx(MDX::Decl());
  ASSERT_TRUE(mdx.create().ok());
  ASSERT_TRUE(mdx.open().ok());
  mdx.clear();
  mdx.rec().MANUF_NAME = "Acme";
  mdx.rec().DISTRI_NAME = "Sysco";
  ASSERT_TRUE(mdx.add().ok());
  mdx.rec().MANUF_NAME = "ACME";
  mdx.rec().DISTRI_NAME = "sysco";
  EXPECT_EQ(mdx.add().code(), kDuplicateKey);

  std::remove("MDPRODS.DAT");
  RecordFile<MDP::Record> mdp(MDP::Decl());
  ASSERT_TRUE(mdp.create().ok());
  ASSERT_TRUE(mdp.open().ok());
  mdp.clear();
  mdp.rec().MANUF = "Acme";
  mdp.rec().DISTR = "Sysco";
  mdp.rec().MANUF_PCODE = "X1";
  ASSERT_TRUE(mdp.add().ok());
  mdp.rec().MANUF_PCODE = "x1";
  mdp.rec().DISTR_PCODE = "other";
  EXPECT_EQ(mdp.add().code(), kDuplicateKey);
  mdp.rec().MANUF_PCODE = "X2";
  EXPECT_TRUE(mdp.add().ok());

  // A 35-character principal name fits exactly; the brand name has one more position.
  RecordFile<PMF::Record> pmf(PMF::Decl());
  pmf.clear();
  std::string name35(35, 'N');
  pmf.rec().PRINAME = name35;
  EXPECT_EQ(pmf.rec().PRINAME.str(), name35);
  EXPECT_EQ(pmf.rec().MFRNAME.size(), 36u);
}

TEST(Letters, TheWholeRecordIsWrittenBack) {
  std::remove("AWARDLTR.DAT");
  RecordFile<AWA::Record> awa(AWA::Decl());
  ASSERT_TRUE(awa.create().ok());
  ASSERT_TRUE(awa.open().ok());
  awa.clear();
  awa.rec().AGENCY = "County Schools";
  awa.rec().FILL60.bytes[0] = 0x01;  // bytes no field names travel with the record
  awa.rec().FILL60.bytes[1] = 0xFE;
  awa.memo(AWA::LETTER_MEMO) = std::string(3500, 'L');
  ASSERT_TRUE(awa.add().ok());
  awa.clear();
  ASSERT_TRUE(awa.set_file().ok());
  ASSERT_TRUE(awa.next().ok());
  EXPECT_EQ(awa.record()[60], 0x01);
  EXPECT_EQ(awa.record()[61], 0xFE);
  EXPECT_EQ(awa.memo(0).size(), 3500u);
  awa.rec().BID_ID = "B-1";
  ASSERT_TRUE(awa.put().ok());
  awa.clear();
  ASSERT_TRUE(awa.set_file().ok());
  ASSERT_TRUE(awa.next().ok());
  EXPECT_EQ(awa.rec().BID_ID, "B-1");
  EXPECT_EQ(awa.record()[61], 0xFE);
}

TEST(FaxJobs, TheHighestIdPlusOneAndDuplicatesRefused) {
  std::remove("FAXHEAD.TPS");
  RecordFile<FAX::Record> fax(FAX::Decl());
  ASSERT_TRUE(fax.create().ok());
  ASSERT_TRUE(fax.open().ok());
  for (int id : {5, 9, 7}) {
    fax.clear();
    fax.rec().FAXID = id;
    ASSERT_TRUE(fax.add().ok());
  }
  ASSERT_TRUE(fax.set(FAX::BY_FAXID).ok());
  ASSERT_TRUE(fax.previous().ok());
  EXPECT_EQ(fax.rec().FAXID.get(), 9);
  fax.clear();
  fax.rec().FAXID = 9;
  EXPECT_EQ(fax.add().code(), kDuplicateKey);
  fax.rec().COVERTEXT = std::string(3000, 'c');  // a CSTRING keeps at most 2047 characters
  EXPECT_EQ(fax.rec().COVERTEXT.str().size(), 2047u);
}

}  // namespace
}  // namespace tdx::data
