// DATESELECT and FAXREPORT: the calendar and the output dialog.
#include <string>

#include "core/globals.h"
#include "core/procedures.h"
#include "runtime/ui/frontend.h"
#include "runtime/ui/message_box.h"

namespace tdx::core {
namespace {

constexpr const char* kOutputCaption = "Report Output";

// What the report could not carry out, or "" when the choice is complete.
std::string Refusal(const ui::OutputChoice& c) {
  if (c.pdf && !c.email) return "The PDF file is made to be e-mailed.  Choose E-mail as well.";
  if (!c.preview && !c.print && !c.fax && !c.email)
    return "Choose where the report goes: Preview, Print, Fax or E-mail.";
  if (c.email) {
    if (clip(c.email_to).empty()) return "An e-mail needs the recipient's e-mail address.";
    if (c.email_to.find('@') == std::string::npos)
      return "\"" + c.email_to + "\" is not an e-mail address.";
    if (c.email_to.size() > GLO::EmailTo.size())
      return "The e-mail address is longer than " + std::to_string(GLO::EmailTo.size()) +
             " characters.";
    if (clip(c.pdf_file).empty()) return "An e-mail needs the name of the PDF file to attach.";
    if (c.pdf_file.size() > GLO::PDFFile.size())
      return "The PDF file name is longer than " + std::to_string(GLO::PDFFile.size()) +
             " characters.";
  }
  if (c.fax) {
    if (clip(c.fax_number).empty()) return "A fax needs the recipient's fax number.";
    if (c.fax_number.size() > FAX::ToNumber.size())
      return "The fax number is longer than " + std::to_string(FAX::ToNumber.size()) +
             " characters.";
    if (FAX::AFEBase.blank())
      return "Faxing is not set up: no fax server folder is given (FAX:AFEBase).";
  }
  return "";
}

// Text with a line break would break the single-line fields of a fax or mail header.
std::string OneLine(std::string s) {
  for (char& ch : s)
    if (ch == '\r' || ch == '\n') ch = ' ';
  return s;
}

}  // namespace
}  // namespace tdx::core

using namespace tdx::core;  // NOLINT: the procedures read like the rest of the system

extern "C" {

int32_t DATESELECT(int32_t day) {
  tdx::ui::DateAnswer a = tdx::ui::select_date(day, "Select a Date");
  return a.chosen ? a.day : day;
}

void FAXREPORT(void) {
  tdx::ui::OutputChoice c;
  // Start from what the globals hold, as the dialog shows them.
  c.preview = Glo::PreviewYes != 0;
  c.print = FAX::PrintYes != 0;
  c.fax = FAX::FaxYes != 0;
  c.email = GLO::EmailReport != 0;
  c.off_peak = GLO::SendOffPeak != 0;
  c.pdf_file = GLO::PDFFile.str();
  c.email_to = GLO::EmailTo.str();
  c.to_name = FAX::ToName.str();
  c.to_company = FAX::ToCompany.str();
  c.fax_number = FAX::ToNumber.str();
  c.subject = FAX::FaxSubject.str();
  c.comments = FAX::Comments.str();
  for (;;) {
    tdx::ui::OutputChoice answer = c;
    if (!tdx::ui::output_dialog(&answer)) {
      GlobalResponse = kResponseCancelled;
      return;
    }
    answer.email_to = std::string(tdx::clip(answer.email_to));
    answer.fax_number = std::string(tdx::clip(answer.fax_number));
    answer.pdf_file = std::string(tdx::clip(answer.pdf_file));
    std::string why = Refusal(answer);
    if (why.empty()) {
      c = answer;
      break;
    }
    tdx::ui::message(why, kOutputCaption, tdx::ui::Icon::Exclamation);
    c = answer;  // asked again with what the user gave
  }
  Glo::PreviewYes = c.preview ? 1 : 0;
  FAX::PrintYes = c.print ? 1 : 0;
  FAX::FaxYes = c.fax ? 1 : 0;
  GLO::EmailReport = c.email ? 1 : 0;
  GLO::SendOffPeak = c.off_peak ? 1 : 0;
  GLO::PDFFile = c.pdf_file;
  GLO::EmailTo = OneLine(c.email_to);
  FAX::ToName = OneLine(c.to_name);
  FAX::ToCompany = OneLine(c.to_company);
  FAX::ToNumber = OneLine(c.fax_number);
  FAX::FaxSubject = OneLine(c.subject);
  FAX::Comments = c.comments;
  GlobalResponse = kResponseCompleted;
}

}  // extern "C"
