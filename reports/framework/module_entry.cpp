// Module entry and exit of the report module.
//
// When the process loads the module, the runtime it uses (tdxruntime, a shared library the
// loader has initialised before this module) is ready; the module clears its own strings. When
// the process unloads it, the module releases what it kept: the display strings. Nothing else
// lives between calls: every report run reloads the display strings.
#include "reports/framework/display_strings.h"

namespace {

__attribute__((constructor)) void module_attach() { tdx::reports::clear_display_strings(); }

__attribute__((destructor)) void module_detach() { tdx::reports::clear_display_strings(); }

}  // namespace
