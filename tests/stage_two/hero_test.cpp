// The Hero's rules on hand-built towers.
#include <gtest/gtest.h>

#include "gfx/effects.h"
#include "shell/game_state.h"
#include "shell/harness.h"
#include "shell/platform.h"
#include "stage_two/enemies.h"
#include "stage_two/hero.h"
#include "stage_two/tower_map.h"
#include "support/session.h"
#include "tower_support.h"

namespace {

class HeroTest : public ::testing::Test {
 protected:
  TestSession session{"", 1, true};
  void SetUp() override { fillTower(CellAir); }
  std::vector<std::string> sounds() { return soundsLogged(session.soundLogPath); }
};

TEST_F(HeroTest, LeavesTheLiftInSixtyFramesAndDropsOntoTheTutorialFloor) {
  seedRandom(9);
  buildTower();
  StageTwoPlay play;
  play.hero = newHero();
  for (int frame = 1; frame <= 61; ++frame) heroFrame(play);
  EXPECT_EQ(play.hero.x, 168);
  EXPECT_EQ(play.hero.state, HeroWalking);
  heroFrame(play);  // over the hole in column 10 of row 4
  EXPECT_EQ(play.hero.state, HeroFalling);
  for (int step = 0; step < 8; ++step) heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroWalking);
  EXPECT_EQ(play.hero.y, 32 * 5 - 12);
  EXPECT_EQ(play.hero.storeyRow, 4);
  EXPECT_EQ(play.scroll, 32);
  EXPECT_EQ(gameState.score, 10);
  // The posts of row 4 hold it in column 10 until it stomps through.
  pressKey(SC_LEFT, "");
  for (int frame = 0; frame < 20; ++frame) heroFrame(play);
  EXPECT_EQ(play.hero.x, 168);
}

TEST_F(HeroTest, WallPostsStopTheHeroInTheMiddleOfTheCellBeside) {
  solidFloor(9, {3, 12});
  solidFloor(10);
  StageTwoPlay play = standingOn(100, 10);
  pressKey(SC_LEFT, "");
  for (int frame = 0; frame < 40; ++frame) heroFrame(play);
  EXPECT_EQ(play.hero.x, 16 * 4 + 8);
  releaseKey(SC_LEFT);
  pressKey(SC_RIGHT, "");
  for (int frame = 0; frame < 80; ++frame) heroFrame(play);
  EXPECT_EQ(play.hero.x, 16 * 11 + 8);
  pressKey(SC_LEFT, "");  // both held and free: the steps cancel
  heroFrame(play);
  heroFrame(play);
  EXPECT_EQ(play.hero.x, 16 * 11 + 8 - 2) << "right is blocked, so only left moves";
  releaseKey(SC_RIGHT);
  releaseKey(SC_LEFT);
  // Footsteps every 8 pixels, alternating samples 4 and 5 on channel 0.
  int steps = 0;
  std::string last;
  for (const std::string& s : sounds()) {
    if (s.substr(2) != "0 255") continue;
    EXPECT_NE(s, last);
    last = s;
    ++steps;
  }
  EXPECT_GE(steps, 10);
}

TEST_F(HeroTest, TheEdgesOfAWallLessStoreyStopTheHero) {
  for (int c = 0; c < TOWER_COLUMNS; ++c) towerMap.cells[72][c] = CellHole;
  solidFloor(73);
  StageTwoPlay play = standingOn(100, 73);
  pressKey(SC_LEFT, "");
  for (int frame = 0; frame < 80; ++frame) heroFrame(play);
  EXPECT_EQ(play.hero.x, 8);
  releaseKey(SC_LEFT);
  pressKey(SC_RIGHT, "");
  for (int frame = 0; frame < 200; ++frame) heroFrame(play);
  EXPECT_EQ(play.hero.x, 16 * 19 + 8);
  EXPECT_EQ(play.hero.state, HeroWalking);
}

TEST_F(HeroTest, StandingAcrossTwoCellsDropsOnlyOverTwoHoles) {
  solidFloor(10);
  towerMap.cells[10][9] = CellHole;
  StageTwoPlay play = standingOn(160, 10);  // m = 0: across columns 9 and 10
  heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroWalking);
  play.hero.x = 146;  // m = 2: across columns 8 and 9
  heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroWalking);
  play.hero.x = 152;  // m = 8: over column 9 alone
  heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroFalling);

  solidFloor(10);
  towerMap.cells[10][9] = CellHole;
  towerMap.cells[10][10] = CellHole;
  play = standingOn(160, 10);
  heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroFalling);
}

TEST_F(HeroTest, StompKnocksTheBlockOutFirstAndBreaksTheCrackInTheFifthFrame) {
  solidFloor(10);
  solidFloor(11);
  towerMap.cells[10][6] = CellFloor | CellLoose | CellCracked;
  StageTwoPlay play = standingOn(6 * 16 + 8, 10);
  pressKey(SC_SPACE, " ");
  std::vector<int> states;
  for (int frame = 1; frame <= 5; ++frame) {
    heroFrame(play);
    updateFallingBlocks(play);
    states.push_back(play.hero.state);
    if (frame == 1) {
      EXPECT_EQ(towerMap.cells[10][6], CellFloor | CellCracked) << "the block is out in the first frame";
      EXPECT_TRUE(play.blocks[0].active);
      EXPECT_EQ(play.blocks[0].x, 6 * 16 + 8);
      EXPECT_TRUE(play.hero.shake);
    }
    if (frame < 5) {
      EXPECT_EQ(towerMap.cells[10][6], CellFloor | CellCracked);
      EXPECT_TRUE(play.blocks[0].active);
    }
  }
  EXPECT_EQ(states, (std::vector<int>{3, 3, 3, 3, 2}));
  EXPECT_EQ(towerMap.cells[10][6], CellHole) << "the crack breaks in the fifth frame";
  EXPECT_FALSE(play.blocks[0].active) << "and the block bursts on the next floor in the same frame";
  EXPECT_FALSE(play.hero.shake);
  bool puff = false;
  for (const Effect& e : effectTable.slots)
    puff |= e.active && e.kind == FxPuff && e.x == 6 * 16 - 1 && e.y == 32 * 9 + 30;
  EXPECT_TRUE(puff);
  heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroFalling) << "drops through in the next frame";
  // Space still held: no second stomp after landing.
  for (int frame = 0; frame < 8; ++frame) heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroWalking);
  heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroWalking);
  releaseKey(SC_SPACE);
  heroFrame(play);
  pressKey(SC_SPACE, " ");
  heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroStomping);
  std::vector<std::string> log = sounds();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], "2 2 127");
  EXPECT_EQ(log[1], "1 3 127");
}

TEST_F(HeroTest, ACrackUnderAHeroAcrossTwoCellsDoesNotBreak) {
  solidFloor(10);
  towerMap.cells[10][6] = CellFloor | CellCracked;
  towerMap.cells[10][7] = CellFloor | CellCracked;
  StageTwoPlay play = standingOn(7 * 16, 10);
  pressKey(SC_SPACE, " ");
  for (int frame = 0; frame < 8; ++frame) heroFrame(play);
  EXPECT_EQ(towerMap.cells[10][6], CellFloor | CellCracked);
  EXPECT_EQ(towerMap.cells[10][7], CellFloor | CellCracked);
  EXPECT_EQ(play.hero.state, HeroWalking);
}

TEST_F(HeroTest, ZDropsThroughAnyFloorAndEachFloorPassedScoresTen) {
  solidFloor(10);
  solidFloor(13);
  StageTwoPlay play = standingOn(100, 10);
  gameState.score = 0;
  gameState.highScore = 15;
  queueKeyValue("Z");  // only a lower-case z drops
  heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroWalking);
  queueKeyValue("z");
  heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroFalling);
  int frames = 0;
  while (play.hero.state == HeroFalling && frames < 100) {
    heroFrame(play);
    ++frames;
  }
  EXPECT_EQ(frames, 24);
  EXPECT_EQ(play.hero.y, 32 * 13 - 12);
  EXPECT_EQ(play.scroll, play.hero.y - HERO_SCREEN_Y);
  EXPECT_EQ(gameState.score, 30);
  EXPECT_EQ(gameState.highScore, 30);
  std::vector<std::string> log = sounds();
  EXPECT_EQ(std::count(log.begin(), log.end(), "7 3 255"), 1) << "one landing sound";
}

TEST_F(HeroTest, NothingFallsOutOfTheBottomOfTheTower) {
  solidFloor(TOWER_LAST_ROW);
  towerMap.cells[TOWER_LAST_ROW][6] = CellHole;
  StageTwoPlay play = standingOn(6 * 16 + 8, TOWER_LAST_ROW);
  for (int frame = 0; frame < 20; ++frame) heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroWalking);
  EXPECT_EQ(play.hero.y, 32 * (TOWER_LAST_ROW + 1) - 12) << "lands on the ground below the last row";
  queueKeyValue("z");
  for (int frame = 0; frame < 20; ++frame) heroFrame(play);
  EXPECT_EQ(play.hero.state, HeroWalking) << "z cannot drop through the ground";
  EXPECT_EQ(play.hero.y, 32 * (TOWER_LAST_ROW + 1) - 12);
}

TEST_F(HeroTest, FallingOntoTheGoalClearsTheStageInThatFrame) {
  solidFloor(202);
  towerMap.cells[202][9] = CellHole;
  solidFloor(203);
  towerMap.cells[203][9] = CellGoal | CellFloor;
  StageTwoPlay play = standingOn(9 * 16 + 8, 202);
  heroFrame(play);
  for (int frame = 0; frame < 7; ++frame) heroFrame(play);
  EXPECT_EQ(play.result, StageRunning);
  heroFrame(play);
  EXPECT_EQ(play.result, StageCleared);
  EXPECT_EQ(gameState.score, 10) << "the last floor passed counts";
}

TEST_F(HeroTest, SixHitsPutTheHeroOut) {
  solidFloor(10);
  StageTwoPlay play = standingOn(100, 10);
  for (int hit = 1; hit <= 6; ++hit) {
    play.hero.hit = true;
    heroFrame(play);
    EXPECT_EQ(play.hero.hitPoints, 5 - hit);
    EXPECT_FALSE(play.hero.hit);
    if (hit < 6) {
      EXPECT_TRUE(play.hero.invulnerable);
      play.hero.hit = true;  // a touch while invulnerable costs nothing
      heroFrame(play);
      EXPECT_EQ(play.hero.hitPoints, 5 - hit);
      for (int frame = 0; frame < 47; ++frame) heroFrame(play);
      EXPECT_TRUE(play.hero.invulnerable);
      heroFrame(play);
      EXPECT_FALSE(play.hero.invulnerable) << "fifty frames of invulnerability";
    }
  }
  EXPECT_EQ(play.hero.hitPoints, -1);
  EXPECT_EQ(play.hero.state, HeroOut);
  EXPECT_EQ(play.hero.gameOverCountdown, GAME_OVER_COUNTDOWN);
  int blasts = 0;
  for (const Effect& e : effectTable.slots) blasts += e.active && e.kind == FxBlast;
  EXPECT_GE(blasts, 1);
  heroFrame(play);
  EXPECT_TRUE(play.hero.invulnerable) << "nothing touches a Hero that is out";
  queueKeyValue("z");
  pressKey(SC_LEFT, "");
  int x = play.hero.x;
  heroFrame(play);
  EXPECT_EQ(play.hero.x, x);
}

TEST_F(HeroTest, AnInvulnerableHeroBlinksInFourFrameSteps) {
  solidFloor(10);
  StageTwoPlay play = standingOn(100, 10);
  play.hero.hit = true;
  std::string shown;
  for (int frame = 0; frame < 20; ++frame) {
    heroFrame(play);
    drawLine(nullptr, 0, 0, 319, 239, 0, LineFilledBox);
    drawHero(play.hero, play.scroll);
    shown += countColour(0x00FFFF, 80, 96, 120, 136) > 0 ? '#' : '.';
  }
  EXPECT_EQ(shown, "...####....####....#");
  play.hero.state = HeroOut;
  drawLine(nullptr, 0, 0, 319, 239, 0, LineFilledBox);
  drawHero(play.hero, play.scroll);
  EXPECT_EQ(countColour(0x00FFFF), 0);
}

}  // namespace
