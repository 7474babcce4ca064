// Sound: starting up (reading and checking all nine samples, run from the
// build folder where WAV/ sits) and one play request with the sound log on.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "backends/headless.h"
#include "bench_support.h"
#include "formats/wav.h"
#include "harness/harness.h"
#include "machine/control.h"
#include "machine/machine.h"
#include "os/files.h"

namespace {

// Whether a play request reaches the sound log: the sound started.
bool soundStarted(Machine& machine, const std::string& log) {
  playEffect(machine, Sample::Shot, Channel::Shot, FULL_VOLUME);
  std::string text;
  return os::readRegularFile(log, 1 << 20, text) == os::FileRead::Ok && !text.empty();
}

void BM_InitSoundLoadsNineSamples(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  for (auto _ : state) initSound(game, true);
  harness::Options options;
  options.soundLog = "bench-sound.log";
  {
    harness::Harness harness(game, options);
    if (!soundStarted(game, options.soundLog))
      state.SkipWithError("the samples did not load (run from the build folder)");
  }
  closeSound(game);
  std::remove("bench-sound.log");
}
BENCHMARK(BM_InitSoundLoadsNineSamples)->Unit(benchmark::kMicrosecond);

void BM_ParseSirenSample(benchmark::State& state) {
  std::vector<uint8_t> file;
  if (os::readRegularFile("WAV/8.WAV", 8u << 20, file) != os::FileRead::Ok) {
    state.SkipWithError("WAV/8.WAV missing (run from the build folder)");
    return;
  }
  WavSound siren;
  for (auto _ : state) benchmark::DoNotOptimize(parseWav(file.data(), file.size(), siren).ok());
}
BENCHMARK(BM_ParseSirenSample)->Unit(benchmark::kMicrosecond);

void BM_PlayEffectWithSoundLog(benchmark::State& state) {
  BenchGame bench;
  Game& game = bench.game;
  harness::Options options;
  options.soundLog = "bench-sound.log";
  {
    harness::Harness harness(game, options);
    initSound(game, true);
    for (auto _ : state) playEffect(game, Sample::Hit, Channel::Hit, FULL_VOLUME);
  }
  closeSound(game);
  std::remove("bench-sound.log");
}
BENCHMARK(BM_PlayEffectWithSoundLog)->Unit(benchmark::kMicrosecond);

}  // namespace
