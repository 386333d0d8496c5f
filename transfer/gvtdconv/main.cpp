// gvtdconv, "Xfer from Granvel": fills the catalog files of the working directory from the
// back-office database. It has no command-line options. Like `tendix`, it talks to its user
// through the host frontend (docs/script.md):
//   TDX_SCRIPT  a script file answering the windows and messages (batch runs and tests);
//               without it the actions are read from the terminal, one line at a time.
//   TDX_OUT     a file that receives the transcript when the program ends (it is also written
//               to standard output as it is made).
// Without TDX_SCRIPT, a person at a display gets real windows through the desktop frontend
// (core/host/desktop_loader.h: TDX_FRONTEND=desktop|terminal, or a display that is there).
// Exit status: 0 when the program ran to its end (whatever the user chose), 1 when the script
// left something unanswered or a fatal file error ended the program, 2 when the script cannot
// be read.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "core/host/desktop_loader.h"
#include "core/host/host_frontend.h"
#include "reports/framework/standard_messages.h"
#include "runtime/ui/frontend.h"
#include "transfer/gvtdconv/program.h"

namespace {

void write_transcript(const tdx::host::HostFrontend& fe) {
  const char* out = std::getenv("TDX_OUT");
  if (out == nullptr || *out == '\0') return;
  std::ofstream f(out, std::ios::binary | std::ios::trunc);
  f << fe.transcript();
}

}  // namespace

int main() {
  const char* script = std::getenv("TDX_SCRIPT");
  const bool interactive = script == nullptr || *script == '\0';
  tdx::host::HostFrontend fe(interactive, false);
  if (!interactive) {
    tdx::Status s = fe.load_script(script);
    if (!s.ok()) {
      std::cerr << "gvtdconv: " << s.text() << "\n";
      return 2;
    }
  }
  tdx::host::DesktopFrontendPtr desktop;
  if (interactive && tdx::host::ChooseFrontend() == tdx::host::FrontendKind::Desktop) {
    auto loaded = tdx::host::LoadDesktopFrontend();
    if (loaded.ok()) {
      desktop = std::move(*loaded);
    } else {
      std::cerr << "gvtdconv: " << loaded.status().text() << "; using the terminal\n";
    }
  }
  // A fatal file error ends the program; the transcript up to it is still kept.
  tdx::reports::set_halt_handler([&fe](const std::string& text) {
    write_transcript(fe);
    std::cerr << text << "\n";
    std::fflush(stdout);
    std::_Exit(1);
  });
  {
    tdx::ui::ScopedFrontend scope(desktop ? desktop.get() : static_cast<tdx::ui::Frontend*>(&fe));
    tdx::transfer::run_program();
  }
  write_transcript(fe);
  tdx::Status done = desktop ? tdx::host::FinishDesktop(desktop) : fe.finish();
  if (!done.ok()) {
    std::cerr << "gvtdconv: the run failed: " << done.text() << "\n";
    return 1;
  }
  return 0;
}
