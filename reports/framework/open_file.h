// The one way every procedure of the report module and the transfer program opens a data file.
//
// open_file() opens the file for reading and writing, deny none, and repairs what it can:
//   - locked by another station: sends the driver option "Recover=10" (wait for and recover a
//     lock left by an interrupted writer) and opens once more;
//   - missing: creates it empty and opens it (message 4 when the create fails, 5 when the
//     created file will not open: fatal, "File Creation Error!");
//   - key file invalid: message 2 asks whether to rebuild the keys; Yes rebuilds and opens again
//     (message 3 when the rebuild fails: fatal, "Error Rebuilding Key!"), No is fatal,
//     "Invalid Key!";
//   - a file of another record declaration: message 1, fatal, "Invalid File!".
// Any error left after that shows message 30 and ends the application with "Disk Error".
// The messages name the file by its full name as opened (with its path).
//
// It returns only when the file is open: a fatal error ends the process through halt()
// (standard_messages.h). When a test has replaced the halt, the error is returned instead and
// the caller must unwind without using the file. Opening an open file is ok.
#pragma once

#include <string>

#include "runtime/base/status.h"
#include "runtime/store/keyed_file.h"

namespace tdx::reports {

inline constexpr const char* kRecoverOption = "Recover=10";

Status open_file(store::KeyedFile& file,
                 store::OpenMode mode = store::OpenMode::FromCode(store::kReadWriteDenyNone));

// The file's full name as the messages show it: its name, made absolute against the working
// directory when it is relative.
std::string full_file_name(const store::KeyedFile& file);

}  // namespace tdx::reports
