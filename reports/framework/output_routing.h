// OutputRouting: where a report run's pages go. The report run (report_run.h) calls it at four
// points and knows nothing about previewers, printers, fax jobs or e-mail:
//
//   prepare(st)              before the preview question: the printer's copies set to 1;
//   open_report(st, rpt)     on the first accepted record, once the layout is open and the
//                            report's own changes are made: copies and collate, a fax job when
//                            faxing, and the report's output directed to the run's page queue
//                            (st.pages) or straight to the printer; an error ends the run;
//   end_run(st)              after the closing totals: preview, print, the empty-run messages;
//                            sets st.response to what the user did (1 printed or completed);
//   finish(st)               when the procedure returns, after the files are released: fax job
//                            completion, deleting page files that nobody keeps.
//
// PreviewRouting is the plain routing every report can use: its pages always go to the page
// queue; end of run previews them through the frontend when a preview was asked (printing them
// when the user prints from the preview), or prints them when not; an empty or never-opened run
// shows "Nothing to Preview." / "Nothing to Print." with the display strings' captions, once.
// It deletes its page files in finish().
#pragma once

#include "runtime/base/status.h"
#include "runtime/report/engine.h"

namespace tdx::reports {

struct RunState;

class OutputRouting {
 public:
  virtual ~OutputRouting() = default;
  virtual void prepare(RunState& st) { (void)st; }
  virtual Status open_report(RunState& st, report::Report& rpt) = 0;
  virtual void end_run(RunState& st) = 0;
  virtual void finish(RunState& st) { (void)st; }
};

class PreviewRouting : public OutputRouting {
 public:
  Status open_report(RunState& st, report::Report& rpt) override;
  void end_run(RunState& st) override;
  void finish(RunState& st) override;
};

}  // namespace tdx::reports
