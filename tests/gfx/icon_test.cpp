// The window's icon against the sprite sheet's own pixels: the green alien
// of the top row over the player's ship on night blue, and that icon
// enlarged by whole numbers and centred.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/bmp.h"
#include "gfx/sprites.h"
#include "support/files.h"

namespace {

constexpr uint32_t NIGHT_BLUE = 0xFF10104A;
constexpr uint32_t ALIEN_GREEN = 0xFF20E020;
constexpr uint32_t SHIP_YELLOW = 0xFFFFE020;
// Where the two halves come from on the sheet: the alien's 16x8 cells
// beside each other in the top row, the ship's below the next ones.
constexpr int ALIEN_X = 32, ALIEN_Y = 0;
constexpr int SHIP_X = 48, SHIP_Y = 8;
constexpr int HALF = ICON_SIZE / 2;

const std::string SHEET = std::string(QUARVEL_SOURCE_DIR) + "/data/graphics/graphics.bmp";

// The committed sheet, read by the BMP reader alone.
Picture sheetFile() {
  const std::string bytes = readFileText(SHEET);
  Picture picture;
  EXPECT_TRUE(decodeBmp(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), picture).ok());
  return picture;
}

bool drawn(const Picture& sheet, int x, int y) {
  return (sheet.pixels[static_cast<size_t>(y) * sheet.width + x] & 0xFFFFFF) != MASK_COLOUR;
}

std::vector<uint32_t> gameIcon() {
  OwnedImage sheet = createImage(SHEET_WIDTH, SHEET_HEIGHT);
  EXPECT_TRUE(loadBitmap(SHEET, sheet.get()).ok());
  return iconPixels(sheet.get());
}

}  // namespace

TEST(WindowIcon, EachPixelIsTheSheetsAlienOrShipOrTheBackground) {
  const Picture sheet = sheetFile();
  ASSERT_EQ(sheet.width, SHEET_WIDTH);
  const std::vector<uint32_t> icon = gameIcon();
  ASSERT_EQ(icon.size(), static_cast<size_t>(ICON_SIZE * ICON_SIZE));
  int alien = 0, ship = 0;
  for (int y = 0; y < ICON_SIZE; ++y)
    for (int x = 0; x < ICON_SIZE; ++x) {
      const bool top = y < HALF;
      const bool shape = top ? drawn(sheet, ALIEN_X + x, ALIEN_Y + y) : drawn(sheet, SHIP_X + x, SHIP_Y + y - HALF);
      (top ? alien : ship) += shape;
      const uint32_t expected = !shape ? NIGHT_BLUE : top ? ALIEN_GREEN : SHIP_YELLOW;
      EXPECT_EQ(icon[static_cast<size_t>(y) * ICON_SIZE + x], expected) << x << "," << y;
    }
  EXPECT_GT(alien, ICON_SIZE * HALF / 4) << "the alien fills a good part of its half";
  EXPECT_GT(ship, ICON_SIZE * HALF / 4);
}

TEST(WindowIcon, EnlargedByWholeNumbersAndCentredOnItsBackground) {
  const std::vector<uint32_t> icon = gameIcon();
  struct Placing {
    int size, scale;
  } placings[] = {{64, 4}, {48, 2}, {16, 1}, {256, 16}, {40, 2}};
  for (const Placing& placing : placings) {
    const std::vector<uint32_t> pixels = placedIcon(icon, placing.size, placing.scale);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(placing.size * placing.size));
    const int margin = (placing.size - ICON_SIZE * placing.scale) / 2;
    for (int y = 0; y < placing.size; ++y)
      for (int x = 0; x < placing.size; ++x) {
        const int u = x - margin, v = y - margin;
        const bool inside = u >= 0 && v >= 0 && u < ICON_SIZE * placing.scale && v < ICON_SIZE * placing.scale;
        const uint32_t expected =
            inside ? icon[static_cast<size_t>(v / placing.scale) * ICON_SIZE + u / placing.scale] : NIGHT_BLUE;
        ASSERT_EQ(pixels[static_cast<size_t>(y) * placing.size + x], expected)
            << placing.size << " px at " << x << "," << y;
      }
  }
}
