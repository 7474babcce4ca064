// The whole title picture, drawn as the title screen draws it.
#include "game/title.h"

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "game/game_state.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "machine/machine.h"

namespace {

void BM_TitlePicture(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  game.gameState.credits = 3;
  const double loopStart = threadCpuSeconds();
  for (auto _ : state) {
    // The title waits for Space after drawing; a queued Space ends it at once.
    queueKeyValue(game, " ");
    TitleChoice choice = playToEnd(game, runTitleScreen(game));
    benchmark::DoNotOptimize(choice);
  }
  reportInPageCopies(state, loopStart);
}
BENCHMARK(BM_TitlePicture)->Unit(benchmark::kMicrosecond);

}  // namespace
