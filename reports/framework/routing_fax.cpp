#include "reports/framework/routing_fax.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "reports/framework/open_file.h"
#include "runtime/path/path.h"
#include "runtime/store/errors.h"
#include "runtime/ui/frontend.h"
#include "runtime/ui/message_box.h"

namespace tdx::reports {

namespace {

namespace fs = std::filesystem;

std::string trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\0')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\0')) --e;
  return std::string(s.substr(b, e - b));
}

std::string six_digits(int32_t id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06d", id);
  return buf;
}

}  // namespace

std::string fax_job_file_name(std::string_view afe_base) {
  const std::string base = trim(afe_base);
  return std::string(1, base.empty() ? ' ' : base[0]) + ":\\KQXFXSVR\\FAXHEAD.TPS";
}

std::string fax_page_file_name(std::string_view fax_path, int32_t id, int page) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", page);
  return trim(fax_path) + "\\" + six_digits(id) + buf + ".WMF";
}

std::string fax_subject(std::string_view subject, std::string_view bid_id,
                        std::string_view default_subject) {
  if (!trim(subject).empty()) return trim(subject);
  if (!trim(bid_id).empty()) return "BID # " + trim(bid_id);
  return std::string(default_subject);
}

Status FaxJob::start(std::string_view afe_base) {
  fax_path_ = trim(afe_base);
  pages_named_ = 0;
  auto where = map_path(fax_job_file_name(afe_base));
  if (!where.ok()) {
    return Status(kFaxNotSubmitted, std::string(kFaxSubmitText) + " " + where.status().text());
  }
  if (used_ == 0) {
    if (file_.is_open()) file_.close();
    file_.set_name(*where);
    Status s = open_file(file_);
    if (!s.ok()) return Status(kFaxNotSubmitted, std::string(kFaxSubmitText) + " " + s.text());
  }
  ++used_;
  file_used_ = true;
  for (int attempt = 0; attempt < kFaxIdTries; ++attempt) {
    int32_t highest = 0;
    if (file_.set(FAX::BY_FAXID).ok() && file_.previous().ok()) highest = file_.rec().FAXID;
    file_.clear();
    file_.rec().FAXID = highest + 1;
    // Marked as being built from the start, so the server leaves the job alone.
    file_.rec().STATUS = 0;
    file_.rec().STATUSGRP = 3;
    if (file_.add().ok()) {
      id_ = highest + 1;
      started_ = true;
      return Status();
    }
  }
  release();
  return Status(kFaxNotSubmitted, kFaxSubmitText);
}

report::PageNamer FaxJob::namer() {
  return [this](int) -> Result<std::string> {
    ++pages_named_;
    auto path = map_path(fax_page_file_name(fax_path_, id_, pages_named_));
    if (!path.ok()) return path.status();
    FILE* f = std::fopen(path->c_str(), "wb");
    if (!f) return Status(store::kAccessDenied, "cannot create the fax page " + *path);
    std::fclose(f);
    return *path;
  };
}

Status FaxJob::write_header() {
  // The buffer is shared with the rest of the module: make this job's record the current one
  // again before rewriting it, keeping the values prepared in the buffer.
  const FAX::Record values = file_.rec();
  file_.rec().FAXID = id_;
  Status s = file_.get(FAX::BY_FAXID);
  file_.rec() = values;
  if (!s.ok()) return s;
  return file_.put();
}

Status FaxJob::fill_header(const FaxHeaderValues& v) {
  if (!started_) return Status(kFaxNotSubmitted, "no fax job");
  FAX::Record& r = file_.rec();
  file_.clear();
  r.FAXID = id_;
  r.STATUS = 1;
  r.STATUSGRP = 3;
  r.PAGES = 0;
  r.LANDSCAPE = v.landscape;
  r.PAPERCODE = v.paper_code;
  r.PAPERWIDTH = v.paper_width;
  r.PAPERHEIGHT = v.paper_height;
  r.RPTWIDTH = v.report_width;
  r.RPTHEIGHT = v.report_height;
  r.RPTXPOS = v.report_x;
  r.RPTYPOS = v.report_y;
  r.BILLINGCODE = "Tendix Reports " + six_digits(id_);
  r.KEYWORDS = "Tendix Report";
  r.NUMBER = trim(v.number);
  std::string to = trim(v.to_name);
  std::replace(to.begin(), to.end(), ',', ' ');
  r.SETTO = to;
  r.COMPANY = trim(v.to_company);
  r.SETDATE = v.date;
  r.SETTIME = v.time;
  r.CREATEDATE = v.date;
  r.CREATETIME = v.time;
  r.OFFPEAK = v.off_peak;
  r.SUBJECT = trim(v.subject);
  r.DESCRIPTION = trim(v.subject);
  r.USECOVER = 1;
  r.COVERFILE = kFaxCoverFile;
  const std::string comments = trim(v.comments);
  r.COVERTEXT = comments.empty() ? std::string(" ") : comments;
  return write_header();
}

std::vector<std::string> FaxJob::page_files() const {
  std::vector<std::string> out;
  auto dir = map_path(fax_path_);
  if (!dir.ok()) return out;
  const std::string stem = six_digits(id_);
  std::error_code ec;
  for (fs::directory_iterator it(*dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() != stem.size() + 2 + 4 || name.compare(0, stem.size(), stem) != 0) continue;
    std::string ext = name.substr(stem.size() + 2);
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (ext == ".WMF") out.push_back(it->path().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

void FaxJob::delete_job(int found) {
  int deleted = 0;
  for (const std::string& f : page_files()) {
    std::error_code ec;
    if (fs::remove(f, ec) && !ec) ++deleted;
  }
  if (deleted == found) {
    file_.rec().FAXID = id_;
    if (file_.get(FAX::BY_FAXID).ok() && file_.erase().ok()) return;
  }
  ui::message(kFaxDeleteProblem, "Cancel Fax", ui::Icon::Exclamation);
  file_.rec().ERRORSTRING = kFaxDeleteProblem;
  file_.rec().PAGES = static_cast<int16_t>(found - deleted);
  (void)write_header();
}

std::string FaxJob::finish(const FaxRunEnd& end) {
  if (!started_) {
    release();
    return "cancelled";
  }
  const int found = static_cast<int>(page_files().size());
  std::string state;
  bool keep = end.completed;
  if (!end.completed && end.preview_asked) {
    keep = ui::message(kFaxCancelQuestion, kFaxCancelCaption, ui::Icon::Question, "&Yes|&No") == 1;
  }
  // The buffer may hold another record by now: start from this job's record.
  file_.rec().FAXID = id_;
  (void)file_.get(FAX::BY_FAXID);
  if (!keep) {
    delete_job(found);
    state = "cancelled";
  } else if (pages_named_ == found) {
    file_.rec().PAGES = static_cast<int16_t>(found);
    file_.rec().STATUS = 2;
    file_.rec().STATUSGRP = 2;
    Status s = write_header();
    state = s.ok() ? "submitted" : s.text();
  } else {
    const bool too_many = pages_named_ > found;
    ui::message(too_many ? kFaxTooManyText : kFaxTooFewText, "Fax", ui::Icon::Exclamation);
    file_.rec().ERRORSTRING = too_many ? kFaxTooManyError : kFaxTooFewError;
    file_.rec().PAGES = static_cast<int16_t>(found);
    (void)write_header();
    state = too_many ? kFaxTooManyError : kFaxTooFewError;
  }
  ui::FaxJobNotice n;
  n.id = id_;
  n.number = file_.rec().NUMBER.view();
  n.to_name = file_.rec().SETTO.view();
  n.to_company = file_.rec().COMPANY.view();
  n.subject = file_.rec().SUBJECT.view();
  n.pages = found;
  n.state = state;
  if (state != "cancelled") ui::current_frontend().fax_job(n);
  release();
  started_ = false;
  return state;
}

void FaxJob::release() {
  if (!file_used_) return;
  file_used_ = false;
  if (used_ > 0 && --used_ == 0) file_.close();
}

}  // namespace tdx::reports
