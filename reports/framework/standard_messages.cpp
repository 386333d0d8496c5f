#include "reports/framework/standard_messages.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/store/errors.h"
#include "runtime/store/transaction.h"

namespace tdx::reports {
namespace {

using ui::Icon;
namespace btn = ui::button;

SavedError g_saved;
HaltHandler g_halt;

constexpr StandardMessage kTable[] = {
    {1, "Invalid File", Icon::Information, btn::kOk, btn::kOk},
    {2, "Invalid Key", Icon::Exclamation, btn::kYes | btn::kNo, btn::kYes},
    {3, "Key Rebuild Error", Icon::Information, btn::kOk, btn::kOk},
    {4, "File Creation Error", Icon::Information, btn::kOk, btn::kOk},
    {5, "File Creation Error", Icon::Information, btn::kOk, btn::kOk},
    {14, "Record Insert Error", Icon::Information, btn::kOk, btn::kOk},
    {15, "Update Operation Error", Icon::Information, btn::kOk, btn::kOk},
    {16, "Record Update Error", Icon::Information, btn::kYes | btn::kNo | btn::kCancel,
     btn::kCancel},
    {17, "Delete Operation Error", Icon::Information, btn::kOk, btn::kOk},
    {30, "File Access Error", Icon::Information, btn::kOk, btn::kOk},
    {33, "Update Cancelled", Icon::Exclamation, btn::kYes | btn::kNo | btn::kCancel, btn::kNo},
    {34, "Transaction Framing Error", Icon::Information, btn::kOk, btn::kOk},
    {35, "Record Retrieval Error", Icon::Information, btn::kOk, btn::kOk},
    {36, "View Open Error", Icon::Information, btn::kOk, btn::kOk},
};

std::string clip(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0')) --n;
  return std::string(s.substr(0, n));
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Text, code and the operating system's part of one error, described as E.
std::string describe(int code, const std::string& text, int os_code, const std::string& os_text) {
  if (code == store::kFileSystemError && os_code != 0)
    return clip(os_text) + " (" + std::to_string(os_code) + ")";
  // A store code reads as the store's fixed text; the detail after it (the file's name) is
  // already part of the message. Other codes (a filter text's error) keep their own text.
  std::string shown = store::error_text(code);
  if (shown == "Unknown error" || code == 0) shown = text;
  return clip(shown) + " (" + std::to_string(code) + ")";
}

}  // namespace

void save_error() {
  const store::ErrorInfo& e = store::last_error();
  g_saved = SavedError{true, e.code, e.text, e.os_code, e.os_text};
  (void)store::rollback();
}

void save_error(const Status& error, int os_code) {
  g_saved = SavedError{true, error.code(), error.text(), os_code, ""};
  (void)store::rollback();
}

void save_status(const Status& error) {
  if (store::last_error().code == error.code())
    save_error();
  else
    save_error(error);
}

const SavedError& saved_error() { return g_saved; }
void clear_saved_error() { g_saved = SavedError(); }

std::string error_description() {
  if (g_saved.set) return describe(g_saved.code, g_saved.text, g_saved.os_code, g_saved.os_text);
  const store::ErrorInfo& e = store::last_error();
  return describe(e.code, e.text, e.os_code, e.os_text);
}

const StandardMessage* find_standard_message(int number) {
  for (const StandardMessage& m : kTable)
    if (m.number == number) return &m;
  return nullptr;
}

std::string standard_message_text(int number, std::string_view name_in, std::string_view extra_in,
                                  std::string_view e, bool changed_by_other) {
  const std::string name = clip(name_in), extra = clip(extra_in);
  const std::string E(e);
  switch (number) {
    case 1:
      return "Error: (" + E + ") accessing " + name + ".  Press OK to end this application.";
    case 2:
      return name + " key file is invalid.  Do you " + "want to rebuild the key?";
    case 3:
      return "Error: (" + E + ") repairing key for " + name +
             ".  Press OK to end this application.";
    case 4:
      return "Error: (" + E + ") creating " + name + ".  Press OK to end this application.";
    case 5:
      return "Error: (" + E + ") opening created " + "file:" + name +
             ".  Press OK to end this application.";
    case 14:
      return "An error was experienced during the update of record.  Error: " + E + ".";
    case 15:
      if (changed_by_other) return "This record was changed by another station.";
      return "An error (" + E + ") was experienced" +
             " when attempting to update a record from the file.  Probable Cause: " + name + ".";
    case 16:
      return "An error was experienced changing this record.  Do you want to try to save again?";
    case 17:
      return "An error (" + E + ") was experienced" +
             " when attempting to delete a record from the file " + name + ".";
    case 30:
      return "File (" + name + ") could not be " + "opened.  Error: " + E + ".";
    case 33:
      return "Do you want to save the changes to this record?";
    case 34:
      return "Error: (" + E + ") attempting to frame the " + lower(name) + " transaction on " +
             extra + ".  " + name + " transaction cancelled.";
    case 35:
      return "Error: (" + E + ") attempting to access a " + "record from the " + name +
             " file.  Returning to " + "previous window.";
    case 36:
      return "Error: (" + E + ") attempting to open the " +
             "current VIEW. Filter and Range Limits ignored.";
  }
  return {};
}

int standard_message(int number, std::string_view name, std::string_view extra) {
  const StandardMessage* m = find_standard_message(number);
  if (!m) {
    clear_saved_error();
    return ui::button::kOk;
  }
  const int code = g_saved.set ? g_saved.code : store::last_error().code;
  std::string text = standard_message_text(number, name, extra, error_description(),
                                           code == store::kChangedByOther);
  clear_saved_error();
  return ui::message_std(text, m->caption, m->icon, m->buttons, m->default_button);
}

void halt(const std::string& text) {
  if (g_halt) {
    g_halt(text);
    return;
  }
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(nullptr);
  std::exit(1);
}

HaltHandler set_halt_handler(HaltHandler handler) {
  HaltHandler previous = std::move(g_halt);
  g_halt = std::move(handler);
  return previous;
}

}  // namespace tdx::reports
