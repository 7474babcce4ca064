// The sprite sheet and the 24 sprite images cut and derived from it. Each cut
// sprite gets a transparent margin: the cut lands at (1, 1) of a slightly
// larger image, and the margins count when the sprite is drawn centred.
#include "gfx/sprites.h"

#include "gfx/rotoblit.h"
#include "gfx/toolkit.h"

namespace {

constexpr uint32_t ICON_BACKGROUND = 0xFF10104A;
constexpr uint32_t ICON_ALIEN = 0xFF20E020;  // the sheet's green alien, its own colour
constexpr uint32_t ICON_SHIP = 0xFFFFE020;

}  // namespace

std::string spriteSheetPath(const Toolkit& toolkit) { return dataPath(toolkit, "graphics/graphics.bmp"); }

Outcome loadSpriteSheet(Toolkit& toolkit) {
  toolkit.spriteTable.sheet = createImage(SHEET_WIDTH, SHEET_HEIGHT);
  Outcome loaded = loadBitmap(spriteSheetPath(toolkit), toolkit.spriteTable.sheet.get());
  // The little alien always has this pixel, even on a sheet without it.
  setPixel(toolkit, toolkit.spriteTable.sheet.get(), 12, 3, 0xFFFFFF);
  return loaded;
}

void buildSpriteTable(Toolkit& toolkit) {
  OwnedImage* images = toolkit.spriteTable.images;
  for (int id = 0; id <= SprDesk; ++id) {
    const SpriteCut& cut = spriteCut(id);
    images[id] = createImage(cut.width, cut.height);
    if (toolkit.spriteTable.sheet != nullptr) {
      drawImage(toolkit, images[id].get(), 1, 1, toolkit.spriteTable.sheet.get(), cut.x1, cut.y1, cut.x2, cut.y2,
                DrawCopy);
    }
  }
  const Image* desk = images[SprDesk].get();
  images[SprDeskTall] = createImage(20, 43);
  Image* tall = images[SprDeskTall].get();
  RotoBlit(toolkit, tall, 9, 6, desk, 0.8f, 0.6f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  RotoBlit(toolkit, tall, 9, 17, desk, 0.8f, 2.0f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  RotoBlit(toolkit, tall, 9, 30, desk, 0.8f, 0.6f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  RotoBlit(toolkit, tall, 9, 38, desk, 0.8f, 0.6f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  setPixel(toolkit, tall, 16, 2, MASK_COLOUR);

  images[SprDeskSmall] = createImage(19, 11);
  RotoBlit(toolkit, images[SprDeskSmall].get(), 8, 5, desk, 0.8f, 0.6f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  setPixel(toolkit, images[SprDeskSmall].get(), 16, 1, MASK_COLOUR);

  images[SprAlienAFlipped] = createImage(9, 9);
  RotoBlit(toolkit, images[SprAlienAFlipped].get(), 4, 4, images[SprAlienA1].get(), 0.8f, 1.0f, 180.0f,
           Transparency::SkipMask, nullptr, nullptr);
}

void destroySpriteTable(Toolkit& toolkit) {
  forgetTextPictures(toolkit.spriteTable.textPictures);
  forgetRotoStamps(toolkit.spriteTable.rotoStamps);
  for (OwnedImage& image : toolkit.spriteTable.images) image.reset();
  toolkit.spriteTable.sheet.reset();
}

std::vector<uint32_t> iconPixels(const Image* sheet) {
  std::vector<uint32_t> icon(ICON_SIZE * ICON_SIZE, ICON_BACKGROUND);
  if (sheet == nullptr || sheet->width < 64 || sheet->height < 16) return icon;
  // Top half: the alien of cells 4-5 (x 32..47, y 0..7); bottom half: the
  // ship of cells 22-23 (x 48..63, y 8..15).
  for (int y = 0; y < ICON_SIZE; ++y)
    for (int x = 0; x < ICON_SIZE; ++x) {
      uint32_t pixel = y < 8 ? imageRow(sheet, y)[32 + x] : imageRow(sheet, y)[48 + x];
      bool shape = (pixel & 0xFFFFFF) != MASK_COLOUR;
      if (shape) icon[y * ICON_SIZE + x] = y < 8 ? ICON_ALIEN : ICON_SHIP;
    }
  return icon;
}

std::vector<uint32_t> placedIcon(const std::vector<uint32_t>& icon, int size, int scale) {
  std::vector<uint32_t> pixels(static_cast<size_t>(size) * size, icon[0]);
  const int margin = (size - ICON_SIZE * scale) / 2;
  for (int y = 0; y < ICON_SIZE * scale; ++y)
    for (int x = 0; x < ICON_SIZE * scale; ++x)
      pixels[static_cast<size_t>(margin + y) * size + margin + x] = icon[(y / scale) * ICON_SIZE + x / scale];
  return pixels;
}
