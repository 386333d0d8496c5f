// Filter texts built from selections.
//
// A report builds its view filter from a first condition and optional pieces: each piece is a
// blank, a comparison of a record field with a bound name, and " and"; a piece is appended to
// the clipped text when its selection is given; at the end the trailing " and" is cut off.
//   FilterText f("PRO:BID_ID = Glo:BID_ID and", 200);
//   f.append_if(!blank(manufac), " PRO:MANUFAC = Glo:Manufac and");
//   f.text()  ->  "PRO:BID_ID = Glo:BID_ID and PRO:MANUFAC = Glo:Manufac"
//
// The text has the size of the variable that holds it (200, 1000, 1024 characters). A text
// that would not fit is an error from text(), never a silently truncated filter that selects
// something else. Only a trailing " and" (any case) is cut, so a first condition without it
// stays whole.
//
// quote_literal() makes a value safe to paste into a filter as a text literal: it doubles each
// apostrophe, so a bid id such as "O'HARA 1" cannot end the literal early and change what the
// filter selects.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "runtime/base/status.h"

namespace tdx {

class FilterText {
 public:
  explicit FilterText(std::string_view first = {}, size_t capacity = 200);

  // Appends piece to the clipped text (the pieces carry their own leading blank).
  void append(std::string_view piece);
  void append_if(bool given, std::string_view piece) {
    if (given) append(piece);
  }

  // The clipped text without its trailing " and". Error when it exceeds the capacity.
  Result<std::string> text() const;

 private:
  std::string text_;
  size_t capacity_;
};

// 'value' with each apostrophe doubled, quotes included.
std::string quote_literal(std::string_view value);

}  // namespace tdx
