#include "core/browse.h"

#include "runtime/text/str.h"

namespace tdx::core {

Browse::Browse(store::KeyedFile& file, int key, int fixed) : file_(file), key_(key), fixed_(fixed) {
  comps_ = file_.decl().keys[static_cast<size_t>(key_)].components;
  for (int i = 0; i < fixed_; ++i)
    fixed_vals_.push_back(std::string(clip(file_.field(static_cast<size_t>(comps_[i])).get().text())));
  saved_rec_.assign(file_.record(), file_.record() + file_.record_size());
  for (size_t i = 0; i < file_.decl().memos.size(); ++i) saved_memos_.push_back(file_.memo(i));
}

void Browse::restore() {
  std::copy(saved_rec_.begin(), saved_rec_.end(), file_.record());
  for (size_t i = 0; i < saved_memos_.size(); ++i) file_.memo(i) = saved_memos_[i];
}

void Browse::set_key(std::string_view locator) {
  file_.clear();
  for (int i = 0; i < fixed_; ++i)
    (void)file_.field(static_cast<size_t>(comps_[i])).set(Value(fixed_vals_[static_cast<size_t>(i)]));
  (void)file_.field(static_cast<size_t>(comps_.back())).set(Value(std::string(locator)));
}

bool Browse::in_range() {
  bool nocase = file_.decl().keys[static_cast<size_t>(key_)].nocase();
  for (int i = 0; i < fixed_; ++i) {
    std::string have = file_.field(static_cast<size_t>(comps_[i])).get().text();
    const std::string& want = fixed_vals_[static_cast<size_t>(i)];
    int c = nocase ? compare_clipped_nocase(have, want) : compare_clipped(have, want);
    if (c != 0) return false;
  }
  return true;
}

std::string Browse::locator_value() {
  return std::string(clip(file_.field(static_cast<size_t>(comps_.back())).get().text()));
}

bool Browse::seek(std::string_view partial) {
  set_key(partial);
  if (!file_.set_from(key_).ok()) return false;
  if (file_.next().ok() && in_range()) return true;
  // Past the end of the list: the last record before the partial entry.
  set_key(partial);
  if (!file_.set_from(key_).ok()) return false;
  return file_.previous().ok() && in_range();
}

std::string Browse::positioned(std::string_view partial) {
  std::string v = seek(partial) ? locator_value() : std::string();
  restore();
  return v;
}

std::vector<std::string> Browse::rows(std::string_view partial, int n) {
  std::vector<std::string> out;
  if (seek(partial)) {
    out.push_back(locator_value());
    while (static_cast<int>(out.size()) < n && file_.next().ok() && in_range())
      out.push_back(locator_value());
  }
  restore();
  return out;
}

bool Browse::exists(std::string_view value) {
  set_key(value);
  bool found = file_.get(key_).ok();
  restore();
  return found;
}

Status Browse::fetch(std::string_view value) {
  set_key(value);
  Status s = file_.get(key_);
  if (!s.ok()) restore();
  return s;
}

}  // namespace tdx::core
