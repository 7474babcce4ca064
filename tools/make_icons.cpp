// make_icons: the desktop icons, drawn from the sprite sheet as the game
// draws its window icon (the green alien over the player's ship on the
// night blue of the title, 16x16 pixels), enlarged by whole numbers
// (nearest neighbour) to each size.
//   make_icons data/graphics/graphics.bmp dist/icons
// writes dist/icons/quarvel-N.png for N = 16, 32, 48, 64, 128, 256.
#include <cstdio>
#include <string>

#include "formats/png.h"
#include "gfx/sprites.h"
#include "machine/machine.h"

namespace {
constexpr int SIZES[] = {16, 32, 48, 64, 128, 256};
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icons SHEET.bmp FOLDER\n");
    return 2;
  }
  spriteTable.sheet = createImage(128, 64);
  Outcome loaded = loadBitmap(argv[1], spriteTable.sheet.get());
  if (!loaded.ok()) {
    std::fprintf(stderr, "make_icons: cannot read the sprite sheet %s: %s\n", argv[1], loaded.why().c_str());
    return 1;
  }
  const std::vector<uint32_t> icon = iconPixels();
  spriteTable.sheet.reset();
  for (int size : SIZES) {
    std::string path = std::string(argv[2]) + "/quarvel-" + std::to_string(size) + ".png";
    std::string png = encodePng(icon.data(), ICON_SIZE, ICON_SIZE, ICON_SIZE, PngAlpha::Kept, size / ICON_SIZE);
    Outcome written = png.empty() ? Outcome::failure("cannot encode it") : os::replaceFile(path, png);
    if (!written.ok()) {
      std::fprintf(stderr, "make_icons: cannot write %s: %s\n", path.c_str(), written.why().c_str());
      return 1;
    }
  }
  return 0;
}
