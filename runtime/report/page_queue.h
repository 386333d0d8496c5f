// PageQueue: the page sink that writes each finished page as a page image file and lists the
// files in page order (the page queue that previewing, printing, faxing and PDF writing consume).
//
// The file name of each page comes from a namer callback, asked once per page with the page
// number (1, 2, ...); the fax and e-mail namers plug in here. The default namer gives
// "<folder>/page0001.wmf". The queue remembers, per page, where the page-count fields stand,
// and assign_page_of_pages() fills them in once the count is known by rewriting those page
// images. The queue deletes no file: the procedure that made the pages decides (remove_files()).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/report/engine.h"

namespace tdx::report {

using PageNamer = std::function<Result<std::string>(int page_number)>;

PageNamer folder_namer(std::string folder);

class PageQueue : public PageSink {
 public:
  explicit PageQueue(PageNamer namer) : namer_(std::move(namer)) {}
  void set_namer(PageNamer namer) { namer_ = std::move(namer); }
  // The formatter used for page-count fields (the report's, usually).
  void set_formatter(FieldFormatter f) { formatter_ = std::move(f); }

  Status page_done(int number, const Page& page, const std::vector<CountSlot>& slots) override;

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const std::string& file(size_t i) const { return entries_[i].file; }
  std::vector<std::string> files() const;

  // Fills every page-count field of every queued page with the number of queued pages.
  Status assign_page_of_pages();
  // Deletes the page files and empties the queue.
  Status remove_files();
  void clear() { entries_.clear(); }

 private:
  struct Entry {
    std::string file;
    std::vector<CountSlot> slots;
    std::vector<TextRun> slot_runs;  // the run as first written: font, colour
  };
  PageNamer namer_;
  FieldFormatter formatter_ = default_field_formatter;
  std::vector<Entry> entries_;
};

}  // namespace tdx::report
