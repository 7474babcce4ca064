// The tower of the descent: a grid of 20 columns by 501 rows of cells, built
// afresh every time the stage starts.
#pragma once

#include <cstdint>

// Cell flags. Some are tested as bits, some only as exact whole values.
enum CellFlag : uint16_t {
  CellHole = 0x001,        // exactly 1: an open hole in a floor
  CellWall = 0x002,        // a wall post: walkers in that storey cannot pass it
  CellFloor = 0x004,       // a solid floor tile
  CellLoose = 0x008,       // a red block lodged in the floor
  CellCracked = 0x010,     // a cracked tile; a stomp breaks it
  CellAir = 0x020,         // empty; what every cell starts as
  CellGoal = 0x040,        // exactly 0x044: the UFO's floor tile
  CellLift = 0x080,        // exactly 0x180: the lift the Hero arrives in
  CellRoof = 0x100,        // the roof rows
  CellBrokenLift = 0x200,  // exactly 0x204: the decoy UFO, out of order
  CellMessage = 0x400,     // exactly 0x400: anchor of the message texts
};

constexpr int32_t TOWER_COLUMNS = 20;
constexpr int32_t TOWER_ROWS = 501;
constexpr int32_t TOWER_LAST_ROW = TOWER_ROWS - 1;

// Cell (c, r) covers map x 16c .. 16c+15 and map y 32r .. 32r+31.
struct TowerMap {
  uint16_t cells[TOWER_ROWS][TOWER_COLUMNS];
};
extern TowerMap towerMap;

// Reading a cell never leaves the grid. Outside it the tower answers as if it
// were walled in on both sides (columns below 0 and above 19 are wall posts,
// so the Hero and both walkers stop or turn at the screen edges even in the
// wall-less storeys 72 and 142), stood on solid ground (every row below 500 is
// floor, so nothing falls out of the bottom of the tower) and had more roof
// above row 0.
uint16_t cellAt(int32_t column, int32_t row);
// Writes inside the grid only; anything outside is ignored.
void setCell(int32_t column, int32_t row, uint16_t value);

// Fills the whole map: roof, lift, tutorial floors, about five hundred random
// floors and the three landmark sections around rows 70, 140 and 200.
void buildTower();
