// RecordFile<Rec>: a KeyedFile whose record buffer is seen as the file's record struct.
//
//   tdx::data::RecordFile<PRD::Record> products(PRD::Decl());
//   products.rec().MANUFAC = "ACME";   products.get(PRD::BY_MAN_PRO);
//
// The struct overlays the buffer (both are plain bytes of the declared size), so fields read and
// written through rec() are what add / put store and what get / next fill in.
#pragma once

#include <memory>

#include "runtime/store/keyed_file.h"

namespace tdx::data {

template <typename Rec>
class RecordFile : public store::KeyedFile {
 public:
  explicit RecordFile(std::shared_ptr<const store::FileDecl> decl)
      : store::KeyedFile(std::move(decl)) {}
  // REQUIRES: sizeof(Rec) == record_size()
  Rec& rec() { return *reinterpret_cast<Rec*>(record()); }
  const Rec& rec() const { return *reinterpret_cast<const Rec*>(record()); }
};

}  // namespace tdx::data
