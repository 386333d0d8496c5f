// PdfDocument: our PDF library, the small set of operations a PDF writer needs to turn page
// images into one PDF file: a document, its information fields, images loaded from page image
// files, pages of a given size and images placed on them, and the write.
//
//   PdfDocument doc;
//   doc.set_info(PdfInfo::Title, "...");
//   auto ids = doc.add_images_from_file("C:\\TEMP\\00010001.wmf");   // one image per page image
//   doc.begin_page(612000, 792000);          // thousandths of a point (72000 per inch)
//   doc.place_image((*ids)[0], 0, 0, 612000, 792000);
//   doc.end_page();
//   doc.write("C:\\OUT\\Q.pdf");
//
// Images are page images (placeable Windows metafiles, runtime/report/wmf.h), read when they are
// added and drawn as vectors (texts stay text) through the report engine's cairo renderer.
// A placed image is scaled to the rectangle it is given. Nothing touches the disk before write():
// write() renders every page into a new file beside the target and renames it over the target
// only when the whole file was written, so a failed write (disk full, no permission, a folder
// that does not exist) leaves no partial file under the target's name and says why.
// File names are the system's Windows-style names (runtime/path/path.h maps them).
//
// One thread at a time; not copyable. Memory grows with the pages added (their display lists).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/report/page.h"

namespace tdx::platform {

inline constexpr int kPdfBadImage = 2201;  // a page image that cannot be read
inline constexpr int kPdfBadPage = 2202;   // a page of no size, or a call out of order
inline constexpr int kPdfWriteFailed = 2203;

// Document information fields, numbered as the writer's callers number them.
enum class PdfInfo { Title = 0, Subject = 1, Author = 2, Keywords = 3, Creator = 4, Producer = 5 };

class PdfDocument {
 public:
  PdfDocument() = default;
  PdfDocument(const PdfDocument&) = delete;
  PdfDocument& operator=(const PdfDocument&) = delete;

  void set_info(PdfInfo field, std::string_view text);
  const std::string& info(PdfInfo field) const { return info_[static_cast<int>(field)]; }

  // Loads the images of one page image file; a page image holds one. Their identifiers.
  Result<std::vector<uint32_t>> add_images_from_file(std::string_view file);
  // Starts a page of width x height thousandths of a point. Refused (kPdfBadPage) when either
  // is not above 0 or a page is open.
  Status begin_page(int64_t width, int64_t height);
  // Draws an image on the open page: its top-left corner at (x, y), scaled to width x height
  // (thousandths of a point from the page's top-left corner).
  Status place_image(uint32_t id, int64_t x, int64_t y, int64_t width, int64_t height);
  Status end_page();
  int pages() const { return static_cast<int>(pages_.size()); }

  // Writes the document (see above). REQUIRES: no page open.
  Status write(std::string_view file);

 private:
  struct Placed {
    uint32_t id;
    int64_t x, y, w, h;
  };
  struct PageSpec {
    int64_t width, height;
    std::vector<Placed> images;
  };
  std::string info_[6];
  std::vector<report::Page> images_;  // identifier = index + 1
  std::vector<PageSpec> pages_;
  bool page_open_ = false;
};

}  // namespace tdx::platform
