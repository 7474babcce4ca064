// PNG files, read back by stb_image, a decoder that is not the writer's:
// every pixel at every whole-number factor, the alpha kept or dropped.
#include "formats/png.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace {

struct Decoded {
  bool ok = false;
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB (0xFF for RGB files)
};

Decoded decodePng(const std::string& png) {
  Decoded out;
  int channels = 0;
  unsigned char* rgba = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()),
                                              static_cast<int>(png.size()), &out.width, &out.height, &channels, 4);
  if (rgba == nullptr) return out;
  for (int i = 0; i < out.width * out.height; ++i) {
    const unsigned char* p = rgba + 4 * i;
    out.pixels.push_back(static_cast<uint32_t>(p[3]) << 24 | p[0] << 16 | p[1] << 8 | p[2]);
  }
  stbi_image_free(rgba);
  out.ok = true;
  return out;
}

}  // namespace

TEST(Png, AFrameDecodesBackEqualAtEveryFactor) {
  constexpr int WIDTH = 320, HEIGHT = 240;
  std::vector<uint32_t> page(WIDTH * HEIGHT);
  uint32_t seed = 12345;
  for (uint32_t& pixel : page) pixel = (seed = seed * 1103515245 + 12345) >> 8;  // any 24-bit colours
  for (int factor : {1, 2, 3}) {
    Decoded decoded = decodePng(encodePng(page.data(), WIDTH, HEIGHT, WIDTH, PngAlpha::Dropped, factor));
    ASSERT_TRUE(decoded.ok) << factor;
    EXPECT_EQ(decoded.width, WIDTH * factor);
    EXPECT_EQ(decoded.height, HEIGHT * factor);
    std::vector<uint32_t> scaled;
    for (int y = 0; y < HEIGHT * factor; ++y)
      for (int x = 0; x < WIDTH * factor; ++x)
        scaled.push_back(0xFF000000 | (page[(y / factor) * WIDTH + x / factor] & 0xFFFFFF));
    EXPECT_TRUE(decoded.pixels == scaled) << factor;
  }
}

TEST(Png, AlphaIsKeptOnlyWhenAskedAndRowsArePitchApart) {
  const uint32_t rows[] = {0x80FF0000, 0x0000FF00, 0x12345678,  // the third column is not part of it
                           0xFF0000FF, 0x40FFFFFF, 0x12345678};
  EXPECT_EQ(decodePng(encodePng(rows, 2, 2, 3, PngAlpha::Kept)).pixels,
            (std::vector<uint32_t>{0x80FF0000, 0x0000FF00, 0xFF0000FF, 0x40FFFFFF}));
  EXPECT_EQ(decodePng(encodePng(rows, 2, 2, 3, PngAlpha::Dropped)).pixels,
            (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
  for (int size : {0, -1}) {
    EXPECT_EQ(encodePng(rows, size, 2, 3, PngAlpha::Kept), "");
    EXPECT_EQ(encodePng(rows, 2, size, 3, PngAlpha::Kept), "");
    EXPECT_EQ(encodePng(rows, 2, 2, 3, PngAlpha::Kept, size), "") << "scale " << size;
  }
}
