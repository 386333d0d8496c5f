// ProgressWindow: the window a report run shows while it reads its records.
//
// A centred 162 x 64 window (MS Sans Serif 8) with a timer of one hundredth of a second:
// the progress bar ?PROGRESS:THERMOMETER (hidden in the layout, shown when the run starts),
// a hidden spinner text ?SPINNER:CTL, the texts ?PROGRESS:USERSTRING and ?PROGRESS:PCTTEXT
// (centred) and the button ?PROGRESS:CANCEL "Cancel". Esc does nothing by itself in this
// window: before each event accept() turns a pending Esc (the last key) into an accepted event
// on ?PROGRESS:CANCEL, so Esc and the Cancel button are handled by the same code.
//
// Progress: set_total() takes the record count; record_read() counts one record and updates
// the percentage (processed / total x 100 exactly, truncated, capped at 100; with a total of 0
// it reads 100) and the text ("%3d" followed by the suffix, " 42% Completed"). The bar takes
// the new percentage only when it changes.
#pragma once

#include <string>

#include "runtime/base/status.h"
#include "runtime/ui/window.h"

namespace tdx::ui {

inline constexpr const char* kProgressThermometer = "?PROGRESS:THERMOMETER";
inline constexpr const char* kProgressSpinner = "?SPINNER:CTL";
inline constexpr const char* kProgressUserString = "?PROGRESS:USERSTRING";
inline constexpr const char* kProgressPctText = "?PROGRESS:PCTTEXT";
inline constexpr const char* kProgressCancel = "?PROGRESS:CANCEL";

// The declared layout (a copy: callers may change it before opening).
WindowDef progress_window_def();

class ProgressWindow {
 public:
  ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Opens the window: title, text above the bar, suffix of the percentage ("% Completed");
  // shows the bar at 0.
  Status open(const std::string& title, const std::string& user_text,
              const std::string& pct_suffix);
  // The event loop, with Esc turned into Cancel (see above).
  bool accept(Event& ev);
  bool is_cancel(const Event& ev) const { return ev.is(EventKind::Accepted, kProgressCancel); }

  void set_total(long total) { total_ = total; }
  void record_read();
  // Adds an amount (bytes) instead of one record, for runs counted in bytes.
  void add_processed(long amount);
  long processed() const { return processed_; }
  int percent() const { return percent_; }
  int thermometer() const { return thermometer_; }

  Window& window() { return win_; }

 private:
  void update();

  Window win_;
  std::string suffix_;
  long total_ = 0, processed_ = 0;
  int percent_ = 0, thermometer_ = 0;
};

}  // namespace tdx::ui
