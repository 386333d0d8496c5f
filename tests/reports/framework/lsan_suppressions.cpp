// fontconfig keeps the patterns of the font faces cairo creates for measuring text for the life
// of the process; the leak checker would report that cache at exit. Nothing of ours is hidden.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
