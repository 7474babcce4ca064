// What every benchmark starts from: the headless back end, an open screen and
// the sprite table, as the game has them after its start-up.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "backends/headless.h"
#include "game/game.h"
#include "gfx/sprites.h"
#include "machine/control.h"
#include "machine/machine.h"
#include "machine/observer.h"

// A fresh game on the headless back end. Run from the build folder, where
// graphics/ and WAV/ sit.
struct BenchGame {
  std::unique_ptr<Game> made = std::make_unique<Game>();
  Game& game = *made;
  backend::Headless headless;
  BenchGame() {
    machine::setAudio(game, &headless);
    openScreen(game);
    if (!loadSpriteSheet(game).ok()) std::abort();
    buildSpriteTable(game);
  }
  ~BenchGame() { destroySpriteTable(game); }
  BenchGame(const BenchGame&) = delete;
  BenchGame& operator=(const BenchGame&) = delete;
};

// Keys as a keyboard gives them, for the scenes that wait on one.
inline void pressKey(Machine& machine, int scanCode, const std::string& typed) {
  machine::scriptInput(machine).press(scanCode, typed);
}
inline void releaseKey(Machine& machine, int scanCode) { machine::scriptInput(machine).release(scanCode); }
inline void queueKeyValue(Machine& machine, const std::string& value) { machine::scriptInput(machine).type(value); }

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
