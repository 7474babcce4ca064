// Whole runs of StageOne in-process: cleared by an automated player, lost to
// the end through both continues, and left through the exit prompt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game_state.h"
#include "machine/machine.h"
#include "stage_one/stage_one.h"
#include "stage_one/stage_one_internal.h"
#include "support/player_one.h"
#include "support/session.h"
#include "support/stage_one_support.h"

using namespace stage_one;

namespace {

constexpr unsigned SKY_TOP = 0x3E82B8;
const std::string ESC_KEY(1, 27);

struct FrameRecord {
  int64_t frame = 0;
  int64_t ms = 0;
  int32_t score = 0;
  int32_t credits = 0;
};

int countEvents(const std::vector<SoundEvent>& log, int sample, int channel) {
  int count = 0;
  for (const SoundEvent& event : log)
    if (event.sample == sample && event.channel == channel) ++count;
  return count;
}

std::string highScoreFileFor(int32_t value) { return "hi-score\r\n " + std::to_string(value) + "\r\n"; }

}  // namespace

TEST(StageOneFlow, AnAutomatedPlayerClearsTheStageAndStoryZeroFollows) {
  TestSession session("", 11, /*withSound=*/true);
  Game& game = session.game;
  game.gameState.credits = 0;  // a lost game ends at once instead of asking
  std::vector<FrameRecord> frames;
  int storyFrames = 0;
  bool storyStartsBlack = false;
  bool stageOver = false;
  StageResult result = playStageOneAutomatically(game, [&](const StageOneRecord& stage, int64_t frame) {
    // The frame that clears the stage is its last; story scene 0 draws the next.
    if (!stageOver) {
      frames.push_back(FrameRecord{frame, virtualMs(game), game.gameState.score, game.gameState.credits});
      stageOver = stage.result == StageResult::Cleared;
      return;
    }
    if (storyFrames == 0) {
      storyStartsBlack = rgbAt(game, 2, 2) == 0 && rgbAt(game, 160, 120) == 0 && rgbAt(game, 300, 200) == 0;
      queueKeyValue(game, ESC_KEY);  // skip the rest of the scene
    }
    ++storyFrames;
  });
  ASSERT_EQ(result, StageResult::Cleared);

  // Twelve kills worth 300, 200 or 100 by row plus one point per step down
  // (8 pixels), four of each row, then the bonus.
  std::vector<int> deltas;
  std::vector<int64_t> deltaFrames;
  for (size_t i = 1; i < frames.size(); ++i)
    if (frames[i].score != frames[i - 1].score) {
      deltas.push_back(frames[i].score - frames[i - 1].score);
      deltaFrames.push_back(frames[i].frame);
    }
  ASSERT_EQ(deltas.size(), 13u);
  int perRow[3] = {};
  int lastSteps = 0;
  for (int i = 0; i < 12; ++i) {
    const int row = deltas[i] >= 300 ? 0 : deltas[i] >= 205 ? 1 : 2;
    const int steps = deltas[i] - (300 - 95 * row);
    EXPECT_GE(steps, lastSteps) << "kill " << i;
    // An alien that steps down to line 200 ends the game: row 0 starts at 20,
    // row 1 at 60, row 2 at 100.
    EXPECT_LE(steps, (180 - 40 * row) / 8) << "kill " << i;
    lastSteps = steps;
    ++perRow[row];
  }
  EXPECT_EQ(perRow[0], 4);
  EXPECT_EQ(perRow[1], 4);
  EXPECT_EQ(perRow[2], 4);
  const int bonus = deltas[12];
  EXPECT_TRUE(bonus == 100 || bonus == 200 || bonus == 300) << bonus;
  const int64_t lastKill = deltaFrames[11];
  EXPECT_EQ(deltaFrames[12], lastKill + 20);
  EXPECT_EQ(frames.back().frame, lastKill + 101);
  EXPECT_EQ(game.gameState.highScore, game.gameState.score);
  EXPECT_EQ(readFileText("hiscore.txt"), highScoreFileFor(game.gameState.score));

  const std::vector<SoundEvent> log = readSoundLog(session.soundLogPath);
  EXPECT_EQ(countEvents(log, 3, 3), 12);
  EXPECT_GE(countEvents(log, 1, 1), 12);

  // Story scene 0 opens on a black screen and Esc ends it.
  EXPECT_TRUE(storyStartsBlack);
  EXPECT_EQ(storyFrames, 2);
}

TEST(StageOneFlow, LostToTheEndThroughTwoContinues) {
  std::string script;
  for (int ms = 500; ms <= 600000; ms += 500) script += std::to_string(ms) + " type Y\n";
  TestSession session(script, 5, /*withSound=*/true);
  Game& game = session.game;
  game.gameState.credits = 2;
  std::vector<FrameRecord> frames;
  int gameFrame = 0;
  int32_t lastCredits = game.gameState.credits;
  std::vector<size_t> aliensAtStart;
  StageOneRecord stage;
  // The player stands still and fires three shots at the start of each game.
  setFrameHook(game, [&](int64_t frame) {
    frames.push_back(FrameRecord{frame, virtualMs(game), game.gameState.score, game.gameState.credits});
    if (game.gameState.credits != lastCredits) gameFrame = 0;
    lastCredits = game.gameState.credits;
    ++gameFrame;
    if (gameFrame == 1) {
      size_t alive = 0;
      for (const Alien& alien : stage.aliens) alive += alien.alive ? 1 : 0;
      aliensAtStart.push_back(alive);
    }
    if (gameFrame == 5 || gameFrame == 45 || gameFrame == 85)
      pressKey(game, SC_SPACE, " ");
    else
      releaseKey(game, SC_SPACE);
  });
  StageResult result = playToEnd(game, runStageOne(game, stage));
  setFrameHook(game, nullptr);
  EXPECT_EQ(result, StageResult::GameOver);
  EXPECT_EQ(game.gameState.credits, 0);
  ASSERT_FALSE(frames.empty());

  // Three games, credits 2, 1, 0; each continue restarts the score at 0
  // after the box, its 1000 ms and one pass of the prompt.
  std::vector<size_t> starts = {0};
  int kills = 0;
  for (size_t i = 1; i < frames.size(); ++i) {
    if (frames[i].credits != frames[i - 1].credits) starts.push_back(i);
    if (frames[i].score > frames[i - 1].score) ++kills;
  }
  ASSERT_EQ(starts.size(), 3u);
  for (int game = 0; game < 3; ++game) EXPECT_EQ(frames[starts[game]].credits, 2 - game);
  for (int game = 1; game < 3; ++game) {
    const FrameRecord& before = frames[starts[game] - 1];
    const FrameRecord& after = frames[starts[game]];
    EXPECT_EQ(after.ms - before.ms, 30 + 1000 + 1);
    EXPECT_EQ(after.score, 0);
    EXPECT_GT(before.score, 0);
  }
  EXPECT_GT(kills, 2);
  EXPECT_EQ(aliensAtStart, (std::vector<size_t>{12, 12, 12}));  // a new formation each time
  for (size_t i = 1; i < frames.size(); ++i) {
    if (frames[i].credits == frames[i - 1].credits) {
      EXPECT_EQ(frames[i].ms - frames[i - 1].ms, 30);
    }
  }

  // The third game over asks nothing: 2000 ms with the game-over box alone.
  EXPECT_EQ(virtualMs(game) - frames.back().ms, 30 + 1000 + 2000);
  EXPECT_EQ(rgbAt(game, 78, 78), 0xFFFFFFu);
  EXPECT_EQ(rgbAt(game, 232, 108), 0xFFFFFFu);
  EXPECT_EQ(rgbAt(game, 80, 100), 0x000000u);
  int whiteOnPromptEdge = 0;
  for (int x = 86; x <= 224; ++x) whiteOnPromptEdge += rgbAt(game, x, 118) == 0xFFFFFFu;
  EXPECT_LT(whiteOnPromptEdge, 139);

  // Each accepted continue plays sample 3 on channel 3, like each kill.
  EXPECT_EQ(countEvents(readSoundLog(session.soundLogPath), 3, 3), kills + 2);
  EXPECT_EQ(readFileText("hiscore.txt"), highScoreFileFor(game.gameState.highScore));
}

TEST(StageOneFlow, ExitPromptOpensOnceAFreshEscAnswersNoAndYLeaves) {
  // Esc pressed before frame 11 is held until 1000 ms; a fresh Esc at 1200
  // answers no. Esc pressed again before frame 61 is answered with Y.
  TestSession session("1000 up esc\n1200 down esc\n1230 up esc\n5000 up esc\n5100 type Y\n", 2,
                      /*withSound=*/true);

  Game& game = session.game;
  game.gameState.credits = 2;
  std::vector<FrameRecord> frames;
  setFrameHook(game, [&](int64_t frame) {
    frames.push_back(FrameRecord{frame, virtualMs(game), game.gameState.score, game.gameState.credits});
    if (frame == 10 || frame == 60) pressKey(game, SC_ESC, ESC_KEY);
  });
  StageResult result = playToEnd(game, StageOne(game));
  setFrameHook(game, nullptr);
  EXPECT_EQ(result, StageResult::Left);
  ASSERT_EQ(frames.size(), 61u);
  for (size_t i = 1; i < frames.size(); ++i) {
    const int64_t gap = frames[i].ms - frames[i - 1].ms;
    if (i == 11) {
      EXPECT_GE(frames[i].ms, 1230);  // the prompt waited for the release and the fresh Esc
      EXPECT_LT(frames[i].ms, 1300);
    } else {
      EXPECT_EQ(gap, 30) << "frame " << frames[i].frame;
    }
  }
  // The exit box stays on page 0, and leaving plays sample 2 on channel 2.
  EXPECT_EQ(rgbAt(game, 42, 98), 0xFFFFFFu);
  EXPECT_EQ(rgbAt(game, 276, 128), 0xFFFFFFu);
  const std::vector<SoundEvent> log = readSoundLog(session.soundLogPath);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().sample, 2);
  EXPECT_EQ(log.back().channel, 2);
  EXPECT_EQ(log.back().frame, 61);
  EXPECT_EQ(readFileText("hiscore.txt"), highScoreFileFor(0));  // saved even when both are 0
}
