// Message boxes: text, caption, icon, a list of buttons and a default; the answer is the
// 1-based number of the button pressed.
//
// Button lists are written as the system's display strings write them: "&Yes|&No|&Cancel",
// `|` between buttons and `&` before a button's access key ("&&" shows one ampersand). In the
// text, `|` is a line break. The standard buttons (OK, Yes, No, Abort, Retry, Ignore, Cancel,
// Help) are flags that combine; message_std() lays them out in that order and answers with the
// flag of the button pressed (OK 1, Yes 2, No 4, Cancel 64), as the standard messages return.
//
// message() asks the current frontend (runtime/ui/frontend.h); a frontend that cannot answer
// (a script without an answer for this box) fails the run and gets the default button back,
// so the caller goes on and unwinds without hanging.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tdx::ui {

enum class Icon { None, Information, Exclamation, Question, Hand, Asterisk };
const char* icon_name(Icon icon);

struct MessageBox {
  std::string text;     // `|` = line break
  std::string caption;
  Icon icon = Icon::None;
  std::vector<std::string> buttons;  // button texts with their `&`
  int default_button = 1;            // 1-based
};

// "&Yes|&No|&Cancel" -> {"&Yes", "&No", "&Cancel"}. An empty list means one "&OK" button.
std::vector<std::string> split_buttons(std::string_view list);
// A button's text as a person reads it: "&Yes" -> "Yes", "DEL && FOB" -> "DEL & FOB".
std::string strip_access_key(std::string_view text);
// The text lines of a message box ("a||b" -> {"a", "", "b"}).
std::vector<std::string> message_lines(std::string_view text);

// Shows the box; returns the 1-based number of the button pressed. A default outside the list
// is taken as 1.
int message(std::string_view text, std::string_view caption, Icon icon,
            std::string_view buttons = "&OK", int default_button = 1);

// Standard button flags.
namespace button {
constexpr int kOk = 1;
constexpr int kYes = 2;
constexpr int kNo = 4;
constexpr int kAbort = 8;
constexpr int kRetry = 16;
constexpr int kIgnore = 32;
constexpr int kCancel = 64;
constexpr int kHelp = 128;
}  // namespace button

// The button list of a set of standard flags, in standard order: kYes|kNo|kCancel ->
// "&Yes|&No|Cancel".
std::string standard_buttons(int flags);
// Shows a box with standard buttons; returns the flag of the pressed button. The default is a
// flag too (0 or a flag not in `flags`: the first button).
int message_std(std::string_view text, std::string_view caption, Icon icon, int flags,
                int default_flag);

}  // namespace tdx::ui
