// Small helpers for the graphics tests: hand-made images whose every pixel
// names its own source position, and look-ups of what landed on the page.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "machine/machine.h"

// A source pixel that tells where it came from: 0xC0VVUU.
inline uint32_t codedPixel(int u, int v) {
  return 0xC00000u | (static_cast<uint32_t>(v) << 8) | static_cast<uint32_t>(u);
}
inline int codedU(uint32_t p) { return static_cast<int>(p & 0xFF); }
inline int codedV(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
inline bool isCoded(uint32_t p) { return (p & 0xFF0000) == 0xC00000; }

inline uint32_t pixelAt(const OwnedImage& image, int x, int y) { return imageRow(image.get(), y)[x]; }

// An image of the game's own kind whose pixel (u, v) is codedPixel(u, v).
inline OwnedImage makeCodedImage(int width, int height) {
  OwnedImage image = createImage(width, height);
  for (int v = 0; v < height; ++v)
    for (int u = 0; u < width; ++u) imageRow(image.get(), v)[u] = codedPixel(u, v);
  return image;
}

// A hand-built block in the 32-byte header form with 1 or 2 bytes per pixel
// (the game never makes these; the drawer still supports them).
struct SmallPixelImage {
  std::vector<uint8_t> block;
  int bytes, width, height, pitch;
  SmallPixelImage(int bytesPerPixel, int w, int h)
      : bytes(bytesPerPixel), width(w), height(h), pitch((w * bytesPerPixel + 15) / 16 * 16) {
    block.assign(32 + static_cast<size_t>(pitch) * h + 16, 0);
    int32_t header[5] = {7, bytes, width, height, pitch};
    std::memcpy(block.data(), header, sizeof header);
  }
  Image* get() { return reinterpret_cast<Image*>(block.data()); }
  uint8_t* at(int x, int y) {
    return block.data() + 32 + static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bytes;
  }
  uint32_t read(int x, int y) {
    uint32_t value = 0;
    std::memcpy(&value, at(x, y), bytes);
    return value;
  }
  void write(int x, int y, uint32_t value) { std::memcpy(at(x, y), &value, bytes); }
};

// The smallest box holding every work-page pixel that differs from `background`.
struct Box {
  int left = 1000, top = 1000, right = -1, bottom = -1;
  bool empty() const { return right < 0; }
  int width() const { return empty() ? 0 : right - left + 1; }
  int height() const { return empty() ? 0 : bottom - top + 1; }
};
inline Box pageBox(Machine& machine, uint32_t background = 0) {
  Box box;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) {
      if (readPixel(machine, x, y) == background) continue;
      if (x < box.left) box.left = x;
      if (x > box.right) box.right = x;
      if (y < box.top) box.top = y;
      if (y > box.bottom) box.bottom = y;
    }
  return box;
}

// A copy of the whole work page, for comparing two drawings.
inline std::vector<uint32_t> pageCopy(Machine& machine) {
  std::vector<uint32_t> pixels(320 * 240);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) pixels[static_cast<size_t>(y) * 320 + x] = readPixel(machine, x, y);
  return pixels;
}
