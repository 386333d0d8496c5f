// FileDecl: the declaration of one keyed record file, as the store sees it.
//
// A file has a label ("PRODUCT"), a file name ("PRODUCT.DAT"), a prefix that qualifies its field
// names ("PRD"), a fixed record size, fields at byte offsets inside the record, memo fields kept
// outside the record (each with a maximum size), and named keys whose components are fields.
// Bytes of the record that no field covers belong to the record and are stored and carried
// along as they are.
//
// Field and key names are kept without prefix ("MANUFAC"); lookups accept either the bare name
// or the prefixed text name ("PRD:MANUFAC"), without regard to letter case.
//
// Declarations are usually built from constexpr tables (FieldSpec / MemoSpec / KeySpec) with
// build_decl(), which checks them: fields inside the record and not overlapping, key components
// that name fields, unique names. A declaration is immutable once built and shared by every
// KeyedFile opened with it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/base/value.h"

namespace tdx::store {

// Key attributes (combine with |). A key without kUnique allows duplicates (DUP).
enum KeyAttr : uint32_t {
  kUnique = 1u << 0,
  kDup = 1u << 1,     // stated for readability; the absence of kUnique means the same
  kOpt = 1u << 2,     // records whose components are all blank are left out of the key
  kNocase = 1u << 3,  // string components compare and order without regard to letter case
  // With kOpt: a record with any blank component is left out too (a product without its code
  // is in neither product key, whatever its brand).
  kOptAnyBlank = 1u << 4,
};

struct FieldDecl {
  std::string name;  // without prefix: "MANUFAC"
  FieldType type = FieldType::String;
  uint32_t offset = 0;  // in the record; unused for memos
  uint32_t size = 0;    // bytes in the record; for a MEMO its maximum number of characters
  uint8_t digits = 0;   // DECIMAL only
  uint8_t places = 0;   // DECIMAL only
};

struct KeyDecl {
  std::string name;             // without prefix: "BY_MAN_PRO"
  std::vector<int> components;  // indexes into FileDecl::fields, in key order
  uint32_t attrs = 0;
  bool unique() const { return attrs & kUnique; }
  bool opt() const { return attrs & kOpt; }
  bool opt_any_blank() const { return (attrs & kOpt) && (attrs & kOptAnyBlank); }
  bool nocase() const { return attrs & kNocase; }
};

struct FileDecl {
  std::string label;      // "PRODUCT"
  std::string file_name;  // "PRODUCT.DAT"
  std::string prefix;     // "PRD"
  uint32_t record_size = 0;
  std::vector<FieldDecl> fields;  // record fields in declaration order
  std::vector<FieldDecl> memos;   // memo fields, type Memo
  std::vector<KeyDecl> keys;

  // Index of a record field by "PRD:MANUFAC" or "MANUFAC" (any case), or -1.
  int find_field(std::string_view name) const;
  // Index of a memo by "PRD:EXTND_DESCR" or "EXTND_DESCR" (any case), or -1.
  int find_memo(std::string_view name) const;
  // Index of a key by "PRD:BY_MAN_PRO" or "BY_MAN_PRO" (any case), or -1.
  int find_key(std::string_view name) const;
  // "PRD:MANUFAC"
  std::string text_name(const FieldDecl& f) const { return prefix + ":" + f.name; }

  // The texts the file stores and compares when it opens: the record layout (size, fields,
  // memos) and the keys. Names compare without regard to case.
  std::string record_signature() const;
  std::string key_signature() const;
};

// constexpr table rows, for declarations written in code.
struct FieldSpec {
  const char* name;
  FieldType type;
  uint32_t offset;
  uint32_t size;  // bytes; for DECIMAL computed from digits when 0
  uint8_t digits = 0;
  uint8_t places = 0;
};
struct MemoSpec {
  const char* name;
  uint32_t max_size;
};
struct KeySpec {
  const char* name;
  const char* components;  // comma-separated field names: "MANUFAC,PROD_CODE"
  uint32_t attrs;
};

// Builds and checks a declaration. Errors (kInvalidDeclaration) name the offending field or key.
Result<std::shared_ptr<const FileDecl>> build_decl(std::string label, std::string file_name,
                                                   std::string prefix, uint32_t record_size,
                                                   std::span<const FieldSpec> fields,
                                                   std::span<const MemoSpec> memos,
                                                   std::span<const KeySpec> keys);
// Checks a declaration built by hand.
Status check_decl(const FileDecl& d);

}  // namespace tdx::store
