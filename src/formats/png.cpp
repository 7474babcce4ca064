// stb_image_write does the deflate and the chunks: a 960x720 screenshot of
// the game's flat colours comes to a few kilobytes.
#include "formats/png.h"

#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace {

void append(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

}  // namespace

std::string encodePng(const uint32_t* pixels, int width, int height, int pitch, PngAlpha alpha, int scale) {
  if (width <= 0 || height <= 0 || scale <= 0) return "";
  const int outWidth = width * scale, outHeight = height * scale, channels = alpha == PngAlpha::Kept ? 4 : 3;
  std::vector<uint8_t> rows(static_cast<size_t>(outWidth) * outHeight * channels);
  uint8_t* to = rows.data();
  for (int y = 0; y < outHeight; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y / scale) * pitch;
    for (int x = 0; x < outWidth; ++x) {
      uint32_t p = row[x / scale];
      *to++ = static_cast<uint8_t>(p >> 16);
      *to++ = static_cast<uint8_t>(p >> 8);
      *to++ = static_cast<uint8_t>(p);
      if (channels == 4) *to++ = static_cast<uint8_t>(p >> 24);
    }
  }
  std::string png;
  if (stbi_write_png_to_func(append, &png, outWidth, outHeight, channels, rows.data(), outWidth * channels) == 0)
    return "";
  return png;
}
