// The shipped sprite sheet as the game sees it: a gallery of all 24 sprites
// at the scales and colours the scenes use, plus lettering, written as a BMP
// to look at; and the rules the art must keep so that text, emblems and the
// sprites that share cells with the font stay whole.
//
// Set QUARVEL_GALLERY=/some/file.bmp to keep a copy of the gallery picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "support/session.h"

namespace {

uint32_t rgb(uint32_t pixel) { return pixel & 0xFFFFFF; }
bool opaque(uint32_t pixel) { return rgb(pixel) != MASK_COLOUR; }

// The sheet exactly as the file holds it (without the pixel the game forces).
struct FileSheet {
  Image* image = createImage(128, 64);
  bool loaded = loadBitmap(std::string(QUARVEL_SOURCE_DIR) + "/data/graphics/graphics.bmp", image);
  ~FileSheet() { destroyImage(image); }
  uint32_t at(int x, int y) const { return rgb(imageRow(image, y)[x]); }
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

// --- the gallery -----------------------------------------------------------

void roto(int id, int x, int y, float sx, float sy, uint32_t colour, float angle = 0.0f) {
  RotoBlit(nullptr, x, y, sprite(id), sx, sy, angle, -1, RecolourBlend, &colour);
}
void put(int id, int x, int y, uint32_t colour) {
  drawImage(nullptr, x, y, sprite(id), DrawCustom, RecolourBlend, &colour);
}

// Every sprite as a scene shows it, plus lettering; returns how many pixels
// differ from the background.
int drawGallery() {
  const uint32_t background = 0x304050;
  drawLine(nullptr, 0, 0, 319, 239, background, LineFilledBox);
  // Stage one: the formation, the ship, its shot and wreck.
  roto(SprAlienA1, 24, 24, 4, 4, 0xC00000);
  roto(SprAlienA2, 64, 24, 4, 4, 0xC00000);
  roto(SprAlienB1, 124, 24, 4, 4, 0xFF7F00);
  roto(SprAlienB2, 190, 24, 4, 4, 0xFF7F00);
  roto(SprShip, 270, 24, 3, 3, 0xFFFF00);
  roto(SprAlienC1, 40, 64, 4, 4, 0x00C000);
  roto(SprAlienC2, 106, 64, 4, 4, 0x00C000);
  roto(SprShipBurst1, 170, 64, 3, 3, 0xFFFF00);
  roto(SprShipBurst2, 230, 64, 3, 3, 0xFFFF00);
  roto(SprShot, 280, 64, 3, 3, 0xFFFF00);
  roto(SprBomb1, 300, 64, 2, 2, 0xC0C0C0);
  // Stage two's UFO, bombs, the drill, the explosions in their own colours.
  roto(SprUfo, 40, 104, 4, 4, 0xDDDDDD);
  roto(SprBomb2, 92, 104, 2, 2, 0xC0C0C0);
  roto(SprBomb3, 112, 104, 2, 2, 0xC0C0C0);
  roto(SprMissile, 134, 104, 2, 2, 0x00FFFF, 180.0f);
  RotoBlit(nullptr, 172, 104, sprite(SprExplosion), 2.8f, 2.8f, 0.0f, -1, nullptr, nullptr);
  drawImage(nullptr, 210, 98, sprite(SprExplosion), DrawTransparent);
  drawImage(nullptr, 236, 98, sprite(SprShipBurst1), DrawTransparent);
  drawImage(nullptr, 262, 98, sprite(SprShipBurst2), DrawTransparent);
  roto(SprExplosion, 300, 104, 2, 2, 0xFFFFFF);
  // Map tiles, the hero and walkers of stage two, the spares, the desk.
  put(SprDeskSmall, 8, 134, 0xFFC864);
  put(SprDeskSmall, 24, 134, 0xFF9632);
  put(SprDeskTall, 44, 130, 0xFF5096);
  put(SprAlienAFlipped, 70, 136, 0xFF0000);
  roto(SprBomb1, 75, 150, 1, 1, 0x000000);
  roto(SprAlienA1, 100, 142, 2, 2, 0x00FFFF);
  roto(SprAlienB1, 126, 142, 1, 2, 0x0000FF);
  roto(SprAlienC1, 156, 144, 1.6f, 1.4f, 0xFFFFFF);
  for (int id = SprSpare1; id <= SprSpare4; id++) roto(id, 186 + 16 * (id - SprSpare1), 142, 1, 1, 0xFFFFFF);
  roto(SprDesk, 272, 150, 2, 2, 0xC0C0C0);
  roto(SprAlienC1, 272, 126, 2, 2, 0xC0C020);
  // Lettering: outlined black, plain white, and the emblems drawn as text.
  drawText(8, 176, "SCORE  00012345     HI SCORE  00054321", 0x000000, -1);
  drawText(8, 190, "press space key to stomp!? (y/n) 1.2,3", 0xFFFFFF, 0);
  drawText(8, 204, "HP", 0x000000, -1);
  for (int i = 1; i <= 8; i++) drawText(18 + 10 * i, 204, "\x01", 0x000000, -1);
  drawText(108, 204, "+", 0x000000, -1);
  drawText(130, 204, std::string("\x16\x17"), 0xFFFF00, 0);
  drawText(160, 200, "__\x0d", 0xFFFFFF, -1);
  drawText(160, 210, "o o", 0x000000, -1);
  drawText(200, 204, "-- /  \\ #$%&*;<=>@[]^_", 0x000000, -1);
  drawText(8, 222, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789", 0x000000, -1);

  int differing = 0;
  WorkPageInfo page = workPageInfo();
  for (int y = 0; y < page.height; y++)
    for (int x = 0; x < page.width; x++)
      if (rgb(readPixel(x, y)) != background) differing++;
  return differing;
}

TEST(SpriteGallery, AllSpritesAndLettersDrawnAsTheScenesDoWrittenToAPicture) {
  TestSession session;
  setPages(0, 0);
  for (int id = 0; id < SPRITE_COUNT; id++) {
    Image* image = sprite(id);
    ASSERT_NE(image, nullptr);
    int count = 0;
    for (int y = 0; y < image->height; y++)
      for (int x = 0; x < image->width; x++) count += opaque(imageRow(image, y)[x]) ? 1 : 0;
    EXPECT_GT(count, 0) << "sprite " << id << " is empty";
  }
  EXPECT_GT(drawGallery(), 320 * 240 / 5);
  std::string path = session.folder + "/gallery.bmp";
  ASSERT_TRUE(writeVisiblePageBmp(path));
  EXPECT_EQ(std::filesystem::file_size(path), 54u + 320u * 240u * 3u);
  if (const char* keep = std::getenv("QUARVEL_GALLERY")) {
    std::filesystem::copy_file(path, keep, std::filesystem::copy_options::overwrite_existing);
  }
}

}  // namespace
