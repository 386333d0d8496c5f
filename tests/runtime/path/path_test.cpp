#include "runtime/path/path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/settings/settings.h"

namespace tdx {
namespace {

namespace fs = std::filesystem;

// Each test works in a fresh folder of its own under the test's scratch folder.
class PathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::current_path();
    dir_ = home_ / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    for (char c : std::string("CFQ")) set_drive_root(c, "");
    fs::current_path(home_);
  }
  static void touch(const std::string& p) {
    fs::create_directories(fs::path(p).parent_path().empty() ? "." : fs::path(p).parent_path());
    std::ofstream(p) << "x";
  }
  fs::path home_, dir_;
};

TEST_F(PathTest, RelativeNamesAndCase) {
  touch("Tendix.ini");
  touch("Data/Sub/PRODUCT.DAT");
  struct Case {
    const char *name, *expected;
  } cases[] = {
      {".\\TENDIX.INI", "Tendix.ini"},
      {".\\tendix.ini", "Tendix.ini"},
      {"TENDIX.INI   ", "Tendix.ini"},  // a STRING field's padding
      {"data\\sub\\product.dat", "Data/Sub/PRODUCT.DAT"},
      {".\\DATA\\.\\SUB\\Product.Dat", "Data/Sub/PRODUCT.DAT"},
      {"data/SUB/new.txt", "Data/Sub/new.txt"},      // new file: spelling as given
      {"DATA\\NoSuch\\x.txt", "Data/NoSuch/x.txt"},  // below a missing folder
      {"CPCSRPTS.INI", "CPCSRPTS.INI"},
      {".", "."},
      {"..\\RelativeNamesAndCase\\TENDIX.INI", "../RelativeNamesAndCase/Tendix.ini"},
  };
  for (const Case& c : cases) {
    Result<std::string> r = map_path(c.name);
    ASSERT_TRUE(r.ok()) << c.name << ": " << r.status().ToString();
    EXPECT_EQ(*r, c.expected) << c.name;
  }
}

TEST_F(PathTest, AnExactMatchWinsOverOtherCaseVariants) {
  touch("a.txt");
  touch("A.TXT");
  EXPECT_EQ(*map_path("A.TXT"), "A.TXT");
  EXPECT_EQ(*map_path("a.txt"), "a.txt");
  EXPECT_EQ(*map_path("A.txt"), "A.TXT");  // first in byte order
}

TEST_F(PathTest, DriveLettersGoThroughTheDriveMap) {
  fs::create_directories("faxdrive/kqxfxsvr");
  touch("faxdrive/kqxfxsvr/FaxHead.tps");
  std::ofstream("TENDIX.INI") << "[Alternate]\nCompany=X\n[Drives]\nF=faxdrive\\\nq=/tmp\n";
  EXPECT_EQ(*map_path("F:\\KQXFXSVR\\FAXHEAD.TPS"), "faxdrive/kqxfxsvr/FaxHead.tps");
  EXPECT_EQ(*map_path("f:\\kqxfxsvr\\0000120 1.WMF"), "faxdrive/kqxfxsvr/0000120 1.WMF");
  EXPECT_EQ(*map_path("F:KQXFXSVR"), "faxdrive/kqxfxsvr");
  EXPECT_EQ(*map_path("Q:\\"), "/tmp");

  Result<std::string> c = map_path("C:\\OUT\\Q");
  ASSERT_FALSE(c.ok());
  EXPECT_EQ(c.status().code(), kUnmappedDrive);

  // A folder set by the host wins over the settings file.
  fs::create_directories("cdrive/out");
  set_drive_root('c', (dir_ / "cdrive").string());
  EXPECT_EQ(*map_path("C:\\OUT\\Q"), (dir_ / "cdrive/out/Q").string());
  set_drive_root('F', "elsewhere");
  EXPECT_EQ(*map_path("F:\\x"), "elsewhere/x");
}

TEST_F(PathTest, AbsoluteBadAndWindows1252Names) {
  EXPECT_EQ(*map_path("/tmp"), "/tmp");
  EXPECT_EQ(*map_path("\\tmp\\"), "/tmp");
  EXPECT_EQ(map_path("").status().code(), kBadName);
  EXPECT_EQ(map_path("   ").status().code(), kBadName);
  EXPECT_EQ(map_path("\\\\server\\share\\x").status().code(), kBadName);
  // "Café.pdf" in Windows-1252 becomes a UTF-8 file name and matches it in any case.
  touch("Caf\xc3\xa9.pdf");
  EXPECT_EQ(*map_path("CAF\xc9.PDF"), "Caf\xc3\xa9.pdf");
}

TEST_F(PathTest, TempFolder) {
  const char* saved = std::getenv("TMPDIR");
  std::string keep = saved ? saved : "";
  setenv("TMPDIR", (dir_.string() + "/").c_str(), 1);
  EXPECT_EQ(temp_dir(), dir_.string());
  setenv("TMPDIR", "/no/such/folder", 1);
  EXPECT_EQ(temp_dir(), "/tmp");
  unsetenv("TMPDIR");
  EXPECT_EQ(temp_dir(), "/tmp");
  if (saved) setenv("TMPDIR", keep.c_str(), 1);
}

TEST_F(PathTest, ShortFormOfTheCurrentDirectoryNamesTheFolderOnce) {
  fs::create_directories("real/inner");
  fs::create_symlink("real", "link");
  std::string start = current_dir_short();
  EXPECT_EQ(start, fs::canonical(dir_).string());

  ASSERT_TRUE(change_dir(".\\LINK\\Inner"));
  std::string via_link = current_dir_short();
  ASSERT_TRUE(change_dir(start));
  ASSERT_TRUE(change_dir("real/inner"));
  EXPECT_EQ(current_dir_short(), via_link);  // two names, one folder

  ASSERT_TRUE(change_dir(start));
  EXPECT_EQ(current_dir_short(), start);
  EXPECT_FALSE(change_dir("no\\such\\folder").ok());
}

TEST(SplitPath, PartsAndJoin) {
  struct Case {
    const char *name, *drive, *folder, *base, *ext;
  } cases[] = {
      {"C:\\OUT\\Q.pdf", "C:", "\\OUT\\", "Q", ".pdf"},
      {"C:\\OUT\\Q", "C:", "\\OUT\\", "Q", ""},
      {"report", "", "", "report", ""},
      {".\\TENDIX.INI", "", ".\\", "TENDIX", ".INI"},
      {"F:x.y.z", "F:", "", "x.y", ".z"},
      {"/tmp/a.b/c", "", "/tmp/a.b/", "c", ""},
      {"D:\\", "D:", "\\", "", ""},
  };
  for (const Case& c : cases) {
    PathParts p = split_path(c.name);
    EXPECT_EQ(p.drive, c.drive) << c.name;
    EXPECT_EQ(p.folder, c.folder) << c.name;
    EXPECT_EQ(p.name, c.base) << c.name;
    EXPECT_EQ(p.ext, c.ext) << c.name;
    EXPECT_EQ(join_path(p), c.name);
  }
}

}  // namespace
}  // namespace tdx
