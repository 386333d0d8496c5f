// Font metrics: the one source of text widths for filling and of faces for rendering.
//
// Layout face names map to installed free faces with the same metrics where one exists:
// Arial and MS Sans Serif -> "Liberation Sans" (metric-compatible with Arial; MS Sans Serif has
// no free twin and Arial's widths are the closest), Times New Roman -> "Liberation Serif",
// Courier New -> "Liberation Mono", Tahoma -> "DejaVu Sans"; any other name is handed to
// fontconfig as it is. Widths are taken from the rendering library (cairo) with hinting off,
// once per face and style, so a width measured here is the width the renderer draws.
// Kerning is not applied, neither when measuring nor when drawing.
//
// The metrics table is process-wide and guarded by a mutex; all functions are thread-safe.
#pragma once

#include <string>
#include <string_view>

#include "runtime/report/page.h"

namespace tdx::report {

// The installed family that draws `face` ("Arial" -> "Liberation Sans").
std::string render_family(std::string_view face);

struct FontMetrics {
  double ascent = 0;   // per unit of em height
  double descent = 0;  // per unit of em height, positive
  double advance[256] = {};  // per unit of em height, by Windows-1252 byte
};

const FontMetrics& font_metrics(const FontSpec& font);

// Width of a Windows-1252 text in thousandths of an inch.
int text_width(const FontSpec& font, std::string_view text);
// Line height (ascent + descent) and ascent in thousandths of an inch.
int line_height(const FontSpec& font);
int font_ascent(const FontSpec& font);

}  // namespace tdx::report
