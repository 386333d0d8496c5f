// The product list end to end on a small catalog: runs through the scripted frontend and the
// report routing, and reads what the pages show - the previewed PDF through pdftotext, and the
// page images (metafiles) through the report engine's own reader.
#include "reports/catalog/product_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "core/files.h"
#include "core/globals.h"
#include "reports/framework/routing.h"
#include "runtime/report/wmf.h"
#include "tests/reports/framework/run_fixture.h"

extern "C" void PRODUCTLISTPRINT(void);
extern "C" void PRODSUMMARYRPTMNU(void);
extern "C" void PRODDETRPTMNU(void);

namespace tdx::reports::catalog {
namespace {

namespace fs = std::filesystem;
using testing::Scripted;

struct Product {
  const char* brand;
  const char* code;
  const char* description;
  bool grid;  // eight ranges and prices, or none
};

// Added out of order; one product has no code; MIDWAY's product has an empty price grid.
const Product kCatalog[] = {
    {"ZETA FARMS", "Z-200", "Pear halves", true},   {"ACME FOODS", "A-3", "Apple sauce", true},
    {"MIDWAY MEATS", "M-1", "Beef patties", false}, {"ACME FOODS", "", "Nameless item", true},
    {"ACME FOODS", "A-1", "Apple slices", true},    {"ZETA FARMS", "Z-100", "Pear slices", true},
    {"ACME FOODS", "A-2", "Apple juice", true},
};

void add_product(const char* brand, const std::string& code, const char* description, bool grid) {
  PRODUCT::file.clear();
  PRD::Record& r = PRODUCT::rec();
  r.MANUFAC = brand;
  r.PROD_CODE = code;
  r.PROD_DES = description;
  r.PACK = "6/10";
  r.PROD_DIVISON = "GROCERY";
  r.UPC_CODE = "012345678905";
  r.GROSS_WT = Decimal::FromParts(4250, 2);
  r.NET_WT = Decimal::FromParts(3900, 2);
  if (grid) {
    Str<15>* ranges[] = {&r.RANGE1, &r.RANGE2, &r.RANGE3, &r.RANGE4,
                         &r.RANGE5, &r.RANGE6, &r.RANGE7, &r.RANGE8};
    store::Packed<11, 4>* prices[] = {&r.PRICE1, &r.PRICE2, &r.PRICE3, &r.PRICE4,
                                      &r.PRICE5, &r.PRICE6, &r.PRICE7, &r.PRICE8};
    for (int k = 0; k < 8; ++k) {
      *ranges[k] = std::to_string(k + 1) + "-" + std::to_string(k + 5) + " CS";
      *prices[k] = Decimal::FromParts(250000 - 1000 * k, 4);
    }
  }
  ASSERT_TRUE(PRODUCT::file.add().ok());
}

void make_catalog(const std::vector<Product>& products) {
  std::remove("PRODUCT.DAT");
  ASSERT_TRUE(PRODUCT::file.create().ok());
  ASSERT_TRUE(PRODUCT::file.open().ok());
  for (const Product& p : products) add_product(p.brand, p.code, p.description, p.grid);
  PRODUCT::file.close();
  std::remove("MANUF.DAT");
  ASSERT_TRUE(MANUF::file.create().ok());
  ASSERT_TRUE(MANUF::file.open().ok());
  for (const char* b : {"ACME FOODS", "MIDWAY MEATS", "ZETA FARMS", "EMPTY BRAND"}) {
    MANUF::file.clear();
    MANUF::rec().MANUF_NAME = b;
    ASSERT_TRUE(MANUF::file.add().ok());
  }
  MANUF::file.close();
}

std::string run(const std::string& cmd) {
  std::string out;
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  char buf[4096];
  size_t n;
  while (p && (n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  if (p) pclose(p);
  return out;
}

// What a PDF shows, one entry per heading, product, brand total and grand total, in page order:
// "H ACME FOODS", "D A-1", "T ACME FOODS = 3", "G 6". The heading keeps its prompt ("H Brand:").
std::vector<std::string> outline(const std::string& pdf) {
  std::istringstream text(run("pdftotext -layout " + pdf + " -"));
  static const std::regex heading(R"(^\s*(Manufacturer:|Brand:)\s+(\S.*?)\s*$)");
  static const std::regex total(R"(Total Products Printed for\s+(\S.*?)\s+=\s+(\d+))");
  static const std::regex grand(R"(Total Products Printed =\s+(\d+))");
  static const std::regex detail(R"(^\s*([A-Z]-\d+)\s)");
  std::vector<std::string> out;
  std::string line;
  std::smatch m;
  while (std::getline(text, line)) {
    if (std::regex_search(line, m, heading)) {
      out.push_back("H " + (m[1] == "Brand:" ? std::string("Brand: ") : "") + m[2].str());
    } else if (std::regex_search(line, m, total)) {
      out.push_back("T " + m[1].str() + " = " + m[2].str());
    } else if (std::regex_search(line, m, grand)) {
      out.push_back("G " + m[1].str());
    } else if (std::regex_search(line, m, detail)) {
      out.push_back("D " + m[1].str());
    }
  }
  return out;
}

int occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The report routing, keeping a copy of each page image before the run deletes them.
class KeepPages : public ReportRouting {
 public:
  void finish(RunState& st) override {
    fs::remove_all("pages");
    fs::create_directories("pages");
    if (st.pages) {
      int n = 0;
      for (const std::string& f : st.pages->files()) {
        char name[32];
        std::snprintf(name, sizeof name, "pages/%03d.wmf", ++n);
        fs::copy_file(f, name);
      }
    }
    ReportRouting::finish(st);
  }
};

// Every text run of the kept page images, page by page.
std::vector<report::TextRun> page_texts() {
  std::vector<report::TextRun> out;
  std::vector<fs::path> files;
  for (auto& e : fs::directory_iterator("pages")) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& f : files) {
    auto page = report::read_wmf_file(f.string());
    EXPECT_TRUE(page.ok()) << f;
    if (!page.ok()) continue;
    for (const report::PageItem& item : page->items)
      if (auto t = std::get_if<report::TextRun>(&item)) out.push_back(*t);
  }
  return out;
}

class ProductListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    core::ResetGlobals();
    fs::remove_all("out");
    std::ofstream("TENDIX.INI", std::ios::trunc) << "[Preview]\nOutputDir=out\n";
    make_catalog(std::vector<Product>(std::begin(kCatalog), std::end(kCatalog)));
  }
  void TearDown() override {
    EXPECT_EQ(PRODUCT::Used, 0);
    EXPECT_EQ(MANUF::Used, 0);
    EXPECT_FALSE(PRODUCT::file.is_open());
  }
  // Runs the report with the preview; the PDF the preview wrote.
  std::string preview(const std::string& script = "answer Yes\npreview close") {
    fs::remove_all("out");
    Scripted user(script);
    KeepPages routing;
    ProductList r;
    r.set_routing(&routing);
    r.run();
    EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
    EXPECT_TRUE(fs::exists("out/ProductListPrint.pdf")) << user.transcript();
    return "out/ProductListPrint.pdf";
  }
};

using Outline = std::vector<std::string>;

TEST_F(ProductListTest, EveryBrandInBrandOrderWithItsTotalAndTheGrandTotal) {
  // The product without a code is not listed and not counted.
  EXPECT_EQ(outline(preview()),
            (Outline{"H ACME FOODS", "D A-1", "D A-2", "D A-3", "T ACME FOODS = 3",
                     "H MIDWAY MEATS", "D M-1", "T MIDWAY MEATS = 1", "H ZETA FARMS", "D Z-100",
                     "D Z-200", "T ZETA FARMS = 2", "G 6"}));
  const std::string text = run("pdftotext -layout out/ProductListPrint.pdf -");
  EXPECT_EQ(occurrences(text, "Nameless item"), 0);
  EXPECT_EQ(occurrences(text, "Bid Product Report"), 1);
  EXPECT_NE(text.find("Page:"), std::string::npos);
}

TEST_F(ProductListTest, OneBrandIsOneGroupWhoseTotalIsTheGrandTotal) {
  Glo::Manufac = "ACME FOODS";
  EXPECT_EQ(outline(preview()),
            (Outline{"H ACME FOODS", "D A-1", "D A-2", "D A-3", "T ACME FOODS = 3", "G 3"}));
}

TEST_F(ProductListTest, TheSummaryPrintsNoPriceGridAndTheDetailAllEightLevels) {
  struct Case {
    int detail;
    int levels_each;   // each "Level N >" text, once per product or never
    int band_spacing;  // between the product codes of one brand, in thousandths of an inch
  };
  // Without the grid the detail band ends below the weights line (167 + 167).
  for (const Case c : {Case{0, 0, 334}, Case{1, 6, 0}}) {
    SCOPED_TRACE(c.detail);
    Glo::Detail = c.detail;
    const std::string text = run("pdftotext -layout " + preview() + " -");
    for (int level = 1; level <= 8; ++level)
      EXPECT_EQ(occurrences(text, "Level " + std::to_string(level) + " >"), c.levels_each);
    EXPECT_EQ(occurrences(text, "Range"), c.detail ? 12 : 0);
    EXPECT_EQ(occurrences(text, "$2"), c.detail ? 40 : 0);  // five products priced, eight each
    EXPECT_EQ(occurrences(text, "Gross Weight:"), 6);

    // The page images: where A-1 and A-2 stand, and the levels of the grid-less M-1.
    std::vector<report::TextRun> runs = page_texts();
    int y1 = -1, y2 = -1, m1 = -1;
    for (const report::TextRun& t : runs) {
      if (t.text.rfind("A-1", 0) == 0) y1 = t.y;
      if (t.text.rfind("A-2", 0) == 0) y2 = t.y;
      if (t.text.rfind("M-1", 0) == 0) m1 = t.y;
    }
    ASSERT_GT(y1, 0);
    ASSERT_GT(m1, 0);
    if (c.band_spacing) {
      EXPECT_EQ(y2 - y1, c.band_spacing);
    } else {
      EXPECT_GT(y2 - y1, 927);  // the grid's last row is 927 below the band's top
      int levels_of_m1 = 0;
      for (const report::TextRun& t : runs)
        if (t.text.rfind("Level ", 0) == 0 && t.y > m1 && t.y < m1 + 1100) ++levels_of_m1;
      EXPECT_EQ(levels_of_m1, 8);
    }
  }
}

TEST_F(ProductListTest, ACancelledRunWithAPartialPreviewEndsWithTheTotalsOfWhatWasPrinted) {
  std::vector<Product> big;
  std::vector<std::string> codes;
  for (int i = 1; i <= 20; ++i) codes.push_back("A-" + std::to_string(100 + i));
  for (int i = 1; i <= 20; ++i) codes.push_back("B-" + std::to_string(100 + i));
  std::remove("PRODUCT.DAT");
  ASSERT_TRUE(PRODUCT::file.create().ok());
  ASSERT_TRUE(PRODUCT::file.open().ok());
  for (const std::string& code : codes)
    add_product(code[0] == 'A' ? "ACME FOODS" : "BAYSIDE", code, "Item", false);
  PRODUCT::file.close();
  // One timer event prints 25 products: ACME's 20 and BAYSIDE's first 5.
  Outline want = {"H ACME FOODS"};
  for (int i = 0; i < 20; ++i) want.push_back("D " + codes[i]);
  want.push_back("T ACME FOODS = 20");
  want.push_back("H BAYSIDE");
  for (int i = 20; i < 25; ++i) want.push_back("D " + codes[i]);
  want.push_back("T BAYSIDE = 5");
  want.push_back("G 25");
  EXPECT_EQ(outline(preview("answer Yes\ntimers 1\npress Cancel\nanswer Yes\nanswer Yes\n"
                            "preview close")),
            want);
}

TEST_F(ProductListTest, BrandWordingChangesTheHeadingButNotTheTotalLine) {
  GLO::Pellam = 1;
  Glo::Manufac = "ZETA FARMS";
  const std::string pdf = preview();
  EXPECT_EQ(outline(pdf),
            (Outline{"H Brand: ZETA FARMS", "D Z-100", "D Z-200", "T ZETA FARMS = 2", "G 2"}));
  EXPECT_EQ(occurrences(run("pdftotext -layout " + pdf + " -"), "Manufacturer"), 0);
}

// The option windows, as exported: their texts with and without brand wording, the brand lookup,
// Print with the variant of each window, the window staying open, Cancel.
TEST_F(ProductListTest, TheOptionWindowsRunTheirVariant) {
  struct Case {
    void (*window)();
    int pellam;
    const char* title;
    const char* prompt;
    const char* note;
    bool grid;
  };
  const Case cases[] = {
      {PRODSUMMARYRPTMNU, 0, "Product Summary Report",
       "*Manufacturer:", "* Leave Manufacturer field blank for all products", false},
      {PRODSUMMARYRPTMNU, 1, "Product Summary Report",
       "Brand:", "* Leave Brand field blank for all products", false},
      {PRODDETRPTMNU, 0, "Product Detail Report",
       "*Manufacturer:", "* Leave Manufacturer field blank for all products", true},
      {PRODDETRPTMNU, 1, "Product Detail Report",
       "*Brand:", "* Leave Brand field blank for all products", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.title) + " pellam " + std::to_string(c.pellam));
    core::ResetGlobals();
    GLO::Pellam = c.pellam;
    Glo::Detail = c.grid ? 0 : 1;  // the window sets it
    Glo::Manufac = "ZETA FARMS";   // the window clears it
    fs::remove_all("out");
    // Every brand first, then one typed by its first letters and taken from the lookup.
    Scripted user(std::string("expect ?MFRPROMPT \"") + c.prompt + "\"\n" +
                  "expect ?BLANKPROMPT \"" + c.note + "\"\n" +
                  "expect ?Glo:Manufac \"\"\n"
                  "press &Print\nanswer Yes\npreview close\n"
                  "type Glo:Manufac Mid\nlookup current\n"
                  "expect ?Glo:Manufac \"MIDWAY MEATS\"\n"
                  "press &Print\nanswer Yes\npreview close\n"
                  "press Cancel\n");
    c.window();
    EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
    EXPECT_EQ(core::GlobalResponse, 2);
    EXPECT_EQ(Glo::Detail, c.grid ? 1 : 0);
    EXPECT_TRUE(user.shows(std::string("window \"") + c.title + "\"")) << user.transcript();
    EXPECT_TRUE(user.shows("lookup MANUFCTRBROWSE")) << user.transcript();
    EXPECT_EQ(user.count("preview \"ProductListPrint\""), 2) << user.transcript();
    const std::string all = "out/ProductListPrint.pdf", one = "out/ProductListPrint-2.pdf";
    EXPECT_EQ(outline(all).back(), "G 6");
    EXPECT_EQ(outline(one),
              (Outline{std::string("H ") + (c.pellam ? "Brand: " : "") + "MIDWAY MEATS", "D M-1",
                       "T MIDWAY MEATS = 1", "G 1"}));
    EXPECT_EQ(occurrences(run("pdftotext -layout " + all + " -"), "Level 8 >"), c.grid ? 6 : 0);
  }
}

TEST_F(ProductListTest, ABrandWithoutProductsSaysNothingToPreview) {
  Glo::Manufac = "EMPTY BRAND";
  Scripted user("answer Yes\nanswer Ok");
  PRODUCTLISTPRINT();
  EXPECT_EQ(core::GlobalResponse, 2);
  EXPECT_EQ(user.count("message \"NOTE...\" [information] \"Nothing to Preview.\""), 1)
      << user.transcript();
  EXPECT_TRUE(user.fe.finish().ok()) << user.fe.finish().ToString() << user.transcript();
  EXPECT_FALSE(fs::exists("out/ProductListPrint.pdf"));
}

}  // namespace
}  // namespace tdx::reports::catalog
