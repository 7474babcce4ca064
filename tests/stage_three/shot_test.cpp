// The ship's shot against the UFO's body: the one-pixel body test, the normal
// shot's blast, the drill's holes and the weapon switch.
#include <gtest/gtest.h>

#include "gfx/effects.h"
#include "game/game_state.h"
#include "stage_three/huge_ufo.h"
#include "stage_three/stage_three_flow.h"
#include "stage_three/stage_three_play.h"
#include "stage_three_helpers.h"

namespace {

// A UFO standing still at (160, 60) with a solid body, the commander on top.
struct StandingUfo {
  StandingUfo() {
    enterStageThree(s);
    startStageThree(s);
    s.ufo.shown = FLAG_SET;
    s.ufo.state = UFO_IDLE;
    s.ufo.x = 160;
    s.ufo.y = 60;
    s.commander.riding = FLAG_SET;
    followCommander(s);
  }
  ~StandingUfo() { destroyUfoImages(s); }

  // Fires from (x, 200) and flies the shot until it ends; returns its last y.
  int32_t fly(int32_t x) {
    s.shot = StageThreeShot{FLAG_SET, x, 200};
    for (int frame = 0; frame < 60 && s.shot.active; ++frame) {
      clearPage();
      drawUfoBody(s);
      updateShot(s);
    }
    return s.shot.y;
  }
  // Screen y of the body's lowest opaque pixel in screen column x.
  int32_t bodyBottom(int32_t x) {
    int32_t column = x - s.ufo.x + 68;
    for (int32_t j = UFO_BODY_HEIGHT - 1; j >= 0; --j) {
      if (imageRow(s.ufoBody, j)[column] == UFO_BODY_COLOUR) return s.ufo.y - 31 + j;
    }
    return -1000;
  }
  uint32_t bodyPixelUnder(int32_t x, int32_t y) {
    return imageRow(s.ufoBody, y - (s.ufo.y - 31))[x - (s.ufo.x - 68)];
  }

  SolidSprite ufoShape{SprUfo, 16, 8};
  SolidSprite missile{SprMissile, 8, 8};
  StageThreeState s;
};

bool soundPlayed(const TestSession& session, int sample, int channel) {
  for (const SoundEvent& e : readSoundLog(session.soundLogPath))
    if (e.sample == sample && e.channel == channel && e.volume == 255) return true;
  return false;
}

}  // namespace

TEST(StageThreeShot, OnlyTheExactBodyValueStopsTheShot) {
  TestSession session("", 1);
  StageThreeState s;
  // Look-alikes of the body: the ring colour, the body colour with a top byte.
  for (uint32_t colour : {0x00DDDDDDu, 0xFFDDDDDDu, 0x00DEDEDEu, 0x00DDDDDCu}) {
    clearEffects();
    s.shot = StageThreeShot{FLAG_SET, 100, 130};
    clearPage();
    drawLine(nullptr, 90, 100, 110, 126, colour, LineFilledBox);
    updateShot(s);
    EXPECT_EQ(s.shot.active == FLAG_CLEAR, colour == UFO_BODY_COLOUR) << std::hex << colour;
    EXPECT_EQ(effectTable.slots[0].active != 0, colour == UFO_BODY_COLOUR);
  }
}

TEST(StageThreeShot, NormalShotBurstsOnTheBodyAndLeavesItWhole) {
  TestSession session("", 1, true);
  StandingUfo field;
  const int32_t bottom = field.bodyBottom(148);
  ASSERT_GT(bottom, 60);
  std::vector<uint32_t> before(imageRow(field.s.ufoBody, 0), imageRow(field.s.ufoBody, UFO_BODY_HEIGHT));
  int32_t y = field.fly(148);
  EXPECT_FALSE(field.s.shot.active);
  EXPECT_LE(y, bottom);
  EXPECT_GT(y, bottom - 6);
  const Effect& blast = effectTable.slots[0];
  EXPECT_TRUE(blast.active);
  EXPECT_EQ(blast.kind, FxBlastShort);
  EXPECT_EQ(std::make_pair(blast.x, blast.y), std::make_pair(148, y));
  EXPECT_TRUE(soundPlayed(session, 3, 3));
  std::vector<uint32_t> after(imageRow(field.s.ufoBody, 0), imageRow(field.s.ufoBody, UFO_BODY_HEIGHT));
  EXPECT_EQ(before, after);
  EXPECT_EQ(field.s.victoryCountdown, 0);
}

TEST(StageThreeShot, DrillCutsHolesThatLaterShotsPassUpToTheCommander) {
  TestSession session("", 1, true);
  StandingUfo field;
  field.s.drillWeapon = FLAG_SET;
  gameState.score = 500;
  const int32_t bottom = field.bodyBottom(158);
  int32_t y = field.fly(158);
  EXPECT_LE(y, bottom);
  EXPECT_GT(y, bottom - 6);
  // The hole is centred 3 pixels below where the shot struck; no blast.
  EXPECT_TRUE(isMask(field.bodyPixelUnder(158, y + 3)));
  EXPECT_FALSE(effectTable.slots[0].active);
  EXPECT_TRUE(soundPlayed(session, 2, 2));
  // Each later shot through the same column gets further, until one passes
  // the body and hits the commander above it.
  int32_t previous = y;
  int shots = 1;
  while (field.s.victoryCountdown == 0 && shots < 12) {
    field.s.beam.active = FLAG_SET;
    y = field.fly(158);
    ++shots;
    if (field.s.victoryCountdown == 0) {
      EXPECT_LT(y, previous);
      previous = y;
    }
  }
  EXPECT_EQ(field.s.victoryCountdown, 100);
  EXPECT_GT(shots, 2);
  EXPECT_EQ(gameState.score, 1500);
  EXPECT_EQ(gameState.highScore, 1500);
  EXPECT_EQ(field.s.ufo.state, UFO_IDLE);
  EXPECT_FALSE(field.s.beam.active);
}

TEST(StageThreeShot, CommanderIsHitOnlyInsideItsBoxAndOnlyOnce) {
  TestSession session("", 1);
  StageThreeState s;
  s.ufo.shown = FLAG_SET;
  s.ufo.state = UFO_CRUISING;
  s.commander = Commander{100, 50, FLAG_SET};
  struct Case {
    int32_t x, y;
    bool hit;
  };
  // The shot moves 6 up before the test, so y + 6 is where it is fired from.
  for (Case c : {Case{85, 34, true}, Case{114, 66, true}, Case{84, 50, false}, Case{115, 50, false},
                 Case{100, 33, false}, Case{100, 67, false}}) {
    clearPage();
    s.victoryCountdown = 0;
    s.shot = StageThreeShot{FLAG_SET, c.x, c.y + 6};
    updateShot(s);
    EXPECT_EQ(s.victoryCountdown == 100, c.hit) << c.x << "," << c.y;
  }
  // While the victory countdown runs the commander is not hit again.
  s.victoryCountdown = 50;
  s.shot = StageThreeShot{FLAG_SET, 100, 56};
  updateShot(s);
  EXPECT_EQ(s.victoryCountdown, 50);
  EXPECT_TRUE(s.shot.active);
}

// A shot in flight keeps its weapon; the drill comes in the first frame
// from 1052 on without a shot.
TEST(StageThreeShot, ShotFiredBeforeTheDrillStaysNormalInTheStage) {
  TestSession session("", 9);
  StageThreeState s;
  enterStageThree(s);
  startStageThree(s);
  int32_t shotEnded = 0;
  int32_t drillFrom = 0;
  for (int32_t t = 1; t <= 1120 && drillFrom == 0; ++t) {
    for (Kamikaze& k : s.kamikaze) k.active = FLAG_CLEAR;  // nothing to meet but the body
    if (t > 100) s.ship.invulnerabilityTimer = 60;          // and nothing to stop the ship
    if (t == 1045) pressKey(SC_SPACE, " ");
    if (t == 1046) releaseKey(SC_SPACE);
    bool flying = s.shot.active;
    stageThreeFrame(s);
    if (t == 1045) {
      ASSERT_TRUE(s.shot.active);
    }
    if (t == 1052) {
      EXPECT_TRUE(s.shot.active);
    }
    if (flying && !s.shot.active) {
      shotEnded = t;
      // Stopped by the body, it burst as a normal shot; or it left the top.
      bool burst = false;
      for (const Effect& e : effectTable.slots) burst = burst || (e.active && e.kind == FxBlastShort);
      EXPECT_TRUE(burst || s.shot.y < -10);
    }
    if (s.drillWeapon) drillFrom = t;
  }
  EXPECT_GT(shotEnded, 1052);
  EXPECT_EQ(drillFrom, shotEnded);
  destroyUfoImages(s);
}
