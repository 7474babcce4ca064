// A made-up sprite sheet for the toolkit tests, so they do not depend on the
// shipped art: every pixel names its sheet position, some are transparent.
#pragma once

#include <gtest/gtest.h>

#include "gfx/sprites.h"
#include "support/picture.h"

// Every pixel opaque and telling where it came from.
inline uint32_t solidSheetPixel(int x, int y) { return codedPixel(x, y); }
// A scattering of transparent pixels among the coded ones.
inline uint32_t holedSheetPixel(int x, int y) { return (x + 2 * y) % 6 == 0 ? 0xFFFF00FFu : codedPixel(x, y); }

// Loads the sheet the game's way, repaints every pixel with `pixel`, then
// cuts the sprite table from it.
inline void buildTestSheet(Toolkit& toolkit, uint32_t (*pixel)(int, int)) {
  EXPECT_TRUE(loadSpriteSheet(toolkit).ok());
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x) imageRow(toolkit.spriteTable.sheet.get(), y)[x] = pixel(x, y);
  buildSpriteTable(toolkit);
}

inline uint32_t sheetAt(Toolkit& toolkit, int x, int y) { return imageRow(toolkit.spriteTable.sheet.get(), y)[x]; }
inline uint32_t spriteAt(Toolkit& toolkit, int id, int x, int y) { return imageRow(sprite(toolkit, id), y)[x]; }
