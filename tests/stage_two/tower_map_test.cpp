// The generated tower over many seeds: what is always the same, what every
// random floor looks like, and that the goal can always be reached.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <queue>

#include "machine/machine.h"
#include "stage_two/stage_two_internal.h"
#include "support/session.h"

using namespace stage_two;

namespace {

bool isLandmarkRow(int r) { return (r >= 70 && r <= 73) || (r >= 140 && r <= 143) || (r >= 200 && r <= 203); }

// Walking between the posts of a storey and dropping through exact holes,
// over one cell at a time: a subset of what the Hero can do. True when such
// a walk, from where the stomp on the tutorial tile drops the Hero, falls
// onto the goal tile.
bool goalReachableOnFoot(Tower& tower) {
  std::vector<std::array<bool, TOWER_COLUMNS>> seen(TOWER_ROWS);
  std::queue<std::pair<int, int>> open;  // (storey row, column)
  auto visit = [&](int storey, int column) {
    if (!seen[storey][column]) open.push({storey, column});
    seen[storey][column] = true;
  };
  visit(5, 10);
  while (!open.empty()) {
    auto [storey, column] = open.front();
    open.pop();
    for (int next : {column - 1, column + 1})
      if ((cellAt(tower, next, storey) & CellWall) == 0) visit(storey, next);
    if (cellAt(tower, column, storey + 1) != CellHole) continue;
    int row = storey + 2;
    while (row <= TOWER_LAST_ROW && (cellAt(tower, column, row) & CellFloor) == 0) ++row;
    if (cellAt(tower, column, row) == (CellGoal | CellFloor)) return true;
    if (row <= TOWER_LAST_ROW) visit(row - 1, column);
  }
  return false;
}

class TowerMapTest : public ::testing::Test {
 protected:
  TestSession session{"", 1, false, false};
  Game& game = session.game;
  Tower tower;
};

TEST_F(TowerMapTest, FixedRowsAndLandmarksNeverChange) {
  seedRandom(game, 1);
  buildTower(game, tower);
  const TowerMap first = tower.map;
  EXPECT_EQ(cellAt(tower, 3, 3), CellRoof | CellLift);
  EXPECT_EQ(cellAt(tower, 10, 4), CellHole);
  EXPECT_EQ(cellAt(tower, 11, 4), CellWall | CellFloor);
  EXPECT_EQ(cellAt(tower, 10, 5), CellFloor | CellLoose | CellCracked);
  EXPECT_EQ(cellAt(tower, 3, 5), CellAir);
  EXPECT_EQ(cellAt(tower, 16, 5), CellWall | CellFloor);
  EXPECT_EQ(cellAt(tower, 9, 140), CellHole);
  EXPECT_EQ(cellAt(tower, 19, 140), CellWall);
  EXPECT_EQ(cellAt(tower, 0, 201), CellHole);
  EXPECT_EQ(cellAt(tower, 9, 73), CellFloor);
  EXPECT_EQ(cellAt(tower, 9, 143), CellBrokenLift | CellFloor);
  EXPECT_EQ(cellAt(tower, 9, 203), CellGoal | CellFloor);
  EXPECT_EQ(cellAt(tower, 15, 203), CellWall);
  EXPECT_EQ(cellAt(tower, 12, 203), CellHole);
  EXPECT_EQ(cellAt(tower, 0, 79), CellMessage);
  for (uint32_t seed = 2; seed <= 60; ++seed) {
    seedRandom(game, seed);
    buildTower(game, tower);
    for (int r = 0; r <= 203; ++r) {
      if (r > 5 && !isLandmarkRow(r)) continue;
      ASSERT_EQ(std::memcmp(first.cells[r], tower.map.cells[r], sizeof first.cells[r]), 0) << seed << " " << r;
    }
  }
}

TEST_F(TowerMapTest, EveryRandomFloorHasTwoPostsTwelveApartAndOneToFiveHoles) {
  int lodged = 0, cracked = 0, tiles = 0;
  for (uint32_t seed = 1; seed <= 120; ++seed) {
    seedRandom(game, seed * 7919u);
    buildTower(game, tower);
    for (int r = 6; r <= TOWER_LAST_ROW; ++r) {
      if (isLandmarkRow(r)) continue;
      int a = 0;
      while (a < TOWER_COLUMNS && cellAt(tower, a, r) != (CellWall | CellFloor)) ++a;
      ASSERT_GE(a, 1) << "seed " << seed << " row " << r;
      ASSERT_LE(a + 12, 18);
      ASSERT_EQ(cellAt(tower, a + 12, r), CellWall | CellFloor);
      int holes = 0;
      for (int c = 0; c < TOWER_COLUMNS; ++c) {
        uint16_t v = cellAt(tower, c, r);
        if (c < a || c > a + 12) {
          ASSERT_EQ(v, (r == 79 && c == 0) ? CellMessage : CellAir) << "row " << r << " col " << c;
        } else if (v == CellHole) {
          ++holes;
          ASSERT_TRUE(c >= a + 2 && c <= a + 10) << "row " << r << " col " << c;
        } else if (c != a && c != a + 12) {
          ASSERT_EQ(v & ~(CellLoose | CellCracked), CellFloor) << "row " << r << " col " << c;
          ++tiles;
          lodged += (v & CellLoose) != 0;
          cracked += (v & CellCracked) != 0;
        }
      }
      ASSERT_TRUE(holes >= 1 && holes <= 5) << "row " << r;
    }
    ASSERT_NE(cellAt(tower, 10, 6), CellHole) << "no hole right under the tutorial tile";
    EXPECT_TRUE(goalReachableOnFoot(tower)) << "seed " << seed;
  }
  // About one tile in five holds a block and one in five is cracked.
  EXPECT_NEAR(static_cast<double>(lodged) / tiles, 0.2, 0.02);
  EXPECT_NEAR(static_cast<double>(cracked) / tiles, 0.2, 0.02);
}

TEST_F(TowerMapTest, OutsideTheGridWallsAtTheSidesGroundBelowNothingWritten) {
  seedRandom(game, 3);
  buildTower(game, tower);
  EXPECT_EQ(cellAt(tower, -1, 72), CellWall);
  EXPECT_EQ(cellAt(tower, 20, 142), CellWall);
  EXPECT_EQ(cellAt(tower, 5, 501), CellFloor);
  EXPECT_EQ(cellAt(tower, 5, -1), CellRoof);
  const TowerMap before = tower.map;
  for (auto [c, r] : {std::pair{-1, 10}, {20, 10}, {3, 501}, {3, -1}}) setCell(tower, c, r, CellHole);
  EXPECT_EQ(std::memcmp(&before, &tower.map, sizeof before), 0);
}

}  // namespace
