// Text drawing: one 8x8 sheet cell per character, capitals for lower case,
// the outline ring in sheet colours under the recoloured letters.
#include "gfx/text.h"

#include <gtest/gtest.h>

#include "support/gfx_session.h"
#include "support/test_sheet.h"

namespace {

struct TextTest : ::testing::Test {
  GfxSession session;
  Toolkit& toolkit = session.toolkit;
};

TEST_F(TextTest, EachCharacterFillsOneCellOfPitchEight) {
  buildTestSheet(toolkit, solidSheetPixel);
  drawText(toolkit, 40, 50, "HELLO 1", 0x00FF00, Outline::No);
  Box box = pageBox(toolkit);
  EXPECT_EQ(box.left, 40);
  EXPECT_EQ(box.width(), 8 * 7);
  EXPECT_EQ(box.top, 50);
  EXPECT_EQ(box.height(), 8);
  for (int y = 50; y < 58; ++y)
    for (int x = 40; x < 96; ++x) ASSERT_EQ(readPixel(toolkit, x, y), 0x00FF00u);
}

TEST_F(TextTest, OutlineAddsOnePixelAllRound) {
  buildTestSheet(toolkit, solidSheetPixel);
  drawText(toolkit, 40, 50, "AB", 0x000000, Outline::Yes);
  Box box = pageBox(toolkit);
  EXPECT_EQ(box.left, 39);
  EXPECT_EQ(box.right, 56);
  EXPECT_EQ(box.top, 49);
  EXPECT_EQ(box.bottom, 58);
  // The letters themselves are black, the ring keeps the sheet colours.
  EXPECT_EQ(readPixel(toolkit, 40, 50), 0u);
  // Last outline draw wins: (-1, -1) on the left and top, (+1, +1) on the right, (-1, +1) below.
  int ax = 8 * ('A' % 16), ay = 8 * ('A' / 16), bx = 8 * ('B' % 16), by = 8 * ('B' / 16);
  EXPECT_EQ(readPixel(toolkit, 39, 53), sheetAt(toolkit, ax, ay + 4));
  EXPECT_EQ(readPixel(toolkit, 39, 49), sheetAt(toolkit, ax, ay));
  EXPECT_EQ(readPixel(toolkit, 43, 49), sheetAt(toolkit, ax + 4, ay));
  EXPECT_EQ(readPixel(toolkit, 43, 58), sheetAt(toolkit, ax + 4, ay + 7));
  EXPECT_EQ(readPixel(toolkit, 56, 53), sheetAt(toolkit, bx + 7, by + 2));
  // The next character's ring is drawn over the previous letter's last column.
  EXPECT_EQ(readPixel(toolkit, 47, 53), sheetAt(toolkit, bx, by + 4));
}

TEST_F(TextTest, LowerCaseDrawsTheCapitals) {
  buildTestSheet(toolkit, holedSheetPixel);
  drawText(toolkit, 10, 20, "Quarvel, the 3rd wave!", 0xFFFFFF, Outline::Yes);
  std::vector<uint32_t> lower = pageCopy(toolkit);
  clearPage(toolkit);
  drawText(toolkit, 10, 20, "QUARVEL, THE 3RD WAVE!", 0xFFFFFF, Outline::Yes);
  EXPECT_EQ(pageCopy(toolkit), lower);
  EXPECT_FALSE(pageBox(toolkit).empty());
}

TEST_F(TextTest, ControlCodesShowTheirSpriteCells) {
  buildTestSheet(toolkit, holedSheetPixel);
  const uint32_t yellow = 0xFFFF00;
  drawText(toolkit, 100, 100, "\x16\x17", yellow, Outline::No);
  // The ship's two cells, 16 pixels wide, every opaque sheet pixel in the text colour.
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) {
      bool opaque = (sheetAt(toolkit, 48 + x, 8 + y) & 0xFFFFFF) != MASK_COLOUR;
      ASSERT_EQ(readPixel(toolkit, 100 + x, 100 + y), opaque ? yellow : 0u) << x << "," << y;
    }
  EXPECT_EQ(pageBox(toolkit).width(), 16);
}

TEST_F(TextTest, NothingForEmptyTextOrWithoutSheet) {
  buildTestSheet(toolkit, solidSheetPixel);
  drawText(toolkit, 10, 10, "", 0xFFFFFF, Outline::Yes);
  EXPECT_TRUE(pageBox(toolkit).empty());
  drawText(toolkit, 316, 236, "CLIP", 0xFFFFFF, Outline::Yes);  // off the corner: cut, no crash
  EXPECT_EQ(readPixel(toolkit, 319, 239), 0xFFFFFFu);
  destroySpriteTable(toolkit);
  clearPage(toolkit);
  drawText(toolkit, 10, 10, "NO SHEET", 0xFFFFFF, Outline::Yes);
  EXPECT_TRUE(pageBox(toolkit).empty());
}

}  // namespace
