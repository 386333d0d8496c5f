// Standard messages: the numbered error messages every procedure of the report module and of
// the transfer program shows, the saved error they describe, and how a fatal one ends the
// application.
//
// A failed file operation is kept with save_error() (code, text and, when the operating system
// refused the operation, its own code and text), which also rolls back the current transaction.
// standard_message(n, name, extra) then shows message n of the table in standard_messages.cpp
// with its caption, text, icon, buttons and default, and returns the flag of the button pressed
// (OK 1, Yes 2, No 4, Cancel 64). The text's error description E is the saved error (cleared by
// the message once used) or, without one, the store's current error of this thread.
//
// Fatal messages (1, 3, 4, 5 and 2 answered No) do not end the application themselves: the
// caller (open_file) calls halt() with the halt text. halt() prints the text on stderr and exits
// the process with status 1; tests replace that with set_halt_handler() to observe the halt, and
// the caller then gets an error back instead of a return that never comes.
//
// Module state (saved error, halt handler) is per loaded module and single-threaded, like the
// windows that show the messages.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "runtime/base/status.h"
#include "runtime/ui/message_box.h"

namespace tdx::reports {

// The saved error of a failed file operation.
struct SavedError {
  bool set = false;
  int code = 0;
  std::string text;
  int os_code = 0;      // the operating system's code, when it refused the operation
  std::string os_text;  // its text
};

// Keeps the store's current error (tdx::store::last_error()) and rolls back the current
// transaction (nothing to roll back is fine).
void save_error();
// Keeps an error that did not come from the store (a view's filter text, for instance).
void save_error(const Status& error, int os_code = 0);
// Keeps the error of a failed step: the store's current error when that is the step's error
// (it has the operating system's part), else the status itself.
void save_status(const Status& error);
const SavedError& saved_error();
void clear_saved_error();

// The error description E: the saved error's trimmed text, " (", its code, ")"; for the store's
// file-system error the operating system's text and code instead. Without a saved error, the
// store's current error the same way. The text of a store code is the store's fixed text for
// it (the file name is part of every message that needs it).
std::string error_description();

// One row of the standard message table.
struct StandardMessage {
  int number = 0;
  const char* caption = "";
  ui::Icon icon = ui::Icon::Information;
  int buttons = ui::button::kOk;  // standard button flags
  int default_button = ui::button::kOk;
};
// The row of message n, or nullptr for a number the table does not have.
const StandardMessage* find_standard_message(int number);

// The text of message n with the description E given (pieces joined as they stand; name and
// extra trimmed of trailing blanks). Message 15 reads "This record was changed by another
// station." when `changed_by_other`. Empty for an unknown number.
std::string standard_message_text(int number, std::string_view name, std::string_view extra,
                                  std::string_view description, bool changed_by_other = false);

// Shows message n and returns the flag of the button pressed. Clears the saved error. An unknown
// number shows nothing and returns OK (1).
int standard_message(int number, std::string_view name, std::string_view extra = {});

// Ending the application after a fatal message.
using HaltHandler = std::function<void(const std::string& text)>;
// Prints `text` and ends the process with a non-zero status, unless a handler is set: then the
// handler is called and halt() returns (the caller unwinds with an error).
void halt(const std::string& text);
// Sets the handler (an empty one restores the process exit). Returns the previous one.
HaltHandler set_halt_handler(HaltHandler handler);

// Halt texts of the fatal messages.
inline constexpr const char* kHaltInvalidFile = "Invalid File!";
inline constexpr const char* kHaltInvalidKey = "Invalid Key!";
inline constexpr const char* kHaltRebuildKey = "Error Rebuilding Key!";
inline constexpr const char* kHaltFileCreation = "File Creation Error!";
inline constexpr const char* kHaltDiskError = "Disk Error";

}  // namespace tdx::reports
