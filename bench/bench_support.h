// What every benchmark starts from: the headless back end, an open screen and
// the sprite table, as the game has them after its start-up.
#pragma once

#include <benchmark/benchmark.h>

#include <ctime>

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

inline double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Adds the "pages" column: the CPU time per iteration of the loop that
// started at loopStart (threadCpuSeconds()), as a number of page copies.
inline void reportInPageCopies(benchmark::State& state, double loopStart) {
  double seconds = threadCpuSeconds() - loopStart;
  state.counters["pages"] = benchmark::Counter(seconds / pageCopySeconds(), benchmark::Counter::kAvgIterations);
}
