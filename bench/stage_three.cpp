// One busy frame of stage three: the UFO cruising with its commander, the
// beam firing, all 65 kamikaze aliens falling, 17 effects, pod and balloon.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "gfx/effects.h"
#include "gfx/sprites.h"
#include "machine/machine.h"
#include "stage_three/stage_three_internal.h"

using namespace stage_three;

namespace {

void setBusyFrame(Toolkit& toolkit, StageThreeRecord& stage) {
  stage.t = 1100;
  stage.result = StageResult::Running;
  stage.warningTimer = 0;
  stage.drillWeapon = true;
  stage.ship = StageThreeShip{160, 210, 3, ShipState::InPlay, 60};  // invulnerable: nothing ends the frame
  stage.pod = WeaponPod{162, 208};
  stage.ufo.shown = true;
  stage.ufo.state = UfoState::Cruising;
  stage.ufo.direction = 1;
  stage.ufo.x = 150;
  stage.ufo.y = 60;
  stage.ufo.verticalSpeed = 0;
  stage.ufo.timer = 150;
  stage.commander.riding = true;
  stage.beam = UfoBeam{true, 150, 92, 40};
  for (int i = 0; i < KAMIKAZE_SLOTS; ++i) {
    stage.kamikaze[i] = Kamikaze{true, 8 + (i * 37) % 304, 60 + (i * 13) % 150, i % 30};
  }
  clearEffects(toolkit);
  for (int i = 0; i < EFFECT_SLOTS; ++i) spawnEffect(toolkit, 20 + 17 * i, 40 + 9 * i, i % 2 ? FxFlash : FxBlastShort);
}

void BM_StageThreeBusyFrame(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  pressKey(game, SC_CTRL, keyWithoutCharacter());  // no frame wait
  StageThreeRecord stage;
  enterStageThree(stage);
  startStageThree(game, stage);
  const double loopStart = threadCpuSeconds();
  for (auto _ : state) {
    setBusyFrame(game, stage);  // cheap next to the frame
    playToEnd(game, stageThreeFrame(game, stage));
  }
  reportInPageCopies(state, loopStart);
  releaseKey(game, SC_CTRL);
  destroyUfoImages(stage);
}
BENCHMARK(BM_StageThreeBusyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
