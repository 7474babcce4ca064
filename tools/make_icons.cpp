// make_icons: the icons, drawn from the sprite sheet as the game draws its
// window icon (the green alien over the player's ship on the night blue of
// the title, 16x16 pixels), enlarged by whole numbers (nearest neighbour).
//   make_icons data/graphics/graphics.bmp dist/icons
// writes the desktop's dist/icons/quarvel-N.png for N = 16, 32, 48, 64, 128, 256.
//   make_icons --web data/graphics/graphics.bmp web/icons
// writes the web app's icons: quarvel-N.png, and quarvel-maskable-N.png
// with the picture inside the circle a launcher may cut out, for N = 192
// and 512.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "formats/png.h"
#include "gfx/sprites.h"
#include "machine/machine.h"

namespace {

constexpr int SIZES[] = {16, 32, 48, 64, 128, 256};
constexpr int WEB_SIZES[] = {192, 512};

Outcome writeIcon(const std::string& path, const std::vector<uint32_t>& pixels, int size) {
  std::string png = encodePng(pixels.data(), size, size, size, PngAlpha::Kept);
  return png.empty() ? Outcome::failure("cannot encode it") : os::replaceFile(path, png);
}

}  // namespace

int main(int argc, char** argv) {
  const bool web = argc == 4 && std::strcmp(argv[1], "--web") == 0;
  if (argc != 3 && !web) {
    std::fprintf(stderr, "usage: make_icons [--web] SHEET.bmp FOLDER\n");
    return 2;
  }
  const char* sheetPath = argv[web ? 2 : 1];
  const std::string folder = argv[web ? 3 : 2];
  OwnedImage sheet = createImage(SHEET_WIDTH, SHEET_HEIGHT);
  Outcome loaded = loadBitmap(sheetPath, sheet.get());
  if (!loaded.ok()) {
    std::fprintf(stderr, "make_icons: cannot read the sprite sheet %s: %s\n", sheetPath, loaded.why().c_str());
    return 1;
  }
  const std::vector<uint32_t> icon = iconPixels(sheet.get());
  std::vector<std::pair<std::string, std::vector<uint32_t>>> files;
  if (web) {
    for (int size : WEB_SIZES) {
      // A maskable icon's picture stays inside the middle circle of 80% of
      // its width: a square of 16 * scale fits when its diagonal does.
      const int maskableScale = static_cast<int>(size * 0.8 / 1.4143 / ICON_SIZE);
      files.push_back({"/quarvel-" + std::to_string(size) + ".png", placedIcon(icon, size, size / ICON_SIZE)});
      files.push_back({"/quarvel-maskable-" + std::to_string(size) + ".png", placedIcon(icon, size, maskableScale)});
    }
  } else {
    for (int size : SIZES)
      files.push_back({"/quarvel-" + std::to_string(size) + ".png", placedIcon(icon, size, size / 16)});
  }
  for (const auto& [name, pixels] : files) {
    const int size = static_cast<int>(std::sqrt(static_cast<double>(pixels.size())));
    Outcome written = writeIcon(folder + name, pixels, size);
    if (!written.ok()) {
      std::fprintf(stderr, "make_icons: cannot write %s: %s\n", (folder + name).c_str(), written.why().c_str());
      return 1;
    }
  }
  return 0;
}
