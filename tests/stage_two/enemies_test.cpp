// The Riser, the Faller and the falling blocks on hand-built towers.
#include <gtest/gtest.h>

#include <algorithm>

#include "shell/game_state.h"
#include "stage_two/enemies.h"
#include "stage_two/hero.h"
#include "stage_two/tower_map.h"
#include "support/session.h"
#include "tower_support.h"

namespace {

class EnemyTest : public ::testing::Test {
 protected:
  TestSession session{"", 1, true};
  void SetUp() override { fillTower(CellAir); }
  std::vector<std::string> sounds() { return soundsLogged(session.soundLogPath); }
};

TEST_F(EnemyTest, RiserClimbsOnlyAtOffsetNineAndStopsUnderTheFirstFloor) {
  solidFloor(20, {2, 17});
  towerMap.cells[20][10] = CellHole;
  solidFloor(21);
  towerMap.cells[19][10] = CellHole;  // climbs on through a further hole ...
  solidFloor(17);                     // ... and an empty row, up to here
  StageTwoPlay play = standingOn(300, 18);
  play.riser = walkerOn(16 * 7 + 7, 21, 2);
  int climbX = -1;
  for (int frame = 0; frame < 40 && climbX < 0; ++frame) {
    riserStep(play);
    if (play.riser.state == RiserClimbing) climbX = play.riser.x;
  }
  EXPECT_EQ(climbX, 16 * 10 + 9) << "not at offset 9 of column 9, whose ceiling is solid";
  int frames = 0;
  while (play.riser.state == RiserClimbing && frames < 100) {
    riserStep(play);
    ++frames;
  }
  EXPECT_EQ(play.riser.state, WalkerWalking);
  EXPECT_EQ(play.riser.y, 32 * 18 - 14) << "stands under row 17";
  EXPECT_EQ(frames, (32 * 21 - 32 * 18) / 4);
  EXPECT_EQ(play.riser.dx, 2) << "turns towards the Hero";
  EXPECT_EQ(sounds(), std::vector<std::string>{"7 3 255"});
}

TEST_F(EnemyTest, WalkersTurnAtOffsetNineBesidePostsAndAtTheEdges) {
  solidFloor(30, {3, 12});
  solidFloor(31);
  StageTwoPlay play = standingOn(8, 28);
  play.riser = walkerOn(16 * 7 + 7, 31, -2);
  int low = 1000, high = 0;
  for (int frame = 0; frame < 120; ++frame) {
    riserStep(play);
    low = std::min(low, play.riser.x);
    high = std::max(high, play.riser.x);
  }
  EXPECT_EQ(low, 16 * 4 + 9);
  EXPECT_EQ(high, 16 * 11 + 9);

  // Storey 72 has no posts at all: the edges of the tower turn the Faller.
  for (int c = 0; c < TOWER_COLUMNS; ++c) towerMap.cells[72][c] = CellHole;
  solidFloor(73);
  play = standingOn(8, 71);
  play.faller = walkerOn(16 * 11 + 7, 73, 2);
  low = 1000, high = 0;
  for (int frame = 0; frame < 400; ++frame) {
    fallerStep(play);
    low = std::min(low, play.faller.x);
    high = std::max(high, play.faller.x);
  }
  EXPECT_EQ(play.faller.state, WalkerWalking);
  EXPECT_EQ(low, 9);
  EXPECT_EQ(high, 16 * 19 + 9);
}

TEST_F(EnemyTest, RiserIsPlacedFiveStoreysBelowAndAnewWhenLeftBehind) {
  StageTwoPlay play = standingOn(168, 5);  // storey row 4: the tutorial floor
  riserStep(play);
  EXPECT_TRUE(play.riser.active);
  EXPECT_EQ(play.riser.state, WalkerWalking);
  EXPECT_EQ(play.riser.row, 9);
  EXPECT_EQ(play.riser.x, 135);
  EXPECT_EQ(play.riser.y, 32 * 9 + 18);
  EXPECT_EQ(play.riser.dx, 2);

  play.hero.storeyRow = play.riser.row + 3;
  riserStep(play);
  EXPECT_NE(play.riser.x, 135) << "three storeys above: keeps walking";
  play.hero.storeyRow = play.riser.row + 4;
  play.hero.x = 20;
  riserStep(play);
  EXPECT_EQ(play.riser.row, play.hero.storeyRow + 5);
  EXPECT_EQ(play.riser.x, 135);
  EXPECT_EQ(play.riser.dx, -2);
}

TEST_F(EnemyTest, TouchingTheHeroCostsAHitAndTheWalkerComesBack) {
  solidFloor(20);
  StageTwoPlay play = standingOn(100, 20);
  play.riser = walkerOn(111, 20, 2);  // after its step the Hero is 13 left of it
  riserStep(play);
  EXPECT_FALSE(play.hero.hit) << "outside x - 11";
  play.riser = walkerOn(109, 20, 2);  // Hero at x - 11 after the step
  riserStep(play);
  EXPECT_TRUE(play.hero.hit);
  EXPECT_FALSE(play.riser.active);
  EXPECT_EQ(play.riser.state, WalkerOut);
  EXPECT_EQ(sounds(), std::vector<std::string>{"3 9 -1"});
  riserStep(play);
  EXPECT_TRUE(play.riser.active) << "placed anew in the next frame";
  EXPECT_EQ(play.riser.row, 19 + 5);

  // An invulnerable Hero lets both walkers pass through it.
  play.hero.hit = false;
  play.hero.invulnerable = true;
  play.riser = walkerOn(100, 20, 2);
  play.faller = walkerOn(100, 20, 2);
  riserStep(play);
  fallerStep(play);
  EXPECT_FALSE(play.hero.hit);
  EXPECT_TRUE(play.riser.active);
  EXPECT_TRUE(play.faller.active);

  // The Faller's window reaches 12 to its right and 10 above its centre.
  play.hero.invulnerable = false;
  play.faller = walkerOn(86, 20, 2);  // at 88 after its step: Hero at x + 12
  play.faller.y = play.hero.y + 10;
  fallerStep(play);
  EXPECT_TRUE(play.hero.hit);
  play.hero.hit = false;
  play.faller = walkerOn(86, 20, 2);
  play.faller.y = play.hero.y + 11;
  fallerStep(play);
  EXPECT_FALSE(play.hero.hit);
}

TEST_F(EnemyTest, FallerSquashesForSixFramesAfterLanding) {
  solidFloor(30);
  StageTwoPlay play = standingOn(300, 30);
  play.faller = walkerOn(16 * 5 + 7, 30, 2);
  play.faller.state = FallerFalling;
  play.faller.y -= 4;
  fallerStep(play);
  ASSERT_EQ(play.faller.state, FallerSquashing);
  EXPECT_EQ(sounds(), std::vector<std::string>{"7 3 255"});
  const float expected[] = {0.3f, 0.6f, 0.9f, 0.6f, 0.3f, 0.0f};
  for (int frame = 0; frame < 6; ++frame) {
    fallerStep(play);
    EXPECT_NEAR(play.faller.squash, expected[frame], 1e-6) << "frame " << frame;
    EXPECT_EQ(play.faller.state, frame < 5 ? FallerSquashing : WalkerWalking);
  }
}

TEST_F(EnemyTest, FallerIsSwitchedOnBelowStoreyEightAndPlacedAFrameLater) {
  StageTwoPlay play = standingOn(20, 9);  // storey row 8
  fallerStep(play);
  EXPECT_FALSE(play.faller.active);
  play = standingOn(20, 10);  // storey row 9
  fallerStep(play);
  EXPECT_TRUE(play.faller.active);
  EXPECT_EQ(play.faller.state, WalkerToBePlaced);
  EXPECT_EQ(play.faller.x, 0) << "not moved in the frame it is switched on";
  fallerStep(play);
  EXPECT_EQ(play.faller.state, WalkerWalking);
  EXPECT_EQ(play.faller.row, 5);
  EXPECT_EQ(play.faller.x, 183);
  EXPECT_EQ(play.faller.y, 32 * 5 + 18);
  EXPECT_EQ(play.faller.dx, -2);
  // More than five storeys above the Hero: placed anew.
  play.hero.storeyRow = play.faller.row + 6;
  fallerStep(play);
  fallerStep(play);
  EXPECT_EQ(play.faller.row, play.hero.storeyRow - 4);
}

TEST_F(EnemyTest, ABlockPassingARiserThenAFallerScores1100AndFallsOn) {
  solidFloor(40);
  StageTwoPlay play = standingOn(8, 10);
  gameState.score = 0;
  startFallingBlock(play, 16 * 14 + 8, 32 * 20 + 41);
  play.riser = walkerOn(16 * 14 + 7, 24, 2);
  play.faller = walkerOn(16 * 14 + 7, 30, 2);
  int frames = 0;
  while (play.blocks[0].active && frames < 200) {
    updateFallingBlocks(play);
    ++frames;
    if (gameState.score == 100) {
      EXPECT_EQ(play.riser.state, WalkerToBePlaced);
    }
  }
  EXPECT_EQ(gameState.score, 1100) << "a Riser waiting to be placed is not hit twice";
  EXPECT_FALSE(play.faller.active);
  EXPECT_EQ(play.faller.state, WalkerOut);
  EXPECT_EQ(frames, (32 * 39 + 29 - (32 * 20 + 41)) / 4) << "bursts on row 40";
}

TEST_F(EnemyTest, AFallerHitByABlockIsScoredOnceAndPlacedAnew) {
  solidFloor(40);
  StageTwoPlay play = standingOn(8, 21);  // storey row 20: the Faller comes back
  gameState.score = 0;
  startFallingBlock(play, 16 * 14 + 8, 32 * 22 + 41);  // reaches the Faller at once
  play.faller = walkerOn(16 * 14 + 7, 24, 2);
  int hitFrame = -1;
  for (int frame = 0; frame < 80 && play.blocks[0].active; ++frame) {
    updateFallingBlocks(play);
    bool hitNow = gameState.score == 1000 && hitFrame < 0;
    int x = play.faller.x;
    fallerStep(play);
    if (hitNow) {
      hitFrame = frame;
      EXPECT_TRUE(play.faller.active) << "switched on again at once ...";
      EXPECT_EQ(play.faller.state, WalkerToBePlaced);
      EXPECT_EQ(play.faller.x, x) << "... and drawn once more at the spot";
    }
    if (hitFrame >= 0 && frame == hitFrame + 1) {
      EXPECT_EQ(play.faller.x, 183);
      EXPECT_EQ(play.faller.row, 16);
    }
  }
  EXPECT_GE(hitFrame, 0);
  EXPECT_EQ(gameState.score, 1000);
}

TEST_F(EnemyTest, SeventeenBlocksAtMost) {
  StageTwoPlay play = standingOn(8, 10);
  for (int i = 0; i < 18; ++i) startFallingBlock(play, 8 + 16 * (i % 20), 100 + i);
  int active = 0;
  for (const FallingBlock& block : play.blocks) active += block.active;
  EXPECT_EQ(active, FALLING_BLOCK_SLOTS);
  EXPECT_EQ(play.blocks[16].y, 116);
}

}  // namespace
