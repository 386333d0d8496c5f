#include "runtime/store/errors.h"

#include <cstring>

namespace tdx::store {
namespace {

struct Entry {
  int code;
  const char* text;
};

constexpr Entry kTable[] = {
    {kNoError, "No error"},
    {kFileNotFound, "File not found"},
    {kAccessDenied, "Access denied"},
    {kFileLocked, "File is locked"},
    {kRecordNotAvailable, "Record not available"},
    {kRecordNotFound, "Record not found"},
    {kInvalidFile, "Invalid file"},
    {kFileNotOpen, "File not open"},
    {kDuplicateKey, "Creates duplicate key"},
    {kInvalidKeyFile, "Key file invalid"},
    {kMemoTooLong, "Memo too long"},
    {kBadOption, "Unknown driver option"},
    {kTransactionFailed, "Transaction failed"},
    {kTransactionActive, "Transaction already active or not active"},
    {kInvalidDeclaration, "Invalid file declaration"},
    {kChangedByOther, "Record changed by another station"},
    {kFileSystemError, "File system error"},
    {kDamagedFile, "Damaged file"},
};

thread_local ErrorInfo t_last;

}  // namespace

const char* error_text(int code) {
  for (const Entry& e : kTable)
    if (e.code == code) return e.text;
  return "Unknown error";
}

Status make_error(int code, std::string_view detail) {
  std::string text = error_text(code);
  if (!detail.empty()) {
    text += ": ";
    text += detail;
  }
  return Status(code, std::move(text));
}

const ErrorInfo& last_error() { return t_last; }

Status fail(Status s, int os_code) {
  t_last.code = s.code();
  t_last.text = s.text();
  t_last.os_code = os_code;
  t_last.os_text = os_code ? std::strerror(os_code) : "";
  return s;
}

void clear_last_error() { t_last = ErrorInfo(); }

}  // namespace tdx::store
