// A small report declared for the tests of the report run: the products of PRODUCT, in brand and
// code order, optionally of one brand (Glo:Manufac), one detail band per product, ten to a page,
// and a closing total. It records what the run asked of it, so tests can see batches per timer
// event, what was printed and when.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/globals.h"
#include "reports/framework/report_run.h"
#include "reports/framework/standard_messages.h"
#include "runtime/report/layout.h"
#include "runtime/ui/scripted_frontend.h"

namespace tdx::reports::testing {

inline constexpr const char* kItemLayout = R"layout(
report title="ItemList" body=500,1000,7500,1000 font="Arial 8"
header at=500,500,7500,400
| text  |  | "Items"       |       | 0 | 0 | - | - | |
band ?DETAILBAND height=100
| field |  | PRD:PROD_CODE | @s14  | 0 | 0 | - | - | |
band ?TOTAL height=100
| field |  | TTLRECCOUNT   | @n6   | 0 | 0 | - | - | |
)layout";

class ItemList : public ReportRun {
 public:
  // Per timer event, how many detail bands it printed.
  std::map<long, int> per_event;
  int printed = 0;
  int totals_printed = 0;
  int32_t TTLRECCOUNT = 0;
  bool bad_filter = false;
  std::function<void()> on_count;  // runs after each record is counted

 protected:
  Status bind_names() override {
    BoundNames& n = BoundNames::global();
    Status s = n.bind("PRD:MANUFAC", VarRef::String(PRODUCT::rec().MANUFAC.data(), 36));
    return s.ok() ? n.bind("Glo:Manufac", VarRef::String(Glo::Manufac.data(), 36)) : s;
  }
  std::vector<UsedFile> files() override { return {{&PRODUCT::file, &PRODUCT::Used}}; }
  void declare_view(view::View& v) override { v.set_order("+PRD:MANUFAC,+PRD:PROD_CODE"); }
  Result<std::string> filter() override {
    if (bad_filter) return std::string("PRD:NO_SUCH_FIELD = Glo:Manufac");
    if (Glo::Manufac.blank()) return std::string();
    return std::string("PRD:MANUFAC = Glo:Manufac");
  }
  const report::Layout& layout() override {
    static const report::Layout l = *report::parse_layout(kItemLayout, "items.layout");
    return l;
  }
  VarRef resolve(std::string_view name) override {
    if (name == "TTLRECCOUNT") return VarRef::Long(&TTLRECCOUNT);
    return VarRef();
  }
  std::string default_job_title() const override { return "ItemList"; }
  Status print_detail(report::Report& rpt) override {
    ++per_event[state().timer_events];
    ++printed;
    return rpt.print("?DETAILBAND");
  }
  void count() override {
    ++TTLRECCOUNT;
    if (on_count) on_count();
  }
  Status closing_totals(report::Report& rpt) override {
    ++totals_printed;
    return rpt.print("?TOTAL");
  }
};

// PRODUCT.DAT with `n` products of brand "ACME" (codes P0001...).
inline void make_products(int n, const char* brand = "ACME") {
  std::remove("PRODUCT.DAT");
  ASSERT_EQ(PRODUCT::Used, 0);
  ASSERT_TRUE(PRODUCT::file.create().ok());
  ASSERT_TRUE(PRODUCT::file.open().ok());
  for (int i = 1; i <= n; ++i) {
    PRODUCT::file.clear();
    PRODUCT::rec().MANUFAC = brand;
    char code[16];
    std::snprintf(code, sizeof code, "P%04d", i);
    PRODUCT::rec().PROD_CODE = code;
    ASSERT_TRUE(PRODUCT::file.add().ok());
  }
  PRODUCT::file.close();
}

// A scripted user for one run; halts are recorded.
struct Scripted {
  ui::ScriptedFrontend fe;
  std::unique_ptr<ui::ScopedFrontend> scope;
  std::vector<std::string> halts;
  HaltHandler previous;

  explicit Scripted(const std::string& script) {
    EXPECT_TRUE(fe.load(script).ok()) << script;
    scope = std::make_unique<ui::ScopedFrontend>(&fe);
    previous = set_halt_handler([this](const std::string& t) { halts.push_back(t); });
  }
  ~Scripted() { set_halt_handler(previous); }
  const std::string& transcript() const { return fe.transcript(); }
  int count(const std::string& text) const {
    int n = 0;
    for (size_t at = transcript().find(text); at != std::string::npos;
         at = transcript().find(text, at + 1))
      ++n;
    return n;
  }
  bool shows(const std::string& text) const { return count(text) > 0; }
};

}  // namespace tdx::reports::testing
