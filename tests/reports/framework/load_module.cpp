// Loads a shared library the way the main module loads the report module (every symbol bound at
// load) and says whether it loaded: exit 0, or 1 with the loader's reason on stderr.
#include <dlfcn.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* h = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  return 0;
}
