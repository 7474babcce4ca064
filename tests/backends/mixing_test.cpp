// Mixing headroom: the loudest three samples that can sound together (a
// shot, a hit and a march note), mixed by SDL at the master volume the game
// sets, with their peaks on the same instant, stay below full scale.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "backends/sdl_window.h"
#include "formats/wav.h"
#include "support/files.h"

using backend::mixerMasterVolume;

namespace {

struct Mixed {
  int peak = 0;
  bool clipped = false;
};

// Mixes the samples as SDL_mixer does (SDL_MixAudioFormat, saturating) at
// `volume` (0..128), each shifted so that its loudest sample lands at one place.
Mixed mixAtPeaks(const std::vector<int>& samples, int volume) {
  std::vector<WavSound> sounds(samples.size());
  size_t latestPeak = 0;
  std::vector<size_t> peaks;
  for (size_t i = 0; i < samples.size(); ++i) {
    const std::string file = readFileText("WAV/" + std::to_string(samples[i]) + ".WAV");
    EXPECT_TRUE(parseWav(reinterpret_cast<const uint8_t*>(file.data()), file.size(), sounds[i]).ok());
    size_t at = 0;
    for (size_t k = 0; k < sounds[i].samples.size(); ++k)
      if (std::abs(sounds[i].samples[k]) > std::abs(sounds[i].samples[at])) at = k;
    peaks.push_back(at);
    latestPeak = std::max(latestPeak, at);
  }
  std::vector<int16_t> out(latestPeak + 44100, 0);
  for (size_t i = 0; i < sounds.size(); ++i) {
    size_t offset = latestPeak - peaks[i];
    std::vector<int16_t> part(out.size(), 0);
    std::copy(sounds[i].samples.begin(), sounds[i].samples.end(), part.begin() + static_cast<long>(offset));
    SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), reinterpret_cast<const Uint8*>(part.data()), AUDIO_S16SYS,
                       static_cast<Uint32>(out.size() * 2), volume);
  }
  Mixed mixed;
  for (int16_t v : out) {
    mixed.peak = std::max(mixed.peak, std::abs(static_cast<int>(v)));
    mixed.clipped = mixed.clipped || v == 32767 || v == -32768;
  }
  return mixed;
}

}  // namespace

TEST(MixingHeadroom, AShotAHitAndAMarchNoteTogetherDoNotClip) {
  EXPECT_EQ(mixerMasterVolume(100), 76);
  EXPECT_EQ(mixerMasterVolume(0), 0);
  EXPECT_EQ(mixerMasterVolume(50), 38);
  for (int march : {4, 5, 6, 7}) {
    Mixed full = mixAtPeaks({1, 2, march}, SDL_MIX_MAXVOLUME);
    EXPECT_TRUE(full.clipped) << "without headroom they would clip: " << march;
    Mixed game = mixAtPeaks({1, 2, march}, mixerMasterVolume(100));
    EXPECT_FALSE(game.clipped) << march;
    EXPECT_LT(game.peak, 32000) << march;
    EXPECT_GT(game.peak, 16000) << "and still loud";
  }
  // Stage three's loudest three: shot, explosion, hit.
  EXPECT_FALSE(mixAtPeaks({1, 3, 2}, mixerMasterVolume(100)).clipped);
}
