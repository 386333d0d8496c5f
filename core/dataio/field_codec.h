// Field codec: how one field of a data file is written as text in an export and read back from
// an import line (JSON lines or CSV), the format of docs/data-io.md.
//
// A FileCodec describes one file's record for import/export: its fields and memos in
// declaration order, each with the kind of text it travels as:
//   text     STRING / CSTRING / MEMO: UTF-8 at the edge, Windows-1252 in the record; a STRING is
//            written without its trailing blanks;
//   date     a LONG holding a day number: ISO "YYYY-MM-DD", "" for no date (0);
//   time     a LONG holding a time value: "HH:MM", "HH:MM:SS" or "HH:MM:SS.hh", "" for no time;
//   decimal  DECIMAL(d,p): text, written with exactly p places ("12.5000");
//   integer  LONG / SHORT / BYTE that is no date or time;
//   real     REAL.
// A date or time that has no calendar form (a negative day number, a time past midnight) is
// written as "#" and its number ("#-5") and read back as that number, so an export always
// imports unchanged; a bare number is no date ("20240101" is refused, not taken as a day).
//
// Bytes of a record that no field covers are written, only when some of them are not blank, as
// the hex text of pseudo-field "_fill" (all uncovered bytes in offset order), so those bytes
// also survive a round trip.
//
// Reading never truncates or guesses: a value too long for its field, a text that is not a
// number, a number out of range or with more decimals than the field keeps, and a malformed
// date or time are errors whose text names the field and the value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/store/decl.h"
#include "runtime/store/keyed_file.h"

namespace tdx::core::dataio {

enum class Kind { Text, Date, Time, Decimal, Integer, Real };

struct CodecField {
  std::string name;  // "PRD:MANUFAC"
  bool memo = false;
  int index = 0;  // into FileDecl::fields or ::memos
  Kind kind = Kind::Text;
};

class FileCodec {
 public:
  explicit FileCodec(std::shared_ptr<const store::FileDecl> decl);

  const store::FileDecl& decl() const { return *decl_; }
  // Record fields then memos, in declaration order.
  const std::vector<CodecField>& fields() const { return fields_; }
  // Position in fields() of "PRD:MANUFAC" / "MANUFAC" (any case), or -1; "_fill" gives -2.
  int find(std::string_view name) const;
  bool has_fill() const { return !fill_.empty(); }

  // The text of field f of the buffer (UTF-8).
  std::string get_text(store::KeyedFile& file, const CodecField& f) const;
  // True when the field is written as a JSON number (integers and reals).
  static bool json_number(const CodecField& f) {
    return f.kind == Kind::Integer || f.kind == Kind::Real;
  }
  // Stores the text into field f of the buffer; the error text says why it cannot be stored.
  Status set_text(store::KeyedFile& file, const CodecField& f, std::string_view utf8) const;

  // The hex text of the uncovered bytes, "" when they are all blank.
  std::string get_fill(const store::KeyedFile& file) const;
  Status set_fill(store::KeyedFile& file, std::string_view hex) const;

 private:
  std::shared_ptr<const store::FileDecl> decl_;
  std::vector<CodecField> fields_;
  std::vector<uint32_t> fill_;  // offsets of the bytes no field covers
};

// Time value <-> "HH:MM[:SS[.hh]]" (exposed for tests).
std::string time_text(int32_t time);
bool parse_time_text(std::string_view text, int32_t* out);

}  // namespace tdx::core::dataio
