// Keys by layout: letters by what is printed on them, everything else by
// where it sits.
#include "base/keys.h"

#include <gtest/gtest.h>

#include "backends/sdl_keys.h"
#include "formats/key_names.h"

using backend::gameScanCodeForKey;

namespace {

std::string nameOf(SDL_Scancode scancode, SDL_Keycode sym) {
  return nameForScanCode(gameScanCodeForKey(scancode, sym));
}

}  // namespace

TEST(KeysByLayout, LettersFollowTheLayoutAndTheRestStayPhysical) {
  struct Case {
    const char* layout;
    SDL_Scancode scancode;
    SDL_Keycode sym;
    const char* expected;
  } cases[] = {
      {"us", SDL_SCANCODE_Y, SDLK_y, "y"},
      {"us", SDL_SCANCODE_Z, SDLK_z, "z"},
      {"de", SDL_SCANCODE_Z, SDLK_y, "y"},  // the key labelled Y sits where US has Z
      {"de", SDL_SCANCODE_Y, SDLK_z, "z"},
      {"fr", SDL_SCANCODE_Q, SDLK_a, "a"},
      {"fr", SDL_SCANCODE_A, SDLK_q, "q"},
      {"fr", SDL_SCANCODE_W, SDLK_z, "z"},          // the drop key where the French Z is
      {"fr", SDL_SCANCODE_SEMICOLON, SDLK_m, "m"},  // M beside L
      {"fr", SDL_SCANCODE_M, SDLK_COMMA, ""},       // types a comma: no letter
      {"fr", SDL_SCANCODE_1, SDLK_AMPERSAND, "1"},  // digits stay on their row
      {"ru", SDL_SCANCODE_Z, 0x44F, "z"},           // no Latin letters: the US place
      {"fr", SDL_SCANCODE_SPACE, SDLK_SPACE, "space"},
      {"any", SDL_SCANCODE_LEFT, SDLK_LEFT, "left"},
      {"any", SDL_SCANCODE_RIGHT, SDLK_RIGHT, "right"},
      {"any", SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, "esc"},
      {"any", SDL_SCANCODE_LCTRL, SDLK_LCTRL, "ctrl"},
      {"any", SDL_SCANCODE_RCTRL, SDLK_RCTRL, "ctrl"},
      {"any", SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, "lshift"},
      {"any", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, "enter"},
      {"any", SDL_SCANCODE_F5, SDLK_F5, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(nameOf(c.scancode, c.sym), c.expected) << c.layout << " " << SDL_GetScancodeName(c.scancode);
}
