// The ship and what can hurt it: kamikaze aliens, the beam, the hit rule, and
// the countdowns that end the stage.
#include <gtest/gtest.h>

#include "game/game_state.h"
#include "gfx/effects.h"
#include "stage_three/stage_three_internal.h"
#include "support/stage_three_helpers.h"

using namespace stage_three;

namespace {

// The ship's part of a frame in the stage's order.
void shipFrame(Game& game, StageThreeRecord& stage) {
  updateShip(game, stage);
  updateShot(game, stage);
  updateKamikazes(game, stage);
  if (stage.ship.invulnerabilityTimer > 0) stage.ship.invulnerabilityTimer -= 1;
}

}  // namespace

TEST(StageThreeKamikaze, FallsFasterWithAgeAndLeavesBelowTheScreen) {
  TestSession session("", 1);
  Game& game = session.game;
  StageThreeRecord stage;
  stage.ship.state = ShipState::Destroyed;
  launchKamikaze(stage, 100, 0);
  std::vector<int32_t> steps;
  int32_t y = 0;
  while (stage.kamikaze[0].active) {
    updateKamikazes(game, stage);
    steps.push_back(stage.kamikaze[0].y - y);
    y = stage.kamikaze[0].y;
  }
  for (size_t age = 1; age <= steps.size(); ++age) {
    int32_t expected = age > 50 ? 6 : static_cast<int32_t>((age - 1) / 10 + 1);
    EXPECT_EQ(steps[age - 1], expected) << "age " << age;
  }
  EXPECT_GT(y, 240);
  EXPECT_LE(y - steps.back(), 240);
}

TEST(StageThreeKamikaze, LaunchTakesTheFirstFreeSlotAndIsLostWhenAllAreBusy) {
  TestSession session("", 1);
  StageThreeRecord stage;
  for (int i = 0; i < KAMIKAZE_SLOTS; ++i) launchKamikaze(stage, i, 0);
  launchKamikaze(stage, 999, 0);
  for (const Kamikaze& k : stage.kamikaze) EXPECT_NE(k.x, 999);
  stage.kamikaze[40].active = false;
  stage.kamikaze[7].active = false;
  launchKamikaze(stage, 500, 9);
  EXPECT_EQ(std::make_pair(stage.kamikaze[7].x, stage.kamikaze[7].y), std::make_pair(500, 9));
  EXPECT_EQ(stage.kamikaze[7].age, 0);
  EXPECT_FALSE(stage.kamikaze[40].active);
}

TEST(StageThreeKamikaze, OneShotDestroysEveryAlienWhoseBoxHoldsIt) {
  TestSession session("", 1, true);
  Game& game = session.game;
  StageThreeRecord stage;
  game.gameState.highScore = 1000;
  game.gameState.score = 995;
  // The shot ends at (100, 100). Boxes reach x - 9 ... x + 8 and y - 10 ... y + 10.
  launchKamikaze(stage, 109, 110);  // left and bottom corner of its box
  launchKamikaze(stage, 92, 90);    // right and top corner
  launchKamikaze(stage, 100, 100);
  launchKamikaze(stage, 110, 100);  // one pixel too far right of the shot
  launchKamikaze(stage, 91, 100);   // one pixel too far left
  launchKamikaze(stage, 100, 111);  // one pixel too low
  stage.shot = StageThreeShot{true, 100, 106};
  clearPage(game);
  updateShot(game, stage);
  EXPECT_FALSE(stage.shot.active);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(stage.kamikaze[i].active == false, i < 3) << i;
  EXPECT_EQ(game.gameState.score, 1025);
  EXPECT_EQ(game.gameState.highScore, 1025);
  int blasts = 0;
  for (const Effect& e : game.effectTable.slots) blasts += e.active && e.kind == FxBlastShort;
  EXPECT_EQ(blasts, 3);
  EXPECT_EQ(std::make_pair(game.effectTable.slots[1].x, game.effectTable.slots[1].y), std::make_pair(92, 90));
  int sounds = 0;
  for (const SoundEvent& e : readSoundLog(session.soundLogPath)) sounds += e.sample == 3 && e.channel == 3;
  EXPECT_EQ(sounds, 3);
}

TEST(StageThreeShip, InvulnerableForAHundredFramesThenFiftyAfterEachHit) {
  TestSession session("", 1, true);
  Game& game = session.game;
  StageThreeRecord stage;
  std::vector<int32_t> hitFrames;
  for (int32_t frame = 1; frame <= 400 && stage.ship.state != ShipState::Destroyed; ++frame) {
    // An alien stands right on the ship every frame; while it cannot hurt
    // the ship it passes through.
    if (frame > 1) {
      for (Kamikaze& k : stage.kamikaze) k.active = false;
      launchKamikaze(stage, stage.ship.x, stage.ship.y - 1);
    }
    int32_t reserve = stage.ship.reserveShips;
    shipFrame(game, stage);
    if (stage.ship.reserveShips < reserve) hitFrames.push_back(frame);
  }
  // Set up in frame 1 with 100: the first hit can come in frame 101, then
  // every 50 frames; the fourth destroys the ship.
  EXPECT_EQ(hitFrames, (std::vector<int32_t>{101, 151, 201, 251}));
  EXPECT_EQ(stage.ship.state, ShipState::Destroyed);
  EXPECT_EQ(stage.ship.reserveShips, -1);
  EXPECT_EQ(stage.deathCountdown, 100);
  int sounds = 0;
  for (const SoundEvent& e : readSoundLog(session.soundLogPath)) sounds += e.sample == 2 && e.channel == 2;
  EXPECT_EQ(sounds, 4);
  // A destroyed ship is not hit by aliens: they pass through it.
  stage.ship.invulnerabilityTimer = 0;
  launchKamikaze(stage, stage.ship.x, stage.ship.y - 1);
  updateKamikazes(game, stage);
  EXPECT_EQ(stage.ship.reserveShips, -1);
}

// The alien strikes when it is within x - 22 ... x + 18 and y - 14 ... y + 10
// of the ship after its move; one pixel further it passes by.
TEST(StageThreeKamikaze, StrikesTheShipInsideItsLopsidedBoxOnly) {
  TestSession session("", 1);
  Game& game = session.game;
  struct Case {
    int32_t x, y;
    bool hit;
  };
  for (Case c : {Case{78, 210, true}, Case{77, 210, false}, Case{118, 210, true}, Case{119, 210, false},
                 Case{100, 196, true}, Case{100, 195, false}, Case{100, 220, true}, Case{100, 221, false}}) {
    StageThreeRecord stage;
    stage.ship = StageThreeShip{100, 210, 3, ShipState::InPlay, 0};
    launchKamikaze(stage, c.x, c.y - 1);  // it falls 1 in its first frame
    updateKamikazes(game, stage);
    EXPECT_EQ(stage.ship.reserveShips == 2, c.hit) << c.x << "," << c.y;
    EXPECT_EQ(stage.kamikaze[0].active == false, c.hit) << c.x << "," << c.y;
  }
}

TEST(StageThreeShip, MovesInFoursBetween16And304AndFiresOncePerPress) {
  TestSession session("", 1);
  Game& game = session.game;
  StageThreeRecord stage;
  for (int frame = 0; frame < 16; ++frame) updateShip(game, stage);
  ASSERT_EQ(stage.ship.state, ShipState::InPlay);
  pressKey(game, SC_LEFT, keyWithoutCharacter());
  for (int frame = 0; frame < 20; ++frame) updateShip(game, stage);
  EXPECT_EQ(stage.ship.x, 16);
  pressKey(game, SC_RIGHT, keyWithoutCharacter());  // both held: left then right
  updateShip(game, stage);
  EXPECT_EQ(stage.ship.x, 20);
  releaseKey(game, SC_LEFT);
  for (int frame = 0; frame < 100; ++frame) updateShip(game, stage);
  EXPECT_EQ(stage.ship.x, 304);
  releaseKey(game, SC_RIGHT);
  pressKey(game, SC_SPACE, " ");
  updateShip(game, stage);
  EXPECT_EQ(stage.shot.active, true);
  EXPECT_EQ(std::make_pair(stage.shot.x, stage.shot.y), std::make_pair(302, 200));
  stage.shot.active = false;
  updateShip(game, stage);  // still held: no second shot
  EXPECT_FALSE(stage.shot.active);
  releaseKey(game, SC_SPACE);
  updateShip(game, stage);
  pressKey(game, SC_SPACE, " ");
  updateShip(game, stage);
  EXPECT_TRUE(stage.shot.active);
  releaseKey(game, SC_SPACE);
}

TEST(StageThreeBeam, HitsByXAloneWhileTheShipIsNotInvulnerable) {
  TestSession session("", 1);
  Game& game = session.game;
  struct Case {
    int32_t shipX;
    int32_t invulnerable;
    bool hit;
  };
  for (Case c : {Case{50, 0, true}, Case{49, 0, false}, Case{152, 0, true}, Case{153, 0, false}, Case{100, 1, false}}) {
    StageThreeRecord stage;
    stage.ship = StageThreeShip{c.shipX, -500, 2, ShipState::InPlay, c.invulnerable};  // y is never looked at
    stage.beam = UfoBeam{true, 100, 90, 31};                                           // next frame fires
    updateBeam(game, stage);
    EXPECT_EQ(stage.ship.reserveShips == 1, c.hit) << c.shipX;
  }
  // Charging phases do not hurt.
  StageThreeRecord stage;
  stage.ship = StageThreeShip{100, 210, 2, ShipState::InPlay, 0};
  stage.beam = UfoBeam{true, 100, 90, -1};
  for (int phase = 0; phase < 32; ++phase) updateBeam(game, stage);
  EXPECT_EQ(stage.ship.reserveShips, 2);
  // A destroyed ship is hit again and its death countdown starts over.
  stage.ship = StageThreeShip{100, 210, -1, ShipState::Destroyed, 0};
  stage.deathCountdown = 40;
  updateBeam(game, stage);
  EXPECT_EQ(stage.deathCountdown, 100);
  EXPECT_EQ(stage.ship.reserveShips, -2);
}

TEST(StageThreeEnds, CountdownsRunningOutTogetherClearTheStage) {
  TestSession session("", 1);
  Game& game = session.game;
  struct Case {
    int32_t death, victory;
    StageResult result;
  };
  // The countdown that started first runs out first; together the clear wins.
  for (Case c :
       {Case{2, 2, StageResult::Cleared}, Case{2, 3, StageResult::GameOver}, Case{3, 2, StageResult::Cleared}}) {
    StageThreeRecord stage;
    enterStageThree(stage);
    startStageThree(game, stage);
    stage.deathCountdown = c.death;
    stage.victoryCountdown = c.victory;
    while (stage.result == StageResult::Running) playToEnd(game, stageThreeFrame(game, stage));
    EXPECT_EQ(stage.result, c.result) << c.death << "," << c.victory;
    destroyUfoImages(stage);
  }
}

TEST(StageThreeEnds, CommanderBurstsTwelveTimesOnTheWayDown) {
  TestSession session("", 1, true);
  Game& game = session.game;
  StageThreeRecord stage;
  stage.commander = Commander{150, 30, true};
  int bursts = 0;
  for (stage.victoryCountdown = 100; stage.victoryCountdown >= 1; --stage.victoryCountdown) {
    clearEffects(game);
    commanderBurst(game, stage);
    if (!game.effectTable.slots[0].active) continue;
    ++bursts;
    EXPECT_EQ(stage.victoryCountdown % 8, 0);
    EXPECT_EQ(game.effectTable.slots[0].kind, FxFlash);
    EXPECT_GE(game.effectTable.slots[0].x, 140);
    EXPECT_LE(game.effectTable.slots[0].x, 159);
    EXPECT_GE(game.effectTable.slots[0].y, 25);
    EXPECT_LE(game.effectTable.slots[0].y, 34);
  }
  EXPECT_EQ(bursts, 12);
}
