// The stage's own frame: sky, Esc, and the bonus count after the last alien.
#include <gtest/gtest.h>

#include "game/game_state.h"
#include "machine/machine.h"
#include "support/session.h"
#include "support/stage_one_support.h"

using namespace stage_one;

namespace {

StageOneRecord formationDestroyed(Game& game, int reserve) {
  StageOneRecord stage = stageInPlay(game);
  for (Alien& alien : stage.aliens) alien.alive = false;
  stage.formation.aliensLeft = 0;
  stage.formationDestroyed = true;
  stage.ship.reserveShips = reserve;
  game.gameState.score = 1000;
  game.gameState.highScore = 1000;
  return stage;
}

// Plays frames until the result changes; returns how many it took.
int playUntilResult(Game& game, StageOneRecord& stage, int limit = 400) {
  int frames = 0;
  while (stage.result == StageResult::Running && frames < limit) {
    playStageOneFrame(game, stage);
    ++frames;
  }
  return frames;
}

}  // namespace

TEST(StageOneSky, TwentyFourBandsFromBlueGreyToDarkGreen) {
  TestSession session;
  Game& game = session.game;
  drawSky(game);
  EXPECT_EQ(readPixel(game, 0, 0), 0xFF3E82B8u);
  EXPECT_EQ(readPixel(game, 319, 9), 0xFF3E82B8u);
  EXPECT_EQ(readPixel(game, 319, 10), 0xFF3C80B0u);
  EXPECT_EQ(readPixel(game, 160, 239), 0xFF105400u);
}

TEST(StageOneBonus, ReserveTimesHundredInTheTwentiethFrameAndClearedInThe101st) {
  TestSession session;
  Game& game = session.game;
  for (int reserve : {3, 1, 0}) {
    StageOneRecord stage = formationDestroyed(game, reserve);
    int bonusFrame = 0;
    for (int frame = 1; frame <= 101; ++frame) {
      const int32_t before = game.gameState.score;
      playStageOneFrame(game, stage);
      if (game.gameState.score != before) bonusFrame = frame;
      if (frame < 101) {
        ASSERT_EQ(stage.result, StageResult::Running) << frame;
      }
    }
    EXPECT_EQ(stage.result, StageResult::Cleared);
    EXPECT_EQ(bonusFrame, reserve > 0 ? 20 : 0);
    EXPECT_EQ(game.gameState.score, 1000 + 100 * reserve);
    EXPECT_EQ(game.gameState.highScore, game.gameState.score);
  }
}

TEST(StageOneBonus, LinesShowFromTheTwentyFirstFrameOnlyWithAReserve) {
  TestSession session;
  Game& game = session.game;
  useBlockFont(game);
  for (int reserve : {2, 0}) {
    StageOneRecord stage = formationDestroyed(game, reserve);
    for (int frame = 1; frame <= 20; ++frame) playStageOneFrame(game, stage);
    EXPECT_NE(rgbAt(game, 121, 91), 0xFFFF00u);
    EXPECT_NE(rgbAt(game, 190, 112), 0x000000u);
    playStageOneFrame(game, stage);
    const bool shown = reserve > 0;
    EXPECT_EQ(rgbAt(game, 121, 91) == 0xFFFF00u, shown);  // "B O N U S"
    EXPECT_EQ(rgbAt(game, 184, 97) == 0xFFFF00u, shown);
    EXPECT_EQ(rgbAt(game, 101, 111) == 0xFFFF00u, shown);  // the ship emblem
    EXPECT_EQ(rgbAt(game, 190, 112) == 0x000000u, shown);  // " x 100 = 200"
    EXPECT_EQ(rgbAt(game, 211, 117) == 0x000000u, shown);
    EXPECT_NE(rgbAt(game, 213, 112), 0x000000u);  // twelve characters, no more
  }
}

TEST(StageOneBonus, PausesWhileTheShipBurstsAndAFinalLossEndsTheGame) {
  TestSession session;
  Game& game = session.game;
  StageOneRecord stage = formationDestroyed(game, 3);
  for (int frame = 0; frame < 10; ++frame) playStageOneFrame(game, stage);
  // A bomb still in flight after the last alien hits the ship in frame 11,
  // after that frame's count.
  stage.bombs[0] = AlienShot{true, stage.ship.x, stage.ship.y - 12, 0, 0};
  int frame = 10;
  int bonusFrame = 0;
  while (stage.result == StageResult::Running && frame < 400) {
    const int32_t before = game.gameState.score;
    playStageOneFrame(game, stage);
    ++frame;
    if (game.gameState.score != before) bonusFrame = frame;
  }
  // 60 frames of bursting, then the count goes on from 11.
  EXPECT_EQ(bonusFrame, 80);
  EXPECT_EQ(frame, 161);
  EXPECT_EQ(game.gameState.score, 1200);
  EXPECT_EQ(stage.result, StageResult::Cleared);

  stage = formationDestroyed(game, 0);
  for (int i = 0; i < 10; ++i) playStageOneFrame(game, stage);
  stage.ship.state = ShipState::Hit;
  stage.ship.deathCounter = 0;
  EXPECT_EQ(playUntilResult(game, stage), 60);
  EXPECT_EQ(stage.result, StageResult::GameOver);
}

TEST(StageOneFrame, EscRequestsTheExitUnlessALaterStepEndsTheStage) {
  TestSession session;
  Game& game = session.game;
  StageOneRecord stage = formationDestroyed(game, 1);
  for (int frame = 0; frame < 50; ++frame) playStageOneFrame(game, stage);
  pressKey(game, SC_ESC, "");
  playStageOneFrame(game, stage);
  EXPECT_EQ(stage.result, StageResult::ExitRequested);
  stage.result = StageResult::Running;  // the prompt answered no
  releaseKey(game, SC_ESC);
  for (int frame = 51; frame < 100; ++frame) playStageOneFrame(game, stage);
  EXPECT_EQ(stage.result, StageResult::Running);
  pressKey(game, SC_ESC, "");
  playStageOneFrame(game, stage);  // the 101st frame of the count
  EXPECT_EQ(stage.result, StageResult::Cleared);
}

TEST(StageOneFrame, AContinueRestartsTheFieldButNotWhatIsInFlight) {
  // Only entering the stage clears the shot, the bombs and the march beat; a
  // restart after a continue leaves them as they were.
  TestSession session;

  Game& game = session.game;
  StageOneRecord stage = formationDestroyed(game, 0);
  stage.bonusCounter = 50;
  stage.ship = PlayerShip{180, 206, ShipState::Hit, 11, 60, -1};
  stage.result = StageResult::GameOver;
  stage.shot = PlayerShot{true, 180, 100};
  stage.bombs[3] = AlienShot{true, 100, 196, 1, 0};
  stage.formation.marchSoundIndex = 2;
  stage.formation.speed = 12;
  startStageOne(game, stage);
  EXPECT_EQ(game.gameState.score, 0);
  EXPECT_EQ(stage.result, StageResult::Running);
  EXPECT_FALSE(stage.formationDestroyed);
  EXPECT_EQ(stage.bonusCounter, 0);
  EXPECT_EQ(stage.ship.state, ShipState::Appearing);
  EXPECT_EQ(stage.ship.x, 100);
  EXPECT_EQ(stage.ship.frame, 0);
  EXPECT_EQ(stage.ship.reserveShips, 3);
  EXPECT_EQ(stage.formation.aliensLeft, 12);
  EXPECT_EQ(stage.formation.speed, 1);
  for (const Alien& alien : stage.aliens) EXPECT_TRUE(alien.alive);
  EXPECT_EQ(stage.shot.y, 100);
  EXPECT_EQ(stage.formation.marchSoundIndex, 2);

  // The old bomb falls onto the new ship in the first frame; the old shot flies on.
  playStageOneFrame(game, stage);
  EXPECT_EQ(stage.shot.y, 94);
  EXPECT_FALSE(stage.bombs[3].active);
  EXPECT_EQ(stage.ship.state, ShipState::Hit);
}
