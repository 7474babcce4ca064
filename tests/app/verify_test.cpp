// quarvel --verify from outside: a recorded game holds its claims and says
// what the headless run of its input wrote; a changed claim is broken; what
// is not a replay is refused in one plain line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "support/files.h"
#include "support/run_game.h"

namespace {

const std::string WHOLE_GAME = std::string(QUARVEL_SOURCE_DIR) + "/bench/whole_game.txt";

// The CRC of the last line of a --frame-hashes file, and how many lines.
std::string lastFrameCrc(const std::string& hashes, size_t& frames) {
  frames = static_cast<size_t>(std::count(hashes.begin(), hashes.end(), '\n'));
  size_t lineStart = hashes.rfind('\n', hashes.size() - 2);
  std::string last = hashes.substr(lineStart == std::string::npos ? 0 : lineStart + 1);
  return last.substr(last.find(' ') + 1, 8);
}

// The digits that follow the first "before" in text ("" when none).
std::string numberAfter(const std::string& text, const std::string& before) {
  size_t at = text.find(before);
  if (at == std::string::npos) return "";
  at += before.size();
  return text.substr(at, text.find_first_not_of("0123456789", at) - at);
}

GameRun verify(const std::string& path) { return runBinary("--verify '" + path + "'", "", "quarvel"); }

}  // namespace

TEST(Verify, TheWholeGameHoldsItsClaimsAndSaysWhatTheHeadlessRunWrote) {
  GameRun headless =
      runBinary("--headless --input input.txt --frame-hashes hashes.txt --record replay.txt", readFileText(WHOLE_GAME));
  ASSERT_EQ(headless.exitCode, 0) << headless.err;
  size_t frames = 0;
  const std::string crc = lastFrameCrc(readFileText(headless.folder + "/hashes.txt"), frames);
  const std::string highScore = numberAfter(readFileText(headless.folder + "/hiscore.txt"), "hi-score\r\n ");
  ASSERT_FALSE(highScore.empty());

  GameRun recorded = verify(headless.folder + "/replay.txt");
  EXPECT_EQ(recorded.exitCode, 0) << recorded.err;
  EXPECT_EQ(jsonField(recorded.out, "claims"), "held") << recorded.out;
  EXPECT_EQ(jsonField(recorded.out, "highScore"), highScore);
  EXPECT_EQ(jsonField(recorded.out, "lastFrameCrc"), crc);
  EXPECT_EQ(jsonField(recorded.out, "frames"), std::to_string(frames));
  EXPECT_EQ(jsonField(recorded.out, "lastStage"), "4");
  EXPECT_EQ(jsonField(recorded.out, "seed"), "2");
  EXPECT_EQ(std::count(recorded.out.begin(), recorded.out.end(), '\n'), 1) << "one line";

  GameRun plain = verify(WHOLE_GAME);
  EXPECT_EQ(plain.exitCode, 0) << plain.err;
  EXPECT_EQ(jsonField(plain.out, "claims"), "none");
  EXPECT_EQ(jsonField(plain.out, "highScore"), highScore);
  EXPECT_EQ(jsonField(plain.out, "lastFrameCrc"), crc);

  // One claim changed: the score said is one more than was reached.
  std::string replay = readFileText(headless.folder + "/replay.txt");
  const std::string claimed = numberAfter(replay, "claim score ");
  ASSERT_FALSE(claimed.empty());
  const std::string changed = headless.folder + "/changed.txt";
  const size_t at = replay.find("claim score ");
  writeFile(changed, replay.substr(0, at) + "claim score " + std::to_string(std::stoi(claimed) + 1) +
                         replay.substr(at + std::string("claim score ").size() + claimed.size()));
  GameRun broken = verify(changed);
  EXPECT_EQ(broken.exitCode, 1) << broken.err;
  EXPECT_EQ(jsonField(broken.out, "claims"), "broken");
  EXPECT_EQ(jsonField(broken.out, "score"), claimed) << "what was reached, not what was said";
}

TEST(Verify, AScriptPlaysFromTheDefaultHighScoreAndNoiseIsRefusedPlainly) {
  // A game left at once through the exit prompt, then the title left too.
  GameRun script = runBinary("--verify input.txt",
                             "seed 5\n1 down space\n40 up space\n3000 down esc\n3060 up esc\n3200 type y\n"
                             "5000 down esc\n5060 up esc\n",
                             "quarvel");
  EXPECT_EQ(script.exitCode, 0) << script.err;
  EXPECT_EQ(jsonField(script.out, "claims"), "none") << script.out;
  EXPECT_EQ(jsonField(script.out, "highScore"), "1000");
  EXPECT_EQ(jsonField(script.out, "seed"), "5");
  EXPECT_EQ(jsonField(script.out, "lastStage"), "1");

  const std::string folder = makeScratchFolder("noise");
  for (uint32_t seed : {1u, 2u, 3u}) {
    const std::string path = folder + "/noise-" + std::to_string(seed) + ".bin";
    writeFile(path, randomBytes(seed, 4096));
    GameRun noise = verify(path);
    EXPECT_EQ(noise.exitCode, 2) << seed << noise.out;
    EXPECT_EQ(noise.out, "");
    EXPECT_EQ(std::count(noise.err.begin(), noise.err.end(), '\n'), 1) << noise.err;
    EXPECT_TRUE(
        std::all_of(noise.err.begin(), noise.err.end(), [](char c) { return c == '\n' || (c >= ' ' && c < 0x7F); }))
        << "no bytes of the input echoed: " << noise.err;
  }
}
