#include "runtime/ui/frontend.h"

namespace tdx::ui {
namespace {

// The frontend of a process without a user: every question fails the run, harmlessly.
class NoUserFrontend : public Frontend {
 public:
  Wait next_input(Window&, bool, UserInput*) override {
    fail("a window waits for input and there is no user");
    return Wait::Stop;
  }
  int message_box(const MessageBox& box) override {
    fail("message box \"" + box.caption + "\": " + box.text + " (no user to answer)");
    return box.default_button;
  }
  LookupAnswer lookup(const LookupRequest& req) override {
    fail("lookup " + req.window + " (no user to answer)");
    return {};
  }
  DateAnswer select_date(const DateRequest& req) override {
    fail("date selection (no user to answer)");
    return {false, req.day};
  }
  bool output_dialog(OutputChoice*) override {
    fail("output dialog (no user to answer)");
    return false;
  }
  PreviewAnswer preview(const PreviewRequest& req) override {
    fail("preview " + req.title + " (no user to answer)");
    return PreviewAnswer::Close;
  }
  Status status() const override { return status_; }

 private:
  void fail(const std::string& why) {
    if (status_.ok()) status_ = Status(1, why);
  }
  Status status_;
};

NoUserFrontend& no_user() {
  static NoUserFrontend f;
  return f;
}
Frontend* g_current = nullptr;

}  // namespace

Frontend& current_frontend() { return g_current ? *g_current : no_user(); }
void set_current_frontend(Frontend* f) { g_current = f; }

ScopedFrontend::ScopedFrontend(Frontend* f) : previous_(g_current) { g_current = f; }
ScopedFrontend::~ScopedFrontend() { g_current = previous_; }

LookupAnswer lookup(const LookupRequest& req) { return current_frontend().lookup(req); }
DateAnswer select_date(int32_t day, std::string title) {
  DateRequest req{day, std::move(title)};
  DateAnswer a = current_frontend().select_date(req);
  if (!a.chosen) a.day = day;
  return a;
}
bool output_dialog(OutputChoice* choice) { return current_frontend().output_dialog(choice); }
PreviewAnswer preview(const PreviewRequest& req) { return current_frontend().preview(req); }
void beep() { current_frontend().beep(); }
void set_cursor(Cursor c) { current_frontend().set_cursor(c); }

}  // namespace tdx::ui
