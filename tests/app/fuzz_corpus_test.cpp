// Every input in fuzz/corpus/ goes through its reader in the normal test
// builds too (plain and sanitized). A fuzz finding is kept by adding its
// input to the target's corpus folder, where it stays a regression test.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/command_line.h"
#include "app/flow.h"
#include "app/settings.h"
#include "formats/bmp.h"
#include "formats/hiscore_text.h"
#include "formats/replay.h"
#include "formats/script.h"
#include "formats/wav.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> corpus(const std::string& target) {
  std::vector<std::string> inputs;
  for (const auto& entry : fs::directory_iterator(fs::path(QUARVEL_SOURCE_DIR) / "fuzz" / "corpus" / target))
    inputs.push_back(readFileText(entry.path().string()));
  EXPECT_GE(inputs.size(), 3u) << target;
  return inputs;
}

const uint8_t* bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

}  // namespace

TEST(FuzzCorpus, EveryReaderTakesEveryKeptInput) {
  for (const std::string& text : corpus("script")) {
    Script script;
    Outcome parsed = parseScript(text, script);
    if (!parsed.ok()) {
      EXPECT_NE(parsed.why().find(": "), std::string::npos);
    }
  }
  for (const std::string& file : corpus("bitmap")) {
    Picture picture;
    if (decodeBmp(bytes(file), file.size(), picture).ok()) {
      EXPECT_EQ(picture.pixels.size(), static_cast<size_t>(picture.width) * picture.height);
    }
  }
  for (const std::string& file : corpus("wav")) {
    WavSound sound;
    if (parseWav(bytes(file), file.size(), sound).ok()) {
      EXPECT_FALSE(sound.samples.empty());
    }
  }
  for (const std::string& text : corpus("hiscore")) EXPECT_EQ(highScoreFromText(text), highScoreFromText(text));
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  for (const std::string& text : corpus("command_line")) {
    std::vector<std::string> args(1);
    for (char c : text) {
      if (c == '\0')
        args.emplace_back();
      else
        args.back().push_back(c);
    }
    RunOptions options;
    parseCommandLine(args, options);
  }
  ::testing::internal::GetCapturedStdout();
  ::testing::internal::GetCapturedStderr();
  for (const std::string& text : corpus("settings")) {
    Settings settings;
    std::vector<std::string> problems;
    parseSettings(text, "quarvel.ini", settings, problems);
    EXPECT_TRUE(settings.scale >= 1 && settings.scale <= 8 && settings.volume >= 0 && settings.volume <= 100);
  }
}

TEST(FuzzCorpus, KeptReplaysReadBackAndPlayTheSameTwice) {
  for (const std::string& text : corpus("replay")) {
    Replay replay;
    if (!parseReplay(text, replay).ok()) continue;
    Replay again;
    ASSERT_TRUE(parseReplay(replayText(replay), again).ok());
    EXPECT_EQ(replayText(again), replayText(replay));
  }
  constexpr int64_t FRAME_LIMIT = 300;  // as the fuzz target plays them
  const std::string data = std::string(QUARVEL_SOURCE_DIR) + "/data";
  for (const std::string& text : corpus("replay_play")) {
    Replay replay;
    ASSERT_TRUE(parseReplay(text, replay).ok());
    ReplayPlayed first;
    ReplayPlayed second;
    ASSERT_TRUE(playReplayInside(replay, data, FRAME_LIMIT, first).ok());
    ASSERT_TRUE(playReplayInside(replay, data, FRAME_LIMIT, second).ok());
    EXPECT_EQ(first.reached, second.reached);
    EXPECT_GT(first.reached.frames, 0);
    EXPECT_LE(first.reached.frames, FRAME_LIMIT);
  }
}
