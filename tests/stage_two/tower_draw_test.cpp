// The tower on screen: what lies where for a given scroll, and the shake.
#include <gtest/gtest.h>

#include <vector>

#include "machine/machine.h"
#include "stage_two/stage_two_internal.h"
#include "support/session.h"
#include "support/tower_support.h"

using namespace stage_two;

namespace {

std::vector<uint32_t> screen(Machine& machine) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) pixels.push_back(readPixel(machine, x, y) & 0xFFFFFFu);
  return pixels;
}

// True when b is a shifted by (dx, dy) everywhere away from the edges.
bool shiftedBy(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int dx, int dy) {
  for (int y = 8; y < 232; ++y)
    for (int x = 8; x < 312; ++x)
      if (b[y * 320 + x] != a[(y - dy) * 320 + (x - dx)]) return false;
  return true;
}

class TowerDrawTest : public ::testing::Test {
 protected:
  TestSession session{"", 2, false};
  Game& game = session.game;
  Tower tower;
  void SetUp() override {
    seedRandom(game, 2);
    buildTower(game, tower);
  }
};

TEST_F(TowerDrawTest, AtTheTopTheRoofBandTheLiftAndTheHint) {
  drawTower(game, tower, 0, false);
  EXPECT_EQ(countColour(game, 0x5050A0, 0, 0, 319, 60), 320 * 61) << "the roof rows form one solid band";
  EXPECT_EQ(countColour(game, 0x5050A0, 0, 81, 319, 100), 320 * 20);
  // The lift: its dark box reaches x 69, but the roof of column 4, drawn
  // later, covers it from x 60 on, so the doors show from 39 to 59.
  EXPECT_EQ(countColour(game, 0x5050A0, 0, 101, 38, 125), 39 * 25);
  EXPECT_EQ(countColour(game, 0x5050A0, 60, 101, 319, 125), 260 * 25);
  EXPECT_EQ(readPixel(game, 39, 110) & 0xFFFFFFu, 0u) << "lift outline";
  EXPECT_EQ(readPixel(game, 59, 110) & 0xFFFFFFu, 0u);
  EXPECT_EQ(readPixel(game, 49, 110) & 0xFFFFFFu, 0u) << "the gap between the doors";
  EXPECT_EQ(readPixel(game, 44, 110) & 0xFFFFFFu, 0x202020u);
  EXPECT_EQ(readPixel(game, 58, 101) & 0xFFFFFFu, 0u);
  EXPECT_EQ(readPixel(game, 40, 102) & 0xFFFFFFu, 0x202020u);
  EXPECT_GT(countColour(game, 0, 70, 70, 261, 77), 100) << "press space key to stomp";
  // Row 5 shows floor 001 at its left post (column 4); row 4's posts show none.
  EXPECT_GT(countColour(game, 0xFF0000, 56, 181, 79, 188), 10);
  EXPECT_EQ(countColour(game, 0xFF0000, 136, 149, 159, 156), 0);
  EXPECT_EQ(tileColour(8, 4), 0xFFFFC600u);
  EXPECT_EQ(tileColour(0, 1), 0xFFFF0696u);
  EXPECT_GT(countColour(game, 0xFFC600, 120, 124, 150, 140), 0) << "floor tile of column 8, row 4";
}

TEST_F(TowerDrawTest, FloorNumbersEveryFifthFloorOnTheLeftPosts) {
  fillTower(tower, CellAir);
  for (int r = 10; r <= 20; ++r) solidFloor(tower, r, {2, 14});
  drawTower(game, tower, 32 * 9, false);
  for (int r = 10; r <= 16; ++r) {
    int y = 32 * r - 32 * 9 + 21;
    bool numbered = r % 5 == 4;
    EXPECT_EQ(countColour(game, 0xFF0000, 24, y, 47, y + 7) > 10, numbered) << "row " << r;
    EXPECT_EQ(countColour(game, 0xFF0000, 216, y, 239, y + 7), 0) << "never on a post right of column 8";
  }
}

TEST_F(TowerDrawTest, TheLastRowsStayInViewAtTheBottom) {
  drawTower(game, tower, 32 * TOWER_LAST_ROW, false);
  EXPECT_GT(240 * 320 - countColour(game, 0x202020), 1000) << "row 500 is drawn at the top";
  drawTower(game, tower, 32 * 600, false);  // far below: nothing but the background
  EXPECT_EQ(countColour(game, 0x202020), 240 * 320);
}

TEST_F(TowerDrawTest, ShakingMovesThePictureByAtMostTwoAndOne) {
  drawTower(game, tower, 32 * 60, false);
  std::vector<uint32_t> still = screen(game);
  drawTower(game, tower, 32 * 60, false);
  EXPECT_EQ(screen(game), still);
  int moved = 0;
  for (int call = 0; call < 12; ++call) {
    drawTower(game, tower, 32 * 60, true);
    std::vector<uint32_t> shaken = screen(game);
    int matches = 0;
    for (int dx : {-2, 0, 2})
      for (int dy : {-1, 0, 1})
        if (shiftedBy(still, shaken, dx, dy)) {
          ++matches;
          moved += dx != 0 || dy != 0;
        }
    EXPECT_EQ(matches, 1) << "call " << call;
  }
  EXPECT_GE(moved, 6);
}

TEST_F(TowerDrawTest, TheDecoyTheGoalAndTheMessage) {
  drawTower(game, tower, 32 * 143 - 116 + 20, false);  // standing on the decoy's floor
  EXPECT_GT(countColour(game, 0xDDDDDD), 100) << "the decoy UFO";
  drawTower(game, tower, 32 * 203 - 116 - 4, false);
  EXPECT_GT(countColour(game, 0xDDDDDD), 100) << "the goal UFO";
  drawTower(game, tower, 32 * 73 - 12 - 116, false);  // the Hero landing on row 73
  // The message, at screen y 72 and 92 above the row of its anchor.
  EXPECT_GT(countColour(game, 0, 70, 72, 253, 79), 50);
  EXPECT_GT(countColour(game, 0, 70, 92, 253, 99), 50);
}

}  // namespace
