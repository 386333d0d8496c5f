// The store's error codes and texts, in one place.
//
// Every failing store operation returns a tdx::Status whose code and text come from this table,
// and records the error as the thread's last error (code, text and, for errors the operating
// system reported, its own errno and text), so a message procedure can show both the store's
// and the operating system's view of a failure. Codes never change once published: stored
// messages and callers compare them. The table is documented in docs/store.md.
#pragma once

#include <string>
#include <string_view>

#include "runtime/base/status.h"

namespace tdx::store {

enum ErrorCode : int {
  kNoError = 0,
  kFileNotFound = 2,        // the file does not exist
  kAccessDenied = 5,        // the operating system refused access (permissions, read-only)
  kFileLocked = 32,         // another station holds a lock longer than the wait allowed
  kRecordNotAvailable = 33, // end or start of data, or no current record for put/delete
  kRecordNotFound = 35,     // get: no record with these key values
  kInvalidFile = 36,        // not a store file, or its record declaration differs
  kFileNotOpen = 37,        // the operation needs an open file
  kDuplicateKey = 40,       // a unique key would hold two equal values; nothing was stored
  kInvalidKeyFile = 46,     // the keys differ from the declaration or an index is missing
  kMemoTooLong = 47,        // a memo longer than its declared size; nothing was stored
  kBadOption = 48,          // a driver option the store does not know
  kTransactionFailed = 49,  // commit or rollback failed; the transaction was rolled back
  kTransactionActive = 56,  // begin while a transaction is active, or commit without one
  kInvalidDeclaration = 57, // the declaration itself is inconsistent (caught before any I/O)
  kChangedByOther = 89,     // put over a watched record that another station changed
  kFileSystemError = 90,    // the operating system failed the operation: see last_error()
  kDamagedFile = 91,        // the database or a record is damaged
};

// The fixed text of a code ("Creates duplicate key"); "Unknown error" for a code not in the
// table.
const char* error_text(int code);

// A Status with the code and its fixed text; `detail` (which file, which key) is appended after
// ": " when not empty.
Status make_error(int code, std::string_view detail = {});

// The last error of this thread, as a message procedure wants it.
struct ErrorInfo {
  int code = 0;
  std::string text;
  int os_code = 0;      // errno when the operating system failed the operation, else 0
  std::string os_text;  // strerror(os_code)
};
const ErrorInfo& last_error();
// Records s (and os_code when non-zero) as the last error and returns s, so that callers can
// write `return fail(make_error(...))`.
Status fail(Status s, int os_code = 0);
void clear_last_error();

}  // namespace tdx::store
