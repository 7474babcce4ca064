// One busy frame of stage three: the UFO cruising with its commander, the
// beam firing, all 65 kamikaze aliens falling, 17 effects, pod and balloon.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "gfx/effects.h"
#include "gfx/sprites.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "stage_three/huge_ufo.h"
#include "stage_three/stage_three_flow.h"

namespace {

void setBusyFrame(StageThreeState& s) {
  s.t = 1100;
  s.result = STAGE_RUNNING;
  s.warningTimer = 0;
  s.drillWeapon = FLAG_SET;
  s.ship = StageThreeShip{160, 210, 3, SHIP_IN_PLAY, 60};  // invulnerable: nothing ends the frame
  s.pod = WeaponPod{162, 208};
  s.ufo.shown = FLAG_SET;
  s.ufo.state = UFO_CRUISING;
  s.ufo.direction = 1;
  s.ufo.x = 150;
  s.ufo.y = 60;
  s.ufo.verticalSpeed = 0;
  s.ufo.timer = 150;
  s.commander.riding = FLAG_SET;
  s.beam = UfoBeam{FLAG_SET, 150, 92, 40};
  for (int i = 0; i < KAMIKAZE_SLOTS; ++i) {
    s.kamikaze[i] = Kamikaze{FLAG_SET, 8 + (i * 37) % 304, 60 + (i * 13) % 150, i % 30};
  }
  clearEffects();
  for (int i = 0; i < EFFECT_SLOTS; ++i) spawnEffect(20 + 17 * i, 40 + 9 * i, i % 2 ? FxFlash : FxBlastShort);
}

void BM_StageThreeBusyFrame(benchmark::State& state) {
  startBenchScreen();
  pressKey(SC_CTRL, keyWithoutCharacter());  // no frame wait
  StageThreeState s;
  enterStageThree(s);
  startStageThree(s);
  const double loopStart = threadCpuSeconds();
  for (auto _ : state) {
    setBusyFrame(s);  // cheap next to the frame
    stageThreeFrame(s);
  }
  reportInPageCopies(state, loopStart);
  releaseKey(SC_CTRL);
  destroyUfoImages(s);
  stopBenchScreen();
}
BENCHMARK(BM_StageThreeBusyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
