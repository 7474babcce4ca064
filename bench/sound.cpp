// Sound: starting up (reading and checking all nine samples, run from the
// build folder where WAV/ sits) and one play request with the sound log on.
#include "platform/sound.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "platform/harness.h"
#include "platform/run_options.h"
#include "platform/wav.h"

namespace {

void BM_InitSoundLoadsNineSamples(benchmark::State& state) {
  RunOptions options;
  options.headless = true;
  platformStart(options);
  for (auto _ : state) {
    initSound({});
    benchmark::DoNotOptimize(soundState.soundReady);
  }
  if (!soundState.soundReady) state.SkipWithError("the samples did not load (run from the build folder)");
  soundState = SoundState{};
  platformStop();
}
BENCHMARK(BM_InitSoundLoadsNineSamples)->Unit(benchmark::kMicrosecond);

void BM_ParseSirenSample(benchmark::State& state) {
  WavSound siren;
  for (auto _ : state) {
    benchmark::DoNotOptimize(readWav("WAV/8.WAV", siren));
  }
  if (siren.samples.empty()) state.SkipWithError("WAV/8.WAV missing (run from the build folder)");
}
BENCHMARK(BM_ParseSirenSample)->Unit(benchmark::kMicrosecond);

void BM_PlayEffectWithSoundLog(benchmark::State& state) {
  RunOptions options;
  options.headless = true;
  options.soundLog = "bench-sound.log";
  platformStart(options);
  initSound({});
  for (auto _ : state) playEffect(3, 3, 255);
  soundState = SoundState{};
  platformStop();
  std::remove("bench-sound.log");
}
BENCHMARK(BM_PlayEffectWithSoundLog)->Unit(benchmark::kMicrosecond);

}  // namespace
