#include "runtime/view/sorter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tdx::view {
namespace {

// The ordering part of an entry: key and sequence number.
std::string_view order_part(const std::string& e) {
  uint32_t klen;
  std::memcpy(&klen, e.data(), 4);
  return std::string_view(e.data() + 4, klen + 8);
}
std::string_view payload_part(const std::string& e) {
  uint32_t klen;
  std::memcpy(&klen, e.data(), 4);
  return std::string_view(e).substr(4 + klen + 8);
}
bool less(const std::string& a, const std::string& b) { return order_part(a) < order_part(b); }

Status io_error(const char* what) {
  return Status(90, std::string("Sort file ") + what + " failed: " + std::strerror(errno));
}

}  // namespace

struct Sorter::Run {
  std::FILE* f = nullptr;
  std::string current;
  ~Run() {
    if (f) std::fclose(f);
  }
  // Reads the next entry; false at the end.
  bool read(Status* st) {
    uint32_t len;
    if (std::fread(&len, 4, 1, f) != 1) {
      if (std::ferror(f)) *st = io_error("read");
      return false;
    }
    current.resize(len);
    if (len && std::fread(current.data(), 1, len, f) != len) {
      *st = io_error("read");
      return false;
    }
    return true;
  }
};

Sorter::Sorter(size_t memory_budget) : budget_(memory_budget) {}
Sorter::~Sorter() = default;

Status Sorter::add(std::string_view key, std::string_view payload) {
  std::string e;
  e.resize(4 + key.size() + 8 + payload.size());
  uint32_t klen = static_cast<uint32_t>(key.size());
  std::memcpy(e.data(), &klen, 4);
  std::memcpy(e.data() + 4, key.data(), key.size());
  uint64_t s = seq_++;
  for (int i = 0; i < 8; ++i) e[4 + key.size() + i] = static_cast<char>(s >> (56 - 8 * i));
  std::memcpy(e.data() + 4 + key.size() + 8, payload.data(), payload.size());
  used_ += e.size() + sizeof(std::string);
  memory_.push_back(std::move(e));
  ++count_;
  if (used_ > budget_) return spill();
  return Status::Ok();
}

Status Sorter::spill() {
  std::sort(memory_.begin(), memory_.end(), less);
  auto run = std::make_unique<Run>();
  run->f = std::tmpfile();
  if (!run->f) return io_error("create");
  for (const std::string& e : memory_) {
    uint32_t len = static_cast<uint32_t>(e.size());
    if (std::fwrite(&len, 4, 1, run->f) != 1 || std::fwrite(e.data(), 1, len, run->f) != len) {
      return io_error("write");
    }
  }
  if (std::fflush(run->f) != 0) return io_error("write");
  std::rewind(run->f);
  runs_.push_back(std::move(run));
  memory_.clear();
  memory_.shrink_to_fit();
  used_ = 0;
  return Status::Ok();
}

Status Sorter::finish() {
  finished_ = true;
  if (runs_.empty()) {
    std::sort(memory_.begin(), memory_.end(), less);
    return Status::Ok();
  }
  if (!memory_.empty()) {
    Status s = spill();
    if (!s.ok()) return status_ = s;
  }
  auto greater = [this](int a, int b) { return less(runs_[b]->current, runs_[a]->current); };
  for (size_t i = 0; i < runs_.size(); ++i) {
    if (runs_[i]->read(&status_)) heap_.push_back(static_cast<int>(i));
    if (!status_.ok()) return status_;
  }
  std::make_heap(heap_.begin(), heap_.end(), greater);
  return Status::Ok();
}

bool Sorter::load_memory(size_t i) {
  cursor_ = i;
  current_payload_ = payload_part(memory_[i]);
  return true;
}

bool Sorter::next() {
  if (!finished_ || !status_.ok()) return false;
  if (runs_.empty()) {
    size_t n = cursor_ == static_cast<size_t>(-1) ? 0 : cursor_ + 1;
    if (n >= memory_.size()) {
      cursor_ = memory_.size();
      return false;
    }
    return load_memory(n);
  }
  auto greater = [this](int a, int b) { return less(runs_[b]->current, runs_[a]->current); };
  // The run that gave the current entry moves on first.
  if (cursor_ != static_cast<size_t>(-1) && !heap_.empty()) {
    std::pop_heap(heap_.begin(), heap_.end(), greater);
    int r = heap_.back();
    heap_.pop_back();
    if (runs_[r]->read(&status_)) {
      heap_.push_back(r);
      std::push_heap(heap_.begin(), heap_.end(), greater);
    }
    if (!status_.ok()) return false;
  }
  if (heap_.empty()) return false;
  cursor_ = 0;  // "started"; merged results keep no index
  current_payload_ = payload_part(runs_[heap_.front()]->current);
  return true;
}

bool Sorter::previous() {
  if (!finished_ || !runs_.empty()) return false;
  if (cursor_ == static_cast<size_t>(-1) || cursor_ == 0) {
    cursor_ = static_cast<size_t>(-1);
    return false;
  }
  return load_memory(std::min(cursor_, memory_.size()) - 1);
}

bool Sorter::seek(size_t i) {
  if (!finished_ || !runs_.empty() || i >= memory_.size()) return false;
  return load_memory(i);
}

}  // namespace tdx::view
