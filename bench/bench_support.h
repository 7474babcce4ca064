// What every benchmark starts from: the headless back end, an open screen and
// the sprite table, as the game has them after its start-up.
#pragma once

#include "gfx/sprites.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "platform/run_options.h"

inline void startBenchScreen() {
  RunOptions options;
  options.headless = true;
  platformStart(options);
  openScreen(320, 240, 32, 2, false);
  loadSpriteSheet();
  buildSpriteTable();
}

inline void stopBenchScreen() {
  destroySpriteTable();
  closeScreen();
  platformStop();
}
