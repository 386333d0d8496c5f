// Shared pieces of the window tests: a small option window and a procedure loop that logs
// the events it gets.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/decimal/decimal.h"
#include "runtime/text/str.h"
#include "runtime/ui/scripted_frontend.h"
#include "runtime/ui/window.h"

namespace tdx::ui::testing {

inline Decimal D(const char* s) { return Decimal::Parse(s).value(); }

// Variables of the option window.
struct OptionVars {
  Str<10> bid;
  Str<1> minority;
  Str<4> print_bids{"ALL"};
  unsigned char dxmove[3] = {0, 0, 0x0C};  // DECIMAL(5,2) 0.00
  Str<12> remarks;

  void bind(Window& w) {
    w.bind("Glo:BID_ID", VarRef::String(bid.data(), 10));
    w.bind("Glo:Minority", VarRef::String(minority.data(), 1));
    w.bind("Glo:PrintBids", VarRef::String(print_bids.data(), 4));
    w.bind("LOC:DXMOVE", VarRef::Packed(dxmove, 5, 2));
    w.bind("Glo:Remarks", VarRef::String(remarks.data(), 12));
  }
  Decimal dx() const { return Decimal::Unpack(5, 2, dxmove).value(); }
};

inline WindowDef option_window() {
  return WindowBuilder("Options", 200, 120)
      .centred()
      .help("~Options")
      .prompt("", "Bid ID:", {5, 5})
      .entry("", "Glo:BID_ID", "@s10", {50, 5, 60, 10})
      .hint("Enter Bid ID")
      .alert_key(Key::F2)
      .prompt("", "Margin:", {5, 20})
      .spin("", "LOC:DXMOVE", "@n-6.2", {50, 20, 36, 10})
      .range(D("-1"), D("2.5"), D("0.1"))
      .check("", "Minority", "Glo:Minority", {5, 35})
      .values("Y", "N")
      .option("?PrintBids", "Print Bids", "Glo:PrintBids", {5, 50, 120, 20})
      .radio("", "ALL", {10, 58})
      .value("ALL")
      .radio("", "WON", {40, 58})
      .value("WON")
      .radio("", "LOST", {70, 58})
      .value("LOST")
      .entry("", "Glo:Remarks", "@s12", {50, 75, 60, 10})
      .button("", "&Print", {100, 100, 42, 12})
      .button("", "Cancel", {150, 100, 42, 12})
      .build();
}

// Runs a window's loop like a procedure: logs "kind label" per event, calls `on`, and closes on
// the Cancel button.
inline std::vector<std::string> run_loop(Window& win,
                                         std::function<void(Window&, const Event&)> on = {}) {
  std::vector<std::string> log;
  Event ev;
  while (win.accept(ev)) {
    std::string s = event_kind_name(ev.kind);
    if (!ev.label.empty()) s += " " + ev.label;
    if (ev.key != Key::None) s += std::string(" ") + key_name(ev.key);
    log.push_back(s);
    if (on) on(win, ev);
    if (ev.is(EventKind::Accepted, "?Cancel")) win.post(EventKind::CloseWindow);
  }
  return log;
}

using Log = std::vector<std::string>;

}  // namespace tdx::ui::testing
