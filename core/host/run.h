// `tendix run EXPORT`: load the report module by name, find the export, call it through the
// host frontend inside the main frame.
#pragma once

#include <string>
#include <vector>

namespace tdx::host {

struct RunOptions {
  std::string export_name;
  std::string script;            // empty: actions from the terminal
  std::string out_dir;           // empty: pages go where their settings say
  std::string data_dir;          // empty: the current directory
  std::vector<std::string> sets; // NAME=VALUE
  std::string library;           // empty: found as described in FindReportsLibrary
};

// Where libtdxreports.so is taken from, first found: `given`; $TDX_REPORTS_LIB; beside the
// tendix program; ../lib beside it; the build tree's reports folder; else the bare name for the
// loader's own search.
std::string FindReportsLibrary(const std::string& given);

// Runs it; returns the process exit code (0 the run went through, whatever the user chose;
// 1 the run failed; 2 bad options or nothing to run). Messages go to stderr.
int Run(const RunOptions& opt);

// Sets one main-module global from NAME=VALUE; an error says why it cannot.
std::string SetGlobal(const std::string& assignment);

}  // namespace tdx::host
