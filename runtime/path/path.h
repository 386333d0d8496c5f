// File names: the Windows-style names the system uses (".\TENDIX.INI", "F:\KQXFXSVR\FAXHEAD.TPS",
// "C:\OUT\Q.pdf") mapped onto the files of this machine.
//
// map_path() rules, in order:
//   1. The name is Windows-1252 text, as stored in records and settings: blanks and zero bytes
//      around it are dropped, and the result is a UTF-8 path.
//   2. "\" and "/" both separate folders.
//   3. A drive letter ("F:\KQXFXSVR", "f:x") stands for the folder the drive map gives it:
//      a folder set with set_drive_root(), else key "<letter>" of section [Drives] in the
//      settings file TENDIX.INI of the working directory, e.g.
//          [Drives]
//          F=/srv/fax
//          C=/home/broker/c
//      (a relative folder there is relative to the working directory). A drive without a
//      folder is an error (kUnmappedDrive): files are never written to a guessed place.
//   4. A name that starts with a separator is absolute on this machine ("/tmp/x", "\tmp\x");
//      "\\server\share" names are not supported (kBadName). Any other name is relative to the
//      working directory (".\TENDIX.INI" and "TENDIX.INI" are the same file, "TENDIX.INI" in the
//      result); "." and ".." keep their meaning.
//   5. Letter case: each folder and file name is matched against what exists, without regard
//      to case, so ".\tendix.ini" and ".\TENDIX.INI" name the one file Tendix.ini on disk. An
//      exact match wins; among several case variants the first in byte order is taken. A name
//      that does not exist yet keeps the spelling given (that is what a new file is called).
// Mapping looks at the file system but changes nothing. Functions here are safe to call from
// several threads except set_drive_root() and change_dir(), which change process state.
#pragma once

#include <string>
#include <string_view>

#include "runtime/base/status.h"

namespace tdx {

constexpr int kBadName = 1201;        // empty, or a form this machine does not support
constexpr int kUnmappedDrive = 1202;  // a drive letter without a folder in the drive map

// The settings file and section of the drive map.
constexpr const char* kDriveMapFile = "TENDIX.INI";
constexpr const char* kDriveMapSection = "Drives";

// Maps a Windows-style name onto this machine (rules above).
Result<std::string> map_path(std::string_view name);

// Sets the folder of a drive letter for this process, over the settings file (hosts, tests);
// an empty folder removes the setting.
void set_drive_root(char letter, std::string folder);
// The folder of a drive letter (rule 3); kUnmappedDrive when there is none.
Result<std::string> drive_root(char letter);

// The temporary folder: $TMPDIR when it names a folder, else /tmp. No trailing separator.
std::string temp_dir();

// The working directory in its "short-path form": the one canonical absolute name of the folder
// (symbolic links resolved), so that two names of the same folder compare equal. This machine has
// no separate 8.3 short names; comparing these names upper-cased, as the report procedures do,
// is safe unless two folders differ only in case.
std::string current_dir_short();
// Changes the working directory to a (mapped) name.
Status change_dir(std::string_view name);

// A file name split the way the runtime splits names: drive "C:" (2 characters, or empty),
// folder up to and including the last separator ("\OUT\"), name, extension with its dot
// (".pdf", or empty). join_path() puts the parts back together unchanged.
struct PathParts {
  std::string drive, folder, name, ext;
};
PathParts split_path(std::string_view name);
std::string join_path(const PathParts& parts);

}  // namespace tdx
