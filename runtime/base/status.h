// Status: the outcome of a runtime operation, as a value the caller must look at.
//
// A Status is ok, or carries the runtime's error code and its text (40 = duplicate key; the
// store's code table lives in runtime/store/errors.h). No exception crosses a module boundary:
// operations that can fail return a Status or a Result<T>.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace tdx {

class [[nodiscard]] Status {
 public:
  Status() = default;  // ok
  Status(int code, std::string text) : code_(code), text_(std::move(text)) {}
  static Status Ok() { return Status(); }

  bool ok() const { return code_ == 0; }
  explicit operator bool() const { return ok(); }
  int code() const { return code_; }
  const std::string& text() const { return text_; }
  // "text (code)" for messages and test failures; "ok" when ok.
  std::string ToString() const {
    return ok() ? std::string("ok") : text_ + " (" + std::to_string(code_) + ")";
  }

 private:
  int code_ = 0;
  std::string text_;
};

// Result<T>: a T, or the Status that explains why there is none.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Status status) : v_(std::move(status)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  // REQUIRES: ok()
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  // Ok when a value is held.
  Status status() const { return ok() ? Status() : std::get<1>(v_); }

 private:
  std::variant<T, Status> v_;
};

}  // namespace tdx
