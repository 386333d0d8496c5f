#include "transfer/gvtdconv/program.h"

#include <cstdio>

#include "runtime/store/errors.h"
#include "runtime/ui/message_box.h"
#include "runtime/ui/window.h"
#include "runtime/ui/window_text.h"
#include "transfer/gvdbconn/gvdbconn.h"
#include "transfer/gvtdconv/files.h"
#include "transfer/gvtdconv/steps.h"

namespace tdx::transfer {
namespace {

// The source choice and the path stay hidden: the transfer always reads the SQL database the
// connection string names.
constexpr const char* kStartWindow = R"window(
window "Xfer from Granvel" 253 72 font="MS Sans Serif",8
| kind   | label               | text                   | variable    | picture | at           | attributes |
| option | ?SOURCEFILES        | "Granvel Source Files" | SOURCEFILES | -       | 5,7,244,47   | |
| radio  | ?SOURCEFILES:Radio1 | "SQL"                  | -           | -       | 67,18        | hidden value="S" |
| radio  | ?SOURCEFILES:Radio2 | "Btrieve"              | -           | -       | 153,18       | hidden value="B" |
| prompt | ?GLO:GVPATH:Prompt  | "Path to Granvel:"     | -           | -       | 12,28,35,20  | |
| entry  | ?GLO:GVPATH         |                        | GLO:GVPATH  | @s64    | 51,35,192,10 | |
| button | ?OkButton           | "&Ok"                  | -           | -       | 155,57,42,12 | |
| button | ?CancelButton       | "&Cancel"              | -           | -       | 207,57,42,12 | |
)window";

constexpr const char* kStatusWindow = R"window(
window "Xfer from Granvel" 253 21 font="MS Sans Serif",8
| kind  | label       | text | variable   | picture | at            | attributes |
| field | ?LOC:STATUS |      | LOC:STATUS | @s50    | 15,4,224,10   | center |
)window";

ui::WindowDef window_def(const char* text, const char* file) {
  auto def = ui::parse_window(text, file);
  if (!def.ok()) {
    std::fprintf(stderr, "%s\n", def.status().ToString().c_str());
    return ui::WindowDef();
  }
  return *def;
}

void transfer(TransferFiles& files, ui::Window& win, Str<50>& status,
              const std::string& connection) {
  if (!files.open_all(connection).ok()) {
    files.close_all();
    return;
  }
  if (files.data_exists() &&
      ui::message_std("Data already exists.  Continue?", "Warning", ui::Icon::Question,
                      ui::button::kYes | ui::button::kNo, ui::button::kNo) != ui::button::kYes) {
    files.close_all();
    return;
  }
  Status s = files.open_items(connection);
  if (!s.ok()) {
    ui::message_std(std::string("Error ") + store::error_text(s.code()) + " opening Items", "File Error",
                    ui::Icon::Exclamation, ui::button::kOk, ui::button::kOk);
    files.close_all();
    return;
  }
  win.set_wait_cursor(true);
  TransferSteps steps(files, [&](long n) {
    status = "Converted " + std::to_string(n) + " Records";
    win.display("?LOC:STATUS");
  });
  steps.run();
  win.set_wait_cursor(false);
  files.close_all();
}

void status_window(TransferFiles& files, const std::string& connection) {
  Str<50> status;
  ui::Window win(window_def(kStatusWindow, "gvtdconv_status.window"));
  win.bind("LOC:STATUS", VarRef::String(status.data(), 50));
  if (!win.open().ok()) return;
  ui::Event ev;
  bool done = false;
  while (win.accept(ev)) {
    if (ev.is(ui::EventKind::OpenWindow) && !done) {
      done = true;
      transfer(files, win, status, connection);
      win.post(ui::EventKind::CloseWindow);
    }
  }
}

void start_window(TransferFiles& files) {
  Str<1> sourcefiles;
  ui::Window win(window_def(kStartWindow, "gvtdconv_start.window"));
  win.bind("SOURCEFILES", VarRef::String(sourcefiles.data(), 1));
  win.bind("GLO:GVPATH", VarRef::String(program_values().gvpath.data(), 64));
  if (!win.open().ok()) return;
  ui::Event ev;
  while (win.accept(ev)) {
    switch (ev.kind) {
      case ui::EventKind::OpenWindow:
        sourcefiles = "S";
        win.hide("?GLO:GVPATH:Prompt");
        win.hide("?GLO:GVPATH");
        win.display();
        break;
      case ui::EventKind::GainFocus:
        win.display();
        break;
      case ui::EventKind::Rejected:
        win.beep();
        win.select(ev.label);
        break;
      case ui::EventKind::Accepted:
        if (ev.is(ui::EventKind::Accepted, "?SOURCEFILES")) {
          win.hide("?GLO:GVPATH:Prompt");
          win.hide("?GLO:GVPATH");
        } else if (ev.is(ui::EventKind::Accepted, "?OkButton")) {
          win.accept_all();
        } else if (ev.is(ui::EventKind::Accepted, "?CancelButton")) {
          win.post(ui::EventKind::CloseWindow);
        }
        break;
      case ui::EventKind::Completed:
        status_window(files, std::string(program_values().connection.clipped()));
        win.post(ui::EventKind::CloseWindow);
        break;
      default:
        break;
    }
  }
}

}  // namespace

ProgramValues& program_values() {
  static ProgramValues v;
  return v;
}

void run_transfer_window(const std::string& connection) {
  TransferFiles files;
  status_window(files, connection);
}

void run_program() {
  ProgramValues& v = program_values();
  v = ProgramValues{};
  char driver[17], server[17], database[128], user[17], settings[64], version[15];
  InitDBConnect(driver, sizeof driver, server, sizeof server, database, sizeof database,
                v.connection.data(), 128, user, sizeof user, settings, sizeof settings, version,
                sizeof version);
  // Items stays open after the run and closes with the program's files, here.
  TransferFiles files;
  start_window(files);
}

}  // namespace tdx::transfer
