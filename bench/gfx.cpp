// The graphics toolkit's heavy hitters: a stage sprite at scale 4, the
// hangar-sized UFO at scale 19 into an image, and the outlined score line.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "machine/machine.h"

namespace {

void BM_RotoBlitSpriteScale4(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  const uint32_t orange = 0xFF7F00;
  for (auto _ : state) {
    RotoBlit(game, nullptr, 160, 120, sprite(game, SprAlienB1), 4.0f, 4.0f, 0.0f, Transparency::SkipMask, RecolourBlend,
             &orange);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RotoBlitSpriteScale4)->Unit(benchmark::kMicrosecond);

void BM_RotoBlitUfoScale19IntoImage(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  OwnedImage picture = createImage(640, 240);
  Image* hangar = picture.get();
  const uint32_t grey = 0xDDDDDD;
  for (auto _ : state) {
    RotoBlit(game, hangar, 320, 120, sprite(game, SprUfo), 19.0f, 19.0f, 0.0f, Transparency::SkipMask, RecolourBlend,
             &grey);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RotoBlitUfoScale19IntoImage)->Unit(benchmark::kMicrosecond);

void BM_DrawTextOutlined38(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  const std::string line = "SCORE  00012345     HI SCORE  00067890";
  for (auto _ : state) {
    drawText(game, 8, 3, line, 0x000000, Outline::Yes);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawTextOutlined38)->Unit(benchmark::kMicrosecond);

}  // namespace
