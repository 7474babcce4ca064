// Windows BMP files: the sprite sheet is read from one, screenshots of the
// harness and the sheet tool write them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/outcome.h"

// A decoded picture: rows top first, each pixel 0xAARRGGBB.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// Reads a 24- or 32-bit BMP (bottom-up or top-down, uncompressed or 32-bit
// bit fields) held in memory. A 24-bit pixel becomes 0xFF000000 + its RGB
// value, a 32-bit pixel is kept as it is. Fails, leaving picture empty, on
// anything it cannot read.
Outcome decodeBmp(const uint8_t* bytes, size_t size, Picture& picture);

// A 24-bit bottom-up BMP of rows `pitch` pixels apart (the top byte of each
// pixel is dropped).
std::vector<uint8_t> encodeBmp(const uint32_t* pixels, int width, int height, int pitch);
