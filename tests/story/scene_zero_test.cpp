// Scene 0 frame by frame: the hall, the balloons, the data room, the
// deserter's walk, the alarm flashes and the black gaps between them.
#include <gtest/gtest.h>

#include "shell/harness.h"
#include "story/story_support.h"
#include "support/session.h"

namespace {

constexpr uint32_t SKY = 0x7070C0, GROUND = 0x404040, WHITE = 0xFFFFFF, CYAN = 0x00FFFF, RED = 0xFF0000;

class SceneZero : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    TestSession session("", 1, /*withSound=*/true);
    run = new SceneRun(playScene(0, {1, 19, 20, 50, 51, 130, 131, 271, 691, 769, 770, 800, 801, 860, 861, 879,
                                     880, 1300, 1301, 1302, 1349, 1350, 1400, 1401, 1445, 1446, 1470, 1471,
                                     1655, 1656, 1660}));
    ms = virtualMs();
    sounds = readSoundLog(session.soundLogPath);
  }
  static void TearDownTestSuite() {
    delete run;
    run = nullptr;
  }
  static const Picture& at(int t) { return run->pictures.at(t); }
  static SceneRun* run;
  static int64_t ms;
  static std::vector<SoundEvent> sounds;
};
SceneRun* SceneZero::run = nullptr;
int64_t SceneZero::ms = 0;
std::vector<SoundEvent> SceneZero::sounds;

TEST_F(SceneZero, Lasts1660FramesOf30Ms) {
  EXPECT_EQ(run->frames, 1660);
  EXPECT_EQ(ms, 1660 * 30);
}

// The log counts the frames presented before the call, so a siren in frame
// t shows as t - 1.
TEST_F(SceneZero, SirenSoundsWithEachOfTheFourAlarms) {
  const std::vector<SoundEvent> expected = {{1399, 8, 8, 255}, {1444, 8, 8, 0}, {1469, 8, 8, 255},
                                            {1514, 8, 8, 0},   {1539, 8, 8, 255}, {1584, 8, 8, 0},
                                            {1609, 8, 8, 255}, {1654, 8, 8, 0}};
  EXPECT_EQ(sounds, expected);
}

TEST_F(SceneZero, BlackFramesBetweenThePictures) {
  for (int t : {1, 19, 770, 800, 861, 879, 1350, 1400, 1446, 1470, 1656, 1660})
    EXPECT_EQ(countOther(at(t), 0, 0, 319, 239, 0x000000), 0) << "t = " << t;
}

TEST_F(SceneZero, TheHallShowsSkyGroundAndTheSoldiersOnTheirBoxes) {
  for (int t : {20, 769}) {
    const Picture& p = at(t);
    EXPECT_EQ(p.at(0, 0), SKY);
    EXPECT_EQ(p.at(5, 150), SKY);
    EXPECT_EQ(p.at(5, 151), GROUND);
    EXPECT_EQ(p.at(319, 239), GROUND);
    // Each soldier's box in its colour, the left end reaching beyond the shape.
    EXPECT_EQ(p.at(132, 203), 0xC02020);
    EXPECT_EQ(p.at(178, 198), 0xFF7F00);
    EXPECT_EQ(p.at(253, 203), 0x00C000);
    EXPECT_EQ(p.at(299, 198), 0xC02020);
    EXPECT_EQ(p.at(62, 183), CYAN);
  }
}

TEST_F(SceneZero, CommanderBalloonShowsFrom51To130) {
  EXPECT_EQ(at(50).at(70, 10), SKY);
  EXPECT_EQ(at(131).at(70, 10), SKY);
  for (int t : {51, 130}) {
    const Picture& p = at(t);
    EXPECT_EQ(p.at(70, 10), WHITE);
    EXPECT_EQ(p.at(300, 54), WHITE);
    EXPECT_EQ(p.at(69, 10), SKY);
    EXPECT_EQ(p.at(301, 54), SKY);
    EXPECT_EQ(p.at(70, 9), SKY);
    // The tail hangs below the box around (200, 60) in white.
    EXPECT_GT(countOf(p, 190, 55, 210, 65, WHITE), 0);
    // Two lines of black lettering inside.
    EXPECT_GT(countOf(p, 80, 20, 80 + 8 * 26 - 1, 27, 0x000000), 0);
    EXPECT_GT(countOf(p, 80, 40, 80 + 8 * 19 - 1, 47, 0x000000), 0);
  }
}

TEST_F(SceneZero, SoldierAndChorusBalloons) {
  const Picture& soldier = at(271);
  EXPECT_EQ(soldier.at(10, 100), WHITE);
  EXPECT_EQ(soldier.at(10, 144), WHITE);
  EXPECT_EQ(soldier.at(9, 144), SKY);
  EXPECT_EQ(soldier.at(10, 145), SKY);
  EXPECT_GT(countOf(soldier, 20, 110, 20 + 8 * 10 - 1, 117, 0x000000), 0);

  const Picture& chorus = at(691);
  EXPECT_EQ(chorus.at(120, 110), WHITE);
  EXPECT_EQ(chorus.at(310, 154), WHITE);
  EXPECT_EQ(chorus.at(311, 110), SKY);
  EXPECT_EQ(chorus.at(119, 154), GROUND);
  // Four tails below the box.
  for (int x : {140, 190, 240, 290}) EXPECT_GT(countOf(chorus, x - 9, 155, x + 9, 165, WHITE), 0) << x;
}

TEST_F(SceneZero, NarratorLineStandsAloneOnBlack) {
  for (int t : {801, 860}) {
    const Picture& p = at(t);
    // Only the lettering (black on its outline) around (70, 120).
    EXPECT_GT(countOther(p, 69, 119, 70 + 8 * 20, 128, 0x000000), 0);
    EXPECT_EQ(countOther(p, 0, 0, 319, 117, 0x000000), 0);
    EXPECT_EQ(countOther(p, 0, 130, 319, 239, 0x000000), 0);
  }
}

TEST_F(SceneZero, DataRoomWallsDoorAndFloorLines) {
  const Picture& p = at(880);
  EXPECT_EQ(p.at(0, 180), SKY);
  EXPECT_EQ(p.at(0, 181), GROUND);
  EXPECT_EQ(p.at(80, 100), 0x404040);   // the cabinet's outline
  EXPECT_EQ(p.at(81, 100), 0x202020);   // its inside
  EXPECT_EQ(p.at(150, 30), 0x404040);   // the middle line
  EXPECT_EQ(p.at(140, 210), 0x000000);  // floor lines
  EXPECT_EQ(p.at(141, 210), GROUND);
  EXPECT_EQ(p.at(240, 230), 0x000000);
  EXPECT_EQ(p.at(200, 186), CYAN);  // the soldier's box at (200, 180)
}

TEST_F(SceneZero, TheDeserterIsDrawnBeforeHeMovesEachFrame) {
  // The walk starts in frame 1301 after the picture is drawn; in frame 1349
  // the soldier shows at (152, 132) and the position reaches (151, 131).
  const Bounds start = boundsOf(at(880), CYAN, 70);
  ASSERT_TRUE(start.found);
  const Bounds first = boundsOf(at(1301), CYAN, 70);
  const Bounds second = boundsOf(at(1302), CYAN, 70);
  const Bounds last = boundsOf(at(1349), CYAN, 70);
  EXPECT_EQ(first.x1, start.x1);
  EXPECT_EQ(first.y1, start.y1);
  EXPECT_EQ(second.y1, start.y1 - 1);  // columns move in steps of two
  EXPECT_EQ(second.y2, start.y2 - 1);
  EXPECT_EQ(last.x1, start.x1 - 48);
  EXPECT_EQ(last.y1, start.y1 - 48);
  EXPECT_EQ(last.x2, start.x2 - 48);
  EXPECT_EQ(last.y2, start.y2 - 48);
}

TEST_F(SceneZero, AlarmFlashesFortyFiveFramesOnTwentyFiveOff) {
  for (int t : {1401, 1445, 1471, 1655}) {
    const Picture& p = at(t);
    EXPECT_EQ(p.at(0, 60), RED) << t;
    EXPECT_EQ(p.at(319, 160), RED) << t;
    EXPECT_EQ(p.at(0, 59), 0x000000u) << t;
    EXPECT_EQ(p.at(0, 161), 0x000000u) << t;
    EXPECT_GT(countOf(p, 60, 85, 60 + 8 * 26 - 1, 92, 0x000000), 0) << t;
    EXPECT_GT(countOf(p, 60, 135, 60 + 8 * 26 - 1, 142, 0x000000), 0) << t;
  }
}

}  // namespace
