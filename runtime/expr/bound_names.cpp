#include "runtime/expr/bound_names.h"

namespace tdx {
namespace {

// ASCII-only case folding: names are ASCII (letters, digits, '_', ':').
std::string fold(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

BoundNames::BoundNames() { frames_.emplace_back(); }

BoundNames& BoundNames::global() {
  static BoundNames* names = new BoundNames();  // never destroyed: used until process exit
  return *names;
}

void BoundNames::push_frame() { frames_.emplace_back(); }

Status BoundNames::pop_frame() {
  if (frames_.size() <= 1) return Status(1, "no frame of bound names to release");
  frames_.pop_back();
  return Status::Ok();
}

bool BoundNames::valid_name(std::string_view name) {
  if (name.empty() || !is_alpha(name[0])) return false;
  for (char c : name) {
    if (!is_alpha(c) && !is_digit(c) && c != ':') return false;
  }
  return true;
}

Status BoundNames::bind(std::string_view name, VarRef ref, const void* owner) {
  if (!valid_name(name)) return Status(1, "cannot bind the name \"" + std::string(name) + "\"");
  if (!ref.valid()) return Status(1, "cannot bind \"" + std::string(name) + "\" to no variable");
  frames_.back().names[fold(name)] = BoundName{std::string(name), ref, owner};
  return Status::Ok();
}

Status BoundNames::bind_all(std::span<const NamedRef> fields, const void* owner) {
  for (const NamedRef& f : fields) {
    Status s = bind(f.name, f.ref, owner);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

void BoundNames::unbind(std::string_view name) { frames_.back().names.erase(fold(name)); }

const BoundName* BoundNames::find(std::string_view name) const {
  std::string key = fold(name);
  for (auto it = frames_.rbegin(); it != frames_.rend(); ++it) {
    auto found = it->names.find(key);
    if (found != it->names.end()) return &found->second;
  }
  return nullptr;
}

}  // namespace tdx
