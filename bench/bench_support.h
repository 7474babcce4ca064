// What every benchmark starts from: the headless back end, an open screen and
// the sprite table, as the game has them after its start-up.
#pragma once

#include <benchmark/benchmark.h>

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

// CPU seconds of one 320x240 page copy on this machine (page_copy.cpp).
double pageCopySeconds();

// Adds the "pages" column: the benchmark's CPU time per iteration as a number
// of page copies. Call it once the timed loop is over.
inline void reportInPageCopies(benchmark::State& state) {
  state.counters["pages"] = benchmark::Counter(
      pageCopySeconds(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
