#include "runtime/report/render.h"

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo.h>

#include <map>
#include <mutex>
#include <tuple>

#include "runtime/report/bitmap.h"
#include "runtime/report/fonts.h"
#include "runtime/report/rowfile.h"
#include "runtime/report/wmf.h"
#include "runtime/text/cp1252.h"

namespace tdx::report {

namespace {

void set_rgb(cairo_t* cr, uint32_t c) {
  cairo_set_source_rgb(cr, (c >> 16 & 0xFF) / 255.0, (c >> 8 & 0xFF) / 255.0, (c & 0xFF) / 255.0);
}

// Font faces by family and style, created once: selecting a toy face by name asks fontconfig
// every time, which costs more than drawing the text.
cairo_font_face_t* face_for(const FontSpec& f) {
  static std::mutex mu;
  static std::map<std::tuple<std::string, bool, bool>, cairo_font_face_t*> faces;
  std::lock_guard<std::mutex> lock(mu);
  auto key = std::make_tuple(render_family(f.face), f.bold, f.italic);
  auto it = faces.find(key);
  if (it != faces.end()) return it->second;
  cairo_font_face_t* face = cairo_toy_font_face_create(
      std::get<0>(key).c_str(), f.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
      f.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  faces.emplace(key, face);
  return face;
}

// Draws a page in page units (thousandths of an inch); the caller has scaled the context.
void draw(cairo_t* cr, const Page& page) {
  cairo_font_options_t* opt = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(opt, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(opt, CAIRO_HINT_STYLE_NONE);
  cairo_set_font_options(cr, opt);
  cairo_font_options_destroy(opt);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  FontSpec current;
  bool have_font = false;
  for (const PageItem& it : page.items) {
    if (auto* t = std::get_if<TextRun>(&it)) {
      if (t->text.empty()) continue;
      if (!have_font || !(current.face == t->font.face && current.bold == t->font.bold &&
                          current.italic == t->font.italic && current.height == t->font.height)) {
        cairo_set_font_face(cr, face_for(t->font));
        cairo_set_font_size(cr, t->font.height);
        current = t->font;
        have_font = true;
      }
      if (t->clipped) {
        cairo_save(cr);
        cairo_rectangle(cr, t->clip.x, t->clip.y, t->clip.w, t->clip.h);
        cairo_clip(cr);
      }
      set_rgb(cr, t->color);
      cairo_move_to(cr, t->x, t->y);
      std::string utf8 = cp1252_to_utf8(t->text);
      cairo_show_text(cr, utf8.c_str());
      if (t->font.underline) {
        double w = text_width(t->font, t->text);
        double thick = std::max(1.0, t->font.height / 14.0);
        cairo_rectangle(cr, t->x, t->y + t->font.height / 10.0, w, thick);
        cairo_fill(cr);
      }
      if (t->clipped) cairo_restore(cr);
    } else if (auto* l = std::get_if<LineItem>(&it)) {
      set_rgb(cr, l->color);
      cairo_set_line_width(cr, std::max(l->width, 1));
      cairo_move_to(cr, l->x1, l->y1);
      cairo_line_to(cr, l->x2, l->y2);
      cairo_stroke(cr);
    } else if (auto* b = std::get_if<BoxItem>(&it)) {
      cairo_rectangle(cr, b->r.x, b->r.y, b->r.w, b->r.h);
      if (b->filled) {
        set_rgb(cr, b->fill);
        cairo_fill_preserve(cr);
      }
      if (b->width > 0) {
        set_rgb(cr, b->color);
        cairo_set_line_width(cr, b->width);
        cairo_stroke(cr);
      } else {
        cairo_new_path(cr);
      }
    } else if (auto* im = std::get_if<ImageItem>(&it)) {
      if (!im->dib) continue;
      int w, h;
      auto px = dib_to_argb(*im->dib, &w, &h);
      if (!px.ok() || im->r.w <= 0 || im->r.h <= 0) continue;
      cairo_surface_t* s = cairo_image_surface_create_for_data(
          reinterpret_cast<unsigned char*>(px->data()), CAIRO_FORMAT_ARGB32, w, h, w * 4);
      cairo_save(cr);
      cairo_translate(cr, im->r.x, im->r.y);
      cairo_scale(cr, static_cast<double>(im->r.w) / w, static_cast<double>(im->r.h) / h);
      cairo_set_source_surface(cr, s, 0, 0);
      cairo_paint(cr);
      cairo_restore(cr);
      cairo_surface_destroy(s);
    }
  }
}

Status cairo_error(cairo_status_t st, std::string_view what) {
  return Status(kReportErrorCode,
                std::string(what) + ": " + cairo_status_to_string(st));
}

}  // namespace

struct DocumentWriter::Impl {
  cairo_surface_t* surface = nullptr;
  DocumentKind kind = DocumentKind::Pdf;
  bool closed = false;
  std::string file;
};

Result<std::unique_ptr<DocumentWriter>> DocumentWriter::Create(std::string_view file,
                                                               DocumentKind kind) {
  std::unique_ptr<DocumentWriter> w(new DocumentWriter());
  w->impl_ = std::make_unique<Impl>();
  w->impl_->kind = kind;
  w->impl_->file = std::string(file);
  const char* name = w->impl_->file.c_str();
  w->impl_->surface = kind == DocumentKind::Pdf ? cairo_pdf_surface_create(name, 612, 792)
                                                : cairo_ps_surface_create(name, 612, 792);
  cairo_status_t st = cairo_surface_status(w->impl_->surface);
  if (st != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(w->impl_->surface);
    w->impl_->surface = nullptr;
    return cairo_error(st, "cannot create " + w->impl_->file);
  }
  return w;
}

DocumentWriter::~DocumentWriter() {
  if (impl_ && impl_->surface) (void)close();
}

Status DocumentWriter::add_page(const Page& page) {
  if (!impl_->surface || impl_->closed) return Status(kReportErrorCode, "document is closed");
  if (page.width <= 0 || page.height <= 0) return Status(kReportErrorCode, "page without size");
  const double wpt = page.width * 72.0 / 1000.0, hpt = page.height * 72.0 / 1000.0;
  if (impl_->kind == DocumentKind::Pdf) {
    cairo_pdf_surface_set_size(impl_->surface, wpt, hpt);
  } else {
    cairo_ps_surface_set_size(impl_->surface, wpt, hpt);
  }
  cairo_t* cr = cairo_create(impl_->surface);
  cairo_scale(cr, 72.0 / 1000.0, 72.0 / 1000.0);
  draw(cr, page);
  cairo_show_page(cr);
  cairo_status_t st = cairo_status(cr);
  cairo_destroy(cr);
  if (st != CAIRO_STATUS_SUCCESS) return cairo_error(st, "drawing a page");
  ++pages_;
  return Status();
}

Status DocumentWriter::close() {
  if (!impl_->surface) return Status();
  cairo_surface_finish(impl_->surface);
  cairo_status_t st = cairo_surface_status(impl_->surface);
  cairo_surface_destroy(impl_->surface);
  impl_->surface = nullptr;
  impl_->closed = true;
  if (st != CAIRO_STATUS_SUCCESS) return cairo_error(st, "writing " + impl_->file);
  return Status();
}

Status render_png(const Page& page, double dpi, std::string_view file) {
  if (dpi <= 0 || dpi > 1200) return Status(kReportErrorCode, "resolution out of range");
  int w = static_cast<int>(page.width * dpi / 1000.0 + 0.5);
  int h = static_cast<int>(page.height * dpi / 1000.0 + 0.5);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_scale(cr, dpi / 1000.0, dpi / 1000.0);
  draw(cr, page);
  cairo_destroy(cr);
  std::string name(file);
  cairo_status_t st = cairo_surface_write_to_png(s, name.c_str());
  cairo_surface_destroy(s);
  if (st != CAIRO_STATUS_SUCCESS) return cairo_error(st, "writing " + name);
  return Status();
}

Status page_images_to_pdf(const std::vector<std::string>& images, std::string_view pdf_file) {
  auto doc = DocumentWriter::Create(pdf_file, DocumentKind::Pdf);
  if (!doc.ok()) return doc.status();
  for (const std::string& f : images) {
    auto page = read_wmf_file(f);
    if (!page.ok()) return page.status();
    Status s = (*doc)->add_page(*page);
    if (!s.ok()) return s;
  }
  return (*doc)->close();
}

}  // namespace tdx::report
