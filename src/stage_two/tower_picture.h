// The rows of the tower in view, kept as one picture a little larger than the
// screen. While the Hero walks or stomps nothing in view changes, so the
// tower goes onto the screen as one image copy at the frame's scroll and
// shake instead of hundreds of sprite puts; it is painted again when the
// first row in view, a cell in view or one of its shapes changes.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "stage_two/tower_map.h"

constexpr int32_t PICTURE_ROWS = 11;   // rows of cells in view
constexpr int32_t PICTURE_LEFT = 16;   // picture x of cell column 0 (even: see tower_draw.cpp)
constexpr int32_t PICTURE_TOP = 8;     // picture y of the first row's top
constexpr int32_t PICTURE_WIDTH = 352; // the screen and room for the shake and the cells' overhang
constexpr int32_t PICTURE_HEIGHT = 280;

struct TowerPicture {
  bool enabled = true;  // false: the rows are always drawn one by one (for comparisons)
  Image* picture = nullptr;
  int32_t first = -1;  // the first row painted; -1: nothing painted yet
  uint16_t cells[PICTURE_ROWS][TOWER_COLUMNS] = {};
  std::vector<uint32_t> shapes;  // the sprite and digit pixels it was painted from
};
extern TowerPicture towerPicture;

// The picture to paint into; nullptr while the sprites are missing.
Image* towerPictureImage();
// Whether the picture shows rows first .. first + 10 as the map and the
// shapes are now.
bool towerPictureCurrent(int32_t first);
// Notes that the picture now shows rows first .. first + 10.
void keepTowerPicture(int32_t first);
