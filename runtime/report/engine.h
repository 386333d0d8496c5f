// Report: one open report layout being filled, band by band, into pages.
//
// Open() takes a parsed Layout and a resolver that turns each variable name of the layout
// ("PRD:PROD_CODE") into a VarRef; "#PAGE" (page number) and "#PAGES" (page count) are built in.
// The caller then changes controls by label (texts, hidden flags, positions, font styles,
// images), prints bands by label or by position, ends pages on request and closes the report.
// Each page is handed to the PageSink as soon as it ends, so memory does not grow with the page
// count. Field values are formatted through the FieldFormatter at the moment a band prints.
//
// Placement rules (LAYOUT.md tells them in full):
//   - a band is printed at the current position of the page body, moved by its own (x, y);
//     the next band starts below it (at y + height);
//   - a band that does not fit in the rest of the body starts a new page; a band taller than
//     the whole body is split across pages between its items (never dropped);
//   - a band narrower than the body (x + width < body width) is placed beside the previous
//     narrow band when the row still has room for it, else it starts a new row;
//   - keep-with-next bands are held until the next band prints, and move to a new page with it
//     when both do not fit;
//   - page header and form print on every page when it starts, the footer when it ends;
//   - items reaching past the paper's edge are clipped there.
// A Report is used from one thread; it is not copyable.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/base/value.h"
#include "runtime/report/layout.h"
#include "runtime/report/page.h"

namespace tdx::report {

using VarResolver = std::function<VarRef(std::string_view name)>;
using FieldFormatter = std::function<std::string(const Value& value, std::string_view picture)>;

// The formatter in use when none is set.
std::string default_field_formatter(const Value& value, std::string_view picture);

// A field that shows the page count, recorded on its page so that it can be filled in once the
// count is known.
struct CountSlot {
  size_t item = 0;  // index of its TextRun in Page::items
  Rect box;         // the control's box on the page
  Justify justify = Justify::Left;
  int decimal_offset = kAuto;
  std::string picture;
};

class PageSink {
 public:
  virtual ~PageSink() = default;
  // A finished page (numbered from 1) with the page-count fields it holds.
  virtual Status page_done(int number, const Page& page, const std::vector<CountSlot>& slots) = 0;
  // No more pages will come.
  virtual Status finish() { return Status(); }
};

struct FontStyle {
  bool bold = false, italic = false, underline = false;
};

// Text of a page-count field (or any single-line text) placed into its box again: the same
// rule as filling uses. Exposed for the page queue's page-x-of-y pass.
TextRun place_text(std::string text, const FontSpec& font, uint32_t color, const Rect& box,
                   bool auto_width, Justify justify, int decimal_offset);

class Report {
 public:
  static Result<std::unique_ptr<Report>> Open(const Layout& layout, const VarResolver& resolve);
  ~Report();
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  // Output. The sink is not owned and must outlive the report; without one, pages are kept in
  // memory (pages()).
  void set_sink(PageSink* sink);
  void set_formatter(FieldFormatter f);

  // Controls by label ("?DETAILBAND", case-insensitive). A field's default label is "?" and its
  // variable name (a second field of the same variable gets ":2", and so on).
  Status set_text(std::string_view label, std::string_view text);  // text and text box controls
  Result<std::string> text(std::string_view label) const;          // a field: its current text
  Status set_hidden(std::string_view label, bool hidden);          // a group hides its members
  Result<bool> hidden(std::string_view label) const;
  // Moves/resizes a control or a band; a value not given stays as it is.
  Status set_position(std::string_view label, std::optional<int> x, std::optional<int> y,
                      std::optional<int> w = std::nullopt, std::optional<int> h = std::nullopt);
  Status set_font_style(std::string_view label, FontStyle style);
  Status set_justify(std::string_view label, Justify justify);
  // An image control shows the bitmap file (Windows BMP). A missing or unreadable file leaves
  // the area empty (the result says why, the report goes on).
  Status set_image(std::string_view label, std::string_view file);
  Status set_keep_with_next(std::string_view band_label, bool keep);
  Status set_max_height(std::string_view band_label, int max_height);  // kAuto: no limit
  // The page body moves by (dx, dy) from now on.
  void move_body(int dx, int dy);

  const std::string& title() const { return layout_.title; }
  void set_title(std::string title) { layout_.title = std::move(title); }
  int copies() const { return layout_.copies; }
  void set_copies(int n) { layout_.copies = n; }
  bool collate() const { return layout_.collate; }
  bool landscape() const { return layout_.landscape; }
  int paper_width() const;
  int paper_height() const;
  Rect body() const { return {layout_.body_x, layout_.body_y, layout_.body_w, layout_.body_h}; }

  Status print(std::string_view band_label);
  Status print_band(int position);  // 1-based, every band of the layout in order
  Status end_page();                // nothing to end when no page is open
  Status close();                   // ends the last page and tells the sink
  int pages_done() const { return pages_done_; }
  // Pages kept in memory when no sink is set.
  const std::vector<Page>& pages() const { return memory_pages_; }

 private:
  struct Impl;
  explicit Report(const Layout& layout);
  Layout layout_;
  std::unique_ptr<Impl> impl_;
  int pages_done_ = 0;
  std::vector<Page> memory_pages_;
};

}  // namespace tdx::report
