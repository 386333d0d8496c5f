// The text form of window declarations: a letter window read back whole, and errors by line.
#include <gtest/gtest.h>

#include "runtime/ui/window_text.h"

namespace tdx::ui {
namespace {

constexpr const char* kLetter = R"(# The award information letter
window "Award Info Letter" 296 188 help="~AwardInfoLetter" font="MS Sans Serif",8
| kind   | label       | text                 | variable   | picture | at            | attributes |
|--------|-------------|----------------------|------------|---------|---------------|------------|
| entry  | -           |                      | AWA:AGENCY | @s36    | 77,5,-,10     | hint="Agency Name" alert=F2 |
| prompt | -           | "Agency:"            | -          | -       | 8,5,65,10     | |
| spin   | ?DX         |                      | LOC:DXMOVE | @n-6.2  | 77,36,36,10   | range=-1,2.5,0.1 |
| text   | -           |                      | AWA:LETTER | -       | 7,50,277,117  | |
| check  | -           | "Minority"           | Glo:Minority | -     | 61,87         | values="Y","N" |
| option | ?PrintBids  | "Print Bids"         | Glo:PrintBids | -    | 44,143,133,21 | |
| radio  | -           | "ALL"                | -          | -       | 50,150        | value=ALL |
| radio  | -           | "WON"                | -          | -       | 80,150        | value=WON |
| list   | ?Browse     | "Browsing Records"   | -          | -       | 3,6,307,132   | column=10,center,@s1 column=56,left,@s14,"Product Code" |
| button | -           | "&Print"             | -          | -       | 195,170,42,12 | |
| button | ?TbLast     | ""                   | -          | -       | 0,0,10,10     | id=2004 disabled tip="Go to the Last Page" |
)";

TEST(WindowText, ReadsAWholeWindow) {
  auto r = parse_window(kLetter, "letter.window");
  ASSERT_TRUE(r.ok()) << r.status().ToString();
  const WindowDef& d = *r;
  EXPECT_EQ(d.title, "Award Info Letter");
  EXPECT_EQ(d.w, 296);
  EXPECT_EQ(d.h, 188);
  EXPECT_EQ(d.help, "~AwardInfoLetter");
  EXPECT_EQ(d.font.name, "MS Sans Serif");
  EXPECT_EQ(d.font.size, 8);
  ASSERT_EQ(d.controls.size(), 11u);
  const ControlDef& agency = d.controls[0];
  EXPECT_EQ(agency.label, "?AWA:AGENCY");
  EXPECT_EQ(agency.at.w, -1);
  EXPECT_EQ(agency.msg, "Agency Name");
  EXPECT_EQ(agency.tip, "Agency Name");
  ASSERT_EQ(agency.alerts.size(), 1u);
  EXPECT_EQ(agency.alerts[0], Key::F2);
  const ControlDef& dx = d.controls[static_cast<size_t>(d.find("?DX"))];
  EXPECT_EQ(dx.low, Decimal::Parse("-1").value());
  EXPECT_EQ(dx.high, Decimal::Parse("2.5").value());
  EXPECT_EQ(dx.step, Decimal::Parse("0.1").value());
  const ControlDef& check = d.controls[static_cast<size_t>(d.find("?Glo:Minority"))];
  EXPECT_EQ(check.true_value, "Y");
  EXPECT_EQ(check.false_value, "N");
  EXPECT_EQ(d.controls[static_cast<size_t>(d.find("?WON"))].parent, "?PrintBids");
  const ControlDef& list = d.controls[static_cast<size_t>(d.find("?Browse"))];
  ASSERT_EQ(list.columns.size(), 2u);
  EXPECT_EQ(list.columns[0].justify, Justify::Center);
  EXPECT_EQ(list.columns[1].heading, "Product Code");
  const ControlDef& tb = d.controls[static_cast<size_t>(d.find("?TbLast"))];
  EXPECT_EQ(tb.id, 2004);
  EXPECT_TRUE(tb.disabled);
  EXPECT_EQ(d.controls[static_cast<size_t>(d.find("?Print"))].text, "&Print");
}

TEST(WindowText, ErrorsNameTheLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"| entry | - | | X | @s2 | 1,1 |\n", "w:1: control row before the window line"},
      {"window Title 10 10\n", "w:1: window needs a quoted title"},
      {"window \"T\" 10 10 colour=red\n", "w:1: unknown window attribute"},
      {"window \"T\" 10 10\n| blob | - | | | | 1,1 |\n", "w:2: unknown control kind \"blob\""},
      {"window \"T\" 10 10\n| entry | - | | X | @s2 | 1 |\n", "w:2: at needs x,y"},
      {"window \"T\" 10 10\n| entry | - | | X | @s2 | 1,1 | sparkle |\n",
       "w:2: unknown attribute \"sparkle\""},
      {"window \"T\" 10 10\n| spin | - | | X | @n3 | 1,1 | range=5,1 |\n", "w:2: bad range"},
      {"window \"T\" 10 10\n| entry | - | | X | @s2 | 1,1 | alert=F99 |\n",
       "w:2: unknown key \"F99\""},
      {"window \"T\" 10 10\n| radio | - | \"A\" | | | 1,1 |\n", "w: window \"T\": radio"},
  };
  for (const auto& c : cases) {
    auto r = parse_window(c.text, "w");
    ASSERT_FALSE(r.ok()) << c.text;
    EXPECT_EQ(r.status().text().rfind(c.error, 0), 0u) << r.status().text();
  }
}

}  // namespace
}  // namespace tdx::ui
