// Bound names: the variables that filter and condition texts may name.
//
// A name ("PRO:BID_ID", "Glo:Manufac", "BeginDate1") is bound to a VarRef: a record field, a
// memo with its size, a global or a procedure's local. Names match without regard to case
// ("PRO:PBCode" is "PRO:PBCODE").
//
// Names live in frames. A procedure pushes a frame at entry and pops it at its end (BindFrame
// does both); every name bound while a frame is the innermost one is released with it. A name
// bound again in the same frame replaces the earlier binding; a name bound in an inner frame
// hides the same name of an outer frame until the inner frame is popped. The bottom frame is
// never popped: names bound there (process globals) live as long as the process.
//
// BoundNames::global() is the one registry of the process. It lives in tdxruntime, so every
// module of a process (the main module, the report module) sees the same names.
//
// Each binding may carry an owner tag: an opaque pointer naming what the storage belongs to
// (a file's record buffer, for instance). Views use it to tell a joined file's fields from the
// globals a filter compares them with; the registry never dereferences it.
//
// A compiled expression resolves its names once, when it is compiled; popping the frame later
// does not invalidate it (its VarRefs point at storage whose owner outlives them).
//
// Not thread-safe: everything runs on the caller's single thread.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/base/value.h"

namespace tdx {

struct BoundName {
  std::string name;  // as first bound (for messages); lookup uses the upper-cased form
  VarRef ref;
  const void* owner = nullptr;
};

// One name of a record for bind_all: a record binds every field under its text name.
struct NamedRef {
  std::string_view name;
  VarRef ref;
};

class BoundNames {
 public:
  BoundNames();
  BoundNames(const BoundNames&) = delete;
  BoundNames& operator=(const BoundNames&) = delete;

  // The registry of the process.
  static BoundNames& global();

  void push_frame();
  // Releases the names of the innermost frame. Popping the bottom frame is refused (error).
  Status pop_frame();
  // Number of frames, the bottom frame included (1 when nothing was pushed).
  size_t depth() const { return frames_.size(); }

  // Binds name to ref in the innermost frame. An empty name, a name with a character that
  // cannot appear in an expression name, or an invalid ref is an error.
  Status bind(std::string_view name, VarRef ref, const void* owner = nullptr);
  // Binds every (name, ref) of a record under one owner; stops at the first error.
  Status bind_all(std::span<const NamedRef> fields, const void* owner = nullptr);
  // Removes the binding of name from the innermost frame only (no error when absent).
  void unbind(std::string_view name);

  // The visible binding of name (innermost frame first), or nullptr.
  const BoundName* find(std::string_view name) const;

  // True when every character can appear in a name an expression reads:
  // a letter or '_' first, then letters, digits, '_' and ':'.
  static bool valid_name(std::string_view name);

 private:
  struct Frame {
    std::unordered_map<std::string, BoundName> names;  // key: upper-cased name
  };
  std::vector<Frame> frames_;
};

// Pushes a frame of the given registry on construction and pops it on destruction.
class BindFrame {
 public:
  explicit BindFrame(BoundNames& names = BoundNames::global()) : names_(names) {
    names_.push_frame();
  }
  ~BindFrame() { (void)names_.pop_frame(); }
  BindFrame(const BindFrame&) = delete;
  BindFrame& operator=(const BindFrame&) = delete;

 private:
  BoundNames& names_;
};

}  // namespace tdx
