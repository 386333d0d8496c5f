#include "runtime/report/engine.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "runtime/picture/picture.h"
#include "runtime/report/bitmap.h"
#include "runtime/report/fonts.h"
#include "runtime/report/rowfile.h"

namespace tdx::report {

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

Status no_such(std::string_view label) {
  return Status(kReportErrorCode, "no control or band labelled " + std::string(label));
}

std::string_view clip_right(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Single-line texts are justified without the blanks that fixed-width strings and pictures
// put around them.
std::string_view strip(std::string_view s) {
  s = clip_right(s);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

// Fills the parts of `out` that `d` gives.
void apply(const FontDecl& d, FontSpec* out, uint32_t* color) {
  if (d.face) out->face = *d.face;
  if (d.size) out->height = points_to_units(*d.size);
  if (d.color) *color = *d.color;
  if (d.bold) out->bold = *d.bold;
  if (d.italic) out->italic = *d.italic;
  if (d.underline) out->underline = *d.underline;
}

// Width of a field whose size is "-": its picture's characters in digit widths.
int picture_width(const FontSpec& font, std::string_view picture) {
  const Picture* p = Picture::Get(picture);
  if (p == nullptr) return 0;
  return p->width() * text_width(font, "0");
}

// Vertical extent of an item, for splitting tall bands.
void extent(const PageItem& it, int* top, int* bottom) {
  if (auto* t = std::get_if<TextRun>(&it)) {
    *top = t->y - font_ascent(t->font);
    *bottom = *top + line_height(t->font);
  } else if (auto* l = std::get_if<LineItem>(&it)) {
    *top = std::min(l->y1, l->y2);
    *bottom = std::max(l->y1, l->y2);
  } else if (auto* b = std::get_if<BoxItem>(&it)) {
    *top = b->r.y;
    *bottom = b->r.y + b->r.h;
  } else {
    const auto& im = std::get<ImageItem>(it);
    *top = im.r.y;
    *bottom = im.r.y + im.r.h;
  }
}

void translate(PageItem* it, int dx, int dy) {
  if (auto* t = std::get_if<TextRun>(it)) {
    t->x += dx, t->y += dy, t->clip.x += dx, t->clip.y += dy;
  } else if (auto* l = std::get_if<LineItem>(it)) {
    l->x1 += dx, l->x2 += dx, l->y1 += dy, l->y2 += dy;
  } else if (auto* b = std::get_if<BoxItem>(it)) {
    b->r.x += dx, b->r.y += dy;
  } else {
    auto& im = std::get<ImageItem>(*it);
    im.r.x += dx, im.r.y += dy;
  }
}

bool intersect(const Rect& a, const Rect& b, Rect* out) {
  int x1 = std::max(a.x, b.x), y1 = std::max(a.y, b.y);
  int x2 = std::min(a.x + a.w, b.x + b.w), y2 = std::min(a.y + a.h, b.y + b.h);
  if (x2 <= x1 || y2 <= y1) return false;
  *out = {x1, y1, x2 - x1, y2 - y1};
  return true;
}

// Clips a line to a rectangle (Liang-Barsky); false when nothing is left.
bool clip_line(LineItem* l, const Rect& r) {
  double x0 = l->x1, y0 = l->y1, dx = l->x2 - l->x1, dy = l->y2 - l->y1;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - r.x, r.x + r.w - x0, y0 - r.y, r.y + r.h - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  l->x1 = static_cast<int>(x0 + t0 * dx), l->y1 = static_cast<int>(y0 + t0 * dy);
  l->x2 = static_cast<int>(x0 + t1 * dx), l->y2 = static_cast<int>(y0 + t1 * dy);
  return true;
}

// Clips an item to a rectangle (the paper, or the slice of a split band). False: drop it.
bool clip_item(PageItem* it, const Rect& r) {
  if (auto* t = std::get_if<TextRun>(it)) {
    int top = t->y - font_ascent(t->font);
    Rect ext{t->x, top, text_width(t->font, t->text), line_height(t->font)};
    if (t->clipped) {
      Rect c;
      if (!intersect(ext, t->clip, &c)) return false;
      ext = c;
    }
    Rect c;
    if (!intersect(ext, r, &c)) return false;
    if (!(c == ext) || t->clipped) {
      t->clipped = true;
      t->clip = c;
    }
    return true;
  }
  if (auto* l = std::get_if<LineItem>(it)) return clip_line(l, r);
  if (auto* b = std::get_if<BoxItem>(it)) {
    Rect c;
    // A box with no height or width is still drawn as its outline.
    Rect ext = b->r;
    if (ext.w == 0) ext.w = 1;
    if (ext.h == 0) ext.h = 1;
    if (!intersect(ext, r, &c)) return false;
    if (!(c == ext)) b->r = c;
    return true;
  }
  auto& im = std::get<ImageItem>(*it);
  Rect c;
  return intersect(im.r, r, &c);
}

// Wraps a text into lines no wider than `width`: at blanks where possible, inside a word when a
// word alone is too wide. CR LF, LF and CR end a line.
std::vector<std::string> wrap(std::string_view text, int width, const FontSpec& font) {
  std::vector<std::string> lines;
  const FontMetrics& m = font_metrics(font);
  const double limit = width / static_cast<double>(font.height);
  size_t i = 0;
  while (i <= text.size()) {
    size_t e = text.find_first_of("\r\n", i);
    if (e == std::string_view::npos) e = text.size();
    std::string_view para = clip_right(text.substr(i, e - i));
    if (para.empty()) {
      lines.emplace_back();
    }
    size_t p = 0;
    while (p < para.size()) {
      double w = 0;
      size_t q = p, last_break = std::string_view::npos;
      while (q < para.size()) {
        double a = m.advance[static_cast<unsigned char>(para[q])];
        if (w + a > limit && q > p) break;
        if (para[q] == ' ') last_break = q;
        w += a;
        ++q;
      }
      size_t end = q;
      if (q < para.size() && last_break != std::string_view::npos && last_break > p) end = last_break;
      lines.emplace_back(clip_right(para.substr(p, end - p)));
      p = end;
      while (p < para.size() && para[p] == ' ') ++p;
    }
    if (e == text.size()) break;
    i = e + ((text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ? 2 : 1);
    if (i == text.size()) break;
  }
  // Blank lines at the end print nothing and take no room.
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace

std::string default_field_formatter(const Value& value, std::string_view picture) {
  return format_picture(value, picture);
}

TextRun place_text(std::string text, const FontSpec& font, uint32_t color, const Rect& box,
                   bool auto_width, Justify justify, int decimal_offset) {
  TextRun t;
  t.font = font;
  t.color = color;
  std::string_view shown = strip(text);
  const int nat = text_width(font, shown);
  int x = box.x;
  switch (justify) {
    case Justify::Left:
      break;
    case Justify::Right:
      x = box.x + box.w - nat;
      break;
    case Justify::Centre:
      x = box.x + (box.w - nat) / 2;
      break;
    case Justify::Decimal: {
      size_t dot = shown.find('.');
      std::string_view whole = shown.substr(0, dot);
      int off = decimal_offset != kAuto ? decimal_offset : text_width(font, ".00");
      x = box.x + box.w - off - text_width(font, whole);
      break;
    }
  }
  t.x = x;
  t.y = box.y + font_ascent(font);
  t.text = std::string(shown);
  if (!auto_width && (x < box.x || x + nat > box.x + box.w)) {
    t.clipped = true;
    t.clip = {box.x, box.y, box.w, std::max(box.h, line_height(font))};
  }
  return t;
}

struct ControlState {
  Control decl;
  VarRef ref;
  bool builtin_page = false, builtin_pages = false;
  std::optional<FontStyle> style;
  std::shared_ptr<const Dib> image;
};

struct SectionState {
  Section decl;
  std::vector<ControlState> controls;
};

// A band turned into items, relative to its own top-left corner.
struct Rendered {
  std::vector<PageItem> items;
  std::vector<CountSlot> slots;  // item indexes relative to `items`
  int x = 0, y = 0, w = 0, h = 0;
  bool narrow = false;
};

struct Report::Impl {
  Report* owner;
  std::vector<SectionState> bands;
  std::optional<SectionState> header, footer, form;
  std::map<std::string, std::pair<SectionState*, int>> controls;  // lower(label) -> place
  std::map<std::string, int> band_labels;
  FieldFormatter formatter = default_field_formatter;
  PageSink* sink = nullptr;
  std::vector<std::optional<std::string>> break_last;  // last break values
  std::vector<VarRef> break_refs;
  std::vector<bool> break_started;

  // Page in progress.
  bool page_open = false;
  bool body_used = false;
  Page page;
  std::vector<CountSlot> page_slots;
  int page_number = 0;
  int pos = 0;  // absolute y where the next row starts
  bool row_open = false;
  int row_top = 0, row_right = 0;
  std::vector<Rendered> pending;  // keep-with-next bands waiting for the next band

  const Layout& L() const { return owner->layout_; }

  FontSpec font_of(const SectionState& s, const ControlState& c, uint32_t* color) const {
    FontSpec f;
    f.face = "Arial";
    f.height = points_to_units(8);
    *color = 0;
    apply(L().font, &f, color);
    apply(s.decl.font, &f, color);
    apply(c.decl.font, &f, color);
    if (c.style) {
      f.bold = c.style->bold, f.italic = c.style->italic, f.underline = c.style->underline;
    }
    return f;
  }

  bool visible(const SectionState& s, const ControlState& c) const {
    if (c.decl.hidden) return false;
    int g = c.decl.group;
    while (g >= 0) {
      const ControlState& gc = s.controls[g];
      if (gc.decl.hidden) return false;
      g = gc.decl.group;
    }
    return true;
  }

  Value value_of(const ControlState& c) const {
    if (c.builtin_page) return Value(page_number);
    if (c.ref.valid()) return c.ref.get();
    return Value(std::string());
  }

  std::string field_text(const ControlState& c) const {
    if (c.builtin_pages) return std::string();  // filled in once the count is known
    return formatter(value_of(c), c.decl.picture);
  }

  Justify justify_of(const ControlState& c) const {
    if (c.decl.justify_given || c.decl.kind != ControlKind::Field) return c.decl.justify;
    const Picture* p = Picture::Get(c.decl.picture);
    return p && p->default_justify() == tdx::Justify::Right ? Justify::Right : Justify::Left;
  }

  Rendered render(SectionState& s, bool band) {
    Rendered r;
    const Section& d = s.decl;
    int content_bottom = 0;
    int grow_bottom = 0;
    const int cap = band ? d.max_height : kAuto;
    for (ControlState& c : s.controls) {
      if (!visible(s, c)) continue;
      const Control& k = c.decl;
      uint32_t color;
      FontSpec font = font_of(s, c, &color);
      switch (k.kind) {
        case ControlKind::Text:
        case ControlKind::Field: {
          std::string text = k.kind == ControlKind::Text ? k.text : field_text(c);
          const bool auto_w = k.w == kAuto;
          int w = k.w;
          if (auto_w) {
            w = std::max(text_width(font, strip(text)),
                         k.kind == ControlKind::Field ? picture_width(font, k.picture) : 0);
          }
          int h = k.h == kAuto ? line_height(font) : k.h;
          Rect box{k.x, k.y, w, h};
          TextRun t = place_text(text, font, color, box, auto_w, justify_of(c), k.decimal_offset);
          if (c.builtin_pages) {
            CountSlot slot;
            slot.item = r.items.size();
            slot.box = box;
            slot.justify = justify_of(c);
            slot.decimal_offset = k.decimal_offset;
            slot.picture = k.picture;
            r.slots.push_back(slot);
            r.items.push_back(t);
          } else if (!t.text.empty()) {
            r.items.push_back(std::move(t));
          }
          content_bottom = std::max(content_bottom, k.y + h);
          break;
        }
        case ControlKind::TextBox: {
          std::string text = c.ref.valid() ? c.ref.get().text() : k.text;
          int w = k.w == kAuto ? std::max(0, (d.w == kAuto ? L().body_w : d.w) - k.x) : k.w;
          std::vector<std::string> lines = wrap(text, w, font);
          const int lh = line_height(font);
          int h = static_cast<int>(lines.size()) * lh;
          if (k.h != kAuto) h = std::max(h, k.h);
          for (size_t i = 0; i < lines.size(); ++i) {
            int top = k.y + static_cast<int>(i) * lh;
            if (cap != kAuto && top + lh > cap) break;  // the band may not grow further
            if (lines[i].empty()) continue;
            TextRun t = place_text(lines[i], font, color, {k.x, top, w, lh}, false,
                                   k.justify == Justify::Decimal ? Justify::Left : k.justify,
                                   kAuto);
            r.items.push_back(std::move(t));
          }
          content_bottom = std::max(content_bottom, k.y + h);
          grow_bottom = std::max(grow_bottom, k.y + h);
          break;
        }
        case ControlKind::Line: {
          LineItem l{k.x, k.y, k.x + k.w, k.y + k.h, k.pen, color};
          r.items.push_back(l);
          content_bottom = std::max(content_bottom, std::max(k.y, k.y + k.h));
          break;
        }
        case ControlKind::Box:
        case ControlKind::Group: {
          if (k.kind == ControlKind::Box || k.boxed) {
            BoxItem b;
            b.r = {k.x, k.y, k.w, k.h};
            b.width = k.pen;
            b.color = color;
            if (k.fill) b.filled = true, b.fill = *k.fill;
            r.items.push_back(b);
          }
          if (k.kind == ControlKind::Box) content_bottom = std::max(content_bottom, k.y + k.h);
          break;
        }
        case ControlKind::Image: {
          if (c.image) r.items.push_back(ImageItem{{k.x, k.y, k.w, k.h}, c.image});
          content_bottom = std::max(content_bottom, k.y + k.h);
          break;
        }
      }
    }
    r.x = band ? d.x : 0;
    r.y = band ? d.y : 0;
    r.w = d.w == kAuto ? L().body_w : d.w;
    r.h = d.h == kAuto ? content_bottom : std::max(d.h, grow_bottom);
    if (cap != kAuto && r.h > cap) r.h = cap;
    if (r.h < 0) r.h = 0;
    r.narrow = band && d.w != kAuto && d.x + d.w < L().body_w;
    return r;
  }

  Rect paper() const { return {0, 0, owner->paper_width(), owner->paper_height()}; }

  void add(Rendered&& r, int ax, int ay) {
    const size_t base = page.items.size();
    std::vector<bool> kept(r.items.size(), false);
    std::vector<size_t> new_index(r.items.size(), 0);
    const Rect p = paper();
    for (size_t i = 0; i < r.items.size(); ++i) {
      PageItem it = std::move(r.items[i]);
      translate(&it, ax, ay);
      auto* t = std::get_if<TextRun>(&it);
      const bool placeholder = t && t->text.empty();  // a page-count field, filled in later
      if (!placeholder && !clip_item(&it, p)) continue;
      kept[i] = true;
      new_index[i] = page.items.size();
      page.items.push_back(std::move(it));
    }
    (void)base;
    for (CountSlot s : r.slots) {
      if (!kept[s.item]) continue;
      s.item = new_index[s.item];
      s.box.x += ax, s.box.y += ay;
      page_slots.push_back(s);
    }
  }

  Status start_page() {
    page = Page();
    page.width = owner->paper_width();
    page.height = owner->paper_height();
    page_slots.clear();
    page_open = true;
    body_used = false;
    ++page_number;
    pos = L().body_y;
    row_open = false;
    if (form) {
      Rendered r = render(*form, false);
      add(std::move(r), form->decl.x, form->decl.y);
    }
    if (header) {
      Rendered r = render(*header, false);
      add(std::move(r), header->decl.x, header->decl.y);
    }
    return Status();
  }

  Status finish_page() {
    if (!page_open) return Status();
    if (footer) {
      Rendered r = render(*footer, false);
      add(std::move(r), footer->decl.x, footer->decl.y);
    }
    page_open = false;
    Status s;
    if (sink) {
      s = sink->page_done(page_number, page, page_slots);
    } else {
      owner->memory_pages_.push_back(std::move(page));
    }
    owner->pages_done_ = page_number;
    page = Page();
    page_slots.clear();
    return s;
  }

  int body_bottom() const { return L().body_y + L().body_h; }

  // Places a band that is taller than the body: its items go page by page in slices of the
  // body's height; a text line is never cut, the slice ends above it instead.
  Status place_split(Rendered&& r, int top) {
    // Band coordinates: item positions relative to the band's top edge.
    std::vector<int> tops(r.items.size()), bottoms(r.items.size());
    for (size_t i = 0; i < r.items.size(); ++i) extent(r.items[i], &tops[i], &bottoms[i]);
    int offset = 0;
    int page_top = top + r.y;  // where band coordinate `offset` lands on this page
    while (true) {
      int avail = std::max(body_bottom() - page_top, 1);
      int cut = offset + avail;
      for (size_t i = 0; i < r.items.size(); ++i) {
        if (std::holds_alternative<TextRun>(r.items[i]) && tops[i] < cut && bottoms[i] > cut &&
            tops[i] > offset)
          cut = std::min(cut, tops[i]);
      }
      Rendered slice;
      const Rect window{-1000000, offset, 2000000, cut - offset};
      for (size_t i = 0; i < r.items.size(); ++i) {
        if (tops[i] >= cut) continue;
        if (bottoms[i] < offset || (bottoms[i] == offset && offset > 0)) continue;
        if (std::holds_alternative<TextRun>(r.items[i]) && tops[i] < offset) continue;
        PageItem it = r.items[i];
        if (!std::holds_alternative<TextRun>(it) && !clip_item(&it, window)) continue;
        slice.items.push_back(std::move(it));
        for (const CountSlot& s : r.slots) {
          if (s.item == i) {
            CountSlot c = s;
            c.item = slice.items.size() - 1;
            slice.slots.push_back(c);
          }
        }
      }
      add(std::move(slice), L().body_x + r.x, page_top - offset);
      body_used = true;
      if (cut >= r.h) {
        pos = page_top - offset + r.h;
        return Status();
      }
      Status s = finish_page();
      if (!s.ok()) return s;
      s = start_page();
      if (!s.ok()) return s;
      page_top = L().body_y;
      offset = cut;
    }
  }

  Status place(Rendered&& r) {
    if (!page_open) {
      Status s = start_page();
      if (!s.ok()) return s;
    }
    const int slot = r.x + r.w;
    if (r.narrow && row_open && row_right + slot <= L().body_w) {
      // Beside the previous narrow band, on the same row.
      int bottom = row_top + r.y + r.h;
      if (bottom <= body_bottom()) {
        int ax = L().body_x + row_right + r.x;
        add(std::move(r), ax, row_top + r.y);
        row_right += slot;
        pos = std::max(pos, bottom);
        body_used = true;
        return Status();
      }
    }
    int top = pos;
    if (top + r.y + r.h > body_bottom() && body_used) {
      Status s = finish_page();
      if (!s.ok()) return s;
      s = start_page();
      if (!s.ok()) return s;
      top = pos;
    }
    if (top + r.y + r.h > body_bottom()) {
      row_open = false;
      return place_split(std::move(r), top);
    }
    row_open = r.narrow;
    row_top = top;
    row_right = slot;
    int ax = L().body_x + r.x;
    int ay = top + r.y;
    int bottom = ay + r.h;
    add(std::move(r), ax, ay);
    pos = bottom;
    body_used = true;
    return Status();
  }

  Status place_pending_with(std::optional<Rendered> last) {
    std::vector<Rendered> block = std::move(pending);
    pending.clear();
    if (last) block.push_back(std::move(*last));
    if (block.empty()) return Status();
    if (block.size() > 1 && page_open && body_used) {
      int total = 0;
      for (const Rendered& r : block) total += r.y + r.h;
      if (pos + total > body_bottom() && total <= L().body_h) {
        Status s = finish_page();
        if (!s.ok()) return s;
      }
    }
    for (Rendered& r : block) {
      Status s = place(std::move(r));
      if (!s.ok()) return s;
    }
    return Status();
  }

  Status print_index(int idx, bool from_break = false) {
    SectionState& b = bands[idx];
    const int br = b.decl.break_index;
    if (br >= 0 && !from_break && b.decl.role == Section::Role::Detail) {
      std::string v = break_refs[br].valid() ? break_refs[br].get().text() : std::string();
      if (!break_last[br] || *break_last[br] != v) {
        const BreakDecl& d = L().breaks[br];
        if (break_last[br] && d.footer >= 0) {
          Status s = print_index(d.footer, true);
          if (!s.ok()) return s;
        }
        break_last[br] = v;
        break_started[br] = true;
        if (d.header >= 0) {
          Status s = print_index(d.header, true);
          if (!s.ok()) return s;
        }
      }
    }
    if (b.decl.page_before && page_open && body_used) {
      Status s = place_pending_with(std::nullopt);
      if (!s.ok()) return s;
      s = finish_page();
      if (!s.ok()) return s;
    }
    // A keep-with-next band is rendered when it is printed (its values are those of now) and
    // placed with the band that follows it.
    Rendered r = render(b, true);
    if (b.decl.keep_with_next) {
      pending.push_back(std::move(r));
      return Status();
    }
    return place_pending_with(std::move(r));
  }

  Result<std::pair<SectionState*, int>> find(std::string_view label) const {
    auto it = controls.find(lower(label));
    if (it == controls.end()) return no_such(label);
    return it->second;
  }
};

Report::Report(const Layout& layout) : layout_(layout), impl_(std::make_unique<Impl>()) {
  impl_->owner = this;
}
Report::~Report() = default;

int Report::paper_width() const {
  return layout_.landscape ? std::max(layout_.paper_w, layout_.paper_h)
                           : std::min(layout_.paper_w, layout_.paper_h);
}
int Report::paper_height() const {
  return layout_.landscape ? std::min(layout_.paper_w, layout_.paper_h)
                           : std::max(layout_.paper_w, layout_.paper_h);
}

Result<std::unique_ptr<Report>> Report::Open(const Layout& layout, const VarResolver& resolve) {
  std::unique_ptr<Report> rep(new Report(layout));
  Impl& m = *rep->impl_;
  std::map<std::string, int> field_uses;
  auto build = [&](const Section& s, SectionState* st) -> Status {
    st->decl = s;
    st->decl.controls.clear();
    for (const Control& c : s.controls) {
      ControlState cs;
      cs.decl = c;
      if (c.kind == ControlKind::Field || c.kind == ControlKind::TextBox) {
        std::string lv = lower(c.var);
        if (lv == "#page") {
          cs.builtin_page = true;
        } else if (lv == "#pages") {
          cs.builtin_pages = true;
        } else if (!c.var.empty()) {
          cs.ref = resolve ? resolve(c.var) : VarRef();
          if (!cs.ref.valid())
            return row_error(layout.name, c.line, "unknown variable " + c.var);
        }
        if (cs.decl.label.empty() && !c.var.empty()) {
          int n = ++field_uses[lower(c.var)];
          cs.decl.label = "?" + c.var + (n > 1 ? ":" + std::to_string(n) : "");
        }
      }
      if (c.kind == ControlKind::Image && !c.text.empty()) {
        auto img = load_bmp(c.text);
        if (img.ok()) cs.image = *img;
      }
      st->controls.push_back(std::move(cs));
    }
    return Status();
  };
  auto index = [&](SectionState* st) -> Status {
    for (size_t i = 0; i < st->controls.size(); ++i) {
      const std::string& label = st->controls[i].decl.label;
      if (label.empty()) continue;
      auto [it, fresh] = m.controls.emplace(lower(label), std::make_pair(st, static_cast<int>(i)));
      if (!fresh && st->controls[i].decl.var.empty())
        return row_error(layout.name, st->controls[i].decl.line, "duplicate label " + label);
    }
    return Status();
  };
  m.bands.resize(layout.bands.size());
  for (size_t i = 0; i < layout.bands.size(); ++i) {
    Status s = build(layout.bands[i], &m.bands[i]);
    if (!s.ok()) return s;
    if (!layout.bands[i].label.empty())
      m.band_labels[lower(layout.bands[i].label)] = static_cast<int>(i);
  }
  auto opt = [&](const std::optional<Section>& s, std::optional<SectionState>* st) -> Status {
    if (!s) return Status();
    st->emplace();
    return build(*s, &**st);
  };
  Status s = opt(layout.header, &m.header);
  if (s.ok()) s = opt(layout.footer, &m.footer);
  if (s.ok()) s = opt(layout.form, &m.form);
  if (!s.ok()) return s;
  // Labels are indexed once every section is in place (the vectors no longer move).
  if (m.header) s = index(&*m.header);
  if (s.ok() && m.footer) s = index(&*m.footer);
  if (s.ok() && m.form) s = index(&*m.form);
  for (auto& b : m.bands)
    if (s.ok()) s = index(&b);
  if (!s.ok()) return s;
  for (const BreakDecl& b : layout.breaks) {
    VarRef ref;
    if (!b.by.empty()) {
      ref = resolve ? resolve(b.by) : VarRef();
      if (!ref.valid()) return Status(kReportErrorCode, layout.name + ": unknown variable " + b.by);
    }
    m.break_refs.push_back(ref);
  }
  m.break_last.resize(layout.breaks.size());
  m.break_started.resize(layout.breaks.size(), false);
  return rep;
}

void Report::set_sink(PageSink* sink) { impl_->sink = sink; }
void Report::set_formatter(FieldFormatter f) {
  impl_->formatter = f ? std::move(f) : FieldFormatter(default_field_formatter);
}

Status Report::set_text(std::string_view label, std::string_view text) {
  auto f = impl_->find(label);
  if (!f.ok()) return f.status();
  ControlState& c = f->first->controls[f->second];
  if (c.decl.kind != ControlKind::Text && !(c.decl.kind == ControlKind::TextBox && !c.ref.valid()))
    return Status(kReportErrorCode, std::string(label) + " shows a variable; set the variable");
  c.decl.text = std::string(text);
  return Status();
}

Result<std::string> Report::text(std::string_view label) const {
  auto f = impl_->find(label);
  if (!f.ok()) return f.status();
  const ControlState& c = f->first->controls[f->second];
  if (c.decl.kind == ControlKind::Field) return impl_->field_text(c);
  if (c.decl.kind == ControlKind::TextBox && c.ref.valid()) return c.ref.get().text();
  return c.decl.text;
}

Status Report::set_hidden(std::string_view label, bool hidden) {
  auto f = impl_->find(label);
  if (!f.ok()) return f.status();
  f->first->controls[f->second].decl.hidden = hidden;
  return Status();
}

Result<bool> Report::hidden(std::string_view label) const {
  auto f = impl_->find(label);
  if (!f.ok()) return f.status();
  return f->first->controls[f->second].decl.hidden;
}

Status Report::set_position(std::string_view label, std::optional<int> x, std::optional<int> y,
                            std::optional<int> w, std::optional<int> h) {
  auto b = impl_->band_labels.find(lower(label));
  if (b != impl_->band_labels.end()) {
    Section& d = impl_->bands[b->second].decl;
    if (x) d.x = *x;
    if (y) d.y = *y;
    if (w) d.w = *w;
    if (h) d.h = *h;
    return Status();
  }
  auto f = impl_->find(label);
  if (!f.ok()) return f.status();
  Control& c = f->first->controls[f->second].decl;
  if (x) c.x = *x;
  if (y) c.y = *y;
  if (w) c.w = *w;
  if (h) c.h = *h;
  return Status();
}

Status Report::set_font_style(std::string_view label, FontStyle style) {
  auto f = impl_->find(label);
  if (!f.ok()) return f.status();
  f->first->controls[f->second].style = style;
  return Status();
}

Status Report::set_justify(std::string_view label, Justify justify) {
  auto f = impl_->find(label);
  if (!f.ok()) return f.status();
  Control& c = f->first->controls[f->second].decl;
  c.justify = justify;
  c.justify_given = true;
  return Status();
}

Status Report::set_image(std::string_view label, std::string_view file) {
  auto f = impl_->find(label);
  if (!f.ok()) return f.status();
  ControlState& c = f->first->controls[f->second];
  if (c.decl.kind != ControlKind::Image)
    return Status(kReportErrorCode, std::string(label) + " is not an image");
  c.decl.text = std::string(file);
  c.image.reset();
  auto img = load_bmp(file);
  if (!img.ok()) return img.status();
  c.image = *img;
  return Status();
}

Status Report::set_keep_with_next(std::string_view band_label, bool keep) {
  auto b = impl_->band_labels.find(lower(band_label));
  if (b == impl_->band_labels.end()) return no_such(band_label);
  impl_->bands[b->second].decl.keep_with_next = keep;
  return Status();
}

Status Report::set_max_height(std::string_view band_label, int max_height) {
  auto b = impl_->band_labels.find(lower(band_label));
  if (b == impl_->band_labels.end()) return no_such(band_label);
  impl_->bands[b->second].decl.max_height = max_height;
  return Status();
}

void Report::move_body(int dx, int dy) {
  layout_.body_x += dx;
  layout_.body_y += dy;
  if (impl_->page_open && !impl_->body_used) impl_->pos = layout_.body_y;
}

Status Report::print(std::string_view band_label) {
  auto b = impl_->band_labels.find(lower(band_label));
  if (b == impl_->band_labels.end()) return no_such(band_label);
  return impl_->print_index(b->second);
}

Status Report::print_band(int position) {
  if (position < 1 || position > static_cast<int>(impl_->bands.size()))
    return Status(kReportErrorCode, "no band at position " + std::to_string(position));
  return impl_->print_index(position - 1);
}

Status Report::end_page() {
  Status s = impl_->place_pending_with(std::nullopt);
  if (!s.ok()) return s;
  return impl_->finish_page();
}

Status Report::close() {
  Status s = impl_->place_pending_with(std::nullopt);
  if (!s.ok()) return s;
  for (size_t i = 0; i < layout_.breaks.size(); ++i) {
    if (impl_->break_started[i] && layout_.breaks[i].footer >= 0) {
      impl_->break_started[i] = false;
      s = impl_->print_index(layout_.breaks[i].footer, true);
      if (!s.ok()) return s;
    }
  }
  s = impl_->place_pending_with(std::nullopt);
  if (!s.ok()) return s;
  s = impl_->finish_page();
  if (!s.ok()) return s;
  if (impl_->sink) return impl_->sink->finish();
  return Status();
}

}  // namespace tdx::report
