// ReportRouting: where a report run's pages go - the previewer, the printer, the fax server,
// a PDF file and e-mail - from the output chosen for the run. It is the OutputRouting
// (output_routing.h) of every report that prints, faxes or mails:
//
//   prepare       opens the printer of the settings ([Printer], docs/output.md) and notes its
//                 own copies and collate settings, then sets its copies to 1;
//   open_report   the report takes the printer's copies (kept as the saved copies; 1 when it
//                 collates); a fax run starts its fax job (job record, page namer), an e-mail
//                 run names its pages in the temporary folder so no other run's page is ever
//                 overwritten; the pages go to the page queue when the report always queues
//                 (the reports with the output dialog), when a preview was asked, when more than
//                 one copy is wanted from a printer that makes none, or when collating;
//                 otherwise straight to the printer;
//   end_run       preview (print from it in the report's copies), print (the copies made by the
//                 printer or by repeating the pages, collated or not), the empty-run messages,
//                 fax-only runs, and the PDF and e-mail step with its "Create PDF?" question;
//   finish        completes or deletes the fax job, sends a direct print job, deletes the page
//                 files that nobody keeps (fax pages stay for the fax server).
//
// The output globals of the main module say what was chosen (Glo:PreviewYes, FAX:PrintYes,
// FAX:FaxYes, GLO:EmailReport, GLO:PDFFile, GLO:EmailTo, FAX:ToName, ...); the reports without
// the output dialog use the run's preview answer instead.
//
// Failures are told, never hidden: no printer ("nothing was printed"), a fax id that cannot be
// taken ("Unable to submit fax at this time!", the run ends), a PDF that was not written or a
// mail the server did not accept (the message says so and keeps the PDF; no mail is claimed).
#pragma once

#include <memory>
#include <string>

#include "platform/mail/smtp_mailer.h"
#include "platform/preview/previewer.h"
#include "platform/printer/printer.h"
#include "reports/framework/output_routing.h"
#include "reports/framework/routing_email.h"
#include "reports/framework/routing_fax.h"
#include "runtime/report/render.h"

namespace tdx::reports {

// Messages of the routing.
inline constexpr const char* kCreatePdfText = "Report Not Printed||Create PDF anyway?";
inline constexpr const char* kCreatePdfCaption = "Create PDF?";
inline constexpr const char* kPrintErrorCaption = "Printing";
inline constexpr const char* kMailErrorCaption = "E-mail Not Sent";

// Sends the PDF file as an e-mail attachment through the mail settings of ".\TENDIX.INI".
Status CPCSPDFEmailer(std::string_view pdf_file, std::string_view to_address,
                      std::string_view to_name, std::string_view subject,
                      std::string_view comments);

class ReportRouting : public OutputRouting {
 public:
  struct Options {
    // The report takes its output from the output dialog (it can fax and e-mail): its pages
    // always go to the page queue.
    bool output_dialog = false;
    // Fax subject when neither the fax subject nor a bid id is given ("Mfr Price Auth").
    std::string default_fax_subject;
    // Fill page x of y before previewing or printing.
    bool page_of_pages = false;
  };
  ReportRouting() = default;
  explicit ReportRouting(Options options) : options_(std::move(options)) {}
  ~ReportRouting() override;
  ReportRouting(const ReportRouting&) = delete;
  ReportRouting& operator=(const ReportRouting&) = delete;

  void prepare(RunState& st) override;
  Status open_report(RunState& st, report::Report& rpt) override;
  void end_run(RunState& st) override;
  void finish(RunState& st) override;

  // A fax report calls this each time it prints its group heading while faxing.
  Status fill_fax_header(const report::Report& rpt);

  bool faxing() const { return fax_ != nullptr; }
  // The PDF written for e-mail in the last run (empty when none).
  const std::string& pdf_file() const { return pdf_written_; }

 private:
  bool printing(const RunState& st) const;
  void preview_pages(RunState& st);
  void print_queued(RunState& st);
  void pdf_and_email(RunState& st);
  void print_status(const Status& s);

  Options options_;
  std::unique_ptr<platform::Printer> printer_;
  Status printer_status_;
  std::unique_ptr<platform::Previewer> previewer_;
  int printer_copies_ = 1;  // the printer's own setting, as the user left it
  bool printer_collate_ = false;
  bool collate_ = false;
  bool queued_ = false;
  bool aborted_ = false;
  std::unique_ptr<FaxJob> fax_;
  std::unique_ptr<EmailPages> email_pages_;
  std::vector<std::string> pdf_pages_;  // the pages handed to the PDF writer
  std::unique_ptr<report::DocumentWriter> direct_;
  std::string direct_file_;
  std::string pdf_written_;
};

}  // namespace tdx::reports
