#include "reports/framework/routing.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <system_error>

#include "core/files.h"
#include "core/globals.h"
#include "platform/preview/output_settings.h"
#include "reports/framework/report_run.h"
#include "reports/pdf/pdf_writer.h"
#include "runtime/datetime/datetime.h"
#include "runtime/path/path.h"
#include "runtime/ui/frontend.h"
#include "runtime/ui/keyboard.h"
#include "runtime/ui/message_box.h"

namespace tdx::reports {

namespace {

namespace fs = std::filesystem;

void nothing_to_show(const RunState& st, bool preview) {
  const DisplayStrings& d = *st.strings;
  ui::message(preview ? d.NothingToPrvwText : d.NothingToPrntText,
              preview ? d.NothingToPrvwTitle : d.NothingToPrntTitle, ui::Icon::Information,
              d.ButtonOk, 1);
}

std::string title_of(const RunState& st) {
  return st.report && !st.report->title().empty() ? st.report->title() : st.job_title;
}

bool esc_pressed() { return ui::last_key() == ui::Key::Esc; }

int16_t paper_code(int w, int h) {
  if (w > h) std::swap(w, h);
  if (w == 8500 && h == 11000) return 1;  // letter
  if (w == 8500 && h == 14000) return 5;  // legal
  if (w == 8268 && h == 11693) return 9;  // A4
  return 256;                             // a size of its own
}

int16_t to_short(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

std::atomic<long> direct_serial{0};

}  // namespace

Status CPCSPDFEmailer(std::string_view pdf_file, std::string_view to_address,
                      std::string_view to_name, std::string_view subject,
                      std::string_view comments) {
  auto path = map_path(pdf_file);
  if (!path.ok()) return path.status();
  ReportMail m;
  m.pdf_file = *path;
  m.to_address = std::string(to_address);
  m.to_name = std::string(to_name);
  m.subject = std::string(subject);
  m.comments = std::string(comments);
  return send_report_mail(platform::read_mail_settings(), m);
}

ReportRouting::~ReportRouting() = default;

bool ReportRouting::printing(const RunState& st) const {
  if (st.preview) return false;
  return options_.output_dialog ? FAX::PrintYes != 0 : true;
}

void ReportRouting::print_status(const Status& s) {
  if (!s.ok()) ui::message(s.text(), kPrintErrorCaption, ui::Icon::Exclamation);
}

void ReportRouting::prepare(RunState& st) {
  (void)st;
  aborted_ = false;
  queued_ = false;
  pdf_pages_.clear();
  pdf_written_.clear();
  auto p = platform::OpenPrinter(platform::read_printer_settings());
  if (p.ok()) {
    printer_ = std::move(*p);
    printer_status_ = Status();
    printer_copies_ = std::max(1, printer_->copies());
    printer_collate_ = printer_->collate();
    printer_->set_copies(1);
  } else {
    printer_.reset();
    printer_status_ = p.status();
    printer_copies_ = 1;
    printer_collate_ = false;
  }
  previewer_ =
      std::make_unique<platform::Previewer>(printer_.get(), platform::read_preview_settings());
}

Status ReportRouting::open_report(RunState& st, report::Report& rpt) {
  // 1. The printer's copies to 1 again; 3. the report takes the copies the printer was set to.
  if (printer_) printer_->set_copies(1);
  if (printer_copies_ != rpt.copies()) rpt.set_copies(printer_copies_);
  st.saved_copies = rpt.copies();
  collate_ = rpt.collate() || printer_collate_;
  // 4. A collating report prints one copy; the previewer repeats it.
  if (collate_) rpt.set_copies(1);

  const bool email = options_.output_dialog && GLO::EmailReport != 0;
  // 7. Fax runs start their job.
  if (options_.output_dialog && FAX::FaxYes != 0) {
    fax_ = std::make_unique<FaxJob>(FAXHEAD::file, FAXHEAD::Used);
    Status s = fax_->start(FAX::AFEBase.str());
    if (!s.ok()) {
      fax_.reset();
      aborted_ = true;
      ui::message(kFaxSubmitText, kFaxSubmitCaption, ui::Icon::Exclamation);
      return s;
    }
    GLO::FaxPath = FAX::AFEBase.str();
    GLO::FaxPages = 0;
    GLO::FaxID = fax_->id();
    auto namer = fax_->namer();
    FaxJob* job = fax_.get();
    st.pages->set_namer([namer, job](int page) -> Result<std::string> {
      auto name = namer(page);
      GLO::FaxPages = static_cast<uint8_t>(job->pages_named());
      return name;
    });
  } else if (email) {
    email_pages_ = std::make_unique<EmailPages>(temp_dir(), clock_now());
    st.pages->set_namer(email_pages_->namer());
  } else {
    std::error_code ec;
    fs::create_directories(st.page_folder, ec);
    if (ec) return Status(ec.value(), "page folder " + st.page_folder + ": " + ec.message());
  }

  // 8. Where the pages go.
  queued_ = options_.output_dialog || st.preview ||
            (rpt.copies() > 1 && previewer_->SUPPORTED(platform::PrinterProperty::Copies) != 1) ||
            collate_;
  if (queued_) {
    rpt.set_sink(st.pages);
    return Status();
  }
  direct_file_ = temp_dir() + "/tdxdirect-" + std::to_string(::getpid()) + "-" +
                 std::to_string(++direct_serial) + ".pdf";
  auto doc = report::DocumentWriter::Create(direct_file_, report::DocumentKind::Pdf);
  if (!doc.ok()) return doc.status();
  direct_ = std::move(*doc);
  rpt.set_sink(direct_.get());
  return Status();
}

Status ReportRouting::fill_fax_header(const report::Report& rpt) {
  if (!fax_) return Status();
  FaxHeaderValues v;
  v.landscape = rpt.landscape() ? 1 : 0;
  v.paper_width = to_short(rpt.paper_width());
  v.paper_height = to_short(rpt.paper_height());
  v.paper_code = paper_code(rpt.paper_width(), rpt.paper_height());
  const report::Rect body = rpt.body();
  v.report_width = to_short(body.w);
  v.report_height = to_short(body.h);
  v.report_x = to_short(body.x);
  v.report_y = to_short(body.y);
  v.number = FAX::ToNumber.str();
  v.to_name = FAX::ToName.str();
  v.to_company = FAX::ToCompany.str();
  v.subject = fax_subject(FAX::FaxSubject.str(), Glo::BID_ID.str(), options_.default_fax_subject);
  v.comments = FAX::Comments.str();
  v.off_peak = GLO::SendOffPeak;
  v.date = today();
  v.time = clock_now();
  return fax_->fill_header(v);
}

void ReportRouting::preview_pages(RunState& st) {
  if (st.report) (void)st.report->end_page();
  if (GLO::EmailReport != 0 && options_.output_dialog) pdf_pages_ = st.pages->files();
  if (st.pages->empty()) {
    nothing_to_show(st, true);
    return;
  }
  if (st.report) st.report->set_copies(static_cast<int>(st.saved_copies));
  if (options_.page_of_pages) (void)previewer_->ASSGNPGOFPG(*st.pages);
  const int answer = previewer_->PRINTPREVIEW(st.pages->files(), title_of(st));
  core::GlobalResponse = answer;
  if (answer == 1) {
    const int copies = st.report ? st.report->copies() : 1;
    st.saved_printer_copies = printer_ ? printer_->copies() : 1;
    if (printer_) printer_->set_copies(copies);
    previewer_->HANDLECOPIES(copies, collate_);
    print_status(previewer_->flush(st.pages->files(), title_of(st)));
    if (printer_) printer_->set_copies(st.saved_printer_copies);
  }
  st.response = core::GlobalResponse;
}

void ReportRouting::print_queued(RunState& st) {
  if (st.report) (void)st.report->end_page();
  if (GLO::EmailReport != 0 && options_.output_dialog) pdf_pages_ = st.pages->files();
  if (st.pages->empty()) {
    nothing_to_show(st, false);
    return;
  }
  if (options_.page_of_pages) (void)previewer_->ASSGNPGOFPG(*st.pages);
  st.saved_copies = printer_copies_;
  const int copies = st.report ? st.report->copies() : 1;
  if (printer_) printer_->set_copies(copies);
  previewer_->HANDLECOPIES(collate_ ? static_cast<int>(st.saved_copies) : copies, collate_);
  print_status(previewer_->flush(st.pages->files(), title_of(st)));
}

void ReportRouting::end_run(RunState& st) {
  if (st.progress) st.progress->window().close();
  if (aborted_) return;
  const bool esc = esc_pressed();
  if (st.preview) {
    if ((st.response == core::kResponseCompleted && !esc) || st.partial_preview) {
      preview_pages(st);
    } else if (!st.report_opened) {
      nothing_to_show(st, true);
    }
  } else if (printing(st)) {
    if (esc) {
      // The queued pages are discarded; so is a direct job.
      if (direct_) direct_file_.clear();
    } else if (st.report_opened && queued_) {
      print_queued(st);
    } else if (!st.report_opened) {
      nothing_to_show(st, false);
    }
    // Printed directly: closing the report completes the job (finish()).
  } else if (st.report_opened) {
    // Fax or e-mail only: the last page ends; the page files are complete.
    if (st.report) (void)st.report->end_page();
    if (GLO::EmailReport != 0 && options_.output_dialog) pdf_pages_ = st.pages->files();
  }
  pdf_and_email(st);
}

void ReportRouting::pdf_and_email(RunState& st) {
  if (!options_.output_dialog || GLO::EmailReport == 0 || pdf_pages_.empty()) return;
  if (st.response == core::kResponseCancelled) {
    if (ui::message(kCreatePdfText, kCreatePdfCaption, ui::Icon::Question, "&Yes|&No", 2) != 1) {
      return;
    }
  } else if (st.response != core::kResponseCompleted) {
    return;
  }
  PdfWriter writer;
  writer.setup(GLO::PDFFile.str(), "");
  writer.set_paper(0);
  writer.set_author("");
  writer.set_title("");
  writer.set_subject("");
  writer.set_creator("");
  writer.set_keywords("");
  writer.set_run(false);
  const int generated = writer.generate(pdf_pages_, true);
  const std::string file = writer.FILENAME;
  const Status written = writer.status();
  const bool complete = generated == 1 && writer.written() && written.ok();
  writer.reset();
  if (generated == 0 && written.code() == kPdfCancelled) return;  // the user cancelled
  if (!complete) {
    // A missing or partial file is never mailed.
    std::string why = written.ok() ? "the PDF file was not written." : written.text();
    ui::message("The report was not e-mailed: " + why, kMailErrorCaption, ui::Icon::Exclamation);
    return;
  }
  pdf_written_ = file;
  Status sent = CPCSPDFEmailer(file, GLO::EmailTo.str(), FAX::ToName.str(), FAX::FaxSubject.str(),
                               FAX::Comments.str());
  if (!sent.ok()) {
    ui::message("The report was not e-mailed: " + sent.text() + "|The PDF file is kept: " + file,
                kMailErrorCaption, ui::Icon::Exclamation);
  }
}

void ReportRouting::finish(RunState& st) {
  // A direct print job is complete once the report is closed.
  if (direct_) {
    if (st.report) (void)st.report->close();
    Status closed = direct_->close();
    const int pages = direct_->pages();
    direct_.reset();
    if (!direct_file_.empty() && closed.ok() && pages > 0) {
      if (!printer_) {
        print_status(printer_status_);
      } else {
        platform::PrintJob job;
        job.pdf_path = direct_file_;
        job.copies = st.report ? std::max(1, st.report->copies()) : 1;
        job.title = title_of(st);
        Status s = printer_->Print(job);
        print_status(s);
        if (s.ok()) {
          ui::PrintJobNotice n;
          n.title = job.title;
          n.printer = printer_->name();
          n.pages = pages;
          n.copies = job.copies;
          ui::current_frontend().print_job(n);
        }
      }
    }
    std::error_code ec;
    if (!direct_file_.empty()) fs::remove(direct_file_, ec);
    direct_file_.clear();
  }
  if (fax_) {
    FaxRunEnd end;
    end.completed = st.response == core::kResponseCompleted;
    end.preview_asked = st.preview;
    (void)fax_->finish(end);
    fax_.reset();
  } else if (st.pages) {
    // Pages nobody keeps: the previewed, printed and e-mailed ones.
    (void)st.pages->remove_files();
  }
  if (email_pages_) {
    email_pages_->remove_files();
    email_pages_.reset();
  }
  std::error_code ec;
  if (!st.page_folder.empty()) fs::remove(st.page_folder, ec);
  printer_.reset();
  previewer_.reset();
}

}  // namespace tdx::reports
