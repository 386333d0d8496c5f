#include "runtime/report/bitmap.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/report/rowfile.h"

namespace tdx::report {

namespace {

uint32_t rd32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t rd16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
Status bad(std::string t) { return Status(kReportErrorCode, "bitmap: " + t); }

size_t palette_entries(const uint8_t* p) {
  uint16_t bpp = rd16(p + 14);
  uint32_t used = rd32(p + 32);
  if (bpp > 8) return 0;
  return used ? used : (size_t{1} << bpp);
}

}  // namespace

Status check_dib(const uint8_t* p, size_t n, int* width, int* height) {
  if (n < 40 || rd32(p) != 40) return bad("not a 40-byte BITMAPINFOHEADER");
  int32_t w = static_cast<int32_t>(rd32(p + 4));
  int32_t h = static_cast<int32_t>(rd32(p + 8));
  uint16_t bpp = rd16(p + 14);
  uint32_t comp = rd32(p + 16);
  if (comp != 0) return bad("compressed bitmaps are not supported");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return bad("bits per pixel");
  if (w <= 0 || h == 0 || w > 20000 || h > 20000 || h < -20000) return bad("size");
  size_t pal = palette_entries(p);
  if (pal > 256) return bad("colour table");
  size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
  size_t need = 40 + pal * 4 + stride * size_t(h < 0 ? -h : h);
  if (n < need) return bad("pixel data is short");
  *width = w;
  *height = h < 0 ? -h : h;
  return Status();
}

Result<std::shared_ptr<const Dib>> load_bmp(std::string_view file) {
  std::string name(file);
  FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return Status(kReportErrorCode, "cannot open image " + name);
  std::vector<uint8_t> data;
  uint8_t buf[65536];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) {
    data.insert(data.end(), buf, buf + got);
    if (data.size() > (size_t{256} << 20)) break;
  }
  std::fclose(f);
  if (data.size() < 14 + 40 || data[0] != 'B' || data[1] != 'M')
    return bad(name + " is not a BMP file");
  uint32_t off = rd32(&data[10]);
  uint32_t hdr = rd32(&data[14]);
  if (hdr < 40 || 14 + size_t(hdr) > data.size()) return bad(name + ": header");
  // Keep the first 40 bytes of a V4/V5 header: the rest (colour spaces) prints the same.
  auto dib = std::make_shared<Dib>(data.begin() + 14, data.begin() + 14 + 40);
  (*dib)[0] = 40, (*dib)[1] = 0, (*dib)[2] = 0, (*dib)[3] = 0;
  size_t pal = palette_entries(dib->data()) * 4;
  if (14 + size_t(hdr) + pal > data.size() || off > data.size()) return bad(name + ": layout");
  dib->insert(dib->end(), data.begin() + 14 + hdr, data.begin() + 14 + hdr + pal);
  dib->insert(dib->end(), data.begin() + off, data.end());
  int w, h;
  Status s = check_dib(dib->data(), dib->size(), &w, &h);
  if (!s.ok()) return Status(s.code(), s.text() + " in " + name);
  return std::shared_ptr<const Dib>(dib);
}

Result<std::vector<uint32_t>> dib_to_argb(const Dib& dib, int* width, int* height) {
  Status s = check_dib(dib.data(), dib.size(), width, height);
  if (!s.ok()) return s;
  const uint8_t* p = dib.data();
  const int w = *width, h = *height;
  const bool bottom_up = static_cast<int32_t>(rd32(p + 8)) > 0;
  const uint16_t bpp = rd16(p + 14);
  const size_t pal = palette_entries(p);
  const uint8_t* colors = p + 40;
  const uint8_t* bits = colors + pal * 4;
  const size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
  std::vector<uint32_t> out(size_t(w) * h);
  for (int row = 0; row < h; ++row) {
    const uint8_t* src = bits + stride * size_t(bottom_up ? h - 1 - row : row);
    uint32_t* dst = &out[size_t(row) * w];
    for (int x = 0; x < w; ++x) {
      uint32_t b = 0, g = 0, r = 0;
      if (bpp >= 24) {
        const uint8_t* q = src + x * (bpp / 8);
        b = q[0], g = q[1], r = q[2];
      } else {
        size_t idx;
        if (bpp == 8) {
          idx = src[x];
        } else if (bpp == 4) {
          idx = (src[x / 2] >> ((x % 2) ? 0 : 4)) & 0xF;
        } else {
          idx = (src[x / 8] >> (7 - x % 8)) & 1;
        }
        if (idx < pal) b = colors[idx * 4], g = colors[idx * 4 + 1], r = colors[idx * 4 + 2];
      }
      dst[x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  return out;
}

}  // namespace tdx::report
