// make_icons: the desktop icons, drawn from the sprite sheet. The green
// alien stands over the player's ship on the night blue of the title, 16x16
// pixels, enlarged by whole numbers (nearest neighbour) to each size.
//   make_icons data/graphics/graphics.bmp dist/icons
// writes dist/icons/quarvel-N.png for N = 16, 32, 48, 64, 128, 256.
//   make_icons --web data/graphics/graphics.bmp web/icons
// writes the web app's icons: quarvel-N.png, and quarvel-maskable-N.png
// with the picture inside the circle a launcher may cut out, for N = 192
// and 512. Their three colours make them 2-bit palette PNGs, a sixteenth
// of the size of the same pixels stored as RGBA.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/png.h"

namespace {
constexpr int SIZES[] = {16, 32, 48, 64, 128, 256};
constexpr uint32_t BACKGROUND = 0xFF10104A;
constexpr uint32_t ALIEN = 0xFF20E020;  // the sheet's green alien, its own colour
constexpr uint32_t SHIP = 0xFFFFE020;
constexpr int WEB_SIZES[] = {192, 512};

void put32(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

void chunk(std::string& out, const char* type, const std::string& data) {
  put32(out, static_cast<uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  out += body;
  put32(out, crc32Of(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

// A size x size PNG of palette indices 0 (background), 1 (alien) and 2
// (ship), two bits a pixel: the 16x16 icon enlarged `scale` times and
// centred on the background.
std::string palettePng(const uint8_t* icon, int size, int scale) {
  const int margin = (size - 16 * scale) / 2;
  const size_t rowBytes = 1 + static_cast<size_t>(size) / 4;
  std::vector<uint8_t> raw(rowBytes * static_cast<size_t>(size), 0);  // filter 0, index 0
  for (int y = 0; y < 16 * scale; ++y)
    for (int x = 0; x < 16 * scale; ++x) {
      int px = margin + x, py = margin + y;
      uint8_t index = icon[(y / scale) * 16 + x / scale];
      raw[static_cast<size_t>(py) * rowBytes + 1 + static_cast<size_t>(px) / 4] |=
          static_cast<uint8_t>(index << (6 - 2 * (px % 4)));
    }
  std::string zlib = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size();) {
    size_t length = std::min<size_t>(raw.size() - at, 65535);
    zlib.push_back(at + length == raw.size() ? 1 : 0);
    zlib += {static_cast<char>(length & 0xFF), static_cast<char>(length >> 8), static_cast<char>(~length & 0xFF),
             static_cast<char>((~length >> 8) & 0xFF)};
    zlib.append(reinterpret_cast<const char*>(raw.data() + at), length);
    at += length;
  }
  put32(zlib, b << 16 | a);
  std::string header;
  put32(header, static_cast<uint32_t>(size));
  put32(header, static_cast<uint32_t>(size));
  header += {2, 3, 0, 0, 0};  // bit depth 2, palette, deflate, no filter choice, no interlace
  std::string palette;
  for (uint32_t colour : {BACKGROUND, ALIEN, SHIP})
    palette += {static_cast<char>(colour >> 16), static_cast<char>(colour >> 8), static_cast<char>(colour)};
  std::string png = "\x89PNG\r\n\x1a\n";
  chunk(png, "IHDR", header);
  chunk(png, "PLTE", palette);
  chunk(png, "IDAT", zlib);
  chunk(png, "IEND", "");
  return png;
}

int writeWebIcons(const uint32_t* icon, const std::string& folder) {
  uint8_t indices[16 * 16];
  for (int i = 0; i < 16 * 16; ++i) indices[i] = icon[i] == BACKGROUND ? 0 : icon[i] == ALIEN ? 1 : 2;
  for (int size : WEB_SIZES) {
    // A maskable icon's picture stays inside the middle circle of 80% of its
    // width: a square of 16 * scale fits when its diagonal does.
    const int maskableScale = static_cast<int>(size * 0.8 / 1.4143 / 16);
    for (bool maskable : {false, true}) {
      std::string path = folder + (maskable ? "/quarvel-maskable-" : "/quarvel-") + std::to_string(size) + ".png";
      if (!writePng(path, palettePng(indices, size, maskable ? maskableScale : size / 16))) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
        return 1;
      }
    }
  }
  return 0;
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
  Image* sheet = createImage(128, 64);
  if (!loadBitmap(sheetPath, sheet)) {
    destroyImage(sheet);
    std::fprintf(stderr, "make_icons: cannot read the sprite sheet %s\n", sheetPath);
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
  if (web) return writeWebIcons(icon, folder);
  for (int size : SIZES) {
    std::string path = folder + "/quarvel-" + std::to_string(size) + ".png";
    if (!writePng(path, encodePng(icon, 16, 16, 16, true, size / 16))) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
