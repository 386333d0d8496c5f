#include "runtime/report/page_queue.h"

#include <cstdio>

#include "runtime/report/rowfile.h"
#include "runtime/report/wmf.h"

namespace tdx::report {

PageNamer folder_namer(std::string folder) {
  return [folder](int n) -> Result<std::string> {
    char buf[32];
    std::snprintf(buf, sizeof buf, "page%04d.wmf", n);
    return folder.empty() ? std::string(buf) : folder + "/" + buf;
  };
}

Status PageQueue::page_done(int number, const Page& page, const std::vector<CountSlot>& slots) {
  if (!namer_) return Status(kReportErrorCode, "page queue has no namer");
  auto name = namer_(number);
  if (!name.ok()) return name.status();
  Status s = write_wmf_file(page, *name);
  if (!s.ok()) return s;
  Entry e;
  e.file = *name;
  e.slots = slots;
  for (const CountSlot& c : slots) {
    if (c.item < page.items.size() && std::holds_alternative<TextRun>(page.items[c.item])) {
      TextRun t = std::get<TextRun>(page.items[c.item]);
      t.text.clear();
      e.slot_runs.push_back(t);
    } else {
      e.slot_runs.emplace_back();
    }
  }
  entries_.push_back(std::move(e));
  return Status();
}

std::vector<std::string> PageQueue::files() const {
  std::vector<std::string> out;
  for (const Entry& e : entries_) out.push_back(e.file);
  return out;
}

Status PageQueue::assign_page_of_pages() {
  const Value count(static_cast<long long>(entries_.size()));
  for (Entry& e : entries_) {
    if (e.slots.empty()) continue;
    auto page = read_wmf_file(e.file);
    if (!page.ok()) return page.status();
    for (size_t i = 0; i < e.slots.size(); ++i) {
      const CountSlot& c = e.slots[i];
      const TextRun& was = e.slot_runs[i];
      TextRun t = place_text(formatter_(count, c.picture), was.font, was.color, c.box, false,
                             c.justify, c.decimal_offset);
      // Written empty runs are not in the image: the count goes at the end of the page.
      page->items.push_back(std::move(t));
    }
    Status s = write_wmf_file(*page, e.file);
    if (!s.ok()) return s;
    e.slots.clear();
  }
  return Status();
}

Status PageQueue::remove_files() {
  Status result;
  for (const Entry& e : entries_) {
    if (std::remove(e.file.c_str()) != 0 && result.ok())
      result = Status(kReportErrorCode, "cannot delete page image " + e.file);
  }
  entries_.clear();
  return result;
}

}  // namespace tdx::report
