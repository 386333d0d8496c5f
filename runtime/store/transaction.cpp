#include "runtime/store/transaction.h"

#include <sqlite3.h>

#include <string>
#include <vector>

#include "runtime/store/errors.h"

namespace tdx::store {

class TransactionImpl {
 public:
  static Status begin(std::chrono::milliseconds wait, std::span<KeyedFile* const> files);
  static Status end(bool commit);
  static bool active() { return !files_.empty(); }

 private:
  static void restore();
  static thread_local std::vector<KeyedFile*> files_;
  static thread_local std::vector<std::string> attached_;
};

thread_local std::vector<KeyedFile*> TransactionImpl::files_;
thread_local std::vector<std::string> TransactionImpl::attached_;

void TransactionImpl::restore() {
  if (files_.empty()) return;
  sqlite3* owner = files_[0]->db_;
  for (size_t i = 1; i < files_.size(); ++i) files_[i]->set_route(files_[i]->db_, "main");
  for (const std::string& schema : attached_)
    sqlite3_exec(owner, ("DETACH " + schema).c_str(), nullptr, nullptr, nullptr);
  for (KeyedFile* f : files_) f->in_transaction_ = false;
  sqlite3_busy_timeout(owner, files_[0]->lock_wait_ms_);
  files_.clear();
  attached_.clear();
}

Status TransactionImpl::begin(std::chrono::milliseconds wait, std::span<KeyedFile* const> list) {
  if (active()) return fail(make_error(kTransactionActive, "a transaction is active"));
  std::vector<KeyedFile*> files;
  for (KeyedFile* f : list) {
    if (!f || !f->is_open()) return fail(make_error(kFileNotOpen, f ? f->name() : "null"));
    bool seen = false;
    for (KeyedFile* g : files) seen = seen || g == f;
    if (!seen) files.push_back(f);
  }
  if (files.empty()) return fail(make_error(kTransactionActive, "no files"));
  if (files.size() > kMaxTransactionFiles)
    return fail(make_error(kTransactionFailed, "more than 10 files in one transaction"));
  files_ = files;
  KeyedFile* owner = files[0];
  for (size_t i = 1; i < files.size(); ++i) {
    std::string schema = "t" + std::to_string(i);
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(owner->db_, ("ATTACH ? AS " + schema).c_str(), -1, &st, nullptr);
    if (rc == SQLITE_OK) {
      sqlite3_bind_text(st, 1, files[i]->name().c_str(), -1, SQLITE_TRANSIENT);
      rc = sqlite3_step(st);
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
      Status s = files[i]->sql_error(rc, "attach");
      restore();
      return s;
    }
    attached_.push_back(schema);
    files[i]->set_route(owner->db_, schema);
  }
  for (KeyedFile* f : files) {
    f->in_transaction_ = true;
    f->ahead_.clear();
  }
  owner->drop_statements();
  sqlite3_busy_timeout(owner->db_, static_cast<int>(wait.count()));
  // IMMEDIATE takes the write lock of every attached file now, so a transaction that begins
  // holds its files until it ends.
  int rc = sqlite3_exec(owner->db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  sqlite3_busy_timeout(owner->db_, owner->lock_wait_ms_);
  if (rc != SQLITE_OK) {
    Status s = owner->sql_error(rc, "begin transaction");
    restore();
    return s;
  }
  return Status::Ok();
}

Status TransactionImpl::end(bool commit) {
  if (!active()) {
    if (!commit) return Status::Ok();
    return fail(make_error(kTransactionActive, "commit without a transaction"));
  }
  KeyedFile* owner = files_[0];
  // Statements must be finished before the transaction can end and the files detach.
  for (KeyedFile* f : files_) f->drop_statements();
  Status s;
  if (commit) {
    int rc = sqlite3_exec(owner->db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
      s = owner->sql_error(rc, "commit");
      s = fail(make_error(kTransactionFailed, s.text()));
      sqlite3_exec(owner->db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
  } else if (!sqlite3_get_autocommit(owner->db_)) {
    int rc = sqlite3_exec(owner->db_, "ROLLBACK", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) s = fail(make_error(kTransactionFailed, owner->sql_error(rc, "rollback").text()));
  }
  restore();
  return s;
}

Status logout(std::chrono::milliseconds wait, std::span<KeyedFile* const> files) {
  return TransactionImpl::begin(wait, files);
}
Status commit() { return TransactionImpl::end(true); }
Status rollback() { return TransactionImpl::end(false); }
bool transaction_active() { return TransactionImpl::active(); }

}  // namespace tdx::store
