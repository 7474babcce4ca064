// The play field of the formation stage, driven frame by frame in-process.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/game_state.h"
#include "platform/platform.h"
#include "stage_one_support.h"
#include "support/session.h"

namespace {

// Puts the shot where one update brings it onto (x, y).
void aimShot(StageOneField& field, int x, int y) {
  field.shot.active = -1;
  field.shot.x = x;
  field.shot.y = y + 6;
}

void killAlien(StageOneField& field, int index) {
  aimShot(field, field.aliens[index].x, field.aliens[index].y);
  updatePlayerShot(field);
}

}  // namespace

TEST(StageOneShip, HoldingSpaceFiresOnceAndEachShotNeedsAFreshPress) {
  TestSession session;
  StageOneField field = fieldInPlay();
  auto frame = [&](bool space) {
    if (space) {
      pressKey(SC_SPACE, " ");
    } else {
      releaseKey(SC_SPACE);
    }
    fireInput(field);
  };
  frame(true);
  ASSERT_NE(field.shot.active, 0);
  EXPECT_EQ(field.shot.x, 100);
  EXPECT_EQ(field.shot.y, 196);
  field.shot.active = 0;  // the shot is gone, Space still held: no new shot
  frame(true);
  EXPECT_EQ(field.shot.active, 0);
  frame(false);
  frame(true);
  EXPECT_NE(field.shot.active, 0);
  // A press while the shot flies is lost, not kept for later.
  field.shot.y = 50;
  frame(false);
  frame(true);
  EXPECT_EQ(field.shot.y, 50);
  field.shot.active = 0;
  frame(true);
  EXPECT_EQ(field.shot.active, 0);
  // No shot while the ship is not in play.
  field.ship.state = SHIP_HIT;
  frame(false);
  frame(true);
  EXPECT_EQ(field.shot.active, 0);
}

TEST(StageOneShip, MovesSixPixelsAndStopsAtTheEdges) {
  TestSession session;
  StageOneField field = fieldInPlay();
  field.ship.x = 26;
  pressKey(SC_LEFT, "");
  updateShip(field);
  EXPECT_EQ(field.ship.x, 20);
  updateShip(field);
  EXPECT_EQ(field.ship.x, 20);
  // Both held: both steps are applied. They cancel in the open, but at the
  // left edge the clamp comes first and the ship moves right.
  pressKey(SC_RIGHT, "");
  updateShip(field);
  EXPECT_EQ(field.ship.x, 26);
  field.ship.x = 100;
  updateShip(field);
  EXPECT_EQ(field.ship.x, 100);
  releaseKey(SC_LEFT);
  field.ship.x = 290;
  updateShip(field);
  EXPECT_EQ(field.ship.x, 296);
  updateShip(field);
  EXPECT_EQ(field.ship.x, 300);
}

TEST(StageOneShip, DeathSequenceAlternatesBurstsAndEndsAfterSixtyFrames) {
  TestSession session;
  StageOneField field = fieldInPlay();
  field.ship.state = SHIP_HIT;
  field.ship.deathCounter = 0;
  std::vector<int> frames;
  for (int i = 1; i < 60; ++i) {
    updateShip(field);
    frames.push_back(field.ship.frame);
  }
  EXPECT_EQ((std::vector<int>(frames.begin(), frames.begin() + 8)), (std::vector<int>{0, 12, 12, 11, 11, 12, 12, 11}));
  EXPECT_EQ(field.ship.state, SHIP_HIT);
  updateShip(field);
  EXPECT_EQ(field.ship.state, SHIP_IN_PLAY);
  EXPECT_EQ(field.ship.frame, 0);
  EXPECT_EQ(field.ship.reserveShips, 2);
  EXPECT_EQ(field.result, STAGE_RUNNING);

  field.ship.reserveShips = 0;
  field.ship.state = SHIP_HIT;
  field.ship.deathCounter = 0;
  for (int i = 0; i < 60; ++i) updateShip(field);
  EXPECT_EQ(field.ship.reserveShips, -1);
  EXPECT_EQ(field.ship.state, SHIP_HIT);
  EXPECT_EQ(field.result, STAGE_GAME_OVER);
}

TEST(StageOneShot, ScoresByRowAndDepthAndTheHighScoreFollows) {
  TestSession session;
  StageOneField field = fieldInPlay();
  gameState.score = 0;
  gameState.highScore = 250;
  killAlien(field, 0);  // top row at y = 20
  EXPECT_EQ(gameState.score, 300);
  EXPECT_EQ(gameState.highScore, 300);
  EXPECT_EQ(field.aliens[0].state, ALIEN_EXPLODING);
  EXPECT_EQ(field.shot.active, 0);
  EXPECT_EQ(field.formation.aliensLeft, 11);

  field.aliens[9].y = 148;  // bottom row after six steps down: 100 + 16
  killAlien(field, 9);
  EXPECT_EQ(gameState.score, 416);
  field.aliens[5].y = 60;
  killAlien(field, 5);
  EXPECT_EQ(gameState.score, 621);  // middle row one step down: 200 + 5
}

TEST(StageOneShot, HitWindowIsInclusiveAndOnlyAliveAliensCount) {
  TestSession session;
  struct Case {
    int dx, dy;
    bool hit;
  };
  const Case cases[] = {{20, 0, true},  {21, 0, false}, {-20, 0, true}, {-21, 0, false},
                        {0, -15, true}, {0, -16, false}, {0, 10, true}, {0, 11, false}};
  for (const Case& c : cases) {
    StageOneField field = fieldInPlay();
    Alien& alien = field.aliens[6];
    aimShot(field, alien.x + c.dx, alien.y + c.dy);
    updatePlayerShot(field);
    EXPECT_EQ(alien.state == ALIEN_EXPLODING, c.hit) << c.dx << "," << c.dy;
    EXPECT_EQ(field.shot.active == 0, c.hit);
  }
  StageOneField field = fieldInPlay();
  field.aliens[6].alive = 0;
  aimShot(field, field.aliens[6].x, field.aliens[6].y);
  updatePlayerShot(field);
  EXPECT_NE(field.shot.active, 0);
  EXPECT_EQ(field.formation.aliensLeft, 12);
}

TEST(StageOneFormation, SpeedsUpAtEightFourTwoAndOneLeftWithinTheKillingFrame) {
  TestSession session;
  StageOneField field = fieldInPlay();
  updateAliens(field);  // the new aliens start marching
  const int expected[12] = {1, 1, 1, 2, 2, 2, 2, 4, 4, 6, 12, 12};
  for (int i = 0; i < 12; ++i) {
    for (AlienShot& bomb : field.bombs) bomb.active = -1;  // no drops to disturb
    const int before = field.aliens[11].x;
    killAlien(field, i);
    updateAliens(field);
    EXPECT_EQ(field.formation.speed, expected[i]) << "after kill " << i + 1;
    if (i < 11) {
      EXPECT_EQ(std::abs(field.aliens[11].x - before), expected[i]) << "moves after kill " << i + 1;
    }
    EXPECT_EQ(field.aliens[i].alive, 0);
    if (field.formation.edgeFlag != 0) updateAliens(field);  // step down, then march on
  }
  EXPECT_EQ(field.formation.aliensLeft, 0);
  EXPECT_NE(field.formationDestroyed, 0);
}

TEST(StageOneFormation, PictureChangesEvery24_18_6_AndEveryFrame) {
  TestSession session;
  const int speeds[] = {1, 2, 4, 6, 12};
  const int intervals[] = {24, 18, 6, 1, 1};
  for (int s = 0; s < 5; ++s) {
    StageOneField field = fieldInPlay();
    field.ship.state = SHIP_HIT;  // the pictures change even while the formation stands
    field.formation.speed = speeds[s];
    std::vector<int> stepFrames;
    for (int frame = 1; frame <= 60; ++frame) {
      updateAliens(field);
      if (field.formation.stepFlag != 0) stepFrames.push_back(frame);
    }
    ASSERT_GE(stepFrames.size(), 2u);
    EXPECT_EQ(stepFrames[0], intervals[s]);
    for (size_t i = 1; i < stepFrames.size(); ++i) EXPECT_EQ(stepFrames[i] - stepFrames[i - 1], intervals[s]);
    EXPECT_EQ(field.aliens[3].x, 205);  // and it did not move
  }
}

TEST(StageOneFormation, MarchBeatCyclesFiveSixSevenFour) {
  TestSession session("", 1, /*withSound=*/true);
  StageOneField field = fieldInPlay();
  field.ship.state = SHIP_HIT;
  for (int frame = 0; frame < 24 * 6; ++frame) updateAliens(field);
  const std::vector<SoundEvent> log = readSoundLog(session.soundLogPath);
  EXPECT_EQ(samplesOnChannel(log, 4), (std::vector<int>{5, 6, 7, 4, 5, 6}));
  for (const SoundEvent& event : log) EXPECT_EQ(event.volume, 255);
}

TEST(StageOneFormation, MarchesToTheEdgeStepsDownAndTurns) {
  TestSession session;
  StageOneField field = fieldInPlay();
  updateAliens(field);  // first frame: no move
  EXPECT_EQ(field.aliens[3].x, 205);
  int frames = 0;
  while (field.formation.edgeFlag == 0 && frames < 200) {
    for (AlienShot& bomb : field.bombs) bomb.active = 0;
    updateAliens(field);
    ++frames;
  }
  EXPECT_EQ(frames, 85);
  EXPECT_EQ(field.aliens[3].x, 290);
  EXPECT_EQ(field.formation.direction, -1);
  for (const Alien& alien : field.aliens) EXPECT_EQ(alien.state, ALIEN_STEPPING_DOWN);
  updateAliens(field);
  EXPECT_EQ(field.aliens[3].x, 290);
  EXPECT_EQ(field.aliens[3].y, 28);
  EXPECT_EQ(field.aliens[8].y, 108);
  updateAliens(field);
  EXPECT_EQ(field.aliens[3].x, 289);
}

TEST(StageOneFormation, ReachingTheBottomLosesTheGameWhateverTheReserve) {
  TestSession session("", 3, /*withSound=*/true);
  StageOneField field = fieldInPlay();
  gameState.credits = 2;
  updateAliens(field);
  for (Alien& alien : field.aliens) {
    alien.y += 8 * 12;  // twelve steps down: the bottom row stands at 196
    alien.state = ALIEN_STEPPING_DOWN;
  }
  updateAliens(field);
  EXPECT_EQ(field.aliens[8].y, 204);
  EXPECT_EQ(field.aliens[8].state, ALIEN_EXPLODING);
  EXPECT_EQ(field.aliens[4].state, ALIEN_MARCHING);
  EXPECT_EQ(field.ship.state, SHIP_HIT);
  EXPECT_EQ(field.ship.reserveShips, 0);
  // Each alien of the bottom row arrives and plays the loss.
  EXPECT_EQ(samplesOnChannel(readSoundLog(session.soundLogPath), 2), (std::vector<int>{2, 2, 2, 2}));

  int frames = 0;
  while (field.result == STAGE_RUNNING && frames < 100) {
    for (AlienShot& bomb : field.bombs) bomb.active = 0;
    playStageOneFrame(field);
    ++frames;
  }
  EXPECT_EQ(frames, 60);
  EXPECT_EQ(field.result, STAGE_GAME_OVER);
  for (int i = 8; i < 12; ++i) EXPECT_EQ(field.aliens[i].alive, 0);  // the bottom row is gone
}

TEST(StageOneBombs, DropUnderAnAlienIntoTheFirstFreeSlotOnly) {
  TestSession session(/*script=*/"", /*seed=*/7);
  StageOneField field = fieldInPlay();
  // A slot keeps the picture and count it last had; a new bomb goes on from there.
  field.bombs[0].frame = 2;
  field.bombs[0].animationCounter = 5;
  updateAliens(field);
  int frames = 0;
  while (field.bombs[0].active == 0 && frames < 1000) {
    updateAliens(field);
    ++frames;
  }
  ASSERT_NE(field.bombs[0].active, 0);
  bool underAnAlien = false;
  for (const Alien& alien : field.aliens)
    if (field.bombs[0].x == (alien.x & ~1) && field.bombs[0].y == alien.y - 1) underAnAlien = true;
  EXPECT_TRUE(underAnAlien);
  EXPECT_EQ(field.bombs[0].x % 2, 0);
  EXPECT_EQ(field.bombs[0].frame, 2);
  EXPECT_EQ(field.bombs[0].animationCounter, 5);

  // With all five in flight the chances are lost.
  for (AlienShot& bomb : field.bombs) {
    bomb.active = -1;
    bomb.x = 1;
    bomb.y = 1;
  }
  for (int i = 0; i < 200; ++i) updateAliens(field);
  for (const AlienShot& bomb : field.bombs) EXPECT_EQ(bomb.x + bomb.y, 2);
}

TEST(StageOneBombs, FallAnimateAndHitTheShipInAnyState) {
  TestSession session("", 1, /*withSound=*/true);
  StageOneField field = fieldInPlay();
  AlienShot& bomb = field.bombs[2];
  bomb = AlienShot{-1, 30, 0, 0, 0};
  std::vector<int> frames;
  for (int i = 0; i < 4; ++i) {
    updateBombs(field);
    frames.push_back(bomb.frame);
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 0, 1}));
  EXPECT_EQ(bomb.y, 24);
  bomb.y = 234;
  updateBombs(field);
  EXPECT_EQ(bomb.active, 0);

  struct Case {
    int dx, y;
    bool hit;
  };
  const Case cases[] = {{20, 191, true}, {21, 191, false}, {-20, 191, true}, {-21, 191, false},
                        {0, 190, false}, {0, 216, true},   {0, 217, false}};
  for (const Case& c : cases) {
    StageOneField f = fieldInPlay();
    f.bombs[0] = AlienShot{-1, f.ship.x + c.dx, c.y - 6, 0, 0};
    updateBombs(f);
    EXPECT_EQ(f.ship.state == SHIP_HIT, c.hit) << c.dx << "," << c.y;
    EXPECT_EQ(f.bombs[0].active == 0, c.hit);
  }

  // An appearing ship is hit, and a bursting one starts its sequence again.
  field = fieldInPlay();
  field.ship.state = SHIP_APPEARING;
  field.bombs[0] = AlienShot{-1, 100, 200, 0, 0};
  updateBombs(field);
  EXPECT_EQ(field.ship.state, SHIP_HIT);
  field.ship.deathCounter = 40;
  field.bombs[1] = AlienShot{-1, 100, 200, 0, 0};
  updateBombs(field);
  EXPECT_EQ(field.ship.deathCounter, 0);
  EXPECT_EQ(samplesOnChannel(readSoundLog(session.soundLogPath), 2), (std::vector<int>{2, 2, 2, 2, 2}));
}
