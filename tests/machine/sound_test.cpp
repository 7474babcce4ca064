// Sound: when the machine talks to the sound device at all, in which order,
// what a missing or damaged sample silences, and the volumes it plays at.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "support/machine_session.h"

namespace {

// A back end that only writes down the sound calls it receives.
struct AudioCallRecorder : QuietAudio {
  std::vector<std::string>* calls = nullptr;
  bool openSucceeds = true;
  std::set<int> failingSamples;

  bool openAudio() override {
    calls->push_back("open");
    return openSucceeds;
  }
  bool loadSample(int sample, const std::vector<uint8_t>& file, const WavSound& sound) override {
    calls->push_back("load " + std::to_string(sample));
    return !file.empty() && !sound.samples.empty() && failingSamples.count(sample) == 0;
  }
  void playSample(int channel, int sample, int volume) override {
    calls->push_back("play " + std::to_string(channel) + " " + std::to_string(sample) + " " + std::to_string(volume));
  }
  void closeAudio() override { calls->push_back("close"); }
};

class SoundCalls : public testing::Test {
 protected:
  SoundCalls() {
    auto spy = std::make_unique<AudioCallRecorder>();
    spy->calls = &calls;
    recorder = spy.get();
    session = std::make_unique<MachineSession>(1, std::move(spy));
  }
  // Every sample tried once; true when any reached the device.
  bool anyPlays() {
    size_t before = calls.size();
    for (int sample = 0; sample < SAMPLE_COUNT; ++sample)
      playEffect(session->machine, static_cast<Sample>(sample), Channel::Hit, FULL_VOLUME);
    return calls.size() != before;
  }
  std::vector<std::string> calls;
  AudioCallRecorder* recorder = nullptr;
  std::unique_ptr<MachineSession> session;
};

std::vector<std::string> openAndNineLoads() {
  std::vector<std::string> expected{"open"};
  for (int n = 0; n < SAMPLE_COUNT; ++n) expected.push_back("load " + std::to_string(n));
  return expected;
}

TEST_F(SoundCalls, UnwantedSoundMeansNoDeviceCallAtAll) {
  initSound(session->machine, false);
  EXPECT_FALSE(anyPlays());
  EXPECT_FALSE(closeSound(session->machine)) << "sound never started";
  EXPECT_TRUE(calls.empty());
}

TEST_F(SoundCalls, ADeviceThatWillNotStartLoadsNothingAndStaysSilent) {
  recorder->openSucceeds = false;
  initSound(session->machine, true);
  EXPECT_FALSE(anyPlays());
  EXPECT_FALSE(closeSound(session->machine)) << "sound never started";
  EXPECT_EQ(calls, std::vector<std::string>{"open"});
}

TEST_F(SoundCalls, OneFailedSampleSilencesAllButTheOthersAreStillLoaded) {
  for (int failing : {0, 4, 8}) {
    calls.clear();
    recorder->failingSamples = {failing};
    initSound(session->machine, true);
    EXPECT_EQ(calls, openAndNineLoads()) << failing;
    EXPECT_FALSE(anyPlays()) << failing;
    EXPECT_FALSE(closeSound(session->machine)) << "sound never started";
  }
}

TEST_F(SoundCalls, AVolumeStaysTheSamplesUntilTheNextOneIsGiven) {
  initSound(session->machine, true);
  calls.clear();
  playEffect(session->machine, Sample::Siren, Channel::Beam, FULL_VOLUME);
  playEffect(session->machine, Sample::Hit, Channel::Touch, KEEP_VOLUME);  // never given: full
  playEffect(session->machine, Sample::Siren, Channel::Beam, SILENT);      // cutting the charge sound
  playEffect(session->machine, Sample::Siren, Channel::Siren, KEEP_VOLUME);
  playEffect(session->machine, Sample::Explosion, Channel::Explosion, HALF_VOLUME);
  EXPECT_EQ(calls,
            (std::vector<std::string>{"play 10 8 255", "play 9 3 255", "play 10 8 0", "play 8 8 0", "play 2 2 127"}));
}

// The app prints "FMOD CLOSED" when closing says sound had started.
TEST_F(SoundCalls, ClosingShutsTheDeviceOnceAndSaysSo) {
  initSound(session->machine, true);
  calls.clear();
  EXPECT_TRUE(closeSound(session->machine));
  EXPECT_EQ(calls, std::vector<std::string>{"close"});
  // Closed is closed: nothing plays and nothing closes twice.
  EXPECT_FALSE(anyPlays());
  EXPECT_FALSE(closeSound(session->machine));
}

// The machine reads and checks the files itself: a back end never sees a
// damaged one, and a missing one silences only itself.
TEST_F(SoundCalls, ACutOrDamagedSampleSilencesEverythingAMissingOneOnlyItself) {
  namespace fs = std::filesystem;
  const std::string victim = "WAV/5.WAV";
  const std::string bytes = readFileText(victim);
  for (const std::string damage : {"truncated", "garbage", "empty", "missing"}) {
    SCOPED_TRACE(damage);
    std::string changed = bytes;
    if (damage == "truncated") changed.resize(bytes.size() / 2);
    if (damage == "garbage") changed.replace(8, 4, "AVI ");
    if (damage == "empty") changed.clear();
    writeFile(victim, changed);
    if (damage == "missing") fs::remove(victim);
    calls.clear();
    testing::internal::CaptureStderr();
    initSound(session->machine, true);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("WAV/5.WAV"), std::string::npos) << "the file is named: " << err;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "load 5"), 0) << "never handed to the device";
    calls.clear();
    playEffect(session->machine, marchNote(1), Channel::March, FULL_VOLUME);  // WAV/5.WAV
    playEffect(session->machine, Sample::Shot, Channel::Shot, FULL_VOLUME);
    if (damage == "missing")
      EXPECT_EQ(calls, std::vector<std::string>{"play 1 1 255"});
    else
      EXPECT_TRUE(calls.empty());
    closeSound(session->machine);
  }
  writeFile(victim, bytes);
}

}  // namespace
