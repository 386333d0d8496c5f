#include "runtime/report/wmf.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/report/bitmap.h"
#include "runtime/report/rowfile.h"

namespace tdx::report {

namespace {

constexpr uint32_t kKey = 0x9AC6CDD7;
// Record functions.
constexpr uint16_t kEOF = 0x0000, kSetBkMode = 0x0102, kSetMapMode = 0x0103,
                   kSetTextAlign = 0x012E, kSelectObject = 0x012D, kDeleteObject = 0x01F0,
                   kSetTextColor = 0x0209, kSetWindowOrg = 0x020B, kSetWindowExt = 0x020C,
                   kLineTo = 0x0213, kMoveTo = 0x0214, kRectangle = 0x041B,
                   kCreatePen = 0x02FA, kCreateFont = 0x02FB, kCreateBrush = 0x02FC,
                   kExtTextOut = 0x0A32, kTextOut = 0x0521, kStretchDib = 0x0F43;
constexpr uint16_t kTaBaseline = 24;
constexpr uint16_t kEtoClipped = 4;

int16_t clamp16(int v) { return static_cast<int16_t>(std::clamp(v, -32767, 32767)); }

class Writer {
 public:
  std::vector<uint8_t> out;
  uint32_t max_record = 0;
  int objects_peak = 0;

  void w16(uint16_t v) { out.push_back(v & 0xFF), out.push_back(v >> 8); }
  void w32(uint32_t v) { w16(v & 0xFFFF), w16(v >> 16); }
  void s16(int v) { w16(static_cast<uint16_t>(clamp16(v))); }

  size_t begin(uint16_t fn) {
    size_t at = out.size();
    w32(0);
    w16(fn);
    return at;
  }
  void end(size_t at) {
    if (out.size() % 2) out.push_back(0);
    uint32_t words = static_cast<uint32_t>((out.size() - at) / 2);
    std::memcpy(&out[at], &words, 4);  // little-endian machine
    max_record = std::max(max_record, words);
  }
  void rec(uint16_t fn, std::initializer_list<int> params) {
    size_t at = begin(fn);
    for (int p : params) s16(p);
    end(at);
  }

  // Object table: a slot per live object, the lowest free one taken first (as readers expect).
  std::vector<bool> used;
  int alloc() {
    for (size_t i = 0; i < used.size(); ++i)
      if (!used[i]) {
        used[i] = true;
        return static_cast<int>(i);
      }
    used.push_back(true);
    objects_peak = std::max(objects_peak, static_cast<int>(used.size()));
    return static_cast<int>(used.size()) - 1;
  }
  void release(int slot) {
    rec(kDeleteObject, {slot});
    used[slot] = false;
  }
};

void color(Writer& w, uint32_t rgb) {
  // COLORREF is 0x00BBGGRR.
  w.w32((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
}

}  // namespace

std::vector<uint8_t> write_wmf(const Page& page) {
  Writer w;
  // Placeable header.
  w.w32(kKey);
  w.w16(0);
  w.s16(0), w.s16(0), w.s16(page.width), w.s16(page.height);
  w.w16(1000);
  w.w32(0);
  uint16_t sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= static_cast<uint16_t>(w.out[2 * i] | w.out[2 * i + 1] << 8);
  w.w16(sum);
  const size_t mh = w.out.size();
  // Metafile header, completed at the end.
  w.w16(1), w.w16(9), w.w16(0x0300), w.w32(0), w.w16(0), w.w32(0), w.w16(0);

  w.rec(kSetMapMode, {8});  // MM_ANISOTROPIC
  w.rec(kSetWindowOrg, {0, 0});
  w.rec(kSetWindowExt, {page.height, page.width});
  w.rec(kSetBkMode, {1});  // transparent
  w.rec(kSetTextAlign, {kTaBaseline});

  int font_slot = -1, pen_slot = -1, brush_slot = -1;
  FontSpec cur_font;
  bool have_font = false;
  int cur_pen_w = -1;
  uint32_t cur_pen_c = 0;
  bool cur_brush_null = false, have_brush = false;
  uint32_t cur_brush_c = 0;
  bool have_text_color = false;
  uint32_t cur_text_c = 0;

  auto select_pen = [&](int width, uint32_t c, bool null_pen) {
    int wdt = null_pen ? -2 : width;
    if (pen_slot >= 0 && cur_pen_w == wdt && cur_pen_c == c) return;
    int slot = w.alloc();
    size_t at = w.begin(kCreatePen);
    w.w16(null_pen ? 5 : 0);  // PS_NULL or PS_SOLID
    w.s16(null_pen ? 0 : std::max(width, 1)), w.s16(0);
    color(w, c);
    w.end(at);
    w.rec(kSelectObject, {slot});
    if (pen_slot >= 0) w.release(pen_slot);
    pen_slot = slot, cur_pen_w = wdt, cur_pen_c = c;
  };
  auto select_brush = [&](bool null_brush, uint32_t c) {
    if (have_brush && cur_brush_null == null_brush && (null_brush || cur_brush_c == c)) return;
    int slot = w.alloc();
    size_t at = w.begin(kCreateBrush);
    w.w16(null_brush ? 1 : 0);  // BS_NULL or BS_SOLID
    color(w, c);
    w.w16(0);
    w.end(at);
    w.rec(kSelectObject, {slot});
    if (brush_slot >= 0) w.release(brush_slot);
    brush_slot = slot, have_brush = true, cur_brush_null = null_brush, cur_brush_c = c;
  };
  auto select_font = [&](const FontSpec& f) {
    if (have_font && cur_font == f) return;
    int slot = w.alloc();
    size_t at = w.begin(kCreateFont);
    w.s16(-f.height), w.s16(0), w.s16(0), w.s16(0);
    w.s16(f.bold ? 700 : 400);
    w.out.push_back(f.italic ? 1 : 0);
    w.out.push_back(f.underline ? 1 : 0);
    w.out.push_back(0);  // strike out
    w.out.push_back(0);  // ANSI charset
    w.out.push_back(0), w.out.push_back(0), w.out.push_back(0), w.out.push_back(0);
    char face[32] = {};
    std::memcpy(face, f.face.data(), std::min<size_t>(f.face.size(), 31));
    w.out.insert(w.out.end(), face, face + 32);
    w.end(at);
    w.rec(kSelectObject, {slot});
    if (font_slot >= 0) w.release(font_slot);
    font_slot = slot, cur_font = f, have_font = true;
  };

  // The invisible paper-sized rectangle.
  select_pen(0, 0, true);
  select_brush(true, 0);
  w.rec(kRectangle, {page.height, page.width, 0, 0});

  for (const PageItem& it : page.items) {
    if (auto* t = std::get_if<TextRun>(&it)) {
      if (t->text.empty()) continue;
      select_font(t->font);
      if (!have_text_color || cur_text_c != t->color) {
        size_t at = w.begin(kSetTextColor);
        color(w, t->color);
        w.end(at);
        have_text_color = true, cur_text_c = t->color;
      }
      size_t n = std::min<size_t>(t->text.size(), 8000);
      size_t at = w.begin(kExtTextOut);
      w.s16(t->y), w.s16(t->x), w.w16(static_cast<uint16_t>(n));
      w.w16(t->clipped ? kEtoClipped : 0);
      if (t->clipped) {
        w.s16(t->clip.x), w.s16(t->clip.y), w.s16(t->clip.x + t->clip.w),
            w.s16(t->clip.y + t->clip.h);
      }
      w.out.insert(w.out.end(), t->text.begin(), t->text.begin() + n);
      w.end(at);
    } else if (auto* l = std::get_if<LineItem>(&it)) {
      select_pen(l->width, l->color, false);
      w.rec(kMoveTo, {l->y1, l->x1});
      w.rec(kLineTo, {l->y2, l->x2});
    } else if (auto* b = std::get_if<BoxItem>(&it)) {
      select_pen(b->width, b->color, b->width == 0);
      select_brush(!b->filled, b->fill);
      w.rec(kRectangle, {b->r.y + b->r.h, b->r.x + b->r.w, b->r.y, b->r.x});
    } else if (auto* im = std::get_if<ImageItem>(&it)) {
      int iw, ih;
      if (!im->dib || !check_dib(im->dib->data(), im->dib->size(), &iw, &ih).ok()) continue;
      size_t at = w.begin(kStretchDib);
      w.w32(0x00CC0020);  // SRCCOPY
      w.w16(0);           // DIB_RGB_COLORS
      w.s16(ih), w.s16(iw), w.s16(0), w.s16(0);
      w.s16(im->r.h), w.s16(im->r.w), w.s16(im->r.y), w.s16(im->r.x);
      w.out.insert(w.out.end(), im->dib->begin(), im->dib->end());
      w.end(at);
    }
  }
  // Select stock-free state is not needed: delete nothing still selected; the player frees all.
  w.rec(kEOF, {});
  // Complete the metafile header.
  uint32_t total_words = static_cast<uint32_t>((w.out.size() - mh) / 2);
  std::memcpy(&w.out[mh + 6], &total_words, 4);
  uint16_t nobj = static_cast<uint16_t>(std::max(w.objects_peak, 1));
  std::memcpy(&w.out[mh + 10], &nobj, 2);
  std::memcpy(&w.out[mh + 12], &w.max_record, 4);
  return w.out;
}

namespace {

uint16_t rd16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
int16_t rs16(const uint8_t* p) { return static_cast<int16_t>(rd16(p)); }
uint32_t rd32(const uint8_t* p) { return rd16(p) | uint32_t(rd16(p + 2)) << 16; }
Status bad(std::string t) { return Status(kReportErrorCode, "page image: " + t); }
uint32_t rgb(uint32_t colorref) {
  return (colorref & 0xFF) << 16 | (colorref & 0xFF00) | (colorref >> 16 & 0xFF);
}

struct Obj {
  enum Kind { None, Font, Pen, Brush } kind = None;
  FontSpec font;
  int pen_width = 0;
  bool pen_null = false;
  uint32_t color = 0;
  bool brush_null = false;
};

}  // namespace

Result<PlaceableHeader> read_placeable_header(const uint8_t* d, size_t n) {
  if (n < 22) return bad("shorter than its header");
  PlaceableHeader h;
  h.key = rd32(d);
  if (h.key != kKey) return bad("not a placeable metafile");
  h.left = rs16(d + 6), h.top = rs16(d + 8), h.right = rs16(d + 10), h.bottom = rs16(d + 12);
  h.units_per_inch = rd16(d + 14);
  h.checksum = rd16(d + 20);
  uint16_t sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= rd16(d + 2 * i);
  h.checksum_ok = sum == h.checksum;
  return h;
}

Result<Page> read_wmf(const uint8_t* d, size_t n) {
  auto hdr = read_placeable_header(d, n);
  if (!hdr.ok()) return hdr.status();
  if (!hdr->checksum_ok) return bad("header checksum");
  if (hdr->units_per_inch == 0) return bad("units per inch is 0");
  Page page;
  const double scale = 1000.0 / hdr->units_per_inch;
  auto sc = [&](int v) { return static_cast<int>(v * scale + (v >= 0 ? 0.5 : -0.5)); };
  page.width = sc(hdr->right - hdr->left);
  page.height = sc(hdr->bottom - hdr->top);
  if (n < 22 + 18) return bad("no metafile header");
  size_t p = 22 + rd16(d + 22 + 2) * 2;
  std::vector<Obj> table;
  Obj font, pen, brush;
  uint32_t text_color = 0;
  int cx = 0, cy = 0;
  auto param = [&](size_t at, size_t words, size_t i) -> int {
    return i < words ? rs16(d + at + 6 + 2 * i) : 0;
  };
  while (p + 6 <= n) {
    uint32_t words = rd32(d + p);
    uint16_t fn = rd16(d + p + 4);
    if (words < 3 || p + size_t(words) * 2 > n) return bad("record runs past the end");
    const size_t np = words - 3;
    const uint8_t* a = d + p + 6;
    auto P = [&](size_t i) { return param(p, np, i); };
    switch (fn) {
      case kEOF:
        return page;
      case kCreateFont:
      case kCreatePen:
      case kCreateBrush: {
        Obj o;
        if (fn == kCreateFont && np * 2 >= 18) {
          o.kind = Obj::Font;
          o.font.height = sc(std::abs(rs16(a)));
          o.font.bold = rs16(a + 8) >= 600;
          o.font.italic = a[10] != 0;
          o.font.underline = a[11] != 0;
          size_t fl = std::min<size_t>(np * 2 - 18, 32);
          std::string face(reinterpret_cast<const char*>(a + 18), fl);
          face = face.substr(0, face.find('\0'));
          o.font.face = face;
        } else if (fn == kCreatePen && np >= 5) {
          o.kind = Obj::Pen;
          o.pen_null = rd16(a) == 5;
          o.pen_width = sc(rs16(a + 2));
          o.color = rgb(rd32(a + 6));
        } else if (fn == kCreateBrush && np >= 3) {
          o.kind = Obj::Brush;
          o.brush_null = rd16(a) == 1;
          o.color = rgb(rd32(a + 2));
        }
        bool placed = false;
        for (auto& slot : table)
          if (slot.kind == Obj::None) {
            slot = o, placed = true;
            break;
          }
        if (!placed) table.push_back(o);
        if (table.size() > 65535) return bad("too many objects");
        break;
      }
      case kSelectObject: {
        size_t i = static_cast<uint16_t>(P(0));
        if (i < table.size()) {
          const Obj& o = table[i];
          if (o.kind == Obj::Font) font = o;
          if (o.kind == Obj::Pen) pen = o;
          if (o.kind == Obj::Brush) brush = o;
        }
        break;
      }
      case kDeleteObject: {
        size_t i = static_cast<uint16_t>(P(0));
        if (i < table.size()) table[i] = Obj();
        break;
      }
      case kSetTextColor:
        if (np >= 2) text_color = rgb(rd32(a));
        break;
      case kMoveTo:
        cy = sc(P(0)), cx = sc(P(1));
        break;
      case kLineTo: {
        int y = sc(P(0)), x = sc(P(1));
        if (!pen.pen_null) page.items.push_back(LineItem{cx, cy, x, y, pen.pen_width, pen.color});
        cx = x, cy = y;
        break;
      }
      case kRectangle: {
        int b = sc(P(0)), r = sc(P(1)), t = sc(P(2)), l = sc(P(3));
        // The invisible paper rectangle draws nothing.
        if (pen.pen_null && brush.brush_null) break;
        BoxItem bx;
        bx.r = {l, t, r - l, b - t};
        bx.width = pen.pen_null ? 0 : pen.pen_width;
        bx.color = pen.color;
        bx.filled = !brush.brush_null && brush.kind == Obj::Brush;
        bx.fill = brush.color;
        page.items.push_back(bx);
        break;
      }
      case kExtTextOut:
      case kTextOut: {
        TextRun t;
        t.font = font.font;
        t.color = text_color;
        size_t count;
        const uint8_t* str;
        if (fn == kExtTextOut) {
          if (np < 4) return bad("short text record");
          t.y = sc(P(0)), t.x = sc(P(1));
          count = static_cast<uint16_t>(P(2));
          uint16_t opt = static_cast<uint16_t>(P(3));
          size_t at = 4;
          if (opt & 6) {
            if (np < 8) return bad("short text record");
            int l = sc(P(4)), tp = sc(P(5)), r = sc(P(6)), b = sc(P(7));
            if (opt & kEtoClipped) t.clipped = true, t.clip = {l, tp, r - l, b - tp};
            at = 8;
          }
          if (at * 2 + count > np * 2) return bad("text runs past its record");
          str = a + at * 2;
        } else {
          count = static_cast<uint16_t>(P(0));
          size_t padded = (count + 1) / 2;
          if (1 + padded + 2 > np) return bad("text runs past its record");
          str = a + 2;
          t.y = sc(rs16(a + 2 + padded * 2)), t.x = sc(rs16(a + 4 + padded * 2));
        }
        t.text.assign(reinterpret_cast<const char*>(str), count);
        page.items.push_back(std::move(t));
        break;
      }
      case kStretchDib: {
        if (np < 11) return bad("short bitmap record");
        ImageItem im;
        im.r = {sc(P(10)), sc(P(9)), sc(P(8)), sc(P(7))};
        const uint8_t* dib = a + 22;
        size_t dn = np * 2 - 22;
        int iw, ih;
        if (check_dib(dib, dn, &iw, &ih).ok()) {
          im.dib = std::make_shared<const Dib>(dib, dib + dn);
          page.items.push_back(std::move(im));
        }
        break;
      }
      default:
        break;
    }
    p += size_t(words) * 2;
  }
  return bad("no end record");
}

Status write_wmf_file(const Page& page, std::string_view file) {
  std::vector<uint8_t> bytes = write_wmf(page);
  std::string name(file);
  FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return Status(kReportErrorCode, "cannot write page image " + name);
  size_t put = std::fwrite(bytes.data(), 1, bytes.size(), f);
  int rc = std::fclose(f);
  if (put != bytes.size() || rc != 0)
    return Status(kReportErrorCode, "cannot write page image " + name);
  return Status();
}

Result<Page> read_wmf_file(std::string_view file) {
  std::string name(file);
  FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return Status(kReportErrorCode, "cannot open page image " + name);
  std::vector<uint8_t> data;
  uint8_t buf[65536];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + got);
  std::fclose(f);
  auto page = read_wmf(data.data(), data.size());
  if (!page.ok()) return Status(page.status().code(), page.status().text() + " in " + name);
  return page;
}

}  // namespace tdx::report
