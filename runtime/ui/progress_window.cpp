#include "runtime/ui/progress_window.h"

#include <cstdio>

#include "runtime/decimal/decimal.h"
#include "runtime/ui/keyboard.h"

namespace tdx::ui {

WindowDef progress_window_def() {
  return WindowBuilder("Progress...", 162, 64)
      .name("Progress")
      .centred()
      .font("MS Sans Serif", 8)
      .timer(1)
      .esc_ignored()
      .progress(kProgressThermometer, {25, 15, 111, 12})
      .range(0, 100)
      .hidden()
      .prompt(kProgressSpinner, "", {71, 15, 21, 17})
      .control_font("Arial", 18, true)
      .hidden()
      .prompt(kProgressUserString, "", {0, 3, 161, 10})
      .justify(Justify::Center)
      .prompt(kProgressPctText, "", {0, 30, 161, 10})
      .justify(Justify::Center)
      .button(kProgressCancel, "Cancel", {55, 42, 50, 15})
      .build();
}

ProgressWindow::ProgressWindow() : win_(progress_window_def()) {}

Status ProgressWindow::open(const std::string& title, const std::string& user_text,
                            const std::string& pct_suffix) {
  suffix_ = pct_suffix;
  processed_ = 0;
  percent_ = thermometer_ = 0;
  Status s = win_.open();
  if (!s.ok()) return s;
  win_.unhide(kProgressThermometer);
  win_.set_progress(kProgressThermometer, 0);
  win_.set_text(kProgressPctText, pct_suffix);
  win_.set_title(title);
  win_.set_text(kProgressUserString, user_text);
  return Status::Ok();
}

bool ProgressWindow::accept(Event& ev) {
  if (last_key() == Key::Esc) {
    clear_last_key();
    win_.post(EventKind::Accepted, kProgressCancel);
  }
  return win_.accept(ev);
}

void ProgressWindow::record_read() { add_processed(1); }

void ProgressWindow::add_processed(long amount) {
  processed_ += amount;
  update();
}

void ProgressWindow::update() {
  if (percent_ < 100) {
    if (total_ <= 0) {
      percent_ = 100;
    } else {
      Decimal p = Decimal(processed_) * Decimal(100) / Decimal(total_);
      long long whole = p.to_integer();
      percent_ = whole > 100 ? 100 : static_cast<int>(whole < 0 ? 0 : whole);
    }
  }
  if (percent_ != thermometer_) {
    thermometer_ = percent_;
    win_.set_progress(kProgressThermometer, thermometer_);
  }
  char pct[8];
  std::snprintf(pct, sizeof pct, "%3d", percent_);
  win_.set_text(kProgressPctText, std::string(pct) + suffix_);
}

}  // namespace tdx::ui
