// Busy frames of stage two: the tower shakes under a stomp, both walkers are
// out and all 17 blocks are falling, over rows filled to the brim or over
// the densest rows of real towers.
#include "stage_two/stage_two.h"

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "gfx/effects.h"
#include "gfx/sprites.h"
#include "machine/machine.h"
#include "stage_two/stage_two_internal.h"

using namespace stage_two;

namespace {

constexpr int32_t FIRST_ROW = 300;

// A tower whose rows FIRST_ROW .. FIRST_ROW + 11 have every cell holding a
// post, a tile, a crack and a lodged block: more than any tower the game
// builds has.
void buildStressTower(Game& game, Tower& tower) {
  seedRandom(game, 1);
  buildTower(game, tower);
  for (int32_t r = FIRST_ROW; r <= FIRST_ROW + 11; ++r)
    for (int32_t c = 0; c < TOWER_COLUMNS; ++c) setCell(tower, c, r, CellWall | CellFloor | CellLoose | CellCracked);
}

// The Hero stomping with the tower shaking, both walkers out and all 17
// blocks falling, around rows first .. first + 10.
StageTwoRecord busyFrame(Tower& tower, int32_t first) {
  StageTwoRecord stage;
  stage.hero.x = 16 * 10 + 8;
  stage.hero.y = 32 * (first + 4) - 12;
  stage.hero.storeyRow = first + 3;
  stage.hero.column = 10;
  stage.hero.m = 8;
  stage.hero.state = HeroState::Stomping;
  stage.hero.stompTimer = 5;
  stage.hero.shake = true;
  stage.hero.spaceWasHeld = true;
  stage.scroll = stage.hero.y - HERO_SCREEN_Y;
  setCell(tower, 10, first + 4, CellFloor);  // nothing left to knock out under the Hero
  stage.riser.active = true;
  stage.riser.state = WalkerState::Walking;
  stage.riser.x = 16 * 4 + 7;
  stage.riser.y = 32 * (first + 6) - 14;
  stage.riser.dx = 2;
  stage.faller.active = true;
  stage.faller.state = WalkerState::Walking;
  stage.faller.x = 16 * 15 + 7;
  stage.faller.y = 32 * (first + 2) - 14;
  stage.faller.dx = -2;
  for (int i = 0; i < FALLING_BLOCK_SLOTS; ++i) {
    stage.blocks[i].active = true;
    stage.blocks[i].x = 16 * (i + 1) + 8;
    stage.blocks[i].y = stage.scroll + 20 + 11 * i;
  }
  return stage;
}

// Roughly what a row costs to paint: pixels of the post, tile and block
// sprites, and the crack.
int32_t rowWork(Tower& tower, int32_t r) {
  int32_t work = 0;
  for (uint16_t v : tower.map.cells[r]) {
    if ((v & CellWall) != 0) work += 20 * 43;
    if ((v & CellFloor) != 0) work += 19 * 11;
    if ((v & CellLoose) != 0) work += 9 * 9;
    if ((v & CellCracked) != 0) work += 11 * 10;
  }
  return work;
}

bool specialRow(Tower& tower, int32_t r) {
  for (uint16_t v : tower.map.cells[r])
    if ((v & (CellLift | CellMessage | CellBrokenLift | CellGoal)) != 0) return true;
  return false;
}

// Builds the towers of seeds 1..20 and keeps the one whose eleven rows in
// view are the most work to paint, among views that come from the kept
// picture or among those drawn row by row every frame (the lift, the
// message, the decoy and the goal); returns their first row.
int32_t buildDensestTower(Game& game, Tower& tower, bool drawnEveryFrame) {
  int32_t bestSeed = 1, bestFirst = 0, bestWork = -1;
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    seedRandom(game, seed);
    buildTower(game, tower);
    for (int32_t first = 0; first + 10 < TOWER_ROWS; ++first) {
      int32_t work = 0;
      bool special = false;
      for (int32_t r = first; r <= first + 10; ++r) {
        special = special || specialRow(tower, r);
        if (r <= first + 8) work += rowWork(tower, r);  // the last two rows lie below the screen
      }
      if (special == drawnEveryFrame && work > bestWork) {
        bestWork = work;
        bestSeed = static_cast<int32_t>(seed);
        bestFirst = first;
      }
    }
  }
  seedRandom(game, static_cast<uint32_t>(bestSeed));
  buildTower(game, tower);
  return bestFirst;
}

void runFrames(Game& game, Tower& tower, benchmark::State& state, const StageTwoRecord& ready, bool paintWhole) {
  const double loopStart = threadCpuSeconds();
  for (auto _ : state) {
    StageTwoRecord stage = ready;  // cheap next to the frame
    clearEffects(game);
    if (paintWhole) tower.picture.first = -1;
    playStageTwoFrame(game, tower, stage);
    benchmark::DoNotOptimize(stage);
  }
  reportInPageCopies(state, loopStart);
}

void BM_StageTwoBusyFrame(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  Tower tower;
  buildStressTower(game, tower);
  runFrames(game, tower, state, busyFrame(tower, FIRST_ROW), false);
}
BENCHMARK(BM_StageTwoBusyFrame)->Unit(benchmark::kMicrosecond);

// When a new row comes into view and a block is knocked out in the same
// frame: the kept picture moves a row, and its top, its bottom and the
// changed row's band are painted again. Frames alternate between two scrolls
// a row apart, so every frame moves the picture.
void runNewRowFrames(Game& game, Tower& tower, benchmark::State& state, int32_t first) {
  const StageTwoRecord ready[2] = {busyFrame(tower, first), busyFrame(tower, first + 1)};
  const uint16_t cell = tower.map.cells[first + 6][6];
  const uint16_t knocked[2] = {cell, static_cast<uint16_t>(cell ^ CellLoose)};
  int64_t frame = 0;
  const double loopStart = threadCpuSeconds();
  for (auto _ : state) {
    const int k = static_cast<int>(frame++ % 2);
    StageTwoRecord stage = ready[k];
    clearEffects(game);
    setCell(tower, 6, first + 6, knocked[k]);
    playStageTwoFrame(game, tower, stage);
    benchmark::DoNotOptimize(stage);
  }
  reportInPageCopies(state, loopStart);
}

// The busy frame over the densest rows of twenty real towers.
void BM_StageTwoDensestTowerNewRowAndKnockedBlock(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  Tower tower;
  runNewRowFrames(game, tower, state, buildDensestTower(game, tower, false));
}
BENCHMARK(BM_StageTwoDensestTowerNewRowAndKnockedBlock)->Unit(benchmark::kMicrosecond);

// When the whole tower picture is painted: the first frame below the lift,
// or after the view jumps.
void BM_StageTwoDensestTowerPaintedWhole(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  Tower tower;
  runFrames(game, tower, state, busyFrame(tower, buildDensestTower(game, tower, false)), true);
}
BENCHMARK(BM_StageTwoDensestTowerPaintedWhole)->Unit(benchmark::kMicrosecond);

// The densest view that holds the lift, the message, the decoy or the goal,
// whose rows are drawn one by one every frame.
void BM_StageTwoDensestTowerDrawnRowByRow(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  Tower tower;
  runFrames(game, tower, state, busyFrame(tower, buildDensestTower(game, tower, true)), false);
}
BENCHMARK(BM_StageTwoDensestTowerDrawnRowByRow)->Unit(benchmark::kMicrosecond);

// Rows filled to the brim: not frames any tower can show, kept to measure
// the sprite puts themselves.
void BM_StressTowerNewRowAndKnockedBlock(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  Tower tower;
  buildStressTower(game, tower);
  runNewRowFrames(game, tower, state, FIRST_ROW);
}
BENCHMARK(BM_StressTowerNewRowAndKnockedBlock)->Unit(benchmark::kMicrosecond);

void BM_StressTowerPaintedWhole(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  Tower tower;
  buildStressTower(game, tower);
  runFrames(game, tower, state, busyFrame(tower, FIRST_ROW), true);
}
BENCHMARK(BM_StressTowerPaintedWhole)->Unit(benchmark::kMicrosecond);

}  // namespace
