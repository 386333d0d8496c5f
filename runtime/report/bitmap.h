// Device-independent bitmaps: what image controls print and page images carry.
//
// A DIB here is the in-memory form that metafiles embed: a 40-byte BITMAPINFOHEADER, its colour
// table, then the pixel rows (bottom-up when the height is positive, each padded to 4 bytes).
// Only uncompressed 1, 4, 8, 24 and 32 bits per pixel are accepted; anything else, or any size
// that does not add up, is an error, never a read past the end.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"

namespace tdx::report {

using Dib = std::vector<uint8_t>;

// Reads a Windows .bmp file into a DIB.
Result<std::shared_ptr<const Dib>> load_bmp(std::string_view file);
// Checks a DIB; on success gives its size in pixels.
Status check_dib(const uint8_t* p, size_t n, int* width, int* height);
// Decodes a checked DIB into premultiplied 32-bit ARGB rows, top-down (cairo's ARGB32).
Result<std::vector<uint32_t>> dib_to_argb(const Dib& dib, int* width, int* height);

}  // namespace tdx::report
