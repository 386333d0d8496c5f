// CSV as import and export use it (RFC 4180): fields separated by commas, a field that holds a
// comma, a quote, a line break or blanks at either end is quoted, a quote inside it is doubled.
// Lines end with LF or CR LF; a UTF-8 byte-order mark at the start is skipped. Nothing is
// trimmed: "a , b" has the fields "a " and " b".
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"

namespace tdx::core::dataio {

class CsvReader {
 public:
  explicit CsvReader(std::istream& in) : in_(in) {}
  // The next record into `fields`; false at the end of the input or on an error (see status()).
  // line() is the line the record starts on (1-based). A line that is entirely empty is skipped.
  bool next(std::vector<std::string>* fields);
  int line() const { return start_line_; }
  const Status& status() const { return status_; }

 private:
  int get();
  std::istream& in_;
  int cur_line_ = 1;
  int start_line_ = 0;
  bool started_ = false;
  Status status_;
};

// One record as a CSV line, LF-terminated.
void write_csv_row(std::ostream& out, const std::vector<std::string>& fields);

}  // namespace tdx::core::dataio
