// The whole stage procedure: game over with a continue, the exit prompt, and
// a stage cleared by an automated player, with the ending after it.
#include <gtest/gtest.h>

#include "game/game_state.h"
#include "stage_three/huge_ufo.h"
#include "stage_three/stage_three_flow.h"
#include "stage_three/stage_three_play.h"
#include "stage_three_helpers.h"

namespace {

int countOpaque(Image* image) {
  int count = 0;
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x) count += !isMask(imageRow(image, y)[x]);
  return count;
}

// Destroys the ship at once.
void wreckShip(StageThreeState& s) {
  s.ship.reserveShips = 0;
  hitShip(s);
}

}  // namespace

TEST(StageThreeFlow, ContinueReplaysTheStageWithAWholeUfoAndKeepsWhereItWas) {
  // The ship is wrecked in frame 20, so the loop ends in frame 119 after
  // 119 x 30 ms; the answer comes during the game-over box's second.
  TestSession session("4000 type y\n", 4);
  gameState.credits = 1;
  gameState.score = gameState.highScore = 5000;
  StageThreeState s;
  int wholeBody = 0;
  int64_t restartFrame = 0;
  std::vector<int32_t> tAfterRestart;
  setFrameHook([&](int64_t frame) {
    if (frame == 1) wholeBody = countOpaque(s.ufoBody);
    if (frame == 10) {
      // Pretend the UFO has come and been drilled.
      s.ufo.shown = FLAG_SET;
      s.ufo.x = 200;
      s.ufo.direction = -1;
      drawLine(s.ufoBody, 0, 20, 135, 40, MASK_COLOUR, LineFilledBox);
      launchKamikaze(s, 300, 20);
    }
    if (frame == 20) wreckShip(s);
    if (frame == 119) {
      EXPECT_EQ(s.result, STAGE_GAME_OVER);
    }
    if (frame > 119 && restartFrame == 0) restartFrame = frame;
    if (restartFrame != 0) tAfterRestart.push_back(s.t);
    if (restartFrame != 0 && s.t == 1) {
      EXPECT_EQ(countOpaque(s.ufoBody), wholeBody);
      EXPECT_EQ(s.ship.reserveShips, 3);
      EXPECT_EQ(std::make_pair(s.ship.x, s.ship.y), std::make_pair(48, 240));
      EXPECT_EQ(gameState.score, 0);
      EXPECT_EQ(gameState.credits, 0);
      EXPECT_EQ(gameState.highScore, 5000);
      EXPECT_EQ(s.ufo.state, UFO_IDLE);
      EXPECT_EQ(std::make_pair(s.ufo.x, s.ufo.y), std::make_pair(200, -40));
      EXPECT_EQ(s.ufo.direction, -1);
      EXPECT_TRUE(s.ufo.shown);
      EXPECT_EQ(s.warningTimer, 229);
      EXPECT_EQ(s.deathCountdown, 0);
      EXPECT_FALSE(s.drillWeapon);
      for (const Kamikaze& k : s.kamikaze) EXPECT_FALSE(k.active);
    }
    if (restartFrame != 0 && s.t == 5) wreckShip(s);  // no credits left this time
  });
  int32_t result = 0;
  runStageThree(s, result);
  setFrameHook(nullptr);
  EXPECT_EQ(result, STAGE_GAME_OVER);
  ASSERT_FALSE(tAfterRestart.empty());
  EXPECT_EQ(tAfterRestart.front(), 1);
  EXPECT_EQ(tAfterRestart.back(), 104);
  EXPECT_EQ(s.ufoBody, nullptr);
  EXPECT_EQ(s.ufoOutline, nullptr);
  // The high score was saved when the stage ended.
  EXPECT_NE(readFileText("hiscore.txt").find("5000"), std::string::npos);
}

TEST(StageThreeFlow, ExitPromptResumesOnNoAndLeavesOnYes) {
  // Esc is held in frame 11; "n" resumes; Esc again later and "y" leaves.
  TestSession session(
      "300 down esc\n400 up esc\n500 type n\n1200 down esc\n1300 up esc\n1400 type y\n", 2, true);
  StageThreeState s;
  std::vector<int32_t> frames;
  setFrameHook([&](int64_t) { frames.push_back(s.t); });
  int32_t result = 0;
  runStageThree(s, result);
  setFrameHook(nullptr);
  EXPECT_EQ(result, STAGE_LEFT);
  // Frames go on without a gap after the first prompt.
  for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i], static_cast<int32_t>(i + 1));
  EXPECT_GT(frames.size(), 12u);
  EXPECT_LT(frames.size(), 40u);
  bool leaveSound = false;
  for (const SoundEvent& e : readSoundLog(session.soundLogPath)) leaveSound = leaveSound || (e.sample == 2 && e.channel == 2);
  EXPECT_TRUE(leaveSound);
}

TEST(StageThreeFlow, CtrlDropsTheFrameWaitAndLeftShiftAddsASecond) {
  TestSession session("", 1);
  StageThreeState s;
  enterStageThree(s);
  startStageThree(s);
  struct Case {
    int scanCode;
    int64_t msPerFrame;
  };
  // With Ctrl the stage asks for no sleep; the virtual clock still counts 1 ms a frame.
  for (Case c : {Case{0, 30}, Case{SC_CTRL, 1}, Case{SC_LSHIFT, 1030}}) {
    if (c.scanCode != 0) pressKey(c.scanCode, keyWithoutCharacter());
    int64_t before = virtualMs();
    int32_t t = s.t;
    for (int frame = 0; frame < 3; ++frame) stageThreeFrame(s);
    EXPECT_EQ(virtualMs() - before, 3 * c.msPerFrame) << c.scanCode;
    EXPECT_EQ(s.t, t + 3);  // the rules still count frames
    if (c.scanCode != 0) releaseKey(c.scanCode);
  }
  destroyUfoImages(s);
}
