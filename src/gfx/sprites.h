// The sprite sheet (font and sprite shapes in one 128x64 picture) and the 24
// sprite images cut and derived from it.
#pragma once

#include <string>
#include <vector>

#include "gfx/rotoblit.h"
#include "gfx/text.h"
#include "machine/machine.h"

struct Toolkit;  // gfx/toolkit.h

enum SpriteId {
  SprAlienA1,
  SprAlienA2,
  SprAlienB1,
  SprAlienB2,
  SprAlienC1,
  SprAlienC2,
  SprUfo,
  SprShip,
  SprShot,
  SprBomb1,
  SprBomb2,
  SprBomb3,
  SprSpare1,
  SprSpare2,
  SprSpare3,
  SprSpare4,
  SprMissile,
  SprExplosion,
  SprShipBurst1,
  SprShipBurst2,
  SprDesk,
  SprDeskTall,
  SprDeskSmall,
  SprAlienAFlipped,
  SPRITE_COUNT
};

struct SpriteCut {
  int x1, y1, x2, y2;  // inclusive sheet rectangle
  int width, height;   // image size, margins included
};

// Where each cut sprite (ids 0-20, in id order) comes from on the sheet.
inline constexpr SpriteCut SPRITE_CUTS[SprDesk + 1] = {
    {8, 0, 15, 7, 11, 10},      // SprAlienA1
    {8, 8, 15, 15, 11, 10},     // SprAlienA2
    {16, 0, 31, 7, 19, 10},     // SprAlienB1
    {16, 8, 31, 15, 19, 10},    // SprAlienB2
    {32, 0, 47, 7, 19, 10},     // SprAlienC1
    {32, 8, 47, 15, 19, 10},    // SprAlienC2
    {48, 0, 63, 7, 19, 10},     // SprUfo
    {48, 8, 63, 15, 19, 10},    // SprShip
    {0, 8, 7, 15, 11, 10},      // SprShot
    {64, 0, 71, 7, 11, 10},     // SprBomb1
    {120, 0, 127, 7, 11, 10},   // SprBomb2
    {120, 8, 127, 15, 11, 10},  // SprBomb3
    {64, 8, 71, 15, 11, 10},    // SprSpare1
    {72, 8, 79, 15, 11, 10},    // SprSpare2
    {80, 8, 87, 15, 11, 10},    // SprSpare3
    {112, 0, 119, 7, 11, 10},   // SprSpare4
    {112, 8, 119, 15, 11, 10},  // SprMissile
    {72, 0, 87, 7, 19, 10},     // SprExplosion
    {8, 48, 23, 55, 19, 10},    // SprShipBurst1
    {24, 48, 39, 55, 19, 10},   // SprShipBurst2
    {88, 0, 111, 17, 27, 18},   // SprDesk: its last sheet row falls outside the image
};

inline const SpriteCut& spriteCut(int id) { return SPRITE_CUTS[id]; }

struct SpriteTable {
  OwnedImage sheet;  // the SpriteSheet
  OwnedImage images[SPRITE_COUNT];
  TextPictures textPictures;  // lines of lettering cut from the sheet (text.h)
  RotoStamps rotoStamps;      // sprites drawn unturned, as stretches (rotoblit.h)
};

constexpr int SHEET_WIDTH = 128, SHEET_HEIGHT = 64;  // the sprite sheet, in pixels

// Creates the sheet, loads graphics/graphics.bmp into it and sets the white
// pixel at (12, 3). Fails when the file is missing or damaged: the game then
// has no sprites and no lettering.
Outcome loadSpriteSheet(Toolkit& toolkit);
std::string spriteSheetPath(const Toolkit& toolkit);
void buildSpriteTable(Toolkit& toolkit);
void destroySpriteTable(Toolkit& toolkit);

// The game's icon, drawn from a sprite sheet: the green alien over the
// player's ship on the night blue of the title, ICON_SIZE pixels square,
// 0xAARRGGBB.
constexpr int ICON_SIZE = 16;
std::vector<uint32_t> iconPixels(const Image* sheet);
// That icon enlarged `scale` times and centred on a size x size square of
// its own background.
std::vector<uint32_t> placedIcon(const std::vector<uint32_t>& icon, int size, int scale);
