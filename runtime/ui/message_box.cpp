#include "runtime/ui/message_box.h"

#include "runtime/ui/frontend.h"

namespace tdx::ui {

const char* icon_name(Icon icon) {
  switch (icon) {
    case Icon::None: return "none";
    case Icon::Information: return "information";
    case Icon::Exclamation: return "exclamation";
    case Icon::Question: return "question";
    case Icon::Hand: return "hand";
    case Icon::Asterisk: return "asterisk";
  }
  return "none";
}

std::vector<std::string> split_buttons(std::string_view list) {
  std::vector<std::string> out;
  if (list.empty()) return {"&OK"};
  size_t start = 0;
  while (true) {
    size_t bar = list.find('|', start);
    out.emplace_back(list.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return out;
}

std::string strip_access_key(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

std::vector<std::string> message_lines(std::string_view text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (true) {
    size_t bar = text.find('|', start);
    out.emplace_back(text.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return out;
}

int message(std::string_view text, std::string_view caption, Icon icon, std::string_view buttons,
            int default_button) {
  MessageBox box;
  box.text = std::string(text);
  box.caption = std::string(caption);
  box.icon = icon;
  box.buttons = split_buttons(buttons);
  int n = static_cast<int>(box.buttons.size());
  box.default_button = (default_button >= 1 && default_button <= n) ? default_button : 1;
  int answer = current_frontend().message_box(box);
  // A frontend never makes up a button; an answer outside the list is read as the default.
  if (answer < 1 || answer > n) answer = box.default_button;
  return answer;
}

namespace {
struct StdButton {
  int flag;
  const char* text;
};
constexpr StdButton kStd[] = {
    {button::kOk, "&OK"},         {button::kYes, "&Yes"},       {button::kNo, "&No"},
    {button::kAbort, "&Abort"},   {button::kRetry, "&Retry"},   {button::kIgnore, "&Ignore"},
    {button::kCancel, "Cancel"},  {button::kHelp, "&Help"},
};
}  // namespace

std::string standard_buttons(int flags) {
  std::string out;
  for (const auto& b : kStd) {
    if (!(flags & b.flag)) continue;
    if (!out.empty()) out += '|';
    out += b.text;
  }
  return out.empty() ? std::string("&OK") : out;
}

int message_std(std::string_view text, std::string_view caption, Icon icon, int flags,
                int default_flag) {
  if ((flags & 0xFF) == 0) flags = button::kOk;
  std::vector<int> order;
  int default_number = 1;
  for (const auto& b : kStd) {
    if (!(flags & b.flag)) continue;
    order.push_back(b.flag);
    if (b.flag == default_flag) default_number = static_cast<int>(order.size());
  }
  int n = message(text, caption, icon, standard_buttons(flags), default_number);
  return order[static_cast<size_t>(n - 1)];
}

}  // namespace tdx::ui
