// The ship's shot against the UFO's body: the one-pixel body test, the normal
// shot's blast, the drill's holes and the weapon switch.
#include <gtest/gtest.h>

#include "game/game_state.h"
#include "gfx/effects.h"
#include "stage_three/stage_three_internal.h"
#include "support/stage_three_helpers.h"

using namespace stage_three;

namespace {

// A UFO standing still at (160, 60) with a solid body, the commander on top.
struct StandingUfo {
  explicit StandingUfo(Game& played) : game(played) {
    enterStageThree(stage);
    startStageThree(game, stage);
    stage.ufo.shown = true;
    stage.ufo.state = UfoState::Idle;
    stage.ufo.x = 160;
    stage.ufo.y = 60;
    stage.commander.riding = true;
    followCommander(stage);
  }
  ~StandingUfo() { destroyUfoImages(stage); }

  // Fires from (x, 200) and flies the shot until it ends; returns its last y.
  int32_t fly(int32_t x) {
    stage.shot = StageThreeShot{true, x, 200};
    for (int frame = 0; frame < 60 && stage.shot.active; ++frame) {
      clearPage(game);
      drawUfoBody(game, stage);
      updateShot(game, stage);
    }
    return stage.shot.y;
  }
  // Screen y of the body's lowest opaque pixel in screen column x.
  int32_t bodyBottom(int32_t x) {
    int32_t column = x - stage.ufo.x + 68;
    for (int32_t j = UFO_BODY_HEIGHT - 1; j >= 0; --j) {
      if (imageRow(stage.ufoBody.get(), j)[column] == UFO_BODY_COLOUR) return stage.ufo.y - 31 + j;
    }
    return -1000;
  }
  uint32_t bodyPixelUnder(int32_t x, int32_t y) {
    return imageRow(stage.ufoBody.get(), y - (stage.ufo.y - 31))[x - (stage.ufo.x - 68)];
  }

  Game& game;
  SolidSprite ufoShape{game, SprUfo, 16, 8};
  SolidSprite missile{game, SprMissile, 8, 8};
  StageThreeRecord stage;
};

bool soundPlayed(const TestSession& session, int sample, int channel) {
  for (const SoundEvent& e : readSoundLog(session.soundLogPath))
    if (e.sample == sample && e.channel == channel && e.volume == 255) return true;
  return false;
}

}  // namespace

TEST(StageThreeShot, OnlyTheExactBodyValueStopsTheShot) {
  TestSession session("", 1);
  Game& game = session.game;
  StageThreeRecord stage;
  // Look-alikes of the body: the ring colour, the body colour with a top byte.
  for (uint32_t colour : {0x00DDDDDDu, 0xFFDDDDDDu, 0x00DEDEDEu, 0x00DDDDDCu}) {
    clearEffects(game);
    stage.shot = StageThreeShot{true, 100, 130};
    clearPage(game);
    drawLine(game, nullptr, 90, 100, 110, 126, colour, LineFilledBox);
    updateShot(game, stage);
    EXPECT_EQ(stage.shot.active == false, colour == UFO_BODY_COLOUR) << std::hex << colour;
    EXPECT_EQ(game.effectTable.slots[0].active != 0, colour == UFO_BODY_COLOUR);
  }
}

TEST(StageThreeShot, NormalShotBurstsOnTheBodyAndLeavesItWhole) {
  TestSession session("", 1, true);
  Game& game = session.game;
  StandingUfo standing(game);
  const int32_t bottom = standing.bodyBottom(148);
  ASSERT_GT(bottom, 60);
  std::vector<uint32_t> before(imageRow(standing.stage.ufoBody.get(), 0),
                               imageRow(standing.stage.ufoBody.get(), UFO_BODY_HEIGHT));
  int32_t y = standing.fly(148);
  EXPECT_FALSE(standing.stage.shot.active);
  EXPECT_LE(y, bottom);
  EXPECT_GT(y, bottom - 6);
  const Effect& blast = game.effectTable.slots[0];
  EXPECT_TRUE(blast.active);
  EXPECT_EQ(blast.kind, FxBlastShort);
  EXPECT_EQ(std::make_pair(blast.x, blast.y), std::make_pair(148, y));
  EXPECT_TRUE(soundPlayed(session, 3, 3));
  std::vector<uint32_t> after(imageRow(standing.stage.ufoBody.get(), 0),
                              imageRow(standing.stage.ufoBody.get(), UFO_BODY_HEIGHT));
  EXPECT_EQ(before, after);
  EXPECT_EQ(standing.stage.victoryCountdown, 0);
}

TEST(StageThreeShot, DrillCutsHolesThatLaterShotsPassUpToTheCommander) {
  TestSession session("", 1, true);
  Game& game = session.game;
  StandingUfo standing(game);
  standing.stage.drillWeapon = true;
  game.gameState.score = 500;
  const int32_t bottom = standing.bodyBottom(158);
  int32_t y = standing.fly(158);
  EXPECT_LE(y, bottom);
  EXPECT_GT(y, bottom - 6);
  // The hole is centred 3 pixels below where the shot struck; no blast.
  EXPECT_TRUE(isMask(standing.bodyPixelUnder(158, y + 3)));
  EXPECT_FALSE(game.effectTable.slots[0].active);
  EXPECT_TRUE(soundPlayed(session, 2, 2));
  // Each later shot through the same column gets further, until one passes
  // the body and hits the commander above it.
  int32_t previous = y;
  int shots = 1;
  while (standing.stage.victoryCountdown == 0 && shots < 12) {
    standing.stage.beam.active = true;
    y = standing.fly(158);
    ++shots;
    if (standing.stage.victoryCountdown == 0) {
      EXPECT_LT(y, previous);
      previous = y;
    }
  }
  EXPECT_EQ(standing.stage.victoryCountdown, 100);
  EXPECT_GT(shots, 2);
  EXPECT_EQ(game.gameState.score, 1500);
  EXPECT_EQ(game.gameState.highScore, 1500);
  EXPECT_EQ(standing.stage.ufo.state, UfoState::Idle);
  EXPECT_FALSE(standing.stage.beam.active);
}

TEST(StageThreeShot, CommanderIsHitOnlyInsideItsBoxAndOnlyOnce) {
  TestSession session("", 1);
  Game& game = session.game;
  StageThreeRecord stage;
  stage.ufo.shown = true;
  stage.ufo.state = UfoState::Cruising;
  stage.commander = Commander{100, 50, true};
  struct Case {
    int32_t x, y;
    bool hit;
  };
  // The shot moves 6 up before the test, so y + 6 is where it is fired from.
  for (Case c : {Case{85, 34, true}, Case{114, 66, true}, Case{84, 50, false}, Case{115, 50, false},
                 Case{100, 33, false}, Case{100, 67, false}}) {
    clearPage(game);
    stage.victoryCountdown = 0;
    stage.shot = StageThreeShot{true, c.x, c.y + 6};
    updateShot(game, stage);
    EXPECT_EQ(stage.victoryCountdown == 100, c.hit) << c.x << "," << c.y;
  }
  // While the victory countdown runs the commander is not hit again.
  stage.victoryCountdown = 50;
  stage.shot = StageThreeShot{true, 100, 56};
  updateShot(game, stage);
  EXPECT_EQ(stage.victoryCountdown, 50);
  EXPECT_TRUE(stage.shot.active);
}

// A shot in flight keeps its weapon; the drill comes in the first frame
// from 1052 on without a shot.
TEST(StageThreeShot, ShotFiredBeforeTheDrillStaysNormalInTheStage) {
  TestSession session("", 9);
  Game& game = session.game;
  StageThreeRecord stage;
  enterStageThree(stage);
  startStageThree(game, stage);
  int32_t shotEnded = 0;
  int32_t drillFrom = 0;
  for (int32_t t = 1; t <= 1120 && drillFrom == 0; ++t) {
    for (Kamikaze& k : stage.kamikaze) k.active = false;  // nothing to meet but the body
    if (t > 100) stage.ship.invulnerabilityTimer = 60;    // and nothing to stop the ship
    if (t == 1045) pressKey(game, SC_SPACE, " ");
    if (t == 1046) releaseKey(game, SC_SPACE);
    bool flying = stage.shot.active;
    playToEnd(game, stageThreeFrame(game, stage));
    if (t == 1045) {
      ASSERT_TRUE(stage.shot.active);
    }
    if (t == 1052) {
      EXPECT_TRUE(stage.shot.active);
    }
    if (flying && !stage.shot.active) {
      shotEnded = t;
      // Stopped by the body, it burst as a normal shot; or it left the top.
      bool burst = false;
      for (const Effect& e : game.effectTable.slots) burst = burst || (e.active && e.kind == FxBlastShort);
      EXPECT_TRUE(burst || stage.shot.y < -10);
    }
    if (stage.drillWeapon) drillFrom = t;
  }
  EXPECT_GT(shotEnded, 1052);
  EXPECT_EQ(drillFrom, shotEnded);
  destroyUfoImages(stage);
}
