// Lookup windows positioned by a partial entry, chosen or cancelled; the output dialog filled,
// refused and cancelled; the calendar. Each runs against a ScriptedFrontend.
#include <gtest/gtest.h>

#include "core/files.h"
#include "core/globals.h"
#include "core/procedures.h"
#include "runtime/datetime/datetime.h"
#include "runtime/ui/keyboard.h"
#include "runtime/ui/scripted_frontend.h"

namespace tdx::core {
namespace {

// A script run: load the script, make it the current frontend.
struct Scripted {
  explicit Scripted(const std::string& script) : scope(&fe) {
    Status s = fe.load(script);
    EXPECT_TRUE(s.ok()) << s.ToString();
  }
  ui::ScriptedFrontend fe;
  ui::ScopedFrontend scope;
};

class LookupTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Brands and products in the scratch folder of this test program.
    for (const CoreFile& f : core_files()) {
      if (std::string(f.label) != "FAXHEAD") {
        ASSERT_TRUE(f.file->create(true).ok());
      }
    }
    FileUse man(MANUF::file, MANUF::Used);
    for (const char* name : {"BAKERY BROS", "ACME FOODS", "ZEST COMPANY", "Acme Dairy"}) {
      MANUF::file.clear();
      MANUF::rec().MANUF_NAME = name;
      ASSERT_TRUE(MANUF::file.add().ok());
    }
    FileUse prd(PRODUCT::file, PRODUCT::Used);
    struct P {
      const char* brand;
      const char* code;
    };
    for (P p : {P{"ACME FOODS", "A-100"}, P{"ACME FOODS", "A-200"}, P{"BAKERY BROS", "A-150"},
                P{"BAKERY BROS", "B-900"}}) {
      PRODUCT::file.clear();
      PRODUCT::rec().MANUFAC = p.brand;
      PRODUCT::rec().PROD_CODE = p.code;
      ASSERT_TRUE(PRODUCT::file.add().ok());
    }
    FileUse cod(Code_Def::file, Code_Def::Used);
    for (const char* v : {"OPEN", "SEAL"}) {
      Code_Def::file.clear();
      Code_Def::rec().ID = "BIDT";
      Code_Def::rec().VALUE = v;
      ASSERT_TRUE(Code_Def::file.add().ok());
    }
    Code_Def::file.clear();
    Code_Def::rec().ID = "TERM";
    Code_Def::rec().VALUE = "NET";
    ASSERT_TRUE(Code_Def::file.add().ok());
  }
  void SetUp() override {
    ResetGlobals();
    ui::clear_keyboard_buffer();
  }
  // Calls a lookup the way an option window does.
  static void Call(void (*lookup)(), const std::string& typed) {
    GlobalRequest = kRequestSelectRecord;
    GlobalResponse = kResponseCancelled;
    ui::type_into_keyboard(typed);
    lookup();
  }
};

TEST_F(LookupTest, PositionedByThePartialEntryAndChosen) {
  struct Case {
    const char* typed;
    const char* script;
    const char* chosen;  // MAN:MANUF_NAME afterwards
    const char* line;    // the transcript's line
  };
  const Case cases[] = {
      {"acm", "lookup current", "Acme Dairy",
       "lookup MANUFCTRBROWSE \"Select a Manufacturer\" at \"acm\" -> \"Acme Dairy\""},
      {"ACME F", "lookup current", "ACME FOODS", "at \"ACME F\" -> \"ACME FOODS\""},
      {"zz", "lookup current", "ZEST COMPANY", "at \"zz\" -> \"ZEST COMPANY\""},  // past the end
      {"", "lookup current", "Acme Dairy", "at \"\" -> \"Acme Dairy\""},  // no case in order
      {"ba", "lookup \"zest company\"", "ZEST COMPANY", "-> \"zest company\""},
  };
  for (const Case& c : cases) {
    Scripted sc(c.script);
    Call(MANUFCTRBROWSE, c.typed);
    EXPECT_EQ(GlobalResponse, kResponseCompleted) << c.typed << "\n" << sc.fe.transcript();
    EXPECT_EQ(MANUF::rec().MANUF_NAME, c.chosen) << c.typed;
    EXPECT_NE(sc.fe.transcript().find(c.line), std::string::npos) << sc.fe.transcript();
    EXPECT_TRUE(sc.fe.finish().ok());
    EXPECT_EQ(MANUF::Used, 0);
    EXPECT_FALSE(MANUF::file.is_open());
    EXPECT_TRUE(ui::keyboard_buffer().empty());
  }
}

TEST_F(LookupTest, CancelledOrUnknownKeepsTheBufferAndAnswersCancelled) {
  for (const char* script : {"lookup cancel", "lookup \"NO SUCH BRAND\""}) {
    Scripted sc(script);
    MANUF::file.clear();
    MANUF::rec().MANUF_NAME = "TYPED BY HAND";
    Call(MANUFCTRBROWSE, "TYPED BY HAND");
    EXPECT_EQ(GlobalResponse, kResponseCancelled) << script;
    EXPECT_EQ(MANUF::rec().MANUF_NAME, "TYPED BY HAND") << script;
  }
}

TEST_F(LookupTest, UsesTheCallersOpenFileWithoutClosingIt) {
  FileUse use(MANUF::file, MANUF::Used);
  Scripted sc("lookup current");
  Call(MANUFCTRBROWSE, "B");
  EXPECT_EQ(MANUF::rec().MANUF_NAME, "BAKERY BROS");
  EXPECT_EQ(MANUF::Used, 1);
  EXPECT_TRUE(MANUF::file.is_open());
}

TEST_F(LookupTest, ProductsOfOneBrandAndCodesOfOneType) {
  {
    Scripted sc("lookup current\nlookup A-150\n");
    PRODUCT::file.clear();
    PRODUCT::rec().MANUFAC = "BAKERY BROS";
    Call(PRODUCTBROWSE2, "A-1");
    EXPECT_EQ(PRODUCT::rec().PROD_CODE, "A-150");  // not ACME's A-100
    PRODUCT::file.clear();
    PRODUCT::rec().MANUFAC = "ACME FOODS";
    Call(PRODUCTBROWSE2, "");  // A-150 is another brand's product
    EXPECT_EQ(GlobalResponse, kResponseCancelled);
    EXPECT_FALSE(sc.fe.finish().ok());
  }
  {
    Scripted sc("lookup current\nlookup current\n");
    Code_Def::file.clear();
    Call(BROWSEBIDTYPECODES, "Q");
    EXPECT_EQ(Code_Def::rec().VALUE, "SEAL");
    EXPECT_EQ(Code_Def::rec().ID, "BIDT");
    Code_Def::file.clear();
    Call(BROWSEBIDTYPECODES, "ZZZ");  // the last bid type, never another type's code
    EXPECT_EQ(Code_Def::rec().VALUE, "SEAL");
  }
}

TEST_F(LookupTest, BrandWordingInTheTitle) {
  GLO::Pellam = 1;
  Scripted sc("lookup cancel");
  Call(MANUFCTRBROWSE, "");
  EXPECT_NE(sc.fe.transcript().find("\"Select a Brand\""), std::string::npos) << sc.fe.transcript();
}

TEST(DateSelect, ChosenDayOrTheGivenOne) {
  Scripted sc("date 2024-03-15\ndate cancel\n");
  EXPECT_EQ(DATESELECT(make_date(1, 1, 2024)), make_date(3, 15, 2024));
  EXPECT_EQ(DATESELECT(make_date(1, 1, 2024)), make_date(1, 1, 2024));
  EXPECT_TRUE(sc.fe.finish().ok()) << sc.fe.finish().ToString();
}

TEST(FaxReport, FilledConfirmedAndCancelled) {
  ResetGlobals();
  {
    Scripted sc(
        "output email fax to=buyer@example.com file=C:\\OUT\\Q.pdf name=\"Pat Buyer\" "
        "company=\"Sysco East\" number=555-0100 subject=\"Bid 100\" comments=\"See page 2\" "
        "offpeak\n");
    FAX::AFEBase = "F:\\FAX";
    FAXREPORT();
    EXPECT_EQ(GlobalResponse, kResponseCompleted) << sc.fe.transcript();
    EXPECT_EQ(GLO::EmailReport, 1);
    EXPECT_EQ(FAX::FaxYes, 1);
    EXPECT_EQ(Glo::PreviewYes, 0);
    EXPECT_EQ(FAX::PrintYes, 0);
    EXPECT_EQ(GLO::SendOffPeak, 1);
    EXPECT_EQ(GLO::EmailTo, "buyer@example.com");
    EXPECT_EQ(GLO::PDFFile, "C:\\OUT\\Q.pdf");
    EXPECT_EQ(FAX::ToName, "Pat Buyer");
    EXPECT_EQ(FAX::ToCompany, "Sysco East");
    EXPECT_EQ(FAX::ToNumber, "555-0100");
    EXPECT_EQ(FAX::FaxSubject, "Bid 100");
    EXPECT_EQ(FAX::Comments, "See page 2");
  }
  {
    Scripted sc("output cancel");
    FAXREPORT();
    EXPECT_EQ(GlobalResponse, kResponseCancelled);
    EXPECT_EQ(FAX::FaxYes, 1);  // the globals keep what they held
    EXPECT_EQ(GLO::EmailTo, "buyer@example.com");
  }
}

TEST(FaxReport, IncompleteChoicesAreRefusedAndAskedAgain) {
  struct Case {
    const char* output;
    const char* afe_base;
    const char* message;
  };
  const Case cases[] = {
      {"output offpeak", "F:", "Choose where the report goes"},
      {"output email file=q.pdf", "F:", "needs the recipient's e-mail address"},
      {"output email to=nobody file=q.pdf", "F:", "is not an e-mail address"},
      {"output email to=a@b.com", "F:", "needs the name of the PDF file"},
      {"output pdf file=q.pdf", "F:", "Choose E-mail as well"},
      {"output fax name=Pat", "F:", "needs the recipient's fax number"},
      {"output fax number=5550100123456789012345678901234", "F:", "longer than 30"},
      {"output fax number=555", "", "no fax server folder"},
  };
  for (const Case& c : cases) {
    ResetGlobals();
    FAX::AFEBase = c.afe_base;
    Scripted sc(std::string(c.output) + "\nanswer OK\noutput print\n");
    FAXREPORT();
    EXPECT_EQ(GlobalResponse, kResponseCompleted) << c.output << "\n" << sc.fe.transcript();
    EXPECT_NE(sc.fe.transcript().find(c.message), std::string::npos)
        << c.output << "\n" << sc.fe.transcript();
    EXPECT_EQ(FAX::PrintYes, 1);
    EXPECT_EQ(FAX::FaxYes, 0) << c.output;
    EXPECT_TRUE(sc.fe.finish().ok()) << sc.fe.finish().ToString();
  }
}

}  // namespace
}  // namespace tdx::core
