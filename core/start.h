// Start-up of the main module and what the host tells it about the run.
//
// Start() reads the main module's settings from ".\TENDIX.INI" in the working directory (the
// data folder), after the host has moved there:
//   [Tendix]  Pellam=1         -> GLO:Pellam (brand wording); absent: 0
//   [Fax]     AFEBase=F:\FAX   -> FAX:AFEBase (the fax server's folder); absent: blank
// A host calls it once before any procedure runs; calling it again re-reads the settings.
//
// The output folder is where previewed, printed and written pages land in a batch run (the
// host's --out); empty when none was given (then pages go where their own settings say).
// The previewer and printer stand-ins read it.
#pragma once

#include <string>

namespace tdx::core {

inline constexpr const char* kSettingsFile = ".\\TENDIX.INI";

void Start();

void SetOutputFolder(std::string folder);
const std::string& OutputFolder();

}  // namespace tdx::core
