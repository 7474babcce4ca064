// The play field of the formation stage, driven frame by frame in-process.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/game_state.h"
#include "machine/machine.h"
#include "support/session.h"
#include "support/stage_one_support.h"

using namespace stage_one;

namespace {

// Puts the shot where one update brings it onto (x, y).
void aimShot(StageOneRecord& stage, int x, int y) {
  stage.shot.active = true;
  stage.shot.x = x;
  stage.shot.y = y + 6;
}

void killAlien(Game& game, StageOneRecord& stage, int index) {
  aimShot(stage, stage.aliens[index].x, stage.aliens[index].y);
  updatePlayerShot(game, stage);
}

}  // namespace

TEST(StageOneShip, HoldingSpaceFiresOnceAndEachShotNeedsAFreshPress) {
  TestSession session;
  Game& game = session.game;
  StageOneRecord stage = stageInPlay(game);
  auto frame = [&](bool space) {
    if (space) {
      pressKey(game, SC_SPACE, " ");
    } else {
      releaseKey(game, SC_SPACE);
    }
    fireInput(game, stage);
  };
  frame(true);
  ASSERT_TRUE(stage.shot.active);
  EXPECT_EQ(stage.shot.x, 100);
  EXPECT_EQ(stage.shot.y, 196);
  stage.shot.active = false;  // the shot is gone, Space still held: no new shot
  frame(true);
  EXPECT_FALSE(stage.shot.active);
  frame(false);
  frame(true);
  EXPECT_TRUE(stage.shot.active);
  // A press while the shot flies is lost, not kept for later.
  stage.shot.y = 50;
  frame(false);
  frame(true);
  EXPECT_EQ(stage.shot.y, 50);
  stage.shot.active = false;
  frame(true);
  EXPECT_FALSE(stage.shot.active);
  // No shot while the ship is not in play.
  stage.ship.state = ShipState::Hit;
  frame(false);
  frame(true);
  EXPECT_FALSE(stage.shot.active);
}

TEST(StageOneShip, MovesSixPixelsAndStopsAtTheEdges) {
  TestSession session;
  Game& game = session.game;
  StageOneRecord stage = stageInPlay(game);
  stage.ship.x = 26;
  pressKey(game, SC_LEFT, "");
  updateShip(game, stage);
  EXPECT_EQ(stage.ship.x, 20);
  updateShip(game, stage);
  EXPECT_EQ(stage.ship.x, 20);
  // Both held: both steps are applied. They cancel in the open, but at the
  // left edge the clamp comes first and the ship moves right.
  pressKey(game, SC_RIGHT, "");
  updateShip(game, stage);
  EXPECT_EQ(stage.ship.x, 26);
  stage.ship.x = 100;
  updateShip(game, stage);
  EXPECT_EQ(stage.ship.x, 100);
  releaseKey(game, SC_LEFT);
  stage.ship.x = 290;
  updateShip(game, stage);
  EXPECT_EQ(stage.ship.x, 296);
  updateShip(game, stage);
  EXPECT_EQ(stage.ship.x, 300);
}

TEST(StageOneShip, DeathSequenceAlternatesBurstsAndEndsAfterSixtyFrames) {
  TestSession session;
  Game& game = session.game;
  StageOneRecord stage = stageInPlay(game);
  stage.ship.state = ShipState::Hit;
  stage.ship.deathCounter = 0;
  std::vector<int> frames;
  for (int i = 1; i < 60; ++i) {
    updateShip(game, stage);
    frames.push_back(stage.ship.frame);
  }
  EXPECT_EQ((std::vector<int>(frames.begin(), frames.begin() + 8)), (std::vector<int>{0, 12, 12, 11, 11, 12, 12, 11}));
  EXPECT_EQ(stage.ship.state, ShipState::Hit);
  updateShip(game, stage);
  EXPECT_EQ(stage.ship.state, ShipState::InPlay);
  EXPECT_EQ(stage.ship.frame, 0);
  EXPECT_EQ(stage.ship.reserveShips, 2);
  EXPECT_EQ(stage.result, StageResult::Running);

  stage.ship.reserveShips = 0;
  stage.ship.state = ShipState::Hit;
  stage.ship.deathCounter = 0;
  for (int i = 0; i < 60; ++i) updateShip(game, stage);
  EXPECT_EQ(stage.ship.reserveShips, -1);
  EXPECT_EQ(stage.ship.state, ShipState::Hit);
  EXPECT_EQ(stage.result, StageResult::GameOver);
}

TEST(StageOneShot, ScoresByRowAndDepthAndTheHighScoreFollows) {
  TestSession session;
  Game& game = session.game;
  StageOneRecord stage = stageInPlay(game);
  game.gameState.score = 0;
  game.gameState.highScore = 250;
  killAlien(game, stage, 0);  // top row at y = 20
  EXPECT_EQ(game.gameState.score, 300);
  EXPECT_EQ(game.gameState.highScore, 300);
  EXPECT_EQ(stage.aliens[0].state, AlienState::Exploding);
  EXPECT_FALSE(stage.shot.active);
  EXPECT_EQ(stage.formation.aliensLeft, 11);

  stage.aliens[9].y = 148;  // bottom row after six steps down: 100 + 16
  killAlien(game, stage, 9);
  EXPECT_EQ(game.gameState.score, 416);
  stage.aliens[5].y = 60;
  killAlien(game, stage, 5);
  EXPECT_EQ(game.gameState.score, 621);  // middle row one step down: 200 + 5
}

TEST(StageOneShot, HitWindowIsInclusiveAndOnlyAliveAliensCount) {
  TestSession session;
  Game& game = session.game;
  struct Case {
    int dx, dy;
    bool hit;
  };
  const Case cases[] = {{20, 0, true},  {21, 0, false},  {-20, 0, true}, {-21, 0, false},
                        {0, -15, true}, {0, -16, false}, {0, 10, true},  {0, 11, false}};
  for (const Case& c : cases) {
    StageOneRecord stage = stageInPlay(game);
    Alien& alien = stage.aliens[6];
    aimShot(stage, alien.x + c.dx, alien.y + c.dy);
    updatePlayerShot(game, stage);
    EXPECT_EQ(alien.state == AlienState::Exploding, c.hit) << c.dx << "," << c.dy;
    EXPECT_EQ(!stage.shot.active, c.hit);
  }
  StageOneRecord stage = stageInPlay(game);
  stage.aliens[6].alive = false;
  aimShot(stage, stage.aliens[6].x, stage.aliens[6].y);
  updatePlayerShot(game, stage);
  EXPECT_TRUE(stage.shot.active);
  EXPECT_EQ(stage.formation.aliensLeft, 12);
}

TEST(StageOneFormation, SpeedsUpAtEightFourTwoAndOneLeftWithinTheKillingFrame) {
  TestSession session;
  Game& game = session.game;
  StageOneRecord stage = stageInPlay(game);
  updateAliens(game, stage);  // the new aliens start marching
  const int expected[12] = {1, 1, 1, 2, 2, 2, 2, 4, 4, 6, 12, 12};
  for (int i = 0; i < 12; ++i) {
    for (AlienShot& bomb : stage.bombs) bomb.active = true;  // no drops to disturb
    const int before = stage.aliens[11].x;
    killAlien(game, stage, i);
    updateAliens(game, stage);
    EXPECT_EQ(stage.formation.speed, expected[i]) << "after kill " << i + 1;
    if (i < 11) {
      EXPECT_EQ(std::abs(stage.aliens[11].x - before), expected[i]) << "moves after kill " << i + 1;
    }
    EXPECT_FALSE(stage.aliens[i].alive);
    if (stage.formation.edgeFlag) updateAliens(game, stage);  // step down, then march on
  }
  EXPECT_EQ(stage.formation.aliensLeft, 0);
  EXPECT_TRUE(stage.formationDestroyed);
}

TEST(StageOneFormation, PictureChangesEvery24_18_6_AndEveryFrame) {
  TestSession session;
  Game& game = session.game;
  const int speeds[] = {1, 2, 4, 6, 12};
  const int intervals[] = {24, 18, 6, 1, 1};
  for (int s = 0; s < 5; ++s) {
    StageOneRecord stage = stageInPlay(game);
    stage.ship.state = ShipState::Hit;  // the pictures change even while the formation stands
    stage.formation.speed = speeds[s];
    std::vector<int> stepFrames;
    for (int frame = 1; frame <= 60; ++frame) {
      updateAliens(game, stage);
      if (stage.formation.stepFlag) stepFrames.push_back(frame);
    }
    ASSERT_GE(stepFrames.size(), 2u);
    EXPECT_EQ(stepFrames[0], intervals[s]);
    for (size_t i = 1; i < stepFrames.size(); ++i) EXPECT_EQ(stepFrames[i] - stepFrames[i - 1], intervals[s]);
    EXPECT_EQ(stage.aliens[3].x, 205);  // and it did not move
  }
}

TEST(StageOneFormation, MarchBeatCyclesFiveSixSevenFour) {
  TestSession session("", 1, /*withSound=*/true);
  Game& game = session.game;
  StageOneRecord stage = stageInPlay(game);
  stage.ship.state = ShipState::Hit;
  for (int frame = 0; frame < 24 * 6; ++frame) updateAliens(game, stage);
  const std::vector<SoundEvent> log = readSoundLog(session.soundLogPath);
  EXPECT_EQ(samplesOnChannel(log, 4), (std::vector<int>{5, 6, 7, 4, 5, 6}));
  for (const SoundEvent& event : log) EXPECT_EQ(event.volume, 255);
}

TEST(StageOneFormation, MarchesToTheEdgeStepsDownAndTurns) {
  TestSession session;
  Game& game = session.game;
  StageOneRecord stage = stageInPlay(game);
  updateAliens(game, stage);  // first frame: no move
  EXPECT_EQ(stage.aliens[3].x, 205);
  int frames = 0;
  while (!stage.formation.edgeFlag && frames < 200) {
    for (AlienShot& bomb : stage.bombs) bomb.active = false;
    updateAliens(game, stage);
    ++frames;
  }
  EXPECT_EQ(frames, 85);
  EXPECT_EQ(stage.aliens[3].x, 290);
  EXPECT_EQ(stage.formation.direction, -1);
  for (const Alien& alien : stage.aliens) EXPECT_EQ(alien.state, AlienState::SteppingDown);
  updateAliens(game, stage);
  EXPECT_EQ(stage.aliens[3].x, 290);
  EXPECT_EQ(stage.aliens[3].y, 28);
  EXPECT_EQ(stage.aliens[8].y, 108);
  updateAliens(game, stage);
  EXPECT_EQ(stage.aliens[3].x, 289);
}

TEST(StageOneFormation, ReachingTheBottomLosesTheGameWhateverTheReserve) {
  TestSession session("", 3, /*withSound=*/true);
  Game& game = session.game;
  StageOneRecord stage = stageInPlay(game);
  game.gameState.credits = 2;
  updateAliens(game, stage);
  for (Alien& alien : stage.aliens) {
    alien.y += 8 * 12;  // twelve steps down: the bottom row stands at 196
    alien.state = AlienState::SteppingDown;
  }
  updateAliens(game, stage);
  EXPECT_EQ(stage.aliens[8].y, 204);
  EXPECT_EQ(stage.aliens[8].state, AlienState::Exploding);
  EXPECT_EQ(stage.aliens[4].state, AlienState::Marching);
  EXPECT_EQ(stage.ship.state, ShipState::Hit);
  EXPECT_EQ(stage.ship.reserveShips, 0);
  // Each alien of the bottom row arrives and plays the loss.
  EXPECT_EQ(samplesOnChannel(readSoundLog(session.soundLogPath), 2), (std::vector<int>{2, 2, 2, 2}));

  int frames = 0;
  while (stage.result == StageResult::Running && frames < 100) {
    for (AlienShot& bomb : stage.bombs) bomb.active = false;
    playStageOneFrame(game, stage);
    ++frames;
  }
  EXPECT_EQ(frames, 60);
  EXPECT_EQ(stage.result, StageResult::GameOver);
  for (int i = 8; i < 12; ++i) EXPECT_FALSE(stage.aliens[i].alive);  // the bottom row is gone
}

TEST(StageOneBombs, DropUnderAnAlienIntoTheFirstFreeSlotOnly) {
  TestSession session(/*script=*/"", /*seed=*/7);
  Game& game = session.game;
  StageOneRecord stage = stageInPlay(game);
  // A slot keeps the picture and count it last had; a new bomb goes on from there.
  stage.bombs[0].frame = 2;
  stage.bombs[0].animationCounter = 5;
  updateAliens(game, stage);
  int frames = 0;
  while (!stage.bombs[0].active && frames < 1000) {
    updateAliens(game, stage);
    ++frames;
  }
  ASSERT_TRUE(stage.bombs[0].active);
  bool underAnAlien = false;
  for (const Alien& alien : stage.aliens)
    if (stage.bombs[0].x == (alien.x & ~1) && stage.bombs[0].y == alien.y - 1) underAnAlien = true;
  EXPECT_TRUE(underAnAlien);
  EXPECT_EQ(stage.bombs[0].x % 2, 0);
  EXPECT_EQ(stage.bombs[0].frame, 2);
  EXPECT_EQ(stage.bombs[0].animationCounter, 5);

  // With all five in flight the chances are lost.
  for (AlienShot& bomb : stage.bombs) {
    bomb.active = true;
    bomb.x = 1;
    bomb.y = 1;
  }
  for (int i = 0; i < 200; ++i) updateAliens(game, stage);
  for (const AlienShot& bomb : stage.bombs) EXPECT_EQ(bomb.x + bomb.y, 2);
}

TEST(StageOneBombs, FallAnimateAndHitTheShipInAnyState) {
  TestSession session("", 1, /*withSound=*/true);
  Game& game = session.game;
  StageOneRecord stage = stageInPlay(game);
  AlienShot& bomb = stage.bombs[2];
  bomb = AlienShot{true, 30, 0, 0, 0};
  std::vector<int> frames;
  for (int i = 0; i < 4; ++i) {
    updateBombs(game, stage);
    frames.push_back(bomb.frame);
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 0, 1}));
  EXPECT_EQ(bomb.y, 24);
  bomb.y = 234;
  updateBombs(game, stage);
  EXPECT_FALSE(bomb.active);

  struct Case {
    int dx, y;
    bool hit;
  };
  const Case cases[] = {{20, 191, true}, {21, 191, false}, {-20, 191, true}, {-21, 191, false},
                        {0, 190, false}, {0, 216, true},   {0, 217, false}};
  for (const Case& c : cases) {
    StageOneRecord f = stageInPlay(game);
    f.bombs[0] = AlienShot{true, f.ship.x + c.dx, c.y - 6, 0, 0};
    updateBombs(game, f);
    EXPECT_EQ(f.ship.state == ShipState::Hit, c.hit) << c.dx << "," << c.y;
    EXPECT_EQ(!f.bombs[0].active, c.hit);
  }

  // An appearing ship is hit, and a bursting one starts its sequence again.
  stage = stageInPlay(game);
  stage.ship.state = ShipState::Appearing;
  stage.bombs[0] = AlienShot{true, 100, 200, 0, 0};
  updateBombs(game, stage);
  EXPECT_EQ(stage.ship.state, ShipState::Hit);
  stage.ship.deathCounter = 40;
  stage.bombs[1] = AlienShot{true, 100, 200, 0, 0};
  updateBombs(game, stage);
  EXPECT_EQ(stage.ship.deathCounter, 0);
  EXPECT_EQ(samplesOnChannel(readSoundLog(session.soundLogPath), 2), (std::vector<int>{2, 2, 2, 2, 2}));
}
