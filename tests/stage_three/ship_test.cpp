// The ship and what can hurt it: kamikaze aliens, the beam, the hit rule, and
// the countdowns that end the stage.
#include <gtest/gtest.h>

#include "gfx/effects.h"
#include "game/game_state.h"
#include "stage_three/huge_ufo.h"
#include "stage_three/stage_three_flow.h"
#include "stage_three/stage_three_play.h"
#include "stage_three_helpers.h"

namespace {

// The ship's part of a frame in the stage's order.
void shipFrame(StageThreeState& s) {
  updateShip(s);
  updateShot(s);
  updateKamikazes(s);
  if (s.ship.invulnerabilityTimer > 0) s.ship.invulnerabilityTimer -= 1;
}

}  // namespace

TEST(StageThreeKamikaze, FallsFasterWithAgeAndLeavesBelowTheScreen) {
  TestSession session("", 1);
  StageThreeState s;
  s.ship.state = SHIP_DESTROYED;
  launchKamikaze(s, 100, 0);
  std::vector<int32_t> steps;
  int32_t y = 0;
  while (s.kamikaze[0].active) {
    updateKamikazes(s);
    steps.push_back(s.kamikaze[0].y - y);
    y = s.kamikaze[0].y;
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
  StageThreeState s;
  for (int i = 0; i < KAMIKAZE_SLOTS; ++i) launchKamikaze(s, i, 0);
  launchKamikaze(s, 999, 0);
  for (const Kamikaze& k : s.kamikaze) EXPECT_NE(k.x, 999);
  s.kamikaze[40].active = FLAG_CLEAR;
  s.kamikaze[7].active = FLAG_CLEAR;
  launchKamikaze(s, 500, 9);
  EXPECT_EQ(std::make_pair(s.kamikaze[7].x, s.kamikaze[7].y), std::make_pair(500, 9));
  EXPECT_EQ(s.kamikaze[7].age, 0);
  EXPECT_FALSE(s.kamikaze[40].active);
}

TEST(StageThreeKamikaze, OneShotDestroysEveryAlienWhoseBoxHoldsIt) {
  TestSession session("", 1, true);
  StageThreeState s;
  gameState.highScore = 1000;
  gameState.score = 995;
  // The shot ends at (100, 100). Boxes reach x - 9 ... x + 8 and y - 10 ... y + 10.
  launchKamikaze(s, 109, 110);  // left and bottom corner of its box
  launchKamikaze(s, 92, 90);    // right and top corner
  launchKamikaze(s, 100, 100);
  launchKamikaze(s, 110, 100);  // one pixel too far right of the shot
  launchKamikaze(s, 91, 100);   // one pixel too far left
  launchKamikaze(s, 100, 111);  // one pixel too low
  s.shot = StageThreeShot{FLAG_SET, 100, 106};
  clearPage();
  updateShot(s);
  EXPECT_FALSE(s.shot.active);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(s.kamikaze[i].active == FLAG_CLEAR, i < 3) << i;
  EXPECT_EQ(gameState.score, 1025);
  EXPECT_EQ(gameState.highScore, 1025);
  int blasts = 0;
  for (const Effect& e : effectTable.slots) blasts += e.active && e.kind == FxBlastShort;
  EXPECT_EQ(blasts, 3);
  EXPECT_EQ(std::make_pair(effectTable.slots[1].x, effectTable.slots[1].y), std::make_pair(92, 90));
  int sounds = 0;
  for (const SoundEvent& e : readSoundLog(session.soundLogPath)) sounds += e.sample == 3 && e.channel == 3;
  EXPECT_EQ(sounds, 3);
}

TEST(StageThreeShip, InvulnerableForAHundredFramesThenFiftyAfterEachHit) {
  TestSession session("", 1, true);
  StageThreeState s;
  std::vector<int32_t> hitFrames;
  for (int32_t frame = 1; frame <= 400 && s.ship.state != SHIP_DESTROYED; ++frame) {
    // An alien stands right on the ship every frame; while it cannot hurt
    // the ship it passes through.
    if (frame > 1) {
      for (Kamikaze& k : s.kamikaze) k.active = FLAG_CLEAR;
      launchKamikaze(s, s.ship.x, s.ship.y - 1);
    }
    int32_t reserve = s.ship.reserveShips;
    shipFrame(s);
    if (s.ship.reserveShips < reserve) hitFrames.push_back(frame);
  }
  // Set up in frame 1 with 100: the first hit can come in frame 101, then
  // every 50 frames; the fourth destroys the ship.
  EXPECT_EQ(hitFrames, (std::vector<int32_t>{101, 151, 201, 251}));
  EXPECT_EQ(s.ship.state, SHIP_DESTROYED);
  EXPECT_EQ(s.ship.reserveShips, -1);
  EXPECT_EQ(s.deathCountdown, 100);
  int sounds = 0;
  for (const SoundEvent& e : readSoundLog(session.soundLogPath)) sounds += e.sample == 2 && e.channel == 2;
  EXPECT_EQ(sounds, 4);
  // A destroyed ship is not hit by aliens: they pass through it.
  s.ship.invulnerabilityTimer = 0;
  launchKamikaze(s, s.ship.x, s.ship.y - 1);
  updateKamikazes(s);
  EXPECT_EQ(s.ship.reserveShips, -1);
}

// The alien strikes when it is within x - 22 ... x + 18 and y - 14 ... y + 10
// of the ship after its move; one pixel further it passes by.
TEST(StageThreeKamikaze, StrikesTheShipInsideItsLopsidedBoxOnly) {
  TestSession session("", 1);
  struct Case {
    int32_t x, y;
    bool hit;
  };
  for (Case c : {Case{78, 210, true}, Case{77, 210, false}, Case{118, 210, true}, Case{119, 210, false},
                 Case{100, 196, true}, Case{100, 195, false}, Case{100, 220, true}, Case{100, 221, false}}) {
    StageThreeState s;
    s.ship = StageThreeShip{100, 210, 3, SHIP_IN_PLAY, 0};
    launchKamikaze(s, c.x, c.y - 1);  // it falls 1 in its first frame
    updateKamikazes(s);
    EXPECT_EQ(s.ship.reserveShips == 2, c.hit) << c.x << "," << c.y;
    EXPECT_EQ(s.kamikaze[0].active == FLAG_CLEAR, c.hit) << c.x << "," << c.y;
  }
}

TEST(StageThreeShip, MovesInFoursBetween16And304AndFiresOncePerPress) {
  TestSession session("", 1);
  StageThreeState s;
  for (int frame = 0; frame < 16; ++frame) updateShip(s);
  ASSERT_EQ(s.ship.state, SHIP_IN_PLAY);
  pressKey(SC_LEFT, keyWithoutCharacter());
  for (int frame = 0; frame < 20; ++frame) updateShip(s);
  EXPECT_EQ(s.ship.x, 16);
  pressKey(SC_RIGHT, keyWithoutCharacter());  // both held: left then right
  updateShip(s);
  EXPECT_EQ(s.ship.x, 20);
  releaseKey(SC_LEFT);
  for (int frame = 0; frame < 100; ++frame) updateShip(s);
  EXPECT_EQ(s.ship.x, 304);
  releaseKey(SC_RIGHT);
  pressKey(SC_SPACE, " ");
  updateShip(s);
  EXPECT_EQ(s.shot.active, FLAG_SET);
  EXPECT_EQ(std::make_pair(s.shot.x, s.shot.y), std::make_pair(302, 200));
  s.shot.active = FLAG_CLEAR;
  updateShip(s);  // still held: no second shot
  EXPECT_FALSE(s.shot.active);
  releaseKey(SC_SPACE);
  updateShip(s);
  pressKey(SC_SPACE, " ");
  updateShip(s);
  EXPECT_TRUE(s.shot.active);
  releaseKey(SC_SPACE);
}

TEST(StageThreeBeam, HitsByXAloneWhileTheShipIsNotInvulnerable) {
  TestSession session("", 1);
  struct Case {
    int32_t shipX;
    int32_t invulnerable;
    bool hit;
  };
  for (Case c : {Case{50, 0, true}, Case{49, 0, false}, Case{152, 0, true}, Case{153, 0, false},
                 Case{100, 1, false}}) {
    StageThreeState s;
    s.ship = StageThreeShip{c.shipX, -500, 2, SHIP_IN_PLAY, c.invulnerable};  // y is never looked at
    s.beam = UfoBeam{FLAG_SET, 100, 90, 31};                                 // next frame fires
    updateBeam(s);
    EXPECT_EQ(s.ship.reserveShips == 1, c.hit) << c.shipX;
  }
  // Charging phases do not hurt.
  StageThreeState s;
  s.ship = StageThreeShip{100, 210, 2, SHIP_IN_PLAY, 0};
  s.beam = UfoBeam{FLAG_SET, 100, 90, -1};
  for (int phase = 0; phase < 32; ++phase) updateBeam(s);
  EXPECT_EQ(s.ship.reserveShips, 2);
  // A destroyed ship is hit again and its death countdown starts over.
  s.ship = StageThreeShip{100, 210, -1, SHIP_DESTROYED, 0};
  s.deathCountdown = 40;
  updateBeam(s);
  EXPECT_EQ(s.deathCountdown, 100);
  EXPECT_EQ(s.ship.reserveShips, -2);
}

TEST(StageThreeEnds, CountdownsRunningOutTogetherClearTheStage) {
  TestSession session("", 1);
  struct Case {
    int32_t death, victory, result;
  };
  // The countdown that started first runs out first; together the clear wins.
  for (Case c : {Case{2, 2, STAGE_CLEARED}, Case{2, 3, STAGE_GAME_OVER}, Case{3, 2, STAGE_CLEARED}}) {
    StageThreeState s;
    enterStageThree(s);
    startStageThree(s);
    s.deathCountdown = c.death;
    s.victoryCountdown = c.victory;
    while (s.result == STAGE_RUNNING) stageThreeFrame(s);
    EXPECT_EQ(s.result, c.result) << c.death << "," << c.victory;
    destroyUfoImages(s);
  }
}

TEST(StageThreeEnds, CommanderBurstsTwelveTimesOnTheWayDown) {
  TestSession session("", 1, true);
  StageThreeState s;
  s.commander = Commander{150, 30, FLAG_SET};
  int bursts = 0;
  for (s.victoryCountdown = 100; s.victoryCountdown >= 1; --s.victoryCountdown) {
    clearEffects();
    commanderBurst(s);
    if (!effectTable.slots[0].active) continue;
    ++bursts;
    EXPECT_EQ(s.victoryCountdown % 8, 0);
    EXPECT_EQ(effectTable.slots[0].kind, FxFlash);
    EXPECT_GE(effectTable.slots[0].x, 140);
    EXPECT_LE(effectTable.slots[0].x, 159);
    EXPECT_GE(effectTable.slots[0].y, 25);
    EXPECT_LE(effectTable.slots[0].y, 34);
  }
  EXPECT_EQ(bursts, 12);
}
