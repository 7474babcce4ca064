// Whole runs of the stage in-process, steered frame by frame from the frame
// hook the way a player at the keyboard would.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "game/game_state.h"
#include "machine/machine.h"
#include "stage_two/stage_two.h"
#include "stage_two/stage_two_internal.h"
#include "story/story.h"
#include "support/session.h"
#include "support/tower_support.h"

using namespace stage_two;

namespace {

// With this seed the dropping player below reaches the goal; with the other
// it is put out on the way down.
constexpr uint32_t SEED_CLEARED = 3;
constexpr uint32_t SEED_PUT_OUT = 16;

// Answers every prompt with "y" and lets go of Esc, once a virtual second.
std::string yesEverySecond(int seconds) {
  std::string script;
  for (int s = 1; s <= seconds; ++s)
    script += std::to_string(1000 * s) + " type y\n" + std::to_string(1000 * s) + " up esc\n";
  return script;
}

// Drops through floor after floor with z, in column 9 all the way, so that the
// last drop lands on the goal: z through the tutorial tile, eight steps left,
// then a z every nine frames. Counts the floors by the score (10 each).
struct DropBot {
  Game& game;
  int phase = 0;
  int leftFrames = 0;
  int64_t lastZ = 0;
  int64_t lastScoreFrame = 0;
  int32_t lastScore = 0;
  int64_t lastHeroFrame = 0;  // the last frame that showed the Hero
  void operator()(int64_t frame) {
    if (game.gameState.score != lastScore) {
      lastScore = game.gameState.score;
      lastScoreFrame = frame;
    }
    if (countColour(game, 0x00FFFF, 0, 90, 319, 140) > 20) lastHeroFrame = frame;
    int32_t floors = game.gameState.score / 10;
    if (phase == 0 && floors >= 1) {
      queueKeyValue(game, "z");
      phase = 1;
    } else if (phase == 1 && floors >= 2) {
      pressKey(game, SC_LEFT, "");
      phase = 2;
    } else if (phase == 2 && ++leftFrames == 8) {
      releaseKey(game, SC_LEFT);
      phase = 3;
    } else if (phase == 3 && frame - lastZ >= 9) {
      queueKeyValue(game, "z");
      lastZ = frame;
    }
  }
};

struct Snapshot {
  std::vector<uint32_t> pixels;
  TowerMap tower;
};
Snapshot takeSnapshot(Machine& machine, Tower& tower) {
  Snapshot s;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) s.pixels.push_back(readPixel(machine, x, y) & 0xFFFFFFu);
  s.tower = tower.map;
  return s;
}
bool sameRows(const Snapshot& a, const Snapshot& b, int y1, int y2) {
  for (int i = y1 * 320; i < (y2 + 1) * 320; ++i)
    if (a.pixels[i] != b.pixels[i]) return false;
  return true;
}
// The black lettering of the hit-point row (over different towers).
bool sameHitPointMarks(const Snapshot& a, const Snapshot& b) {
  for (int y = 224; y <= 231; ++y)
    for (int x = 8; x <= 116; ++x)
      if ((a.pixels[y * 320 + x] == 0) != (b.pixels[y * 320 + x] == 0)) return false;
  return true;
}

TEST(StageTwoFlow, DroppingInColumnNineReachesTheGoalAndTheStoryFollows) {
  TestSession session("", SEED_CLEARED, true);
  Game& game = session.game;
  Tower tower;
  game.gameState.credits = 2;
  DropBot bot{game};
  setFrameHook(game, [&bot](int64_t frame) { bot(frame); });
  StageResult result = playToEnd(game, StageTwo(game, tower));
  setFrameHook(game, nullptr);
  EXPECT_EQ(result, StageResult::Cleared);
  EXPECT_GE(game.gameState.score, 10 * 199) << "ten points for every floor down to floor 199";
  EXPECT_EQ(game.gameState.highScore, game.gameState.score);
  EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\n " + std::to_string(game.gameState.score) + "\r\n");
  EXPECT_EQ(game.gameState.credits, 2);
  // Story scenes 1 and 2 played after the stage's last frame (the goal's 10 points).
  int64_t storyFrames = framesPresented(game) - bot.lastScoreFrame;
  int64_t before = framesPresented(game);
  playToEnd(game, StoryScene(game, 1));
  playToEnd(game, StoryScene(game, 2));
  EXPECT_EQ(storyFrames, framesPresented(game) - before);
}

TEST(StageTwoFlow, PutOutWithoutCreditsShowsGameOverFortyNineFramesLater) {
  TestSession session("", SEED_PUT_OUT, true);
  Game& game = session.game;
  Tower tower;
  game.gameState.credits = 0;
  game.gameState.highScore = 1000000;
  DropBot bot{game};
  setFrameHook(game, [&bot](int64_t frame) { bot(frame); });
  StageResult result = playToEnd(game, StageTwo(game, tower));
  setFrameHook(game, nullptr);
  EXPECT_EQ(result, StageResult::GameOver);
  // The Hero vanishes in the frame after the last touch; the loop ends 49 frames later.
  EXPECT_EQ(framesPresented(game), bot.lastHeroFrame + 1 + 49);
  std::vector<std::string> log = soundsLogged(session.soundLogPath);
  EXPECT_GE(std::count(log.begin(), log.end(), "3 9 -1"), 6) << "six touches";
  // The box on page 0, a second's pause, then two seconds of the prompt without credits.
  EXPECT_EQ(readPixel(game, 78, 78) & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(readPixel(game, 232, 108) & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(readPixel(game, 80, 80) & 0xFFFFFFu, 0u);
  EXPECT_EQ(virtualMs(game), 30 * framesPresented(game) + 1000 + 2000);
  EXPECT_EQ(readFileText("hiscore.txt"), "") << "the high score was not reached";
}

TEST(StageTwoFlow, AContinueBuildsANewTowerAndPutsTheHeroBackInTheLift) {
  TestSession session(yesEverySecond(60), SEED_PUT_OUT, false);
  Game& game = session.game;
  Tower tower;
  game.gameState.credits = 1;
  DropBot bot{game};
  Snapshot first, second;
  int run = 1;
  bool scored = false;
  setFrameHook(game, [&](int64_t frame) {
    if (frame == 1) first = takeSnapshot(game, tower);
    scored |= game.gameState.score > 0;
    if (run == 1 && scored && game.gameState.score == 0) {
      run = 2;  // the first frame after the continue
      second = takeSnapshot(game, tower);
      pressKey(game, SC_ESC, std::string(1, KEY_ESC_CHAR));
      return;
    }
    if (run == 1) bot(frame);
  });
  StageResult result = playToEnd(game, StageTwo(game, tower));
  setFrameHook(game, nullptr);
  ASSERT_EQ(run, 2);
  EXPECT_EQ(result, StageResult::Left) << "left through the exit prompt";
  EXPECT_EQ(game.gameState.credits, 0);
  EXPECT_NE(std::memcmp(&first.tower, &second.tower, sizeof(TowerMap)), 0) << "a new tower";
  EXPECT_TRUE(sameRows(first, second, 20, 130)) << "roof, lift and the Hero in it as at the start";
  EXPECT_TRUE(sameHitPointMarks(first, second)) << "five hit points again";
}

// Random keys for a while, then Esc and yes: nothing may read or write
// outside the tower, the screen or the tables (the suite also runs this
// under the address and undefined-behaviour sanitizers).
TEST(StageTwoFlow, RandomKeysThroughTheWholeStage) {
  TestSession session(yesEverySecond(200), 21, false);
  Game& game = session.game;
  Tower tower;
  game.gameState.credits = 0;
  std::mt19937 random(7);
  bool left = false, right = false, space = false;
  setFrameHook(game, [&](int64_t frame) {
    if (frame == 1500) pressKey(game, SC_ESC, std::string(1, KEY_ESC_CHAR));
    if (random() % 6 == 0) (left = !left) ? pressKey(game, SC_LEFT, "") : releaseKey(game, SC_LEFT);
    if (random() % 6 == 0) (right = !right) ? pressKey(game, SC_RIGHT, "") : releaseKey(game, SC_RIGHT);
    if (random() % 4 == 0) (space = !space) ? pressKey(game, SC_SPACE, " ") : releaseKey(game, SC_SPACE);
    if (random() % 8 == 0) queueKeyValue(game, "z");
  });
  StageResult result = playToEnd(game, StageTwo(game, tower));
  setFrameHook(game, nullptr);
  EXPECT_TRUE(result == StageResult::Left || result == StageResult::GameOver);
  EXPECT_LE(framesPresented(game), 1500);
}

// Deep in the tower with the Hero kept alive: down to the ground under the
// last floor, with every figure inside the tower's twenty columns.
TEST(StageTwoFlow, RandomPlayDownToTheBottomStaysInsideTheTower) {
  TestSession session("", 11, false);
  Game& game = session.game;
  Tower tower;
  StageTwoRecord stage;
  startStageTwo(game, tower, stage);
  stage.hero = standingOn(168, 470).hero;
  stage.scroll = stage.hero.y - HERO_SCREEN_Y;
  std::mt19937 random(3);
  bool reachedGround = false;
  for (int frame = 0; frame < 900; ++frame) {
    random() % 3 == 0 ? pressKey(game, SC_LEFT, "") : releaseKey(game, SC_LEFT);
    random() % 3 == 0 ? pressKey(game, SC_RIGHT, "") : releaseKey(game, SC_RIGHT);
    random() % 4 == 0 ? pressKey(game, SC_SPACE, " ") : releaseKey(game, SC_SPACE);
    if (random() % 3 == 0) queueKeyValue(game, "z");
    stage.hero.hitPoints = 5;
    stage.result = StageResult::Running;
    playStageTwoFrame(game, tower, stage);
    ASSERT_GE(stage.hero.x, 8);
    ASSERT_LE(stage.hero.x, 16 * 19 + 8);
    ASSERT_LE(stage.hero.y, 32 * (TOWER_LAST_ROW + 1) - 12);
    ASSERT_EQ(stage.scroll, stage.hero.y - HERO_SCREEN_Y);
    for (const Walker* w : {&stage.riser, &stage.faller}) {
      if (!w->active || w->state == WalkerState::ToBePlaced) continue;
      ASSERT_GE(w->x, 9);
      ASSERT_LE(w->x, 16 * 19 + 9);
    }
    reachedGround |= stage.hero.storeyRow == TOWER_LAST_ROW;
  }
  EXPECT_TRUE(reachedGround);
}

}  // namespace
