// A main module that exports nothing: what the report module finds when the main module lacks
// the exports it imports.
extern "C" int tdx_core_stub_marker(void) { return 0; }
