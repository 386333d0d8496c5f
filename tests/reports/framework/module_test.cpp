// The report module as a shared library: it exports only its report procedures, loads beside the
// main module, and fails to load when the main module lacks an export it imports.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

struct Output {
  int status = -1;
  std::string text;
};

Output run(const std::string& command) {
  Output out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.text.append(buf, n);
  int st = pclose(p);
  out.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return out;
}

// Dynamic symbols of a library: defined ones ("T NAME" and the like) or undefined ones.
std::set<std::string> symbols(const std::string& lib, bool defined) {
  Output o = run(std::string("nm -D ") + (defined ? "--defined-only " : "--undefined-only ") + lib);
  std::set<std::string> out;
  std::istringstream in(o.text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string a, b, c;
    words >> a >> b;
    if (words >> c)
      out.insert(c.substr(0, c.find('@')));
    else
      out.insert(b.substr(0, b.find('@')));
  }
  return out;
}

bool is_procedure_name(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

TEST(ReportModule, ExportsOnlyReportProcedures) {
  Output o = run("nm -D --defined-only " TDX_REPORTS_SO);
  ASSERT_EQ(o.status, 0) << o.text;
  std::istringstream in(o.text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string addr, type, name;
    if (!(words >> addr >> type >> name)) continue;
    if (type != "T") continue;  // functions
    if (name == "_init" || name == "_fini") continue;
    EXPECT_TRUE(is_procedure_name(name)) << "exported: " << name;
  }
}

TEST(ReportModule, LoadsBesideTheMainModule) {
  Output o = run(std::string(TDX_LOAD_MODULE) + " " TDX_REPORTS_SO);
  EXPECT_EQ(o.status, 0) << o.text;
}

TEST(ReportModule, LoadingFailsWhenTheMainModuleLacksAnImport) {
  std::set<std::string> imports;
  const std::set<std::string> core = symbols(TDX_CORE_SO, true);
  for (const std::string& s : symbols(TDX_REPORTS_SO, false))
    if (core.count(s)) imports.insert(s);
  if (imports.empty()) GTEST_SKIP() << "the report module imports nothing from tdxcore yet";
  Output o = run("LD_LIBRARY_PATH=" TDX_CORE_STUB_DIR " " + std::string(TDX_LOAD_MODULE) +
                 " " TDX_REPORTS_SO);
  EXPECT_NE(o.status, 0) << o.text;
  EXPECT_NE(o.text.find("undefined symbol"), std::string::npos) << o.text;
}

}  // namespace
