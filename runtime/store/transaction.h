// Transactions over one file or several files at once.
//
// logout() begins a transaction over a list of open files, waiting up to `wait` for locks that
// other stations hold; when the wait runs out it fails with kFileLocked and no transaction is
// active. Until commit() or rollback(), every add / put / erase / read of those files belongs to
// the transaction; commit() makes all their changes visible together, or none of them (the
// files are attached to one SQLite connection in rollback-journal mode, which commits attached
// databases atomically; at most 10 files per transaction). A process killed inside a
// transaction leaves each file as it was before it; the next open recovers.
//
// One transaction per thread at a time; the files must stay open until it ends. Save-error
// procedures roll back with rollback(), which is ok when no transaction is active.
#pragma once

#include <chrono>
#include <initializer_list>
#include <span>

#include "runtime/base/status.h"
#include "runtime/store/keyed_file.h"

namespace tdx::store {

inline constexpr int kMaxTransactionFiles = 10;

Status logout(std::chrono::milliseconds wait, std::span<KeyedFile* const> files);
inline Status logout(std::chrono::milliseconds wait, std::initializer_list<KeyedFile*> files) {
  return logout(wait, std::span<KeyedFile* const>(files.begin(), files.size()));
}
// Commits; on failure everything is rolled back and the error returned (kTransactionFailed
// carries the cause).
Status commit();
Status rollback();
bool transaction_active();

}  // namespace tdx::store
