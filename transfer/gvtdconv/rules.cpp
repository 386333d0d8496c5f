#include "transfer/gvtdconv/rules.h"

#include "runtime/text/str.h"

namespace tdx::transfer {

std::string upper_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string long_text(int64_t v) { return std::to_string(v); }

std::string decimal_text(const Decimal& d) { return d.Normalized().ToString(); }

std::string pack_text(int64_t pack, const Decimal& size, std::string_view um) {
  std::string t = std::string(clip(left(long_text(pack)))) + "/" +
                  std::string(clip(left(decimal_text(size))));
  std::string out = t.size() > 7 ? t + std::string(um) : t + " " + std::string(um);
  if (out.size() > 14) out.resize(14);
  return out;
}

std::string joined_address(std::string_view adr1, std::string_view adr2) {
  std::string out = std::string(clip(adr1));
  if (!clip(adr2).empty()) out += ", " + left(adr2);
  if (out.size() > 30) out.resize(30);
  return out;
}

Decimal product_weight(const Decimal& weight) {
  Result<Decimal> fitted = weight.Fit(7, 2);
  return fitted.ok() ? *fitted : Decimal();
}

}  // namespace tdx::transfer
