#include "runtime/expr/filter_text.h"

#include "runtime/expr/expression.h"
#include "runtime/text/str.h"

namespace tdx {

FilterText::FilterText(std::string_view first, size_t capacity)
    : text_(first), capacity_(capacity) {}

void FilterText::append(std::string_view piece) {
  text_.resize(clip(text_).size());
  text_.append(piece);
}

Result<std::string> FilterText::text() const {
  std::string out(clip(text_));
  if (out.size() >= 4) {
    std::string_view tail(out.data() + out.size() - 4, 4);
    if (tail[0] == ' ' && (tail[1] == 'a' || tail[1] == 'A') && (tail[2] == 'n' || tail[2] == 'N') &&
        (tail[3] == 'd' || tail[3] == 'D')) {
      out.resize(out.size() - 4);
    }
  }
  // The variable holds the text with its trailing " and" until the cut.
  if (clip(text_).size() > capacity_) {
    return Status(kExprSyntax, "Filter too long for its " + std::to_string(capacity_) +
                                   " characters: \"" + out + "\"");
  }
  return out;
}

std::string quote_literal(std::string_view value) {
  std::string out;
  out.reserve(value.size() + 2);
  out.push_back('\'');
  for (char c : value) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  out.push_back('\'');
  return out;
}

}  // namespace tdx
