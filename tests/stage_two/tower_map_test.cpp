// The generated tower over many seeds: what is always the same, what every
// random floor looks like, and that the goal can always be reached.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <queue>
#include <vector>

#include "shell/platform.h"
#include "stage_two/tower_map.h"
#include "support/session.h"

namespace {

constexpr int SEEDS = 120;

bool isLandmarkRow(int r) { return (r >= 70 && r <= 73) || (r >= 140 && r <= 143) || (r >= 200 && r <= 203); }

std::array<uint16_t, TOWER_COLUMNS> rowOf(int r) {
  std::array<uint16_t, TOWER_COLUMNS> row{};
  for (int c = 0; c < TOWER_COLUMNS; ++c) row[c] = towerMap.cells[r][c];
  return row;
}

std::array<uint16_t, TOWER_COLUMNS> rowFrom(std::initializer_list<std::pair<int, uint16_t>> cells, uint16_t rest) {
  std::array<uint16_t, TOWER_COLUMNS> row{};
  row.fill(rest);
  for (auto [c, v] : cells) row[c] = v;
  return row;
}

// Walking between the posts of a storey and dropping through exact holes,
// standing over one cell only: a subset of what the Hero can do. True when
// such a walk, from where the stomp on the tutorial tile drops the Hero,
// falls onto the goal tile.
bool goalReachableOnFoot() {
  std::vector<std::array<bool, TOWER_COLUMNS>> seen(TOWER_ROWS, std::array<bool, TOWER_COLUMNS>{});
  std::queue<std::pair<int, int>> open;  // (storey row, column)
  if ((cellAt(10, 6) & CellFloor) == 0) return false;
  open.push({5, 10});
  seen[5][10] = true;
  while (!open.empty()) {
    auto [storey, column] = open.front();
    open.pop();
    for (int step : {-1, 1}) {
      int next = column + step;
      if (next < 0 || next >= TOWER_COLUMNS || (cellAt(next, storey) & CellWall) != 0) continue;
      if (!seen[storey][next]) {
        seen[storey][next] = true;
        open.push({storey, next});
      }
    }
    if (storey + 1 > TOWER_LAST_ROW || cellAt(column, storey + 1) != CellHole) continue;
    int row = storey + 2;
    while (row <= TOWER_LAST_ROW && (cellAt(column, row) & CellFloor) == 0) ++row;
    if (row > TOWER_LAST_ROW) continue;
    if (cellAt(column, row) == (CellGoal | CellFloor)) return true;
    if (!seen[row - 1][column]) {
      seen[row - 1][column] = true;
      open.push({row - 1, column});
    }
  }
  return false;
}

class TowerMapTest : public ::testing::Test {
 protected:
  TestSession session{"", 1, false, false};
};

TEST_F(TowerMapTest, FixedRowsAndLandmarksNeverChange) {
  const uint16_t W = CellWall | CellFloor;
  const auto roof = rowFrom({}, CellRoof);
  const auto liftRow = rowFrom({{3, CellRoof | CellLift}}, CellRoof);
  const auto liftFloor = rowFrom({{9, W}, {10, CellHole}, {11, W}}, CellFloor);
  const auto tutorial =
      rowFrom({{4, W}, {5, 4}, {6, 4}, {7, 4}, {8, 4}, {9, 4}, {10, CellFloor | CellLoose | CellCracked},
               {11, 4}, {12, 4}, {13, 4}, {14, 4}, {15, 4}, {16, W}},
              CellAir);
  const auto fullFloor = rowFrom({{0, CellWall}, {9, CellHole}, {19, CellWall}}, CellFloor);
  const auto open = rowFrom({}, CellHole);
  auto landing = [](uint16_t middle) {
    return rowFrom({{3, CellWall}, {6, CellHole}, {9, middle}, {12, CellHole}, {15, CellWall}}, CellFloor);
  };
  for (uint32_t seed = 1; seed <= SEEDS; ++seed) {
    seedRandom(seed);
    buildTower();
    for (int r = 0; r <= 2; ++r) ASSERT_EQ(rowOf(r), roof) << "seed " << seed << " row " << r;
    ASSERT_EQ(rowOf(3), liftRow);
    ASSERT_EQ(rowOf(4), liftFloor);
    ASSERT_EQ(rowOf(5), tutorial);
    for (int base : {70, 140, 200}) {
      ASSERT_EQ(rowOf(base), fullFloor) << "seed " << seed << " row " << base;
      ASSERT_EQ(rowOf(base + 1), open);
      ASSERT_EQ(rowOf(base + 2), open);
    }
    ASSERT_EQ(rowOf(73), landing(CellFloor));
    ASSERT_EQ(rowOf(143), landing(CellBrokenLift | CellFloor)) << "the decoy";
    ASSERT_EQ(rowOf(203), landing(CellGoal | CellFloor)) << "the goal";
    ASSERT_EQ(cellAt(0, 79), CellMessage);
  }
}

TEST_F(TowerMapTest, EveryRandomFloorHasTwoPostsTwelveApartAndOneToFiveHoles) {
  int lodged = 0, cracked = 0, tiles = 0;
  for (uint32_t seed = 1; seed <= SEEDS; ++seed) {
    seedRandom(seed * 7919u);
    buildTower();
    int previousA = -1;
    for (int r = 6; r <= TOWER_LAST_ROW; ++r) {
      if (isLandmarkRow(r)) {
        previousA = r == 73 || r == 143 || r == 203 ? 3 : -1;
        continue;
      }
      std::vector<int> posts, holes;
      for (int c = 0; c < TOWER_COLUMNS; ++c) {
        uint16_t v = towerMap.cells[r][c];
        if ((v & CellWall) != 0) {
          ASSERT_EQ(v, CellWall | CellFloor);
          posts.push_back(c);
        }
        if (v == CellHole) holes.push_back(c);
      }
      ASSERT_EQ(posts.size(), 2u) << "seed " << seed << " row " << r;
      const int a = posts[0];
      ASSERT_EQ(posts[1], a + 12);
      ASSERT_GE(a, 1);
      ASSERT_LE(a + 12, 18);
      if (previousA >= 0) {
        ASSERT_LE(std::abs(a - previousA), 1) << "the segment wanders one column a row";
      }
      previousA = a;
      ASSERT_GE(holes.size(), 1u);
      ASSERT_LE(holes.size(), 5u);
      for (int h : holes) {
        ASSERT_GE(h, a + 2);
        ASSERT_LE(h, a + 10);
      }
      for (int c = 0; c < TOWER_COLUMNS; ++c) {
        uint16_t v = towerMap.cells[r][c];
        if (c < a || c > a + 12) {
          ASSERT_EQ(v, (r == 79 && c == 0) ? CellMessage : CellAir);
        } else if (c > a && c < a + 12 && v != CellHole) {
          ASSERT_EQ(v & ~(CellFloor | CellLoose | CellCracked), 0) << "row " << r << " col " << c;
          ASSERT_NE(v & CellFloor, 0);
          ++tiles;
          if (v & CellLoose) ++lodged;
          if (v & CellCracked) ++cracked;
        }
      }
    }
    ASSERT_NE(towerMap.cells[6][10], CellHole) << "no hole right under the tutorial tile";
    EXPECT_TRUE(goalReachableOnFoot()) << "seed " << seed;
  }
  // About one tile in five holds a block and one in five is cracked.
  EXPECT_NEAR(static_cast<double>(lodged) / tiles, 0.2, 0.02);
  EXPECT_NEAR(static_cast<double>(cracked) / tiles, 0.2, 0.02);
}

TEST_F(TowerMapTest, SameSeedSameTowerOtherSeedOtherTower) {
  seedRandom(5);
  buildTower();
  TowerMap first = towerMap;
  seedRandom(5);
  buildTower();
  EXPECT_EQ(std::memcmp(&first, &towerMap, sizeof first), 0);
  seedRandom(6);
  buildTower();
  EXPECT_NE(std::memcmp(&first, &towerMap, sizeof first), 0);
}

TEST_F(TowerMapTest, CellsOutsideTheGridAreWallsGroundAndRoof) {
  seedRandom(3);
  buildTower();
  EXPECT_EQ(cellAt(-1, 72), CellWall);
  EXPECT_EQ(cellAt(20, 142), CellWall);
  EXPECT_EQ(cellAt(5, 501), CellFloor);
  EXPECT_EQ(cellAt(5, 100000), CellFloor);
  EXPECT_EQ(cellAt(5, -1), CellRoof);
  TowerMap before = towerMap;
  setCell(-1, 10, CellHole);
  setCell(20, 10, CellHole);
  setCell(3, 501, CellHole);
  setCell(3, -1, CellHole);
  EXPECT_EQ(std::memcmp(&before, &towerMap, sizeof before), 0) << "writes outside the grid are ignored";
}

}  // namespace
