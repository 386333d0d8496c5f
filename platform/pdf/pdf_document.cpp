#include "platform/pdf/pdf_document.h"

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "runtime/path/path.h"
#include "runtime/report/render.h"
#include "runtime/report/wmf.h"

namespace tdx::platform {

namespace {

// Thousandths of a point to the report engine's thousandths of an inch.
double to_units(int64_t mpt) { return static_cast<double>(mpt) / 72.0; }
int round_units(double v) { return static_cast<int>(std::lround(v)); }

// The image's items moved to (x, y) and scaled by (sx, sy), in page units.
void place_items(const report::Page& img, double x, double y, double sx, double sy,
                 std::vector<report::PageItem>* out) {
  auto X = [&](int v) { return round_units(x + v * sx); };
  auto Y = [&](int v) { return round_units(y + v * sy); };
  auto W = [&](int v) { return round_units(v * sx); };
  auto H = [&](int v) { return round_units(v * sy); };
  auto R = [&](const report::Rect& r) { return report::Rect{X(r.x), Y(r.y), W(r.w), H(r.h)}; };
  const bool unit = sx == 1.0 && sy == 1.0 && x == 0 && y == 0;
  for (const report::PageItem& it : img.items) {
    if (unit) {
      out->push_back(it);
      continue;
    }
    if (auto* t = std::get_if<report::TextRun>(&it)) {
      report::TextRun r = *t;
      r.x = X(t->x), r.y = Y(t->y);
      r.font.height = std::max(1, H(t->font.height));
      r.clip = R(t->clip);
      out->push_back(std::move(r));
    } else if (auto* l = std::get_if<report::LineItem>(&it)) {
      report::LineItem r = *l;
      r.x1 = X(l->x1), r.y1 = Y(l->y1), r.x2 = X(l->x2), r.y2 = Y(l->y2);
      r.width = std::max(l->width > 0 ? 1 : 0, W(l->width));
      out->push_back(r);
    } else if (auto* b = std::get_if<report::BoxItem>(&it)) {
      report::BoxItem r = *b;
      r.r = R(b->r);
      r.width = std::max(b->width > 0 ? 1 : 0, W(b->width));
      out->push_back(r);
    } else if (auto* im = std::get_if<report::ImageItem>(&it)) {
      report::ImageItem r = *im;
      r.r = R(im->r);
      out->push_back(std::move(r));
    }
  }
}

std::atomic<unsigned> temp_counter{0};

}  // namespace

void PdfDocument::set_info(PdfInfo field, std::string_view text) {
  info_[static_cast<int>(field)] = std::string(text);
}

Result<std::vector<uint32_t>> PdfDocument::add_images_from_file(std::string_view file) {
  auto path = map_path(file);
  if (!path.ok()) return Status(kPdfBadImage, std::string(file) + ": " + path.status().text());
  auto page = report::read_wmf_file(*path);
  if (!page.ok()) {
    return Status(kPdfBadImage, std::string(file) + ": " + page.status().text());
  }
  images_.push_back(std::move(*page));
  return std::vector<uint32_t>{static_cast<uint32_t>(images_.size())};
}

Status PdfDocument::begin_page(int64_t width, int64_t height) {
  if (page_open_) return Status(kPdfBadPage, "a page is already open");
  if (width <= 0 || height <= 0) return Status(kPdfBadPage, "a page needs a size above 0");
  pages_.push_back({width, height, {}});
  page_open_ = true;
  return Status();
}

Status PdfDocument::place_image(uint32_t id, int64_t x, int64_t y, int64_t width, int64_t height) {
  if (!page_open_) return Status(kPdfBadPage, "no page is open");
  if (id == 0 || id > images_.size()) return Status(kPdfBadImage, "no such image");
  pages_.back().images.push_back({id, x, y, width, height});
  return Status();
}

Status PdfDocument::end_page() {
  if (!page_open_) return Status(kPdfBadPage, "no page is open");
  page_open_ = false;
  return Status();
}

Status PdfDocument::write(std::string_view file) {
  if (page_open_) return Status(kPdfBadPage, "a page is still open");
  auto mapped = map_path(file);
  if (!mapped.ok()) {
    return Status(kPdfWriteFailed, "The PDF file " + std::string(file) +
                                       " cannot be written: " + mapped.status().text());
  }
  namespace fs = std::filesystem;
  const fs::path target(*mapped);
  // A name of our own beside the target: renamed over it only once complete.
  const fs::path temp =
      target.string() + ".part" + std::to_string(::getpid()) + "-" + std::to_string(temp_counter++);
  auto fail = [&](const std::string& why) {
    std::error_code ec;
    fs::remove(temp, ec);
    return Status(kPdfWriteFailed,
                  "The PDF file " + std::string(file) + " could not be written: " + why);
  };
  auto doc = report::DocumentWriter::Create(temp.string(), report::DocumentKind::Pdf);
  if (!doc.ok()) return fail(doc.status().text());
  for (const PageSpec& ps : pages_) {
    report::Page out;
    out.width = round_units(to_units(ps.width));
    out.height = round_units(to_units(ps.height));
    for (const Placed& p : ps.images) {
      const report::Page& img = images_[p.id - 1];
      const double sx = img.width > 0 ? to_units(p.w) / img.width : 1.0;
      const double sy = img.height > 0 ? to_units(p.h) / img.height : 1.0;
      place_items(img, to_units(p.x), to_units(p.y), sx, sy, &out.items);
    }
    Status s = (*doc)->add_page(out);
    if (!s.ok()) {
      (void)(*doc)->close();
      return fail(s.text());
    }
  }
  Status s = (*doc)->close();
  if (!s.ok()) return fail(s.text());
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) return fail(ec.message());
  return Status();
}

}  // namespace tdx::platform
