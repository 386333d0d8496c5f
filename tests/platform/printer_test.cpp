#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/printer/printer.h"

namespace tdx::platform {
namespace {

namespace fs = std::filesystem;

TEST(SpoolPrinter, WritesEachJobWithItsSettings) {
  fs::remove_all("spool");
  { std::ofstream("pages.pdf") << "%PDF-1.4\n%%EOF\n"; }
  PrinterConfig c;
  c.kind = "spool";
  c.spool_dir = "spool";
  auto p = OpenPrinter(c);
  ASSERT_TRUE(p.ok()) << p.status().ToString();
  EXPECT_FALSE((*p)->supports_copies());
  ASSERT_TRUE((*p)->Print({"pages.pdf", 3, true, "ProductListPrint"}).ok());
  ASSERT_TRUE((*p)->Print({"pages.pdf", 1, false, "Second"}).ok());
  std::stringstream job;
  job << std::ifstream("spool/000001.job").rdbuf();
  EXPECT_EQ(job.str(), "title=ProductListPrint\ncopies=3\ncollate=1\nfile=000001.pdf\n");
  EXPECT_TRUE(fs::exists("spool/000002.pdf"));
}

TEST(Printer, NothingConfiguredIsAClearError) {
  PrinterConfig spool;
  spool.kind = "spool";
  EXPECT_EQ(OpenPrinter(spool).status().code(), kNoPrinter);
  PrinterConfig cups;
  cups.name = "no-such-printer-here";
  auto p = OpenPrinter(cups);
  ASSERT_FALSE(p.ok());
  EXPECT_EQ(p.status().code(), kNoPrinter);
  EXPECT_NE(p.status().text().find("nothing was printed"), std::string::npos);
}

}  // namespace
}  // namespace tdx::platform
