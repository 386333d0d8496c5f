// Windows driven through scripts: pictures reject what does not fit, focus, nesting, Esc and
// timers, the accept-all pass, check boxes, option groups, spins, lists and borrowed controls.
#include <gtest/gtest.h>

#include "runtime/ui/keyboard.h"
#include "runtime/ui/progress_window.h"
#include "tests/runtime/ui/ui_fixture.h"

namespace tdx::ui {
namespace {

using testing::D;
using testing::Log;
using testing::OptionVars;
using testing::option_window;
using testing::run_loop;

// Loads a script, sets it as the frontend and fails the test on a script error.
struct Scripted {
  explicit Scripted(const char* script) : scope(&fe) {
    Status s = fe.load(script);
    EXPECT_TRUE(s.ok()) << s.ToString();
  }
  ScriptedFrontend fe;
  ScopedFrontend scope;
};

TEST(Window, ValueThatDoesNotFitIsRejectedAndFocusStays) {
  Scripted sc(
      "type LOC:DXMOVE 3\n"          // outside -1..2.5
      "type LOC:DXMOVE 1.234\n"      // more decimals than @n-6.2 keeps
      "type ?Glo:BID_ID ABCDEFGHIJK\n"  // 11 characters into @s10
      "type LOC:DXMOVE 1.5\n"
      "press Cancel\n");
  OptionVars v;
  Window win(option_window());
  v.bind(win);
  ASSERT_TRUE(win.open().ok());
  std::vector<std::string> focus_after_reject;
  Log log = run_loop(win, [&](Window& w, const Event& ev) {
    if (ev.is(EventKind::OpenWindow)) w.select_first();
    if (ev.is(EventKind::Rejected)) {
      // As the option windows do: beep, show the variable again, keep the focus there.
      w.beep();
      w.display(ev.label);
      w.select(ev.label);
      focus_after_reject.push_back(w.focus_label());
    }
  });
  EXPECT_EQ(log, (Log{"open-window", "selected ?Glo:BID_ID", "selected ?LOC:DXMOVE",
                      "rejected ?LOC:DXMOVE", "rejected ?LOC:DXMOVE", "selected ?Glo:BID_ID",
                      "rejected ?Glo:BID_ID", "selected ?LOC:DXMOVE", "accepted ?LOC:DXMOVE",
                      "selected ?Glo:Minority", "accepted ?Cancel", "close-window"}));
  EXPECT_EQ(focus_after_reject,
            (std::vector<std::string>{"?LOC:DXMOVE", "?LOC:DXMOVE", "?Glo:BID_ID"}));
  EXPECT_EQ(v.dx(), D("1.5"));
  EXPECT_TRUE(v.bid.blank());  // the rejected text never reached the variable
  EXPECT_TRUE(sc.fe.finish().ok()) << sc.fe.finish().ToString();
  EXPECT_NE(sc.fe.transcript().find("beep"), std::string::npos);
}

TEST(Window, UnchangedEntryGivesNoAcceptedUnlessTouched) {
  Scripted sc(
      "type ?Glo:BID_ID B1\n"
      "type ?Glo:BID_ID B1\n"  // same value: no accepted
      "type ?Glo:BID_ID B1\n"  // touched by the code: accepted again
      "press Cancel\n");
  OptionVars v;
  Window win(option_window());
  v.bind(win);
  ASSERT_TRUE(win.open().ok());
  int accepted = 0, typed = 0;
  run_loop(win, [&](Window& w, const Event& ev) {
    if (ev.is(EventKind::Accepted, "?Glo:BID_ID")) ++accepted;
    if (ev.is(EventKind::Selected, "?LOC:DXMOVE") && ++typed == 2) {
      w.set_touched("?Glo:BID_ID", true);
    }
  });
  EXPECT_EQ(accepted, 2);
  EXPECT_EQ(v.bid, "B1");
}

TEST(Window, CodeSelectingAControlKeepsTheFocusFromMovingOn) {
  // A lookup that was cancelled keeps the user in the field.
  Scripted sc("type ?Glo:BID_ID X\npress Cancel\n");
  OptionVars v;
  Window win(option_window());
  v.bind(win);
  ASSERT_TRUE(win.open().ok());
  Log log = run_loop(win, [&](Window& w, const Event& ev) {
    if (ev.is(EventKind::Accepted, "?Glo:BID_ID")) w.select("?Glo:BID_ID");
  });
  EXPECT_EQ(log, (Log{"open-window", "selected ?Glo:BID_ID", "accepted ?Glo:BID_ID",
                      "accepted ?Cancel", "close-window"}));
}

TEST(Window, NestedWindowReturnsToItsParent) {
  Scripted sc(
      "press &Open\n"
      "type ?Name Smith\n"
      "press OK\n"
      "press Cancel\n");
  Str<20> name;
  WindowDef child_def = WindowBuilder("Child", 100, 50)
                            .entry("?Name", "LOC:Name", "@s20", {5, 5, 80, 10})
                            .button("", "OK", {5, 30, 40, 12})
                            .build();
  WindowDef parent_def = WindowBuilder("Parent", 150, 80)
                             .button("", "&Open", {5, 5, 40, 12})
                             .button("", "Cancel", {50, 5, 40, 12})
                             .build();
  Window parent(parent_def);
  ASSERT_TRUE(parent.open().ok());
  Log child_log;
  Log log = run_loop(parent, [&](Window&, const Event& ev) {
    if (!ev.is(EventKind::Accepted, "?Open")) return;
    Window child(child_def);
    child.bind("LOC:Name", VarRef::String(name.data(), 20));
    ASSERT_TRUE(child.open().ok());
    EXPECT_EQ(Window::active(), &child);
    child_log = run_loop(child, [](Window& w, const Event& e) {
      if (e.is(EventKind::Accepted, "?OK")) w.post(EventKind::CloseWindow);
    });
    EXPECT_EQ(Window::active(), &parent);
  });
  EXPECT_EQ(log, (Log{"open-window", "accepted ?Open", "gain-focus", "accepted ?Cancel",
                      "close-window"}));
  EXPECT_EQ(child_log, (Log{"open-window", "selected ?Name", "accepted ?Name", "selected ?OK",
                            "accepted ?OK", "close-window"}));
  EXPECT_EQ(name, "Smith");
  EXPECT_EQ(sc.fe.transcript(),
            "window \"Parent\"\n"
            "  > press &Open\n"
            "  window \"Child\"\n"
            "    > type ?Name Smith\n"
            "    > press OK\n"
            "  close \"Child\"\n"
            "  > press Cancel\n"
            "close \"Parent\"\n");
  EXPECT_TRUE(sc.fe.finish().ok());
}

TEST(Window, EscInTimerWindowPostsAcceptedOnCancel) {
  Scripted sc("timers 2\nkey Esc\n");
  ProgressWindow pw;
  ASSERT_TRUE(pw.open("Generating Report", "", "% Completed").ok());
  Log log;
  Event ev;
  while (pw.accept(ev)) {
    log.push_back(std::string(event_kind_name(ev.kind)) + (ev.label.empty() ? "" : " " + ev.label));
    if (pw.is_cancel(ev)) pw.window().post(EventKind::CloseWindow);
  }
  // Esc is served at the next turn of the loop, between two batches.
  EXPECT_EQ(log, (Log{"open-window", "timer", "timer", "timer", "accepted ?PROGRESS:CANCEL",
                      "close-window"}));
  EXPECT_EQ(last_key(), Key::None);  // taken by the loop
  EXPECT_TRUE(sc.fe.finish().ok()) << sc.fe.finish().ToString();
}

TEST(Window, EscPressesTheDeclaredButtonOrClosesTheWindow) {
  WindowDef pressing = WindowBuilder("Esc presses", 100, 50)
                           .timer(10)
                           .esc_presses("?Stop")
                           .button("?Stop", "Stop", {5, 5, 40, 12})
                           .build();
  {
    Scripted sc("key Esc\n");
    Window win(pressing);
    ASSERT_TRUE(win.open().ok());
    Log log = run_loop(win, [](Window& w, const Event& ev) {
      if (ev.is(EventKind::Accepted, "?Stop")) w.post(EventKind::CloseWindow);
    });
    EXPECT_EQ(log, (Log{"open-window", "accepted ?Stop", "close-window"}));
  }
  {
    Scripted sc("key Esc\n");
    OptionVars v;
    Window win(option_window());
    v.bind(win);
    ASSERT_TRUE(win.open().ok());
    EXPECT_EQ(run_loop(win), (Log{"open-window", "close-window"}));
  }
}

TEST(Window, TimerRunsBatchesWhileNoInputWaitsAndCancelIsServedBetween) {
  // A batch run: no actions at all, the timer drives the run to its end.
  {
    Scripted sc("");
    ProgressWindow pw;
    ASSERT_TRUE(pw.open("Printing Report", "", "% Completed").ok());
    pw.set_total(100);
    int batches = 0;
    Event ev;
    while (pw.accept(ev)) {
      if (ev.is(EventKind::Timer)) {
        for (int i = 0; i < 25; ++i) pw.record_read();
        if (++batches == 4) pw.window().post(EventKind::CloseWindow);
      }
    }
    EXPECT_EQ(batches, 4);
    EXPECT_EQ(pw.percent(), 100);
    EXPECT_EQ(pw.window().text(kProgressPctText), "100% Completed");
    EXPECT_TRUE(sc.fe.finish().ok());
  }
  // Input waiting: Cancel comes before any batch.
  {
    Scripted sc("press Cancel\n");
    ProgressWindow pw;
    ASSERT_TRUE(pw.open("Printing Report", "", "% Completed").ok());
    Log log;
    Event ev;
    while (pw.accept(ev)) {
      log.push_back(event_kind_name(ev.kind));
      if (pw.is_cancel(ev)) pw.window().post(EventKind::CloseWindow);
    }
    EXPECT_EQ(log, (Log{"open-window", "accepted", "close-window"}));
  }
}

TEST(ProgressWindow, LayoutAndPercentage) {
  WindowDef def = progress_window_def();
  EXPECT_EQ(def.w, 162);
  EXPECT_EQ(def.h, 64);
  EXPECT_TRUE(def.centred);
  EXPECT_EQ(def.timer, 1);
  const ControlDef& bar = def.controls[static_cast<size_t>(def.find(kProgressThermometer))];
  EXPECT_TRUE(bar.hidden);
  EXPECT_EQ(bar.at.x, 25);
  EXPECT_EQ(def.controls[static_cast<size_t>(def.find(kProgressCancel))].text, "Cancel");

  Scripted sc("");
  ProgressWindow pw;
  ASSERT_TRUE(pw.open("Generating Report", "", "% Completed").ok());
  EXPECT_FALSE(pw.window().hidden(kProgressThermometer));
  EXPECT_EQ(pw.window().title(), "Generating Report");
  pw.set_total(3);
  pw.record_read();
  EXPECT_EQ(pw.percent(), 33);  // truncated, not rounded
  EXPECT_EQ(pw.window().text(kProgressPctText), " 33% Completed");
  EXPECT_EQ(pw.window().progress(kProgressThermometer), 33);
  pw.record_read();
  pw.record_read();
  pw.record_read();  // more records than counted: capped
  EXPECT_EQ(pw.percent(), 100);
  pw.window().close();

  ProgressWindow empty;
  ASSERT_TRUE(empty.open("Generating Report", "", "% Completed").ok());
  empty.set_total(0);
  empty.record_read();
  EXPECT_EQ(empty.percent(), 100);
}

TEST(Window, AcceptAllPassRunsEveryControlThenCompletes) {
  Scripted sc("press &Print\npress &Print\npress Cancel\n");
  OptionVars v;
  Window win(option_window());
  v.bind(win);
  ASSERT_TRUE(win.open().ok());
  int pass = 0;
  bool in_pass_seen = false;
  Log log = run_loop(win, [&](Window& w, const Event& ev) {
    if (ev.is(EventKind::Accepted, "?Print")) {
      ++pass;
      w.accept_all();
    }
    if (ev.is(EventKind::Accepted, "?Glo:Minority")) in_pass_seen = w.in_accept_all();
    // In the second pass the spin "fails its lookup" and keeps the focus: the pass stops.
    if (pass == 2 && ev.is(EventKind::Accepted, "?LOC:DXMOVE")) w.select("?LOC:DXMOVE");
  });
  EXPECT_TRUE(in_pass_seen);
  EXPECT_EQ(log, (Log{"open-window", "accepted ?Print", "accepted ?Glo:BID_ID",
                      "accepted ?LOC:DXMOVE", "accepted ?Glo:Minority", "accepted ?PrintBids",
                      "accepted ?Glo:Remarks", "completed",
                      "accepted ?Print", "accepted ?Glo:BID_ID", "accepted ?LOC:DXMOVE",
                      "selected ?LOC:DXMOVE", "accepted ?Cancel", "close-window"}));
}

TEST(Window, CheckBoxesOptionGroupsAndSpinsStoreTheirValues) {
  Scripted sc(
      "press Minority\n"
      "press WON\n"
      "spin ?LOC:DXMOVE up 3\n"
      "expect ?LOC:DXMOVE 0.30\n"
      "type ?LOC:DXMOVE 2.45\n"
      "spin ?LOC:DXMOVE up\n"  // 2.55 is past the top: stays at 2.5
      "press Minority\n"
      "press Cancel\n");
  OptionVars v;
  Window win(option_window());
  v.bind(win);
  ASSERT_TRUE(win.open().ok());
  std::vector<std::string> seen;
  Log log = run_loop(win, [&](Window& w, const Event& ev) {
    if (ev.is(EventKind::Accepted, "?Glo:Minority")) seen.push_back(v.minority.str());
    if (ev.is(EventKind::Accepted, "?PrintBids")) seen.push_back(v.print_bids.str());
    if (ev.is(EventKind::NewSelection, "?LOC:DXMOVE")) seen.push_back(v.dx().ToFixed(2));
    (void)w;
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"Y", "WON", "0.30", "2.50", "N"}));
  EXPECT_EQ(v.dx(), D("2.5"));
  EXPECT_TRUE(sc.fe.finish().ok()) << sc.fe.finish().ToString();
}

TEST(Window, CheckBoxWithoutValuesLeavesTextVariableBlankWhenUnchecked) {
  Scripted sc("press Brand\npress Brand\npress Cancel\n");
  Str<1> brand;
  int32_t history = 0;
  Window win(WindowBuilder("Checks", 100, 60)
                 .check("", "Brand", "Glo:Brand", {5, 5})
                 .check("", "History", "Glo:History", {5, 20})
                 .button("", "Cancel", {5, 40, 40, 12})
                 .build());
  win.bind("Glo:Brand", VarRef::String(brand.data(), 1));
  win.bind("Glo:History", VarRef::Long(&history));
  ASSERT_TRUE(win.open().ok());
  std::vector<std::string> seen;
  run_loop(win, [&](Window&, const Event& ev) {
    if (ev.is(EventKind::Accepted, "?Glo:Brand")) seen.push_back("[" + brand.str() + "]");
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"[1]", "[]"}));
}

TEST(Window, AlertKeyOnEntryAndKeysElsewhere) {
  Scripted sc(
      "key F2 ?Glo:BID_ID\n"
      "key F2 Minority\n"  // not alerted there: nothing
      "press Cancel\n");
  OptionVars v;
  Window win(option_window());
  v.bind(win);
  ASSERT_TRUE(win.open().ok());
  EXPECT_EQ(run_loop(win), (Log{"open-window", "selected ?Glo:BID_ID", "alert-key ?Glo:BID_ID F2",
                                "selected ?Glo:Minority", "accepted ?Cancel", "close-window"}));
  EXPECT_EQ(last_key(), Key::F2);
  clear_last_key();
}

TEST(Window, HiddenAndDisabledControlsCannotBeUsed) {
  Scripted sc("press Minority\n");
  OptionVars v;
  Window win(option_window());
  v.bind(win);
  ASSERT_TRUE(win.open().ok());
  Log log = run_loop(win, [](Window& w, const Event& ev) {
    if (ev.is(EventKind::OpenWindow)) w.hide("?Glo:Minority");
  });
  EXPECT_EQ(log, (Log{"open-window"}));
  EXPECT_NE(sc.fe.finish().text().find("?Glo:Minority in window \"Options\" is hidden"),
            std::string::npos)
      << sc.fe.finish().text();
  // A radio inside a hidden option is hidden too.
  OptionVars v2;
  Window w2(option_window());
  v2.bind(w2);
  ASSERT_TRUE(w2.open().ok());
  w2.hide("?PrintBids");
  EXPECT_TRUE(w2.hidden("?WON"));
}

TEST(Window, ListRowsDoubleClickAndScroll) {
  Scripted sc(
      "select ?Browse 2\n"
      "dblclick ?Browse 3\n"
      "scroll ?Browse pgdn\n"
      "scroll ?Browse drag 40\n"
      "press Close\n");
  Window win(WindowBuilder("Mark Products", 314, 159)
                 .list("?Browse", {3, 6, 307, 132})
                 .msg("Browsing Records")
                 .column(10, Justify::Center, "@s1")
                 .column(56, Justify::Left, "@s14", "Product Code")
                 .button("", "Close", {267, 143, 42, 12})
                 .build());
  ASSERT_TRUE(win.open().ok());
  win.set_list_rows("?Browse", {{"", "A1"}, {"X", "A2"}, {"", "A3"}});
  std::vector<int> rows;
  Log log;
  Event ev;
  while (win.accept(ev)) {
    std::string s = event_kind_name(ev.kind);
    if (ev.is(EventKind::Scroll)) s += ev.scroll == ScrollKind::PageDown ? " pgdn" : " drag " + std::to_string(ev.drag_percent);
    if (ev.key == Key::MouseLeft2) s += " double";
    log.push_back(s);
    if (ev.label == "?Browse") rows.push_back(win.list_selection("?Browse"));
    if (ev.is(EventKind::Accepted, "?Close")) win.post(EventKind::CloseWindow);
  }
  EXPECT_EQ(log, (Log{"open-window", "new-selection", "accepted double", "scroll pgdn",
                      "scroll drag 40", "accepted", "close-window"}));
  EXPECT_EQ(rows, (std::vector<int>{2, 3, 3, 3}));
  EXPECT_EQ(win.list_page_rows("?Browse"), 15);  // 132 / 8 rows, less one for the headings
}

TEST(Window, PressesOfAFramesToolbarComeToTheWindowThatUsesThem) {
  Scripted sc("press 2004\npress ?TbPrior\npress Close\n");
  WindowDef frame_def = WindowBuilder("Tendix", 400, 300)
                            .button("?TbLast", "", {0, 0, 10, 10}).id(2004).disabled()
                            .button("?TbPrior", "", {10, 0, 10, 10}).id(2007).disabled()
                            .button("?TbHelp", "", {20, 0, 10, 10}).id(2012)
                            .build();
  Window frame(frame_def);
  ASSERT_TRUE(frame.open().ok());
  Window win(WindowBuilder("Mark Products", 314, 159).button("", "Close", {5, 5, 40, 12}).build());
  ASSERT_TRUE(win.open().ok());
  win.use_controls_of(frame, {2004, 2007});
  win.enable("?TbLast");
  win.enable("?TbPrior");
  win.set_tip("?TbLast", "Go to the Last Page");
  EXPECT_FALSE(frame.disabled("?TbLast"));
  EXPECT_EQ(frame.control_state(2004)->tip, "Go to the Last Page");
  std::vector<int> pressed;
  run_loop(win, [&](Window& w, const Event& ev) {
    if (ev.is(EventKind::Accepted) && ev.control >= 2000) pressed.push_back(ev.control);
    if (ev.is(EventKind::Accepted, "?Close")) w.post(EventKind::CloseWindow);
  });
  EXPECT_EQ(pressed, (std::vector<int>{2004, 2007}));
  EXPECT_TRUE(sc.fe.finish().ok()) << sc.fe.finish().ToString();
}

TEST(Window, OpenChecksBindingsAndDeclarationsAreChecked) {
  Window win(option_window());
  Status s = win.open();
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.text().find("Glo:BID_ID"), std::string::npos);

  WindowDef dup;
  dup.title = "Dup";
  dup.controls.resize(2);
  dup.controls[0].label = "?A";
  dup.controls[1].label = "?a";
  EXPECT_FALSE(dup.finish().ok());

  WindowDef stray;
  stray.title = "Stray";
  stray.controls.resize(1);
  stray.controls[0].kind = ControlKind::Radio;
  stray.controls[0].text = "X";
  EXPECT_FALSE(stray.finish().ok());
}

TEST(Window, TitleChangesAndCloseCanBeRefused) {
  Scripted sc("press Cancel\npress Cancel\n");
  OptionVars v;
  Window win(option_window());
  v.bind(win);
  ASSERT_TRUE(win.open().ok());
  int closes = 0;
  run_loop(win, [&](Window& w, const Event& ev) {
    if (ev.is(EventKind::OpenWindow)) w.set_title("Brand Options");
    // The first close is refused (a letter window asking to save and the user choosing Cancel).
    if (ev.is(EventKind::CloseWindow) && ++closes == 1) w.keep_open();
  });
  EXPECT_EQ(closes, 2);
  EXPECT_EQ(sc.fe.transcript(),
            "window \"Options\"\n"
            "  title \"Brand Options\"\n"
            "  > press Cancel\n"
            "  > press Cancel\n"
            "close \"Brand Options\"\n");
}

}  // namespace
}  // namespace tdx::ui
