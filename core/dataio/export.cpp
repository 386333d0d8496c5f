// ExportFile: every record of one data file, in a key's order, as JSON lines or CSV.
#include "core/dataio/csv.h"
#include "core/dataio/dataio.h"
#include "core/dataio/field_codec.h"
#include "data/files.h"
#include "runtime/store/errors.h"

namespace tdx::core {
namespace {

using dataio::FileCodec;

// Appends s (UTF-8) as a JSON string.
void append_json_string(std::string* out, std::string_view s) {
  static const char* kHex = "0123456789abcdef";
  out->push_back('"');
  for (char c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        *out += "\\\"";
        break;
      case '\\':
        *out += "\\\\";
        break;
      case '\n':
        *out += "\\n";
        break;
      case '\r':
        *out += "\\r";
        break;
      case '\t':
        *out += "\\t";
        break;
      default:
        if (u < 0x20) {
          *out += "\\u00";
          out->push_back(kHex[u >> 4]);
          out->push_back(kHex[u & 15]);
        } else {
          out->push_back(c);
        }
    }
  }
  out->push_back('"');
}

class Writer {
 public:
  Writer(const FileCodec& codec, bool csv, bool fill_column, std::ostream& out)
      : codec_(codec), csv_(csv), fill_column_(fill_column), out_(out) {}

  void header() {
    if (!csv_) return;
    std::vector<std::string> h{"file"};
    for (const auto& f : codec_.fields()) h.push_back(f.name);
    if (fill_column_) h.push_back("_fill");
    dataio::write_csv_row(out_, h);
  }

  void record(store::KeyedFile& file) {
    if (csv_) {
      std::vector<std::string> row{codec_.decl().label};
      for (const auto& f : codec_.fields()) row.push_back(codec_.get_text(file, f));
      if (fill_column_) row.push_back(codec_.get_fill(file));
      dataio::write_csv_row(out_, row);
      return;
    }
    // JSON written directly: the field names are fixed and the values are UTF-8 text or
    // numbers, so only the escaping of strings needs care.
    line_.clear();
    line_ += "{\"file\":";
    append_json_string(&line_, codec_.decl().label);
    for (const auto& f : codec_.fields()) {
      line_ += ",";
      append_json_string(&line_, f.name);
      line_ += ":";
      std::string t = codec_.get_text(file, f);
      if (FileCodec::json_number(f) && !t.empty() && t.find_first_of("infa") == std::string::npos)
        line_ += t;
      else if (FileCodec::json_number(f))
        line_ += "null";  // a REAL that is no finite number
      else
        append_json_string(&line_, t);
    }
    std::string fill = codec_.get_fill(file);
    if (!fill.empty()) {
      line_ += ",\"_fill\":";
      append_json_string(&line_, fill);
    }
    line_ += "}\n";
    out_ << line_;
  }

 private:
  const FileCodec& codec_;
  bool csv_;
  bool fill_column_;
  std::ostream& out_;
  std::string line_;
};

bool all_null(const std::vector<store::KeyValue>& v) {
  for (const auto& x : v)
    if (!std::holds_alternative<std::monostate>(x)) return false;
  return true;
}

}  // namespace

Status ExportFile(std::string_view label, std::string_view key, std::string_view format,
                  std::ostream& out) {
  auto decl = data::find_file(label);
  if (!decl) return Status(kExportBadRequest, "unknown file: " + std::string(label));
  bool csv;
  if (format == "jsonl" || format.empty())
    csv = false;
  else if (format == "csv")
    csv = true;
  else
    return Status(kExportBadRequest, "unknown format: " + std::string(format) + " (jsonl or csv)");
  int k = -1;
  if (!key.empty()) {
    k = decl->find_key(key);
    if (k < 0)
      return Status(kExportBadRequest, "unknown key of " + decl->label + ": " + std::string(key));
  } else if (!decl->keys.empty()) {
    k = 0;
  }
  // Optional-key records are not in the key's order: they are written after it.
  bool opt = k >= 0 && decl->keys[k].opt();

  FileCodec codec(decl);
  store::KeyedFile file(decl);
  Status s = file.open({store::Access::ReadOnly, store::Share::DenyNone});
  if (!s.ok()) return s;
  // Read ahead in batches: an export reads every record once, in order.
  if (!(s = file.send("QUICKSCAN=on")).ok()) return s;

  // CSV has one header for all rows: find out first whether any record needs "_fill".
  bool fill_column = false;
  if (csv && codec.has_fill()) {
    if (!(s = file.set_file()).ok()) return s;
    while ((s = file.next()).ok())
      if (!codec.get_fill(file).empty()) {
        fill_column = true;
        break;
      }
    if (!s.ok() && s.code() != store::kRecordNotAvailable) return s;
  }

  Writer w(codec, csv, fill_column, out);
  w.header();
  s = k >= 0 ? file.set(k) : file.set_file();
  if (!s.ok()) return s;
  while ((s = file.next()).ok()) w.record(file);
  if (s.code() != store::kRecordNotAvailable) return s;
  if (opt) {
    if (!(s = file.set_file()).ok()) return s;
    while ((s = file.next()).ok())
      if (all_null(file.key_values(k))) w.record(file);
    if (s.code() != store::kRecordNotAvailable) return s;
  }
  file.close();
  out.flush();
  if (!out) return Status(kExportBadRequest, "the export could not be written");
  return Status();
}

}  // namespace tdx::core
