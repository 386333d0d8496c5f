#include "data/files.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/text/str.h"

namespace tdx::data {

std::shared_ptr<const store::FileDecl> make_decl(const char* label, const char* file_name,
                                                 const char* prefix, size_t record_size,
                                                 std::span<const store::FieldSpec> fields,
                                                 std::span<const store::MemoSpec> memos,
                                                 std::span<const store::KeySpec> keys) {
  std::vector<store::MemoSpec> m;
  for (const auto& s : memos)
    if (s.name && *s.name) m.push_back(s);
  std::vector<store::KeySpec> k;
  for (const auto& s : keys)
    if (s.name && *s.name) k.push_back(s);
  auto d = store::build_decl(label, file_name, prefix, static_cast<uint32_t>(record_size),
                             fields, m, k);
  if (!d.ok()) {
    std::fprintf(stderr, "declaration of %s: %s\n", label, d.status().ToString().c_str());
    std::abort();
  }
  return *d;
}

const std::vector<std::shared_ptr<const store::FileDecl>>& all_files() {
  static const std::vector<std::shared_ptr<const store::FileDecl>> files = {
      PRD::Decl(), MAN::Decl(), DIS::Decl(), MDX::Decl(), MDP::Decl(), PMF::Decl(),
      CDS::Decl(), IPR::Decl(), HEA::Decl(), SPE::Decl(), PRO::Decl(), COB::Decl(),
      BDI::Decl(), AGE::Decl(), SAL::Decl(), REG::Decl(), CMP::Decl(), COM::Decl(),
      PBC::Decl(), STC::Decl(), COD::Decl(), AWA::Decl(), EXT::Decl(), FAX::Decl()};
  return files;
}

std::shared_ptr<const store::FileDecl> find_file(std::string_view label) {
  for (const auto& d : all_files())
    if (upper(d->label) == upper(label)) return d;
  return nullptr;
}

}  // namespace tdx::data
