// The product list: the product catalog grouped by brand, one detail band per product, a count
// per brand and a grand count. Three exports reach it:
//   PRODUCTLISTPRINT    the report, with whatever Glo:Manufac (blank: every brand) and Glo:Detail
//                       (0 summary, else detail with the eight-level price grid) hold;
//   PRODSUMMARYRPTMNU   "Product Summary Report": brand entry, Print runs it with Glo:Detail 0;
//   PRODDETRPTMNU       "Product Detail Report": the same with Glo:Detail 1.
//
// The report reads PRODUCT through its key PRD:BY_MAN_PRO (brand, then product code), so a
// product without a code - which that key leaves out - is never listed; a brand selection reads
// only that brand's range of the key. Before each detail band the group break prints the brand
// total of the group that ends (PRD:MANUFAC set back to that group's brand while it prints) and
// the heading of the new brand. After the scan, also after a cancel, the last brand total and the
// grand total close the report; they are seen after a cancel only in a partial preview.
//
// The summary hides the price grid and its detail band shrinks to the lines left (the band's
// height comes from its visible controls). GLO:Pellam turns "Manufacturer:" into "Brand:" in the
// heading; the total line keeps "Total Products Printed for".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reports/framework/option_window.h"
#include "reports/framework/report_run.h"
#include "runtime/text/str.h"

namespace tdx::reports::catalog {

// The layout, as data (runtime/report/LAYOUT.md).
extern const char* const kProductListLayout;

class ProductList : public ReportRun {
 public:
  // Counters of the run, as the pages show them.
  int32_t RECCOUNT = 0;
  int32_t TTLRECCOUNT = 0;
  Str<36> CURRMANUF;

 protected:
  Status bind_names() override;
  std::vector<UsedFile> files() override;
  void declare_view(view::View& v) override;
  Result<std::string> filter() override;
  const report::Layout& layout() override;
  VarRef resolve(std::string_view name) override;
  void report_opened(report::Report& rpt) override;
  std::string default_job_title() const override { return "ProductListPrint"; }
  Status group_break(report::Report& rpt) override;
  void count() override;
  Status closing_totals(report::Report& rpt) override;
  std::string read_error_name() const override { return "PRODUCT"; }

 private:
  Status print_heading(report::Report& rpt);
  Status print_brand_total(report::Report& rpt);

  Str<36> last_brand_;
  bool group_started_ = false;
};

// The two option windows differ in their title, help key, brand prompt under brand wording and
// the Glo:Detail their Print sets.
class ProductListOptions : public OptionWindow {
 public:
  explicit ProductListOptions(bool detail) : detail_(detail) {}

 protected:
  ui::WindowDef window_def() override;
  void bind(ui::Window& win) override;
  std::vector<LookupField> lookup_fields() override;
  void brand_wording(ui::Window& win) override;
  void print(ui::Window& win) override;

 private:
  bool detail_;
};

}  // namespace tdx::reports::catalog
