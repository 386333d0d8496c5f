#include "reports/pdf/pdf_writer.h"

#include <cstdio>
#include <fstream>

#include "platform/pdf/pdf_document.h"
#include "reports/pdf/pdf_status_window.h"
#include "runtime/decimal/decimal.h"
#include "runtime/path/path.h"
#include "runtime/report/wmf.h"
#include "runtime/ui/message_box.h"
#include "runtime/ui/window.h"

namespace tdx::reports {

namespace {

std::string trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\0')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\0')) --e;
  return std::string(s.substr(b, e - b));
}

// A folder with its closing separator, in the style the folder is written in.
std::string with_separator(std::string s) {
  if (!s.empty() && s.back() != '\\' && s.back() != '/') {
    const bool slashes = s.find('/') != std::string::npos && s.find('\\') == std::string::npos;
    s += slashes ? '/' : '\\';
  }
  return s;
}

int32_t to_long(const Decimal& d) {
  long long v = d.to_integer();  // the fraction is dropped
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace

PdfPageSize pdf_page_size(int left, int top, int right, int bottom, int units_per_inch) {
  if (units_per_inch == 0) return {};
  const Decimal per_inch(units_per_inch);
  return {to_long(Decimal(right - left) * Decimal(72000) / per_inch),
          to_long(Decimal(bottom - top) * Decimal(72000) / per_inch)};
}

Result<PdfPageSize> pdf_page_size_of_file(std::string_view file) {
  auto path = map_path(file);
  if (!path.ok()) return path.status();
  std::ifstream in(*path, std::ios::binary);
  uint8_t hdr[22];
  if (!in.read(reinterpret_cast<char*>(hdr), sizeof hdr)) {
    return Status(platform::kPdfBadImage, std::string(file) + ": no page image header");
  }
  auto h = report::read_placeable_header(hdr, sizeof hdr);
  if (!h.ok()) return h.status();
  return pdf_page_size(h->left, h->top, h->right, h->bottom, h->units_per_inch);
}

std::string pdf_file_name(std::string_view name, std::string_view folder,
                          std::string_view current_dir) {
  const std::string clipped = trim(name);
  if (clipped.empty()) return {};
  PathParts p = split_path(clipped);
  if ((p.folder.empty() || p.folder[0] != '.') && (p.drive.empty() || p.folder.empty())) {
    const PathParts f = split_path(with_separator(trim(folder)));
    const PathParts c = split_path(with_separator(std::string(current_dir)));
    if (p.drive.empty()) p.drive = !f.drive.empty() ? f.drive : c.drive;
    if (p.folder.empty()) p.folder = !f.folder.empty() ? f.folder : c.folder;
  }
  if (p.ext.empty()) p.ext = ".pdf";
  return trim(join_path(p));
}

int PdfWriter::setup(std::string_view file_name, std::string_view folder) {
  if (DONEINIT == 1) {
    status_ = Status(kPdfRefused, "The PDF writer is already set up.");
    return done(-1);
  }
  const std::string f = trim(folder);
  FOLDERNAME = f.empty() ? temp_dir() : f;
  FILENAME = pdf_file_name(file_name, FOLDERNAME, current_dir_short());
  if (FILENAME.size() > 260) {
    // Cut short it would name another file: refuse it instead.
    status_ = Status(kPdfRefused, "The PDF file name is too long: " + FILENAME);
    FILENAME.clear();
    return done(-1);
  }
  DONEINIT = 1;
  status_ = Status();
  return done(0);
}

int PdfWriter::set_paper(int code) {
  // Code 0: every page takes the size of its own image.
  if (code != 0) return done(-1);
  ORIENTATION = 0;
  return done(0);
}

int PdfWriter::set_author(std::string_view v) { return AUTHOR = trim(v), done(0); }
int PdfWriter::set_title(std::string_view v) { return TITLE = trim(v), done(0); }
int PdfWriter::set_subject(std::string_view v) { return SUBJECT = trim(v), done(0); }
int PdfWriter::set_creator(std::string_view v) { return CREATOR = trim(v), done(0); }
int PdfWriter::set_keywords(std::string_view v) {
  KEYWORDS = trim(v).substr(0, 1023);
  return done(0);
}
int PdfWriter::set_run(bool run) { return DORUN = run ? 1 : 0, done(0); }

void PdfWriter::reset() {
  FILENAME.clear();
  AUTHOR.clear();
  CREATOR.clear();
  SUBJECT.clear();
  TITLE.clear();
  DORUN = 0;
  DONEINIT = 0;
}

int PdfWriter::generate(const std::vector<std::string>& pages, bool show_status) {
  written_ = false;
  pages_written_ = 0;
  if (pages.empty()) {
    status_ = Status(kPdfNoPages, "There are no pages to write.");
    return done(0);
  }
  platform::PdfDocument doc;
  doc.set_info(platform::PdfInfo::Author, AUTHOR);
  doc.set_info(platform::PdfInfo::Creator, CREATOR);
  doc.set_info(platform::PdfInfo::Subject, SUBJECT);
  doc.set_info(platform::PdfInfo::Title, TITLE);
  doc.set_info(platform::PdfInfo::Keywords, KEYWORDS);
  doc.set_info(platform::PdfInfo::Producer, "Tendix Reports");

  std::vector<std::string> left_out;
  auto process = [&](size_t n) {
    const std::string file = trim(pages[n]);
    auto size = pdf_page_size_of_file(file);
    auto ids = doc.add_images_from_file(file);
    if (!size.ok() || !ids.ok()) {
      left_out.push_back(file);
      return;
    }
    for (uint32_t id : *ids) {
      if (!doc.begin_page(size->width, size->height).ok()) {
        left_out.push_back(file);
        continue;
      }
      (void)doc.place_image(id, 0, 0, size->width, size->height);
      (void)doc.end_page();
    }
  };

  auto write = [&]() {
    if (FILENAME.empty()) {
      status_ = Status(kPdfRefused, "No PDF file name was given: nothing was written.");
      return;
    }
    Status s = doc.write(FILENAME);
    if (!s.ok()) {
      status_ = s;
      return;
    }
    written_ = true;
    pages_written_ = doc.pages();
    if (!left_out.empty()) {
      std::string names;
      for (const std::string& f : left_out) names += (names.empty() ? "" : ", ") + f;
      status_ = Status(kPdfPagesLeftOut,
                       "These page images could not be read and are not in the PDF: " + names);
    } else {
      status_ = Status();
    }
  };

  bool cancelled = false;
  if (show_status) {
    ui::Window* active = ui::Window::active();
    const int saved_timer = active ? active->timer() : 0;
    if (active) active->set_timer(0);
    PdfStatusWindow status;
    status.open(static_cast<int>(pages.size()));
    size_t next = 0;
    ui::Event ev;
    while (status.window().accept(ev)) {
      if (ev.kind == ui::EventKind::Timer) {
        if (next < pages.size()) {
          process(next);
          ++next;
          status.show_page(static_cast<int>(next));
        }
        if (next >= pages.size()) break;
      } else if (ev.is(ui::EventKind::Accepted, kPdfCancel)) {
        int answer =
            ui::message(kPdfCancelText, kPdfCancelCaption, ui::Icon::Question, "&Yes|&No", 2);
        if (answer == 1) {
          cancelled = true;
          break;
        }
      }
    }
    // A frontend that failed ends the loop early: that run is not complete either.
    if (!cancelled && next < pages.size()) cancelled = true;
    if (!cancelled) {
      status.window().set_text(kPdfStatusText, kPdfWriting);
      write();
    }
    status.window().close();
    if (active) active->set_timer(saved_timer);
  } else {
    for (size_t n = 0; n < pages.size(); ++n) process(n);
    write();
  }
  if (cancelled) {
    status_ = Status(kPdfCancelled, "The PDF was not created: cancelled.");
    return done(0);
  }
  return done(1);
}

}  // namespace tdx::reports
