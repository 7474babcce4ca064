// One busy frame of stage two: every one of the 220 cells in view holds a
// post, a tile, a crack and a lodged block, the tower shakes under a stomp,
// both walkers are out and all 17 blocks are falling.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "gfx/effects.h"
#include "gfx/sprites.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "stage_two/hero.h"
#include "stage_two/stage_two.h"
#include "stage_two/tower_map.h"
#include "stage_two/tower_picture.h"

namespace {

constexpr int32_t FIRST_ROW = 300;

StageTwoPlay busyFrame() {
  for (int32_t r = FIRST_ROW; r <= FIRST_ROW + 10; ++r)
    for (int32_t c = 0; c < TOWER_COLUMNS; ++c)
      setCell(c, r, CellWall | CellFloor | CellLoose | CellCracked);
  StageTwoPlay play;
  play.hero.x = 16 * 10 + 8;
  play.hero.y = 32 * (FIRST_ROW + 4) - 12;
  play.hero.storeyRow = FIRST_ROW + 3;
  play.hero.column = 10;
  play.hero.m = 8;
  play.hero.state = HeroStomping;
  play.hero.stompTimer = 5;
  play.hero.shake = true;
  play.hero.spaceWasHeld = true;
  play.scroll = play.hero.y - HERO_SCREEN_Y;
  setCell(10, FIRST_ROW + 4, CellFloor);  // nothing left to knock out under the Hero
  play.riser.active = true;
  play.riser.state = WalkerWalking;
  play.riser.x = 16 * 4 + 7;
  play.riser.y = 32 * (FIRST_ROW + 6) - 14;
  play.riser.dx = 2;
  play.faller.active = true;
  play.faller.state = WalkerWalking;
  play.faller.x = 16 * 15 + 7;
  play.faller.y = 32 * (FIRST_ROW + 2) - 14;
  play.faller.dx = -2;
  for (int i = 0; i < FALLING_BLOCK_SLOTS; ++i) {
    play.blocks[i].active = true;
    play.blocks[i].x = 16 * (i + 1) + 8;
    play.blocks[i].y = play.scroll + 20 + 11 * i;
  }
  return play;
}

void BM_StageTwoBusyFrame(benchmark::State& state) {
  startBenchScreen();
  seedRandom(1);
  buildTower();
  const StageTwoPlay ready = busyFrame();
  const double loopStart = threadCpuSeconds();
  for (auto _ : state) {
    StageTwoPlay play = ready;  // cheap next to the frame
    clearEffects();
    playStageTwoFrame(play);
    benchmark::DoNotOptimize(play);
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
  const StageTwoPlay ready = busyFrame();
  const double loopStart = threadCpuSeconds();
  for (auto _ : state) {
    StageTwoPlay play = ready;
    clearEffects();
    towerPicture.first = -1;
    playStageTwoFrame(play);
    benchmark::DoNotOptimize(play);
  }
  reportInPageCopies(state, loopStart);
  stopBenchScreen();
}
BENCHMARK(BM_StageTwoBusyFramePaintingTower)->Unit(benchmark::kMicrosecond);

}  // namespace
