// The heaviest story frame: the first frame of the hangar scene, which paints
// the 640x240 hangar with the saucer at scale 19 before drawing the frame.
#include "story/story.h"

#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "gfx/sprites.h"
#include "machine/machine.h"

namespace {

void BM_HangarFirstFrame(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  const double loopStart = threadCpuSeconds();
  for (auto _ : state) {
    // Esc waiting in the queue ends the scene after its first frame.
    queueKeyValue(game, std::string(1, KEY_ESC_CHAR));
    playToEnd(game, StoryScene(game, 1));
  }
  reportInPageCopies(state, loopStart);
}
BENCHMARK(BM_HangarFirstFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
