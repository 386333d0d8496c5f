// WriteSample: the cast, then the catalog, the reference files, the bids and the settings.
#include "core/sample/sample.h"

#include <filesystem>

#include "core/sample/world.h"
#include "runtime/settings/settings.h"

namespace tdx::core {
namespace {

// The settings the reports read: the alternate company of the brand and distributor letters,
// the award letter's page offsets and the special remarks of the special price quote.
Status write_settings(const std::string& dir, std::ostream& progress) {
  const std::string ini = (std::filesystem::path(dir) / "TENDIX.INI").string();
  struct {
    const char* section;
    const char* key;
    const char* value;
  } const kSettings[] = {
      {"Alternate", "Company", "Harbor Point Foods South"},
      {"Alternate", "Address", "88 Peachtree Center Ave"},
      {"Alternate", "City", "Atlanta"},
      {"Alternate", "State", "GA"},
      {"Alternate", "Zip", "30303"},
      {"Alternate", "Phone", "(404)555-0188"},
      {"Alternate", "Fax", "(404)555-0189"},
      {"Alternate", "Contact", "Renee Baptiste"},
      {"AwardLetterOffsets", "HorizAdj", "0.25"},
      {"AwardLetterOffsets", "VertAdj", "0"},
      {"SpecDistrQuote", "SpecialRmks", "All prices subject to brand approval."},
  };
  for (const auto& s : kSettings) TDX_SAMPLE_TRY(put_ini(s.section, s.key, s.value, ini));
  progress << "TENDIX.INI: " << std::size(kSettings) << " settings\n";
  return Status();
}

}  // namespace

Status WriteSample(const std::string& dir, int scale, std::ostream& progress) {
  if (scale < 1 || scale > kMaxSampleScale)
    return Status(kSampleBadScale, "scale " + std::to_string(scale) + " is not between 1 and " +
                                       std::to_string(kMaxSampleScale));
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) return Status(kSampleNoFolder, dir + ": " + ec.message());
  // Absolute, so the data files land in `dir` whatever the working directory does meanwhile.
  std::string root = std::filesystem::absolute(dir).lexically_normal().string();
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  sample::World w = sample::make_world(scale);
  TDX_SAMPLE_TRY(sample::write_catalog(root, w, progress));
  TDX_SAMPLE_TRY(sample::write_reference(root, w, progress));
  TDX_SAMPLE_TRY(sample::write_bids(root, w, progress));
  return write_settings(root, progress);
}

}  // namespace tdx::core
