// The kept tower picture: every frame drawn from it must be the frame the
// rows drawn one by one give, at any scroll and shake, and it must be painted
// again when the map or a shape it was painted from changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "gfx/sprites.h"
#include "machine/machine.h"
#include "stage_two/stage_two_internal.h"
#include "support/picture.h"
#include "support/session.h"

using namespace stage_two;

namespace {

class TowerPictureTest : public ::testing::Test {
 protected:
  TestSession session{"", 3, false};
  Game& game = session.game;
  Tower tower;
  void SetUp() override {
    seedRandom(game, 3);
    buildTower(game, tower);
  }
  void TearDown() override { tower.picture.enabled = true; }
  // The frame both ways, with the same shake.
  void expectSameFrame(int32_t scroll, bool shake, uint32_t seed) {
    tower.picture.enabled = false;
    seedRandom(game, seed);
    drawTower(game, tower, scroll, shake);
    std::vector<uint32_t> direct = pageCopy(game);
    tower.picture.enabled = true;
    seedRandom(game, seed);
    drawTower(game, tower, scroll, shake);
    ASSERT_EQ(pageCopy(game), direct) << "scroll " << scroll << (shake ? " shaking" : "");
  }
};

TEST_F(TowerPictureTest, FramesMatchTheRowsDrawnOneByOne) {
  std::mt19937 random(12);
  int32_t scroll = 0;
  for (int frame = 0; frame < 80; ++frame) {
    // Falling a few pixels, standing still, or a jump anywhere in the tower.
    uint32_t move = random() % 10;
    if (move < 5)
      scroll += 4;
    else if (move == 9)
      scroll = static_cast<int32_t>(random() % (32 * 500));
    expectSameFrame(scroll, random() % 3 == 0, random());
  }
  expectSameFrame(32 * 490 + 31, true, 5);    // the last screen of the tower
  expectSameFrame(32 * 490 + 100, false, 5);  // past it: first row held at its end
  expectSameFrame(-20, true, 5);
}

// The view moves up and down by up to five rows at a time while blocks are
// knocked out and cracks appear in view, over rows filled to the brim so
// that every cell reaches into its neighbours: the picture moved and painted
// band by band must stay the rows drawn one by one.
TEST_F(TowerPictureTest, MovedPicturesAndPaintedBandsMatchTheRowsDrawnOneByOne) {
  std::mt19937 random(1208);
  const uint16_t kinds[] = {CellWall | CellFloor | CellLoose | CellCracked,
                            CellFloor,
                            CellHole,
                            CellAir,
                            CellWall | CellFloor,
                            CellFloor | CellCracked};
  for (int32_t r = 280; r < 340; ++r)
    for (int32_t c = 0; c < TOWER_COLUMNS; ++c)
      setCell(tower, c, r, random() % 3 == 0 ? kinds[random() % 6] : kinds[0]);
  int32_t scroll = 32 * 300;
  for (int frame = 0; frame < 120; ++frame) {
    scroll += static_cast<int32_t>(random() % 361) - 180;
    scroll = std::clamp(scroll, 32 * 282, 32 * 326);
    int32_t changes = static_cast<int32_t>(random() % 3);
    for (int32_t k = 0; k < changes; ++k)
      setCell(tower, static_cast<int32_t>(random() % TOWER_COLUMNS), scroll / 32 + static_cast<int32_t>(random() % 11),
              kinds[random() % 6]);
    expectSameFrame(scroll, random() % 2 == 0, random());
  }
}

TEST_F(TowerPictureTest, ChangedCellsAndShapesArePaintedAgain) {
  const int32_t scroll = 32 * 300 + 5;
  expectSameFrame(scroll, false, 1);
  setCell(tower, 7, 303, CellFloor | CellLoose | CellCracked | CellWall);
  setCell(tower, 8, 304, CellHole);
  expectSameFrame(scroll, false, 1);
  setCell(tower, 0, 301, CellMessage);  // a row that cannot come from the picture
  expectSameFrame(scroll, true, 2);
  setCell(tower, 0, 301, CellFloor);
  expectSameFrame(scroll, true, 2);
  imageRow(game.spriteTable.images[SprDeskTall].get(), 10)[5] = 0xFF00FF00u;
  imageRow(game.spriteTable.sheet.get(), 26)[20] ^= 0x00FFFFFFu;  // inside the digit '2'
  expectSameFrame(scroll, false, 3);
}

}  // namespace
