// Windows-1252 <-> UTF-8, used only at the edges (screen, PDF/PNG, e-mail, SQL, import/export).
//
// Every Windows-1252 byte has a UTF-8 form (the five unassigned bytes 0x81, 0x8D, 0x8F, 0x90,
// 0x9D map to the C1 control of the same number). A code point without a Windows-1252 form, and
// each byte of malformed UTF-8, becomes one '?', so a converted text never has more characters
// than the original and cannot shift a fixed-width field.
#pragma once

#include <string>
#include <string_view>

namespace tdx {

std::string cp1252_to_utf8(std::string_view cp1252);
std::string utf8_to_cp1252(std::string_view utf8);

}  // namespace tdx
