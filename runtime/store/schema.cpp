#include "runtime/store/schema.h"

namespace tdx::store::schema {
namespace {

const char* column_type(FieldType t) {
  switch (t) {
    case FieldType::String:
    case FieldType::CString: return "BLOB";
    case FieldType::Real: return "REAL";
    default: return "INTEGER";
  }
}

// SQL string literal of a text that only this module generates (signatures): quotes doubled.
std::string literal(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

}  // namespace

std::string key_columns(const FileDecl& d, int key) {
  std::string s;
  for (size_t j = 0; j < d.keys[key].components.size(); ++j) {
    if (j) s += ",";
    s += "k" + std::to_string(key) + "_" + std::to_string(j);
  }
  return s;
}

std::string opt_term(const FileDecl& d, int key) {
  if (!d.keys[key].opt()) return {};
  return "k" + std::to_string(key) + "_0 IS NOT NULL";
}

std::string create_table(const FileDecl& d, const std::string& table) {
  std::string s = "CREATE TABLE " + table +
                  "(id INTEGER PRIMARY KEY, ver INTEGER NOT NULL, rec BLOB NOT NULL";
  for (size_t m = 0; m < d.memos.size(); ++m) s += ", m" + std::to_string(m) + " BLOB";
  for (size_t k = 0; k < d.keys.size(); ++k)
    for (size_t j = 0; j < d.keys[k].components.size(); ++j)
      s += ", k" + std::to_string(k) + "_" + std::to_string(j) + " " +
           column_type(d.fields[d.keys[k].components[j]].type);
  return s + ")";
}

std::vector<std::string> index_names(const FileDecl& d) {
  std::vector<std::string> v;
  for (size_t k = 0; k < d.keys.size(); ++k) v.push_back("ix" + std::to_string(k));
  return v;
}

std::vector<std::string> create_indexes(const FileDecl& d) {
  std::vector<std::string> v;
  for (size_t k = 0; k < d.keys.size(); ++k) {
    const KeyDecl& key = d.keys[k];
    int ki = static_cast<int>(k);
    // A DUP key carries the row id as its last column: equal values come back in the order
    // the records were added.
    std::string s = std::string("CREATE ") + (key.unique() ? "UNIQUE " : "") + "INDEX ix" +
                    std::to_string(k) + " ON data(" + key_columns(d, ki) +
                    (key.unique() ? "" : ",id") + ")";
    if (key.opt()) s += " WHERE " + opt_term(d, ki);
    v.push_back(std::move(s));
  }
  return v;
}

std::vector<std::string> create_file(const FileDecl& d) {
  std::vector<std::string> v;
  v.push_back("CREATE TABLE meta(name TEXT PRIMARY KEY, value TEXT NOT NULL)");
  v.push_back(create_table(d, "data"));
  for (std::string& s : create_indexes(d)) v.push_back(std::move(s));
  v.push_back("INSERT INTO meta VALUES('format'," + literal(kFormat) + ")");
  v.push_back("INSERT INTO meta VALUES('label'," + literal(d.label) + ")");
  v.push_back("INSERT INTO meta VALUES('record'," + literal(d.record_signature()) + ")");
  v.push_back("INSERT INTO meta VALUES('keys'," + literal(d.key_signature()) + ")");
  return v;
}

}  // namespace tdx::store::schema
