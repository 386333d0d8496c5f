#include "runtime/store/decl.h"

#include <algorithm>

#include "runtime/decimal/decimal.h"
#include "runtime/store/errors.h"
#include "runtime/text/str.h"

namespace tdx::store {
namespace {

// "PRD:MANUFAC" -> "MANUFAC" when the prefix is the file's; a bare name as it is; a name with
// another prefix -> empty (matches nothing).
std::string_view strip_prefix(std::string_view name, std::string_view prefix) {
  size_t colon = name.find(':');
  if (colon == std::string_view::npos) return name;
  if (!equals_nocase(name.substr(0, colon), prefix)) return {};
  return name.substr(colon + 1);
}

template <typename T>
int find_named(const std::vector<T>& v, std::string_view name, std::string_view prefix) {
  std::string_view bare = strip_prefix(name, prefix);
  if (bare.empty()) return -1;
  for (size_t i = 0; i < v.size(); ++i)
    if (equals_nocase(v[i].name, bare)) return static_cast<int>(i);
  return -1;
}

bool valid_name(std::string_view n) {
  if (n.empty()) return false;
  for (char c : n)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
      return false;
  return true;
}

uint32_t natural_size(const FieldDecl& f) {
  switch (f.type) {
    case FieldType::Decimal: return static_cast<uint32_t>(Decimal::PackedSize(f.digits));
    case FieldType::Real: return 8;
    case FieldType::Long: return 4;
    case FieldType::Short: return 2;
    case FieldType::Byte: return 1;
    default: return f.size;
  }
}

Status bad(std::string_view what) { return make_error(kInvalidDeclaration, what); }

}  // namespace

int FileDecl::find_field(std::string_view name) const { return find_named(fields, name, prefix); }
int FileDecl::find_memo(std::string_view name) const { return find_named(memos, name, prefix); }
int FileDecl::find_key(std::string_view name) const { return find_named(keys, name, prefix); }

std::string FileDecl::record_signature() const {
  std::string s = "size " + std::to_string(record_size);
  for (const FieldDecl& f : fields) {
    s += ";" + upper(f.name) + " " + field_type_name(f.type) + " " + std::to_string(f.offset) +
         " " + std::to_string(f.size);
    if (f.type == FieldType::Decimal)
      s += " " + std::to_string(f.digits) + "," + std::to_string(f.places);
  }
  for (const FieldDecl& m : memos) s += ";" + upper(m.name) + " MEMO " + std::to_string(m.size);
  return s;
}

std::string FileDecl::key_signature() const {
  std::string s;
  for (const KeyDecl& k : keys) {
    if (!s.empty()) s += ";";
    s += upper(k.name) + "(";
    for (size_t i = 0; i < k.components.size(); ++i) {
      if (i) s += ",";
      s += upper(fields[k.components[i]].name);
    }
    s += ")";
    s += k.unique() ? " UNIQUE" : " DUP";
    if (k.opt()) s += k.opt_any_blank() ? " OPT(ANY)" : " OPT";
    if (k.nocase()) s += " NOCASE";
  }
  return s;
}

Status check_decl(const FileDecl& d) {
  if (!valid_name(d.label) || !valid_name(d.prefix)) return bad("label or prefix");
  if (d.file_name.empty()) return bad(d.label + ": no file name");
  if (d.record_size == 0) return bad(d.label + ": record size 0");
  std::vector<std::pair<uint32_t, uint32_t>> spans;
  auto dup_name = [&](const std::string& n, size_t upto_fields, size_t upto_memos) {
    for (size_t i = 0; i < upto_fields; ++i)
      if (equals_nocase(d.fields[i].name, n)) return true;
    for (size_t i = 0; i < upto_memos; ++i)
      if (equals_nocase(d.memos[i].name, n)) return true;
    return false;
  };
  for (size_t i = 0; i < d.fields.size(); ++i) {
    const FieldDecl& f = d.fields[i];
    std::string who = d.prefix + ":" + f.name;
    if (!valid_name(f.name)) return bad("field name '" + f.name + "'");
    if (dup_name(f.name, i, 0)) return bad(who + " declared twice");
    if (f.type == FieldType::Memo) return bad(who + ": a memo among the record fields");
    if (f.type == FieldType::Decimal && (f.digits == 0 || f.digits > 31 || f.places > f.digits))
      return bad(who + ": DECIMAL digits");
    if (f.size == 0 || f.size != natural_size(f)) return bad(who + ": size");
    if (f.offset + f.size > d.record_size) return bad(who + ": beyond the record");
    spans.emplace_back(f.offset, f.offset + f.size);
  }
  std::sort(spans.begin(), spans.end());
  for (size_t i = 1; i < spans.size(); ++i)
    if (spans[i].first < spans[i - 1].second) return bad(d.label + ": fields overlap");
  for (size_t i = 0; i < d.memos.size(); ++i) {
    const FieldDecl& m = d.memos[i];
    if (!valid_name(m.name) || m.type != FieldType::Memo || m.size == 0)
      return bad(d.prefix + ":" + m.name + ": memo");
    if (dup_name(m.name, d.fields.size(), i)) return bad(d.prefix + ":" + m.name + " twice");
  }
  for (size_t i = 0; i < d.keys.size(); ++i) {
    const KeyDecl& k = d.keys[i];
    std::string who = d.prefix + ":" + k.name;
    if (!valid_name(k.name)) return bad("key name '" + k.name + "'");
    for (size_t j = 0; j < i; ++j)
      if (equals_nocase(d.keys[j].name, k.name)) return bad(who + " declared twice");
    if (k.components.empty()) return bad(who + ": no components");
    if ((k.attrs & kUnique) && (k.attrs & kDup)) return bad(who + ": both unique and DUP");
    for (int c : k.components)
      if (c < 0 || c >= static_cast<int>(d.fields.size())) return bad(who + ": component");
  }
  return Status::Ok();
}

Result<std::shared_ptr<const FileDecl>> build_decl(std::string label, std::string file_name,
                                                   std::string prefix, uint32_t record_size,
                                                   std::span<const FieldSpec> fields,
                                                   std::span<const MemoSpec> memos,
                                                   std::span<const KeySpec> keys) {
  auto d = std::make_shared<FileDecl>();
  d->label = std::move(label);
  d->file_name = std::move(file_name);
  d->prefix = std::move(prefix);
  d->record_size = record_size;
  for (const FieldSpec& s : fields) {
    FieldDecl f{s.name, s.type, s.offset, s.size, s.digits, s.places};
    if (f.size == 0) f.size = natural_size(f);
    d->fields.push_back(std::move(f));
  }
  for (const MemoSpec& m : memos) d->memos.push_back({m.name, FieldType::Memo, 0, m.max_size});
  for (const KeySpec& s : keys) {
    KeyDecl k{s.name, {}, s.attrs};
    std::string_view comps = s.components;
    while (!comps.empty()) {
      size_t comma = comps.find(',');
      std::string_view c = comps.substr(0, comma);
      while (!c.empty() && c.front() == ' ') c.remove_prefix(1);
      while (!c.empty() && c.back() == ' ') c.remove_suffix(1);
      int idx = d->find_field(c);
      if (idx < 0) return bad(d->prefix + ":" + k.name + ": no field '" + std::string(c) + "'");
      k.components.push_back(idx);
      if (comma == std::string_view::npos) break;
      comps.remove_prefix(comma + 1);
    }
    d->keys.push_back(std::move(k));
  }
  Status st = check_decl(*d);
  if (!st.ok()) return st;
  return std::shared_ptr<const FileDecl>(std::move(d));
}

}  // namespace tdx::store
