// The Riser, the Faller and the falling blocks on hand-built towers.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/game_state.h"
#include "stage_two/stage_two_internal.h"
#include "support/session.h"
#include "support/tower_support.h"

using namespace stage_two;

namespace {

class EnemyTest : public ::testing::Test {
 protected:
  TestSession session{"", 1, true};
  Game& game = session.game;
  Tower tower;
  void SetUp() override { fillTower(tower, CellAir); }
  std::vector<std::string> sounds() { return soundsLogged(session.soundLogPath); }
};

TEST_F(EnemyTest, RiserClimbsOnlyAtOffsetNineAndStopsUnderTheFirstFloor) {
  solidFloor(tower, 20, {2, 17});
  tower.map.cells[20][10] = CellHole;
  tower.map.cells[19][10] = CellHole;  // climbs on through a further hole ...
  solidFloor(tower, 17);               // ... and an empty row, up to here
  solidFloor(tower, 21);
  StageTwoRecord stage = standingOn(300, 18);
  stage.riser = walkerOn(16 * 7 + 7, 21, 2);
  int climbX = -1;
  for (int frame = 0; frame < 40 && climbX < 0; ++frame) {
    riserStep(game, tower, stage);
    if (stage.riser.state == WalkerState::RiserClimbing) climbX = stage.riser.x;
  }
  EXPECT_EQ(climbX, 16 * 10 + 9) << "not at offset 9 of column 9 under a solid ceiling";
  for (int frame = 0; frame < 24; ++frame) {
    EXPECT_EQ(stage.riser.state, WalkerState::RiserClimbing);
    riserStep(game, tower, stage);
  }
  EXPECT_EQ(stage.riser.state, WalkerState::Walking);
  EXPECT_EQ(stage.riser.y, 32 * 18 - 14) << "stands under row 17";
  EXPECT_EQ(sounds(), std::vector<std::string>{"7 3 255"});
}

TEST_F(EnemyTest, WalkersTurnAtOffsetNineBesidePostsAndAtTheTowerEdges) {
  solidFloor(tower, 30, {3, 12});
  solidFloor(tower, 31);
  StageTwoRecord stage = standingOn(8, 28);
  stage.riser = walkerOn(16 * 7 + 7, 31, -2);
  int low = 1000, high = 0;
  for (int frame = 0; frame < 120; ++frame) {
    riserStep(game, tower, stage);
    low = std::min(low, stage.riser.x);
    high = std::max(high, stage.riser.x);
  }
  EXPECT_EQ(low, 16 * 4 + 9);
  EXPECT_EQ(high, 16 * 11 + 9);

  for (int c = 0; c < TOWER_COLUMNS; ++c) tower.map.cells[72][c] = CellHole;  // no posts in storey 72
  solidFloor(tower, 73);
  stage = standingOn(8, 71);
  stage.faller = walkerOn(16 * 11 + 7, 73, 2);
  low = 1000, high = 0;
  for (int frame = 0; frame < 400; ++frame) {
    fallerStep(game, tower, stage);
    low = std::min(low, stage.faller.x);
    high = std::max(high, stage.faller.x);
  }
  EXPECT_EQ(low, 9);
  EXPECT_EQ(high, 16 * 19 + 9);
}

TEST_F(EnemyTest, WalkersArePlacedFiveBelowAndFourAboveAndAnewWhenLeftBehind) {
  StageTwoRecord stage = standingOn(168, 5);  // storey row 4: the tutorial floor
  riserStep(game, tower, stage);
  fallerStep(game, tower, stage);
  EXPECT_EQ(stage.riser.state, WalkerState::Walking);
  EXPECT_EQ(stage.riser.y, 32 * 9 + 18) << "storey row 9";
  EXPECT_EQ(stage.riser.x, 135);
  EXPECT_EQ(stage.riser.dx, 2);
  EXPECT_FALSE(stage.faller.active) << "not before storey row 9";
  stage.hero.storeyRow = stage.riser.row + 3;
  riserStep(game, tower, stage);
  EXPECT_EQ(stage.riser.x, 137) << "three storeys above the Hero: walks on";
  stage.hero.storeyRow = stage.riser.row + 4;
  stage.hero.x = 20;
  riserStep(game, tower, stage);
  EXPECT_EQ(stage.riser.row, stage.hero.storeyRow + 5);
  EXPECT_EQ(stage.riser.x, 135);
  EXPECT_EQ(stage.riser.dx, -2);

  fallerStep(game, tower, stage);
  EXPECT_EQ(stage.faller.state, WalkerState::ToBePlaced);
  EXPECT_EQ(stage.faller.x, 0) << "switched on, placed one frame later";
  fallerStep(game, tower, stage);
  EXPECT_EQ(stage.faller.row, stage.hero.storeyRow - 4);
  EXPECT_EQ(stage.faller.x, 183);
  stage.hero.storeyRow = stage.faller.row + 6;  // more than five storeys above the Hero
  fallerStep(game, tower, stage);
  fallerStep(game, tower, stage);
  EXPECT_EQ(stage.faller.row, stage.hero.storeyRow - 4);
}

TEST_F(EnemyTest, ATouchCostsAHitAndTheWalkerComesBackUnlessTheHeroIsInvulnerable) {
  solidFloor(tower, 20);
  StageTwoRecord stage = standingOn(100, 20);
  stage.riser = walkerOn(111, 20, 2);  // the Hero ends 13 left of it: outside x - 11
  riserStep(game, tower, stage);
  EXPECT_FALSE(stage.hero.hit);
  stage.riser = walkerOn(109, 20, 2);
  riserStep(game, tower, stage);
  EXPECT_TRUE(stage.hero.hit);
  EXPECT_FALSE(stage.riser.active);
  EXPECT_EQ(stage.riser.state, WalkerState::Out);
  EXPECT_EQ(sounds(), std::vector<std::string>{"3 9 -1"});
  riserStep(game, tower, stage);
  EXPECT_EQ(stage.riser.row, 19 + 5) << "placed anew in the next frame";

  stage.hero.hit = false;
  stage.hero.invulnerable = true;
  stage.riser = walkerOn(100, 20, 2);
  stage.faller = walkerOn(100, 20, 2);
  riserStep(game, tower, stage);
  fallerStep(game, tower, stage);
  EXPECT_FALSE(stage.hero.hit);
  EXPECT_TRUE(stage.riser.active && stage.faller.active) << "they pass through";
}

TEST_F(EnemyTest, TheFallerSquashesForSixFramesAfterLanding) {
  solidFloor(tower, 30);
  StageTwoRecord stage = standingOn(300, 30);
  stage.faller = walkerOn(16 * 5 + 7, 30, 2);
  stage.faller.state = WalkerState::FallerFalling;
  stage.faller.y -= 4;
  fallerStep(game, tower, stage);
  ASSERT_EQ(stage.faller.state, WalkerState::FallerSquashing);
  EXPECT_EQ(sounds(), std::vector<std::string>{"7 3 255"});
  const float expected[] = {0.3f, 0.6f, 0.9f, 0.6f, 0.3f, 0.0f};
  for (int frame = 0; frame < 6; ++frame) {
    fallerStep(game, tower, stage);
    EXPECT_NEAR(stage.faller.squash, expected[frame], 1e-6) << "frame " << frame;
    EXPECT_EQ(stage.faller.state, frame < 5 ? WalkerState::FallerSquashing : WalkerState::Walking);
  }
}

TEST_F(EnemyTest, ABlockPassingARiserThenAFallerScores1100AndFallsOn) {
  solidFloor(tower, 40);
  StageTwoRecord stage = standingOn(8, 10);
  startFallingBlock(stage, 16 * 14 + 8, 32 * 20 + 41);
  stage.riser = walkerOn(16 * 14 + 7, 24, 2);
  stage.faller = walkerOn(16 * 14 + 7, 30, 2);
  int frames = 0;
  for (; stage.blocks[0].active && frames < 200; ++frames) updateFallingBlocks(game, tower, stage);
  EXPECT_EQ(game.gameState.score, 1100) << "a Riser waiting to be placed is not hit twice";
  EXPECT_EQ(stage.riser.state, WalkerState::ToBePlaced);
  EXPECT_FALSE(stage.faller.active);
  EXPECT_EQ(frames, (32 * 39 + 29 - (32 * 20 + 41)) / 4) << "bursts on row 40";
}

// The block is still level with the spot when the Faller is switched on
// again there; it must pass the Faller waiting to be placed.
TEST_F(EnemyTest, AFallerHitByABlockIsScoredOnceAndPlacedAnew) {
  solidFloor(tower, 40);
  StageTwoRecord stage = standingOn(8, 21);
  startFallingBlock(stage, 16 * 14 + 8, 32 * 22 + 41);
  stage.faller = walkerOn(16 * 14 + 7, 24, 2);
  updateFallingBlocks(game, tower, stage);
  ASSERT_EQ(game.gameState.score, 1000);
  fallerStep(game, tower, stage);
  EXPECT_EQ(stage.faller.state, WalkerState::ToBePlaced);
  EXPECT_EQ(stage.faller.x, 16 * 14 + 7) << "drawn once more at the spot";
  updateFallingBlocks(game, tower, stage);
  fallerStep(game, tower, stage);
  EXPECT_EQ(stage.faller.x, 183);
  EXPECT_EQ(stage.faller.row, 20 - 4);
  while (stage.blocks[0].active) updateFallingBlocks(game, tower, stage);
  EXPECT_EQ(game.gameState.score, 1000);
}

}  // namespace
