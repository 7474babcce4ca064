#include "formats/bmp.h"

#include <algorithm>

namespace {

uint32_t read32(const uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24; }
uint16_t read16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

void put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

constexpr int32_t MAX_SIDE = 16384;
constexpr size_t FILE_HEADER = 14;
constexpr size_t INFO_HEADER = 40;
constexpr uint32_t PIXELS_PER_METRE = 2835;  // 72 dpi, both ways

}  // namespace

Outcome decodeBmp(const uint8_t* b, size_t size, Picture& picture) {
  picture = Picture{};
  if (b == nullptr || size < FILE_HEADER + INFO_HEADER) return Outcome::failure("too short for a BMP file");
  if (b[0] != 'B' || b[1] != 'M') return Outcome::failure("not a BMP file");
  uint32_t dataOffset = read32(b + 10);
  uint32_t infoSize = read32(b + 14);
  if (infoSize < INFO_HEADER || infoSize > 1024 || FILE_HEADER + infoSize > size)
    return Outcome::failure("a BMP header of an unknown kind");
  int32_t width = static_cast<int32_t>(read32(b + 18));
  int32_t height = static_cast<int32_t>(read32(b + 22));
  uint16_t planes = read16(b + 26);
  uint16_t bits = read16(b + 28);
  uint32_t compression = read32(b + 30);
  if (planes != 1 || (bits != 24 && bits != 32)) return Outcome::failure("not a 24- or 32-bit BMP");
  if (compression != 0 && !(compression == 3 && bits == 32)) return Outcome::failure("a compressed BMP");
  if (width <= 0 || width > MAX_SIDE || height == 0 || height < -MAX_SIDE || height > MAX_SIDE)
    return Outcome::failure("a BMP of an impossible size");
  bool topDown = height < 0;
  int32_t rows = topDown ? -height : height;
  uint64_t rowBytes = (static_cast<uint64_t>(width) * (bits / 8) + 3) / 4 * 4;
  if (dataOffset < FILE_HEADER + infoSize || dataOffset + rowBytes * rows > size)
    return Outcome::failure("a BMP cut short");

  picture.width = width;
  picture.height = rows;
  picture.pixels.resize(static_cast<size_t>(width) * rows);
  for (int32_t y = 0; y < rows; ++y) {
    int32_t fileRow = topDown ? y : rows - 1 - y;
    const uint8_t* from = b + dataOffset + rowBytes * fileRow;
    uint32_t* to = picture.pixels.data() + static_cast<size_t>(y) * width;
    for (int32_t x = 0; x < width; ++x) {
      if (bits == 24) {
        const uint8_t* p = from + 3 * x;
        to[x] = 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0];
      } else {
        to[x] = read32(from + 4 * x);
      }
    }
  }
  return {};
}

std::vector<uint8_t> encodeBmp(const uint32_t* pixels, int width, int height, int pitch) {
  const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  const size_t imageBytes = rowBytes * static_cast<size_t>(height);
  std::vector<uint8_t> file(FILE_HEADER + INFO_HEADER + imageBytes, 0);
  uint8_t* header = file.data();
  header[0] = 'B';
  header[1] = 'M';
  put32(header + 2, static_cast<uint32_t>(file.size()));
  put32(header + 10, FILE_HEADER + INFO_HEADER);
  put32(header + 14, INFO_HEADER);
  put32(header + 18, static_cast<uint32_t>(width));
  put32(header + 22, static_cast<uint32_t>(height));
  header[26] = 1;   // planes
  header[28] = 24;  // bits per pixel
  put32(header + 34, static_cast<uint32_t>(imageBytes));
  put32(header + 38, PIXELS_PER_METRE);
  put32(header + 42, PIXELS_PER_METRE);
  for (int y = 0; y < height; ++y) {
    const uint32_t* from = pixels + static_cast<size_t>(height - 1 - y) * pitch;
    uint8_t* to = file.data() + FILE_HEADER + INFO_HEADER + rowBytes * y;
    for (int x = 0; x < width; ++x) {
      to[3 * x] = static_cast<uint8_t>(from[x]);
      to[3 * x + 1] = static_cast<uint8_t>(from[x] >> 8);
      to[3 * x + 2] = static_cast<uint8_t>(from[x] >> 16);
    }
  }
  return file;
}
