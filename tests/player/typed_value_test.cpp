// What a key types: the letter on it by the layout (a capital with Shift),
// the character of the keys that have one, and a value that is no
// character for the rest (and for any key with Shift but a letter).
#include <SDL.h>
#include <gtest/gtest.h>

#include "app/player_input.h"
#include "backends/sdl_keys.h"
#include "base/keys.h"

using backend::gameScanCodeForKey;

TEST(KeysByLayout, TypedValuesAreTheLetterOnTheKeyWithShiftForCapitals) {
  int germanY = gameScanCodeForKey(SDL_SCANCODE_Z, SDLK_y);
  EXPECT_EQ(typedValue(germanY, 0, false), "y");
  EXPECT_EQ(typedValue(germanY, 0, true), "Y");
  EXPECT_EQ(typedValue(gameScanCodeForKey(SDL_SCANCODE_W, SDLK_z), 0, false), "z");
  EXPECT_EQ(typedValue(gameScanCodeForKey(SDL_SCANCODE_SPACE, SDLK_SPACE), 0, false), " ");
  EXPECT_EQ(typedValue(gameScanCodeForKey(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), 0, false), "\x1b");
  EXPECT_EQ(typedValue(gameScanCodeForKey(SDL_SCANCODE_LEFT, SDLK_LEFT), 0, false), keyWithoutCharacter());
  EXPECT_EQ(typedValue(gameScanCodeForKey(SDL_SCANCODE_M, SDLK_COMMA), 0, false), keyWithoutCharacter());
  EXPECT_EQ(typedValue(gameScanCodeForKey(SDL_SCANCODE_1, SDLK_1), 0, true), keyWithoutCharacter());
}
