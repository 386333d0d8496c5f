// KeyedFile: one keyed record file of the runtime, stored as one SQLite database.
//
// A KeyedFile owns a record buffer (the fixed record bytes of its declaration plus one string
// per memo field) and, while open, a connection to its database. Code fills and reads the buffer
// through record() / memo() / field(), or through a record struct laid over record() (data/),
// and moves records between buffer and file with the runtime's operations:
//   open / create / close; clear; get (by a key, the key fields filled in); set (start of a key,
//   given key values, or record order) then next / previous; add; put (rewrite the record last
//   read); erase; records; watch; send (driver options); build_keys; position / reget / reset.
// Every operation returns a Status with the store's code and text (runtime/store/errors.h) and
// records it as the thread's last error; nothing fails silently.
//
// Keys: a unique key refuses a second equal value (kDuplicateKey, 40) and the record is not
// stored; DUP keys return equal values in the order the records were added; OPT keys leave out
// records whose components are all blank; NOCASE compares and orders without regard to case;
// strings always compare without trailing blanks.
//
// Sharing: files open read/write, deny none by default; several processes (stations) may use a
// file at once. Each operation outside a transaction commits by itself. Transactions (one file
// or several at once, committed atomically) are in runtime/store/transaction.h.
//
// Sequential reading: after set(), next() and previous() read in the key's order. With the
// driver option "QUICKSCAN=on" records are read ahead in batches (another station's change to a
// record already read ahead is seen only on the next batch); with "QUICKSCAN=off" (the default)
// each next() / previous() reads the file afresh.
//
// Threads: a KeyedFile is used by one thread at a time. Not copyable; the record buffer never
// moves while the object lives, so references into record() stay valid.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/base/value.h"
#include "runtime/store/decl.h"
#include "runtime/store/errors.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tdx::store {

// Open modes: access + sharing, encoded as the runtime encodes them (access in the low nibble,
// sharing in the high one): ReadWrite + DenyNone = 0x42.
enum class Access : uint8_t { ReadOnly = 0x0, WriteOnly = 0x1, ReadWrite = 0x2 };
enum class Share : uint8_t { DenyAll = 0x10, DenyWrite = 0x20, DenyRead = 0x30, DenyNone = 0x40 };
struct OpenMode {
  Access access = Access::ReadWrite;
  Share share = Share::DenyNone;
  static OpenMode FromCode(int code) {
    return {static_cast<Access>(code & 0x0F), static_cast<Share>(code & 0xF0)};
  }
  int code() const { return static_cast<int>(access) | static_cast<int>(share); }
};
inline constexpr int kReadWriteDenyNone = 0x42;

// A saved position: the runtime's 512-byte position buffer. Holds the record's identity and the
// key it was read by; meaningful only for the file that filled it.
using Position = std::array<unsigned char, 512>;

// One key column value as stored (NULL for a record left out of an OPT key).
using KeyValue = std::variant<std::monostate, int64_t, double, std::string>;

class KeyedFile {
 public:
  explicit KeyedFile(std::shared_ptr<const FileDecl> decl);
  ~KeyedFile();
  KeyedFile(const KeyedFile&) = delete;
  KeyedFile& operator=(const KeyedFile&) = delete;

  const FileDecl& decl() const { return *decl_; }
  std::shared_ptr<const FileDecl> decl_ptr() const { return decl_; }
  // The file's path: the declaration's file name unless set_name() gave another. Relative paths
  // are relative to the working directory at open time.
  const std::string& name() const { return name_; }
  // REQUIRES: !is_open()
  void set_name(std::string path) { name_ = std::move(path); }

  // --- files -----------------------------------------------------------------------------
  // Opens the file. Errors: kFileNotFound, kAccessDenied, kFileLocked (another station holds
  // it longer than the lock wait, or denies sharing), kInvalidFile (not a store file, or a
  // different record declaration), kInvalidKeyFile (different keys or a missing index: the
  // file stays closed; build_keys() repairs it), kFileSystemError.
  // Opening an open file is ok.
  Status open(OpenMode mode = {});
  // Creates the file empty. An existing file is left alone and reported as ok unless
  // `replace` (then it is emptied and recreated with this declaration). Race-free against
  // another station creating the same file. Leaves the file closed.
  Status create(bool replace = false);
  // Closes the file; the record buffer keeps its contents. Closing a closed file is ok.
  void close();
  bool is_open() const { return db_ != nullptr; }
  OpenMode mode() const { return mode_; }

  // --- record buffer -----------------------------------------------------------------------
  unsigned char* record() { return rec_.data(); }
  const unsigned char* record() const { return rec_.data(); }
  uint32_t record_size() const { return decl_->record_size; }
  // REQUIRES: i < decl().memos.size()
  std::string& memo(size_t i) { return memos_[i]; }
  const std::string& memo(size_t i) const { return memos_[i]; }
  // Strings to spaces, CSTRINGs to zeros, numbers to zero, memos empty, undeclared bytes to
  // spaces.
  void clear();
  // A reference to field i of the record buffer, or to memo i.
  VarRef field(size_t i);
  VarRef memo_ref(size_t i);
  // A field or memo by text name ("PRD:MANUFAC", "manufac"); an invalid VarRef when unknown.
  VarRef field(std::string_view name);
  Value get_value(std::string_view name);
  Status set_value(std::string_view name, const Value& v);

  // --- reading -----------------------------------------------------------------------------
  // Index of a key by name ("PRD:BY_MAN_PRO"), or -1.
  int find_key(std::string_view name) const { return decl_->find_key(name); }
  // Reads the first record (in key order) whose key equals the key fields of the buffer.
  // kRecordNotFound when there is none (also for all-blank values of an OPT key).
  Status get(int key);
  // The record at a saved position (the same record, whatever has moved since).
  Status reget(const Position& pos);
  // Sequence: set(key) = start of the key's order (next reads the first, previous the last);
  // set_from(key) = at the key fields of the buffer (next reads the first record >= them,
  // previous the last <= them); set_file() = record order (the order records were added).
  Status set(int key);
  Status set_from(int key);
  Status set_file();
  // Next / previous record of the sequence into the buffer; kRecordNotAvailable past the end.
  Status next();
  Status previous();
  // Where the current record is, for reget() / reset(). REQUIRES: a current record.
  Position position() const;
  // Restarts the sequence at a saved position: next() reads that record (or, when it is gone,
  // the one after where it was), previous() the one before it... the key of the position.
  Status reset(const Position& pos);
  bool has_current() const { return cur_id_ != 0; }

  // --- writing -----------------------------------------------------------------------------
  // Adds the buffer as a new record; it becomes the current record.
  Status add();
  // Rewrites the current record (the last one read or added) with the buffer. When the record
  // was read after watch(), a put over another station's change fails with kChangedByOther and
  // nothing is written; reget(position()) then reads the other version.
  Status put();
  // Deletes the current record.
  Status erase();
  // The next record read is watched (see put()).
  void watch() { watch_next_ = true; }
  Result<int64_t> records();

  // --- driver ------------------------------------------------------------------------------
  // Driver options as text, case-insensitive: "QUICKSCAN=on" / "QUICKSCAN=off";
  // "Recover=N": wait up to N seconds for a lock left by an interrupted writer and recover the
  // file (roll back its unfinished transaction) — now when open, else at the next open;
  // "LockWait=N": seconds every operation outside a transaction waits for another station's
  // lock (default 5). Unknown options: kBadOption.
  Status send(std::string_view option);
  // Rebuilds every key from the records (open or closed file). Repairs kInvalidKeyFile after a
  // declaration's keys changed. Fails with kDuplicateKey when the records break a unique key
  // (the file is then unchanged).
  Status build_keys();

  // Key column values of the record buffer for key k (all NULL for a left-out OPT record).
  std::vector<KeyValue> key_values(int k) const;

 private:
  friend class TransactionImpl;
  struct Row {
    int64_t id = 0;
    int64_t ver = 0;
    std::string rec;
    std::vector<std::string> memos;
    std::vector<KeyValue> keys;  // of the sequence key
  };
  enum class SeqState { None, Start, After, Before };

  Status open_connection(bool check_keys);
  Status check_schema(bool check_keys);
  Status do_recover(int seconds);
  sqlite3_stmt* stmt(const std::string& tag, const std::string& sql);
  void drop_statements();
  void set_route(sqlite3* db, std::string schema);
  Status step_rows(sqlite3_stmt* st, int nkeys, std::vector<Row>* out);
  void load(const Row& r);
  Status read_seq(bool forward);
  Status sql_error(int rc, std::string_view what) const;
  Status check_memos() const;
  bool in_txn() const;
  std::string table() const;

  std::shared_ptr<const FileDecl> decl_;
  std::string name_;
  OpenMode mode_;
  sqlite3* db_ = nullptr;     // own connection while open
  sqlite3* route_ = nullptr;  // connection the operations use (another file's in a transaction)
  std::string schema_ = "main";
  std::map<std::string, sqlite3_stmt*> stmts_;
  std::vector<unsigned char> rec_;
  std::vector<std::string> memos_;

  int64_t cur_id_ = 0;
  int64_t cur_ver_ = 0;
  int cur_key_ = -1;  // key the current record was read by (-1 record order / get none)
  bool watch_next_ = false;
  bool watched_ = false;

  int seq_key_ = -2;  // -2 no sequence, -1 record order, else key index
  SeqState seq_ = SeqState::None;
  std::vector<KeyValue> seq_vals_;
  int64_t seq_id_ = 0;
  std::deque<Row> ahead_;
  bool ahead_forward_ = true;
  bool quickscan_ = false;
  int recover_seconds_ = 0;
  int lock_wait_ms_ = 5000;
  bool in_transaction_ = false;
};

}  // namespace tdx::store
