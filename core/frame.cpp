#include "core/frame.h"

#include <string>
#include <vector>

#include "runtime/ui/window_def.h"

namespace tdx::core {
namespace {

const char* const kNames[] = {"Insert",    "Change",     "Delete",    "Select",
                              "LastPage",  "FirstPage",  "NextPage",  "PriorPage",
                              "NextRecord", "PriorRecord", "Locate",  "History",
                              "Help"};

ui::WindowDef FrameDef() {
  ui::WindowBuilder b("Tendix", 640, 400);
  b.name("Tendix main frame");
  for (int id = kToolbarFirst; id <= kToolbarLast; ++id)
    b.button(ToolbarLabel(id), "", {(id - kToolbarFirst) * 14, 0, 14, 14}).id(id).disabled();
  return b.build();
}

}  // namespace

std::string ToolbarLabel(int id) {
  if (id < kToolbarFirst || id > kToolbarLast) return "";
  return std::string("?Toolbar") + kNames[id - kToolbarFirst];
}

ui::Window& MainFrame() {
  static ui::Window* frame = new ui::Window(FrameDef());  // lives to the end of the process
  return *frame;
}

Status OpenMainFrame() {
  ui::Window& f = MainFrame();
  if (f.is_open()) return Status::Ok();
  Status s = f.open();
  if (!s.ok()) return s;
  // Its first event shows it; the frame then waits underneath every procedure's windows.
  ui::Event ev;
  (void)f.accept(ev);
  return Status::Ok();
}

void CloseMainFrame() { MainFrame().close(); }

void UseToolbar(ui::Window& win, std::initializer_list<int> ids) {
  if (!MainFrame().is_open()) return;
  win.use_controls_of(MainFrame(), std::vector<int>(ids));
}

void ReleaseToolbar() {
  ui::Window& f = MainFrame();
  if (!f.is_open()) return;
  for (int id = kToolbarFirst; id <= kToolbarLast; ++id) {
    (void)f.set_control_disabled(id, true);
    f.set_control_tip(id, "");
  }
}

}  // namespace tdx::core
