// The window as a desktop program: paced by the game's clock whatever the
// window's size, and opened no larger than the display can show.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "backends/pacing.h"
#include "backends/sdl_window.h"

TEST(FramePacing, PresentingCountsTowardTheSleepNotAfterIt) {
  backend::FramePacer pacer;
  pacer.presenting(1000.0);  // a frame starts being shown ...
  EXPECT_EQ(pacer.waitEnd(1012.0, 30), 1030.0) << "... and 12 ms of presenting are part of its 30";
  EXPECT_EQ(pacer.waitEnd(1031.0, 1), 1032.0) << "the next waits count from when they are asked for";
  pacer.presenting(1040.0);
  EXPECT_EQ(pacer.waitEnd(1075.0, 30), 1070.0) << "a present slower than the sleep: no wait at all";
  pacer.presenting(1100.0);
  EXPECT_EQ(pacer.waitEnd(1100.5, 0), 1100.0) << "Ctrl in stage three runs flat out";
}

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
