// Keys by layout: on a German keyboard the key labelled Z answers "z", on a
// French one the key labelled A is "a" wherever it sits.
#include "backends/sdl_keys.h"

#include "base/keys.h"
#include "base/viewer_keys.h"
#include "formats/key_names.h"

namespace backend {

namespace {

int letterScanCode(char letter) { return scanCodeForName(std::string(1, letter)); }

int positionScanCode(SDL_Scancode code) {
  if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return SC_1 + (code - SDL_SCANCODE_1);
  switch (code) {
    case SDL_SCANCODE_0: return SC_0;
    case SDL_SCANCODE_ESCAPE: return SC_ESC;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return SC_CTRL;
    case SDL_SCANCODE_LSHIFT: return SC_LSHIFT;
    case SDL_SCANCODE_RSHIFT: return SC_RSHIFT;
    case SDL_SCANCODE_SPACE: return SC_SPACE;
    case SDL_SCANCODE_LEFT: return SC_LEFT;
    case SDL_SCANCODE_RIGHT: return SC_RIGHT;
    case SDL_SCANCODE_UP: return SC_UP;
    case SDL_SCANCODE_DOWN: return SC_DOWN;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return SC_ENTER;
    case SDL_SCANCODE_TAB: return SC_TAB;
    case SDL_SCANCODE_BACKSPACE: return SC_BACKSPACE;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return SC_ALT;
    case SDL_SCANCODE_MINUS: return SC_MINUS;
    case SDL_SCANCODE_PERIOD:
    case SDL_SCANCODE_KP_PERIOD: return SC_PERIOD;
    default: return -1;
  }
}

}  // namespace

int gameScanCodeForKey(SDL_Scancode scancode, SDL_Keycode sym) {
  if (sym >= SDLK_a && sym <= SDLK_z) return letterScanCode(static_cast<char>(sym));
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    // A layout without Latin letters (Cyrillic, Greek ...): the key's place
    // in the US layout. A Latin layout's key that types no letter here
    // (the French ',' where US has M) is no letter at all.
    if (sym >= 0x80 && (sym & SDLK_SCANCODE_MASK) == 0)
      return letterScanCode(static_cast<char>('a' + (scancode - SDL_SCANCODE_A)));
    return -1;
  }
  if (sym >= SDLK_0 && sym <= SDLK_9) return sym == SDLK_0 ? SC_0 : SC_1 + (sym - SDLK_1);
  return positionScanCode(scancode);
}

}  // namespace backend
