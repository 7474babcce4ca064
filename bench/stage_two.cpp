// One busy frame of stage two: every one of the 220 cells in view holds a
// post, a tile, a crack and a lodged block, the tower shakes under a stomp,
// both walkers are out and all 17 blocks are falling.
#include "stage_two/stage_two.h"

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "gfx/effects.h"
#include "gfx/sprites.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "stage_two/stage_two_internal.h"

using namespace stage_two;

namespace {

constexpr int32_t FIRST_ROW = 300;

StageTwoRecord busyFrame() {
  for (int32_t r = FIRST_ROW; r <= FIRST_ROW + 10; ++r)
    for (int32_t c = 0; c < TOWER_COLUMNS; ++c) setCell(c, r, CellWall | CellFloor | CellLoose | CellCracked);
  StageTwoRecord stage;
  stage.hero.x = 16 * 10 + 8;
  stage.hero.y = 32 * (FIRST_ROW + 4) - 12;
  stage.hero.storeyRow = FIRST_ROW + 3;
  stage.hero.column = 10;
  stage.hero.m = 8;
  stage.hero.state = HeroState::Stomping;
  stage.hero.stompTimer = 5;
  stage.hero.shake = true;
  stage.hero.spaceWasHeld = true;
  stage.scroll = stage.hero.y - HERO_SCREEN_Y;
  setCell(10, FIRST_ROW + 4, CellFloor);  // nothing left to knock out under the Hero
  stage.riser.active = true;
  stage.riser.state = WalkerState::Walking;
  stage.riser.x = 16 * 4 + 7;
  stage.riser.y = 32 * (FIRST_ROW + 6) - 14;
  stage.riser.dx = 2;
  stage.faller.active = true;
  stage.faller.state = WalkerState::Walking;
  stage.faller.x = 16 * 15 + 7;
  stage.faller.y = 32 * (FIRST_ROW + 2) - 14;
  stage.faller.dx = -2;
  for (int i = 0; i < FALLING_BLOCK_SLOTS; ++i) {
    stage.blocks[i].active = true;
    stage.blocks[i].x = 16 * (i + 1) + 8;
    stage.blocks[i].y = stage.scroll + 20 + 11 * i;
  }
  return stage;
}

void BM_StageTwoBusyFrame(benchmark::State& state) {
  startBenchScreen();
  seedRandom(1);
  buildTower();
  const StageTwoRecord ready = busyFrame();
  const double loopStart = threadCpuSeconds();
  for (auto _ : state) {
    StageTwoRecord stage = ready;  // cheap next to the frame
    clearEffects();
    playStageTwoFrame(stage);
    benchmark::DoNotOptimize(stage);
  }
  reportInPageCopies(state, loopStart);
  stopBenchScreen();
}
BENCHMARK(BM_StageTwoBusyFrame)->Unit(benchmark::kMicrosecond);

// The same frame when the tower picture must be painted afresh, as on the
// frame a new row scrolls into view or a stomp changes a cell.
void BM_StageTwoBusyFramePaintingTower(benchmark::State& state) {
  startBenchScreen();
  seedRandom(1);
  buildTower();
  const StageTwoRecord ready = busyFrame();
  const double loopStart = threadCpuSeconds();
  for (auto _ : state) {
    StageTwoRecord stage = ready;
    clearEffects();
    towerPicture.first = -1;
    playStageTwoFrame(stage);
    benchmark::DoNotOptimize(stage);
  }
  reportInPageCopies(state, loopStart);
  stopBenchScreen();
}
BENCHMARK(BM_StageTwoBusyFramePaintingTower)->Unit(benchmark::kMicrosecond);

}  // namespace
