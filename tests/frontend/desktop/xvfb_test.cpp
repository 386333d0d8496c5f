// `tendix run PRODSUMMARYRPTMNU` on a virtual display: the program finds the display, loads the
// desktop frontend and opens real windows; a robot script types a brand, takes it from the
// lookup list, prints to preview and photographs the option window, the lookup, the progress
// window and the preview. The pictures are kept under the build tree (artifacts/desktop).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool OnPath(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Width and height of a PNG file (0 x 0 when it is not one).
std::pair<int, int> PngSize(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  unsigned char h[24] = {};
  in.read(reinterpret_cast<char*>(h), sizeof h);
  if (!in || h[1] != 'P' || h[2] != 'N' || h[3] != 'G') return {0, 0};
  auto be = [&](int at) {
    return (h[at] << 24) | (h[at + 1] << 16) | (h[at + 2] << 8) | h[at + 3];
  };
  return {be(16), be(20)};
}

TEST(XvfbTest, ProductSummaryThroughRealWindowsPrintsToPreview) {
  if (!OnPath("xvfb-run") || !OnPath("Xvfb"))
    GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb): no virtual display to test on";
  if (std::string(DESKTOP_LIBRARY).empty() || !fs::exists(DESKTOP_LIBRARY))
    GTEST_SKIP() << "the desktop frontend was not built: Qt 6 Widgets (qt6-base-dev) is missing";

  const fs::path shots = fs::path(TDX_BINARY_DIR) / "artifacts" / "desktop";
  fs::create_directories(shots);
  for (const char* f :
       {"option-window.png", "lookup.png", "progress-window.png", "preview.png", "screen.png"})
    fs::remove(shots / f);
  ASSERT_EQ(std::system((std::string(TENDIX_PATH) + " sample data >sample.txt 2>&1").c_str()), 0)
      << Slurp("sample.txt");

  const std::string robot = R"(# the product summary, one brand, to preview
wait window "Product Summary Report"
type ?Glo:Manufac Mid
wait lookup
shot )" + (shots / "lookup.png").string() +
                            R"(
key Enter
wait window "Product Summary Report"
shot )" + (shots / "option-window.png").string() +
                            R"(
click &Print
wait message Preview
click &Yes
wait window "Generating Report"
shot )" + (shots / "progress-window.png").string() +
                            R"(
wait preview ProductListPrint
shot )" + (shots / "preview.png").string() +
                            R"(
pause 10
screen )" + (shots / "screen.png").string() +
                            R"(
click &Close
wait window "Product Summary Report"
click Cancel
)";
  std::ofstream("robot.txt") << robot;
  // The display is found as a user's would be: no frontend forced, no Qt platform given.
  const std::string cmd =
      "env -u TDX_FRONTEND -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY TDX_DESKTOP_ROBOT=" +
      fs::absolute("robot.txt").string() +
      " TDX_DESKTOP_LIB=" DESKTOP_LIBRARY
      " ASAN_OPTIONS=detect_leaks=0 "
      "timeout 180 xvfb-run -a -s '-screen 0 1280x1024x24' " TENDIX_PATH
      " run PRODSUMMARYRPTMNU --data data --out out </dev/null >out.txt 2>err.txt";
  int st = std::system(cmd.c_str());
  int rc = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  ASSERT_EQ(rc, 0) << Slurp("err.txt") << Slurp("out.txt");
  EXPECT_EQ(Slurp("err.txt").find("using the terminal"), std::string::npos) << Slurp("err.txt");

  struct Shot {
    const char* file;
    int min_w, min_h;
  } want[] = {
      // 214 x 72 dialog units of MS Sans Serif 8 are about 320 x 117 pixels.
      {"option-window.png", 280, 100}, {"lookup.png", 300, 250},   {"progress-window.png", 200, 80},
      {"preview.png", 600, 600},       {"screen.png", 1280, 1024},
  };
  for (const Shot& s : want) {
    auto [w, h] = PngSize(shots / s.file);
    EXPECT_GE(w, s.min_w) << s.file;
    EXPECT_GE(h, s.min_h) << s.file;
  }
  // The page itself holds the report: a rendered page is far larger than an empty frame.
  EXPECT_GT(fs::file_size(shots / "preview.png"), 20000u);
}

}  // namespace
