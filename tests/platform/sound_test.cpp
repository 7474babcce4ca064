// The sound module: when it talks to the mixer at all, in which order, what
// a failure silences, and the sound log of what the game asked to play.
#include "platform/sound.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "platform/platform_state.h"
#include "platform/run_options.h"
#include "support/session.h"

namespace {

// A back end that only writes down the audio calls it receives.
struct AudioCallRecorder : PlatformBackend {
  std::vector<std::string>* calls = nullptr;
  bool openSucceeds = true;
  std::set<int> failingSamples;

  void openDisplay(bool) override {}
  void leaveFullScreen() override {}
  void closeDisplay() override {}
  void hideMousePointer() override {}
  void showPage(const uint32_t*, bool) override {}
  void wait(int, bool) override {}
  double secondsTimer() override { return 0.0; }

  bool openAudio() override {
    calls->push_back("open");
    return openSucceeds;
  }
  bool loadSample(int index, const std::string& path) override {
    calls->push_back("load " + std::to_string(index) + " " + path);
    return failingSamples.count(index) == 0;
  }
  void setSampleVolume(int index, int volume) override {
    calls->push_back("volume " + std::to_string(index) + " " + std::to_string(volume));
  }
  void playSample(int channel, int index) override {
    calls->push_back("play " + std::to_string(channel) + " " + std::to_string(index));
  }
  void closeAudio() override { calls->push_back("close"); }
};

class SoundCalls : public testing::Test {
 protected:
  void SetUp() override {
    RunOptions options;
    options.headless = true;
    platformStart(options);
    auto spy = std::make_unique<AudioCallRecorder>();
    spy->calls = &calls;
    recorder = spy.get();
    platform().backend = std::move(spy);
  }
  void TearDown() override {
    soundState = SoundState{};
    platformStop();
  }
  // closeSound, returning what it printed.
  std::string closeAndCapture() {
    testing::internal::CaptureStdout();
    closeSound();
    return testing::internal::GetCapturedStdout();
  }
  std::vector<std::string> calls;
  AudioCallRecorder* recorder = nullptr;
};

std::vector<std::string> startAndNineLoads() {
  std::vector<std::string> expected{"open"};
  for (int n = 0; n < 9; ++n) expected.push_back("load " + std::to_string(n) + " WAV/" + std::to_string(n) + ".WAV");
  return expected;
}

TEST_F(SoundCalls, TheWordNosoundAnywhereInAnyCaseMeansNoMixerCallAtAll) {
  const std::vector<std::vector<std::string>> silentLines = {
      {"-nosound"}, {"xNoSoundx"}, {"NOSOUND"}, {"--seed", "5", "nOsOuNd"}, {"a", "b-NOSOUND-c"}};
  for (const auto& args : silentLines) {
    SCOPED_TRACE(args.back());
    soundState.soundReady = true;  // left over from an earlier start: must not survive
    initSound(args);
    EXPECT_FALSE(soundState.soundWanted);
    EXPECT_FALSE(soundState.soundReady);
    playEffect(1, 1, 255);
    playEffect(8, 8, 0);
    EXPECT_EQ(closeAndCapture(), "");
    EXPECT_TRUE(calls.empty());
  }
  // Arguments are joined with blanks, so the word split over two does not count.
  for (const auto& args : std::vector<std::vector<std::string>>{{}, {"NO", "SOUND"}, {"NOSOUN"}, {"sound"}}) {
    calls.clear();
    initSound(args);
    EXPECT_TRUE(soundState.soundWanted);
    EXPECT_TRUE(soundState.soundReady);
    EXPECT_EQ(calls, startAndNineLoads());
  }
}

TEST_F(SoundCalls, AMixerThatWillNotStartLoadsNothingAndStaysSilent) {
  recorder->openSucceeds = false;
  initSound({});
  EXPECT_TRUE(soundState.soundWanted);
  EXPECT_FALSE(soundState.soundReady);
  playEffect(3, 3, 255);
  EXPECT_EQ(closeAndCapture(), "");
  EXPECT_EQ(calls, std::vector<std::string>{"open"});
}

TEST_F(SoundCalls, OneFailedSampleSilencesAllButTheOthersAreStillLoaded) {
  for (int failing : {0, 4, 8}) {
    calls.clear();
    recorder->failingSamples = {failing};
    initSound({});
    EXPECT_FALSE(soundState.soundReady) << failing;
    EXPECT_EQ(calls, startAndNineLoads()) << failing;
    playEffect(1, 1, 255);
    playEffect(failing == 1 ? 2 : 1, 1, -1);
    EXPECT_EQ(closeAndCapture(), "");
    EXPECT_EQ(calls.size(), 10u);
  }
}

TEST_F(SoundCalls, PlayingSetsTheDefaultVolumeFirstAndMinusOneLeavesIt) {
  initSound({});
  calls.clear();
  playEffect(8, 10, 255);
  playEffect(3, 9, -1);
  playEffect(8, 10, 0);  // cutting the charge sound
  playEffect(2, 2, 127);
  EXPECT_EQ(calls, (std::vector<std::string>{"volume 8 255", "play 10 8", "play 9 3", "volume 8 0", "play 10 8",
                                             "volume 2 127", "play 2 2"}));
}

TEST_F(SoundCalls, ClosingShutsTheMixerOnceAndSaysSo) {
  initSound({"-window"});
  calls.clear();
  EXPECT_EQ(closeAndCapture(), "FMOD CLOSED\n");
  EXPECT_EQ(calls, std::vector<std::string>{"close"});
  // Closed is closed: nothing plays and nothing closes twice.
  playEffect(1, 1, 255);
  EXPECT_EQ(closeAndCapture(), "");
  EXPECT_EQ(calls, std::vector<std::string>{"close"});
}

// --- the headless back end with the real sample files ------------------------

TEST(SoundLog, EveryPlayRequestIsLoggedWithFrameAndTime) {
  TestSession session("", 1, true, false);
  ASSERT_TRUE(soundState.soundReady);
  playEffect(1, 1, 255);
  FramePresent();
  sleepMs(30);
  playEffect(3, 9, -1);
  playEffect(8, 8, 0);  // a stop request on a channel where nothing sounds
  FramePresent();
  sleepMs(30);
  playEffect(8, 8, 255);
  playEffect(7, 3, 255);
  EXPECT_EQ(readFileText(session.soundLogPath), "0 0 1 1 255\n1 30 3 9 -1\n1 30 8 8 0\n2 60 8 8 255\n2 60 7 3 255\n");
  testing::internal::CaptureStdout();
  closeSound();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "FMOD CLOSED\n");
}

// (A missing sample only silences itself: tests/player.)
TEST(SoundLog, ACutOrDamagedSampleMeansNoSoundAtAll) {
  namespace fs = std::filesystem;
  const std::vector<std::string> damages = {"truncated", "garbage", "empty"};
  for (const std::string& damage : damages) {
    SCOPED_TRACE(damage);
    TestSession session("", 1, true, false);
    ASSERT_TRUE(soundState.soundReady);
    std::string victim = "WAV/5.WAV";
    std::string bytes = readFileText(victim);
    if (damage == "truncated") fs::resize_file(victim, bytes.size() / 2);
    if (damage == "garbage") {
      bytes.replace(8, 4, "AVI ");
      FILE* out = std::fopen(victim.c_str(), "wb");
      ASSERT_NE(out, nullptr);
      std::fwrite(bytes.data(), 1, bytes.size(), out);
      std::fclose(out);
    }
    if (damage == "empty") fs::resize_file(victim, 0);
    initSound({});
    EXPECT_TRUE(soundState.soundWanted);
    EXPECT_FALSE(soundState.soundReady);
    for (int sample = 0; sample < 9; ++sample) playEffect(sample, sample, 255);
    testing::internal::CaptureStdout();
    closeSound();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(readFileText(session.soundLogPath), "");
  }
}

}  // namespace
