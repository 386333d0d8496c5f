// Every test runs in a folder of its own under the program's scratch folder, so that tests of
// one program run side by side (ctest -j) never share a data or settings file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

class PerTestDir : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& info) override {
    char* cwd = getcwd(nullptr, 0);
    home_ = cwd ? cwd : ".";
    free(cwd);
    std::string dir = home_ + "/" + info.test_suite_name() + "." + info.name();
    mkdir(dir.c_str(), 0755);
    if (chdir(dir.c_str()) != 0) ADD_FAILURE() << "cannot enter " << dir;
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    if (chdir(home_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << home_;
  }
  std::string home_;
};

const bool registered = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new PerTestDir);
  return true;
}();

}  // namespace
