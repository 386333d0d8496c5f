// The process's keyboard buffer and last key, shared by every window of the process.
//
// Code types text into the buffer (a lookup types the user's partial entry before it opens a
// lookup window; the lookup window takes it as its starting position) and empties it (a report
// run discards pending keys before its loop). The last key is the key the user pressed most
// recently in any window (Esc during a report run is checked through it); code may clear it.
// Single-threaded, like every window of the process.
#pragma once

#include <string>
#include <string_view>

#include "runtime/ui/event.h"

namespace tdx::ui {

// Appends text to the keyboard buffer.
void type_into_keyboard(std::string_view text);
// Takes (and empties) the text waiting in the keyboard buffer.
std::string take_keyboard_buffer();
// Discards what waits in the keyboard buffer.
void clear_keyboard_buffer();
const std::string& keyboard_buffer();

Key last_key();
void set_last_key(Key k);
void clear_last_key();

}  // namespace tdx::ui
