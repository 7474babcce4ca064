// The sprite sheet (font and sprite shapes in one 128x64 picture) and the 24
// sprite images cut and derived from it.
#pragma once

#include "gfx/text.h"
#include "platform/platform.h"

enum SpriteId {
  SprAlienA1, SprAlienA2, SprAlienB1, SprAlienB2, SprAlienC1, SprAlienC2, SprUfo, SprShip,
  SprShot, SprBomb1, SprBomb2, SprBomb3, SprSpare1, SprSpare2, SprSpare3, SprSpare4,
  SprMissile, SprExplosion, SprShipBurst1, SprShipBurst2, SprDesk, SprDeskTall,
  SprDeskSmall, SprAlienAFlipped,
  SPRITE_COUNT
};

struct SpriteTable {
  Image* sheet = nullptr;  // the SpriteSheet
  Image* images[SPRITE_COUNT] = {};
  TextPictures textPictures;  // lines of lettering cut from the sheet (text.h)
};
extern SpriteTable spriteTable;

// Creates the sheet, loads graphics/graphics.bmp into it and sets the white
// pixel at (12, 3).
void loadSpriteSheet();
void buildSpriteTable();
void destroySpriteTable();
inline Image* sprite(int id) { return spriteTable.images[id]; }
