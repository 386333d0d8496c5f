#include "runtime/store/keyed_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "runtime/store/schema.h"
#include "runtime/text/str.h"

namespace tdx::store {
namespace {

constexpr int kQuickscanBatch = 64;
constexpr unsigned char kPosMagic[4] = {'T', 'D', 'X', 'P'};

bool ieq(std::string_view a, std::string_view b) {
  return a.size() == b.size() && upper(a) == upper(b);
}

void exec_all(sqlite3* db, const std::string& sql, int* rc) {
  *rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

std::string dir_of(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}
std::string base_of(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A kill early in a commit over several files can leave a super-journal "NAME-mjXXXXXXXX" that
// SQLite never removes. One that is a little old and that no journal of the folder names is
// stale: removing it changes nothing for any recovery.
void remove_stale_super_journals(const std::string& path) {
  std::string dir = dir_of(path), prefix = base_of(path) + "-mj";
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  std::vector<std::string> supers, journals;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n.compare(0, prefix.size(), prefix) == 0) supers.push_back(n);
    if (n.size() > 8 && n.compare(n.size() - 8, 8, "-journal") == 0) journals.push_back(n);
  }
  closedir(d);
  time_t now = time(nullptr);
  for (const std::string& s : supers) {
    std::string full = (dir == "." ? std::string() : dir) + s;
    struct stat st;
    if (stat(full.c_str(), &st) != 0 || now - st.st_mtime < 10) continue;
    bool referenced = false;
    for (const std::string& j : journals) {
      std::ifstream in((dir == "." ? std::string() : dir) + j, std::ios::binary);
      std::stringstream buf;
      buf << in.rdbuf();
      if (buf.str().find(s) != std::string::npos) referenced = true;
    }
    if (!referenced) unlink(full.c_str());
  }
}

int64_t decimal_key(const Decimal& d, int places) {
  std::string t = d.ToFixed(places);
  int64_t v = 0;
  bool neg = false;
  for (char c : t) {
    if (c == '-') neg = true;
    if (c >= '0' && c <= '9') v = v * 10 + (c - '0');
  }
  return neg ? -v : v;
}

void bind_value(sqlite3_stmt* st, int i, const KeyValue& v) {
  switch (v.index()) {
    case 0: sqlite3_bind_null(st, i); break;
    case 1: sqlite3_bind_int64(st, i, std::get<1>(v)); break;
    case 2: sqlite3_bind_double(st, i, std::get<2>(v)); break;
    case 3: {
      const std::string& s = std::get<3>(v);
      sqlite3_bind_blob(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
      break;
    }
  }
}

KeyValue column_value(sqlite3_stmt* st, int i) {
  switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL: return std::monostate();
    case SQLITE_INTEGER: return static_cast<int64_t>(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT: return sqlite3_column_double(st, i);
    default: {
      const void* p = sqlite3_column_blob(st, i);
      int n = sqlite3_column_bytes(st, i);
      return std::string(static_cast<const char*>(p ? p : ""), static_cast<size_t>(n));
    }
  }
}

std::string column_blob(sqlite3_stmt* st, int i) {
  const void* p = sqlite3_column_blob(st, i);
  int n = sqlite3_column_bytes(st, i);
  return std::string(static_cast<const char*>(p ? p : ""), static_cast<size_t>(n));
}

// Resets a statement on every path out of an operation: a statement left stepping would hold
// the file's shared lock and stall every other station's commit.
struct Resetter {
  sqlite3_stmt* st;
  ~Resetter() {
    if (st) {
      sqlite3_reset(st);
      sqlite3_clear_bindings(st);
    }
  }
};

Status errno_status(int code, int err, const std::string& detail) {
  return fail(make_error(code, detail + ": " + std::strerror(err)), err);
}

}  // namespace

KeyedFile::KeyedFile(std::shared_ptr<const FileDecl> decl)
    : decl_(std::move(decl)), name_(decl_->file_name), rec_(decl_->record_size) {
  memos_.resize(decl_->memos.size());
  clear();
}

KeyedFile::~KeyedFile() { close(); }

std::string KeyedFile::table() const { return "\"" + schema_ + "\".data"; }
bool KeyedFile::in_txn() const { return in_transaction_; }

// --- record buffer ------------------------------------------------------------------------

void KeyedFile::clear() {
  std::memset(rec_.data(), ' ', rec_.size());
  for (size_t i = 0; i < decl_->fields.size(); ++i) field(i).clear();
  for (std::string& m : memos_) m.clear();
}

VarRef KeyedFile::field(size_t i) {
  const FieldDecl& f = decl_->fields[i];
  return VarRef{f.type, rec_.data() + f.offset, f.size, f.digits, f.places};
}

VarRef KeyedFile::memo_ref(size_t i) { return VarRef::Memo(&memos_[i], decl_->memos[i].size); }

VarRef KeyedFile::field(std::string_view name) {
  int i = decl_->find_field(name);
  if (i >= 0) return field(static_cast<size_t>(i));
  int m = decl_->find_memo(name);
  if (m >= 0) return memo_ref(static_cast<size_t>(m));
  return VarRef{};
}

Value KeyedFile::get_value(std::string_view name) {
  VarRef r = field(name);
  return r.valid() ? r.get() : Value();
}

Status KeyedFile::set_value(std::string_view name, const Value& v) {
  VarRef r = field(name);
  if (!r.valid()) return fail(make_error(kInvalidDeclaration, "no field " + std::string(name)));
  return r.set(v);
}

std::vector<KeyValue> KeyedFile::key_values(int k) const {
  const KeyDecl& key = decl_->keys[k];
  std::vector<KeyValue> out;
  bool all_blank = true, any_blank = false;
  for (int c : key.components) {
    const FieldDecl& f = decl_->fields[c];
    const unsigned char* p = rec_.data() + f.offset;
    switch (f.type) {
      case FieldType::String:
      case FieldType::CString: {
        std::string_view s(reinterpret_cast<const char*>(p), f.size);
        if (f.type == FieldType::CString) s = cstring_view(s.data(), s.size());
        s = clip(s);
        if (s.empty()) any_blank = true; else all_blank = false;
        out.emplace_back(key.nocase() ? upper(s) : std::string(s));
        break;
      }
      case FieldType::Real: {
        double d;
        std::memcpy(&d, p, 8);
        if (d == 0) any_blank = true; else all_blank = false;
        out.emplace_back(d);
        break;
      }
      default: {
        VarRef r{f.type, const_cast<unsigned char*>(p), f.size, f.digits, f.places};
        Decimal d = r.get().number();
        int64_t v = f.type == FieldType::Decimal ? decimal_key(d, f.places) : d.to_integer();
        if (v == 0) any_blank = true; else all_blank = false;
        out.emplace_back(v);
        break;
      }
    }
  }
  if ((key.opt() && all_blank) || (key.opt_any_blank() && any_blank))
    for (KeyValue& v : out) v = std::monostate();
  return out;
}

// --- statements ---------------------------------------------------------------------------

sqlite3_stmt* KeyedFile::stmt(const std::string& tag, const std::string& sql) {
  auto it = stmts_.find(tag);
  if (it != stmts_.end()) return it->second;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v3(route_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) !=
      SQLITE_OK)
    return nullptr;
  stmts_[tag] = st;
  return st;
}

void KeyedFile::drop_statements() {
  for (auto& [tag, st] : stmts_) sqlite3_finalize(st);
  stmts_.clear();
}

void KeyedFile::set_route(sqlite3* db, std::string schema) {
  drop_statements();
  route_ = db;
  schema_ = std::move(schema);
  ahead_.clear();
}

Status KeyedFile::sql_error(int rc, std::string_view what) const {
  sqlite3* db = route_ ? route_ : db_;
  std::string detail = name_ + ": " + std::string(what);
  if (db) detail += ": " + std::string(sqlite3_errmsg(db));
  int os = db ? sqlite3_system_errno(db) : 0;
  switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return fail(make_error(kFileLocked, detail));
    case SQLITE_CONSTRAINT: return fail(make_error(kDuplicateKey, detail));
    case SQLITE_NOTADB: return fail(make_error(kInvalidFile, detail));
    case SQLITE_CORRUPT: return fail(make_error(kDamagedFile, detail));
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return fail(make_error(kAccessDenied, detail), os);
    default: return fail(make_error(kFileSystemError, detail), os);
  }
}

Status KeyedFile::check_memos() const {
  for (size_t i = 0; i < memos_.size(); ++i)
    if (memos_[i].size() > decl_->memos[i].size)
      return fail(make_error(kMemoTooLong, decl_->prefix + ":" + decl_->memos[i].name));
  return Status::Ok();
}

// --- open / create / close ----------------------------------------------------------------

Status KeyedFile::open(OpenMode mode) {
  if (db_) return Status::Ok();
  mode_ = mode;
  Status s = open_connection(true);
  if (!s.ok()) return s;
  clear_last_error();
  return s;
}

Status KeyedFile::open_connection(bool check_keys) {
  struct stat st;
  if (stat(name_.c_str(), &st) != 0) {
    int err = errno;
    if (err == ENOENT) return fail(make_error(kFileNotFound, name_), err);
    return errno_status(err == EACCES ? kAccessDenied : kFileSystemError, err, name_);
  }
  bool read_only = mode_.access == Access::ReadOnly;
  if (access(name_.c_str(), read_only ? R_OK : (R_OK | W_OK)) != 0)
    return errno_status(kAccessDenied, errno, name_);
  remove_stale_super_journals(name_);
  int flags = (read_only ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(name_.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    int os = db ? sqlite3_system_errno(db) : 0;
    sqlite3_close_v2(db);
    return fail(make_error(kFileSystemError, name_), os);
  }
  db_ = db;
  set_route(db_, "main");
  sqlite3_extended_result_codes(db_, 1);
  // A lock left by an interrupted writer is recovered by the first read (SQLite rolls the hot
  // journal back); "Recover=N" lets that first read wait up to N seconds.
  int wait = std::max(lock_wait_ms_, recover_seconds_ * 1000);
  recover_seconds_ = 0;
  sqlite3_busy_timeout(db_, wait);
  Status s = check_schema(check_keys);
  if (s.ok() && mode_.share != Share::DenyNone) {
    // Other share modes hold a lock for as long as the file is open: deny-all an exclusive
    // one, deny-write / deny-read a shared one (see docs/store.md for what that means).
    exec_all(db_, "PRAGMA locking_mode=EXCLUSIVE", &rc);
    if (rc == SQLITE_OK)
      exec_all(db_,
               mode_.share == Share::DenyAll ? "BEGIN EXCLUSIVE; COMMIT"
                                             : "SELECT count(*) FROM meta",
               &rc);
    if (rc != SQLITE_OK) s = sql_error(rc, "share mode");
  }
  sqlite3_busy_timeout(db_, lock_wait_ms_);
  if (!s.ok()) {
    drop_statements();
    sqlite3_close_v2(db_);
    db_ = route_ = nullptr;
  }
  return s;
}

Status KeyedFile::check_schema(bool check_keys) {
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(db_, "SELECT name, value FROM main.meta", -1, &st, nullptr);
  if (rc != SQLITE_OK) {
    int code = rc & 0xFF;
    sqlite3_finalize(st);
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED || code == SQLITE_IOERR ||
        code == SQLITE_CANTOPEN)
      return sql_error(rc, "open");
    return fail(make_error(kInvalidFile, name_ + ": not a store file"));
  }
  std::map<std::string, std::string> meta;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW)
    meta[reinterpret_cast<const char*>(sqlite3_column_text(st, 0))] =
        reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) return sql_error(rc, "open");
  if (meta["format"] != schema::kFormat)
    return fail(make_error(kInvalidFile, name_ + ": unknown format '" + meta["format"] + "'"));
  if (!ieq(meta["record"], decl_->record_signature()))
    return fail(make_error(kInvalidFile, name_ + ": the record declaration differs"));
  if (!check_keys) return Status::Ok();
  if (!ieq(meta["keys"], decl_->key_signature()))
    return fail(make_error(kInvalidKeyFile, name_ + ": the keys differ from the declaration"));
  rc = sqlite3_prepare_v2(
      db_, "SELECT name FROM main.sqlite_schema WHERE type='index' AND tbl_name='data'", -1,
      &st, nullptr);
  std::vector<std::string> have;
  while (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
    have.push_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  sqlite3_finalize(st);
  for (const std::string& n : schema::index_names(*decl_))
    if (std::find(have.begin(), have.end(), n) == have.end())
      return fail(make_error(kInvalidKeyFile, name_ + ": index " + n + " is missing"));
  return Status::Ok();
}

Status KeyedFile::create(bool replace) {
  if (db_) return fail(make_error(kTransactionActive, name_ + ": create while open"));
  struct stat st;
  if (!replace && stat(name_.c_str(), &st) == 0) return Status::Ok();
  static std::atomic<int> counter{0};
  std::string tmp = name_ + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
  unlink(tmp.c_str());
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(tmp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    int os = db ? sqlite3_system_errno(db) : errno;
    sqlite3_close_v2(db);
    return fail(make_error(os == EACCES ? kAccessDenied : kFileSystemError,
                           name_ + ": " + (os ? std::strerror(os) : "cannot create")),
                os);
  }
  std::string sql = "PRAGMA journal_mode=DELETE; BEGIN;";
  for (const std::string& s : schema::create_file(*decl_)) sql += s + ";";
  sql += "COMMIT;";
  char* err = nullptr;
  rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  std::string msg = err ? err : "";
  sqlite3_free(err);
  int os = sqlite3_system_errno(db);
  sqlite3_close_v2(db);
  if (rc != SQLITE_OK) {
    unlink(tmp.c_str());
    return fail(make_error(kFileSystemError, name_ + ": " + msg), os);
  }
  // link() refuses to replace: a station that created the file first wins, and we use its file.
  int r = replace ? rename(tmp.c_str(), name_.c_str()) : link(tmp.c_str(), name_.c_str());
  int e = errno;
  unlink(tmp.c_str());
  if (r != 0 && !(e == EEXIST && !replace))
    return errno_status(e == EACCES ? kAccessDenied : kFileSystemError, e, name_);
  clear_last_error();
  return Status::Ok();
}

void KeyedFile::close() {
  if (!db_) return;
  drop_statements();
  sqlite3_close_v2(db_);
  db_ = route_ = nullptr;
  schema_ = "main";
  cur_id_ = 0;
  seq_ = SeqState::None;
  seq_key_ = -2;
  ahead_.clear();
}

// --- reading ------------------------------------------------------------------------------

namespace {
std::string select_list(const FileDecl& d, int key) {
  std::string s = "id,ver,rec";
  for (size_t m = 0; m < d.memos.size(); ++m) s += ",m" + std::to_string(m);
  if (key >= 0) s += "," + schema::key_columns(d, key);
  return s;
}
}  // namespace

Status KeyedFile::step_rows(sqlite3_stmt* st, int nkeys, std::vector<Row>* out) {
  int rc;
  size_t nm = decl_->memos.size();
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    Row r;
    r.id = sqlite3_column_int64(st, 0);
    r.ver = sqlite3_column_int64(st, 1);
    r.rec = column_blob(st, 2);
    if (r.rec.size() != decl_->record_size)
      return fail(make_error(kDamagedFile, name_ + ": record " + std::to_string(r.id)));
    for (size_t m = 0; m < nm; ++m) r.memos.push_back(column_blob(st, 3 + static_cast<int>(m)));
    for (int k = 0; k < nkeys; ++k)
      r.keys.push_back(column_value(st, 3 + static_cast<int>(nm) + k));
    out->push_back(std::move(r));
  }
  if (rc != SQLITE_DONE) return sql_error(rc, "read");
  return Status::Ok();
}

void KeyedFile::load(const Row& r) {
  std::memcpy(rec_.data(), r.rec.data(), rec_.size());
  for (size_t m = 0; m < memos_.size(); ++m) memos_[m] = r.memos[m];
  cur_id_ = r.id;
  cur_ver_ = r.ver;
  watched_ = watch_next_;
  watch_next_ = false;
}

Status KeyedFile::get(int key) {
  if (!db_) return fail(make_error(kFileNotOpen, name_));
  if (key < 0 || key >= static_cast<int>(decl_->keys.size()))
    return fail(make_error(kInvalidDeclaration, name_ + ": no such key"));
  std::vector<KeyValue> vals = key_values(key);
  if (vals[0].index() == 0)
    return fail(make_error(kRecordNotFound, name_ + ": blank values of an optional key"));
  std::string tag = "get" + std::to_string(key);
  sqlite3_stmt* st = stmts_.count(tag) ? stmts_[tag] : nullptr;
  if (!st) {
    const KeyDecl& k = decl_->keys[key];
    std::string where;
    for (size_t j = 0; j < k.components.size(); ++j)
      where += (j ? " AND k" : "k") + std::to_string(key) + "_" + std::to_string(j) + "=?";
    std::string opt = schema::opt_term(*decl_, key);
    if (!opt.empty()) where = opt + " AND " + where;
    st = stmt(tag, "SELECT " + select_list(*decl_, -1) + " FROM " + table() + " WHERE " + where +
                       " ORDER BY " + schema::key_columns(*decl_, key) + ",id LIMIT 1");
    if (!st) return sql_error(sqlite3_errcode(route_), "get");
  }
  Resetter reset{st};
  for (size_t j = 0; j < vals.size(); ++j) bind_value(st, static_cast<int>(j) + 1, vals[j]);
  std::vector<Row> rows;
  Status s = step_rows(st, 0, &rows);
  if (!s.ok()) return s;
  if (rows.empty()) return fail(make_error(kRecordNotFound, name_));
  load(rows[0]);
  cur_key_ = key;
  clear_last_error();
  return Status::Ok();
}

Status KeyedFile::set(int key) {
  if (!db_) return fail(make_error(kFileNotOpen, name_));
  if (key < 0 || key >= static_cast<int>(decl_->keys.size()))
    return fail(make_error(kInvalidDeclaration, name_ + ": no such key"));
  seq_key_ = key;
  seq_ = SeqState::Start;
  ahead_.clear();
  return Status::Ok();
}

Status KeyedFile::set_file() {
  if (!db_) return fail(make_error(kFileNotOpen, name_));
  seq_key_ = -1;
  seq_ = SeqState::Start;
  ahead_.clear();
  return Status::Ok();
}

Status KeyedFile::set_from(int key) {
  Status s = set(key);
  if (!s.ok()) return s;
  seq_vals_ = key_values(key);
  if (seq_vals_[0].index() == 0) return s;  // blank optional values: from the start
  seq_ = SeqState::Before;
  seq_id_ = INT64_MIN;  // next reads >= (values, -inf); previous reads < (values, +inf)
  return s;
}

Status KeyedFile::read_seq(bool forward) {
  if (!db_) return fail(make_error(kFileNotOpen, name_));
  if (seq_ == SeqState::None)
    return fail(make_error(kRecordNotAvailable, name_ + ": no sequence set"));
  if (!ahead_.empty() && ahead_forward_ != forward) ahead_.clear();
  if (ahead_.empty()) {
    int key = seq_key_;
    bool from_start = seq_ == SeqState::Start;
    std::string cols = key >= 0 ? schema::key_columns(*decl_, key) + ",id" : "id";
    std::string tag = std::string(forward ? "n" : "p") + (from_start ? "s" : "a") +
                      std::to_string(key);
    sqlite3_stmt* st = stmts_.count(tag) ? stmts_[tag] : nullptr;
    if (!st) {
      std::string where = key >= 0 ? schema::opt_term(*decl_, key) : std::string();
      if (!from_start) {
        std::string marks;
        size_t n = key >= 0 ? decl_->keys[key].components.size() + 1 : 1;
        for (size_t i = 0; i < n; ++i) marks += i ? ",?" : "?";
        std::string cmp = "(" + cols + ")" + (forward ? ">" : "<") + "(" + marks + ")";
        where = where.empty() ? cmp : where + " AND " + cmp;
      }
      std::string order;
      if (forward) {
        order = cols;
      } else {
        std::string c = cols + ",";
        for (size_t p = 0, q; (q = c.find(',', p)) != std::string::npos; p = q + 1)
          order += (order.empty() ? "" : ",") + c.substr(p, q - p) + " DESC";
      }
      st = stmt(tag, "SELECT " + select_list(*decl_, key) + " FROM " + table() +
                         (where.empty() ? "" : " WHERE " + where) + " ORDER BY " + order +
                         " LIMIT ?");
      if (!st) return sql_error(sqlite3_errcode(route_), "read");
    }
    Resetter reset{st};
    int i = 1;
    if (!from_start) {
      if (key >= 0)
        for (const KeyValue& v : seq_vals_) bind_value(st, i++, v);
      int64_t id = seq_id_;
      if (seq_ == SeqState::Before && !forward && id == INT64_MIN) id = INT64_MAX;
      if (seq_ == SeqState::Before && !forward && id != INT64_MAX) id = id + 1;
      sqlite3_bind_int64(st, i++, id);
    }
    sqlite3_bind_int(st, i, quickscan_ ? kQuickscanBatch : 1);
    std::vector<Row> rows;
    Status s = step_rows(st, key >= 0 ? static_cast<int>(decl_->keys[key].components.size()) : 0,
                         &rows);
    if (!s.ok()) return s;
    if (rows.empty()) return fail(make_error(kRecordNotAvailable, name_));
    for (Row& r : rows) ahead_.push_back(std::move(r));
    ahead_forward_ = forward;
  }
  Row r = std::move(ahead_.front());
  ahead_.pop_front();
  load(r);
  cur_key_ = seq_key_;
  seq_ = SeqState::After;
  seq_vals_ = std::move(r.keys);
  seq_id_ = r.id;
  clear_last_error();
  return Status::Ok();
}

Status KeyedFile::next() { return read_seq(true); }
Status KeyedFile::previous() { return read_seq(false); }

Position KeyedFile::position() const {
  Position p{};
  std::memcpy(p.data(), kPosMagic, 4);
  int32_t key = cur_key_;
  std::memcpy(p.data() + 4, &key, 4);
  std::memcpy(p.data() + 8, &cur_id_, 8);
  return p;
}

Status KeyedFile::reget(const Position& pos) {
  if (!db_) return fail(make_error(kFileNotOpen, name_));
  if (std::memcmp(pos.data(), kPosMagic, 4) != 0)
    return fail(make_error(kRecordNotAvailable, name_ + ": not a position"));
  int64_t id;
  int32_t key;
  std::memcpy(&key, pos.data() + 4, 4);
  std::memcpy(&id, pos.data() + 8, 8);
  int nkeys = key >= 0 && key < static_cast<int>(decl_->keys.size())
                  ? static_cast<int>(decl_->keys[key].components.size())
                  : 0;
  std::string tag = "byid" + std::to_string(nkeys ? key : -1);
  sqlite3_stmt* st = stmts_.count(tag) ? stmts_[tag] : nullptr;
  if (!st) st = stmt(tag, "SELECT " + select_list(*decl_, nkeys ? key : -1) + " FROM " + table() +
                              " WHERE id=?");
  if (!st) return sql_error(sqlite3_errcode(route_), "reget");
  Resetter reset{st};
  sqlite3_bind_int64(st, 1, id);
  std::vector<Row> rows;
  Status s = step_rows(st, nkeys, &rows);
  if (!s.ok()) return s;
  if (rows.empty()) return fail(make_error(kRecordNotFound, name_ + ": the record is gone"));
  ahead_.clear();
  load(rows[0]);
  cur_key_ = key;
  clear_last_error();
  return Status::Ok();
}

Status KeyedFile::reset(const Position& pos) {
  Status s = reget(pos);
  if (!s.ok()) return s;
  int32_t key;
  std::memcpy(&key, pos.data() + 4, 4);
  seq_key_ = key >= 0 && key < static_cast<int>(decl_->keys.size()) ? key : -1;
  seq_vals_ = seq_key_ >= 0 ? key_values(seq_key_) : std::vector<KeyValue>();
  if (seq_key_ >= 0 && seq_vals_[0].index() == 0) {
    // The record is not in its key (blank optional values): read that key from its start.
    seq_ = SeqState::Start;
    return s;
  }
  seq_ = SeqState::Before;
  seq_id_ = cur_id_ - 1;  // next reads this record; previous the one before it
  return s;
}

// --- writing ------------------------------------------------------------------------------

Status KeyedFile::add() {
  if (!db_) return fail(make_error(kFileNotOpen, name_));
  if (mode_.access == Access::ReadOnly) return fail(make_error(kAccessDenied, name_));
  Status s = check_memos();
  if (!s.ok()) return s;
  sqlite3_stmt* st = stmts_.count("add") ? stmts_["add"] : nullptr;
  if (!st) {
    std::string cols = "ver,rec", marks = "1,?";
    for (size_t m = 0; m < memos_.size(); ++m) cols += ",m" + std::to_string(m), marks += ",?";
    for (size_t k = 0; k < decl_->keys.size(); ++k) {
      cols += "," + schema::key_columns(*decl_, static_cast<int>(k));
      for (size_t j = 0; j < decl_->keys[k].components.size(); ++j) marks += ",?";
    }
    st = stmt("add", "INSERT INTO " + table() + "(" + cols + ") VALUES(" + marks + ")");
    if (!st) return sql_error(sqlite3_errcode(route_), "add");
  }
  Resetter reset{st};
  int i = 1;
  sqlite3_bind_blob(st, i++, rec_.data(), static_cast<int>(rec_.size()), SQLITE_STATIC);
  for (const std::string& m : memos_)
    sqlite3_bind_blob(st, i++, m.data(), static_cast<int>(m.size()), SQLITE_STATIC);
  for (size_t k = 0; k < decl_->keys.size(); ++k)
    for (const KeyValue& v : key_values(static_cast<int>(k))) bind_value(st, i++, v);
  int rc = sqlite3_step(st);
  if (rc != SQLITE_DONE) return sql_error(rc, "add");
  cur_id_ = sqlite3_last_insert_rowid(route_);
  cur_ver_ = 1;
  watched_ = false;
  ahead_.clear();
  clear_last_error();
  return Status::Ok();
}

Status KeyedFile::put() {
  if (!db_) return fail(make_error(kFileNotOpen, name_));
  if (mode_.access == Access::ReadOnly) return fail(make_error(kAccessDenied, name_));
  if (!cur_id_) return fail(make_error(kRecordNotAvailable, name_ + ": no current record"));
  Status s = check_memos();
  if (!s.ok()) return s;
  std::string tag = watched_ ? "putw" : "put";
  sqlite3_stmt* st = stmts_.count(tag) ? stmts_[tag] : nullptr;
  if (!st) {
    std::string set = "ver=ver+1,rec=?";
    for (size_t m = 0; m < memos_.size(); ++m) set += ",m" + std::to_string(m) + "=?";
    for (size_t k = 0; k < decl_->keys.size(); ++k)
      for (size_t j = 0; j < decl_->keys[k].components.size(); ++j)
        set += ",k" + std::to_string(k) + "_" + std::to_string(j) + "=?";
    st = stmt(tag, "UPDATE " + table() + " SET " + set + " WHERE id=?" +
                       (watched_ ? " AND ver=?" : "") + " RETURNING ver");
    if (!st) return sql_error(sqlite3_errcode(route_), "put");
  }
  int64_t new_ver = 0;
  {
    Resetter reset{st};
    int i = 1;
    sqlite3_bind_blob(st, i++, rec_.data(), static_cast<int>(rec_.size()), SQLITE_STATIC);
    for (const std::string& m : memos_)
      sqlite3_bind_blob(st, i++, m.data(), static_cast<int>(m.size()), SQLITE_STATIC);
    for (size_t k = 0; k < decl_->keys.size(); ++k)
      for (const KeyValue& v : key_values(static_cast<int>(k))) bind_value(st, i++, v);
    sqlite3_bind_int64(st, i++, cur_id_);
    if (watched_) sqlite3_bind_int64(st, i++, cur_ver_);
    int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
      new_ver = sqlite3_column_int64(st, 0);
      rc = sqlite3_step(st);
    }
    if (rc != SQLITE_DONE) return sql_error(rc, "put");
  }
  ahead_.clear();
  if (new_ver == 0) {
    // Nothing matched: the record is gone, or (watched) another station changed it.
    sqlite3_stmt* ex = stmt("exists", "SELECT 1 FROM " + table() + " WHERE id=?");
    if (!ex) return sql_error(sqlite3_errcode(route_), "put");
    Resetter reset{ex};
    sqlite3_bind_int64(ex, 1, cur_id_);
    int rc = sqlite3_step(ex);
    if (rc == SQLITE_ROW) return fail(make_error(kChangedByOther, name_));
    if (rc != SQLITE_DONE) return sql_error(rc, "put");
    return fail(make_error(kRecordNotAvailable, name_ + ": the record was deleted"));
  }
  cur_ver_ = new_ver;
  clear_last_error();
  return Status::Ok();
}

Status KeyedFile::erase() {
  if (!db_) return fail(make_error(kFileNotOpen, name_));
  if (mode_.access == Access::ReadOnly) return fail(make_error(kAccessDenied, name_));
  if (!cur_id_) return fail(make_error(kRecordNotAvailable, name_ + ": no current record"));
  sqlite3_stmt* st = stmts_.count("del") ? stmts_["del"] : nullptr;
  if (!st) st = stmt("del", "DELETE FROM " + table() + " WHERE id=?");
  if (!st) return sql_error(sqlite3_errcode(route_), "delete");
  Resetter reset{st};
  sqlite3_bind_int64(st, 1, cur_id_);
  int rc = sqlite3_step(st);
  if (rc != SQLITE_DONE) return sql_error(rc, "delete");
  if (sqlite3_changes(route_) == 0)
    return fail(make_error(kRecordNotAvailable, name_ + ": the record was deleted"));
  cur_id_ = 0;
  ahead_.clear();
  clear_last_error();
  return Status::Ok();
}

Result<int64_t> KeyedFile::records() {
  if (!db_) return fail(make_error(kFileNotOpen, name_));
  sqlite3_stmt* st = stmts_.count("count") ? stmts_["count"] : nullptr;
  if (!st) st = stmt("count", "SELECT count(*) FROM " + table());
  if (!st) return sql_error(sqlite3_errcode(route_), "records");
  Resetter reset{st};
  int rc = sqlite3_step(st);
  if (rc != SQLITE_ROW) return sql_error(rc, "records");
  return static_cast<int64_t>(sqlite3_column_int64(st, 0));
}

// --- driver -------------------------------------------------------------------------------

Status KeyedFile::send(std::string_view option) {
  std::string opt = upper(clip(option));
  while (!opt.empty() && opt.front() == ' ') opt.erase(0, 1);
  size_t eq = opt.find('=');
  std::string name = opt.substr(0, eq), value = eq == std::string::npos ? "" : opt.substr(eq + 1);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  while (!value.empty() && value.front() == ' ') value.erase(0, 1);
  auto number = [&](int* out) {
    if (value.empty() || value.size() > 6) return false;
    for (char c : value)
      if (c < '0' || c > '9') return false;
    *out = std::stoi(value);
    return true;
  };
  if (name == "QUICKSCAN" && (value == "ON" || value == "OFF")) {
    quickscan_ = value == "ON";
    ahead_.clear();
    return Status::Ok();
  }
  int n = 0;
  if (name == "RECOVER" && number(&n)) return db_ ? do_recover(n) : (recover_seconds_ = n, Status());
  if (name == "LOCKWAIT" && number(&n)) {
    lock_wait_ms_ = n * 1000;
    if (db_) sqlite3_busy_timeout(db_, lock_wait_ms_);
    return Status::Ok();
  }
  return fail(make_error(kBadOption, std::string(option)));
}

Status KeyedFile::do_recover(int seconds) {
  remove_stale_super_journals(name_);
  sqlite3_busy_timeout(db_, seconds * 1000);
  int rc;
  exec_all(db_, "SELECT count(*) FROM main.meta", &rc);
  sqlite3_busy_timeout(db_, lock_wait_ms_);
  if (rc != SQLITE_OK) return sql_error(rc, "recover");
  return Status::Ok();
}

Status KeyedFile::build_keys() {
  bool was_open = db_ != nullptr;
  if (in_transaction_) return fail(make_error(kTransactionActive, name_ + ": build in a transaction"));
  if (!was_open) {
    Status s = open_connection(false);
    if (!s.ok()) return s;
  }
  auto finish = [&](Status s) {
    if (!was_open) close();
    else drop_statements(), route_ = db_;
    return s;
  };
  drop_statements();
  int rc;
  exec_all(db_, "BEGIN IMMEDIATE", &rc);
  if (rc != SQLITE_OK) return finish(sql_error(rc, "build keys"));
  auto abort = [&](Status s) {
    int r;
    exec_all(db_, "ROLLBACK", &r);
    return finish(s);
  };
  exec_all(db_, "DROP TABLE IF EXISTS data_new; " + schema::create_table(*decl_, "data_new"), &rc);
  if (rc != SQLITE_OK) return abort(sql_error(rc, "build keys"));
  std::string cols = "id,ver,rec", marks = "?,?,?";
  for (size_t m = 0; m < memos_.size(); ++m) cols += ",m" + std::to_string(m), marks += ",?";
  std::string read_cols = cols;
  for (size_t k = 0; k < decl_->keys.size(); ++k) {
    cols += "," + schema::key_columns(*decl_, static_cast<int>(k));
    for (size_t j = 0; j < decl_->keys[k].components.size(); ++j) marks += ",?";
  }
  sqlite3_stmt *rd = nullptr, *wr = nullptr;
  sqlite3_prepare_v2(db_, ("SELECT " + read_cols + " FROM main.data ORDER BY id").c_str(), -1,
                     &rd, nullptr);
  sqlite3_prepare_v2(db_, ("INSERT INTO data_new(" + cols + ") VALUES(" + marks + ")").c_str(),
                     -1, &wr, nullptr);
  Status s;
  if (!rd || !wr) s = sql_error(sqlite3_errcode(db_), "build keys");
  std::vector<unsigned char> saved = rec_;
  while (s.ok() && (rc = sqlite3_step(rd)) == SQLITE_ROW) {
    std::string rec = column_blob(rd, 2);
    if (rec.size() != rec_.size()) {
      s = fail(make_error(kDamagedFile, name_ + ": record " +
                                            std::to_string(sqlite3_column_int64(rd, 0))));
      break;
    }
    std::memcpy(rec_.data(), rec.data(), rec.size());
    int i = 1;
    sqlite3_bind_int64(wr, i++, sqlite3_column_int64(rd, 0));
    sqlite3_bind_int64(wr, i++, sqlite3_column_int64(rd, 1));
    sqlite3_bind_blob(wr, i++, rec.data(), static_cast<int>(rec.size()), SQLITE_TRANSIENT);
    for (size_t m = 0; m < memos_.size(); ++m) {
      std::string v = column_blob(rd, 3 + static_cast<int>(m));
      sqlite3_bind_blob(wr, i++, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    for (size_t k = 0; k < decl_->keys.size(); ++k)
      for (const KeyValue& v : key_values(static_cast<int>(k))) bind_value(wr, i++, v);
    int w = sqlite3_step(wr);
    sqlite3_reset(wr);
    if (w != SQLITE_DONE) s = sql_error(w, "build keys");
  }
  if (s.ok() && rc != SQLITE_DONE) s = sql_error(rc, "build keys");
  std::memcpy(rec_.data(), saved.data(), saved.size());
  sqlite3_finalize(rd);
  sqlite3_finalize(wr);
  if (!s.ok()) return abort(s);
  std::string sql = "DROP TABLE main.data; ALTER TABLE data_new RENAME TO data;";
  for (const std::string& ix : schema::create_indexes(*decl_)) sql += ix + ";";
  exec_all(db_, sql, &rc);
  if (rc != SQLITE_OK) return abort(sql_error(rc, "build keys"));
  sqlite3_stmt* up = nullptr;
  sqlite3_prepare_v2(db_, "UPDATE meta SET value=? WHERE name='keys'", -1, &up, nullptr);
  std::string ks = decl_->key_signature();
  sqlite3_bind_text(up, 1, ks.c_str(), -1, SQLITE_TRANSIENT);
  rc = up ? sqlite3_step(up) : SQLITE_ERROR;
  sqlite3_finalize(up);
  if (rc != SQLITE_DONE) return abort(sql_error(rc, "build keys"));
  exec_all(db_, "COMMIT", &rc);
  if (rc != SQLITE_OK) return abort(sql_error(rc, "build keys"));
  cur_id_ = 0;
  seq_ = SeqState::None;
  clear_last_error();
  return finish(Status::Ok());
}

}  // namespace tdx::store
