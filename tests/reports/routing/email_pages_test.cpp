// E-mail page files: the name form, and a name already taken by another run is never reused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "reports/framework/routing_email.h"

namespace tdx::reports {
namespace {

namespace fs = std::filesystem;

TEST(EmailPages, NameForm) {
  // 13:45:12.34 is clock 4951235 ("04951235"): its last 4 digits, then the page.
  EXPECT_EQ(email_page_file_name("/tmp", 4951235, 1), "/tmp/12350001.wmf");
  EXPECT_EQ(email_page_file_name("/tmp", 7, 12), "/tmp/00070012.wmf");
}

TEST(EmailPages, TakenNamesAreSkippedAndRemovedAtTheEnd) {
  fs::remove_all("tmp");
  fs::create_directories("tmp");
  // Another run in the same second already holds pages 1 and 2 under digits 1235.
  std::ofstream("tmp/12350001.wmf") << "other run";
  std::ofstream("tmp/12350002.wmf") << "other run";
  EmailPages pages("tmp", 4951235);
  auto namer = pages.namer();
  auto p1 = namer(1), p2 = namer(2), p3 = namer(3);
  ASSERT_TRUE(p1.ok() && p2.ok() && p3.ok());
  EXPECT_EQ(*p1, "tmp/12360001.wmf");
  EXPECT_EQ(*p2, "tmp/12360002.wmf");
  EXPECT_EQ(*p3, "tmp/12360003.wmf");
  std::stringstream other;
  other << std::ifstream("tmp/12350001.wmf").rdbuf();
  EXPECT_EQ(other.str(), "other run");
  pages.remove_files();
  EXPECT_FALSE(fs::exists("tmp/12360001.wmf"));
  EXPECT_TRUE(fs::exists("tmp/12350001.wmf"));
}

}  // namespace
}  // namespace tdx::reports
