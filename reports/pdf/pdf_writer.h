// PdfWriter: turns a report's page images into one PDF file, a page per image, each page the
// size of its image with the image drawn over it as vectors. Created by a report procedure for
// one PDF run and used in this order:
//
//   PdfWriter w;
//   w.setup(GLO::PDFFile, "");    // FILENAME from the name rules below; DONEINIT = 1
//   w.set_paper(0);               // every page takes its size from its own image
//   w.set_author(""); ... w.set_keywords("");
//   w.set_run(false);             // the writer never opens the finished file
//   w.generate(pages, true);      // with the status window
//   w.reset();
//
// File name rules (setup): a blank name writes nothing. Otherwise the name, left-justified and
// clipped, is split into drive, folder, name and extension; when its folder does not begin with
// a period and the drive or the folder is missing, the missing part comes from FOLDERNAME (the
// folder argument, or the temporary folder when it is blank) when that has it, else from the
// current directory; a missing extension becomes ".pdf". So C:\OUT\Q is C:\OUT\Q.pdf, Q.TXT
// goes to the temporary folder and keeps its extension, and .\Q stays relative to the current
// directory (.\Q.pdf).
//
// Page sizes: from each page image's 22-byte placeable header, in thousandths of a point:
// (right - left) x 72000 / units per inch, and the same for bottom - top, in exact decimal
// arithmetic, the fraction dropped. 12240 x 15840 at 1440 units per inch is 612000 x 792000.
//
// generate(): nothing for an empty queue (result 0). With the status window ("Please Wait...",
// "Generating PDF", a bar and "Page n of m", Cancel) one page is processed per timer event;
// Cancel asks "Do you wish to Cancel the PDF Generation?" (caption "Cancel PDF?", Yes / No,
// default No): No goes on, Yes stops and writes no file (result 0). The window that was active
// has its timer stopped meanwhile and given back afterwards. Before the write the first text
// reads "Writing PDF". A page image that cannot be read is left out of the PDF, and a page whose
// size is not above 0 gets no page.
//
// Beside the 1 / 0 result, the writer keeps why a run did not give a complete file (status()):
// a page left out, or a write that failed (disk full, no permission, a folder that does not
// exist). A failed write leaves no file under FILENAME (see platform/pdf/pdf_document.h), so a
// caller that mails the file checks written() first and never sends a missing or partial file.
//
// One object per PDF run, on the windows' thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"

namespace tdx::reports {

inline constexpr int kPdfNoPages = 2301;       // generate() with an empty queue
inline constexpr int kPdfCancelled = 2302;     // the user cancelled
inline constexpr int kPdfPagesLeftOut = 2303;  // written, without the pages that could not be read
inline constexpr int kPdfRefused = 2304;       // set-up while set up, or an operation out of order

// The title and texts of the status window, and the cancel question.
inline constexpr const char* kPdfStatusTitle = "Please Wait...";
inline constexpr const char* kPdfGenerating = "Generating PDF";
inline constexpr const char* kPdfWriting = "Writing PDF";
inline constexpr const char* kPdfCancelText = "Do you wish to Cancel the PDF Generation?";
inline constexpr const char* kPdfCancelCaption = "Cancel PDF?";
// Control labels of the status window.
inline constexpr const char* kPdfStatusText = "?PDF:STATUS";
inline constexpr const char* kPdfProgress = "?PDF:PROGRESS";
inline constexpr const char* kPdfPctDone = "?LOC:PCTDONE";
inline constexpr const char* kPdfCancel = "?PDF:CANCEL";

// A page size in thousandths of a point, from a placeable header's box and units per inch.
struct PdfPageSize {
  int32_t width = 0, height = 0;
};
PdfPageSize pdf_page_size(int left, int top, int right, int bottom, int units_per_inch);
// The same, read from a page image file's first 22 bytes.
Result<PdfPageSize> pdf_page_size_of_file(std::string_view file);

// FILENAME built from a file name argument and FOLDERNAME by the rules above; current_dir is
// the current directory as the runtime names it.
std::string pdf_file_name(std::string_view name, std::string_view folder,
                          std::string_view current_dir);

class PdfWriter {
 public:
  PdfWriter() = default;
  PdfWriter(const PdfWriter&) = delete;
  PdfWriter& operator=(const PdfWriter&) = delete;

  // Options, as the report procedures name them.
  uint8_t DONEINIT = 0;
  uint32_t ORIENTATION = 0;
  std::string FILENAME;  // up to 260 characters
  std::string AUTHOR, CREATOR, SUBJECT, TITLE;
  std::string KEYWORDS;  // up to 1023 characters
  uint8_t DORUN = 0;
  std::string FOLDERNAME;

  // Each operation returns and records 0 (done) or -1 (refused or failed).
  int setup(std::string_view file_name, std::string_view folder);
  int set_paper(int code);
  int set_author(std::string_view v);
  int set_title(std::string_view v);
  int set_subject(std::string_view v);
  int set_creator(std::string_view v);
  int set_keywords(std::string_view v);
  int set_run(bool run);
  // 1 when the pages were processed and the write was made, 0 when the queue was empty or the
  // user cancelled (see status() for a failed write).
  int generate(const std::vector<std::string>& pages, bool show_status);
  void reset();

  int last_result() const { return last_result_; }
  // Ok when the last generate() wrote every page to FILENAME; otherwise why not.
  const Status& status() const { return status_; }
  // True when the last generate() left a complete file at FILENAME.
  bool written() const { return written_; }
  int pages_written() const { return pages_written_; }

 private:
  int done(int result) { return last_result_ = result; }

  int last_result_ = 0;
  Status status_;
  bool written_ = false;
  int pages_written_ = 0;
};

}  // namespace tdx::reports
