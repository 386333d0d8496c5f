// Import and export of data files: round trips through both formats, rejected lines with their
// line numbers and nothing stored, export order, and the CSV reader's quoting.
#include "core/dataio/dataio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/dataio/csv.h"
#include "core/dataio/field_codec.h"
#include "data/files.h"
#include "data/record_file.h"
#include "runtime/datetime/datetime.h"
#include "runtime/store/errors.h"

namespace tdx::core {
namespace {

namespace fs = std::filesystem;
using data::RecordFile;

// Each test works in a folder of its own, which becomes the working directory.
class DataIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::current_path();
    dir_ = home_ / ("dataio_" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override { fs::current_path(home_); }

  static void write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string export_text(std::string_view label, std::string_view format,
                                 std::string_view key = "") {
    std::ostringstream out;
    Status s = ExportFile(label, key, format, out);
    EXPECT_TRUE(s.ok()) << label << ": " << s.ToString();
    return out.str();
  }
  // Every record of a file (bytes and memos), sorted: the file's content whatever the order.
  static std::vector<std::string> content(std::string_view label) {
    store::KeyedFile f(data::find_file(label));
    std::vector<std::string> out;
    if (!f.open().ok()) return out;
    EXPECT_TRUE(f.set_file().ok());
    while (f.next().ok()) {
      std::string r(reinterpret_cast<const char*>(f.record()), f.record_size());
      for (size_t m = 0; m < f.decl().memos.size(); ++m) r += "|" + f.memo(m);
      out.push_back(r);
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  fs::path home_, dir_;
};

// A small data set with the awkward values: Windows-1252 text, quotes, commas and line breaks,
// blanks at the start, every numeric kind, dates and a time, odd date values, a blank optional
// key, a REAL, a CSTRING and bytes that no field covers.
void make_awkward_set() {
  RecordFile<PRD::Record> prd(PRD::Decl());
  ASSERT_TRUE(prd.create().ok());
  ASSERT_TRUE(prd.open().ok());
  prd.clear();
  prd.rec().MANUFAC = "Caf\xE9 \"Cr\xE8me\", Inc.";
  prd.rec().PROD_CODE = "  LEAD-BLANKS";
  prd.rec().PROD_DES = "Line, with comma";
  prd.rec().GROSS_WT = *Decimal::Parse("12345.67");
  prd.rec().PRICE1 = *Decimal::Parse("-0.0001");
  prd.rec().PRICE8 = *Decimal::Parse("9999999.9999");
  prd.memo(PRD::EXTND_DESCR_MEMO) = "first line\r\nsecond \"quoted\" line, \x80 euro\n";
  ASSERT_TRUE(prd.add().ok());
  prd.clear();  // blank code: left out of both optional keys
  prd.rec().MANUFAC = "Zeta";
  prd.rec().PROD_DES = "no code";
  ASSERT_TRUE(prd.add().ok());
  prd.clear();
  prd.rec().MANUFAC = "Alpha";
  prd.rec().PROD_CODE = "A1";
  ASSERT_TRUE(prd.add().ok());

  RecordFile<HEA::Record> hea(HEA::Decl());
  ASSERT_TRUE(hea.create().ok());
  ASSERT_TRUE(hea.open().ok());
  hea.clear();
  hea.rec().BID_ID = "B-1";
  hea.rec().DATE_RECD = make_date(2, 29, 2024);
  hea.rec().OPEN_DATE = -5;  // no calendar form
  hea.rec().OPEN_TIME = make_time(14, 30, 5, 7);
  hea.rec().Escalation = 1;
  hea.memo(HEA::NOTES_MEMO) = "notes";
  std::memcpy(hea.rec().FILL121.bytes, "\x01\x02xyz", 5);  // bytes no field covers
  ASSERT_TRUE(hea.add().ok());

  RecordFile<IPR::Record> ipr(IPR::Decl());
  ASSERT_TRUE(ipr.create().ok());
  ASSERT_TRUE(ipr.open().ok());
  ipr.clear();
  ipr.rec().PRNCODE = "P1";
  ipr.rec().ITMCODE = "I1";
  ipr.rec().ITMPACK = 0.1;
  ipr.rec().ITMSIZE = -1e300;
  ASSERT_TRUE(ipr.add().ok());

  RecordFile<FAX::Record> fax(FAX::Decl());
  ASSERT_TRUE(fax.create().ok());
  ASSERT_TRUE(fax.open().ok());
  fax.clear();
  fax.rec().FAXID = 7;
  fax.rec().SUBJECT = "BID # 1, \"urgent\"";
  fax.rec().STATUS = -3;
  ASSERT_TRUE(fax.add().ok());
}

TEST_F(DataIoTest, ExportThenImportGivesTheSameRecords) {
  make_awkward_set();
  const char* labels[] = {"PRODUCT", "HEADBID", "ItmProd", "FAXHEAD"};
  std::map<std::string, std::vector<std::string>> before;
  for (const char* l : labels) before[l] = content(l);
  for (const char* format : {"jsonl", "csv"}) {
    SCOPED_TRACE(format);
    std::vector<std::string> paths;
    for (const char* l : labels) {
      paths.push_back((dir_ / "out" / (std::string(l) + "." + format)).string());
      fs::create_directories(dir_ / "out");
      write(paths.back(), export_text(l, format));
    }
    fs::create_directories(dir_ / format);
    fs::current_path(dir_ / format);
    std::ostringstream report;
    Status s = ImportFiles(paths, report);
    ASSERT_TRUE(s.ok()) << s.ToString();
    EXPECT_EQ(report.str(),
              "PRODUCT: 3 records\nHEADBID: 1 record\nItmProd: 1 record\n"
              "FAXHEAD: 1 record\n");
    for (const char* l : labels) EXPECT_EQ(content(l), before[l]) << l;
    fs::current_path(dir_);
  }
}

TEST_F(DataIoTest, ExportFormats) {
  make_awkward_set();
  std::string j = export_text("HEADBID", "jsonl");
  EXPECT_NE(j.find("\"file\":\"HEADBID\",\"HEA:SALES_REP\":\"\""), std::string::npos) << j;
  EXPECT_NE(j.find("\"HEA:DATE_RECD\":\"2024-02-29\""), std::string::npos) << j;
  EXPECT_NE(j.find("\"HEA:OPEN_DATE\":\"#-5\""), std::string::npos) << j;
  EXPECT_NE(j.find("\"HEA:OPEN_TIME\":\"14:30:05.07\""), std::string::npos) << j;
  EXPECT_NE(j.find("\"HEA:Escalation\":1"), std::string::npos) << j;
  EXPECT_NE(j.find("\"_fill\":\""), std::string::npos) << j;

  std::string p = export_text("PRODUCT", "jsonl");
  EXPECT_NE(p.find("\"PRD:MANUFAC\":\"Caf\xC3\xA9 \\\"Cr\xC3\xA8me\\\", Inc.\""),
            std::string::npos);
  EXPECT_NE(p.find("\"PRD:PRICE1\":\"-0.0001\""), std::string::npos);
  EXPECT_NE(p.find("\"PRD:PRICE2\":\"0.0000\""), std::string::npos);
  EXPECT_NE(p.find("\xE2\x82\xAC euro"), std::string::npos);  // 0x80 is the euro sign

  std::string c = export_text("PRODUCT", "csv");
  EXPECT_EQ(c.substr(0, c.find('\n')).substr(0, 40), "file,PRD:MANUFAC,PRD:TERMS,PRD:MIN_DROP,");
  EXPECT_EQ(c.find("_fill"), std::string::npos);  // PRODUCT has no uncovered bytes
}

TEST_F(DataIoTest, ExportOrderIsTheKeysWithLeftOutRecordsLast) {
  make_awkward_set();
  auto codes = [](const std::string& jsonl) {
    std::vector<std::string> out;
    std::istringstream in(jsonl);
    std::string line;
    while (std::getline(in, line)) {
      size_t at = line.find("\"PRD:MANUFAC\":\"");
      out.push_back(line.substr(at + 15, line.find('"', at + 15) - at - 15).substr(0, 5));
    }
    return out;
  };
  // BY_PROD_CODE: "  LEAD-BLANKS" sorts before "A1"; the blank code comes last.
  EXPECT_EQ(codes(export_text("PRODUCT", "jsonl")),
            (std::vector<std::string>{"Caf\xC3\xA9", "Alpha", "Zeta"}));
  EXPECT_EQ(codes(export_text("PRODUCT", "jsonl", "PRD:BY_MAN_PRO")),
            (std::vector<std::string>{"Alpha", "Caf\xC3\xA9", "Zeta"}));

  std::ostringstream out;
  EXPECT_EQ(ExportFile("PRODUCT", "BY_NOTHING", "jsonl", out).code(), kExportBadRequest);
  EXPECT_EQ(ExportFile("PRODUCT", "", "xml", out).code(), kExportBadRequest);
  EXPECT_EQ(ExportFile("NOFILE", "", "csv", out).code(), kExportBadRequest);
  EXPECT_EQ(ExportFile("AGENCY", "", "csv", out).code(), store::kFileNotFound);
}

// One rejected import per row: the input, and the start of the error after the file name.
struct BadImport {
  const char* name;
  const char* path;  // .jsonl or .csv
  const char* text;
  const char* error;  // expected error text after "<path> "
};

const BadImport kBadImports[] = {
    {"unknown file", "a.jsonl",
     "{\"file\":\"MFRDIST\",\"MDX:MANUF_NAME\":\"A\",\"MDX:DISTRI_NAME\":\"D\"}\n"
     "{\"file\":\"NOSUCH\"}\n",
     "line 2: unknown file NOSUCH"},
    {"no file", "a.jsonl", "\n\n{\"MDX:MANUF_NAME\":\"A\"}\n", "line 3: no \"file\" given"},
    {"unknown field", "a.jsonl", "{\"file\":\"MFRDIST\",\"MDX:COLOUR\":\"red\"}\n",
     "line 1: unknown field MDX:COLOUR of MFRDIST"},
    {"field of another file", "a.jsonl", "{\"file\":\"MFRDIST\",\"PRD:MANUFAC\":\"A\"}\n",
     "line 1: unknown field PRD:MANUFAC of MFRDIST"},
    {"too long", "a.jsonl", "{\"file\":\"PRODUCT\",\"PRD:PROD_CODE\":\"123456789012345\"}\n",
     "line 1: value too long for PRD:PROD_CODE (15 characters, at most 14)"},
    {"too long after conversion counts characters", "a.jsonl",
     "{\"file\":\"PRODUCT\",\"PRD:CATCH\":\"\xC3\xA9\xC3\xA9\"}\n",
     "line 1: value too long for PRD:CATCH (2 characters, at most 1)"},
    {"memo too long", "a.jsonl", "{\"file\":\"SPECSBID\",\"SPE:COMMENTS\":\"",
     "line 1: value too long for SPE:COMMENTS"},
    {"bad decimal", "a.jsonl", "{\"file\":\"PRODUCT\",\"PRD:PRICE1\":\"1,50\"}\n",
     "line 1: bad number for PRD:PRICE1: \"1,50\""},
    {"too many places", "a.jsonl", "{\"file\":\"PRODUCT\",\"PRD:GROSS_WT\":\"1.234\"}\n",
     "line 1: number does not fit PRD:GROSS_WT (DECIMAL(7,2))"},
    {"decimal overflow", "a.jsonl", "{\"file\":\"PRODUCT\",\"PRD:GROSS_WT\":\"123456\"}\n",
     "line 1: number does not fit PRD:GROSS_WT"},
    {"decimal as a JSON float", "a.jsonl", "{\"file\":\"PRODUCT\",\"PRD:PRICE1\":1.5}\n",
     "line 1: decimal PRD:PRICE1 is written as text"},
    {"long out of range", "a.jsonl", "{\"file\":\"PRODBID\",\"PRO:QUAN\":2147483648}\n",
     "line 1: number out of range for PRO:QUAN"},
    {"byte out of range", "a.jsonl", "{\"file\":\"PRODBID\",\"PRO:ExtTerm\":256}\n",
     "line 1: number out of range for PRO:ExtTerm"},
    {"bad date", "a.jsonl", "{\"file\":\"HEADBID\",\"HEA:OPEN_DATE\":\"2023-02-29\"}\n",
     "line 1: bad date for HEA:OPEN_DATE: \"2023-02-29\" (YYYY-MM-DD)"},
    {"date as a bare number", "a.jsonl", "{\"file\":\"HEADBID\",\"HEA:OPEN_DATE\":20240101}\n",
     "line 1: bad date for HEA:OPEN_DATE: \"20240101\""},
    {"bad time", "a.jsonl", "{\"file\":\"HEADBID\",\"HEA:OPEN_TIME\":\"24:00\"}\n",
     "line 1: bad time for HEA:OPEN_TIME: \"24:00\""},
    {"not json", "a.jsonl", "{\"file\":\"MFRDIST\"}\n{\"file\":\"MFRDIST\",\n",
     "line 2: not a JSON object"},
    {"field twice", "a.jsonl",
     "{\"file\":\"MFRDIST\",\"MDX:MANUF_NAME\":\"A\",\"manuf_name\":\"B\"}\n",
     "line 1: field MDX:MANUF_NAME given twice"},
    {"duplicate key in the import, other case", "a.jsonl",
     "{\"file\":\"MFRDIST\",\"MDX:MANUF_NAME\":\"Acme\",\"MDX:DISTRI_NAME\":\"D\"}\n"
     "{\"file\":\"MFRDIST\",\"MDX:MANUF_NAME\":\"x\",\"MDX:DISTRI_NAME\":\"D\"}\n"
     "{\"file\":\"MFRDIST\",\"MDX:MANUF_NAME\":\"ACME\",\"MDX:DISTRI_NAME\":\"d\"}\n",
     "line 3: duplicate key MDX:BY_MANUF_DST (ACME, d)"},
    {"duplicate of a stored record", "a.jsonl",
     "{\"file\":\"MFRDIST\",\"MDX:MANUF_NAME\":\"New\",\"MDX:DISTRI_NAME\":\"D\"}\n"
     "{\"file\":\"MFRDIST\",\"MDX:MANUF_NAME\":\"Stored\",\"MDX:DISTRI_NAME\":\"Dist\"}\n",
     "line 2: duplicate key MDX:BY_MANUF_DST (Stored, Dist)"},
    {"csv unknown field", "a.csv", "MDX:MANUF_NAME,MDX:NOPE\nA,B\n",
     "line 2: unknown field MDX:NOPE of MFRDIST"},
    {"csv field count", "a.csv", "file,MDX:MANUF_NAME\nMFRDIST,A\nMFRDIST,B,C\n",
     "line 3: 3 fields where the header has 2"},
    {"csv quote not closed", "a.csv", "MDX:MANUF_NAME\n\"A\n\nB\n",
     "line 2: quoted field without its closing quote"},
    {"csv line number after a quoted line break", "a.csv",
     "MDX:MANUF_NAME,MDX:MFR_DIST_ID\n\"two\nlines\",1\nA,1234567890123\n",
     "line 4: value too long for MDX:MFR_DIST_ID"},
    {"csv in another encoding", "a.csv", "MDX:MANUF_NAME\nCaf\xE9\n",
     "line 2: text for MDX:MANUF_NAME is not UTF-8"},
    {"csv without file or prefix", "a.csv", "NAME\nA\n",
     "line 1: no \"file\" column and no prefixed field names"},
};

class BadImportTest : public DataIoTest, public ::testing::WithParamInterface<BadImport> {};

TEST_P(BadImportTest, StopsWithTheLineAndStoresNothing) {
  const BadImport& c = GetParam();
  // A stored record that must survive unchanged, and a good file imported alongside.
  RecordFile<MDX::Record> mdx(MDX::Decl());
  ASSERT_TRUE(mdx.create().ok());
  ASSERT_TRUE(mdx.open().ok());
  mdx.clear();
  mdx.rec().MANUF_NAME = "Stored";
  mdx.rec().DISTRI_NAME = "Dist";
  ASSERT_TRUE(mdx.add().ok());
  mdx.close();
  auto before = content("MFRDIST");
  write("good.jsonl",
        "{\"file\":\"MANUF\",\"MAN:MANUF_NAME\":\"Good\"}\n"
        "{\"file\":\"MFRDIST\",\"MDX:MANUF_NAME\":\"Good\",\"MDX:DISTRI_NAME\":\"Dist\"}\n");
  std::string text = c.text;
  if (std::string(c.name) == "memo too long") text += std::string(121, 'x') + "\"}\n";
  write(c.path, text);

  std::ostringstream report;
  Status s = ImportFiles({"good.jsonl", c.path}, report);
  EXPECT_EQ(s.code(), kImportRejected);
  EXPECT_EQ(s.text().rfind(std::string(c.path) + " " + c.error, 0), 0u) << s.text();
  EXPECT_EQ(report.str(), "");
  EXPECT_EQ(content("MFRDIST"), before);
  // MANUF did not exist: the import created it and removed it again.
  EXPECT_FALSE(fs::exists("MANUF.DAT"));
  EXPECT_FALSE(fs::exists("PRODUCT.DAT"));
}

INSTANTIATE_TEST_SUITE_P(Cases, BadImportTest, ::testing::ValuesIn(kBadImports),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

// More files than one transaction holds: a failure in the last group removes what the earlier
// group had already committed.
TEST_F(DataIoTest, ImportOverElevenFilesIsStillAllOrNothing) {
  std::string text;
  std::vector<std::string> labels = {"MANUF",    "DISTRI", "AGENCY",  "SALESREP",
                                     "REGIONS",  "COMP",   "COMPANY", "StdComm",
                                     "Code_Def", "PBComm", "MDPRODS"};
  // MDPRODS gets the most records, so it is written in the last group; its third is a duplicate.
  for (const auto& l : labels) text += "{\"file\":\"" + l + "\"}\n";
  text += "{\"file\":\"MDPRODS\",\"MDP:MANUF\":\"M\",\"MDP:DISTR\":\"D\"}\n";
  text += "{\"file\":\"MDPRODS\",\"MDP:MANUF\":\"m\",\"MDP:DISTR\":\"d\"}\n";
  write("all.jsonl", text);
  // MANUF exists beforehand with one record: it must keep exactly that one. Its group (the
  // smallest file first) is committed before the duplicate shows, and then undone.
  RecordFile<MAN::Record> man(MAN::Decl());
  ASSERT_TRUE(man.create().ok());
  ASSERT_TRUE(man.open().ok());
  man.clear();
  man.rec().MANUF_NAME = "Kept";
  ASSERT_TRUE(man.add().ok());
  man.close();
  auto manuf_before = content("MANUF");

  std::ostringstream report;
  Status s = ImportFiles({"all.jsonl"}, report);
  EXPECT_EQ(s.text().rfind("all.jsonl line 13: duplicate key MDP:MFRPRDDSTKEY (m, d, )", 0), 0u)
      << s.ToString();
  EXPECT_EQ(content("MANUF"), manuf_before);
  for (const auto& l : labels)
    if (l != "MANUF") {
      EXPECT_FALSE(fs::exists(data::find_file(l)->file_name)) << l;
    }

  // Without the duplicate the same import stores everything.
  text.resize(text.rfind("{\"file\":\"MDPRODS\",\"MDP:MANUF\":\"m\""));
  write("all.jsonl", text);
  s = ImportFiles({"all.jsonl"}, report);
  ASSERT_TRUE(s.ok()) << s.ToString();
  EXPECT_EQ(content("MANUF").size(), 2u);
  EXPECT_EQ(content("MDPRODS").size(), 2u);
  EXPECT_EQ(content("COMP").size(), 1u);
}

TEST_F(DataIoTest, ImportTakesCsvWithOrWithoutFileColumn) {
  write("m.csv",
        "\xEF\xBB\xBFMAN:MANUF_NAME,MAN:COMMENTS,MAN:CITY\r\n"
        "\"Acme, Inc.\",\"two\r\nlines \"\"quoted\"\"\", Springfield \r\n"
        "\r\n"
        "Bolt,,\r\n");
  write("d.txt", "file,DIS:DISTRI_NAME\nDISTRI,Metro\n");
  std::ostringstream report;
  Status s = ImportFiles({"m.csv", "d.txt"}, report);
  ASSERT_TRUE(s.ok()) << s.ToString();
  EXPECT_EQ(report.str(), "MANUF: 2 records\nDISTRI: 1 record\n");
  RecordFile<MAN::Record> man(MAN::Decl());
  ASSERT_TRUE(man.open().ok());
  man.clear();
  man.rec().MANUF_NAME = "acme, inc.";
  ASSERT_TRUE(man.get(MAN::BY_MANUF).ok());
  EXPECT_EQ(man.memo(MAN::COMMENTS_MEMO), "two\r\nlines \"quoted\"");
  EXPECT_EQ(man.rec().CITY.raw().substr(0, 13), " Springfield ");
}

TEST(TimeText, Forms) {
  struct {
    const char* text;
    int32_t time;
  } cases[] = {{"00:00", 1},
               {"14:30", make_time(14, 30)},
               {"14:30:05", make_time(14, 30, 5)},
               {"23:59:59.99", 8640000}};
  for (const auto& c : cases) {
    int32_t t = 0;
    EXPECT_TRUE(dataio::parse_time_text(c.text, &t)) << c.text;
    EXPECT_EQ(t, c.time) << c.text;
    EXPECT_EQ(dataio::time_text(c.time), c.text);
  }
  for (const char* badt : {"", "1:30", "12:60", "12:30:", "12:30:00.1", "12-30", "aa:bb"}) {
    int32_t t;
    EXPECT_FALSE(dataio::parse_time_text(badt, &t)) << badt;
  }
}

}  // namespace
}  // namespace tdx::core
