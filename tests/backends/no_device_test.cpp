// The window back end without a sound device: one line says sound is off,
// and the sound libraries' own complaints stay off stderr. With a dummy
// device the samples load from the checked bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "backends/sdl_window.h"
#include "formats/wav.h"
#include "support/files.h"

namespace {

// SDL_AUDIODRIVER set for the length of one test.
struct AudioDriver {
  explicit AudioDriver(const char* name) { setenv("SDL_AUDIODRIVER", name, 1); }
  ~AudioDriver() { unsetenv("SDL_AUDIODRIVER"); }
};

}  // namespace

TEST(SdlAudio, NoDeviceMeansOneLineAndSilence) {
  AudioDriver driver("no-such-driver");
  backend::SdlWindow window({});
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(window.openAudio());
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find(": no sound device"), std::string::npos) << err;
  EXPECT_NE(err.find("sound is off"), std::string::npos) << err;
  EXPECT_FALSE(window.loadSample(0, {}, WavSound{}));
}

TEST(SdlAudio, ADummyDeviceLoadsTheCheckedSamples) {
  AudioDriver driver("dummy");
  backend::SdlWindow window({});
  ASSERT_TRUE(window.openAudio());
  std::string data = std::string(QUARVEL_SOURCE_DIR) + "/data/WAV/";
  for (int n = 0; n < 9; ++n) {
    std::string file = readFileText(data + std::to_string(n) + ".WAV");
    std::vector<uint8_t> bytes(file.begin(), file.end());
    WavSound sound;
    ASSERT_TRUE(parseWav(bytes.data(), bytes.size(), sound).ok());
    EXPECT_TRUE(window.loadSample(n, bytes, sound)) << n;
  }
  window.closeAudio();
}
