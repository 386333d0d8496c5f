// Views over small bid files declared here: order texts with joined components, inner and
// outer joins, joins by condition side by side, key ranges, saved positions, bad texts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/expr/bound_names.h"
#include "runtime/expr/expression.h"
#include "runtime/store/decl.h"
#include "runtime/store/errors.h"
#include "runtime/store/keyed_file.h"
#include "runtime/text/str.h"
#include "runtime/view/sorter.h"
#include "runtime/view/view.h"

namespace tdx::view {
namespace {

using store::FieldSpec;
using store::KeyedFile;
using store::KeySpec;
using store::MemoSpec;

std::shared_ptr<const store::FileDecl> decl(const char* label, const char* prefix, uint32_t size,
                                            std::vector<FieldSpec> fields,
                                            std::vector<MemoSpec> memos,
                                            std::vector<KeySpec> keys) {
  auto d = store::build_decl(label, std::string(label) + ".DAT", prefix, size, fields, memos, keys);
  EXPECT_TRUE(d.ok()) << d.status().ToString();
  return *d;
}

// A product line (PRO), its specification line (SPE), the bid header (HEA), the agency (AGE),
// competitor bids (COB) and a one-record letter file (AWA).
struct Files {
  KeyedFile pro{decl("PRODBID", "PRO", 100,
                     {{"BID_ID", FieldType::String, 0, 24},
                      {"LINE_NUM", FieldType::String, 24, 12},
                      {"MANUFAC", FieldType::String, 36, 36},
                      {"PBCODE", FieldType::String, 72, 14},
                      {"AWARD_FLAG", FieldType::String, 86, 1},
                      {"ALT_PROD", FieldType::String, 87, 1},
                      {"QUAN", FieldType::Long, 88, 4}},
                     {{"COMMENTS", 60}},
                     {{"BY_ID_LINE", "BID_ID,LINE_NUM", store::kDup | store::kNocase},
                      {"BY_BID_ID", "BID_ID", store::kDup | store::kNocase}})};
  KeyedFile spe{decl("SPECSBID", "SPE", 60,
                     {{"BID_ID", FieldType::String, 0, 24},
                      {"LINE_NUM", FieldType::String, 24, 12},
                      {"ALT_SEQ", FieldType::Long, 36, 4},
                      {"BRANDED", FieldType::Byte, 40, 1}},
                     {},
                     {{"BY_ID_LINE", "BID_ID,LINE_NUM", store::kUnique | store::kNocase},
                      {"BY_BID_ID", "BID_ID", store::kDup | store::kNocase}})};
  KeyedFile hea{decl("HEADBID", "HEA", 70,
                     {{"BID_ID", FieldType::String, 0, 24},
                      {"BID_AGENCY", FieldType::String, 24, 36},
                      {"MINIOR_BID", FieldType::String, 60, 1}},
                     {},
                     {{"BY_BID_ID", "BID_ID", store::kUnique | store::kNocase}})};
  KeyedFile age{decl("AGENCY", "AGE", 40,
                     {{"AGENCY_NAME", FieldType::String, 0, 36},
                      {"TYPE_SIZE", FieldType::String, 36, 2}},
                     {},
                     {{"BY_AGENCY", "AGENCY_NAME", store::kUnique | store::kNocase}})};
  KeyedFile cob{decl("COMPBID", "COB", 80,
                     {{"BID_ID", FieldType::String, 0, 24},
                      {"LINE_NUM", FieldType::String, 24, 12},
                      {"MANUFAC", FieldType::String, 36, 36},
                      {"AWARD_FLAG", FieldType::String, 72, 1}},
                     {},
                     {{"BY_ID_LINE", "BID_ID,LINE_NUM", store::kDup | store::kNocase}})};
  KeyedFile awa{decl("AWARDLTR", "AWA", 40, {{"AGENCY", FieldType::String, 0, 36}},
                     {{"LETTER", 200}}, {})};

  std::vector<KeyedFile*> all() { return {&pro, &spe, &hea, &age, &cob, &awa}; }
};

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (KeyedFile* f : files_.all()) {
      ASSERT_TRUE(f->create(true).ok()) << f->name();
      ASSERT_TRUE(f->open().ok()) << f->name();
      ASSERT_TRUE(bind_record(*f, names_).ok());
    }
    ASSERT_TRUE(names_.bind("Glo:BID_ID", VarRef::String(glo_bid_.data(), 24)).ok());
    ASSERT_TRUE(names_.bind("Glo:Manufac", VarRef::String(glo_manufac_.data(), 36)).ok());
  }

  void add(KeyedFile& f, std::vector<std::pair<const char*, Value>> values,
           const char* memo = nullptr) {
    f.clear();
    for (auto& [name, v] : values) ASSERT_TRUE(f.set_value(name, v).ok()) << name;
    if (memo) f.memo(0) = memo;
    ASSERT_TRUE(f.add().ok());
  }
  void pro(const char* bid, const char* line, const char* manufac, const char* code,
           const char* award = "N", int quan = 0) {
    add(files_.pro, {{"BID_ID", bid}, {"LINE_NUM", line}, {"MANUFAC", manufac},
                     {"PBCODE", code}, {"AWARD_FLAG", award}, {"QUAN", quan}},
        code);
  }
  void spe(const char* bid, const char* line, int alt_seq, int branded = 0) {
    add(files_.spe, {{"BID_ID", bid}, {"LINE_NUM", line}, {"ALT_SEQ", alt_seq},
                     {"BRANDED", branded}});
  }
  void hea(const char* bid, const char* agency, const char* minority = "N") {
    add(files_.hea, {{"BID_ID", bid}, {"BID_AGENCY", agency}, {"MINIOR_BID", minority}});
  }
  void age(const char* name, const char* ts) {
    add(files_.age, {{"AGENCY_NAME", name}, {"TYPE_SIZE", ts}});
  }
  void cob(const char* bid, const char* line, const char* manufac, const char* award) {
    add(files_.cob, {{"BID_ID", bid}, {"LINE_NUM", line}, {"MANUFAC", manufac},
                     {"AWARD_FLAG", award}});
  }

  // Each row as "field|field|..." from the given text names, read to the end.
  std::vector<std::string> rows(View& v, std::vector<const char*> fields) {
    std::vector<std::string> out;
    for (;;) {
      Status s = v.next();
      if (s.code() == store::kRecordNotAvailable) break;
      EXPECT_TRUE(s.ok()) << s.ToString();
      if (!s.ok()) break;
      out.push_back(current(fields));
    }
    return out;
  }
  std::string current(const std::vector<const char*>& fields) {
    std::string row;
    for (const char* name : fields) {
      if (!row.empty()) row += "|";
      row += names_.find(name)->ref.get().text();
      while (!row.empty() && row.back() == ' ') row.pop_back();
    }
    return row;
  }

  // The bid lines used by several tests: two bids, added out of order.
  void bids() {
    hea("B1", "CITY SCHOOLS", "Y");
    hea("B2", "COUNTY JAIL");
    age("CITY SCHOOLS", "LG");
    spe("B1", "1", 2);
    spe("B1", "2", 1);
    spe("B2", "1", 1);
    pro("B2", "1", "ACME", "A9");
    pro("B1", "2", "BETA", "B1");
    pro("B1", "1", "ACME", "A2");
    pro("B1", "2", "ACME", "A1");
    pro("B1", "3", "ACME", "A3");  // no specification line
    pro("B1", "1", "BETA", "B2");
  }

  Files files_;
  BoundNames names_;
  Str<24> glo_bid_;
  Str<36> glo_manufac_;
};

TEST_F(ViewTest, OrderTextWithJoinedComponentsAndInnerJoin) {
  bids();
  View v(files_.pro, names_);
  int s = v.join_key(View::kPrimary, files_.spe, "BY_ID_LINE", {"PRO:BID_ID", "PRO:LINE_NUM"},
                     Join::Inner);
  v.join_key(s, files_.hea, "BY_BID_ID", {"SPE:BID_ID"});
  v.set_order("+PRO:BID_ID,+PRO:MANUFAC,+SPE:ALT_SEQ,+PRO:LINE_NUM,+PRO:ALT_PROD,+PRO:PBCODE");
  glo_bid_ = "B1";
  v.set_filter("PRO:BID_ID = Glo:BID_ID");
  ASSERT_TRUE(v.open().ok());
  EXPECT_TRUE(v.plan().sorted);
  EXPECT_EQ(v.plan().pinned, 1);  // only bid B1's lines are read
  // Brand by brand; within a brand by the specification's alternate sequence. Line 3 has no
  // specification line and the join is inner: it is not returned.
  EXPECT_EQ(rows(v, {"PRO:MANUFAC", "SPE:ALT_SEQ", "PRO:LINE_NUM", "PRO:PBCODE", "HEA:BID_AGENCY",
                     "PRO:COMMENTS"}),
            (std::vector<std::string>{"ACME|1|2|A1|CITY SCHOOLS|A1", "ACME|2|1|A2|CITY SCHOOLS|A2",
                                      "BETA|1|2|B1|CITY SCHOOLS|B1",
                                      "BETA|2|1|B2|CITY SCHOOLS|B2"}));
  // The same order without a usable pin (CLIP keeps the meaning, hides the equality) reads the
  // whole file and gives the same rows.
  View w(files_.pro, names_);
  s = w.join_key(View::kPrimary, files_.spe, "BY_ID_LINE", {"PRO:BID_ID", "PRO:LINE_NUM"},
                 Join::Inner);
  w.join_key(s, files_.hea, "BY_BID_ID", {"SPE:BID_ID"});
  w.set_order("+PRO:BID_ID,+PRO:MANUFAC,+SPE:ALT_SEQ,+PRO:LINE_NUM,+PRO:ALT_PROD,+PRO:PBCODE");
  w.set_filter("CLIP(PRO:BID_ID) = Glo:BID_ID");
  ASSERT_TRUE(w.open().ok());
  EXPECT_EQ(w.plan().pinned, 0);
  EXPECT_EQ(rows(w, {"PRO:MANUFAC", "SPE:ALT_SEQ", "PRO:LINE_NUM", "PRO:PBCODE"}),
            (std::vector<std::string>{"ACME|1|2|A1", "ACME|2|1|A2", "BETA|1|2|B1", "BETA|2|1|B2"}));
}

TEST_F(ViewTest, OuterJoinKeepsTheLineWithBlankFields) {
  bids();
  View v(files_.pro, names_);
  int s = v.join_key(View::kPrimary, files_.spe, "BY_ID_LINE", {"PRO:BID_ID", "PRO:LINE_NUM"});
  v.join_key(s, files_.hea, "BY_BID_ID", {"SPE:BID_ID"});
  v.set_order("+PRO:BID_ID,+PRO:LINE_NUM");
  ASSERT_TRUE(v.open().ok());
  EXPECT_FALSE(v.plan().sorted);  // the order of key BY_ID_LINE
  EXPECT_EQ(rows(v, {"PRO:BID_ID", "PRO:LINE_NUM", "PRO:PBCODE", "SPE:LINE_NUM", "SPE:ALT_SEQ",
                     "HEA:BID_AGENCY"}),
            (std::vector<std::string>{"B1|1|A2|1|2|CITY SCHOOLS", "B1|1|B2|1|2|CITY SCHOOLS",
                                      "B1|2|B1|2|1|CITY SCHOOLS", "B1|2|A1|2|1|CITY SCHOOLS",
                                      "B1|3|A3||0|",  // no specification line: blank
                                      "B2|1|A9|1|1|COUNTY JAIL"}));
  EXPECT_EQ(*v.records(), 6);
}

TEST_F(ViewTest, KeyOrderReadsOnlyThePinnedRangeBothWays) {
  bids();
  struct Case {
    const char* order;
    const char* filter;
    bool sorted;
    int pinned;
    bool backward;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"+PRO:BID_ID,+PRO:LINE_NUM", "PRO:BID_ID = Glo:BID_ID", false, 1, false,
       {"B1|1|A2", "B1|1|B2", "B1|2|B1", "B1|2|A1", "B1|3|A3"}},
      {"-PRO:BID_ID,-PRO:LINE_NUM", "PRO:BID_ID = Glo:BID_ID", false, 1, true,
       {"B1|3|A3", "B1|2|A1", "B1|2|B1", "B1|1|B2", "B1|1|A2"}},
      // Pinned components drop out of the order: the line number continues the key.
      {"+PRO:LINE_NUM", "pro:bid_id = Glo:BID_ID and PRO:MANUFAC = 'ACME'", false, 1, false,
       {"B1|1|A2", "B1|2|A1", "B1|3|A3"}},
      // A key of the order's very components: equal bid ids come as added.
      {"+PRO:BID_ID", "", false, 0, false,
       {"B1|2|B1", "B1|1|A2", "B1|2|A1", "B1|3|A3", "B1|1|B2", "B2|1|A9"}},
      // Mixed directions cannot be read through a key.
      {"+PRO:BID_ID,-PRO:LINE_NUM", "PRO:BID_ID = Glo:BID_ID", true, 1, false,
       {"B1|3|A3", "B1|2|B1", "B1|2|A1", "B1|1|A2", "B1|1|B2"}},
      // Equal order values keep the order the records were added.
      {"+PRO:MANUFAC", "", true, 0, false,
       {"B2|1|A9", "B1|1|A2", "B1|2|A1", "B1|3|A3", "B1|2|B1", "B1|1|B2"}},
  };
  glo_bid_ = "b1";  // the key is NOCASE, the filter is not: no row may come from the range alone
  for (const Case& c : cases) {
    View v(files_.pro, names_);
    v.set_order(c.order);
    v.set_filter(c.filter);
    ASSERT_TRUE(v.open().ok()) << c.order;
    EXPECT_TRUE(rows(v, {"PRO:BID_ID"}).empty() || std::string(c.filter).empty()) << c.order;
  }
  glo_bid_ = "B1";
  for (const Case& c : cases) {
    View v(files_.pro, names_);
    v.set_order(c.order);
    v.set_filter(c.filter);
    ASSERT_TRUE(v.open().ok()) << c.order;
    EXPECT_EQ(v.plan().sorted, c.sorted) << c.order;
    EXPECT_EQ(v.plan().pinned, c.pinned) << c.order;
    EXPECT_EQ(v.plan().backward, c.backward) << c.order;
    EXPECT_EQ(rows(v, {"PRO:BID_ID", "PRO:LINE_NUM", "PRO:PBCODE"}), c.rows) << c.order;
  }
}

TEST_F(ViewTest, SideBySideJoinsByConditionAreReadInStep) {
  // Award summary: each specification line with its awarded brand products and awarded
  // competitor bids beside each other, the bid header (to-one) and its agency on every row.
  hea("B1", "CITY SCHOOLS", "Y");
  age("CITY SCHOOLS", "LG");
  spe("B1", "1", 1);  // product won
  spe("B1", "2", 2);  // competitor won
  spe("B1", "3", 3);  // both
  spe("B1", "4", 4);  // one product, two competitors
  spe("B1", "5", 5);  // nothing awarded
  pro("B1", "1", "ACME", "A1", "Y");
  pro("B1", "2", "ACME", "A2", "N");
  pro("B1", "3", "ACME", "A3", "Y");
  pro("B1", "4", "ACME", "A4", "Y");
  pro("B1", "5", "ACME", "A5", "N");
  cob("B1", "2", "ZETA", "Y");
  cob("B1", "3", "ZETA", "Y");
  cob("B1", "4", "ZETA", "Y");
  cob("B1", "4", "OMEGA", "Y");
  cob("B1", "4", "LOSER", "N");
  View v(files_.spe, names_);
  int h = v.join_key(View::kPrimary, files_.hea, "BY_BID_ID");
  v.join_key(h, files_.age, "BY_AGENCY", {"HEA:BID_AGENCY"});
  v.join_condition(View::kPrimary, files_.pro,
                   "PRO:AWARD_FLAG = 'Y' AND PRO:BID_ID=SPE:BID_ID AND PRO:LINE_NUM=SPE:LINE_NUM");
  v.join_condition(View::kPrimary, files_.cob,
                   "COB:AWARD_FLAG = 'Y' AND COB:BID_ID=SPE:BID_ID AND COB:LINE_NUM=SPE:LINE_NUM");
  v.set_key_order("BY_BID_ID");
  glo_bid_ = "B1";
  v.set_filter(
      "SPE:BID_ID = Glo:BID_ID and (COB:AWARD_FLAG = 'Y' or PRO:AWARD_FLAG = 'Y') and "
      "HEA:MINIOR_BID = 'Y'");
  ASSERT_TRUE(v.open().ok());
  EXPECT_EQ(v.plan().pinned, 1);
  EXPECT_EQ(rows(v, {"SPE:LINE_NUM", "HEA:BID_AGENCY", "AGE:TYPE_SIZE", "PRO:PBCODE",
                     "COB:MANUFAC"}),
            (std::vector<std::string>{"1|CITY SCHOOLS|LG|A1|", "2|CITY SCHOOLS|LG||ZETA",
                                      "3|CITY SCHOOLS|LG|A3|ZETA", "4|CITY SCHOOLS|LG|A4|ZETA",
                                      "4|CITY SCHOOLS|LG||OMEGA"}));
}

TEST_F(ViewTest, SavedPositionSurvivesReadsOfTheSameFiles) {
  bids();
  for (bool sorted : {false, true}) {
    View v(files_.pro, names_);
    int s = v.join_key(View::kPrimary, files_.spe, "BY_ID_LINE", {"PRO:BID_ID", "PRO:LINE_NUM"});
    v.join_key(s, files_.hea, "BY_BID_ID");
    v.set_order(sorted ? "+PRO:BID_ID,+SPE:ALT_SEQ" : "+PRO:BID_ID,+PRO:LINE_NUM");
    ASSERT_TRUE(v.open().ok());
    ASSERT_EQ(v.plan().sorted, sorted);
    ASSERT_TRUE(v.next().ok());
    ASSERT_TRUE(v.next().ok());
    std::vector<const char*> f = {"PRO:BID_ID", "PRO:LINE_NUM", "PRO:PBCODE", "SPE:ALT_SEQ",
                                  "HEA:BID_AGENCY", "PRO:COMMENTS"};
    std::string here = current(f);
    ViewPosition pos = v.save_position();
    // A history read: another line of the same files, through other keys.
    files_.pro.clear();
    files_.pro.set_value("BID_ID", "B2").ok();
    ASSERT_TRUE(files_.pro.set_from(1).ok());
    ASSERT_TRUE(files_.pro.next().ok());
    files_.spe.clear();
    ASSERT_TRUE(files_.spe.set_file().ok());
    ASSERT_TRUE(files_.spe.next().ok());
    files_.hea.clear();
    ASSERT_TRUE(v.restore_position(pos).ok());
    EXPECT_EQ(current(f), here);
    std::vector<std::string> rest = rows(v, {"PRO:BID_ID", "PRO:LINE_NUM", "PRO:PBCODE"});
    std::vector<std::string> expected =
        sorted ? std::vector<std::string>{"B1|2|A1", "B1|1|A2", "B1|1|B2", "B2|1|A9"}
               : std::vector<std::string>{"B1|2|B1", "B1|2|A1", "B1|3|A3", "B2|1|A9"};
    EXPECT_EQ(rest, expected) << (sorted ? "sorted" : "key order");
  }
}

TEST_F(ViewTest, PreviousStepsBackAcrossRowsAndFromTheEnd) {
  bids();
  View v(files_.pro, names_);
  v.set_order("+PRO:BID_ID,+PRO:LINE_NUM");
  glo_bid_ = "B1";
  v.set_filter("PRO:BID_ID = Glo:BID_ID and PRO:MANUFAC = 'ACME'");
  ASSERT_TRUE(v.open().ok());
  std::vector<const char*> f = {"PRO:PBCODE"};
  std::string trail;
  auto step = [&](bool forward) {
    Status s = forward ? v.next() : v.previous();
    trail += s.ok() ? current(f) : std::string(s.code() == store::kRecordNotAvailable ? "end" : "err");
    trail += " ";
  };
  for (bool fw : {true, true, true, true, false, false, false, false, true}) step(fw);
  EXPECT_EQ(trail, "A2 A1 A3 end A3 A1 A2 end A2 ");
}

TEST_F(ViewTest, StartAtKeyReadsOneGroupAndTheViewReopensPerGroup) {
  bids();
  // One bid's lines at a time, the specification lines joined to their products.
  std::vector<std::string> all;
  for (const char* bid : {"B2", "B1"}) {
    View v(files_.spe, names_);
    v.join_condition(View::kPrimary, files_.pro,
                     "PRO:BID_ID=SPE:BID_ID AND PRO:LINE_NUM=SPE:LINE_NUM");
    v.set_key_order("BY_ID_LINE");
    Str<24> literal = bid;
    v.set_filter("SPE:BID_ID = '" + std::string(literal.raw()) + "'");
    ASSERT_TRUE(v.open().ok());
    files_.spe.clear();
    files_.spe.set_value("BID_ID", bid).ok();
    ASSERT_TRUE(v.start_at_key().ok());
    for (const std::string& r : rows(v, {"SPE:BID_ID", "SPE:LINE_NUM", "PRO:PBCODE"})) {
      all.push_back(r);
    }
  }
  EXPECT_EQ(all, (std::vector<std::string>{"B2|1|A9", "B1|1|A2", "B1|1|B2", "B1|2|B1",
                                           "B1|2|A1"}));
}

TEST_F(ViewTest, StoredOrderFirstRecordWithOuterJoinByCondition) {
  age("CITY SCHOOLS", "LG");
  add(files_.awa, {{"AGENCY", "NOWHERE"}}, "Dear agency,");
  add(files_.awa, {{"AGENCY", "CITY SCHOOLS"}}, "second");
  View v(files_.awa, names_);
  v.join_condition(View::kPrimary, files_.age, "AGE:AGENCY_NAME=AWA:AGENCY");
  ASSERT_TRUE(v.open().ok());
  ASSERT_TRUE(v.next().ok());
  EXPECT_EQ(current({"AWA:AGENCY", "AWA:LETTER", "AGE:TYPE_SIZE"}), "NOWHERE|Dear agency,|");
  ASSERT_TRUE(v.next().ok());
  EXPECT_EQ(current({"AWA:AGENCY", "AGE:TYPE_SIZE"}), "CITY SCHOOLS|LG");
}

TEST_F(ViewTest, BadTextsAreReportedNotCrashedOn) {
  bids();
  struct Case {
    const char* filter;
    const char* order;
    const char* condition;
    const char* message_start;
  };
  const Case cases[] = {
      {"PRO:BID_ID = ", "", "", "Bad expression \"PRO:BID_ID = \" at 14"},
      {"PRO:BID_ID = Glo:Nothing", "", "", "Bad expression \"PRO:BID_ID = Glo:Nothing\" at 14"},
      {"", "+PRO:NOPE", "", "Bad order \"+PRO:NOPE\" at 1"},
      {"", "+PRO:BID_ID,,", "", "Bad order \"+PRO:BID_ID,,\" at 13"},
      {"", "", "AGE:AGENCY_NAME = (", "Bad expression \"AGE:AGENCY_NAME = (\""},
  };
  for (const Case& c : cases) {
    View v(files_.pro, names_);
    if (*c.condition) v.join_condition(View::kPrimary, files_.age, c.condition);
    v.set_order(c.order);
    v.set_filter(c.filter);
    Status s = v.open();
    ASSERT_FALSE(s.ok()) << c.filter << c.order << c.condition;
    EXPECT_EQ(s.text().rfind(c.message_start, 0), 0u) << s.text();
    EXPECT_FALSE(v.next().ok());  // a view that did not open reads nothing
  }
  View twice(files_.pro, names_);
  twice.join_key(View::kPrimary, files_.pro, "BY_BID_ID");
  EXPECT_FALSE(twice.open().ok());
  View nokey(files_.pro, names_);
  nokey.join_key(View::kPrimary, files_.spe, "BY_NOTHING");
  EXPECT_FALSE(nokey.open().ok());
}

TEST_F(ViewTest, LargeSortsGoThroughTemporaryFilesInTheSameOrder) {
  for (int i = 0; i < 120; ++i) {
    std::string bid = "B" + std::to_string(i % 7), line = std::to_string(1000 - i);
    pro(bid.c_str(), line.c_str(), i % 3 ? "ACME" : "BETA", ("C" + std::to_string(i)).c_str(),
        "N", i % 5);
  }
  std::vector<std::string> expected;
  for (size_t memory : {size_t{64} << 20, size_t{2000}}) {
    View v(files_.pro, names_);
    v.set_order("-PRO:QUAN,+PRO:MANUFAC,-PRO:BID_ID");
    v.set_sort_memory(memory);
    ASSERT_TRUE(v.open().ok());
    std::vector<std::string> got = rows(v, {"PRO:QUAN", "PRO:MANUFAC", "PRO:BID_ID", "PRO:PBCODE",
                                            "PRO:COMMENTS"});
    ASSERT_EQ(got.size(), 120u);
    if (expected.empty()) {
      expected = got;
      EXPECT_EQ(got.front().substr(0, 7), "4|ACME|");
      EXPECT_EQ(got.back().substr(0, 7), "0|BETA|");
    } else {
      EXPECT_EQ(got, expected);
    }
  }
}

TEST(SorterTest, EqualKeysKeepTheirOrderInMemoryAndMerged) {
  for (size_t budget : {size_t{1} << 20, size_t{100}}) {
    Sorter s(budget);
    const char* keys[] = {"b", "a", "c", "a", "b", "a"};
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(s.add(keys[i], std::to_string(i)).ok());
    ASSERT_TRUE(s.finish().ok());
    std::string order;
    while (s.next()) order += std::string(s.payload()) + " ";
    EXPECT_EQ(order, "1 3 5 0 4 2 ") << budget;
    EXPECT_EQ(s.in_memory(), budget > 1000);
  }
}

}  // namespace
}  // namespace tdx::view
