// Single-process behaviour of KeyedFile: keys, memos, reading orders, positions, files.
#include "runtime/store/keyed_file.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "runtime/store/errors.h"
#include "runtime/text/str.h"
#include "tests/runtime/store/store_fixture.h"

namespace tdx::store {
namespace {

using testing::item_decl;
using testing::kByCode;
using testing::kByName;
using testing::kByNameCode;
using testing::kByQty;

class KeyedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = "ITEM_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
            ".DAT";
    std::remove(file_.c_str());
    f_ = std::make_unique<KeyedFile>(item_decl(file_));
    ASSERT_TRUE(f_->create().ok());
    ASSERT_TRUE(f_->open().ok());
  }
  Status add(std::string_view name, std::string_view code, int qty = 0,
             std::string_view notes = "") {
    f_->clear();
    EXPECT_TRUE(f_->set_value("ITM:NAME", Value(name)).ok());
    EXPECT_TRUE(f_->set_value("itm:code", Value(code)).ok());
    EXPECT_TRUE(f_->set_value("QTY", Value(qty)).ok());
    f_->memo(0) = std::string(notes);
    return f_->add();
  }
  std::string str(std::string_view field) { return f_->get_value(field).text(); }
  // The CODE of every record in the order of `key`, forward or backward.
  std::vector<std::string> scan(int key, bool forward = true) {
    std::vector<std::string> out;
    EXPECT_TRUE(key < 0 ? f_->set_file().ok() : f_->set(key).ok());
    while ((forward ? f_->next() : f_->previous()).ok()) out.push_back(std::string(clip(str("CODE"))));
    EXPECT_EQ(last_error().code, kRecordNotAvailable);
    return out;
  }
  std::string file_;
  std::unique_ptr<KeyedFile> f_;
};

using V = std::vector<std::string>;

TEST_F(KeyedFileTest, KeyAttributes) {
  ASSERT_TRUE(add("beta", "B1", 3).ok());
  ASSERT_TRUE(add("", "BLANK", 1).ok());  // blank name: left out of the OPT key BY_NAME
  ASSERT_TRUE(add("Alpha", "A2", 2).ok());
  ASSERT_TRUE(add("ALPHA", "A1", 2).ok());  // same name in another case: DUP, NOCASE
  ASSERT_TRUE(add("alpha ", "A3", 2).ok());
  // OPT + NOCASE: no blank record, equal names in the order added.
  EXPECT_EQ(scan(kByName), (V{"A2", "A1", "A3", "B1"}));
  EXPECT_EQ(scan(kByName, false), (V{"B1", "A3", "A1", "A2"}));
  // Not OPT, case-sensitive: the blank name comes first, "ALPHA" < "Alpha" < "alpha".
  EXPECT_EQ(scan(kByNameCode), (V{"BLANK", "A1", "A2", "A3", "B1"}));
  // Numeric DUP key: ordered by value, equal values in the order added.
  EXPECT_EQ(scan(kByQty), (V{"BLANK", "A2", "A1", "A3", "B1"}));
  // Record order.
  EXPECT_EQ(scan(-1), (V{"B1", "BLANK", "A2", "A1", "A3"}));

  // Unique NOCASE key: case and trailing blanks do not make a value different.
  struct Case {
    const char* code;
    int want;
  } cases[] = {{"b1", kDuplicateKey}, {"B1   ", kDuplicateKey}, {"a3", kDuplicateKey},
               {"B2", kNoError},     {" B1", kNoError}};
  for (const Case& c : cases) {
    Status s = add("gamma", c.code);
    EXPECT_EQ(s.code(), c.want) << c.code << ": " << s.ToString();
  }
  auto n = f_->records();
  ASSERT_TRUE(n.ok());
  EXPECT_EQ(*n, 7);  // the refused records were not stored
  // A refused put leaves the stored record as it was.
  f_->clear();
  ASSERT_TRUE(f_->set_value("CODE", Value("B2")).ok());
  ASSERT_TRUE(f_->get(kByCode).ok());
  ASSERT_TRUE(f_->set_value("CODE", Value("A1")).ok());
  EXPECT_EQ(f_->put().code(), kDuplicateKey);
  ASSERT_TRUE(f_->set_value("CODE", Value("b2")).ok());
  ASSERT_TRUE(f_->get(kByCode).ok());
  EXPECT_EQ(str("NAME"), std::string("gamma") + std::string(15, ' '));
}

TEST_F(KeyedFileTest, GetByKeyFillsTheBufferAndFindsTheFirstDuplicate) {
  ASSERT_TRUE(add("Delta", "D1", 7, "first").ok());
  ASSERT_TRUE(add("delta", "D2", 8, "second").ok());
  f_->clear();
  ASSERT_TRUE(f_->set_value("NAME", Value("DELTA")).ok());
  ASSERT_TRUE(f_->get(kByName).ok());
  EXPECT_EQ(clip(str("CODE")), "D1");
  EXPECT_EQ(f_->get_value("QTY").text(), "7");
  EXPECT_EQ(f_->memo(0), "first");
  f_->clear();
  ASSERT_TRUE(f_->set_value("NAME", Value("nobody")).ok());
  EXPECT_EQ(f_->get(kByName).code(), kRecordNotFound);
  f_->clear();  // blank values of an OPT key are in no record of it
  EXPECT_EQ(f_->get(kByName).code(), kRecordNotFound);
}

TEST_F(KeyedFileTest, MemoRoundTripAndLimit) {
  std::string text = "line 1\r\nline 2 \xE9\xE8 \"quoted\" 'x'";
  text += std::string(100 - text.size(), '.');
  ASSERT_TRUE(add("m", "M1", 0, text).ok());
  ASSERT_TRUE(add("n", "M2", 0, "").ok());
  f_->clear();
  ASSERT_TRUE(f_->set_value("CODE", Value("M1")).ok());
  ASSERT_TRUE(f_->get(kByCode).ok());
  EXPECT_EQ(f_->memo(0), text);
  EXPECT_EQ(f_->get_value("ITM:NOTES").text(), text);  // memos are reachable by name too
  ASSERT_TRUE(f_->set_value("CODE", Value("M2")).ok());
  ASSERT_TRUE(f_->get(kByCode).ok());
  EXPECT_EQ(f_->memo(0), "");
  f_->memo(0) = text + "!";  // one character over the declared size
  EXPECT_EQ(f_->put().code(), kMemoTooLong);
  EXPECT_EQ(add("o", "M3", 0, text + "!").code(), kMemoTooLong);
  EXPECT_EQ(*f_->records(), 2);
}

TEST_F(KeyedFileTest, ClearBlanksStringsAndZeroesNumbers) {
  std::memset(f_->record(), 'x', f_->record_size());
  f_->memo(0) = "memo";
  f_->clear();
  const unsigned char* r = f_->record();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r), 30), std::string(30, ' '));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 30), 4), std::string(4, '\0'));
  EXPECT_EQ(f_->get_value("PRICE").number(), Decimal(0));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 38), 10), std::string(10, '\0'));
  EXPECT_EQ(f_->memo(0), "");
}

TEST_F(KeyedFileTest, PutRewritesTheLastRecordRead) {
  EXPECT_EQ(f_->put().code(), kRecordNotAvailable);  // nothing read yet
  for (const char* c : {"P1", "P2", "P3"}) ASSERT_TRUE(add("p", c, 1).ok());
  ASSERT_TRUE(f_->set(kByCode).ok());
  ASSERT_TRUE(f_->next().ok());
  ASSERT_TRUE(f_->next().ok());  // P2
  ASSERT_TRUE(f_->set_value("QTY", Value(42)).ok());
  f_->memo(0) = "changed";
  ASSERT_TRUE(f_->put().ok());
  f_->clear();
  ASSERT_TRUE(f_->set_value("CODE", Value("P2")).ok());
  ASSERT_TRUE(f_->get(kByCode).ok());
  EXPECT_EQ(f_->get_value("QTY").text(), "42");
  EXPECT_EQ(f_->memo(0), "changed");
  EXPECT_EQ(*f_->records(), 3);
  // The order of a changed key follows the new value.
  EXPECT_EQ(scan(kByQty), (V{"P1", "P3", "P2"}));
  // erase() removes the current record.
  ASSERT_TRUE(f_->erase().ok());
  EXPECT_EQ(f_->erase().code(), kRecordNotAvailable);
  EXPECT_EQ(scan(kByCode), (V{"P1", "P3"}));
}

TEST_F(KeyedFileTest, SetFromValuesAndReadBackwards) {
  for (int q : {10, 20, 20, 30, 40}) ASSERT_TRUE(add("s", "C" + std::to_string(q) + "_" + std::to_string(*f_->records()), q).ok());
  auto from = [&](int qty, bool forward) {
    f_->clear();
    EXPECT_TRUE(f_->set_value("QTY", Value(qty)).ok());
    EXPECT_TRUE(f_->set_from(kByQty).ok());
    V out;
    while ((forward ? f_->next() : f_->previous()).ok()) out.push_back(std::string(clip(str("CODE"))));
    return out;
  };
  EXPECT_EQ(from(20, true), (V{"C20_1", "C20_2", "C30_3", "C40_4"}));
  EXPECT_EQ(from(20, false), (V{"C20_2", "C20_1", "C10_0"}));
  EXPECT_EQ(from(25, true), (V{"C30_3", "C40_4"}));
  EXPECT_EQ(from(25, false), (V{"C20_2", "C20_1", "C10_0"}));
  EXPECT_EQ(from(50, true), V{});
  // Changing direction continues from the record last read.
  ASSERT_TRUE(f_->set(kByQty).ok());
  ASSERT_TRUE(f_->next().ok());
  ASSERT_TRUE(f_->next().ok());
  ASSERT_TRUE(f_->next().ok());  // C20_2
  ASSERT_TRUE(f_->previous().ok());
  EXPECT_EQ(clip(str("CODE")), "C20_1");
}

TEST_F(KeyedFileTest, SavedPositionRegetAndReset) {
  for (const char* c : {"R1", "R2", "R3", "R4"}) ASSERT_TRUE(add("r", c).ok());
  for (bool quick : {false, true}) {
    ASSERT_TRUE(f_->send(quick ? "QUICKSCAN=on" : "quickscan = OFF").ok());
    ASSERT_TRUE(f_->set(kByCode).ok());
    ASSERT_TRUE(f_->next().ok());
    ASSERT_TRUE(f_->next().ok());
    Position pos = f_->position();
    ASSERT_TRUE(f_->next().ok());
    EXPECT_EQ(clip(str("CODE")), "R3");
    ASSERT_TRUE(f_->reget(pos).ok());
    EXPECT_EQ(clip(str("CODE")), "R2");
    ASSERT_TRUE(f_->reset(pos).ok());
    ASSERT_TRUE(f_->next().ok());
    EXPECT_EQ(clip(str("CODE")), "R2");
    ASSERT_TRUE(f_->next().ok());
    EXPECT_EQ(clip(str("CODE")), "R3");
    ASSERT_TRUE(f_->reset(pos).ok());
    ASSERT_TRUE(f_->previous().ok());
    EXPECT_EQ(clip(str("CODE")), "R1");
  }
  Position junk{};
  EXPECT_EQ(f_->reget(junk).code(), kRecordNotAvailable);
}

TEST_F(KeyedFileTest, QuickscanReadsTheSameAndSeesOwnChanges) {
  for (int i = 0; i < 150; ++i) ASSERT_TRUE(add("q", "Q" + std::to_string(1000 + i), i % 7).ok());
  ASSERT_TRUE(f_->send("QUICKSCAN=off").ok());
  V slow = scan(kByQty), slow_back = scan(kByQty, false);
  ASSERT_TRUE(f_->send("QUICKSCAN=on").ok());
  EXPECT_EQ(scan(kByQty), slow);
  EXPECT_EQ(scan(kByQty, false), slow_back);
  // A write in the middle of a read-ahead scan is seen by the rest of the scan.
  ASSERT_TRUE(f_->set(kByCode).ok());
  ASSERT_TRUE(f_->next().ok());
  ASSERT_TRUE(add("q", "Q1001A").ok());
  ASSERT_TRUE(f_->set(kByCode).ok());
  ASSERT_TRUE(f_->next().ok());
  ASSERT_TRUE(f_->next().ok());
  ASSERT_TRUE(f_->next().ok());
  EXPECT_EQ(clip(str("CODE")), "Q1001A");
  EXPECT_EQ(f_->send("QUICKSCAN=maybe").code(), kBadOption);
  EXPECT_EQ(f_->send("TURBO=on").code(), kBadOption);
}

TEST(KeyedFileFiles, MissingFileIsCreatedAndAnExistingOneKept) {
  std::remove("NEW.DAT");
  KeyedFile f(item_decl("NEW.DAT"));
  Status s = f.open();
  EXPECT_EQ(s.code(), kFileNotFound) << s.ToString();
  EXPECT_EQ(last_error().code, kFileNotFound);
  EXPECT_EQ(f.get(kByCode).code(), kFileNotOpen);
  ASSERT_TRUE(f.create().ok());
  ASSERT_TRUE(f.open().ok());
  EXPECT_EQ(*f.records(), 0);
  f.clear();
  ASSERT_TRUE(f.set_value("CODE", Value("K")).ok());
  ASSERT_TRUE(f.add().ok());
  f.close();
  ASSERT_TRUE(f.create().ok());  // exists: left alone
  ASSERT_TRUE(f.open().ok());
  EXPECT_EQ(*f.records(), 1);
  f.close();
  ASSERT_TRUE(f.create(true).ok());  // replace
  ASSERT_TRUE(f.open().ok());
  EXPECT_EQ(*f.records(), 0);
  f.close();
  KeyedFile nowhere(item_decl("no/such/folder/X.DAT"));
  EXPECT_EQ(nowhere.create().code(), kFileSystemError);
  EXPECT_NE(last_error().os_code, 0);
}

TEST(KeyedFileFiles, ChangedDeclarations) {
  std::remove("DECL.DAT");
  {
    KeyedFile f(item_decl("DECL.DAT", /*code_unique=*/false));
    ASSERT_TRUE(f.create().ok());
    ASSERT_TRUE(f.open().ok());
    for (const char* c : {"x", "y", "X"}) {
      f.clear();
      ASSERT_TRUE(f.set_value("CODE", Value(c)).ok());
      ASSERT_TRUE(f.add().ok());
    }
  }
  // Another record layout: an invalid file, which a key rebuild does not repair.
  KeyedFile bigger(item_decl("DECL.DAT", false, 60));
  EXPECT_EQ(bigger.open().code(), kInvalidFile);
  EXPECT_EQ(bigger.build_keys().code(), kInvalidFile);
  // Other keys: an invalid key file; the rebuild refuses keys the records break ("x" and "X"
  // under a unique NOCASE key) and leaves the file as it was.
  KeyedFile unique(item_decl("DECL.DAT", true));
  EXPECT_EQ(unique.open().code(), kInvalidKeyFile);
  EXPECT_EQ(unique.build_keys().code(), kDuplicateKey);
  KeyedFile same(item_decl("DECL.DAT", false));
  ASSERT_TRUE(same.open().ok());
  same.clear();
  ASSERT_TRUE(same.set_value("CODE", Value("X")).ok());
  ASSERT_TRUE(same.get(kByCode).ok());
  ASSERT_TRUE(same.erase().ok());
  same.close();
  ASSERT_TRUE(unique.build_keys().ok());
  ASSERT_TRUE(unique.open().ok());
  EXPECT_EQ(*unique.records(), 2);
  unique.clear();
  ASSERT_TRUE(unique.set_value("CODE", Value("Y")).ok());
  ASSERT_TRUE(unique.get(kByCode).ok());
  EXPECT_EQ(unique.add().code(), kDuplicateKey);
  unique.close();
  // A lost index is an invalid key file too, repaired the same way.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open("DECL.DAT", &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "DROP INDEX ix1", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  EXPECT_EQ(unique.open().code(), kInvalidKeyFile);
  ASSERT_TRUE(unique.build_keys().ok());
  ASSERT_TRUE(unique.open().ok());
  // Not a store file at all.
  FILE* junk = std::fopen("JUNK.DAT", "wb");
  std::fputs("this is not a database, just text that is long enough to be read", junk);
  std::fclose(junk);
  KeyedFile j(item_decl("JUNK.DAT"));
  EXPECT_EQ(j.open().code(), kInvalidFile);
}

TEST(KeyedFileFiles, FieldsByName) {
  KeyedFile f(item_decl());
  struct Case {
    const char* name;
    bool found;
  } cases[] = {{"ITM:NAME", true}, {"itm:name", true}, {"Name", true},  {"ITM:NOTES", true},
               {"XYZ:NAME", false}, {"ITM:", false},   {"NAMEX", false}, {"", false}};
  for (const Case& c : cases) EXPECT_EQ(f.field(c.name).valid(), c.found) << c.name;
  EXPECT_EQ(f.find_key("itm:by_code"), kByCode);
  EXPECT_EQ(f.find_key("BY_NOTHING"), -1);
  EXPECT_EQ(f.set_value("NOPE", Value(1)).code(), kInvalidDeclaration);
}

TEST(StoreErrors, EveryCodeHasItsOwnText) {
  const int codes[] = {kFileNotFound,    kAccessDenied,      kFileLocked,         kRecordNotAvailable,
                       kRecordNotFound,  kInvalidFile,       kFileNotOpen,        kDuplicateKey,
                       kInvalidKeyFile,  kMemoTooLong,       kBadOption,          kTransactionFailed,
                       kTransactionActive, kInvalidDeclaration, kChangedByOther, kFileSystemError,
                       kDamagedFile};
  std::set<std::string> texts;
  for (int c : codes) {
    EXPECT_STRNE(error_text(c), "Unknown error") << c;
    texts.insert(error_text(c));
  }
  EXPECT_EQ(texts.size(), std::size(codes));
  EXPECT_EQ(kDuplicateKey, 40);
  EXPECT_STREQ(error_text(kChangedByOther), "Record changed by another station");
  EXPECT_EQ(make_error(40, "PRODUCT.DAT").ToString(), "Creates duplicate key: PRODUCT.DAT (40)");
}

TEST(FileDecls, InconsistentDeclarationsAreRefused) {
  const FieldSpec overlap[] = {{"A", FieldType::String, 0, 10}, {"B", FieldType::Long, 8, 4}};
  const FieldSpec beyond[] = {{"A", FieldType::String, 0, 10}, {"B", FieldType::Long, 8, 4}};
  const FieldSpec ok[] = {{"A", FieldType::String, 0, 10}, {"B", FieldType::Long, 10, 4}};
  const KeySpec bad_key[] = {{"K", "A,C", kDup}};
  const KeySpec both[] = {{"K", "A", kDup | kUnique}};
  EXPECT_FALSE(build_decl("T", "T.DAT", "T", 14, overlap, {}, {}).ok());
  EXPECT_FALSE(build_decl("T", "T.DAT", "T", 11, beyond, {}, {}).ok());
  EXPECT_FALSE(build_decl("T", "T.DAT", "T", 14, ok, {}, bad_key).ok());
  EXPECT_FALSE(build_decl("T", "T.DAT", "T", 14, ok, {}, both).ok());
  EXPECT_TRUE(build_decl("T", "T.DAT", "T", 14, ok, {}, {}).ok());
}

}  // namespace
}  // namespace tdx::store
