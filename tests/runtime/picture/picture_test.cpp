#include "runtime/picture/picture.h"

#include <gtest/gtest.h>

#include "runtime/datetime/datetime.h"

namespace tdx {
namespace {

Value dec(const char* text) { return Value(*Decimal::Parse(text)); }
Value date(int m, int d, int y) { return Value(make_date(m, d, y)); }
Value tm(int h, int m, int s = 0) { return Value(make_time(h, m, s)); }

struct FormatCase {
  const char* picture;
  Value value;
  const char* expected;
};

// Every picture the layouts and windows use, with the values that show its rules.
TEST(PictureFormat, TableOfCases) {
  const FormatCase cases[] = {
      // Text: cut or padded to the width; numbers in their plain form.
      {"@s2", Value("NY"), "NY"},
      {"@s2", Value("NEW"), "NE"},
      {"@s10", Value("abc"), "abc       "},
      {"@s14", Value(" lead"), " lead         "},
      {"@S6", Value(12), "12    "},
      {"@s4", Value(""), "    "},
      // Grouped numbers, sign only where the value is negative.
      {"@n-13", Value(1234567), "    1,234,567"},
      {"@n-13", Value(-1234567), "   -1,234,567"},
      {"@n-12", Value(0), "           0"},
      {"@n-10.2", dec("1234.5"), "  1,234.50"},
      {"@n-10.2", dec("-0.004"), "      0.00"},  // rounds to zero: no minus
      {"@n-10.2", dec("-0.005"), "     -0.01"},  // half away from zero
      {"@n-10.2", dec("0.5"), "      0.50"},
      {"@n-8.2", dec("-99999.99"), "########"},  // "-99,999.99" needs 10
      {"@n-6", Value(-42), "   -42"},
      {"@n-6.2", dec("2.5"), "  2.50"},
      {"@n-6.2", dec("-1"), " -1.00"},
      {"@n-9", Value(999999), "  999,999"},
      {"@n-10", Value(1000000), " 1,000,000"},
      {"@n$-15.4", dec("1234.5"), "    $1,234.5000"},
      {"@n$-15.4", dec("-1234.56789"), "   $-1,234.5679"},
      {"@n$-15.4", Value(0), "        $0.0000"},
      {"@n$-13.2", dec("-12345678.9"), "#############"},  // "$-12,345,678.90" needs 15
      {"@n$-13.2", dec("1234567.891"), "$1,234,567.89"},
      {"@n-$13.2", dec("-5"), "       -$5.00"},
      // Blank when zero.
      {"@n13.4b", Value(0), "             "},
      {"@n13.4b", dec("0.00004"), "             "},  // shows as zero
      {"@n13.4b", dec("12.25"), "      12.2500"},
      {"@n13.4b", dec("1234567.5"), "#############"},  // "1,234,567.5000" needs 14
      // No "-" in the picture: a negative keeps its minus rather than printing a wrong number.
      {"@n5.2", dec("-1.5"), "-1.50"},
      {"@n5.2", dec("3.14159"), " 3.14"},
      {"@n5.2", Value(100), "#####"},
      {"@n10", Value(1234), "     1,234"},
      // Fill characters: no grouping.
      {"@n_6", Value(1234), "  1234"},
      {"@n_6", Value(123456), "123456"},
      {"@n_6", Value(1234567), "######"},
      {"@N06", Value(42), "000042"},
      {"@N06", Value(123456), "123456"},
      {"@N06", Value(1234567), "######"},
      {"@n-06", Value(-42), "-00042"},
      {"@n*8.2", dec("12.5"), "***12.50"},
      {"@n$*8", Value(12), "$*****12"},
      // Page numbers and percentages: no leading zeros.
      {"@N4", Value(7), "   7"},
      {"@N4", Value(999), " 999"},
      {"@N4", Value(1000), "####"},  // "1,000" needs five
      {"@N3", Value(42), " 42"},
      {"@N3", Value(100), "100"},
      {"@N3", Value(0), "  0"},
      // A REAL and a text value go through their numeric form.
      {"@n-10.2", Value(2.675), "      2.68"},
      {"@n-10.2", Value(" 12.5 "), "     12.50"},
      // Dates: suppressed leading zeros are dropped.
      {"@D1", date(3, 5, 2024), "3/05/24"},
      {"@D1", date(12, 31, 1999), "12/31/99"},
      {"@D1", date(1, 1, 2000), "1/01/00"},
      {"@d2", date(3, 5, 2024), "3/05/2024"},
      {"@d2", date(11, 23, 1801), "11/23/1801"},
      {"@d2", Value(4), "1/01/1801"},
      {"@d2", Value(0), ""},  // no date
      {"@d2", Value(-5), ""},
      {"@d2b", Value(0), ""},
      {"@D2b", date(7, 4, 2023), "7/04/2023"},
      {"@d2b", date(10, 9, 2023), "10/09/2023"},
      {"@D4", date(1, 1, 2024), "January 1, 2024"},
      {"@D4", date(9, 30, 2024), "September 30, 2024"},
      {"@D4", date(12, 25, 1999), "December 25, 1999"},
      {"@D4", date(2, 29, 2000), "February 29, 2000"},
      {"@d2", Value(make_date(1, 1, 10000)), "##########"},
      // Times.
      {"@t1", tm(9, 5), "09:05"},
      {"@t1", tm(13, 45, 59), "13:45"},
      {"@t1", tm(0, 0), "00:00"},
      {"@T3", tm(12, 0), "12:00PM"},
      {"@T3", tm(0, 0), "12:00AM"},
      {"@T3", tm(0, 30), "12:30AM"},
      {"@T3", tm(12, 59), "12:59PM"},
      {"@T3", tm(13, 5), "1:05PM"},
      {"@t3", tm(9, 7), "9:07AM"},
      {"@t3", tm(23, 59, 59), "11:59PM"},
      {"@t3", Value(0), ""},
      {"@t3", Value(8640001), "#######"},
      {"@t7", tm(13, 5), "1:05 PM"},
      {"@t7", tm(10, 30), "10:30 AM"},
      {"@t7", tm(0, 0), "12:00 AM"},
      // Phone patterns: the field holds the number in its displayed form or as digits.
      {"@p(###)###-####p", Value("(123)456-7890"), "(123)456-7890"},
      {"@p(###)###-####p", Value("1234567890"), "(123)456-7890"},
      {"@p(###)###-####p", Value("123.456.7890"), "(123)456-7890"},
      {"@p(###)###-####p", Value(8005551212LL), "(800)555-1212"},
      {"@p(###)###-####p", Value("555-1212"), "(   )555-1212"},
      {"@p(###)###-####p", Value(""), "             "},
      {"@p(###)###-####p", Value("(123)456-7890 x12"), "#############"},
      {"@k(###)###-####kb", Value(""), "             "},
      {"@k(###)###-####kb", Value("(312)555-0100"), "(312)555-0100"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(format_picture(c.value, c.picture), c.expected)
        << c.picture << " of " << c.value.text();
  }
}

TEST(PictureFormat, FixedWidthPicturesAlwaysGiveTheirWidth) {
  const char* pictures[] = {"@s2",
                            "@s178",
                            "@n-13",
                            "@n-10.2",
                            "@n$-15.4",
                            "@n13.4b",
                            "@n5.2",
                            "@n_6",
                            "@N4",
                            "@N3",
                            "@N06",
                            "@n10",
                            "@n$-13.2",
                            "@p(###)###-####p",
                            "@k(###)###-####kb"};
  const Value values[] = {Value(0),       Value(-1), dec("123456789012.345"), dec("-0.5"),
                          Value("hello"), Value(""), Value("(123)456-7890"),  dec("99.995"),
                          Value(1e30)};
  for (const char* pic : pictures) {
    const Picture* p = Picture::Get(pic);
    ASSERT_NE(p, nullptr) << pic;
    EXPECT_TRUE(p->fixed_width()) << pic;
    for (const Value& v : values) {
      EXPECT_EQ(p->format(v).size(), static_cast<size_t>(p->width())) << pic << " of " << v.text();
    }
  }
}

TEST(PictureParse, WidthsAndJustification) {
  struct Case {
    const char* text;
    PictureKind kind;
    int width;
    Justify justify;
  } cases[] = {
      {"@s36", PictureKind::String, 36, Justify::Left},
      {"@n$-15.4", PictureKind::Number, 15, Justify::Right},
      {"@N06", PictureKind::Number, 6, Justify::Right},
      {"@d2b", PictureKind::Date, 10, Justify::Left},
      {"@D1", PictureKind::Date, 8, Justify::Left},
      {"@D4", PictureKind::Date, 18, Justify::Left},
      {"@T3", PictureKind::Time, 7, Justify::Left},
      {"@t7", PictureKind::Time, 8, Justify::Left},
      {" @p(###)###-####p ", PictureKind::Pattern, 13, Justify::Left},
  };
  for (const Case& c : cases) {
    Result<Picture> p = Picture::Parse(c.text);
    ASSERT_TRUE(p.ok()) << c.text;
    EXPECT_EQ(p->kind(), c.kind) << c.text;
    EXPECT_EQ(p->width(), c.width) << c.text;
    EXPECT_EQ(p->default_justify(), c.justify) << c.text;
  }
  EXPECT_TRUE(Picture::Parse("@n13.4b")->blank_when_zero());
  EXPECT_EQ(Picture::Parse("@n$-15.4")->places(), 4);
}

TEST(PictureParse, RejectsTextsThatAreNotPictures) {
  for (const char* bad :
       {"",      "@",      "s10", "@s", "@s0", "@x5",   "@n",   "@n-",   "@n10.",  "@n--5",
        "@n$$5", "@n5.2q", "@d3", "@d", "@t2", "@p###", "@ppp", "@p()p", "@s10 x", "@n99999"}) {
    Result<Picture> p = Picture::Parse(bad);
    EXPECT_FALSE(p.ok()) << bad;
    if (!p.ok()) {
      EXPECT_EQ(p.status().code(), Picture::kBadPicture) << bad;
    }
  }
  // A bad picture in a layout still shows the value.
  EXPECT_EQ(format_picture(Value("abc"), "@q"), "abc");
  EXPECT_EQ(deformat_picture("1", "@q").status().code(), Picture::kBadPicture);
}

struct DeformatCase {
  const char* picture;
  const char* typed;
  Value expected;
};

TEST(PictureDeformat, AcceptedEntries) {
  const DeformatCase cases[] = {
      {"@s10", "hello", Value("hello")},
      {"@s10", "ten chars!   ", Value("ten chars!")},
      {"@s2", "", Value("")},
      {"@n-10.2", "1,234.50", dec("1234.5")},
      {"@n-10.2", " -12 ", dec("-12")},
      {"@n-10.2", ".5", dec("0.5")},
      {"@n-10.2", "7.", dec("7")},
      {"@n-10.2", "1.500", dec("1.5")},  // trailing zeros beyond the places change nothing
      {"@n-10.2", "", Value(0)},
      {"@n$-15.4", "$-1,234.5678", dec("-1234.5678")},
      {"@n$-15.4", "-$3", dec("-3")},
      {"@n-6.2", "-1", dec("-1")},
      {"@n-6.2", "2.5", dec("2.5")},
      {"@n13.4b", "   ", Value(0)},
      {"@N06", "000042", Value(42)},
      {"@n_6", "123456", Value(123456)},
      {"@N3", "100", Value(100)},
      {"@d2", "3/5/2024", date(3, 5, 2024)},
      {"@d2", "03/05/2024", date(3, 5, 2024)},
      {"@d2", "12-31-1999", date(12, 31, 1999)},
      {"@d2", "2/29/2000", date(2, 29, 2000)},
      {"@d2b", "", Value(0)},
      {"@D1", "1/1/2000", date(1, 1, 2000)},
      {"@D4", "March 5, 2024", date(3, 5, 2024)},
      {"@D4", "sep 30 2024", date(9, 30, 2024)},
      {"@t1", "9:05", tm(9, 5)},
      {"@t1", "23:59", tm(23, 59)},
      {"@t1", "13:45:10", tm(13, 45, 10)},
      {"@T3", "12:00PM", tm(12, 0)},
      {"@T3", "12:00AM", tm(0, 0)},
      {"@T3", "1:05 pm", tm(13, 5)},
      {"@t3", "11:59p", tm(23, 59)},
      {"@t7", "10:30 AM", tm(10, 30)},
      {"@t7", "7", tm(7, 0)},
      {"@t3", "", Value(0)},
      {"@p(###)###-####p", "(123)456-7890", Value("(123)456-7890")},
      {"@p(###)###-####p", "123 456 7890", Value("(123)456-7890")},
      {"@p(###)###-####p", "123-456-7890", Value("(123)456-7890")},
      {"@k(###)###-####kb", "", Value("")},
      {"@k(###)###-####kb", "3125550100", Value("(312)555-0100")},
  };
  for (const DeformatCase& c : cases) {
    Result<Value> r = deformat_picture(c.typed, c.picture);
    ASSERT_TRUE(r.ok()) << c.picture << " <- '" << c.typed << "': " << r.status().ToString();
    if (c.expected.is_text()) {
      EXPECT_EQ(r->text(), c.expected.text()) << c.picture << " <- '" << c.typed << "'";
    } else {
      EXPECT_EQ(compare_values(*r, c.expected), 0)
          << c.picture << " <- '" << c.typed << "' gave " << r->text();
    }
  }
}

TEST(PictureDeformat, EntriesThatDoNotFitAreRejected) {
  const std::pair<const char*, const char*> cases[] = {
      {"@s2", "abc"},
      {"@n-10.2", "1.234"},  // more decimals than shown: never rounded silently
      {"@n-10.2", "12a"},
      {"@n-10.2", "1..2"},
      {"@n-10.2", "1,2,"},
      {"@n-10.2", ",12"},
      {"@n-10.2", "--1"},
      {"@n-10.2", "1-"},
      {"@n-10.2", "."},
      {"@n-10.2", "-"},
      {"@n-10.2", "99999999"},  // "99,999,999.00" does not fit 10
      {"@n10", "-5"},           // no minus in the picture
      {"@n13.4b", "-0.5"},
      {"@N06", "1234567"},
      {"@N3", "1000"},
      {"@n-6.2", "1e5"},
      {"@d2", "2/30/2024"},
      {"@d2", "13/1/2024"},
      {"@d2", "0/10/2024"},
      {"@d2", "1/1/24/"},
      {"@d2", "1/1/202"},
      {"@d2", "1/1/1800"},
      {"@d2", "tomorrow"},
      {"@d2", "1/1-2024"},
      {"@D4", "Smarch 5, 2024"},
      {"@t1", "24:00"},
      {"@t1", "9:60"},
      {"@t1", "9:5"},
      {"@T3", "13:00PM"},
      {"@T3", "0:30AM"},
      {"@T3", "1:00XM"},
      {"@p(###)###-####p", "555-1212"},
      {"@p(###)###-####p", "(123)456-78901"},
      {"@p(###)###-####p", "(123)456-789O"},
  };
  for (const auto& [pic, typed] : cases) {
    Result<Value> r = deformat_picture(typed, pic);
    EXPECT_FALSE(r.ok()) << pic << " <- '" << typed << "' gave " << (r.ok() ? r->text() : "");
    if (!r.ok()) {
      EXPECT_EQ(r.status().code(), Picture::kRejected);
    }
  }
}

// What a window shows and what it reads back must agree.
TEST(PictureDeformat, RoundTripsThroughTheDisplayForm) {
  const std::pair<const char*, Value> cases[] = {
      {"@n$-15.4", dec("-1234.5678")},
      {"@n-10.2", dec("0.05")},
      {"@N06", Value(7)},
      {"@n_6", Value(99)},
      {"@d2", date(2, 28, 1900)},
      {"@D1", date(6, 1, 2030)},
      {"@D4", date(12, 1, 2024)},
      {"@T3", tm(12, 0)},
      {"@T3", tm(0, 1)},
      {"@t7", tm(18, 20)},
      {"@t1", tm(7, 3)},
      {"@p(###)###-####p", Value("(800)555-1212")},
  };
  for (const auto& [pic, v] : cases) {
    std::string shown = format_picture(v, pic);
    Result<Value> back = deformat_picture(shown, pic);
    ASSERT_TRUE(back.ok()) << pic << " '" << shown << "'";
    EXPECT_EQ(compare_values(*back, v), 0) << pic << " '" << shown << "' -> " << back->text();
  }
}

// Random picture texts and random entries: an error or a value, never a crash (run under the
// sanitizers), and a picture that parses keeps its fixed width whatever it formats.
TEST(PictureFuzz, RandomTextsNeverCrash) {
  uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7fff;
  };
  const std::string alphabet = "@snNdDtTpPkKbB$-_*0123456789.,:/()# aAmMx\xff";
  for (int round = 0; round < 20000; ++round) {
    std::string text = "@";
    int len = static_cast<int>(next() % 12);
    for (int i = 0; i < len; ++i) text += alphabet[next() % alphabet.size()];
    Result<Picture> p = Picture::Parse(text);
    std::string typed;
    int tlen = static_cast<int>(next() % 16);
    for (int i = 0; i < tlen; ++i) typed += alphabet[next() % alphabet.size()];
    if (!p.ok()) continue;
    (void)p->deformat(typed);
    Value v = (next() % 2) ? Value(typed) : Value(static_cast<long long>(next()) * 7919 - 99999);
    std::string shown = p->format(v);
    if (p->fixed_width()) {
      EXPECT_EQ(shown.size(), static_cast<size_t>(p->width())) << text;
    }
  }
}

}  // namespace
}  // namespace tdx
