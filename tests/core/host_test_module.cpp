// A stand-in report module for the host's tests: two exports that show what the host gave them
// (globals, working directory, output folder) and use the main module as reports do.
#include <filesystem>
#include <fstream>

#include "core/files.h"
#include "core/frame.h"
#include "core/globals.h"
#include "core/procedures.h"
#include "core/start.h"
#include "runtime/ui/keyboard.h"
#include "runtime/ui/message_box.h"
#include "runtime/ui/progress_window.h"
#include "runtime/ui/window.h"

namespace fs = std::filesystem;
using namespace tdx::core;  // NOLINT

extern "C" __attribute__((visibility("default"))) void SHOWSETTINGS(void) {
  std::string text = "Glo:Manufac=" + Glo::Manufac.str() +
                     " GLO:Pellam=" + std::to_string(GLO::Pellam) +
                     " BeginDate1=" + std::to_string(BeginDate1) +
                     " AFEBase=" + FAX::AFEBase.str() +
                     " data=" + (fs::exists("MANUF.DAT") ? "yes" : "no");
  tdx::ui::message(text, "Settings", tdx::ui::Icon::Information);
  GlobalRequest = kRequestSelectRecord;
  tdx::ui::type_into_keyboard(Glo::Manufac.str());
  MANUFCTRBROWSE();
  tdx::ui::message("GlobalResponse=" + std::to_string(GlobalResponse) + " brand=" +
                       MANUF::rec().MANUF_NAME.str(),
                   "Chosen", tdx::ui::Icon::Information);
}

extern "C" __attribute__((visibility("default"))) void WRITEPAGES(void) {
  // A run of 200 records with its progress window, then one page written and previewed.
  tdx::ui::ProgressWindow progress;
  if (!progress.open("Generating Report", "", "% Completed").ok()) return;
  progress.set_total(200);
  tdx::ui::Event ev;
  int read = 0;
  while (progress.accept(ev)) {
    if (ev.is(tdx::ui::EventKind::Timer)) {
      for (int i = 0; i < 25 && read < 200; ++i, ++read) progress.record_read();
      if (read == 200) progress.window().post(tdx::ui::EventKind::CloseWindow);
    }
    if (progress.is_cancel(ev)) progress.window().post(tdx::ui::EventKind::CloseWindow);
  }
  std::string page = (fs::path(OutputFolder()) / "page0001.txt").string();
  std::ofstream(page) << "page one\n";
  tdx::ui::PreviewRequest req;
  req.title = "WritePages";
  req.pages = {page};
  req.page_count = 1;
  req.folder = OutputFolder();
  GlobalResponse = tdx::ui::preview(req) == tdx::ui::PreviewAnswer::Print ? 1 : 2;
}

extern "C" __attribute__((visibility("default"))) void MARKWINDOW(void) {
  // A window that takes over the frame's navigation buttons.
  tdx::ui::Window win(tdx::ui::WindowBuilder("Mark Products", 314, 159)
                          .button("?Close", "Close", {267, 143, 42, 12})
                          .build());
  if (!win.open().ok()) return;
  UseToolbar(win, {2004, 2011});
  win.enable(ToolbarLabel(2004));
  win.set_tip(ToolbarLabel(2004), "Go to the Last Page");
  tdx::ui::Event ev;
  while (win.accept(ev)) {
    if (ev.is(tdx::ui::EventKind::Accepted) && ev.control == 2004)
      tdx::ui::message("last page", "Toolbar", tdx::ui::Icon::Information);
    if (ev.is(tdx::ui::EventKind::Accepted, "?Close")) win.post(tdx::ui::EventKind::CloseWindow);
  }
  ReleaseToolbar();
}
