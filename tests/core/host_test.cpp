// The tendix program end to end: loading the report module by name, the missing-export error,
// --set, --data, --out, --script, actions from standard input, the toolbar reaching a window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/files.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int rc = -1;
  std::string out, err;
};

std::string Slurp(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Runs tendix with the test module; `input` feeds standard input.
Outcome Tendix(const std::string& args, const std::string& input = "") {
  fs::path in = fs::absolute("stdin.txt");
  std::ofstream(in) << input;
  std::string cmd = std::string(TENDIX_PATH) + " " + args + " --lib " + HOST_TEST_MODULE +
                    " <" + in.string() + " >out.txt 2>err.txt";
  int st = std::system(cmd.c_str());
  Outcome o;
  o.rc = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  o.out = Slurp("out.txt");
  o.err = Slurp("err.txt");
  return o;
}

void Script(const std::string& text) { std::ofstream("script.txt") << text; }

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A data folder with two brands and a settings file.
    fs::remove_all("data");
    fs::create_directories("data");
    fs::current_path("data");
    tdx::core::FileUse use(MANUF::file, MANUF::Used);
    ASSERT_TRUE(use.status().ok());
    for (const char* n : {"ACME FOODS", "BAKERY BROS"}) {
      MANUF::file.clear();
      MANUF::rec().MANUF_NAME = n;
      ASSERT_TRUE(MANUF::file.add().ok());
    }
    std::ofstream("TENDIX.INI") << "[Fax]\nAFEBase=F:\\FAXES\n";
    fs::current_path("..");
  }
};

TEST_F(HostTest, AMissingExportListsTheExportsThatExist) {
  Outcome o = Tendix("run NOSUCHREPORT");
  EXPECT_EQ(o.rc, 2);
  EXPECT_NE(o.err.find("has no export NOSUCHREPORT"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("Its exports: MARKWINDOW SHOWSETTINGS WRITEPAGES\n"), std::string::npos)
      << o.err;
  EXPECT_EQ(o.out, "");
}

TEST_F(HostTest, SetDataAndScriptReachTheProcedure) {
  Script(
      "answer OK\n"
      "lookup current\n"
      "answer OK\n");
  Outcome o = Tendix(
      "run showsettings --data data --script script.txt --set Glo:Manufac=ba "
      "--set GLO:Pellam=1 --set BeginDate1=1801-01-01");
  EXPECT_EQ(o.rc, 0) << o.err;
  EXPECT_NE(o.out.find("Glo:Manufac=ba GLO:Pellam=1 BeginDate1=4 AFEBase=F:\\FAXES data=yes"),
            std::string::npos)
      << o.out;
  EXPECT_NE(o.out.find("lookup MANUFCTRBROWSE \"Select a Brand\" at \"ba\" -> \"BAKERY BROS\""),
            std::string::npos)
      << o.out;
  EXPECT_NE(o.out.find("GlobalResponse=1 brand=BAKERY BROS"), std::string::npos) << o.out;
  EXPECT_EQ(o.out.rfind("window \"Tendix\"\n", 0), 0u) << o.out;  // inside the main frame
  EXPECT_EQ(o.err, "");
}

TEST_F(HostTest, BadSettingsAreRefusedBeforeTheCall) {
  struct Case {
    const char* set;
    const char* why;
  };
  const Case cases[] = {
      {"Glo:Nothing=1", "no global Glo:Nothing"},
      {"Glo:MfrRef=ABCDEFGHIJK", "does not fit Glo:MfrRef (STRING(10))"},
      {"GLO:Pellam=yes", "takes a number"},
      {"EndDate1=2024-02-30", "takes a date"},
      {"PRD:MANUFAC=ACME", "no global PRD:MANUFAC"},
      {"Glo:Manufac", "needs NAME=VALUE"},
  };
  Script("answer OK\nlookup cancel\nanswer OK\n");
  for (const Case& c : cases) {
    Outcome o = Tendix(std::string("run SHOWSETTINGS --data data --script script.txt --set ") + c.set);
    EXPECT_EQ(o.rc, 2) << c.set;
    EXPECT_NE(o.err.find(c.why), std::string::npos) << c.set << ": " << o.err;
    EXPECT_EQ(o.out, "") << c.set;
  }
}

TEST_F(HostTest, PagesLandInTheOutputFolderAndTheTranscriptStaysClean) {
  Script("preview print\n");
  Outcome o = Tendix("run WRITEPAGES --data data --out out/pages --script script.txt");
  EXPECT_EQ(o.rc, 0) << o.err;
  fs::path folder = fs::absolute("out/pages").lexically_normal();
  EXPECT_TRUE(fs::exists(folder / "page0001.txt"));
  EXPECT_NE(o.out.find("preview \"WritePages\" 1 page in \"" + folder.string() + "\" -> print"),
            std::string::npos)
      << o.out;
  EXPECT_EQ(o.out.find("Completed"), std::string::npos) << o.out;  // no progress in the transcript
  EXPECT_EQ(o.err, "");  // standard error is not a terminal here: no progress line either
}

TEST_F(HostTest, ActionsFromStandardInputLineByLine) {
  Outcome o = Tendix("run SHOWSETTINGS --data data --set Glo:Manufac=AC",
                     "# comments and blank lines are skipped\n\nanswer OK\nlookup current\n"
                     "answer OK\n");
  EXPECT_EQ(o.rc, 0) << o.err;
  EXPECT_NE(o.out.find("-> \"ACME FOODS\""), std::string::npos) << o.out;
  EXPECT_NE(o.err.find("lookup MANUFCTRBROWSE at \"AC\""), std::string::npos) << o.err;  // prompt

  // The input ends before the run does: the run fails instead of waiting.
  o = Tendix("run SHOWSETTINGS --data data", "answer OK\n");
  EXPECT_EQ(o.rc, 1);
  EXPECT_NE(o.err.find("the run failed"), std::string::npos) << o.err;

  // A line the script language does not take is reported and asked again.
  o = Tendix("run SHOWSETTINGS --data data", "bogus words\nanswer OK\nlookup cancel\nanswer OK\n");
  EXPECT_EQ(o.rc, 0) << o.err;
  EXPECT_NE(o.out.find("GlobalResponse=2 brand="), std::string::npos) << o.out;
}

TEST_F(HostTest, ScriptLinesLeftOverFailTheRun) {
  Script("preview close\npress Cancel\n");
  Outcome o = Tendix("run WRITEPAGES --data data --out out --script script.txt");
  EXPECT_EQ(o.rc, 1);
  EXPECT_NE(o.err.find("never used: press Cancel"), std::string::npos) << o.err;
}

TEST_F(HostTest, ToolbarPressesReachTheWindowThatTookThem) {
  Script("press 2004\nanswer OK\npress Close\n");
  Outcome o = Tendix("run MARKWINDOW --script script.txt");
  EXPECT_EQ(o.rc, 0) << o.err << o.out;
  EXPECT_NE(o.out.find("message \"Toolbar\""), std::string::npos) << o.out;

  Script("press 2011\npress Close\n");  // lent but still disabled
  o = Tendix("run MARKWINDOW --script script.txt");
  EXPECT_EQ(o.rc, 1) << o.out;
}

}  // namespace
