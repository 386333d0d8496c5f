// The transfer program "Xfer from Granvel": start-up, the start window and the status window.
//
// run_program() does, in order: clears the program-wide values; asks gvdbconn's InitDBConnect
// for the back-office connection string; runs the start window (an empty "Granvel Source Files"
// group, Ok and Cancel) until it closes. Ok runs the transfer under the status window; Cancel
// ends without one. The window-dragging setting of the desktop is not touched: our frontends
// have no such setting.
//
// The status window ("Converted N Records") runs the transfer at its first event:
//   1. opens the run's files with the file-open check (files.h);
//   2. asks "Data already exists.  Continue?" (Warning, Yes/No, No the default) when a catalog or
//      cross-reference file holds a record; No closes the files and ends;
//   3. opens Items in the current layout, else the older one; when neither opens shows
//      "Error <error text> opening Items" (File Error) and ends;
//   4. runs the five steps (steps.h) with the wait cursor, then closes the files.
// Every window, message and answer goes through the current frontend (runtime/ui/frontend.h).
#pragma once

#include <string>

#include "runtime/text/str.h"

namespace tdx::transfer {

// The program-wide values.
struct ProgramValues {
  Str<128> connection;  // filled by InitDBConnect
  Str<64> gvpath;       // GLO:GVPATH, the hidden path entry; nothing reads it
};
ProgramValues& program_values();

// Runs the program as described above. Fatal file errors end the process through halt()
// (reports/framework/standard_messages.h).
void run_program();

// The status window and the transfer alone, with the connection string given (for tests).
void run_transfer_window(const std::string& connection);

}  // namespace tdx::transfer
