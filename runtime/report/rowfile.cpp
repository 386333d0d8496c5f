#include "runtime/report/rowfile.h"

namespace tdx::report {

namespace {

std::string_view trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

bool is_rule(const std::vector<std::string>& cells) {
  bool any = false;
  for (const auto& c : cells) {
    for (char ch : c) {
      if (ch != '-' && ch != ':' && ch != ' ') return false;
      if (ch == '-') any = true;
    }
  }
  return any;
}

}  // namespace

Status row_error(std::string_view file, int line, std::string_view text) {
  return Status(kReportErrorCode,
                std::string(file) + ":" + std::to_string(line) + ": " + std::string(text));
}

Result<std::vector<Row>> read_rows(std::string_view text, std::string_view file) {
  std::vector<Row> rows;
  int line_no = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = trim(text.substr(pos, nl - pos));
    ++line_no;
    pos = nl + 1;
    if (line.empty() || line[0] == '#') {
      if (nl == text.size()) break;
      continue;
    }
    Row row;
    row.line = line_no;
    const bool table = line[0] == '|';
    row.kind = table ? Row::Kind::Table : Row::Kind::Directive;
    if (table) line.remove_prefix(1);
    std::string cur;
    bool in_quote = false, have = false;
    auto flush = [&](bool force) {
      if (table) {
        row.cells.push_back(std::string(trim(cur)));
      } else if (have || force) {
        row.cells.push_back(cur);
      }
      cur.clear();
      have = false;
    };
    for (size_t i = 0; i < line.size(); ++i) {
      char c = line[i];
      if (in_quote) {
        cur += c;
        if (c == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            cur += '"';
            ++i;
          } else {
            in_quote = false;
          }
        }
        continue;
      }
      if (c == '"') {
        in_quote = true;
        have = true;
        cur += c;
      } else if (table && c == '|') {
        flush(true);
      } else if (!table && (c == ' ' || c == '\t')) {
        flush(false);
      } else {
        cur += c;
        have = true;
      }
    }
    if (in_quote) return row_error(file, line_no, "unterminated quote");
    // The text after the last '|' is a cell only when it is not blank (a closing '|' is optional).
    if (table) {
      if (!trim(cur).empty()) flush(true);
    } else {
      flush(false);
    }
    if (!(table && is_rule(row.cells))) rows.push_back(std::move(row));
    if (nl == text.size()) break;
  }
  return rows;
}

bool is_quoted(std::string_view cell) {
  return cell.size() >= 2 && cell.front() == '"' && cell.back() == '"';
}

std::string unquote(std::string_view cell) {
  if (!is_quoted(cell)) return std::string(cell);
  std::string out;
  for (size_t i = 1; i + 1 < cell.size(); ++i) {
    out += cell[i];
    if (cell[i] == '"' && i + 2 < cell.size() && cell[i + 1] == '"') ++i;
  }
  return out;
}

bool split_key_value(std::string_view word, std::string* key, std::string* value) {
  bool q = false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (word[i] == '"') q = !q;
    if (!q && word[i] == '=') {
      *key = std::string(word.substr(0, i));
      *value = unquote(word.substr(i + 1));
      return true;
    }
  }
  return false;
}

}  // namespace tdx::report
