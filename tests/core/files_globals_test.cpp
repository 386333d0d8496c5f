// The main module's files and globals: names reach the globals, use counters open and close.
#include <gtest/gtest.h>

#include "core/files.h"
#include "core/globals.h"
#include "runtime/expr/bound_names.h"

namespace tdx::core {
namespace {

TEST(Globals, EveryGlobalIsBoundUnderItsTextNameWithItsWidth) {
  struct Case {
    const char* name;
    FieldType type;
    uint32_t size;
  };
  const Case cases[] = {
      {"Glo:Manufac", FieldType::String, 36},  {"glo:manufac", FieldType::String, 36},
      {"GLO:Region", FieldType::String, 36},   {"Glo:BID_ID", FieldType::String, 24},
      {"Glo:ProdCode", FieldType::String, 14}, {"Glo:LINE_NUM", FieldType::String, 12},
      {"Glo:MfrRef", FieldType::String, 10},   {"GLO:BidType", FieldType::String, 4},
      {"Glo:BidPrice", FieldType::String, 3},  {"GLO:TypeSize", FieldType::String, 2},
      {"Glo:Minority", FieldType::String, 1},  {"Glo:Remarks2", FieldType::String, 65},
      {"GLO:EmailTo", FieldType::String, 100}, {"GLO:PDFFile", FieldType::String, 128},
      {"FAX:ToNumber", FieldType::String, 30}, {"FAX:FaxSubject", FieldType::String, 50},
      {"FAX:Comments", FieldType::String, 200}, {"GLO:Pellam", FieldType::Long, 4},
      {"EndDate3", FieldType::Long, 4},        {"GlobalResponse", FieldType::Long, 4},
      {"Landscape", FieldType::Byte, 1},       {"GLO:UseAltOrder", FieldType::Byte, 1},
      {"FAX:FaxYes", FieldType::Byte, 1},      {"GLO:FaxPages", FieldType::Byte, 1},
  };
  for (const Case& c : cases) {
    const BoundName* b = BoundNames::global().find(c.name);
    ASSERT_NE(b, nullptr) << c.name;
    EXPECT_EQ(b->ref.type, c.type) << c.name;
    EXPECT_EQ(b->ref.size, c.size) << c.name;
    EXPECT_EQ(b->owner, globals_owner()) << c.name;
    EXPECT_EQ(find_global(c.name).ptr, b->ref.ptr) << c.name;
  }
  EXPECT_EQ(globals().size(), 61u);
  EXPECT_FALSE(find_global("PRD:MANUFAC").valid());
}

TEST(Globals, ABoundNameWritesTheCppGlobal) {
  ResetGlobals();
  ASSERT_TRUE(find_global("glo:manufac").set(Value("ACME FOODS")).ok());
  EXPECT_EQ(Glo::Manufac, "ACME FOODS");
  ASSERT_TRUE(find_global("GLO:PELLAM").set(Value("1")).ok());
  EXPECT_EQ(GLO::Pellam, 1);
  GLO::BidType = "BIDT";
  EXPECT_EQ(Glo::BidType, "BIDT");  // the one global spelt both ways
  ResetGlobals();
  EXPECT_TRUE(Glo::Manufac.blank());
  EXPECT_EQ(GLO::Pellam, 0);
}

TEST(ProdMarks, EachCodeOnceInCodeOrder) {
  ResetGlobals();
  for (const char* code : {"B200", "A100", "C300", "A100", "B200  "}) QProdMark.mark(code);
  std::vector<std::string> codes;
  for (const ProdMark& m : QProdMark) codes.push_back(m.PROD_CODE.str());
  EXPECT_EQ(codes, (std::vector<std::string>{"A100", "B200", "C300"}));
  EXPECT_FALSE(QProdMark.toggle("B200"));
  EXPECT_TRUE(QProdMark.toggle("A050"));
  EXPECT_EQ(QProdMark.find("A050"), 1u);
  EXPECT_FALSE(QProdMark.marked("B200"));
  EXPECT_FALSE(QProdMark.unmark("B200"));
  EXPECT_EQ(QProdMark.records(), 3u);
}

TEST(Files, UseCountersOpenOnceAndCloseAtZero) {
  // Runs in the test's scratch folder: the file is created there when missing.
  ASSERT_EQ(PRODUCT::Used, 0);
  ASSERT_TRUE(UseFile(PRODUCT::file, PRODUCT::Used).ok());
  EXPECT_TRUE(PRODUCT::file.is_open());
  {
    FileUse again(PRODUCT::file, PRODUCT::Used);
    ASSERT_TRUE(again.status().ok());
    EXPECT_EQ(PRODUCT::Used, 2);
  }
  EXPECT_EQ(PRODUCT::Used, 1);
  EXPECT_TRUE(PRODUCT::file.is_open());
  PRODUCT::rec().MANUFAC = "ACME";
  ReleaseFile(PRODUCT::file, PRODUCT::Used);
  EXPECT_EQ(PRODUCT::Used, 0);
  EXPECT_FALSE(PRODUCT::file.is_open());
  EXPECT_EQ(PRODUCT::rec().MANUFAC, "ACME");  // the buffer outlives the open file
  ReleaseFile(PRODUCT::file, PRODUCT::Used);  // one release too many stays at 0
  EXPECT_EQ(PRODUCT::Used, 0);

  EXPECT_EQ(core_files().size(), 21u);
  const CoreFile* f = find_core_file("code_def");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->file, &Code_Def::file);
  EXPECT_EQ(find_core_file("PrinMfr"), nullptr);  // the transfer program's, not ours
}

}  // namespace
}  // namespace tdx::core
