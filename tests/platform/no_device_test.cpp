// The window back end without a sound device: one line says sound is off,
// and the sound libraries' own complaints stay off stderr. With a dummy
// device the samples load from the checked bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/sdl_backend.h"

namespace {

// SDL_AUDIODRIVER set for the length of one test.
struct AudioDriver {
  explicit AudioDriver(const char* name) { setenv("SDL_AUDIODRIVER", name, 1); }
  ~AudioDriver() { unsetenv("SDL_AUDIODRIVER"); }
};

}  // namespace

TEST(SdlAudio, NoDeviceMeansOneLineAndSilence) {
  AudioDriver driver("no-such-driver");
  SdlBackend backend("", {});
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(backend.openAudio());
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_EQ(err.rfind("quarvel: no sound device", 0), 0u) << err;
  EXPECT_NE(err.find("sound is off"), std::string::npos) << err;
  EXPECT_FALSE(backend.loadSample(0, "WAV/0.WAV"));
}

TEST(SdlAudio, ADummyDeviceLoadsTheCheckedSamples) {
  AudioDriver driver("dummy");
  SdlBackend backend("", {});
  ASSERT_TRUE(backend.openAudio());
  std::string data = std::string(QUARVEL_SOURCE_DIR) + "/data/WAV/";
  for (int n = 0; n < 9; ++n) EXPECT_TRUE(backend.loadSample(n, data + std::to_string(n) + ".WAV")) << n;
  EXPECT_FALSE(backend.loadSample(0, "/dev/zero"));
  EXPECT_FALSE(backend.loadSample(1, data));
  backend.closeAudio();
}
