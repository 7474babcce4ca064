// PNG files written without a compression library: the pixels go into
// stored (uncompressed) deflate blocks, which every PNG reader accepts.
#pragma once

#include <cstdint>
#include <string>

// pixels: rows of 0xAARRGGBB, `pitch` pixels apart. With alpha the file is
// RGBA, else RGB (the top byte is ignored). Every pixel is repeated `scale`
// times across and down.
std::string encodePng(const uint32_t* pixels, int width, int height, int pitch, bool alpha, int scale = 1);
bool writePng(const std::string& path, const std::string& png);
uint32_t crc32Of(const uint8_t* data, size_t size, uint32_t crc = 0);
