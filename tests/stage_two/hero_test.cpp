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
  Game& game = session.game;
  Tower tower;
  void SetUp() override { fillTower(tower, CellAir); }
  std::vector<std::string> sounds() { return soundsLogged(session.soundLogPath); }
  void frames(StageTwoRecord& stage, int n) {
    for (int i = 0; i < n; ++i) heroFrame(game, tower, stage);
  }
};

TEST_F(HeroTest, LeavesTheLiftInSixtyFramesAndDropsOntoTheTutorialFloor) {
  seedRandom(game, 9);
  buildTower(game, tower);
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
  EXPECT_EQ(game.gameState.score, 10);
  pressKey(game, SC_LEFT, "");  // the posts of row 4 keep it in column 10
  frames(stage, 20);
  EXPECT_EQ(stage.hero.x, 168);
}

TEST_F(HeroTest, PostsAndTheTowerEdgesStopTheHeroInTheMiddleOfACell) {
  solidFloor(tower, 9, {3, 12});
  solidFloor(tower, 10);
  StageTwoRecord stage = standingOn(100, 10);
  pressKey(game, SC_LEFT, "");
  frames(stage, 40);
  EXPECT_EQ(stage.hero.x, 16 * 4 + 8);
  releaseKey(game, SC_LEFT);
  pressKey(game, SC_RIGHT, "");
  frames(stage, 80);
  EXPECT_EQ(stage.hero.x, 16 * 11 + 8);
  std::vector<std::string> log = sounds();  // a footstep every 8 pixels, 4 and 5 in turn
  EXPECT_EQ(std::count(log.begin(), log.end(), "4 0 255") + std::count(log.begin(), log.end(), "5 0 255"),
            3 + 14);  // x + 32 passes 3 multiples of 8 on the way to 72, 14 on the way to 184
  for (size_t i = 1; i < log.size(); ++i) EXPECT_NE(log[i], log[i - 1]);

  // Storey 72 has no posts: the edges of the tower stop the Hero.
  for (int c = 0; c < TOWER_COLUMNS; ++c) tower.map.cells[72][c] = CellHole;
  solidFloor(tower, 73);
  stage = standingOn(100, 73);
  frames(stage, 200);
  EXPECT_EQ(stage.hero.x, 16 * 19 + 8);
  releaseKey(game, SC_RIGHT);
  pressKey(game, SC_LEFT, "");
  frames(stage, 200);
  EXPECT_EQ(stage.hero.x, 8);
}

TEST_F(HeroTest, AcrossTwoCellsTheHeroDropsOnlyOverTwoHoles) {
  solidFloor(tower, 10);
  tower.map.cells[10][9] = CellHole;
  for (int x : {160, 146}) {  // across columns 9 and 10, then 8 and 9
    StageTwoRecord stage = standingOn(x, 10);
    frames(stage, 1);
    EXPECT_EQ(stage.hero.state, HeroState::Walking) << x;
  }
  StageTwoRecord stage = standingOn(152, 10);  // over column 9 alone
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Falling);
  tower.map.cells[10][10] = CellHole;
  stage = standingOn(160, 10);
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Falling);
}

TEST_F(HeroTest, AStompKnocksTheBlockOutInTheFirstFrameAndBreaksTheCrackInTheFifth) {
  solidFloor(tower, 10);
  solidFloor(tower, 11);
  tower.map.cells[10][6] = CellFloor | CellLoose | CellCracked;
  StageTwoRecord stage = standingOn(6 * 16 + 8, 10);
  pressKey(game, SC_SPACE, " ");
  for (int frame = 1; frame <= 5; ++frame) {
    heroFrame(game, tower, stage);
    updateFallingBlocks(game, tower, stage);
    EXPECT_EQ(stage.hero.state, frame < 5 ? HeroState::Stomping : HeroState::Walking);
    EXPECT_EQ(stage.hero.shake, frame < 5);
    EXPECT_EQ(stage.blocks[0].active, frame < 5) << "the block bursts on the next floor in frame 5";
    EXPECT_EQ(tower.map.cells[10][6], frame < 5 ? CellFloor | CellCracked : CellHole) << frame;
  }
  bool puff = false;
  for (const Effect& e : game.effectTable.slots) puff |= e.active && e.kind == FxPuff && e.x == 95 && e.y == 318;
  EXPECT_TRUE(puff);
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Falling) << "drops through in the next frame";
  frames(stage, 10);  // landed, Space still held: no second stomp
  EXPECT_EQ(stage.hero.state, HeroState::Walking);
  releaseKey(game, SC_SPACE);
  frames(stage, 1);
  pressKey(game, SC_SPACE, " ");
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Stomping);
  std::vector<std::string> log = sounds();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], "2 2 127");
  EXPECT_EQ(log[1], "1 3 127");
  EXPECT_EQ(log[2], "7 3 255");
}

TEST_F(HeroTest, ZDropsThroughAnyFloorTenPointsAFloorAndTheGroundHolds) {
  solidFloor(tower, 10);
  solidFloor(tower, 13);
  StageTwoRecord stage = standingOn(100, 10);
  game.gameState.highScore = 15;
  queueKeyValue(game, "Z");  // only a lower-case z drops
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Walking);
  queueKeyValue(game, "z");
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Falling);
  frames(stage, 23);
  EXPECT_EQ(stage.hero.state, HeroState::Falling);
  frames(stage, 1);
  EXPECT_EQ(stage.hero.state, HeroState::Walking);
  EXPECT_EQ(stage.hero.y, 32 * 13 - 12);
  EXPECT_EQ(stage.scroll, stage.hero.y - HERO_SCREEN_Y);
  EXPECT_EQ(game.gameState.score, 30);
  EXPECT_EQ(game.gameState.highScore, 30);
  EXPECT_EQ(sounds(), std::vector<std::string>{"7 3 255"});

  // Through the last row onto the ground below it, which z cannot open.
  solidFloor(tower, TOWER_LAST_ROW);
  tower.map.cells[TOWER_LAST_ROW][6] = CellHole;
  stage = standingOn(6 * 16 + 8, TOWER_LAST_ROW);
  frames(stage, 20);
  queueKeyValue(game, "z");
  frames(stage, 20);
  EXPECT_EQ(stage.hero.state, HeroState::Walking);
  EXPECT_EQ(stage.hero.y, 32 * (TOWER_LAST_ROW + 1) - 12);
}

TEST_F(HeroTest, SixHitsPutTheHeroOutAndItBlinksBetweenThem) {
  solidFloor(tower, 10);
  StageTwoRecord stage = standingOn(100, 10);
  for (int hit = 1; hit <= 6; ++hit) {
    stage.hero.hit = true;
    std::string shown;
    for (int frame = 0; frame < (hit < 6 ? 50 : 1); ++frame) {
      heroFrame(game, tower, stage);
      if (frame == 1) stage.hero.hit = true;  // a touch while invulnerable costs nothing
      drawLine(game, nullptr, 0, 0, 319, 239, 0, LineFilledBox);
      drawHero(game, stage.hero, stage.scroll);
      shown += countColour(game, 0x00FFFF) > 0 ? '#' : '.';
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
  pressKey(game, SC_LEFT, "");
  frames(stage, 2);
  EXPECT_TRUE(stage.hero.invulnerable) << "nothing touches a Hero that is out";
  EXPECT_EQ(stage.hero.x, 100);
}

}  // namespace
