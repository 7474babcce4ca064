// Scene 1: the hangar picture, the ceiling and floor, the figure's walk and
// turns (with the scale through zero), and the hangar sliding away.
#include <gtest/gtest.h>

#include "gfx/sprites.h"
#include "shell/harness.h"
#include "story/story_support.h"
#include "support/session.h"

namespace {

constexpr uint32_t ORANGE = 0xFF8000, DARK = 0x202020, LIGHT = 0xDDDDDD, CYAN = 0x00FFFF;

class SceneOne : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    {
      TestSession session("", 1, /*withSound=*/true);
      run = new SceneRun(playScene(1, {1, 50, 60, 89, 97, 98, 99, 110, 138, 150, 169, 170, 179, 180, 189, 190,
                                       200, 210}));
      ms = virtualMs();
      sounds = readSoundLog(session.soundLogPath);
    }
    // The same scene with the small alien's cell emptied: the figure is then
    // only the eye that the look sets and the sheet's fixed white pixel.
    TestSession bare;
    for (int y = 0; y < 8; y++)
      for (int x = 8; x < 16; x++) imageRow(spriteTable.sheet, y)[x] = 0xFFFF00FF;
    imageRow(spriteTable.sheet, 3)[12] = 0xFFFFFFFF;
    eyes = new SceneRun(playScene(1, {60, 110, 150}));
  }
  static void TearDownTestSuite() {
    delete run;
    delete eyes;
    run = eyes = nullptr;
  }
  static const Picture& at(int t) { return run->pictures.at(t); }
  static SceneRun* run;
  static SceneRun* eyes;
  static int64_t ms;
  static std::vector<SoundEvent> sounds;
};
SceneRun* SceneOne::run = nullptr;
SceneRun* SceneOne::eyes = nullptr;
int64_t SceneOne::ms = 0;
std::vector<SoundEvent> SceneOne::sounds;

TEST_F(SceneOne, Lasts210FramesWithTheSirenFromTakeOff) {
  EXPECT_EQ(run->frames, 210);
  EXPECT_EQ(ms, 210 * 30);
  const std::vector<SoundEvent> expected = {{167, 8, 8, 255}, {209, 8, 8, 0}};
  EXPECT_EQ(sounds, expected);
}

TEST_F(SceneOne, CeilingWithItsOpeningAndTheFloor) {
  for (int t : {1, 110, 210}) {
    const Picture& p = at(t);
    EXPECT_EQ(p.at(0, 0), ORANGE);
    EXPECT_EQ(p.at(110, 2), ORANGE);
    EXPECT_NE(p.at(111, 2), ORANGE);
    EXPECT_NE(p.at(149, 0), ORANGE);
    EXPECT_EQ(p.at(150, 2), ORANGE);
    EXPECT_NE(p.at(5, 3), ORANGE);
    EXPECT_NE(p.at(5, 214), ORANGE);
    EXPECT_EQ(p.at(0, 215), ORANGE);
    EXPECT_EQ(p.at(319, 239), ORANGE);
  }
}

TEST_F(SceneOne, ShowsTheRightHalfOfTheHangarAtFirst) {
  const Picture& p = at(1);
  EXPECT_EQ(p.at(111, 2), DARK);     // hangar (431, 2): wall
  EXPECT_EQ(p.at(100, 140), LIGHT);  // hangar (420, 140): the dock
  EXPECT_EQ(p.at(200, 140), LIGHT);  // hangar (520, 140)
  EXPECT_EQ(p.at(201, 140), 0x000000u);  // hangar (521, 140): the dark opening
  EXPECT_EQ(p.at(281, 140), 0x000000u);  // hangar (601, 140)
  EXPECT_EQ(p.at(130, 68), 0x000000u);   // the top line of the hatch
}

TEST_F(SceneOne, HangarSlidesRightEverFaster) {
  // The left edge of the dark opening, at hangar x 521, seen on the screen.
  struct Step {
    int t, offset;
  };
  for (Step step : {Step{169, -320}, Step{170, -318}, Step{179, -300}, Step{180, -296}, Step{189, -260},
                    Step{190, -252}}) {
    const Picture& p = at(step.t);
    const int edge = 521 + step.offset;
    EXPECT_EQ(p.at(edge - 1, 140), LIGHT) << "t = " << step.t;
    EXPECT_EQ(p.at(edge, 140), 0x000000u) << "t = " << step.t;
  }
  // At t = 200 the offset is -164: the hatch's top line, hangar x 437 to 478.
  EXPECT_EQ(at(200).at(273, 68), 0x000000u);
  EXPECT_EQ(at(200).at(314, 68), 0x000000u);
  EXPECT_NE(at(200).at(272, 68), 0x000000u);
}

TEST_F(SceneOne, FigureDropsWalksAndTurnsThroughZeroWidth) {
  // Centres on the screen: (132, 65) at t = 50, (210, 143) at t = 89.
  const Bounds landed = boundsOf(at(50), CYAN);
  ASSERT_TRUE(landed.found);
  EXPECT_GE(landed.x1, 121);
  EXPECT_LE(landed.x2, 142);
  EXPECT_GE(landed.y1, 55);
  EXPECT_LE(landed.y2, 74);
  const Bounds walked = boundsOf(at(89), CYAN);
  ASSERT_TRUE(walked.found);
  // At t = 89 the squeeze has begun: 1.8 wide, the same height.
  EXPECT_EQ(walked.y1 - landed.y1, 78);
  EXPECT_GE(walked.x1, 200);
  EXPECT_LE(walked.x2, 220);
  // Scale through zero: nothing at the narrowest, then the figure is back.
  EXPECT_FALSE(boundsOf(at(98), CYAN).found);
  EXPECT_FALSE(boundsOf(at(138), CYAN).found);
  EXPECT_TRUE(boundsOf(at(99), CYAN).found);
  const Bounds narrow = boundsOf(at(97), CYAN);
  if (narrow.found) {
    EXPECT_LE(narrow.x2 - narrow.x1, 3);
  }
}

TEST_F(SceneOne, LooksAAndBPutTheEyeOnOppositeSides) {
  // With the alien's own cell empty the figure is the eye (3, 4) or (6, 4)
  // plus the fixed pixel (5, 4); the figure's centre is image x 5.5.
  struct Look {
    int t, centreX;
    bool eyeLeft;
  };
  for (Look look : {Look{60, 152, true}, Look{110, 214, false}, Look{150, 254, true}}) {
    const Bounds b = boundsOf(eyes->pictures.at(look.t), CYAN);
    ASSERT_TRUE(b.found) << look.t;
    if (look.eyeLeft) {
      EXPECT_LT(b.x1, look.centreX - 3) << look.t;
      EXPECT_LE(b.x2, look.centreX + 1) << look.t;
    } else {
      EXPECT_GE(b.x1, look.centreX - 2) << look.t;
      EXPECT_GT(b.x2, look.centreX + 1) << look.t;
    }
  }
}

}  // namespace
