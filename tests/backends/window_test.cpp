// The window as a desktop program: opened no larger than the display can show.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "backends/sdl_window.h"

// SDL's dummy display is 1024x768: at most 3 times 320x240 fits.
TEST(WindowSize, AScaleTooLargeForTheDisplayIsFittedToIt) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  for (int asked : {1, 2, 8}) {
    backend::WindowConfig config;
    config.scale = asked;
    backend::SdlWindow window(config);
    ASSERT_TRUE(window.openDisplay(ScreenMode::Window).ok());
    SDL_Rect usable;
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
    int width = 0, height = 0;
    window.windowSize(width, height);
    const int expected = std::min(asked, std::min(usable.w / 320, usable.h / 240));
    EXPECT_EQ(width, 320 * expected) << asked;
    EXPECT_EQ(height, 240 * expected) << asked;
    window.closeDisplay();
  }
  unsetenv("SDL_VIDEODRIVER");
}
