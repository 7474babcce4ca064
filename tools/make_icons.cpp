// make_icons: the desktop icons, drawn from the sprite sheet. The green
// alien stands over the player's ship on the night blue of the title, 16x16
// pixels, enlarged by whole numbers (nearest neighbour) to each size.
//   make_icons data/graphics/graphics.bmp dist/icons
// writes dist/icons/quarvel-N.png for N = 16, 32, 48, 64, 128, 256.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/png.h"

namespace {
constexpr int SIZES[] = {16, 32, 48, 64, 128, 256};
constexpr uint32_t BACKGROUND = 0xFF10104A;
constexpr uint32_t ALIEN = 0xFF20E020;  // the sheet's green alien, its own colour
constexpr uint32_t SHIP = 0xFFFFE020;
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icons SHEET.bmp FOLDER\n");
    return 2;
  }
  Image* sheet = createImage(128, 64);
  if (!loadBitmap(argv[1], sheet)) {
    destroyImage(sheet);
    std::fprintf(stderr, "make_icons: cannot read the sprite sheet %s\n", argv[1]);
    return 1;
  }
  // Top half: the alien of cells 4-5 (x 32..47, y 0..7); bottom half: the
  // ship of cells 22-23 (x 48..63, y 8..15).
  uint32_t icon[16 * 16];
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      uint32_t pixel = y < 8 ? imageRow(sheet, y)[32 + x] : imageRow(sheet, y)[48 + x];
      bool shape = (pixel & 0xFFFFFF) != MASK_COLOUR;
      icon[y * 16 + x] = !shape ? BACKGROUND : y < 8 ? ALIEN : SHIP;
    }
  destroyImage(sheet);
  for (int size : SIZES) {
    std::string path = std::string(argv[2]) + "/quarvel-" + std::to_string(size) + ".png";
    if (!writePng(path, encodePng(icon, 16, 16, 16, true, size / 16))) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
