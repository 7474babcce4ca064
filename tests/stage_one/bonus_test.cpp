// The stage's own frame: sky, Esc, and the bonus count after the last alien.
#include <gtest/gtest.h>

#include "game/game_state.h"
#include "platform/platform.h"
#include "stage_one_support.h"
#include "support/session.h"

namespace {

StageOneField formationDestroyed(int reserve) {
  StageOneField field = fieldInPlay();
  for (Alien& alien : field.aliens) alien.alive = 0;
  field.formation.aliensLeft = 0;
  field.formationDestroyed = -1;
  field.ship.reserveShips = reserve;
  gameState.score = 1000;
  gameState.highScore = 1000;
  return field;
}

// Plays frames until the result changes; returns how many it took.
int playUntilResult(StageOneField& field, int limit = 400) {
  int frames = 0;
  while (field.result == STAGE_RUNNING && frames < limit) {
    playStageOneFrame(field);
    ++frames;
  }
  return frames;
}

}  // namespace

TEST(StageOneSky, TwentyFourBandsFromBlueGreyToDarkGreen) {
  TestSession session;
  drawSky();
  EXPECT_EQ(readPixel(0, 0), 0xFF3E82B8u);
  EXPECT_EQ(readPixel(319, 9), 0xFF3E82B8u);
  EXPECT_EQ(readPixel(319, 10), 0xFF3C80B0u);
  EXPECT_EQ(readPixel(160, 239), 0xFF105400u);
}

TEST(StageOneBonus, ReserveTimesHundredInTheTwentiethFrameAndClearedInThe101st) {
  TestSession session;
  for (int reserve : {3, 1, 0}) {
    StageOneField field = formationDestroyed(reserve);
    int bonusFrame = 0;
    for (int frame = 1; frame <= 101; ++frame) {
      const int32_t before = gameState.score;
      playStageOneFrame(field);
      if (gameState.score != before) bonusFrame = frame;
      if (frame < 101) {
        ASSERT_EQ(field.result, STAGE_RUNNING) << frame;
      }
    }
    EXPECT_EQ(field.result, STAGE_CLEARED);
    EXPECT_EQ(bonusFrame, reserve > 0 ? 20 : 0);
    EXPECT_EQ(gameState.score, 1000 + 100 * reserve);
    EXPECT_EQ(gameState.highScore, gameState.score);
  }
}

TEST(StageOneBonus, LinesShowFromTheTwentyFirstFrameOnlyWithAReserve) {
  TestSession session;
  useBlockFont();
  for (int reserve : {2, 0}) {
    StageOneField field = formationDestroyed(reserve);
    for (int frame = 1; frame <= 20; ++frame) playStageOneFrame(field);
    EXPECT_NE(rgbAt(121, 91), 0xFFFF00u);
    EXPECT_NE(rgbAt(190, 112), 0x000000u);
    playStageOneFrame(field);
    const bool shown = reserve > 0;
    EXPECT_EQ(rgbAt(121, 91) == 0xFFFF00u, shown);  // "B O N U S"
    EXPECT_EQ(rgbAt(184, 97) == 0xFFFF00u, shown);
    EXPECT_EQ(rgbAt(101, 111) == 0xFFFF00u, shown);  // the ship emblem
    EXPECT_EQ(rgbAt(190, 112) == 0x000000u, shown);  // " x 100 = 200"
    EXPECT_EQ(rgbAt(211, 117) == 0x000000u, shown);
    EXPECT_NE(rgbAt(213, 112), 0x000000u);  // twelve characters, no more
  }
}

TEST(StageOneBonus, PausesWhileTheShipBurstsAndAFinalLossEndsTheGame) {
  TestSession session;
  StageOneField field = formationDestroyed(3);
  for (int frame = 0; frame < 10; ++frame) playStageOneFrame(field);
  // A bomb still in flight after the last alien hits the ship in frame 11,
  // after that frame's count.
  field.bombs[0] = AlienShot{-1, field.ship.x, field.ship.y - 12, 0, 0};
  int frame = 10;
  int bonusFrame = 0;
  while (field.result == STAGE_RUNNING && frame < 400) {
    const int32_t before = gameState.score;
    playStageOneFrame(field);
    ++frame;
    if (gameState.score != before) bonusFrame = frame;
  }
  // 60 frames of bursting, then the count goes on from 11.
  EXPECT_EQ(bonusFrame, 80);
  EXPECT_EQ(frame, 161);
  EXPECT_EQ(gameState.score, 1200);
  EXPECT_EQ(field.result, STAGE_CLEARED);

  field = formationDestroyed(0);
  for (int i = 0; i < 10; ++i) playStageOneFrame(field);
  field.ship.state = SHIP_HIT;
  field.ship.deathCounter = 0;
  EXPECT_EQ(playUntilResult(field), 60);
  EXPECT_EQ(field.result, STAGE_GAME_OVER);
}

TEST(StageOneFrame, EscRequestsTheExitUnlessALaterStepEndsTheStage) {
  TestSession session;
  StageOneField field = formationDestroyed(1);
  for (int frame = 0; frame < 50; ++frame) playStageOneFrame(field);
  pressKey(SC_ESC, "");
  playStageOneFrame(field);
  EXPECT_EQ(field.result, STAGE_EXIT_REQUESTED);
  field.result = STAGE_RUNNING;  // the prompt answered no
  releaseKey(SC_ESC);
  for (int frame = 51; frame < 100; ++frame) playStageOneFrame(field);
  EXPECT_EQ(field.result, STAGE_RUNNING);
  pressKey(SC_ESC, "");
  playStageOneFrame(field);  // the 101st frame of the count
  EXPECT_EQ(field.result, STAGE_CLEARED);
}

TEST(StageOneFrame, AContinueRestartsTheFieldButNotWhatIsInFlight) {
  // Only entering the stage clears the shot, the bombs and the march beat; a
  // restart after a continue leaves them as they were.
  TestSession session;
  StageOneField field = formationDestroyed(0);
  field.bonusCounter = 50;
  field.ship = PlayerShip{180, 206, SHIP_HIT, 11, 60, -1};
  field.result = STAGE_GAME_OVER;
  field.shot = PlayerShot{-1, 180, 100};
  field.bombs[3] = AlienShot{-1, 100, 196, 1, 0};
  field.formation.marchSoundIndex = 2;
  field.formation.speed = 12;
  startStageOne(field);
  EXPECT_EQ(gameState.score, 0);
  EXPECT_EQ(field.result, STAGE_RUNNING);
  EXPECT_EQ(field.formationDestroyed, 0);
  EXPECT_EQ(field.bonusCounter, 0);
  EXPECT_EQ(field.ship.state, SHIP_APPEARING);
  EXPECT_EQ(field.ship.x, 100);
  EXPECT_EQ(field.ship.frame, 0);
  EXPECT_EQ(field.ship.reserveShips, 3);
  EXPECT_EQ(field.formation.aliensLeft, 12);
  EXPECT_EQ(field.formation.speed, 1);
  for (const Alien& alien : field.aliens) EXPECT_NE(alien.alive, 0);
  EXPECT_EQ(field.shot.y, 100);
  EXPECT_EQ(field.formation.marchSoundIndex, 2);

  // The old bomb falls onto the new ship in the first frame; the old shot flies on.
  playStageOneFrame(field);
  EXPECT_EQ(field.shot.y, 94);
  EXPECT_EQ(field.bombs[3].active, 0);
  EXPECT_EQ(field.ship.state, SHIP_HIT);
}
