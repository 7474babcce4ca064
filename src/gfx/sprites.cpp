// The sprite sheet and the 24 sprite images cut and derived from it. Each cut
// sprite gets a transparent margin: the cut lands at (1, 1) of a slightly
// larger image, and the margins count when the sprite is drawn centred.
#include "gfx/sprites.h"

#include "gfx/rotoblit.h"
#include "platform/paths.h"

SpriteTable spriteTable;

namespace {

constexpr int32_t SHAPE_ONLY = -1;  // transparent flag for the derived images

void destroyAndForget(Image*& image) {
  if (image != nullptr) destroyImage(image);
  image = nullptr;
}

}  // namespace

void loadSpriteSheet() {
  spriteTable.sheet = createImage(128, 64);
  loadBitmap(dataPath("graphics/graphics.bmp"), spriteTable.sheet);
  // The little alien always has this pixel, even on a sheet without it.
  setPixel(spriteTable.sheet, 12, 3, 0xFFFFFF);
}

void buildSpriteTable() {
  Image** images = spriteTable.images;
  for (int id = 0; id <= SprDesk; ++id) {
    const SpriteCut& cut = spriteCut(id);
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
  forgetRotoStamps(spriteTable.rotoStamps);
  for (int id = 0; id <= SprDesk; ++id) destroyAndForget(spriteTable.images[id]);
  destroyAndForget(spriteTable.sheet);
  destroyAndForget(spriteTable.images[SprDeskTall]);
  destroyAndForget(spriteTable.images[SprDeskSmall]);
  destroyAndForget(spriteTable.images[SprAlienAFlipped]);
}
