// Report engine: layout parsing, filling and pagination on small layouts.
#include <gtest/gtest.h>

#include "runtime/report/page_queue.h"
#include "runtime/report/rowfile.h"
#include "runtime/report/wmf.h"
#include "tests/runtime/report/fixture.h"

namespace tdx::report {
namespace {

using testing::find_text;
using testing::must_open;
using testing::must_parse;
using testing::texts;
using testing::top_of;
using testing::Vars;

// ---- The text form -------------------------------------------------------------------------

TEST(LayoutParse, ReadsATableLikeTheDesignTables) {
  Layout l = must_parse(R"(
report title="ProductListPrint" body=510,1010,7500,9240 font="Arial 8"
header at=500,500,7500,510
| kind  | label | text or field      | picture | x    | y   | w    | h   | notes                 |
|-------|-------|--------------------|---------|------|-----|------|-----|-----------------------|
| text  |       | "Run:"             |         | 73   | 52  | -    | -   |                       |
| text  | ?TTL  | "Bid Product | Rpt" |        | 2406 | 240 | 2698 | 198 | Arial 10 bold, centred |
band ?DETAILBAND
| field |       | PRD:PROD_CODE      | @s14    | 563  | 10  | -    | -   |                       |
| field |       | PRD:GROSS_WT       | @n-10.2 | 1823 | 167 | 531  | 167 | right, hidden at start |
band height=281
| line  |       |                    |         | 10   | 10  | 7479 | 0   | pen=20                |
)");
  EXPECT_EQ(l.title, "ProductListPrint");
  EXPECT_EQ(l.body_y, 1010);
  ASSERT_TRUE(l.header.has_value());
  ASSERT_EQ(l.header->controls.size(), 2u);
  const Control& t = l.header->controls[1];
  EXPECT_EQ(t.text, "Bid Product | Rpt");
  EXPECT_EQ(t.justify, Justify::Centre);
  EXPECT_EQ(*t.font.face, "Arial");
  EXPECT_EQ(*t.font.size, 10);
  EXPECT_TRUE(*t.font.bold);
  ASSERT_EQ(l.bands.size(), 2u);
  EXPECT_EQ(l.bands[0].label, "?DETAILBAND");
  EXPECT_EQ(l.bands[0].controls[0].w, kAuto);
  EXPECT_TRUE(l.bands[0].controls[1].hidden);
  EXPECT_EQ(l.bands[1].h, 281);
  EXPECT_EQ(l.bands[1].controls[0].pen, 20);
}

TEST(LayoutParse, ErrorsNameFileAndLine) {
  struct Case {
    const char* text;
    const char* want;  // part of the message
  } cases[] = {
      {"report body=1,2,3\n", "test.layout:1: bad body rectangle"},
      {"band\n| text | | \"a\" | | 1 | 2 | - |\n", "test.layout:2: a control row needs"},
      {"band\n| text | | noquote | | 1 | 2 | - | - |\n", "test.layout:2: a text needs a quoted"},
      {"\n\nband\n| blob | | | | 1 | 2 | - | - |\n", "test.layout:4: unknown control kind"},
      {"band\n| text | | \"a\" | | x | 2 | - | - |\n", "test.layout:2: bad number 'x'"},
      {"band\n| text | | \"a\" | | 1 | 2 | - | - | sparkly |\n", "unknown attribute 'sparkly'"},
      {"| text | | \"a\" | | 1 | 2 | - | - |\n", "test.layout:1: control outside"},
      {"band\n| text | | \"open | | 1 | 2 | - | - |\n", "test.layout:2: unterminated quote"},
      {"break by=X\nband\n", "break without end"},
      {"band\n| group | ?G | | | 0 | 0 | 10 | 10 |\nband\n", "group without end"},
      {"band ?A\nband ?a\n", "test.layout:2: duplicate band"},
      {"band\n| box | | | | 0 | 0 | - | 10 |\n", "needs a width and a height"},
      {"band\n| text | | \"a\" | @s3 | 0 | 0 | - | - |\n", "only fields take a picture"},
  };
  for (const Case& c : cases) {
    auto l = parse_layout(c.text, "test.layout");
    ASSERT_FALSE(l.ok()) << c.text;
    EXPECT_NE(l.status().text().find(c.want), std::string::npos)
        << c.text << " -> " << l.status().text();
  }
}

TEST(LayoutParse, UnknownVariableFailsAtOpen) {
  Layout l = must_parse("band\n| field | | NOPE | @s5 | 0 | 0 | - | - |\n");
  Vars v;
  auto r = Report::Open(l, v.resolver());
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.status().text().find("test.layout:2: unknown variable NOPE"), std::string::npos);
}

// ---- Filling --------------------------------------------------------------------------------

constexpr const char* kSmall = R"(
report body=500,1000,7500,1000 font="Arial 8"
header at=500,500,7500,400
| text  |       | "HEAD"  |         | 100 | 50  | -   | -   |      |
| field |       | #PAGE   | @N4     | 7000| 50  | -   | -   | left |
band ?ROW height=300
| text  | ?T    | "row"   |         | 10  | 20  | -   | -   |      |
| field |       | NAME    | @s20    | 1000| 20  | -   | -   |      |
| line  |       |         |         | 0   | 290 | 7500| 0   |      |
| box   | ?BOX  |         |         | 5000| 10  | 500 | 200 |      |
footer at=500,10250,7500,250
| text  |       | "FOOT"  |         | 0   | 0   | -   | -   |      |
)";

TEST(Fill, PlacesTextsLinesAndBoxesOnThePage) {
  Vars v;
  v.text("NAME", "Acme");
  auto r = must_open(must_parse(kSmall), v);
  ASSERT_TRUE(r->print("?ROW").ok());
  ASSERT_TRUE(r->close().ok());
  ASSERT_EQ(r->pages().size(), 1u);
  const Page& p = r->pages()[0];
  EXPECT_EQ(p.width, 8500);
  EXPECT_EQ(p.height, 11000);
  const TextRun* head = find_text(p, "HEAD");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->x, 600);
  EXPECT_EQ(top_of(*head), 550);
  const TextRun* row = find_text(p, "row");
  ASSERT_TRUE(row);
  EXPECT_EQ(row->x, 510);
  EXPECT_EQ(top_of(*row), 1020);
  const TextRun* name = find_text(p, "Acme");
  ASSERT_TRUE(name);
  EXPECT_EQ(name->x, 1500);
  ASSERT_TRUE(find_text(p, "1"));  // page number, left-justified at 7500
  EXPECT_EQ(find_text(p, "1")->x, 7500);
  const TextRun* foot = find_text(p, "FOOT");
  ASSERT_TRUE(foot);
  EXPECT_EQ(top_of(*foot), 10250);
  int lines = 0, boxes = 0;
  for (const auto& it : p.items) {
    if (auto* l = std::get_if<LineItem>(&it)) {
      ++lines;
      EXPECT_EQ(l->x1, 500);
      EXPECT_EQ(l->y1, 1290);
      EXPECT_EQ(l->x2, 8000);
    }
    if (auto* b = std::get_if<BoxItem>(&it)) {
      ++boxes;
      EXPECT_EQ(b->r, (Rect{5500, 1010, 500, 200}));
    }
  }
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(boxes, 1);
}

TEST(Fill, BandThatDoesNotFitStartsANewPageWithTheHeaderRepeated) {
  Vars v;
  v.text("NAME", "x");
  auto r = must_open(must_parse(kSmall), v);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(r->print("?ROW").ok());
  ASSERT_TRUE(r->close().ok());
  // Body 1000 high, bands 300: three on the first page, the fourth at the top of the second.
  ASSERT_EQ(r->pages().size(), 2u);
  for (int pg = 0; pg < 2; ++pg) {
    const Page& p = r->pages()[pg];
    EXPECT_TRUE(find_text(p, "HEAD")) << pg;
    EXPECT_TRUE(find_text(p, "FOOT")) << pg;
    EXPECT_TRUE(find_text(p, std::to_string(pg + 1))) << pg;
  }
  int rows0 = 0;
  for (auto* t : texts(r->pages()[0])) rows0 += t->text == "row";
  EXPECT_EQ(rows0, 3);
  EXPECT_EQ(top_of(*find_text(r->pages()[1], "row")), 1020);
}

TEST(Fill, HiddenControlsAndGroupsPrintNothing) {
  Layout l = must_parse(R"(
report body=500,1000,7500,9000
band ?B
| text  | ?A    | "alpha" |  | 0   | 0   | -   | -   |        |
| group | ?G    |         |  | 0   | 200 | 3000| 400 | boxed  |
| text  |       | "inner" |  | 10  | 210 | -   | -   |        |
| end   |       |         |  |     |     |     |     |        |
| text  |       | "after" |  | 10  | 700 | -   | -   | hidden |
)");
  Vars v;
  auto r = must_open(l, v);
  ASSERT_TRUE(r->print("?B").ok());
  ASSERT_TRUE(r->set_hidden("?A", true).ok());
  ASSERT_TRUE(r->set_hidden("?G", true).ok());
  ASSERT_TRUE(r->print("?B").ok());
  ASSERT_TRUE(r->close().ok());
  const Page& p = r->pages()[0];
  int alpha = 0, inner = 0, boxes = 0;
  for (auto* t : texts(p)) alpha += t->text == "alpha", inner += t->text == "inner";
  for (const auto& it : p.items) boxes += std::holds_alternative<BoxItem>(it);
  EXPECT_EQ(alpha, 1);
  EXPECT_EQ(inner, 1);
  EXPECT_EQ(boxes, 1);
  EXPECT_FALSE(find_text(p, "after"));
  // The second band shrank to what is visible: nothing, so it took no room.
  EXPECT_TRUE(r->set_hidden("?NOSUCH", true).code() != 0);
}

TEST(Fill, TextBoxWrapsOnWordsAndGrowsItsBand) {
  Layout l = must_parse(R"(
report body=500,1000,7500,9000
band ?MSG height=200
| textbox |     | MEMO  |  | 100 | 10 | 800  | -  |  |
band ?NEXT
| text    |     | "next"|  | 0   | 0  | -    | -  |  |
)");
  Vars v;
  v.text("MEMO", "one two three four five six seven eight nine ten");
  auto r = must_open(l, v);
  ASSERT_TRUE(r->print("?MSG").ok());
  ASSERT_TRUE(r->print("?NEXT").ok());
  ASSERT_TRUE(r->close().ok());
  const Page& p = r->pages()[0];
  std::vector<const TextRun*> lines;
  std::string joined;
  for (auto* t : texts(p)) {
    if (t->text == "next") continue;
    lines.push_back(t);
    EXPECT_LE(text_width(t->font, t->text), 800) << t->text;
    joined += (joined.empty() ? "" : " ") + t->text;
  }
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(joined, "one two three four five six seven eight nine ten");  // no word cut
  const int lh = line_height(lines[0]->font);
  const TextRun* next = find_text(p, "next");
  ASSERT_TRUE(next);
  EXPECT_EQ(top_of(*next), 1000 + 10 + static_cast<int>(lines.size()) * lh);

  // With a maximum height the band keeps its height and the text is cut at it.
  auto r2 = must_open(l, v);
  ASSERT_TRUE(r2->set_max_height("?MSG", 200).ok());
  ASSERT_TRUE(r2->print("?MSG").ok());
  ASSERT_TRUE(r2->print("?NEXT").ok());
  ASSERT_TRUE(r2->close().ok());
  EXPECT_EQ(top_of(*find_text(r2->pages()[0], "next")), 1200);
}

TEST(Fill, PicturesFormatFieldsAndBlankZeroPrintsNothing) {
  Layout l = must_parse(R"(
band ?B
| field | | AMOUNT | @n13.4b   | 0 | 0   | 1500 | - | |
| field | | PRICE  | @n$-15.4  | 0 | 200 | 1500 | - | |
)");
  Vars v;
  v.number("AMOUNT", 0);
  v.number("PRICE", -1234.5);
  auto r = must_open(l, v);
  ASSERT_TRUE(r->print("?B").ok());
  v.number("AMOUNT", 2.5);
  ASSERT_TRUE(r->print("?B").ok());
  ASSERT_TRUE(r->close().ok());
  const Page& p = r->pages()[0];
  std::vector<std::string> got;
  for (auto* t : texts(p)) got.push_back(t->text);
  // First band: the zero amount is not drawn at all; second band: it is.
  EXPECT_EQ(got, (std::vector<std::string>{"$-1,234.5000", "2.5000", "$-1,234.5000"}));
  // Numbers are right-justified by default: the right ends line up.
  const TextRun* a = find_text(p, "2.5000");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->x + text_width(a->font, a->text), 1500 + 500);
}

TEST(Fill, DecimalJustificationAlignsOnThePoint) {
  Layout l = must_parse(R"(
band ?B
| field | | N | @n-12.2 | 1000 | 0 | 2000 | - | decimal |
| field | | M | @n-12.1 | 1000 | 200 | 2000 | - | decimal=300 |
)");
  Vars v;
  double values[] = {1.5, 12345.25, -7};
  std::vector<int> points_n, points_m;
  for (double d : values) {
    v.number("N", d);
    v.number("M", d);
    auto r = must_open(l, v);
    ASSERT_TRUE(r->print("?B").ok());
    ASSERT_TRUE(r->close().ok());
    auto ts = texts(r->pages()[0]);
    ASSERT_EQ(ts.size(), 2u);
    for (int k = 0; k < 2; ++k) {
      const TextRun* t = ts[k];
      std::string s = t->text;
      size_t start = s.find_first_not_of(' ');
      size_t dot = s.find('.');
      ASSERT_NE(dot, std::string::npos) << s;
      int x = t->x + text_width(t->font, s.substr(0, dot));
      (k == 0 ? points_n : points_m).push_back(x);
      (void)start;
    }
  }
  for (int x : points_n) EXPECT_EQ(x, points_n[0]);
  for (int x : points_m) EXPECT_EQ(x, 500 + 1000 + 2000 - 300);
}

TEST(Fill, NarrowBandsFlowAcrossTheBodyFourToARow) {
  // A cell band 1813 wide at x 10: four fit in 7500 (4 x 1823 = 7292), a fifth starts a row.
  Layout l = must_parse(R"(
report body=500,1000,7500,9000
band ?CELL at=10,10,1813,-
| field | | MSG | @s34 | 10 | 10 | 1740 | 177 | |
band ?FULL
| text  | | "full" |   | 0 | 0 | - | - | |
)");
  Vars v;
  v.text("MSG", "");
  auto r = must_open(l, v);
  for (int i = 1; i <= 6; ++i) {
    v.text("MSG", "c" + std::to_string(i));
    ASSERT_TRUE(r->print("?CELL").ok());
  }
  ASSERT_TRUE(r->print("?FULL").ok());
  ASSERT_TRUE(r->close().ok());
  const Page& p = r->pages()[0];
  auto at = [&](int i) { return find_text(p, "c" + std::to_string(i)); };
  for (int i = 1; i <= 6; ++i) ASSERT_TRUE(at(i)) << i;
  const int row_h = 10 + 10 + 177;
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(at(i)->x, 500 + (i - 1) * 1823 + 10 + 10) << i;
    EXPECT_EQ(top_of(*at(i)), 1000 + 10 + 10) << i;
  }
  EXPECT_EQ(at(5)->x, 500 + 20);
  EXPECT_EQ(top_of(*at(5)), 1000 + row_h + 20);
  EXPECT_EQ(at(6)->x, 500 + 1823 + 20);
  // A full-width band closes the row and goes below it.
  EXPECT_EQ(top_of(*find_text(p, "full")), 1000 + 2 * row_h);
}

TEST(Fill, BandPositionBodyMoveAndKeepWithNext) {
  Layout l = must_parse(R"(
report body=500,1000,7500,1000
band ?HEAD height=300
| text | | "head" | | 0 | 0 | - | - | |
band ?ROW height=400
| text | | "row"  | | 0 | 0 | - | - | |
)");
  Vars v;
  // A band moved up by 250 prints 250 higher, and what follows moves up with it.
  auto r = must_open(l, v);
  ASSERT_TRUE(r->set_position("?HEAD", std::nullopt, -250).ok());
  ASSERT_TRUE(r->print("?HEAD").ok());
  ASSERT_TRUE(r->print("?ROW").ok());
  ASSERT_TRUE(r->close().ok());
  EXPECT_EQ(top_of(*find_text(r->pages()[0], "head")), 750);
  EXPECT_EQ(top_of(*find_text(r->pages()[0], "row")), 1050);

  // The body moved by (dx, dy).
  auto r2 = must_open(l, v);
  r2->move_body(500, -200);
  ASSERT_TRUE(r2->print("?ROW").ok());
  ASSERT_TRUE(r2->close().ok());
  EXPECT_EQ(find_text(r2->pages()[0], "row")->x, 1000);
  EXPECT_EQ(top_of(*find_text(r2->pages()[0], "row")), 800);

  // Keep with next: ROW, ROW fill 800 of 1000; HEAD (300) kept with the next ROW (400) goes to
  // page 2 with it instead of staying alone at the bottom of page 1.
  auto r3 = must_open(l, v);
  ASSERT_TRUE(r3->set_keep_with_next("?HEAD", true).ok());
  ASSERT_TRUE(r3->print("?ROW").ok());
  ASSERT_TRUE(r3->print("?ROW").ok());
  ASSERT_TRUE(r3->print("?HEAD").ok());
  ASSERT_TRUE(r3->print("?ROW").ok());
  ASSERT_TRUE(r3->close().ok());
  ASSERT_EQ(r3->pages().size(), 2u);
  EXPECT_FALSE(find_text(r3->pages()[0], "head"));
  EXPECT_EQ(top_of(*find_text(r3->pages()[1], "head")), 1000);
}

TEST(Fill, BandTallerThanTheBodyIsSplitNotLost) {
  Layout l = must_parse(R"(
report body=500,1000,7500,1000
band ?BIG
| textbox | | MEMO | | 0 | 0 | 7000 | - | |
)");
  Vars v;
  std::string memo;
  for (int i = 0; i < 30; ++i) memo += "line" + std::to_string(i) + "\r\n";
  auto* big = new std::string(memo);
  std::unique_ptr<std::string> owner(big);
  auto resolver = [&](std::string_view) { return VarRef::Memo(big, 4000); };
  auto r = Report::Open(l, resolver);
  ASSERT_TRUE(r.ok()) << r.status().ToString();
  ASSERT_TRUE((*r)->print("?BIG").ok());
  ASSERT_TRUE((*r)->close().ok());
  const auto& pages = (*r)->pages();
  ASSERT_GE(pages.size(), 3u);
  int seen = 0;
  for (const Page& p : pages) {
    for (auto* t : texts(p)) {
      EXPECT_EQ(t->text, "line" + std::to_string(seen));
      EXPECT_GE(top_of(*t), 1000);
      EXPECT_LE(top_of(*t) + line_height(t->font), 2000);
      ++seen;
    }
  }
  EXPECT_EQ(seen, 30);
}

TEST(Fill, NegativeAndOversizedControlsAreClippedAtThePaperEdge) {
  Layout l = must_parse(R"(
report body=500,1000,7500,9000
band ?B
| text | | "left"  | | -600 | 0 | - | - | |
| line | |         | | -1000| 100 | 20000 | 0 | |
| text | | "gone"  | | -5000| 0 | - | - | |
)");
  Vars v;
  auto r = must_open(l, v);
  ASSERT_TRUE(r->print("?B").ok());
  ASSERT_TRUE(r->close().ok());
  const Page& p = r->pages()[0];
  const TextRun* t = find_text(p, "left");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->x, -100);
  EXPECT_TRUE(t->clipped);
  EXPECT_EQ(t->clip.x, 0);
  EXPECT_FALSE(find_text(p, "gone"));
  for (const auto& it : p.items) {
    if (auto* ln = std::get_if<LineItem>(&it)) {
      EXPECT_EQ((std::pair{ln->x1, ln->x2}), (std::pair{0, 8500}));
    }
  }
}

TEST(Fill, RunTimeOperationsByLabel) {
  Layout l = must_parse(R"(
report body=500,1000,7500,9000 font="Arial 8"
band ?B
| text  | ?CAP | "Manufacturer:" | | 0 | 0 | - | - | |
| field |      | PRICE | @s10 | 2000 | 0 | - | - | |
| image | ?SIG | | | 3000 | 0 | 2000 | 375 | |
)");
  Vars v;
  v.text("PRICE", "12.50");
  auto r = must_open(l, v);
  ASSERT_TRUE(r->set_text("?CAP", "Brand:").ok());
  EXPECT_EQ(*r->text("?CAP"), "Brand:");
  EXPECT_EQ(r->set_text("?PRICE", "x").code(), kReportErrorCode);  // a field shows its variable
  EXPECT_EQ(r->text("?PRICE")->substr(0, 5), "12.50");
  ASSERT_TRUE(r->set_font_style("?PRICE", {true, true, false}).ok());
  EXPECT_FALSE(r->set_image("?SIG", "no_such_sig.bmp").ok());  // reported, area left empty
  ASSERT_TRUE(r->print("?B").ok());
  ASSERT_TRUE(r->close().ok());
  const Page& p = r->pages()[0];
  EXPECT_TRUE(find_text(p, "Brand:"));
  const TextRun* price = find_text(p, "12.50");
  ASSERT_TRUE(price);
  EXPECT_TRUE(price->font.bold);
  EXPECT_TRUE(price->font.italic);
  for (const auto& it : p.items) EXPECT_FALSE(std::holds_alternative<ImageItem>(it));
  EXPECT_EQ(r->print("?NONE").code(), kReportErrorCode);
  EXPECT_EQ(r->print_band(9).code(), kReportErrorCode);
}

TEST(Fill, GroupBreakPrintsHeaderAndFooterOnChange) {
  Layout l = must_parse(R"(
report body=500,1000,7500,9000
break ?BRAND by=BRAND
header
| field | | BRAND | @s10 | 0 | 0 | - | - | bold |
band ?DETAIL
| field | | ITEM  | @s10 | 100 | 0 | - | - | |
footer
| text  | | "end of brand" | | 0 | 0 | - | - | |
end
)");
  Vars v;
  v.text("BRAND", "");
  v.text("ITEM", "");
  auto r = must_open(l, v);
  const char* rows[][2] = {{"A", "a1"}, {"A", "a2"}, {"B", "b1"}};
  for (auto& row : rows) {
    v.text("BRAND", row[0]);
    v.text("ITEM", row[1]);
    ASSERT_TRUE(r->print("?DETAIL").ok());
  }
  ASSERT_TRUE(r->close().ok());
  std::vector<std::string> got;
  for (auto* t : texts(r->pages()[0])) got.push_back(t->text);
  EXPECT_EQ(got, (std::vector<std::string>{"A", "a1", "a2", "end of brand", "B", "b1",
                                           "end of brand"}));
}

// ---- Page images and the page queue ---------------------------------------------------------

TEST(PageImage, RoundTripsThroughTheMetafile) {
  Page p;
  p.width = 11000;
  p.height = 8500;
  TextRun t;
  t.x = 100, t.y = 300, t.text = "Caf\xE9 | 1,234.50";
  t.font = {"Tahoma", 167, true, false, true};
  t.color = 0x102030;
  p.items.push_back(t);
  t.text = "clipped";
  t.clipped = true;
  t.clip = {90, 200, 300, 150};
  t.font = {"Arial", 111, false, true, false};
  p.items.push_back(t);
  p.items.push_back(LineItem{10, 20, 7000, 20, 15, 0xFF0000});
  BoxItem b;
  b.r = {500, 600, 700, 800};
  b.width = 10;
  b.filled = true;
  b.fill = 0x00FF00;
  p.items.push_back(b);
  std::vector<uint8_t> bytes = write_wmf(p);
  auto hdr = read_placeable_header(bytes.data(), bytes.size());
  ASSERT_TRUE(hdr.ok());
  EXPECT_EQ(hdr->key, 0x9AC6CDD7u);
  EXPECT_EQ(hdr->right, 11000);
  EXPECT_EQ(hdr->bottom, 8500);
  EXPECT_EQ(hdr->units_per_inch, 1000);
  EXPECT_TRUE(hdr->checksum_ok);
  auto back = read_wmf(bytes.data(), bytes.size());
  ASSERT_TRUE(back.ok()) << back.status().ToString();
  EXPECT_EQ(back->width, 11000);
  ASSERT_EQ(back->items.size(), 4u);
  auto& t0 = std::get<TextRun>(back->items[0]);
  EXPECT_EQ(t0.text, "Caf\xE9 | 1,234.50");
  EXPECT_EQ(t0.font, (FontSpec{"Tahoma", 167, true, false, true}));
  EXPECT_EQ(t0.color, 0x102030u);
  EXPECT_EQ((std::pair{t0.x, t0.y}), (std::pair{100, 300}));
  auto& t1 = std::get<TextRun>(back->items[1]);
  EXPECT_TRUE(t1.clipped);
  EXPECT_EQ(t1.clip, (Rect{90, 200, 300, 150}));
  auto& l = std::get<LineItem>(back->items[2]);
  EXPECT_EQ((std::tuple{l.x1, l.y1, l.x2, l.y2, l.width, l.color}),
            (std::tuple{10, 20, 7000, 20, 15, 0xFF0000u}));
  auto& bx = std::get<BoxItem>(back->items[3]);
  EXPECT_EQ(bx.r, b.r);
  EXPECT_TRUE(bx.filled);
  EXPECT_EQ(bx.fill, 0x00FF00u);
}

TEST(PageImage, DamagedFilesAreErrorsNotCrashes) {
  Page p;
  TextRun t;
  t.text = "hello";
  p.items.push_back(t);
  std::vector<uint8_t> good = write_wmf(p);
  // Every truncation, and a flipped byte at every position, must come back as a value.
  for (size_t n = 0; n < good.size(); ++n) {
    auto r = read_wmf(good.data(), n);
    EXPECT_FALSE(r.ok()) << n;
  }
  for (size_t i = 0; i < good.size(); ++i) {
    std::vector<uint8_t> bad = good;
    bad[i] ^= 0xA5;
    (void)read_wmf(bad.data(), bad.size());
  }
  std::vector<uint8_t> bad = good;
  bad[20] ^= 1;  // checksum
  EXPECT_FALSE(read_wmf(bad.data(), bad.size()).ok());
}

TEST(PageQueue, PageOfPagesIsFilledInAfterTheLastPage) {
  Layout l = must_parse(R"(
report body=500,1000,7500,1000
header at=500,500,7500,300
| text  | | "Page"  |      | 5000 | 0 | -   | - | |
| field | | #PAGE   | @N4  | 5400 | 0 | -   | - | left |
| text  | | "of"    |      | 5800 | 0 | -   | - | |
| field | | #PAGES  | @N4  | 6000 | 0 | 400 | - | right |
band ?ROW height=600
| text  | | "row"   |      | 0    | 0 | -   | - | |
)");
  Vars v;
  auto r = must_open(l, v);
  PageQueue q(folder_namer("."));
  r->set_sink(&q);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(r->print("?ROW").ok());
  ASSERT_TRUE(r->close().ok());
  ASSERT_EQ(q.size(), 3u);
  auto before = read_wmf_file(q.file(0));
  ASSERT_TRUE(before.ok());
  EXPECT_FALSE(find_text(*before, "3"));
  ASSERT_TRUE(q.assign_page_of_pages().ok());
  for (size_t i = 0; i < q.size(); ++i) {
    auto page = read_wmf_file(q.file(i));
    ASSERT_TRUE(page.ok()) << page.status().ToString();
    EXPECT_TRUE(find_text(*page, std::to_string(i + 1)));
    const TextRun* total = nullptr;  // the last "3" of the page: the count, written last
    for (auto* t : texts(*page))
      if (t->text == "3") total = t;
    ASSERT_TRUE(total) << i;
    EXPECT_EQ(total->x + text_width(total->font, "3"), 500 + 6000 + 400);
  }
  ASSERT_TRUE(q.remove_files().ok());
}

TEST(RowFile, CellsQuotesAndRules) {
  auto rows = read_rows("# c\nword key=\"a b\" \"q\"\"x\"\n| a | \"b | c\" | |\n|---|:--|\n", "f");
  ASSERT_TRUE(rows.ok());
  ASSERT_EQ(rows->size(), 2u);
  EXPECT_EQ((*rows)[0].cells, (std::vector<std::string>{"word", "key=\"a b\"", "\"q\"\"x\""}));
  EXPECT_EQ(unquote((*rows)[0].cells[2]), "q\"x");
  EXPECT_EQ((*rows)[1].cells, (std::vector<std::string>{"a", "\"b | c\"", ""}));
  EXPECT_EQ((*rows)[1].line, 3);
}

}  // namespace
}  // namespace tdx::report
