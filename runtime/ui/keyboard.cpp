#include "runtime/ui/keyboard.h"

namespace tdx::ui {
namespace {
std::string& buffer() {
  static std::string b;
  return b;
}
Key g_last_key = Key::None;
}  // namespace

void type_into_keyboard(std::string_view text) { buffer().append(text); }
std::string take_keyboard_buffer() {
  std::string out;
  out.swap(buffer());
  return out;
}
void clear_keyboard_buffer() { buffer().clear(); }
const std::string& keyboard_buffer() { return buffer(); }

Key last_key() { return g_last_key; }
void set_last_key(Key k) { g_last_key = k; }
void clear_last_key() { g_last_key = Key::None; }

}  // namespace tdx::ui
