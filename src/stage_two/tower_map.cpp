// The tower generator. The random numbers are drawn in a fixed order, so a
// seed always gives the same tower.
#include <cmath>

#include "game/game.h"
#include "machine/machine.h"
#include "stage_two/stage_two_internal.h"

namespace stage_two {

uint16_t cellAt(const Tower& tower, int32_t column, int32_t row) {
  if (column < 0 || column >= TOWER_COLUMNS) return CellWall;
  if (row > TOWER_LAST_ROW) return CellFloor;
  if (row < 0) return CellRoof;
  return tower.map.cells[row][column];
}

void setCell(Tower& tower, int32_t column, int32_t row, uint16_t value) {
  if (column < 0 || column >= TOWER_COLUMNS || row < 0 || row > TOWER_LAST_ROW) return;
  tower.map.cells[row][column] = value;
}

namespace {

// floor(n * rnd) with a fresh random number.
int32_t randomBelow(Game& game, int32_t n) { return static_cast<int32_t>(std::floor(n * randomUnit(game))); }

void fillRow(Tower& tower, int32_t row, uint16_t value) {
  for (int32_t c = 0; c < TOWER_COLUMNS; ++c) setCell(tower, c, row, value);
}

// One random floor: a segment of twelve columns between two end posts, loose
// blocks and cracks sprinkled over it, then one to five holes.
void buildRandomFloor(Game& game, Tower& tower, int32_t row, int32_t a) {
  setCell(tower, a, row, CellWall | CellFloor);
  for (int32_t i = a + 1; i <= a + 11; ++i) {
    uint16_t value = randomUnit(game) <= 0.2 ? (CellFloor | CellLoose) : CellFloor;
    if (randomUnit(game) > 0.8) value |= CellCracked;
    setCell(tower, i, row, value);
  }
  setCell(tower, a + 12, row, CellWall | CellFloor);
  int32_t holes = randomBelow(game, 5) + 1;
  for (int32_t k = 0; k < holes; ++k) setCell(tower, a + 2 + randomBelow(game, 9), row, CellHole);
}

// The landmark sections: a full floor with one hole in column 9, two open
// rows, and a floor that holds a plain tile, the decoy or the goal below it.
void buildLandmarkRow(Tower& tower, int32_t row) {
  if (row == 70 || row == 140 || row == 200) {
    setCell(tower, 0, row, CellWall);
    for (int32_t c = 1; c <= 18; ++c) setCell(tower, c, row, CellFloor);
    setCell(tower, 19, row, CellWall);
    setCell(tower, 9, row, CellHole);
  } else if (row == 71 || row == 72 || row == 141 || row == 142 || row == 201 || row == 202) {
    fillRow(tower, row, CellHole);
  } else if (row == 73 || row == 143 || row == 203) {
    fillRow(tower, row, CellFloor);
    setCell(tower, 3, row, CellWall);
    setCell(tower, 15, row, CellWall);
    setCell(tower, 6, row, CellHole);
    setCell(tower, 12, row, CellHole);
    if (row == 143) setCell(tower, 9, row, CellBrokenLift | CellFloor);
    if (row == 203) setCell(tower, 9, row, CellGoal | CellFloor);
  }
}

}  // namespace

void buildTower(Game& game, Tower& tower) {
  for (int32_t r = 0; r < TOWER_ROWS; ++r) fillRow(tower, r, CellAir);
  for (int32_t r = 0; r <= 3; ++r) fillRow(tower, r, CellRoof);
  setCell(tower, 3, 3, CellRoof | CellLift);

  // The floor of the lift, with the hole the Hero drops through.
  fillRow(tower, 4, CellFloor);
  setCell(tower, 9, 4, CellWall | CellFloor);
  setCell(tower, 10, 4, CellHole);
  setCell(tower, 11, 4, CellWall | CellFloor);

  // The tutorial floor: one tile that is cracked and holds a block.
  setCell(tower, 4, 5, CellWall | CellFloor);
  for (int32_t c = 5; c <= 15; ++c) setCell(tower, c, 5, CellFloor);
  setCell(tower, 16, 5, CellWall | CellFloor);
  setCell(tower, 10, 5, CellFloor | CellLoose | CellCracked);

  int32_t a = 4;
  for (int32_t r = 6; r <= TOWER_LAST_ROW; ++r) {
    a += randomBelow(game, 3) - 1;
    if (a < 1) a = 1;
    if (a > 6) a = 6;
    if (r == 73 || r == 143 || r == 203) a = 3;
    buildRandomFloor(game, tower, r, a);
    // Keep the first random floor from opening right under the tutorial tile.
    if (r == 6 && (cellAt(tower, 10, 6) & CellHole) != 0) {
      setCell(tower, 10, 6, CellFloor);
      setCell(tower, 11, 6, CellHole);
    }
    buildLandmarkRow(tower, r);
  }
  setCell(tower, 0, 79, CellMessage);
}

}  // namespace stage_two
