// Fax jobs as the fax server sees them: the job record in FAXHEAD.TPS and the page files beside
// it, for completed, cancelled and mismatched runs, and ids taken by two processes at once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "reports/framework/routing_fax.h"
#include "runtime/path/path.h"
#include "runtime/ui/scripted_frontend.h"

namespace tdx::reports {
namespace {

namespace fs = std::filesystem;

class FaxJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all("F");
    fs::create_directories("F/KQXFXSVR");
    set_drive_root('F', fs::absolute("F").string());
  }
  void TearDown() override { set_drive_root('F', ""); }

  // Runs a job of `pages` pages to its end.
  std::string run_job(int pages, FaxRunEnd end, const std::string& script = "",
                      int32_t* id = nullptr) {
    ui::ScriptedFrontend fe;
    EXPECT_TRUE(fe.load(script).ok());
    ui::ScopedFrontend scope(&fe);
    data::RecordFile<FAX::Record> file(FAX::Decl());
    int32_t used = 0;
    FaxJob job(file, used);
    EXPECT_TRUE(job.start("F:\\KQXFXSVR").ok());
    if (id) *id = job.id();
    FaxHeaderValues v;
    v.number = "5551234567";
    v.to_name = "Smith, John";
    v.subject = "BID # B100";
    EXPECT_TRUE(job.fill_header(v).ok());
    auto namer = job.namer();
    for (int p = 1; p <= pages; ++p) {
      auto name = namer(p);
      EXPECT_TRUE(name.ok());
      std::ofstream(*name, std::ios::binary) << "page";
    }
    std::string state = job.finish(end);
    EXPECT_EQ(used, 0);
    EXPECT_FALSE(file.is_open());
    EXPECT_TRUE(fe.finish().ok()) << fe.finish().ToString() << fe.transcript();
    transcript_ = fe.transcript();
    return state;
  }

  // The job record with this id, or false.
  bool read_job(int32_t id, FAX::Record* out) {
    data::RecordFile<FAX::Record> file(FAX::Decl());
    file.set_name("F/KQXFXSVR/FAXHEAD.TPS");
    if (!file.open().ok()) return false;
    file.rec().FAXID = id;
    bool found = file.get(FAX::BY_FAXID).ok();
    *out = file.rec();
    return found;
  }
  std::set<std::string> files() {
    std::set<std::string> s;
    for (auto& e : fs::directory_iterator("F/KQXFXSVR")) {
      if (e.path().extension() == ".WMF") s.insert(e.path().filename().string());
    }
    return s;
  }
  std::string transcript_;
};

TEST(FaxNames, JobFilePagesAndSubject) {
  EXPECT_EQ(fax_job_file_name("F:\\FAXES"), "F:\\KQXFXSVR\\FAXHEAD.TPS");
  EXPECT_EQ(fax_page_file_name("F:\\KQXFXSVR", 12, 3), "F:\\KQXFXSVR\\00001203.WMF");
  EXPECT_EQ(fax_subject("Quote", "B100", "Mfr Price Auth"), "Quote");
  EXPECT_EQ(fax_subject("   ", "B100  ", "Mfr Price Auth"), "BID # B100");
  EXPECT_EQ(fax_subject("", "", "Mfr Price Auth"), "Mfr Price Auth");
}

TEST_F(FaxJobTest, TwelvePagesCompleteTheJob) {
  int32_t id = 0;
  EXPECT_EQ(run_job(12, {true, false}, "", &id), "submitted");
  EXPECT_EQ(id, 1);
  std::set<std::string> want;
  for (int p = 1; p <= 12; ++p) want.insert(fax_page_file_name("", 1, p).substr(1));
  EXPECT_EQ(files(), want);
  FAX::Record r;
  ASSERT_TRUE(read_job(1, &r));
  EXPECT_EQ(r.PAGES, 12);
  EXPECT_EQ(r.STATUS, 2);
  EXPECT_EQ(r.STATUSGRP, 2);
  EXPECT_EQ(r.BILLINGCODE.view(), "Tendix Reports 000001");
  EXPECT_EQ(r.KEYWORDS.view(), "Tendix Report");
  EXPECT_EQ(r.NUMBER.view(), "5551234567");
  EXPECT_EQ(r.SETTO.view(), "Smith  John");
  EXPECT_EQ(r.SUBJECT.view(), "BID # B100");
  EXPECT_EQ(r.DESCRIPTION.view(), "BID # B100");
  EXPECT_EQ(r.USECOVER, 1);
  EXPECT_EQ(r.COVERFILE.view(), kFaxCoverFile);
  EXPECT_EQ(r.COVERTEXT.view(), " ");
  EXPECT_NE(transcript_.find("fax 1 to \"5551234567\""), std::string::npos) << transcript_;
  // The next job takes the next id.
  EXPECT_EQ(run_job(1, {true, false}, "", &id), "submitted");
  EXPECT_EQ(id, 2);
}

TEST_F(FaxJobTest, CancelledRunsLeaveNothingUnlessTheUserStillFaxes) {
  struct Case {
    FaxRunEnd end;
    const char* script;
    bool kept;
  } cases[] = {
      {{false, false}, "", false},          // cancelled without preview
      {{false, true}, "answer No", false},  // preview closed, "Cancel Fax": No
      {{false, true}, "answer Yes", true},  // preview closed, still fax it
  };
  for (const Case& c : cases) {
    SetUp();
    int32_t id = 0;
    std::string state = run_job(3, c.end, c.script, &id);
    FAX::Record r;
    EXPECT_EQ(read_job(id, &r), c.kept) << c.script;
    EXPECT_EQ(files().size(), c.kept ? 3u : 0u) << c.script;
    EXPECT_EQ(state, c.kept ? "submitted" : "cancelled");
    if (c.end.preview_asked) {
      EXPECT_NE(transcript_.find("message \"Cancel Fax\" [question] \"You cancelled the preview.  "
                                 "Do you still wish to fax this report?\""),
                std::string::npos)
          << transcript_;
    }
  }
}

TEST_F(FaxJobTest, PageCountMismatchIsReportedToTheServer) {
  struct Case {
    int remove;  // page files removed behind the job's back
    int extra;   // page files of the job's id the job never named
    const char* message;
    const char* error;
  } cases[] = {
      {1, 0, kFaxTooManyText, kFaxTooManyError},
      {0, 1, kFaxTooFewText, kFaxTooFewError},
  };
  for (const Case& c : cases) {
    SetUp();
    ui::ScriptedFrontend fe;
    ASSERT_TRUE(fe.load("answer OK").ok());
    ui::ScopedFrontend scope(&fe);
    data::RecordFile<FAX::Record> file(FAX::Decl());
    int32_t used = 0;
    FaxJob job(file, used);
    ASSERT_TRUE(job.start("F:\\KQXFXSVR").ok());
    ASSERT_TRUE(job.fill_header({}).ok());
    auto namer = job.namer();
    for (int p = 1; p <= 4; ++p) ASSERT_TRUE(namer(p).ok());
    if (c.remove) fs::remove("F/KQXFXSVR/00000104.WMF");
    if (c.extra) std::ofstream("F/KQXFXSVR/00000105.WMF");
    EXPECT_EQ(job.finish({true, false}), c.error);
    EXPECT_NE(fe.transcript().find(c.message), std::string::npos) << fe.transcript();
    FAX::Record r;
    ASSERT_TRUE(read_job(1, &r));
    EXPECT_EQ(r.ERRORSTRING.view(), c.error);
    EXPECT_EQ(r.PAGES, 4 - c.remove + c.extra);
    EXPECT_EQ(r.STATUS, 1);
    EXPECT_EQ(r.STATUSGRP, 3);
  }
}

TEST_F(FaxJobTest, TwoProcessesTakeDifferentIds) {
  constexpr int kJobs = 25;
  pid_t kids[2];
  for (int k = 0; k < 2; ++k) {
    kids[k] = fork();
    ASSERT_GE(kids[k], 0);
    if (kids[k] == 0) {
      std::ofstream out("ids" + std::to_string(k));
      for (int i = 0; i < kJobs; ++i) {
        data::RecordFile<FAX::Record> file(FAX::Decl());
        int32_t used = 0;
        FaxJob job(file, used);
        Status s = job.start("F:\\KQXFXSVR");
        out << (s.ok() ? job.id() : -1) << "\n" << std::flush;
        job.finish({true, false});
      }
      _exit(0);
    }
  }
  for (pid_t k : kids) {
    int st = 0;
    waitpid(k, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
  }
  std::set<int> ids;
  for (int k = 0; k < 2; ++k) {
    std::ifstream in("ids" + std::to_string(k));
    int id, n = 0;
    while (in >> id) {
      EXPECT_GT(id, 0) << "a process could not allocate an id";
      ids.insert(id);
      ++n;
    }
    EXPECT_EQ(n, kJobs);
  }
  EXPECT_EQ(ids.size(), 2u * kJobs);
  EXPECT_EQ(*ids.rbegin(), 2 * kJobs);
}

}  // namespace
}  // namespace tdx::reports
