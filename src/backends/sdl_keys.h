// The keyboard of the SDL back end in the game's terms: PC set-1 scan codes
// and typed values. A letter key is the letter printed on it in the active
// layout (SDL's key code); arrows, Space, Esc, Ctrl, Shift and the other
// keys without a letter stay where they are (SDL's scan code).
#pragma once

#include <SDL.h>

namespace backend {

// -1 for a key the game does not know.
int gameScanCodeForKey(SDL_Scancode scancode, SDL_Keycode sym);

}  // namespace backend
