// The tower of the descent, which lives for the whole run: its map of cells,
// built afresh every time the stage starts, and the picture of the rows in
// view that the drawing keeps between frames.
#pragma once

#include <cstdint>
#include <vector>

#include "machine/machine.h"

namespace stage_two {

// A grid of 20 columns by 501 rows of cells.
constexpr int32_t TOWER_COLUMNS = 20;
constexpr int32_t TOWER_ROWS = 501;
constexpr int32_t TOWER_LAST_ROW = TOWER_ROWS - 1;

// Cell (c, r) covers map x 16c .. 16c+15 and map y 32r .. 32r+31.
struct TowerMap {
  uint16_t cells[TOWER_ROWS][TOWER_COLUMNS];
};

constexpr int32_t PICTURE_ROWS = 11;    // rows of cells in view
constexpr int32_t PICTURE_LEFT = 16;    // picture x of cell column 0 (even: see tower_draw.cpp)
constexpr int32_t PICTURE_TOP = 8;      // picture y of the first row's top
constexpr int32_t PICTURE_WIDTH = 352;  // the screen and room for the shake and the cells' overhang
constexpr int32_t PICTURE_HEIGHT = 280;

struct TowerPicture {
  bool enabled = true;  // false: the rows are always drawn one by one (for comparisons)
  OwnedImage picture;   // made at the first paint, kept for the whole run
  int32_t first = -1;   // the first row painted; -1: nothing painted yet
  uint16_t cells[PICTURE_ROWS][TOWER_COLUMNS] = {};
  std::vector<uint32_t> shapes;  // the sprite and digit pixels it was painted from
};

struct Tower {
  TowerMap map;
  TowerPicture picture;
};

}  // namespace stage_two
