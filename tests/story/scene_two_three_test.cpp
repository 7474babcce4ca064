// Scenes 2 and 3: the sky bands, the landing saucer and its balloon, and the
// ending's still picture.
#include <gtest/gtest.h>

#include "shell/harness.h"
#include "story/story_support.h"
#include "support/session.h"

namespace {

constexpr uint32_t WHITE = 0xFFFFFF, YELLOW = 0xFFFF00, CYAN = 0x00FFFF;

uint32_t duskBand(int i) { return static_cast<uint32_t>((2 * i) << 16 | (21 + 7 * i) << 8 | (46 + 6 * i)); }
uint32_t dayBand(int i) { return static_cast<uint32_t>(30 << 16 | (180 - 7 * i) << 8 | 235); }

TEST(SceneTwo, SaucerFliesInLandsTalksAndSinks) {
  TestSession session("", 1, /*withSound=*/true);
  SceneRun run = playScene(2, {1, 2, 40, 60, 61, 150, 151, 171, 260, 290, 319, 320, 350, 351, 410, 411, 451});
  ASSERT_EQ(run.frames, 451);
  EXPECT_EQ(virtualMs(), 451 * 30);
  EXPECT_TRUE(readSoundLog(session.soundLogPath).empty());
  auto at = [&](int t) -> const Picture& { return run.pictures.at(t); };

  // Sky bands top to bottom, ten rows each, and the ship at (48, 225).
  for (int t : {1, 319}) {
    EXPECT_EQ(at(t).at(5, 0), 0x00152Eu);
    EXPECT_EQ(at(t).at(5, 9), duskBand(0));
    EXPECT_EQ(at(t).at(5, 10), duskBand(1));
    EXPECT_EQ(at(t).at(319, 239), 0x2EB6B8u);
    const Bounds ship = boundsOf(at(t), YELLOW);
    ASSERT_TRUE(ship.found);
    EXPECT_GE(ship.x1, 29);
    EXPECT_LE(ship.x2, 66);
    EXPECT_GE(ship.y1, 215);
    EXPECT_LE(ship.y2, 234);
  }
  // The saucer arrives at (124, 90) and lands at (124, 170).
  struct Spot {
    int t, x, y;
  };
  for (Spot spot : {Spot{40, 124, 90}, Spot{60, 124, 170}, Spot{151, 124, 170}}) {
    const Bounds ufo = boundsOf(at(spot.t), WHITE, spot.y - 10);
    ASSERT_TRUE(ufo.found) << spot.t;
    EXPECT_GE(ufo.x1, spot.x - 19) << spot.t;
    EXPECT_LE(ufo.x2, spot.x + 18) << spot.t;
    EXPECT_LE(ufo.y2, spot.y + 9) << spot.t;
  }
  // Sinking: gone below the screen by t = 291.
  EXPECT_EQ(countOf(at(290), 0, 0, 319, 239, WHITE), 0);
  EXPECT_EQ(countOf(at(319), 0, 0, 319, 239, WHITE), 0);

  // The balloon from 61 to 150 and from 171 to 260, box before tail.
  for (int t : {61, 150, 171, 260}) {
    EXPECT_EQ(at(t).at(10, 90), WHITE) << t;
    EXPECT_EQ(at(t).at(250, 155), WHITE) << t;
    EXPECT_EQ(at(t).at(9, 90), duskBand(9)) << t;
    EXPECT_EQ(at(t).at(251, 155), duskBand(15)) << t;
    EXPECT_GT(countOf(at(t), 20, 100, 20 + 8 * 3 - 1, 107, 0x000000), 0) << t;
  }
  EXPECT_EQ(at(151).at(10, 90), duskBand(9));

  // Black from 320 to 350 and after the last words.
  for (int t : {320, 350, 411, 451}) EXPECT_EQ(countOther(at(t), 0, 0, 319, 239, 0x000000), 0) << t;
  for (int t : {351, 410}) {
    EXPECT_GT(countOther(at(t), 69, 119, 230, 128, 0x000000), 0) << t;
    EXPECT_EQ(countOther(at(t), 0, 0, 319, 117, 0x000000), 0) << t;
  }
}

TEST(SceneThree, TheEndingPicture) {
  TestSession session("", 1, /*withSound=*/true);
  SceneRun run = playScene(3, {1, 251});
  ASSERT_EQ(run.frames, 251);
  EXPECT_EQ(virtualMs(), 251 * 30);
  EXPECT_TRUE(readSoundLog(session.soundLogPath).empty());
  for (int t : {1, 251}) {
    const Picture& p = run.pictures.at(t);
    EXPECT_EQ(p.at(0, 0), 0x1EB4EBu);
    EXPECT_EQ(p.at(0, 9), dayBand(0));
    EXPECT_EQ(p.at(0, 10), dayBand(1));
    EXPECT_EQ(p.at(0, 239), 0x1E13EBu);
    EXPECT_EQ(p.at(204, 174), CYAN);
    EXPECT_EQ(p.at(256, 187), CYAN);
    const Bounds ship = boundsOf(p, YELLOW);
    ASSERT_TRUE(ship.found);
    EXPECT_GE(ship.x1, 80 - 76);
    EXPECT_LE(ship.x2, 80 + 75);
    EXPECT_GE(ship.y1, 170 - 50);
    EXPECT_LE(ship.y2, 170 + 49);
    for (int y : {30, 50, 70, 110}) EXPECT_GT(countOf(p, 50, y, 50 + 8 * 29 - 1, y + 7, 0x000000), 0) << y;
  }
}

}  // namespace
