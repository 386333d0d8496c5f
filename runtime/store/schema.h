// The SQL shape of a store file (see FORMAT.md): table, column and index names derived from a
// declaration. Names are generated from numbers only; no declared text ever reaches SQL text.
#pragma once

#include <string>
#include <vector>

#include "runtime/store/decl.h"

namespace tdx::store::schema {

inline constexpr const char* kFormat = "tdx-store 1";

// "k2_0,k2_1" (the key's columns in component order).
std::string key_columns(const FileDecl& d, int key);
// "k2_0 IS NOT NULL" for an OPT key, else empty.
std::string opt_term(const FileDecl& d, int key);
// CREATE TABLE statement of the data table under `table` (e.g. "data" or "data_new").
std::string create_table(const FileDecl& d, const std::string& table);
// CREATE INDEX statements of every key over table "data".
std::vector<std::string> create_indexes(const FileDecl& d);
// Names of the indexes the declaration expects ("ix0", ...).
std::vector<std::string> index_names(const FileDecl& d);
// The full list of statements that make a new, empty file (meta rows included).
std::vector<std::string> create_file(const FileDecl& d);

}  // namespace tdx::store::schema
