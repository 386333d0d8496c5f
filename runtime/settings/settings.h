// Settings files: the INI files of the working directory (".\TENDIX.INI", "CPCSRPTS.INI").
//
// Reading (GETINI): get_ini(section, key, default, file) gives the key's text, or the default
// when the file, the section or the key is missing. A key present with an empty value gives ""
// (not the default). Blanks around names and values are ignored. Section and key names match
// without regard to case (ASCII letters). When a key is written twice in a section, the first
// one counts. Values are Windows-1252 text, taken as they stand (no quotes or comments removed).
//
// Writing (PUTINI): put_ini(section, key, value, file) changes the value of the first matching
// key in place, or adds "key=value" at the end of the section's entries, or adds the section at
// the end of the file, creating the file when it is missing. Every other line of the file stays
// exactly as it was: comments, blank lines, lines the reader ignores, duplicate keys, line ends.
// The file is replaced as a whole (written beside it, then renamed), so a failure never leaves a
// half-written settings file. A section, key or value containing a line break (or a section
// name with "]", a key with "=") would corrupt the file and is refused with kBadSetting.
//
// Decimals are stored as plain text ("0.25", "-1", "0"); reading converts the text as the
// runtime converts text to a number ("abc" reads as 0, blanks around are ignored).
//
// File names go through map_path() (runtime/path/path.h): ".\tendix.ini" and ".\TENDIX.INI" are
// the same file. Reads and writes of one process are serialized; nothing guards against another
// process writing the same file at the same moment (the last writer wins, as with the product's
// own settings files).
//
// The reader is SimpleIni. Its writer is not used because it rewrites the whole file in its own
// layout (dropping lines without "=", a comment at the end of the file and duplicate keys), and
// a settings file is shared with the product's other programs.
#pragma once

#include <string>
#include <string_view>

#include "runtime/base/status.h"
#include "runtime/decimal/decimal.h"

namespace tdx {

constexpr int kBadSetting = 1301;     // a name or value that cannot be written safely
constexpr int kSettingsWrite = 1302;  // the file could not be written

std::string get_ini(std::string_view section, std::string_view key, std::string_view deflt,
                    std::string_view file);
Status put_ini(std::string_view section, std::string_view key, std::string_view value,
               std::string_view file);

Decimal get_ini_decimal(std::string_view section, std::string_view key, const Decimal& deflt,
                        std::string_view file);
Status put_ini_decimal(std::string_view section, std::string_view key, const Decimal& value,
                       std::string_view file);

}  // namespace tdx
