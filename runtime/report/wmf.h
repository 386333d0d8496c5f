// Page images: a Page as a placeable Windows metafile, and back.
//
// File layout (little-endian), written from the public description of the format:
//   - 22-byte placeable header: key 0x9AC6CDD7, handle 0, bounding box left, top, right, bottom
//     (the paper, in thousandths of an inch), units per inch 1000, reserved 0, and the checksum
//     (XOR of the ten 16-bit words before it);
//   - the 18-byte metafile header (memory metafile, version 0x0300, size in words, object count,
//     largest record);
//   - records: window origin and extent (the paper), transparent background, baseline text
//     alignment, an invisible paper-sized rectangle (so that readers which scale to what is drawn
//     keep the page's geometry), then the page's items in order: fonts (CREATEFONTINDIRECT, the
//     height negative = em height), text (EXTTEXTOUT, clipped when the run is clipped), lines
//     (MOVETO/LINETO with a pen), boxes (RECTANGLE with pen and brush), bitmaps (STRETCHDIB);
//     objects are deleted only once they are no longer selected; EOF.
// Coordinates are 16-bit: anything beyond +-32767 is clamped.
//
// read_wmf() understands every record write_wmf() produces and skips the others; a damaged file
// (bad key, checksum, sizes that run past the end) is an error, never a crash.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/report/page.h"

namespace tdx::report {

std::vector<uint8_t> write_wmf(const Page& page);
Result<Page> read_wmf(const uint8_t* data, size_t size);

// The 22-byte header as read from a page image.
struct PlaceableHeader {
  uint32_t key = 0;
  int16_t left = 0, top = 0, right = 0, bottom = 0;
  uint16_t units_per_inch = 0;
  uint16_t checksum = 0;
  bool checksum_ok = false;
};
Result<PlaceableHeader> read_placeable_header(const uint8_t* data, size_t size);

Status write_wmf_file(const Page& page, std::string_view file);
Result<Page> read_wmf_file(std::string_view file);

}  // namespace tdx::report
