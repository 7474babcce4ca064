// The shipped sprite sheet: the rules the art must keep so that text, emblems
// and the sprites that share cells with the font stay whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "machine/machine.h"
#include "support/files.h"

namespace {

uint32_t rgb(uint32_t pixel) { return pixel & 0xFFFFFF; }
bool opaque(uint32_t pixel) { return rgb(pixel) != MASK_COLOUR; }

// The sheet exactly as the file holds it (without the pixel the game forces).
struct FileSheet {
  OwnedImage image = createImage(128, 64);
  bool loaded = loadBitmap(std::string(QUARVEL_SOURCE_DIR) + "/data/graphics/graphics.bmp", image.get()).ok();
  uint32_t at(int x, int y) const { return rgb(imageRow(image.get(), y)[x]); }
  // Pixel (x, y) of the 8x8 cell of a character code.
  uint32_t cell(int code, int x, int y) const { return at(8 * (code % 16) + x, 8 * (code / 16) + y); }
  int opaqueIn(int x1, int y1, int x2, int y2) const {
    int count = 0;
    for (int y = y1; y <= y2; y++)
      for (int x = x1; x <= x2; x++) count += opaque(at(x, y)) ? 1 : 0;
    return count;
  }
  int opaqueInCell(int code) const {
    int x = 8 * (code % 16), y = 8 * (code / 16);
    return opaqueIn(x, y, x + 7, y + 7);
  }
};

class SpriteArt : public ::testing::Test {
 protected:
  FileSheet sheet;
};

TEST_F(SpriteArt, EveryFontGlyphIsPureWhiteAndOnlySpaceIsBlank) {
  ASSERT_TRUE(sheet.loaded);
  EXPECT_EQ(sheet.opaqueInCell(' '), 0);
  for (int code = 33; code <= 95; code++) {
    EXPECT_GT(sheet.opaqueInCell(code), 0) << "glyph " << static_cast<char>(code);
    for (int y = 0; y < 8; y++)
      for (int x = 0; x < 8; x++) {
        uint32_t p = sheet.cell(code, x, y);
        if (opaque(p)) {
          ASSERT_EQ(p, 0xFFFFFFu) << "glyph " << static_cast<char>(code) << " at " << x << "," << y;
        }
      }
  }
}

// Letters and digits leave their last column and last row blank, so words
// keep a gap between letters and an outline does not merge them.
TEST_F(SpriteArt, LettersAndDigitsKeepAnEmptyRightColumnAndBottomRow) {
  std::string glyphs = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?.:'\"()";
  for (char c : glyphs) {
    int code = static_cast<unsigned char>(c);
    int x = 8 * (code % 16), y = 8 * (code / 16);
    EXPECT_EQ(sheet.opaqueIn(x + 7, y, x + 7, y + 7), 0) << c;
    EXPECT_EQ(sheet.opaqueIn(x, y + 7, x + 7, y + 7), 0) << c;
  }
}

// The desk's rectangle reaches two pixel rows into the cells of '+', ',' and
// '-': those rows stay empty, so neither the desk nor the glyphs are spoiled.
TEST_F(SpriteArt, DeskAndTheGlyphsUnderItShareNoPixel) {
  for (int code : {'+', ',', '-'}) {
    int x = 8 * (code % 16), y = 8 * (code / 16);
    EXPECT_EQ(sheet.opaqueIn(x, y, x + 7, y + 1), 0) << static_cast<char>(code);
  }
  EXPECT_EQ(sheet.opaqueIn(88, 16, 111, 17), 0);
  EXPECT_GT(sheet.opaqueIn(88, 0, 111, 15), 24 * 16 / 2) << "the desk is mostly solid";
  EXPECT_GT(sheet.opaqueInCell(13), 0) << "code 13 shows on the title screen";
}

TEST_F(SpriteArt, CellsOfNoSpriteAreEmpty) {
  std::vector<int> unused = {0, 96};
  for (int code = 101; code <= 127; code++) unused.push_back(code);
  for (int code : unused) EXPECT_EQ(sheet.opaqueInCell(code), 0) << "cell " << code;
}

// The little alien: the game forces its pixel (4, 3) white, so the art has it
// already; its eyes are holes at (2, 3) and (5, 3) and its arms reach the cell
// edges in rows 3 and 4, which the hangar scene closes and clips to turn it.
TEST_F(SpriteArt, LittleAlienHasTheEyesAndArmsTheStoryEdits) {
  EXPECT_EQ(sheet.at(12, 3), 0xFFFFFFu);
  EXPECT_FALSE(opaque(sheet.cell(1, 2, 3)));
  EXPECT_FALSE(opaque(sheet.cell(1, 5, 3)));
  for (int y : {3, 4}) {
    EXPECT_TRUE(opaque(sheet.cell(1, 0, y)));
    EXPECT_TRUE(opaque(sheet.cell(1, 7, y)));
  }
  // Its cell is outlined as the hit-point mark: the ring must be light.
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 8; x++)
      if (opaque(sheet.cell(1, x, y))) {
        EXPECT_EQ(sheet.cell(1, x, y), 0xFFFFFFu);
      }
}

// The explosion and the two ship bursts are drawn in their own colours.
TEST_F(SpriteArt, ExplosionsAreDrawnInSeveralColours) {
  struct Rect {
    const char* name;
    int x1, y1;
  };
  for (Rect r : {Rect{"explosion", 72, 0}, Rect{"burst 1", 8, 48}, Rect{"burst 2", 24, 48}}) {
    std::set<uint32_t> colours;
    for (int y = r.y1; y < r.y1 + 8; y++)
      for (int x = r.x1; x < r.x1 + 16; x++)
        if (opaque(sheet.at(x, y))) colours.insert(sheet.at(x, y));
    EXPECT_GE(colours.size(), 3u) << r.name;
  }
}

// At scale 8 the UFO is stage three's body, which must stop every shot that
// rises under it: no column between its ends may be empty. The drill's shape
// is solid in every row, so a drilled hole holds no island that stops a shot.
TEST_F(SpriteArt, UfoHasNoGapAShotCouldPassAndTheDrillCutsCleanHoles) {
  int first = -1, last = -1;
  for (int x = 48; x < 64; x++)
    if (sheet.opaqueIn(x, 0, x, 7) > 0) {
      if (first < 0) first = x;
      last = x;
    }
  for (int x = first; x <= last; x++) EXPECT_GT(sheet.opaqueIn(x, 0, x, 7), 0) << "UFO column " << x - 48;
  for (int y = 8; y < 16; y++) {
    int left = 999, right = -1;
    for (int x = 112; x < 120; x++)
      if (opaque(sheet.at(x, y))) left = std::min(left, x), right = std::max(right, x);
    if (right >= 0) {
      EXPECT_EQ(sheet.opaqueIn(left, y, right, y), right - left + 1) << "drill row " << y - 8;
    }
  }
  // Drawn turned 180 degrees as it rises, so its point is the cell's bottom.
  EXPECT_LT(sheet.opaqueIn(112, 15, 119, 15), sheet.opaqueIn(112, 8, 119, 8));
}

}  // namespace
