// Loading a Windows BMP (24- or 32-bit, bottom-up or top-down) into an
// existing image. Only the overlap of picture and image is copied; a file
// that is missing, truncated or malformed leaves the image untouched.
#include "platform/bitmap.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/platform.h"

namespace {

uint32_t read32(const uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24; }
uint16_t read16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

constexpr int32_t MAX_SIDE = 16384;

}  // namespace

bool loadBitmap(const std::string& path, Image* image) {
  if (image == nullptr || image->bytesPerPixel != 4) return false;
  std::vector<uint8_t> file;
  FileRead read = readRegularFile(path, SHEET_FILE_CAP, file);
  if (read != FileRead::Ok) {
    if (read != FileRead::Missing)
      std::fprintf(stderr, "quarvel: %s: %s\n", path.c_str(), fileReadReason(read, SHEET_FILE_CAP).c_str());
    return false;
  }
  return decodeBitmap(file.data(), file.size(), image);
}

bool decodeBitmap(const uint8_t* b, size_t size, Image* image) {
  if (image == nullptr || image->bytesPerPixel != 4 || b == nullptr || size < 54) return false;
  if (b[0] != 'B' || b[1] != 'M') return false;
  uint32_t dataOffset = read32(b + 10);
  uint32_t infoSize = read32(b + 14);
  if (infoSize < 40 || infoSize > 1024 || 14u + infoSize > size) return false;
  int32_t width = static_cast<int32_t>(read32(b + 18));
  int32_t height = static_cast<int32_t>(read32(b + 22));
  uint16_t planes = read16(b + 26);
  uint16_t bits = read16(b + 28);
  uint32_t compression = read32(b + 30);
  if (planes != 1 || (bits != 24 && bits != 32)) return false;
  if (compression != 0 && !(compression == 3 && bits == 32)) return false;
  if (width <= 0 || width > MAX_SIDE || height == 0 || height < -MAX_SIDE || height > MAX_SIDE) return false;
  bool topDown = height < 0;
  int32_t rows = topDown ? -height : height;
  uint64_t rowBytes = (static_cast<uint64_t>(width) * (bits / 8) + 3) / 4 * 4;
  if (dataOffset < 14u + infoSize || dataOffset + rowBytes * rows > size) return false;

  int32_t copyWidth = std::min(width, image->width);
  int32_t copyHeight = std::min(rows, image->height);
  for (int32_t y = 0; y < copyHeight; ++y) {
    int32_t fileRow = topDown ? y : rows - 1 - y;
    const uint8_t* from = b + dataOffset + rowBytes * fileRow;
    uint32_t* to = imageRow(image, y);
    for (int32_t x = 0; x < copyWidth; ++x) {
      if (bits == 24) {
        const uint8_t* p = from + 3 * x;
        to[x] = 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0];
      } else {
        to[x] = read32(from + 4 * x);
      }
    }
  }
  return true;
}
