#include "core/dataio/csv.h"

#include "core/dataio/dataio.h"

namespace tdx::core::dataio {

int CsvReader::get() {
  int c = in_.get();
  if (!started_) {
    started_ = true;
    // Skip a UTF-8 byte-order mark.
    if (c == 0xEF && in_.peek() == 0xBB) {
      in_.get();
      if (in_.peek() == 0xBF) {
        in_.get();
        return in_.get();
      }
    }
  }
  return c;
}

bool CsvReader::next(std::vector<std::string>* fields) {
  for (;;) {
    fields->clear();
    start_line_ = cur_line_;
    int c = get();
    if (c == EOF) return false;
    std::string field;
    bool any = false;  // the record has content (a quoted empty field counts)
    for (;;) {
      if (c == '"' && field.empty()) {
        any = true;
        // Quoted field: up to the closing quote; "" is one quote.
        for (;;) {
          c = get();
          if (c == EOF) {
            status_ = Status(kImportRejected, "line " + std::to_string(start_line_) +
                                                  ": quoted field without its closing quote");
            return false;
          }
          if (c == '\n') ++cur_line_;
          if (c == '"') {
            if (in_.peek() == '"') {
              get();
              field += '"';
              continue;
            }
            break;
          }
          field += static_cast<char>(c);
        }
        c = get();
        if (c != ',' && c != '\n' && c != '\r' && c != EOF) {
          status_ = Status(kImportRejected,
                           "line " + std::to_string(cur_line_) + ": text after a quoted field");
          return false;
        }
      }
      if (c == ',') {
        any = true;
        fields->push_back(std::move(field));
        field.clear();
        c = get();
        continue;
      }
      if (c == '\r' && in_.peek() == '\n') c = get();
      if (c == '\n' || c == '\r' || c == EOF) {
        if (c != EOF) ++cur_line_;
        if (!any && field.empty()) {
          if (c == EOF) return false;
          break;  // an empty line: read the next one
        }
        fields->push_back(std::move(field));
        return true;
      }
      field += static_cast<char>(c);
      any = true;
      c = get();
    }
  }
}

void write_csv_row(std::ostream& out, const std::vector<std::string>& fields) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out.put(',');
    const std::string& f = fields[i];
    bool quote = !f.empty() && (f.front() == ' ' || f.back() == ' ' ||
                                f.find_first_of(",\"\r\n") != std::string::npos);
    if (!quote) {
      out << f;
      continue;
    }
    out.put('"');
    for (char c : f) {
      if (c == '"') out.put('"');
      out.put(c);
    }
    out.put('"');
  }
  out.put('\n');
}

}  // namespace tdx::core::dataio
