// The Riser, the Faller and the falling blocks on hand-built towers.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/game_state.h"
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
  towerMap.cells[19][10] = CellHole;  // climbs on through a further hole ...
  solidFloor(17);                     // ... and an empty row, up to here
  solidFloor(21);
  StageTwoPlay play = standingOn(300, 18);
  play.riser = walkerOn(16 * 7 + 7, 21, 2);
  int climbX = -1;
  for (int frame = 0; frame < 40 && climbX < 0; ++frame) {
    riserStep(play);
    if (play.riser.state == RiserClimbing) climbX = play.riser.x;
  }
  EXPECT_EQ(climbX, 16 * 10 + 9) << "not at offset 9 of column 9 under a solid ceiling";
  for (int frame = 0; frame < 24; ++frame) {
    EXPECT_EQ(play.riser.state, RiserClimbing);
    riserStep(play);
  }
  EXPECT_EQ(play.riser.state, WalkerWalking);
  EXPECT_EQ(play.riser.y, 32 * 18 - 14) << "stands under row 17";
  EXPECT_EQ(sounds(), std::vector<std::string>{"7 3 255"});
}

TEST_F(EnemyTest, WalkersTurnAtOffsetNineBesidePostsAndAtTheTowerEdges) {
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

  for (int c = 0; c < TOWER_COLUMNS; ++c) towerMap.cells[72][c] = CellHole;  // no posts in storey 72
  solidFloor(73);
  play = standingOn(8, 71);
  play.faller = walkerOn(16 * 11 + 7, 73, 2);
  low = 1000, high = 0;
  for (int frame = 0; frame < 400; ++frame) {
    fallerStep(play);
    low = std::min(low, play.faller.x);
    high = std::max(high, play.faller.x);
  }
  EXPECT_EQ(low, 9);
  EXPECT_EQ(high, 16 * 19 + 9);
}

TEST_F(EnemyTest, WalkersArePlacedFiveBelowAndFourAboveAndAnewWhenLeftBehind) {
  StageTwoPlay play = standingOn(168, 5);  // storey row 4: the tutorial floor
  riserStep(play);
  fallerStep(play);
  EXPECT_EQ(play.riser.state, WalkerWalking);
  EXPECT_EQ(play.riser.y, 32 * 9 + 18) << "storey row 9";
  EXPECT_EQ(play.riser.x, 135);
  EXPECT_EQ(play.riser.dx, 2);
  EXPECT_FALSE(play.faller.active) << "not before storey row 9";
  play.hero.storeyRow = play.riser.row + 3;
  riserStep(play);
  EXPECT_EQ(play.riser.x, 137) << "three storeys above the Hero: walks on";
  play.hero.storeyRow = play.riser.row + 4;
  play.hero.x = 20;
  riserStep(play);
  EXPECT_EQ(play.riser.row, play.hero.storeyRow + 5);
  EXPECT_EQ(play.riser.x, 135);
  EXPECT_EQ(play.riser.dx, -2);

  fallerStep(play);
  EXPECT_EQ(play.faller.state, WalkerToBePlaced);
  EXPECT_EQ(play.faller.x, 0) << "switched on, placed one frame later";
  fallerStep(play);
  EXPECT_EQ(play.faller.row, play.hero.storeyRow - 4);
  EXPECT_EQ(play.faller.x, 183);
  play.hero.storeyRow = play.faller.row + 6;  // more than five storeys above the Hero
  fallerStep(play);
  fallerStep(play);
  EXPECT_EQ(play.faller.row, play.hero.storeyRow - 4);
}

TEST_F(EnemyTest, ATouchCostsAHitAndTheWalkerComesBackUnlessTheHeroIsInvulnerable) {
  solidFloor(20);
  StageTwoPlay play = standingOn(100, 20);
  play.riser = walkerOn(111, 20, 2);  // the Hero ends 13 left of it: outside x - 11
  riserStep(play);
  EXPECT_FALSE(play.hero.hit);
  play.riser = walkerOn(109, 20, 2);
  riserStep(play);
  EXPECT_TRUE(play.hero.hit);
  EXPECT_FALSE(play.riser.active);
  EXPECT_EQ(play.riser.state, WalkerOut);
  EXPECT_EQ(sounds(), std::vector<std::string>{"3 9 -1"});
  riserStep(play);
  EXPECT_EQ(play.riser.row, 19 + 5) << "placed anew in the next frame";

  play.hero.hit = false;
  play.hero.invulnerable = true;
  play.riser = walkerOn(100, 20, 2);
  play.faller = walkerOn(100, 20, 2);
  riserStep(play);
  fallerStep(play);
  EXPECT_FALSE(play.hero.hit);
  EXPECT_TRUE(play.riser.active && play.faller.active) << "they pass through";
}

TEST_F(EnemyTest, TheFallerSquashesForSixFramesAfterLanding) {
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

TEST_F(EnemyTest, ABlockPassingARiserThenAFallerScores1100AndFallsOn) {
  solidFloor(40);
  StageTwoPlay play = standingOn(8, 10);
  startFallingBlock(play, 16 * 14 + 8, 32 * 20 + 41);
  play.riser = walkerOn(16 * 14 + 7, 24, 2);
  play.faller = walkerOn(16 * 14 + 7, 30, 2);
  int frames = 0;
  for (; play.blocks[0].active && frames < 200; ++frames) updateFallingBlocks(play);
  EXPECT_EQ(gameState.score, 1100) << "a Riser waiting to be placed is not hit twice";
  EXPECT_EQ(play.riser.state, WalkerToBePlaced);
  EXPECT_FALSE(play.faller.active);
  EXPECT_EQ(frames, (32 * 39 + 29 - (32 * 20 + 41)) / 4) << "bursts on row 40";
}

// The block is still level with the spot when the Faller is switched on
// again there; it must pass the Faller waiting to be placed.
TEST_F(EnemyTest, AFallerHitByABlockIsScoredOnceAndPlacedAnew) {
  solidFloor(40);
  StageTwoPlay play = standingOn(8, 21);
  startFallingBlock(play, 16 * 14 + 8, 32 * 22 + 41);
  play.faller = walkerOn(16 * 14 + 7, 24, 2);
  updateFallingBlocks(play);
  ASSERT_EQ(gameState.score, 1000);
  fallerStep(play);
  EXPECT_EQ(play.faller.state, WalkerToBePlaced);
  EXPECT_EQ(play.faller.x, 16 * 14 + 7) << "drawn once more at the spot";
  updateFallingBlocks(play);
  fallerStep(play);
  EXPECT_EQ(play.faller.x, 183);
  EXPECT_EQ(play.faller.row, 20 - 4);
  while (play.blocks[0].active) updateFallingBlocks(play);
  EXPECT_EQ(gameState.score, 1000);
}

}  // namespace
