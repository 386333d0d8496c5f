// FaxJob: a report run's job for the fax server. The server (an outside program) reads its job
// file, a keyed file FAXHEAD.TPS in the folder "<drive>:\KQXFXSVR" (the drive is the first
// character of the fax server's folder, FAX:AFEBase), and the page images beside it named
// "<folder>\<id, 6 digits><page, 2 digits>.WMF". The job's life:
//
//   start(afe_base)   opens the job file through its use counter (created when missing) and adds
//                     an empty job record with the next id: the highest id + 1, tried up to 25
//                     times when another station took that id first (the id key is unique, so a
//                     second add of one id fails). Status 0, status group 3. All 25 failing:
//                     kFaxNotSubmitted ("Unable to submit fax at this time!").
//   namer()           the report's page namer: counts the page, creates the empty page file
//                     under its name and hands the name back.
//   fill_header(v)    at each group heading: the job record's values (recipient, subject,
//                     report geometry, cover text, date and time), status 1, group 3, pages 0.
//   finish(...)       when the report ends: lists the job's page files and completes the record
//                     (status 2, group 2, the page count), or reports too many or too few
//                     pages, or deletes the pages and the record of a cancelled run; then the
//                     job file's use count goes down (closed at 0). Page files of a job that is
//                     kept stay for the fax server.
//
// The messages of the finishing rules are shown through the current frontend; their texts are
// the constants below. File names are the system's Windows-style names mapped by
// runtime/path/path.h; the names handed to the report are this machine's.
//
// One FaxJob per report run, on the windows' thread. The job file object and its use counter
// are the caller's (the main module's FAXHEAD and FAXHEAD::Used).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/fax.h"
#include "data/record_file.h"
#include "runtime/base/status.h"
#include "runtime/report/page_queue.h"

namespace tdx::reports {

inline constexpr int kFaxIdTries = 25;
inline constexpr int kFaxNotSubmitted = 2401;

inline constexpr const char* kFaxSubmitText = "Unable to submit fax at this time!";
inline constexpr const char* kFaxSubmitCaption = "Submission error!";
inline constexpr const char* kFaxDeleteProblem = "Problem deleting Cancelled Pages!";
inline constexpr const char* kFaxCancelQuestion =
    "You cancelled the preview.  Do you still wish to fax this report?";
inline constexpr const char* kFaxCancelCaption = "Cancel Fax";
inline constexpr const char* kFaxTooManyText = "Too Many Pages created, Error in Fax Creation!";
inline constexpr const char* kFaxTooManyError = "Too Many Pages Created";
inline constexpr const char* kFaxTooFewText = "All pages were not created, Error in Fax Creation!";
inline constexpr const char* kFaxTooFewError = "All Pages Not Created";
inline constexpr const char* kFaxCoverFile =
    "C:\\Program Files\\Symantec\\WinFax\\Cover\\BRDCAST111.CVP";

// "F:\KQXFXSVR\FAXHEAD.TPS" for a fax server folder starting with "F".
std::string fax_job_file_name(std::string_view afe_base);
// "<fax path>\<id 6 digits><page 2 digits>.WMF" (Windows-style).
std::string fax_page_file_name(std::string_view fax_path, int32_t id, int page);
// The subject: the fax subject when not blank, else "BID # " and the bid id when that is not
// blank, else the report's default subject.
std::string fax_subject(std::string_view fax_subject, std::string_view bid_id,
                        std::string_view default_subject);

// What fill_header() writes besides the fixed values.
struct FaxHeaderValues {
  int16_t landscape = 0, paper_code = 0, paper_width = 0, paper_height = 0;
  int16_t report_width = 0, report_height = 0, report_x = 0, report_y = 0;
  std::string number, to_name, to_company, subject, comments;  // Windows-1252
  uint8_t off_peak = 0;
  int32_t date = 0, time = 0;
};

// How the run ended, for finish().
struct FaxRunEnd {
  bool completed = false;      // the run's response is 1
  bool preview_asked = false;  // the pages were previewed
};

class FaxJob {
 public:
  FaxJob(data::RecordFile<FAX::Record>& file, int32_t& used) : file_(file), used_(used) {}
  FaxJob(const FaxJob&) = delete;
  FaxJob& operator=(const FaxJob&) = delete;

  Status start(std::string_view afe_base);
  bool started() const { return started_; }
  int32_t id() const { return id_; }
  // The folder of the page files (GLO:FaxPath), as given.
  const std::string& fax_path() const { return fax_path_; }
  // Pages named so far (GLO:FaxPages).
  int pages_named() const { return pages_named_; }
  report::PageNamer namer();

  Status fill_header(const FaxHeaderValues& v);
  // Completes, reports or deletes the job (see above) and releases the job file. The result
  // says what became of it: "submitted", "cancelled" or the error text.
  std::string finish(const FaxRunEnd& end);
  // Page files of this job found in the fax folder (by the "<id>??.WMF" pattern), sorted.
  std::vector<std::string> page_files() const;

 private:
  Status write_header();
  void delete_job(int found);
  void release();

  data::RecordFile<FAX::Record>& file_;
  int32_t& used_;
  bool started_ = false;
  bool file_used_ = false;
  int32_t id_ = 0;
  std::string fax_path_;
  int pages_named_ = 0;
};

}  // namespace tdx::reports
