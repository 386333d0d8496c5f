// Message boxes: every button list the system uses maps the button pressed to its number, and
// the standard buttons map to their flags.
#include <gtest/gtest.h>

#include "runtime/ui/message_box.h"
#include "runtime/ui/scripted_frontend.h"

namespace tdx::ui {
namespace {

struct ListCase {
  const char* buttons;
  const char* answer;
  int expected;
};

TEST(MessageBox, ButtonListAnswersAreNumberedFromOne) {
  const ListCase cases[] = {
      {"&Yes|&No|&Cancel", "Yes", 1},  {"&Yes|&No|&Cancel", "No", 2},
      {"&Yes|&No|&Cancel", "Cancel", 3}, {"&No|&Yes", "No", 1},
      {"&No|&Yes", "Yes", 2},          {"&No|&Yes|&Ignore", "No", 1},
      {"&No|&Yes|&Ignore", "Yes", 2},  {"&No|&Yes|&Ignore", "Ignore", 3},
      {"&Ok", "Ok", 1},                {"&Ok", "&ok", 1},
      {"&No|&Yes|&Ignore", "#3", 3},   {"DEL && FOB|Other", "DEL & FOB", 1},
  };
  for (const auto& c : cases) {
    ScriptedFrontend fe;
    ASSERT_TRUE(fe.load(std::string("answer ") + c.answer).ok());
    ScopedFrontend scope(&fe);
    EXPECT_EQ(message("Question text", "Question", Icon::Exclamation, c.buttons, 1), c.expected)
        << c.buttons << " / " << c.answer;
    EXPECT_TRUE(fe.finish().ok()) << fe.finish().ToString();
  }
}

struct StdCase {
  int flags;
  int default_flag;
  const char* answer;
  int expected;
  const char* shown;  // button list a person sees
};

TEST(MessageBox, StandardButtonsAnswerWithTheirFlags) {
  const StdCase cases[] = {
      {button::kOk, button::kOk, "OK", button::kOk, "&OK"},
      {button::kYes | button::kNo, button::kYes, "Yes", button::kYes, "&Yes|&No"},
      {button::kYes | button::kNo, button::kYes, "No", button::kNo, "&Yes|&No"},
      {button::kYes | button::kNo | button::kCancel, button::kCancel, "Cancel", button::kCancel,
       "&Yes|&No|Cancel"},
      {button::kYes | button::kNo | button::kCancel, button::kNo, "No", button::kNo,
       "&Yes|&No|Cancel"},
  };
  for (const auto& c : cases) {
    ScriptedFrontend fe;
    ASSERT_TRUE(fe.load(std::string("answer ") + c.answer).ok());
    ScopedFrontend scope(&fe);
    EXPECT_EQ(message_std("Text", "Caption", Icon::Information, c.flags, c.default_flag),
              c.expected);
    EXPECT_NE(fe.transcript().find(std::string("buttons \"") + c.shown + "\""), std::string::npos)
        << fe.transcript();
  }
}

TEST(MessageBox, DefaultButtonIsShownAndTextKeepsLineBreaks) {
  ScriptedFrontend fe;
  ASSERT_TRUE(fe.load("answer Ignore").ok());
  ScopedFrontend scope(&fe);
  message("Report Cancellation Requested!||Preview Report generated so far?", "Question",
          Icon::Exclamation, "&No|&Yes|&Ignore", 1);
  EXPECT_EQ(fe.transcript(),
            "message \"Question\" [exclamation] \"Report Cancellation Requested!||Preview Report "
            "generated so far?\" buttons \"&No|&Yes|&Ignore\" default 1 -> 3 \"&Ignore\"\n");
  EXPECT_EQ(message_lines("a||b"), (std::vector<std::string>{"a", "", "b"}));
}

TEST(MessageBox, UnansweredBoxFailsTheScriptWithItsText) {
  ScriptedFrontend fe;
  ASSERT_TRUE(fe.load("press Print").ok());
  ScopedFrontend scope(&fe);
  int n = message("Nothing to Preview.", "NOTE...", Icon::Information, "&Ok", 1);
  EXPECT_EQ(n, 1);  // the default, so the caller unwinds
  Status s = fe.finish();
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.text().find("Nothing to Preview."), std::string::npos) << s.text();
  EXPECT_NE(s.text().find("NOTE..."), std::string::npos) << s.text();
  // Later questions are not asked of the script any more.
  EXPECT_EQ(message("Again", "X", Icon::None, "&No|&Yes", 2), 2);
}

TEST(MessageBox, AnswerNamingNoButtonFails) {
  ScriptedFrontend fe;
  ASSERT_TRUE(fe.load("answer Maybe").ok());
  ScopedFrontend scope(&fe);
  EXPECT_EQ(message("Sure?", "Question", Icon::Question, "&No|&Yes", 1), 1);
  EXPECT_NE(fe.finish().text().find("has no button \"Maybe\""), std::string::npos);
}

TEST(MessageBox, WithoutAFrontendTheRunFailsInsteadOfWaiting) {
  set_current_frontend(nullptr);
  EXPECT_EQ(message("Text", "Caption", Icon::None, "&Yes|&No", 2), 2);
  EXPECT_TRUE(current_frontend().failed());
}

}  // namespace
}  // namespace tdx::ui
