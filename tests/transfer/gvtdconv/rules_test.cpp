// The text and number rules the catalog records receive.
#include "transfer/gvtdconv/rules.h"

#include <gtest/gtest.h>

#include "runtime/text/str.h"

namespace tdx::transfer {
namespace {

Decimal D(const char* s) { return *Decimal::Parse(s); }

TEST(TransferRules, PackText) {
  struct Case {
    int64_t pack;
    const char* size;
    const char* um;
    const char* want;
  } cases[] = {
      {6, "10.00", "LB", "6/10 LB"},        // seven characters or fewer: a blank before the unit
      {12, "12.50", "OZ", "12/12.5 OZ"},    // exactly seven
      {100, "12.5", "OZ", "100/12.5OZ"},    // more than seven: no blank
      {4, "0.25", "KG", "4/0.25 KG"},       // a size below 1 starts with 0
      {1, "1.00", "  ", "1/1"},             // blank unit
      {-2, "-1.5", "EA", "-2/-1.5 EA"},     // signs count as characters
      {123456, "99999.99", "LB", "123456/99999.9"},  // kept to 14
  };
  for (const Case& c : cases)
    EXPECT_EQ(std::string(clip(pack_text(c.pack, D(c.size), c.um))), c.want) << c.want;
}

TEST(TransferRules, JoinedAddress) {
  struct Case {
    const char* adr1;
    const char* adr2;
    const char* want;
  } cases[] = {
      {"100 Main St       ", "                  ", "100 Main St"},
      {"200 Main St  ", "Suite 5   ", "200 Main St, Suite 5"},
      {"200 Main St", "   Suite 5", "200 Main St, Suite 5"},  // the second line's left blanks go
      {"12 Harbor Blvd", "Building 7, Loading Dock 3", "12 Harbor Blvd, Building 7, Lo"},
      {"", "Suite 5", ", Suite 5"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(std::string(clip(joined_address(c.adr1, c.adr2))), c.want) << c.want;
}

TEST(TransferRules, ProductWeightNeverWrapsOrCuts) {
  struct Case {
    const char* in;
    const char* want;
  } cases[] = {
      {"12.345", "12.35"},  {"0.125", "0.13"},       {"-0.125", "-0.13"},
      {"99999.994", "99999.99"}, {"99999.995", "0.00"},  // rounds to 100000.00: does not fit
      {"100000", "0.00"},   {"123456.789", "0.00"},  {"-100000", "0.00"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(product_weight(D(c.in)).ToFixed(2), c.want) << c.in;
}

TEST(TransferRules, NumbersAndLetterCase) {
  EXPECT_EQ(decimal_text(D("10.00")), "10");
  EXPECT_EQ(decimal_text(D("12.50")), "12.5");
  EXPECT_EQ(decimal_text(D("0.25")), "0.25");
  EXPECT_EQ(long_text(0), "0");
  EXPECT_EQ(long_text(-42), "-42");
  // Only a-z change: accented letters (Windows-1252) keep their case.
  EXPECT_EQ(upper_ascii("Caf\xE9 cr\xE8me o'neil"), "CAF\xE9 CR\xE8ME O'NEIL");
}

}  // namespace
}  // namespace tdx::transfer
