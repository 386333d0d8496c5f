// The main of every test executable: each run works in a fresh folder of its own.
//
// CTest runs the test cases of one executable as separate processes, several at once
// (--gtest_filter=Suite.Case); data files made by one case (PRODUCT.DAT, TENDIX.INI, page files)
// must never meet another's. Before any test starts, the process makes
// <executable's work folder>/<its filter>, empties it, changes into it and points
// TDX_TEST_WORKDIR at it. Cases run by one process share that folder, one after the other.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::string name = ::testing::GTEST_FLAG(filter);
  if (name.empty() || name == "*") name = "all";
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == '*' || c == ':' || c == '?') c = '_';
  }
  const char* root = std::getenv("TDX_TEST_WORKDIR");
  fs::path dir = (root != nullptr ? fs::path(root) : fs::current_path()) / name;
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir, ec);
  fs::current_path(dir, ec);
  setenv("TDX_TEST_WORKDIR", dir.c_str(), 1);
  return RUN_ALL_TESTS();
}
