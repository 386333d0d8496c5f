#include "runtime/view/row_codec.h"

#include <cstring>

#include "runtime/text/str.h"

namespace tdx::view {

void RowCodec::encode_file(const store::KeyedFile& f, std::string* out) {
  out->append(reinterpret_cast<const char*>(f.record()), f.record_size());
  for (size_t m = 0; m < f.decl().memos.size(); ++m) {
    const std::string& s = f.memo(m);
    uint32_t len = static_cast<uint32_t>(s.size());
    out->append(reinterpret_cast<const char*>(&len), 4);
    out->append(s);
  }
}

bool RowCodec::decode_file(std::string_view in, size_t* pos, store::KeyedFile& f) {
  size_t p = *pos;
  if (in.size() - p < f.record_size()) return false;
  const char* rec = in.data() + p;
  p += f.record_size();
  size_t memo_start = p;
  for (size_t m = 0; m < f.decl().memos.size(); ++m) {
    uint32_t len;
    if (in.size() - p < 4) return false;
    std::memcpy(&len, in.data() + p, 4);
    p += 4;
    if (in.size() - p < len) return false;
    p += len;
  }
  std::memcpy(f.record(), rec, f.record_size());
  p = memo_start;
  for (size_t m = 0; m < f.decl().memos.size(); ++m) {
    uint32_t len;
    std::memcpy(&len, in.data() + p, 4);
    p += 4;
    f.memo(m).assign(in.data() + p, len);
    p += len;
  }
  *pos = p;
  return true;
}

void RowCodec::encode_all(std::string* out) const {
  for (const store::KeyedFile* f : files_) encode_file(*f, out);
}

void RowCodec::decode_all(std::string_view in) const {
  size_t pos = 0;
  for (store::KeyedFile* f : files_) {
    if (!decode_file(in, &pos, *f)) return;
  }
}

void RowCodec::encode_joined(const std::vector<int>& cells, const std::vector<std::string>& copies,
                             std::string* out) const {
  for (size_t i = 1; i < files_.size(); ++i) {
    if (cells[i] < 0) {
      out->push_back('\0');
    } else {
      out->push_back('\1');
      out->append(copies[static_cast<size_t>(cells[i])]);
    }
  }
}

void RowCodec::decode_joined(std::string_view in) const {
  size_t pos = 0;
  for (size_t i = 1; i < files_.size(); ++i) {
    if (pos >= in.size()) return;
    char flag = in[pos++];
    if (flag == '\0') {
      files_[i]->clear();
    } else if (!decode_file(in, &pos, *files_[i])) {
      return;
    }
  }
}

namespace {

void append_be(std::string* out, unsigned __int128 v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out->push_back(static_cast<char>(v >> (8 * i)));
}

// The value at scale 10 as a signed 128-bit integer, saturated.
__int128 at_scale_10(const Decimal& d) {
  __int128 m = d.mantissa();
  int s = d.scale();
  const __int128 limit = static_cast<__int128>(1) << 120;
  for (; s < 10; ++s) {
    if (m > limit / 10) return limit;
    if (m < -limit / 10) return -limit;
    m *= 10;
  }
  for (; s > 10; --s) m /= 10;
  return m;
}

}  // namespace

void encode_order_value(const VarRef& ref, std::string* out) {
  switch (ref.type) {
    case FieldType::String:
    case FieldType::CString:
    case FieldType::Memo: {
      std::string_view text;
      if (ref.type == FieldType::String) {
        text = std::string_view(static_cast<const char*>(ref.ptr), ref.size);
      } else if (ref.type == FieldType::CString) {
        text = cstring_view(static_cast<const char*>(ref.ptr), ref.size);
      } else {
        text = *static_cast<const std::string*>(ref.ptr);
      }
      std::string folded = upper(clip(text));
      for (char c : folded) {
        out->push_back(c);
        if (c == '\0') out->push_back('\xFF');
      }
      out->push_back('\0');
      out->push_back('\0');
      return;
    }
    case FieldType::Real: {
      double d;
      std::memcpy(&d, ref.ptr, 8);
      if (d == 0) d = 0;  // -0 orders as 0
      uint64_t bits;
      std::memcpy(&bits, &d, 8);
      bits = (bits >> 63) ? ~bits : bits | (uint64_t{1} << 63);
      append_be(out, bits, 8);
      return;
    }
    default: {
      __int128 v = at_scale_10(ref.get().number());
      unsigned __int128 u = static_cast<unsigned __int128>(v) ^ (static_cast<unsigned __int128>(1) << 127);
      append_be(out, u, 16);
      return;
    }
  }
}

}  // namespace tdx::view
