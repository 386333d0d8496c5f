// The text and number rules of the transfer, as the catalog records receive them.
//
// Each function is one rule of the transfer steps, on the runtime's fixed-width texts:
//   - upper_ascii: the letters a-z to A-Z, every other character unchanged (accented letters
//     keep their case, so a principal's brand name is exactly its upper-cased ASCII letters);
//   - long_text / decimal_text: a LONG or DECIMAL written into text (no padding; a DECIMAL
//     without trailing zeros in its fraction and without a point when the fraction is zero);
//   - pack_text: the product's pack and size text ("6/10 LB", "100/12.5OZ"), kept to 14;
//   - joined_address: the first address line, and the second after ", " when it is not blank,
//     kept to 30;
//   - product_weight: a back-office weight for DECIMAL(7,2): rounded half away from zero to two
//     places; a weight that does not fit five integer digits gives zero (no weight), never a
//     wrapped or cut number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/decimal/decimal.h"

namespace tdx::transfer {

std::string upper_ascii(std::string_view s);
std::string long_text(int64_t v);
std::string decimal_text(const Decimal& d);
// `um` as stored (STRING(2), blanks kept).
std::string pack_text(int64_t pack, const Decimal& size, std::string_view um);
// `adr1`, `adr2` as stored (blank-padded).
std::string joined_address(std::string_view adr1, std::string_view adr2);
Decimal product_weight(const Decimal& weight);

}  // namespace tdx::transfer
