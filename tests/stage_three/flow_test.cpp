// The whole stage procedure: game over with a continue, the exit prompt, and
// a stage cleared by an automated player, with the ending after it.
#include <gtest/gtest.h>

#include "game/game_state.h"
#include "stage_three/stage_three_internal.h"
#include "support/stage_three_helpers.h"

using namespace stage_three;

namespace {

int countOpaque(Image* image) {
  int count = 0;
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x) count += !isMask(imageRow(image, y)[x]);
  return count;
}

// Destroys the ship at once.
void wreckShip(Game& game, StageThreeRecord& stage) {
  stage.ship.reserveShips = 0;
  hitShip(game, stage);
}

}  // namespace

TEST(StageThreeFlow, ContinueReplaysTheStageWithAWholeUfoAndKeepsWhereItWas) {
  // The ship is wrecked in frame 20, so the loop ends in frame 119 after
  // 119 x 30 ms; the answer comes during the game-over box's second.
  TestSession session("4000 type y\n", 4);

  Game& game = session.game;
  game.gameState.credits = 1;
  game.gameState.score = game.gameState.highScore = 5000;
  StageThreeRecord stage;
  int wholeBody = 0;
  int64_t restartFrame = 0;
  std::vector<int32_t> tAfterRestart;
  setFrameHook(game, [&](int64_t frame) {
    if (frame == 1) wholeBody = countOpaque(stage.ufoBody.get());
    if (frame == 10) {
      // Pretend the UFO has come and been drilled.
      stage.ufo.shown = true;
      stage.ufo.x = 200;
      stage.ufo.direction = -1;
      drawLine(game, stage.ufoBody.get(), 0, 20, 135, 40, MASK_COLOUR, LineFilledBox);
      launchKamikaze(stage, 300, 20);
    }
    if (frame == 20) wreckShip(game, stage);
    if (frame == 119) {
      EXPECT_EQ(stage.result, StageResult::GameOver);
    }
    if (frame > 119 && restartFrame == 0) restartFrame = frame;
    if (restartFrame != 0) tAfterRestart.push_back(stage.t);
    if (restartFrame != 0 && stage.t == 1) {
      EXPECT_EQ(countOpaque(stage.ufoBody.get()), wholeBody);
      EXPECT_EQ(stage.ship.reserveShips, 3);
      EXPECT_EQ(std::make_pair(stage.ship.x, stage.ship.y), std::make_pair(48, 240));
      EXPECT_EQ(game.gameState.score, 0);
      EXPECT_EQ(game.gameState.credits, 0);
      EXPECT_EQ(game.gameState.highScore, 5000);
      EXPECT_EQ(stage.ufo.state, UfoState::Idle);
      EXPECT_EQ(std::make_pair(stage.ufo.x, stage.ufo.y), std::make_pair(200, -40));
      EXPECT_EQ(stage.ufo.direction, -1);
      EXPECT_TRUE(stage.ufo.shown);
      EXPECT_EQ(stage.warningTimer, 229);
      EXPECT_EQ(stage.deathCountdown, 0);
      EXPECT_FALSE(stage.drillWeapon);
      for (const Kamikaze& k : stage.kamikaze) EXPECT_FALSE(k.active);
    }
    if (restartFrame != 0 && stage.t == 5) wreckShip(game, stage);  // no credits left this time
  });
  StageResult result = playToEnd(game, runStageThree(game, stage));
  setFrameHook(game, nullptr);
  EXPECT_EQ(result, StageResult::GameOver);
  ASSERT_FALSE(tAfterRestart.empty());
  EXPECT_EQ(tAfterRestart.front(), 1);
  EXPECT_EQ(tAfterRestart.back(), 104);
  EXPECT_EQ(stage.ufoBody, nullptr);
  EXPECT_EQ(stage.ufoOutline, nullptr);
  // The high score was saved when the stage ended.
  EXPECT_NE(readFileText("hiscore.txt").find("5000"), std::string::npos);
}

TEST(StageThreeFlow, ExitPromptResumesOnNoAndLeavesOnYes) {
  // Esc is held in frame 11; "n" resumes; Esc again later and "y" leaves.
  TestSession session("300 down esc\n400 up esc\n500 type n\n1200 down esc\n1300 up esc\n1400 type y\n", 2, true);

  Game& game = session.game;
  StageThreeRecord stage;
  std::vector<int32_t> frames;
  setFrameHook(game, [&](int64_t) { frames.push_back(stage.t); });
  StageResult result = playToEnd(game, runStageThree(game, stage));
  setFrameHook(game, nullptr);
  EXPECT_EQ(result, StageResult::Left);
  // Frames go on without a gap after the first prompt.
  for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i], static_cast<int32_t>(i + 1));
  EXPECT_GT(frames.size(), 12u);
  EXPECT_LT(frames.size(), 40u);
  bool leaveSound = false;
  for (const SoundEvent& e : readSoundLog(session.soundLogPath))
    leaveSound = leaveSound || (e.sample == 2 && e.channel == 2);
  EXPECT_TRUE(leaveSound);
}

TEST(StageThreeFlow, CtrlDropsTheFrameWaitAndLeftShiftAddsASecond) {
  TestSession session("", 1);
  Game& game = session.game;
  StageThreeRecord stage;
  enterStageThree(stage);
  startStageThree(game, stage);
  struct Case {
    int scanCode;
    int64_t msPerFrame;
  };
  // With Ctrl the stage asks for no sleep; the virtual clock still counts 1 ms a frame.
  for (Case c : {Case{0, 30}, Case{SC_CTRL, 1}, Case{SC_LSHIFT, 1030}}) {
    if (c.scanCode != 0) pressKey(game, c.scanCode, keyWithoutCharacter());
    int64_t before = virtualMs(game);
    int32_t t = stage.t;
    for (int frame = 0; frame < 3; ++frame) playToEnd(game, stageThreeFrame(game, stage));
    EXPECT_EQ(virtualMs(game) - before, 3 * c.msPerFrame) << c.scanCode;
    EXPECT_EQ(stage.t, t + 3);  // the rules still count frames
    if (c.scanCode != 0) releaseKey(game, c.scanCode);
  }
  destroyUfoImages(stage);
}
