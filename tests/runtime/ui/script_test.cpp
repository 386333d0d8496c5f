// The scripted frontend: its language, its answers to lookups, dates, the output dialog and
// previews, its transcript, and the ways a run fails instead of hanging.
#include <gtest/gtest.h>

#include "runtime/datetime/datetime.h"
#include "runtime/ui/frontend.h"
#include "tests/runtime/ui/ui_fixture.h"

namespace tdx::ui {
namespace {

using testing::OptionVars;
using testing::option_window;
using testing::run_loop;

TEST(Script, ErrorsNameTheLine) {
  struct Case {
    const char* script;
    const char* error;
  };
  const Case cases[] = {
      {"press Print\nfly away\n", "script:2: unknown action \"fly\""},
      {"key F13\n", "script:1: unknown key \"F13\""},
      {"# comment\n\ntimers 0\n", "script:3: timers needs N >= 1"},
      {"output fax colour=red\n", "script:1: unknown output field \"colour\""},
      {"date 2/30/2024\n", "script:1: date needs"},
      {"answer \"Yes\n", "script:1: unterminated quote"},
      {"select ?List 0\n", "script:1: select needs a list and a row number from 1"},
  };
  for (const auto& c : cases) {
    ScriptedFrontend fe;
    Status s = fe.load(c.script);
    ASSERT_FALSE(s.ok()) << c.script;
    EXPECT_EQ(s.text().rfind(c.error, 0), 0u) << s.text();
  }
}

TEST(Script, AnswersLookupsDatesOutputAndPreviews) {
  ScriptedFrontend fe;
  ASSERT_TRUE(fe.load("lookup \"B 100\"\n"
                      "lookup cancel\n"
                      "lookup current\n"
                      "date 03/15/2024\n"
                      "date cancel\n"
                      "output fax print number=\"555 1234\" name=\"Jo Smith\" subject=Bid\n"
                      "output cancel\n"
                      "preview print\n")
                  .ok());
  ScopedFrontend scope(&fe);
  LookupRequest req;
  req.window = "BIDBROWSE";
  req.partial = "B";
  req.exists = [](const std::string& k) { return k == "B 100" || k == "B 200"; };
  req.positioned = [](const std::string&) { return std::string("B 200"); };
  LookupAnswer a = lookup(req);
  EXPECT_TRUE(a.chosen);
  EXPECT_EQ(a.key, "B 100");
  EXPECT_FALSE(lookup(req).chosen);
  EXPECT_EQ(lookup(req).key, "B 200");

  int32_t start = make_date(1, 2, 2024);
  EXPECT_EQ(select_date(start).day, make_date(3, 15, 2024));
  DateAnswer kept = select_date(start);
  EXPECT_FALSE(kept.chosen);
  EXPECT_EQ(kept.day, start);

  OptionVars unused;
  (void)unused;
  OutputChoice out;
  ASSERT_TRUE(output_dialog(&out));
  EXPECT_TRUE(out.fax);
  EXPECT_TRUE(out.print);
  EXPECT_FALSE(out.preview);
  EXPECT_EQ(out.fax_number, "555 1234");
  EXPECT_EQ(out.to_name, "Jo Smith");
  EXPECT_EQ(out.subject, "Bid");
  EXPECT_FALSE(output_dialog(&out));

  PreviewRequest pr;
  pr.title = "DistQuote";
  pr.pages = {"/out/p0001.wmf", "/out/p0002.wmf"};
  pr.page_count = 2;
  EXPECT_EQ(preview(pr), PreviewAnswer::Print);
  current_frontend().print_job({"DistQuote", "Spool", 2, 3, "/out/spool"});
  current_frontend().fax_job({7, "555 1234", "Jo Smith", "ACME", "Bid", 2, "submitted"});
  current_frontend().email_sent({"jo@example.com", "Jo", "Quote", "/out/q.pdf", "sent"});
  EXPECT_TRUE(fe.finish().ok()) << fe.finish().ToString();
  EXPECT_EQ(fe.transcript(),
            "lookup BIDBROWSE at \"B\" -> \"B 100\"\n"
            "lookup BIDBROWSE at \"B\" -> cancelled\n"
            "lookup BIDBROWSE at \"B\" -> \"B 200\"\n"
            "date at 1/02/2024 -> 3/15/2024\n"
            "date at 1/02/2024 -> cancelled\n"
            "output dialog -> print fax name=\"Jo Smith\" number=\"555 1234\" subject=\"Bid\"\n"
            "output dialog -> cancelled\n"
            "preview \"DistQuote\" 2 pages in \"/out\" -> print\n"
            "print \"DistQuote\" 2 pages x 3 copies on \"Spool\" to \"/out/spool\"\n"
            "fax 7 to \"555 1234\" \"Jo Smith\" \"ACME\" subject \"Bid\" 2 pages: submitted\n"
            "e-mail to \"jo@example.com\" \"Jo\" subject \"Quote\" attachment \"/out/q.pdf\": sent\n");
}

TEST(Script, LookupOfAMissingRecordFails) {
  ScriptedFrontend fe;
  ASSERT_TRUE(fe.load("lookup NOPE\n").ok());
  ScopedFrontend scope(&fe);
  LookupRequest req;
  req.window = "MANUFCTRBROWSE";
  req.exists = [](const std::string&) { return false; };
  EXPECT_FALSE(lookup(req).chosen);
  EXPECT_NE(fe.finish().text().find("MANUFCTRBROWSE has no record \"NOPE\""), std::string::npos);
}

TEST(Script, WindowWithoutAnswerEndsTheRunNamingIt) {
  struct Case {
    const char* script;
    const char* error;
  };
  const Case cases[] = {
      {"", "window \"Options\" waits for input and the script has ended"},
      {"answer Yes\n", "the next action (line 1) is \"answer Yes\""},
      {"press Fly\n", "window \"Options\" waits for input and it has no control \"Fly\" (line 1)"},
      {"timers 2\n", "timers, but window \"Options\" has no timer running"},
  };
  for (const auto& c : cases) {
    ScriptedFrontend fe;
    ASSERT_TRUE(fe.load(c.script).ok());
    ScopedFrontend scope(&fe);
    OptionVars v;
    Window win(option_window());
    v.bind(win);
    ASSERT_TRUE(win.open().ok());
    run_loop(win);  // must return
    EXPECT_FALSE(win.is_open());
    Status s = fe.finish();
    ASSERT_FALSE(s.ok()) << c.script;
    EXPECT_NE(s.text().find(c.error), std::string::npos) << s.text();
  }
}

TEST(Script, AfterAFailureNestedLoopsAndQuestionsUnwind) {
  ScriptedFrontend fe;
  ASSERT_TRUE(fe.load("press &Print\n").ok());
  ScopedFrontend scope(&fe);
  OptionVars v;
  Window win(option_window());
  v.bind(win);
  ASSERT_TRUE(win.open().ok());
  int boxes = 0;
  run_loop(win, [&](Window&, const Event& ev) {
    if (!ev.is(EventKind::Accepted, "?Print")) return;
    // A retry loop that only a Cancel answer ends: it must not spin once the script failed.
    while (message("Save again?", "Record Update Error", Icon::Question, "&Yes|&No|Cancel", 1) ==
               1 &&
           ++boxes < 5) {
    }
  });
  EXPECT_FALSE(fe.finish().ok());
  EXPECT_NE(fe.finish().text().find("Save again?"), std::string::npos);
}

TEST(Script, UnusedActionsAreReported) {
  ScriptedFrontend fe;
  ASSERT_TRUE(fe.load("answer Yes\npreview close\n").ok());
  ScopedFrontend scope(&fe);
  message("Sure?", "Q", Icon::None, "&Yes|&No", 1);
  Status s = fe.finish();
  EXPECT_EQ(s.text(), "script line 2 was never used: preview close");
}

TEST(Script, TimerWindowWaitsForTheUsersNextActionElsewhere) {
  // The user's next action is for a later box: the run's timer keeps going until the window
  // closes, then the box gets its answer.
  ScriptedFrontend fe;
  ASSERT_TRUE(fe.load("answer OK\n").ok());
  ScopedFrontend scope(&fe);
  Window win(WindowBuilder("Run", 100, 50).timer(1).button("", "Cancel", {5, 5, 40, 12}).build());
  ASSERT_TRUE(win.open().ok());
  int ticks = 0;
  run_loop(win, [&](Window& w, const Event& ev) {
    if (ev.is(EventKind::Timer) && ++ticks == 10) w.post(EventKind::CloseWindow);
  });
  EXPECT_EQ(ticks, 10);
  EXPECT_EQ(message("Done", "NOTE...", Icon::Information, "&OK", 1), 1);
  EXPECT_TRUE(fe.finish().ok()) << fe.finish().ToString();

  // A window whose timer never ends the loop stops after the idle limit.
  ScriptedFrontend fe2;
  ASSERT_TRUE(fe2.load("answer OK\n").ok());
  fe2.set_max_idle_timers(50);
  ScopedFrontend scope2(&fe2);
  Window forever(WindowBuilder("Forever", 100, 50).timer(1).build());
  ASSERT_TRUE(forever.open().ok());
  run_loop(forever);
  EXPECT_NE(fe2.finish().text().find("ran its timer 50 times"), std::string::npos);
}

TEST(Script, TypedLineBreaksGoIntoTextBoxesUpToTheirSize) {
  ScriptedFrontend fe;
  ASSERT_TRUE(fe.load("type ?Letter \"Dear Sir,\\nThank you.\"\n"
                      "type ?Short abcdefghij\n"
                      "press Cancel\n")
                  .ok());
  ScopedFrontend scope(&fe);
  std::string letter, short_text;
  Window win(WindowBuilder("Letter", 296, 188)
                 .text_box("?Letter", "AWA:LETTER", {7, 50, 277, 117})
                 .text_box("?Short", "LOC:SHORT", {7, 170, 50, 10})
                 .button("", "Cancel", {243, 170, 42, 12})
                 .build());
  win.bind("AWA:LETTER", VarRef::Memo(&letter, 3500));
  win.bind("LOC:SHORT", VarRef::Memo(&short_text, 4));
  ASSERT_TRUE(win.open().ok());
  run_loop(win);
  EXPECT_EQ(letter, "Dear Sir,\r\nThank you.");
  EXPECT_EQ(short_text, "abcd");
  EXPECT_TRUE(fe.finish().ok()) << fe.finish().ToString();
}

}  // namespace
}  // namespace tdx::ui
