// Page: one filled page as a display list, the model between filling and every output.
//
// Coordinates are thousandths of an inch from the paper's top-left corner, y growing downwards.
// Texts are Windows-1252 bytes placed by their baseline; a font is given by its face name as the
// layouts name it ("Arial"), its em height in thousandths of an inch and its style. Colours are
// 0xRRGGBB. A Page owns its items; images share their bitmap bytes (a DIB: BITMAPINFOHEADER,
// colour table, pixel rows) so that a picture printed on every page is held once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tdx::report {

struct FontSpec {
  std::string face = "Arial";
  int height = 111;  // em height, thousandths of an inch (8 pt = 111)
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const FontSpec&) const = default;
};

// Points to thousandths of an inch, rounded (8 -> 111, 10 -> 139).
inline int points_to_units(double pt) { return static_cast<int>(pt * 1000.0 / 72.0 + 0.5); }

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const Rect&) const = default;
};

struct TextRun {
  int x = 0, y = 0;  // start of the baseline
  std::string text;  // Windows-1252
  FontSpec font;
  uint32_t color = 0;
  bool clipped = false;  // when set, nothing outside `clip` is drawn
  Rect clip;
};

struct LineItem {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int width = 10;
  uint32_t color = 0;
};

struct BoxItem {
  Rect r;
  int width = 10;  // pen; 0 = no outline
  uint32_t color = 0;
  bool filled = false;
  uint32_t fill = 0xFFFFFF;
};

struct ImageItem {
  Rect r;
  std::shared_ptr<const std::vector<uint8_t>> dib;
};

using PageItem = std::variant<TextRun, LineItem, BoxItem, ImageItem>;

struct Page {
  int width = 8500;
  int height = 11000;
  std::vector<PageItem> items;
};

}  // namespace tdx::report
