// The replays kept of a player's games: which go when there are too many,
// the list the menu shows, and keeping one where nothing can be written.
#include "app/kept_replays.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "support/files.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t DAY_ONE = 1'796'000'000;  // seconds since 1970: in 2026

// count games a minute apart, the oldest first; raised(i) says which raised
// the high score.
template <typename Raised>
std::vector<KeptReplay> games(int count, Raised raised) {
  std::vector<KeptReplay> kept;
  for (int i = 0; i < count; ++i) {
    KeptReplay game;
    game.path = "game-" + std::to_string(1000 + i);
    game.played = DAY_ONE + 60 * i;
    game.raisedHighScore = raised(i);
    kept.push_back(game);
  }
  std::reverse(kept.begin(), kept.end());  // in no order the rule relies on
  return kept;
}

std::vector<std::string> names(int from, int to) {  // game-(1000+from) .. game-(1000+to-1)
  std::vector<std::string> paths;
  for (int i = from; i < to; ++i) paths.push_back("game-" + std::to_string(1000 + i));
  return paths;
}

Replay playedAt(int64_t played, int32_t startHighScore, int32_t score) {
  Replay replay;
  replay.seed = 9;
  replay.startHighScore = startHighScore;
  replay.played = played;
  replay.endMs = 500;
  replay.claims = ReplayClaims{score, std::max(score, startHighScore), 10, 0x1234};
  return replay;
}

}  // namespace

TEST(KeptReplays, TheLastTwentyAndEveryHighScoreStayWithinAHundred) {
  auto never = [](int) { return false; };
  EXPECT_TRUE(replaysToDelete(games(20, never)).empty());
  EXPECT_EQ(replaysToDelete(games(25, never)), names(0, 5)) << "the oldest five, oldest first";

  // Every third of 60 raised the high score: of the 40 oldest, those 13 stay.
  auto third = [](int i) { return i % 3 == 0; };
  std::vector<std::string> going = replaysToDelete(games(60, third));
  EXPECT_EQ(going.size(), 40u - 14u);
  for (const std::string& path : going) EXPECT_NE((std::stoi(path.substr(5)) - 1000) % 3, 0) << path;

  // 130 that all raised it: the cap keeps the newest hundred.
  EXPECT_EQ(replaysToDelete(games(130, [](int) { return true; })), names(0, 30));
  // 90 that raised it, then 30 that did not: the 10 oldest others go, then
  // of the high scores the oldest past the hundred.
  std::vector<std::string> mixed = replaysToDelete(games(120, [](int i) { return i < 90; }));
  std::vector<std::string> expected = names(0, 10);
  std::vector<std::string> others = names(90, 100);
  expected.insert(expected.end(), others.begin(), others.end());
  std::sort(mixed.begin(), mixed.end());
  EXPECT_EQ(mixed, expected);
}

TEST(KeptReplays, TheListIsNewestFirstAndPassesOverWhatIsNoReplay) {
  const std::string folder = makeScratchFolder("kept") + "/replays";
  ASSERT_TRUE(keepReplay(folder, playedAt(DAY_ONE, 1000, 400), 1).ok());
  ASSERT_TRUE(keepReplay(folder, playedAt(DAY_ONE + 3600, 1000, 5200), 3).ok());
  ASSERT_TRUE(keepReplay(folder, playedAt(DAY_ONE + 3600, 5200, 300), 2).ok()) << "the same second";
  writeFile(folder + "/damaged.replay", "quarvel replay\nrules 1\nseed x\n");
  writeFile(folder + "/binary.replay", randomBytes(7, 300));
  writeFile(folder + "/script.replay", "1 down space\n");
  writeFile(folder + "/notes.txt", "quarvel replay\n");
  fs::create_directories(folder + "/folder.replay");

  std::vector<KeptReplay> kept = listKeptReplays(folder);
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[0].played, DAY_ONE + 3600);
  EXPECT_EQ(kept[2].played, DAY_ONE);
  EXPECT_EQ(kept[2].score, 400);
  EXPECT_EQ(kept[2].stage, 1);
  EXPECT_FALSE(kept[2].raisedHighScore);
  const KeptReplay& raised = kept[0].score == 5200 ? kept[0] : kept[1];
  EXPECT_EQ(raised.stage, 3);
  EXPECT_TRUE(raised.raisedHighScore);
  EXPECT_EQ(fs::path(raised.path).filename().string(), replayFileName(DAY_ONE + 3600, 3));
  EXPECT_TRUE(listKeptReplays(folder + "/nowhere").empty());

  // The folder past its limits after one more game.
  for (int i = 0; i < 24; ++i) ASSERT_TRUE(keepReplay(folder, playedAt(DAY_ONE + 7200 + i, 1000, i), 1).ok());
  kept = listKeptReplays(folder);
  EXPECT_EQ(kept.size(), KEEP_LAST_GAMES + 1) << "and the one that raised the high score";
}

TEST(KeptReplays, WhereNothingCanBeWrittenTheReplayIsLostWithAReason) {
  const std::string folder = makeScratchFolder("blocked");
  writeFile(folder + "/replays", "a file where the folder would be");
  Outcome kept = keepReplay(folder + "/replays", playedAt(DAY_ONE, 1000, 10), 1);
  EXPECT_FALSE(kept.ok());
  EXPECT_NE(kept.why().find(folder), std::string::npos) << kept.why();
  EXPECT_EQ(readFileText(folder + "/replays"), "a file where the folder would be");

  if (geteuid() == 0) return;  // the administrator writes into read-only folders
  fs::create_directories(folder + "/locked");
  fs::permissions(folder + "/locked", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(keepReplay(folder + "/locked", playedAt(DAY_ONE, 1000, 10), 1).ok());
  EXPECT_TRUE(fs::is_empty(folder + "/locked"));
  fs::permissions(folder + "/locked", fs::perms::owner_all);
}
