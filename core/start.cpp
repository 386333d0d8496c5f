#include "core/start.h"

#include "core/globals.h"
#include "runtime/settings/settings.h"

namespace tdx::core {
namespace {
std::string& Folder() {
  static std::string* f = new std::string();
  return *f;
}
}  // namespace

void Start() {
  GLO::Pellam = 0;
  (void)VarRef::Long(&GLO::Pellam).set(Value(get_ini("Tendix", "Pellam", "0", kSettingsFile)));
  FAX::AFEBase = get_ini("Fax", "AFEBase", "", kSettingsFile);
}

void SetOutputFolder(std::string folder) { Folder() = std::move(folder); }
const std::string& OutputFolder() { return Folder(); }

}  // namespace tdx::core
