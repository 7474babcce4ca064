// The Hero's rules on hand-built towers.
#include <gtest/gtest.h>

#include "game/game_state.h"
#include "gfx/effects.h"
#include "machine/machine.h"
#include "stage_two/stage_two_internal.h"
#include "support/session.h"
#include "support/tower_support.h"

using namespace stage_two;

namespace {

class HeroTest : public ::testing::Test {
 protected:
  TestSession session{"", 1, true};
  void SetUp() override { fillTower(CellAir); }
  std::vector<std::string> sounds() { return soundsLogged(session.soundLogPath); }
  void frames(StageTwoRecord& stage, int n) {
    for (int i = 0; i < n; ++i) heroFrame(stage);
  }
};

TEST_F(HeroTest, LeavesTheLiftInSixtyFramesAndDropsOntoTheTutorialFloor) {
  seedRandom(9);
  buildTower();
  StageTwoRecord stage;
  frames(stage, 61);
  EXPECT_EQ(stage.hero.x, 168);
  EXPECT_EQ(stage.hero.state, HeroState::Walking);
  frames(stage, 1);  // over the hole in column 10 of row 4
  EXPECT_EQ(stage.hero.state, HeroState::Falling);
  frames(stage, 8);
  EXPECT_EQ(stage.hero.state, HeroState::Walking);
  EXPECT_EQ(stage.hero.storeyRow, 4);
  EXPECT_EQ(stage.scroll, 32);
  EXPECT_EQ(gameState.score, 10);
  pressKey(SC_LEFT, "");  // the posts of row 4 keep it in column 10
  frames(stage, 20);
  EXPECT_EQ(stage.hero.x, 168);
}

TEST_F(HeroTest, PostsAndTheTowerEdgesStopTheHeroInTheMiddleOfACell) {
  solidFloor(9, {3, 12});
  solidFloor(10);
  StageTwoRecord stage = standingOn(100, 10);
  pressKey(SC_LEFT, "");
  frames(stage, 40);
  EXPECT_EQ(stage.hero.x, 16 * 4 + 8);
  releaseKey(SC_LEFT);
  pressKey(SC_RIGHT, "");
  frames(stage, 80);
  EXPECT_EQ(stage.hero.x, 16 * 11 + 8);
  std::vector<std::string> log = sounds();  // a footstep every 8 pixels, 4 and 5 in turn
  EXPECT_EQ(std::count(log.begin(), log.end(), "4 0 255") + std::count(log.begin(), log.end(), "5 0 255"),
            3 + 14);  // x + 32 passes 3 multiples of 8 on the way to 72, 14 on the way to 184
  for (size_t i = 1; i < log.size(); ++i) EXPECT_NE(log[i], log[i - 1]);

  // Storey 72 has no posts: the edges of the tower stop the Hero.
  for (int c = 0; c < TOWER_COLUMNS; ++c) towerMap.cells[72][c] = CellHole;
  solidFloor(73);
  stage = standingOn(100, 73);
  frames(stage, 200);
  EXPECT_EQ(stage.hero.x, 16 * 19 + 8);
  releaseKey(SC_RIGHT);
  pressKey(SC_LEFT, "");
  frames(stage, 200);
  EXPECT_EQ(stage.hero.x, 8);
}

TEST_F(HeroTest, AcrossTwoCellsTheHeroDropsOnlyOverTwoHoles) {
  solidFloor(10);
  towerMap.cells[10][9] = CellHole;
  for (int x : {160, 146}) {  // across columns 9 and 10, then 8 and 9
    StageTwoRecord stage = standingOn(x, 10);
    frames(stage, 1);
    EXPECT_EQ(stage.hero.state, HeroState::Walking) << x;
  }
  StageTwoRecord stage = standingOn(152, 10);  // over column 9 alone
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Falling);
  towerMap.cells[10][10] = CellHole;
  stage = standingOn(160, 10);
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Falling);
}

TEST_F(HeroTest, AStompKnocksTheBlockOutInTheFirstFrameAndBreaksTheCrackInTheFifth) {
  solidFloor(10);
  solidFloor(11);
  towerMap.cells[10][6] = CellFloor | CellLoose | CellCracked;
  StageTwoRecord stage = standingOn(6 * 16 + 8, 10);
  pressKey(SC_SPACE, " ");
  for (int frame = 1; frame <= 5; ++frame) {
    heroFrame(stage);
    updateFallingBlocks(stage);
    EXPECT_EQ(stage.hero.state, frame < 5 ? HeroState::Stomping : HeroState::Walking);
    EXPECT_EQ(stage.hero.shake, frame < 5);
    EXPECT_EQ(stage.blocks[0].active, frame < 5) << "the block bursts on the next floor in frame 5";
    EXPECT_EQ(towerMap.cells[10][6], frame < 5 ? CellFloor | CellCracked : CellHole) << frame;
  }
  bool puff = false;
  for (const Effect& e : effectTable.slots) puff |= e.active && e.kind == FxPuff && e.x == 95 && e.y == 318;
  EXPECT_TRUE(puff);
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Falling) << "drops through in the next frame";
  frames(stage, 10);  // landed, Space still held: no second stomp
  EXPECT_EQ(stage.hero.state, HeroState::Walking);
  releaseKey(SC_SPACE);
  frames(stage, 1);
  pressKey(SC_SPACE, " ");
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Stomping);
  std::vector<std::string> log = sounds();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], "2 2 127");
  EXPECT_EQ(log[1], "1 3 127");
  EXPECT_EQ(log[2], "7 3 255");
}

TEST_F(HeroTest, ZDropsThroughAnyFloorTenPointsAFloorAndTheGroundHolds) {
  solidFloor(10);
  solidFloor(13);
  StageTwoRecord stage = standingOn(100, 10);
  gameState.highScore = 15;
  queueKeyValue("Z");  // only a lower-case z drops
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Walking);
  queueKeyValue("z");
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Falling);
  frames(stage, 23);
  EXPECT_EQ(stage.hero.state, HeroState::Falling);
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Walking);
  EXPECT_EQ(stage.hero.y, 32 * 13 - 12);
  EXPECT_EQ(stage.scroll, stage.hero.y - HERO_SCREEN_Y);
  EXPECT_EQ(gameState.score, 30);
  EXPECT_EQ(gameState.highScore, 30);
  EXPECT_EQ(sounds(), std::vector<std::string>{"7 3 255"});

  // Through the last row onto the ground below it, which z cannot open.
  solidFloor(TOWER_LAST_ROW);
  towerMap.cells[TOWER_LAST_ROW][6] = CellHole;
  stage = standingOn(6 * 16 + 8, TOWER_LAST_ROW);
  frames(stage, 20);
  queueKeyValue("z");
  frames(stage, 20);
  EXPECT_EQ(stage.hero.state, HeroState::Walking);
  EXPECT_EQ(stage.hero.y, 32 * (TOWER_LAST_ROW + 1) - 12);
}

TEST_F(HeroTest, SixHitsPutTheHeroOutAndItBlinksBetweenThem) {
  solidFloor(10);
  StageTwoRecord stage = standingOn(100, 10);
  for (int hit = 1; hit <= 6; ++hit) {
    stage.hero.hit = true;
    std::string shown;
    for (int frame = 0; frame < (hit < 6 ? 50 : 1); ++frame) {
      heroFrame(stage);
      if (frame == 1) stage.hero.hit = true;  // a touch while invulnerable costs nothing
      drawLine(nullptr, 0, 0, 319, 239, 0, LineFilledBox);
      drawHero(stage.hero, stage.scroll);
      shown += countColour(0x00FFFF) > 0 ? '#' : '.';
    }
    EXPECT_EQ(stage.hero.hitPoints, 5 - hit);
    if (hit < 6) {
      EXPECT_EQ(shown.substr(0, 20), "...####....####....#") << "blinks in four-frame steps";
      EXPECT_EQ(shown.back(), '#');
      EXPECT_FALSE(stage.hero.invulnerable) << "for fifty frames";
    } else {
      EXPECT_EQ(shown, ".") << "gone at once";
    }
  }
  EXPECT_EQ(stage.hero.state, HeroState::Out);
  EXPECT_EQ(stage.hero.gameOverCountdown, GAME_OVER_COUNTDOWN);
  pressKey(SC_LEFT, "");
  frames(stage, 2);
  EXPECT_TRUE(stage.hero.invulnerable) << "nothing touches a Hero that is out";
  EXPECT_EQ(stage.hero.x, 100);
}

}  // namespace
