// The sprite sheet and the 24 sprite images cut and derived from it. Each cut
// sprite gets a transparent margin: the cut lands at (1, 1) of a slightly
// larger image, and the margins count when the sprite is drawn centred.
#include "gfx/sprites.h"

#include "gfx/rotoblit.h"

SpriteTable spriteTable;

namespace {

struct SpriteCut {
  int x1, y1, x2, y2;  // inclusive sheet rectangle
  int width, height;   // image size, margins included
};

// Ids 0-20 in id order.
constexpr SpriteCut SPRITE_CUTS[SprDesk + 1] = {
    {8, 0, 15, 7, 11, 10},     // SprAlienA1
    {8, 8, 15, 15, 11, 10},    // SprAlienA2
    {16, 0, 31, 7, 19, 10},    // SprAlienB1
    {16, 8, 31, 15, 19, 10},   // SprAlienB2
    {32, 0, 47, 7, 19, 10},    // SprAlienC1
    {32, 8, 47, 15, 19, 10},   // SprAlienC2
    {48, 0, 63, 7, 19, 10},    // SprUfo
    {48, 8, 63, 15, 19, 10},   // SprShip
    {0, 8, 7, 15, 11, 10},     // SprShot
    {64, 0, 71, 7, 11, 10},    // SprBomb1
    {120, 0, 127, 7, 11, 10},  // SprBomb2
    {120, 8, 127, 15, 11, 10}, // SprBomb3
    {64, 8, 71, 15, 11, 10},   // SprSpare1
    {72, 8, 79, 15, 11, 10},   // SprSpare2
    {80, 8, 87, 15, 11, 10},   // SprSpare3
    {112, 0, 119, 7, 11, 10},  // SprSpare4
    {112, 8, 119, 15, 11, 10}, // SprMissile
    {72, 0, 87, 7, 19, 10},    // SprExplosion
    {8, 48, 23, 55, 19, 10},   // SprShipBurst1
    {24, 48, 39, 55, 19, 10},  // SprShipBurst2
    {88, 0, 111, 17, 27, 18},  // SprDesk: its last sheet row falls outside the image
};

constexpr int32_t SHAPE_ONLY = -1;  // transparent flag for the derived images

void destroyAndForget(Image*& image) {
  if (image != nullptr) destroyImage(image);
  image = nullptr;
}

}  // namespace

void loadSpriteSheet() {
  spriteTable.sheet = createImage(128, 64);
  loadBitmap("graphics/graphics.bmp", spriteTable.sheet);
  // The little alien always has this pixel, even on a sheet without it.
  setPixel(spriteTable.sheet, 12, 3, 0xFFFFFF);
}

void buildSpriteTable() {
  Image** images = spriteTable.images;
  for (int id = 0; id <= SprDesk; ++id) {
    const SpriteCut& cut = SPRITE_CUTS[id];
    images[id] = createImage(cut.width, cut.height);
    if (spriteTable.sheet != nullptr) {
      drawImage(images[id], 1, 1, spriteTable.sheet, cut.x1, cut.y1, cut.x2, cut.y2, DrawCopy);
    }
  }
  Image* desk = images[SprDesk];
  images[SprDeskTall] = createImage(20, 43);
  RotoBlit(images[SprDeskTall], 9, 6, desk, 0.8f, 0.6f, 0.0f, SHAPE_ONLY, nullptr, nullptr);
  RotoBlit(images[SprDeskTall], 9, 17, desk, 0.8f, 2.0f, 0.0f, SHAPE_ONLY, nullptr, nullptr);
  RotoBlit(images[SprDeskTall], 9, 30, desk, 0.8f, 0.6f, 0.0f, SHAPE_ONLY, nullptr, nullptr);
  RotoBlit(images[SprDeskTall], 9, 38, desk, 0.8f, 0.6f, 0.0f, SHAPE_ONLY, nullptr, nullptr);
  setPixel(images[SprDeskTall], 16, 2, MASK_COLOUR);

  images[SprDeskSmall] = createImage(19, 11);
  RotoBlit(images[SprDeskSmall], 8, 5, desk, 0.8f, 0.6f, 0.0f, SHAPE_ONLY, nullptr, nullptr);
  setPixel(images[SprDeskSmall], 16, 1, MASK_COLOUR);

  images[SprAlienAFlipped] = createImage(9, 9);
  RotoBlit(images[SprAlienAFlipped], 4, 4, images[SprAlienA1], 0.8f, 1.0f, 180.0f, SHAPE_ONLY, nullptr, nullptr);
}

void destroySpriteTable() {
  forgetTextPictures(spriteTable.textPictures);
  for (int id = 0; id <= SprDesk; ++id) destroyAndForget(spriteTable.images[id]);
  destroyAndForget(spriteTable.sheet);
  destroyAndForget(spriteTable.images[SprDeskTall]);
  destroyAndForget(spriteTable.images[SprDeskSmall]);
  destroyAndForget(spriteTable.images[SprAlienAFlipped]);
}
