// Row images: the contents of a view's record buffers as one byte string, and order values as
// byte strings that compare (memcmp) in the view's order.
//
// A file's image is its record bytes followed by each memo as a 4-byte length and its bytes.
// A row image is the images of the view's files in view order; a joined-files image starts
// each joined file with a byte: 0 blank (the buffer is cleared on decoding), 1 present.
// Images live only inside one process run (sort files, saved positions); they are not a
// stored format.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/value.h"
#include "runtime/store/keyed_file.h"

namespace tdx::view {

class RowCodec {
 public:
  void init(std::vector<store::KeyedFile*> files) { files_ = std::move(files); }

  static void encode_file(const store::KeyedFile& f, std::string* out);
  // Loads an image of f from `in` at *pos; false for a short image (nothing is loaded).
  static bool decode_file(std::string_view in, size_t* pos, store::KeyedFile& f);

  // Every file of the view.
  void encode_all(std::string* out) const;
  void decode_all(std::string_view in) const;
  // The joined files (all but the first) from per-file copies: cells[i] indexes copies, -1 is
  // blank.
  void encode_joined(const std::vector<int>& cells, const std::vector<std::string>& copies,
                     std::string* out) const;
  void decode_joined(std::string_view in) const;

 private:
  std::vector<store::KeyedFile*> files_;
};

// Appends the order encoding of a variable's value: texts clipped and upper-cased (the order
// of a NOCASE key), numbers by value, REALs by value. Prefix-free, so that components can be
// concatenated and a component inverted byte by byte for descending order.
void encode_order_value(const VarRef& ref, std::string* out);

}  // namespace tdx::view
