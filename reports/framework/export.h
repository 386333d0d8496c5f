// TDX_REPORT_EXPORT marks a procedure the report module exports to the main module: a plain C
// name, no arguments, no result (inputs come through the main module's globals, the outcome goes
// to GlobalResponse). Everything else in the module is hidden.
//
//   TDX_REPORT_EXPORT void PRODUCTLISTPRINT(void) { ... }
#pragma once

#define TDX_REPORT_EXPORT extern "C" __attribute__((visibility("default")))
