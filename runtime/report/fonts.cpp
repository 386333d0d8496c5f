#include "runtime/report/fonts.h"

#include <cairo.h>

#include <cctype>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "runtime/text/cp1252.h"

namespace tdx::report {

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::mutex g_mu;
std::map<std::tuple<std::string, bool, bool>, std::unique_ptr<FontMetrics>> g_metrics;

std::unique_ptr<FontMetrics> measure(const std::string& family, bool bold, bool italic) {
  auto m = std::make_unique<FontMetrics>();
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(s);
  cairo_font_options_t* opt = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(opt, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(opt, CAIRO_HINT_STYLE_NONE);
  cairo_set_font_options(cr, opt);
  cairo_select_font_face(cr, family.c_str(),
                         italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  const double kSize = 1000.0;
  cairo_set_font_size(cr, kSize);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  m->ascent = fe.ascent / kSize;
  m->descent = fe.descent / kSize;
  for (int b = 0; b < 256; ++b) {
    if (b < 32) continue;
    std::string ch(1, static_cast<char>(b));
    std::string utf8 = cp1252_to_utf8(ch);
    cairo_text_extents_t te;
    cairo_text_extents(cr, utf8.c_str(), &te);
    m->advance[b] = te.x_advance / kSize;
  }
  m->advance[static_cast<unsigned char>('\t')] = m->advance[static_cast<unsigned char>(' ')];
  cairo_font_options_destroy(opt);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return m;
}

}  // namespace

std::string render_family(std::string_view face) {
  std::string f = lower(face);
  if (f == "arial" || f == "ms sans serif" || f == "microsoft sans serif" || f == "helvetica" ||
      f.empty())
    return "Liberation Sans";
  if (f == "times new roman" || f == "times") return "Liberation Serif";
  if (f == "courier new" || f == "courier") return "Liberation Mono";
  if (f == "tahoma" || f == "verdana") return "DejaVu Sans";
  return std::string(face);
}

const FontMetrics& font_metrics(const FontSpec& font) {
  std::string family = render_family(font.face);
  std::lock_guard<std::mutex> lock(g_mu);
  auto key = std::make_tuple(family, font.bold, font.italic);
  auto it = g_metrics.find(key);
  if (it == g_metrics.end()) {
    it = g_metrics.emplace(key, measure(family, font.bold, font.italic)).first;
  }
  return *it->second;
}

int text_width(const FontSpec& font, std::string_view text) {
  const FontMetrics& m = font_metrics(font);
  double w = 0;
  for (unsigned char c : text) w += m.advance[c];
  return static_cast<int>(std::ceil(w * font.height));
}

int line_height(const FontSpec& font) {
  const FontMetrics& m = font_metrics(font);
  return static_cast<int>(std::ceil((m.ascent + m.descent) * font.height));
}

int font_ascent(const FontSpec& font) {
  return static_cast<int>(std::lround(font_metrics(font).ascent * font.height));
}

}  // namespace tdx::report
