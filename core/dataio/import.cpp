// ImportFiles: read and check every line first, then add the records inside transactions; on
// any failure nothing of the import stays stored.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include "core/dataio/csv.h"
#include "core/dataio/dataio.h"
#include "core/dataio/field_codec.h"
#include "data/files.h"
#include "runtime/store/errors.h"
#include "runtime/store/transaction.h"
#include "runtime/text/str.h"

namespace tdx::core {
namespace {

using dataio::CodecField;
using dataio::FileCodec;

constexpr std::chrono::milliseconds kLockWait{5000};

// The records bound for one data file, checked and ready to add.
struct Target {
  std::shared_ptr<const store::FileDecl> decl;
  std::unique_ptr<FileCodec> codec;
  std::unique_ptr<store::KeyedFile> file;  // buffer while reading; the open file while writing
  std::string records;                     // record images back to back
  std::vector<std::string> memos;          // decl->memos.size() per record
  std::vector<std::pair<int, int>> lines;  // (input index, line) per record
  bool created = false;
  std::vector<store::Position> added;  // kept only when a later group may have to undo them
  size_t count() const { return lines.size(); }
};

class Importer {
 public:
  explicit Importer(const std::vector<std::string>& paths) : paths_(paths) {}

  Status run(std::ostream& report);

 private:
  Status read_input(int input);
  Status read_jsonl(int input, std::istream& in);
  Status read_csv(int input, std::istream& in);
  Target* target(std::string_view label);
  // Stores the buffer of t as a checked record from (input, line).
  void keep(Target* t, int input, int line);
  Status at(int input, int line, const Status& why) const {
    return Status(kImportRejected,
                  paths_[input] + " line " + std::to_string(line) + ": " + why.text());
  }
  Status write();
  Status write_group(const std::vector<Target*>& group, bool keep_positions);
  Status undo(const std::vector<Target*>& group);
  std::string duplicate_text(Target* t, size_t r);
  void cleanup();

  const std::vector<std::string>& paths_;
  std::vector<std::unique_ptr<Target>> targets_;  // in first-seen order
};

Target* Importer::target(std::string_view label) {
  for (auto& t : targets_)
    if (upper(t->decl->label) == upper(label)) return t.get();
  auto decl = data::find_file(label);
  if (!decl) return nullptr;
  auto t = std::make_unique<Target>();
  t->decl = decl;
  t->codec = std::make_unique<FileCodec>(decl);
  t->file = std::make_unique<store::KeyedFile>(decl);
  targets_.push_back(std::move(t));
  return targets_.back().get();
}

void Importer::keep(Target* t, int input, int line) {
  t->records.append(reinterpret_cast<const char*>(t->file->record()), t->file->record_size());
  for (size_t m = 0; m < t->decl->memos.size(); ++m) t->memos.push_back(t->file->memo(m));
  t->lines.emplace_back(input, line);
}

Status Importer::read_input(int input) {
  const std::string& path = paths_[input];
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status(kImportRead, path + ": cannot be read");
  std::string ext = upper(std::filesystem::path(path).extension().string());
  bool csv = ext == ".CSV";
  if (ext != ".CSV" && ext != ".JSONL" && ext != ".JSON" && ext != ".NDJSON") {
    // No telling extension: JSON lines start with an object.
    int c;
    while ((c = in.peek()) != EOF && std::isspace(c)) in.get();
    csv = c != '{';
    in.seekg(0);
  }
  Status s = csv ? read_csv(input, in) : read_jsonl(input, in);
  if (s.ok() && in.bad()) return Status(kImportRead, path + ": read error");
  return s;
}

Status Importer::read_jsonl(int input, std::istream& in) {
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.find_first_not_of(" \t") == std::string::npos) continue;
    auto j = nlohmann::json::parse(text, nullptr, false);
    if (j.is_discarded() || !j.is_object())
      return at(
          input, line,
          Status(kImportRejected, "not a JSON object (malformed, or text that is not UTF-8)"));
    auto f = j.find("file");
    if (f == j.end() || !f->is_string())
      return at(input, line, Status(kImportRejected, "no \"file\" given"));
    Target* t = target(f->get_ref<const std::string&>());
    if (!t)
      return at(input, line,
                Status(kImportRejected, "unknown file " + f->get_ref<const std::string&>()));
    t->file->clear();
    std::vector<bool> seen(t->codec->fields().size(), false);
    for (auto it = j.begin(); it != j.end(); ++it) {
      if (it.key() == "file") continue;
      int idx = t->codec->find(it.key());
      if (idx == -1)
        return at(input, line,
                  Status(kImportRejected, "unknown field " + it.key() + " of " + t->decl->label));
      const auto& v = it.value();
      if (idx == -2) {
        if (!v.is_string()) return at(input, line, Status(kImportRejected, "_fill is hex text"));
        Status s = t->codec->set_fill(*t->file, v.get_ref<const std::string&>());
        if (!s.ok()) return at(input, line, s);
        continue;
      }
      const CodecField& cf = t->codec->fields()[idx];
      if (seen[idx])
        return at(input, line, Status(kImportRejected, "field " + cf.name + " given twice"));
      seen[idx] = true;
      std::string value;
      if (v.is_null()) {
        continue;
      } else if (v.is_string()) {
        value = v.get_ref<const std::string&>();
      } else if (v.is_number_integer() || v.is_number_unsigned()) {
        value = v.dump();
      } else if (v.is_number_float() && cf.kind == dataio::Kind::Real) {
        value = v.dump();
      } else if (v.is_number_float() && cf.kind == dataio::Kind::Decimal) {
        return at(input, line,
                  Status(kImportRejected,
                         "decimal " + cf.name + " is written as text: \"" + v.dump() + "\""));
      } else if (v.is_boolean() && cf.kind == dataio::Kind::Integer) {
        value = v.get<bool>() ? "1" : "0";
      } else {
        return at(input, line,
                  Status(kImportRejected, "bad value for " + cf.name + ": " + v.dump()));
      }
      Status s = t->codec->set_text(*t->file, cf, value);
      if (!s.ok()) return at(input, line, s);
    }
    keep(t, input, line);
  }
  return Status();
}

Status Importer::read_csv(int input, std::istream& in) {
  dataio::CsvReader reader(in);
  std::vector<std::string> header, row;
  if (!reader.next(&header)) {
    if (!reader.status().ok())
      return Status(kImportRejected, paths_[input] + " " + reader.status().text());
    return Status();  // an empty file holds no records
  }
  int file_col = -1;
  for (size_t i = 0; i < header.size(); ++i)
    if (upper(header[i]) == "FILE") file_col = static_cast<int>(i);
  // Without a "file" column the field names' prefix tells the file.
  Target* fixed = nullptr;
  if (file_col < 0) {
    std::string prefix;
    for (const auto& h : header)
      if (size_t colon = h.find(':'); colon != std::string::npos) {
        prefix = h.substr(0, colon);
        break;
      }
    for (const auto& d : data::all_files())
      if (!prefix.empty() && upper(d->prefix) == upper(prefix)) fixed = target(d->label);
    if (!fixed)
      return at(input, reader.line(),
                Status(kImportRejected, "no \"file\" column and no prefixed field names"));
  }
  // Column -> codec index, per file (a CSV with a "file" column may mix files).
  std::map<Target*, std::vector<int>> columns;
  while (reader.next(&row)) {
    int line = reader.line();
    Target* t = fixed;
    if (file_col >= 0) {
      std::string label = file_col < static_cast<int>(row.size()) ? row[file_col] : "";
      if (label.empty()) return at(input, line, Status(kImportRejected, "no \"file\" given"));
      t = target(label);
      if (!t) return at(input, line, Status(kImportRejected, "unknown file " + label));
    }
    if (row.size() != header.size())
      return at(
          input, line,
          Status(kImportRejected, std::to_string(row.size()) + " fields where the header has " +
                                      std::to_string(header.size())));
    auto col = columns.find(t);
    if (col == columns.end()) {
      std::vector<int> idx(header.size(), -1);
      std::vector<bool> seen(t->codec->fields().size(), false);
      for (size_t i = 0; i < header.size(); ++i) {
        if (static_cast<int>(i) == file_col) continue;
        idx[i] = t->codec->find(header[i]);
        if (idx[i] == -1)
          return at(
              input, line,
              Status(kImportRejected, "unknown field " + header[i] + " of " + t->decl->label));
        if (idx[i] >= 0) {
          if (seen[idx[i]])
            return at(input, line, Status(kImportRejected, "field " + header[i] + " given twice"));
          seen[idx[i]] = true;
        }
      }
      col = columns.emplace(t, std::move(idx)).first;
    }
    t->file->clear();
    for (size_t i = 0; i < header.size(); ++i) {
      int idx = col->second[i];
      if (static_cast<int>(i) == file_col) continue;
      Status s = idx == -2 ? t->codec->set_fill(*t->file, row[i])
                           : t->codec->set_text(*t->file, t->codec->fields()[idx], row[i]);
      if (!s.ok()) return at(input, line, s);
    }
    keep(t, input, line);
  }
  if (!reader.status().ok())
    return Status(kImportRejected, paths_[input] + " " + reader.status().text());
  return Status();
}

Status Importer::write_group(const std::vector<Target*>& group, bool keep_positions) {
  std::vector<store::KeyedFile*> files;
  for (Target* t : group) files.push_back(t->file.get());
  Status s = store::logout(kLockWait, files);
  if (!s.ok()) return s;
  for (Target* t : group) {
    store::KeyedFile& f = *t->file;
    size_t nm = t->decl->memos.size();
    for (size_t r = 0; r < t->count(); ++r) {
      std::memcpy(f.record(), t->records.data() + r * f.record_size(), f.record_size());
      for (size_t m = 0; m < nm; ++m) f.memo(m) = t->memos[r * nm + m];
      s = f.add();
      if (!s.ok()) {
        std::string why = s.code() == store::kDuplicateKey ? duplicate_text(t, r) : s.text();
        (void)store::rollback();
        t->added.clear();
        auto [input, line] = t->lines[r];
        return at(input, line, Status(kImportRejected, why));
      }
      if (keep_positions) t->added.push_back(f.position());
    }
  }
  return store::commit();
}

// Which unique key record r of t breaks, with its values: "duplicate key MDX:BY_MANUF_DST
// (ACME, d)". Looks the values up inside the transaction, so earlier lines count too.
std::string Importer::duplicate_text(Target* t, size_t r) {
  store::KeyedFile& f = *t->file;
  const auto& d = *t->decl;
  for (size_t k = 0; k < d.keys.size(); ++k) {
    if (!d.keys[k].unique()) continue;
    std::memcpy(f.record(), t->records.data() + r * f.record_size(), f.record_size());
    std::string values;
    for (int c : d.keys[k].components)
      values += (values.empty() ? "" : ", ") + t->codec->get_text(f, t->codec->fields()[c]);
    if (f.get(static_cast<int>(k)).ok())
      return "duplicate key " + d.prefix + ":" + d.keys[k].name + " (" + values + ")";
  }
  return "duplicate key";
}

Status Importer::undo(const std::vector<Target*>& group) {
  std::vector<store::KeyedFile*> files;
  for (Target* t : group) files.push_back(t->file.get());
  Status s = store::logout(kLockWait, files);
  if (!s.ok()) return s;
  for (Target* t : group)
    for (const auto& pos : t->added) {
      if ((s = t->file->reget(pos)).ok()) s = t->file->erase();
      if (!s.ok()) {
        (void)store::rollback();
        return s;
      }
    }
  return store::commit();
}

void Importer::cleanup() {
  for (auto& t : targets_) {
    t->file->close();
    if (t->created) {
      std::error_code ec;
      std::filesystem::remove(t->file->name(), ec);
    }
  }
}

Status Importer::write() {
  // Groups of at most kMaxTransactionFiles files; the largest files go last, because only the
  // groups before the last one may have to be undone (and keep positions for that).
  std::vector<Target*> order;
  for (auto& t : targets_) order.push_back(t.get());
  std::stable_sort(order.begin(), order.end(),
                   [](Target* a, Target* b) { return a->count() < b->count(); });
  std::vector<std::vector<Target*>> groups;
  size_t first = order.size() % store::kMaxTransactionFiles;
  if (first == 0) first = store::kMaxTransactionFiles;
  for (size_t i = 0; i < order.size();) {
    size_t n = groups.empty() ? first : store::kMaxTransactionFiles;
    groups.emplace_back(order.begin() + i, order.begin() + std::min(order.size(), i + n));
    i += n;
  }

  for (Target* t : order) {
    t->created = !std::filesystem::exists(t->decl->file_name);
    Status s = t->file->create();
    if (s.ok()) s = t->file->open();
    if (!s.ok()) {
      cleanup();
      return s;
    }
  }
  for (size_t g = 0; g < groups.size(); ++g) {
    Status s = write_group(groups[g], g + 1 < groups.size());
    if (s.ok()) continue;
    for (size_t u = g; u-- > 0;) {
      Status us = undo(groups[u]);
      if (!us.ok()) {
        cleanup();
        return Status(s.code(), s.text() + "; removing the records stored before failed too: " +
                                    us.ToString());
      }
    }
    cleanup();
    return s;
  }
  for (auto& t : targets_) t->file->close();
  return Status();
}

Status Importer::run(std::ostream& report) {
  if (store::transaction_active())
    return Status(store::kTransactionActive, "an import cannot run inside a transaction");
  for (size_t i = 0; i < paths_.size(); ++i) {
    Status s = read_input(static_cast<int>(i));
    if (!s.ok()) return s;
  }
  Status s = write();
  if (!s.ok()) return s;
  for (auto& t : targets_)
    report << t->decl->label << ": " << t->count() << (t->count() == 1 ? " record" : " records")
           << "\n";
  return Status();
}

}  // namespace

Status ImportFiles(const std::vector<std::string>& paths, std::ostream& report) {
  Importer imp(paths);
  return imp.run(report);
}

}  // namespace tdx::core
