// One whole frame of the formation stage: sky, twelve marching aliens, the
// ship, a shot and five bombs in flight, effects and the score panel.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "game/game_state.h"
#include "gfx/effects.h"
#include "machine/machine.h"
#include "stage_one/stage_one_internal.h"

using namespace stage_one;

namespace {

void BM_StageOneFrameFullFormation(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  seedRandom(game, 1);
  initSound(game, false);
  game.gameState = GameState{2, 0, 1000};

  StageOneRecord start;
  enterStageOne(start);
  startStageOne(game, start);
  for (int frame = 0; frame < 3; ++frame) playStageOneFrame(game, start);  // marching, ship in play
  start.shot = PlayerShot{true, 150, 150};
  for (int i = 0; i < BOMB_SLOTS; ++i) start.bombs[i] = AlienShot{true, 60 + 50 * i, 120, 0, 0};
  spawnEffect(game, 200, 100, FxBlastSlow);

  StageOneRecord stage = start;
  const double loopStart = threadCpuSeconds();
  for (auto _ : state) {
    stage = start;
    setPages(game, game.pagePair.work, game.pagePair.visible);
    playStageOneFrame(game, stage);
    benchmark::ClobberMemory();
  }
  reportInPageCopies(state, loopStart);
  closeSound(game);
}
BENCHMARK(BM_StageOneFrameFullFormation)->Unit(benchmark::kMicrosecond);

}  // namespace
