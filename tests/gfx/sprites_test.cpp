// The sprite table: each cut lands at (1, 1) of its image with transparent
// margins, the derived images, the forced white pixel and the teardown.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "formats/bmp.h"
#include "gfx/rotoblit.h"
#include "support/gfx_session.h"
#include "support/test_sheet.h"

namespace {

struct SpriteTableTest : ::testing::Test {
  GfxSession session;
  Toolkit& toolkit = session.toolkit;
};

TEST_F(SpriteTableTest, CutsLandAtOneOneInsideTransparentMargins) {
  buildTestSheet(toolkit, holedSheetPixel);
  // Two cuts checked by hand: the ship and the desk.
  EXPECT_EQ(spriteCut(SprShip).x1, 48);
  EXPECT_EQ(spriteCut(SprShip).y1, 8);
  EXPECT_EQ(sprite(toolkit, SprShip)->width, 19);
  EXPECT_EQ(sprite(toolkit, SprDesk)->height, 18);
  for (int id = 0; id <= SprDesk; ++id) {
    const SpriteCut& cut = spriteCut(id);
    const Image* image = sprite(toolkit, id);
    ASSERT_NE(image, nullptr) << id;
    ASSERT_EQ(image->width, cut.width) << id;
    ASSERT_EQ(image->height, cut.height) << id;
    // The margins: one column and row before the cut, the rest after it.
    ASSERT_GE(cut.width, cut.x2 - cut.x1 + 2) << id;
    for (int y = 0; y < cut.height; ++y)
      for (int x = 0; x < cut.width; ++x) {
        int sx = cut.x1 + x - 1, sy = cut.y1 + y - 1;
        bool inside = x >= 1 && y >= 1 && sx <= cut.x2 && sy <= cut.y2;
        uint32_t expected = inside ? sheetAt(toolkit, sx, sy) : 0xFFFF00FFu;
        ASSERT_EQ(spriteAt(toolkit, id, x, y), expected) << "id " << id << " at " << x << "," << y;
      }
  }
  // The desk's last sheet row (17) does not fit into its 18-row image.
  EXPECT_EQ(spriteAt(toolkit, SprDesk, 5, 17), sheetAt(toolkit, 92, 16));
}

TEST_F(SpriteTableTest, MissingPictureLeavesOnlyTheForcedWhitePixel) {
  std::remove("graphics/graphics.bmp");
  EXPECT_FALSE(loadSpriteSheet(toolkit).ok()) << "the game's start-up makes this a clear error";
  buildSpriteTable(toolkit);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x)
      ASSERT_EQ(sheetAt(toolkit, x, y) & 0xFFFFFF, (x == 12 && y == 3) ? 0xFFFFFFu : MASK_COLOUR) << x << "," << y;
  EXPECT_EQ(spriteAt(toolkit, SprAlienA1, 5, 4), 0xFFFFFFu);

  const uint32_t red = 0xFF0000;
  RotoBlit(toolkit, nullptr, 100, 100, sprite(toolkit, SprAlienA1), 1.0f, 1.0f, 0.0f, Transparency::SkipMask,
           RecolourBlend, &red);
  Box box = pageBox(toolkit);
  EXPECT_EQ(box.width(), 1);
  EXPECT_EQ(box.height(), 1);
  EXPECT_EQ(readPixel(toolkit, box.left, box.top), red);

  int whites = 0;
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) whites += (spriteAt(toolkit, SprAlienAFlipped, x, y) & 0xFFFFFF) != MASK_COLOUR;
  // The half turn's tiny float sine lifts the polygon by a row, so the
  // turned alien shows source row 4 twice, on rows 3 and 4.
  EXPECT_EQ(whites, 2);
  EXPECT_EQ(spriteAt(toolkit, SprAlienAFlipped, 4, 3), 0xFFFFFFu);
  EXPECT_EQ(spriteAt(toolkit, SprAlienAFlipped, 4, 4), 0xFFFFFFu);
}

// A 24-bit bottom-up Windows bitmap of the sheet's size.
void writeSheetBitmap(const std::string& path, uint32_t (*pixel)(int, int)) {
  std::vector<uint32_t> pixels(128 * 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x) pixels[y * 128 + x] = pixel(x, y);
  std::vector<uint8_t> bmp = encodeBmp(pixels.data(), 128, 64, 128);
  writeFile(path, std::string(bmp.begin(), bmp.end()));
}

TEST_F(SpriteTableTest, LoadedPictureKeepsItsMaskPixelsAndGetsTheWhitePixel) {
  writeSheetBitmap("graphics/graphics.bmp", holedSheetPixel);
  ASSERT_TRUE(loadSpriteSheet(toolkit).ok());
  buildSpriteTable(toolkit);
  EXPECT_EQ(holedSheetPixel(12, 3), 0xFFFF00FFu);             // transparent in the file ...
  EXPECT_EQ(spriteAt(toolkit, SprAlienA1, 5, 4), 0xFFFFFFu);  // ... white in the sprite
  EXPECT_EQ(sheetAt(toolkit, 13, 3), 0xFF000000u | holedSheetPixel(13, 3));
  // A mask pixel inside a cut stays transparent: sheet (18, 0) is one.
  EXPECT_EQ(holedSheetPixel(18, 0), 0xFFFF00FFu);
  EXPECT_EQ(spriteAt(toolkit, SprAlienB1, 3, 1) & 0xFFFFFF, MASK_COLOUR);
  EXPECT_EQ(spriteAt(toolkit, SprAlienB1, 4, 1), 0xFF000000u | holedSheetPixel(19, 0));
}

TEST_F(SpriteTableTest, DerivedImagesHoldOnlyDeskOrAlienPixels) {
  buildTestSheet(toolkit, solidSheetPixel);
  struct Derived {
    int id, width, height, from;
  };
  const Derived derived[] = {
      {SprDeskTall, 20, 43, SprDesk}, {SprDeskSmall, 19, 11, SprDesk}, {SprAlienAFlipped, 9, 9, SprAlienA1}};
  for (const Derived& d : derived) {
    const Image* image = sprite(toolkit, d.id);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, d.width);
    EXPECT_EQ(image->height, d.height);
    int shown = 0;
    for (int y = 0; y < d.height; ++y)
      for (int x = 0; x < d.width; ++x) {
        uint32_t p = spriteAt(toolkit, d.id, x, y);
        if ((p & 0xFFFFFF) == MASK_COLOUR) continue;
        ++shown;
        // Derived pixels come from the source sprite's cut, never its margins.
        const SpriteCut& cut = spriteCut(d.from);
        if (p == 0xFFFFFFu) continue;  // the forced white pixel
        ASSERT_GE(codedU(p), cut.x1) << d.id;
        ASSERT_LE(codedU(p), cut.x2) << d.id;
        ASSERT_GE(codedV(p), cut.y1) << d.id;
        ASSERT_LE(codedV(p), cut.y2) << d.id;
      }
    EXPECT_GT(shown, d.width * d.height / 3) << d.id;
    EXPECT_EQ(spriteAt(toolkit, d.id, d.width - 1, d.height / 2), 0xFFFF00FFu) << "last column never drawn";
  }
  EXPECT_EQ(spriteAt(toolkit, SprDeskTall, 16, 2), MASK_COLOUR);
  EXPECT_EQ(spriteAt(toolkit, SprDeskSmall, 16, 1), MASK_COLOUR);
  EXPECT_NE(spriteAt(toolkit, SprDeskSmall, 15, 1) & 0xFFFFFF, MASK_COLOUR);
  // Turned half round: the alien's bottom row now sits on top.
  EXPECT_GE(codedV(spriteAt(toolkit, SprAlienAFlipped, 4, 1)), 5);
  EXPECT_LE(codedV(spriteAt(toolkit, SprAlienAFlipped, 4, 7)), 2);
}

TEST_F(SpriteTableTest, DestroyFreesEverythingAndForgetsThePointers) {
  buildTestSheet(toolkit, solidSheetPixel);
  destroySpriteTable(toolkit);
  EXPECT_EQ(toolkit.spriteTable.sheet, nullptr);
  for (int id = 0; id < SPRITE_COUNT; ++id) EXPECT_EQ(sprite(toolkit, id), nullptr) << id;
  destroySpriteTable(toolkit);  // a second call is harmless
}

}  // namespace
