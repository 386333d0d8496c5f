#include "core/host/exports.h"

#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace tdx::host {
namespace {

bool ProcedureName(const char* s, size_t max) {
  size_t n = strnlen(s, max);
  if (n == 0 || n == max || !(s[0] >= 'A' && s[0] <= 'Z')) return false;
  for (size_t i = 0; i < n; ++i)
    if (!((s[i] >= 'A' && s[i] <= 'Z') || (s[i] >= '0' && s[i] <= '9'))) return false;
  return true;
}

}  // namespace

Result<std::vector<std::string>> ListExports(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status(1, "cannot read " + path);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto bad = [&](const char* why) { return Status(1, path + " is not a usable shared library (" + why + ")"); };
  if (data.size() < sizeof(Elf64_Ehdr) || std::memcmp(data.data(), ELFMAG, SELFMAG) != 0)
    return bad("no ELF header");
  Elf64_Ehdr eh;
  std::memcpy(&eh, data.data(), sizeof eh);
  if (eh.e_ident[EI_CLASS] != ELFCLASS64 || eh.e_ident[EI_DATA] != ELFDATA2LSB)
    return bad("not 64-bit little-endian");
  if (eh.e_shentsize != sizeof(Elf64_Shdr) || eh.e_shoff > data.size() ||
      static_cast<uint64_t>(eh.e_shnum) * sizeof(Elf64_Shdr) > data.size() - eh.e_shoff)
    return bad("section table out of the file");
  std::vector<Elf64_Shdr> sh(eh.e_shnum);
  std::memcpy(sh.data(), data.data() + eh.e_shoff, sh.size() * sizeof(Elf64_Shdr));
  auto inside = [&](const Elf64_Shdr& s) {
    return s.sh_offset <= data.size() && s.sh_size <= data.size() - s.sh_offset;
  };
  std::vector<std::string> names;
  bool found = false;
  for (const Elf64_Shdr& s : sh) {
    if (s.sh_type != SHT_DYNSYM) continue;
    found = true;
    if (s.sh_link >= sh.size() || !inside(s) || !inside(sh[s.sh_link]) ||
        s.sh_entsize != sizeof(Elf64_Sym))
      return bad("damaged symbol table");
    const Elf64_Shdr& strs = sh[s.sh_link];
    const char* str = data.data() + strs.sh_offset;
    size_t count = s.sh_size / sizeof(Elf64_Sym);
    for (size_t i = 0; i < count; ++i) {
      Elf64_Sym sym;
      std::memcpy(&sym, data.data() + s.sh_offset + i * sizeof sym, sizeof sym);
      int bind = ELF64_ST_BIND(sym.st_info);
      if (ELF64_ST_TYPE(sym.st_info) != STT_FUNC || sym.st_shndx == SHN_UNDEF) continue;
      if (bind != STB_GLOBAL && bind != STB_WEAK) continue;
      if (ELF64_ST_VISIBILITY(sym.st_other) != STV_DEFAULT) continue;
      if (sym.st_name >= strs.sh_size) continue;
      const char* name = str + sym.st_name;
      if (ProcedureName(name, strs.sh_size - sym.st_name)) names.emplace_back(name);
    }
  }
  if (!found) return bad("no dynamic symbol table");
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace tdx::host
