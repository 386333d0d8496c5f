// RowFile: a small reader for table-shaped text files (layouts, and any other declared data that
// reads best as "one row per thing").
//
// A row file is a sequence of lines. Blank lines and lines whose first non-blank character is
// '#' are ignored. A line whose first non-blank character is '|' is a table row: its cells are
// the texts between '|' characters, trimmed (a trailing '|' is optional). Any other line is a
// directive: words separated by blanks. In both forms a double-quoted text is one unit: inside
// it '|' and blanks are ordinary characters and "" stands for one quote; the cell or word keeps
// its quotes so that the caller can tell "text" from a name (unquote() removes them).
// A table row made only of '-', ':' and blanks (a Markdown rule) is skipped.
//
// Errors name the file and the line ("layouts/x.layout:12: unterminated quote").
// The reader owns nothing beyond the rows it returns; it is safe to use from any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"

namespace tdx::report {

struct Row {
  enum class Kind { Directive, Table };
  Kind kind = Kind::Directive;
  int line = 0;                     // 1-based line number in the source
  std::vector<std::string> cells;   // directive words, or table cells
};

// Splits `text` into rows. `file` is used only in error texts.
Result<std::vector<Row>> read_rows(std::string_view text, std::string_view file);

// "\"a \"\"b\"\"\"" -> a "b"; a text that is not quoted comes back as it is.
std::string unquote(std::string_view cell);
bool is_quoted(std::string_view cell);

// Splits "key=value" (value unquoted); returns false when there is no '=' outside quotes.
bool split_key_value(std::string_view word, std::string* key, std::string* value);

// "file:line: text" as a Status with the layout error code.
Status row_error(std::string_view file, int line, std::string_view text);

// Error code of every layout and report-engine failure (the text says what went wrong).
inline constexpr int kReportErrorCode = 90;

}  // namespace tdx::report
