// PNG files (screenshots, icons), compressed by stb_image_write. Native
// builds only.
#pragma once

#include <cstdint>
#include <string>

enum class PngAlpha { Dropped, Kept };

// pixels: rows of 0xAARRGGBB, `pitch` pixels apart. Every pixel is repeated
// `scale` times across and down. "" when the picture cannot be encoded.
std::string encodePng(const uint32_t* pixels, int width, int height, int pitch, PngAlpha alpha, int scale = 1);
