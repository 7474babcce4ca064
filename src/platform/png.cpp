// PNG: signature, IHDR, one IDAT of a zlib stream of stored deflate blocks,
// IEND. Each chunk carries its CRC-32; the zlib stream ends in its Adler-32.
#include "platform/png.h"

#include <cstdio>
#include <vector>

#include "platform/files.h"

namespace {

void put32(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

void chunk(std::string& out, const char* type, const std::string& data) {
  put32(out, static_cast<uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  out += body;
  put32(out, crc32Of(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

// zlib stream (no compression) of the filtered rows.
std::string storedZlib(const std::vector<uint8_t>& raw) {
  std::string out = {0x78, 0x01};
  size_t at = 0;
  do {
    size_t length = std::min<size_t>(raw.size() - at, 65535);
    bool last = at + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<char>(length & 0xFF));
    out.push_back(static_cast<char>(length >> 8));
    out.push_back(static_cast<char>(~length & 0xFF));
    out.push_back(static_cast<char>((~length >> 8) & 0xFF));
    out.append(reinterpret_cast<const char*>(raw.data() + at), length);
    at += length;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  put32(out, b << 16 | a);
  return out;
}

}  // namespace

uint32_t crc32Of(const uint8_t* data, size_t size, uint32_t crc) {
  static uint32_t table[256];
  if (table[1] == 0) {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
  }
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::string encodePng(const uint32_t* pixels, int width, int height, int pitch, bool alpha, int scale) {
  const int outWidth = width * scale, outHeight = height * scale, channels = alpha ? 4 : 3;
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(outHeight) * (1 + outWidth * channels));
  for (int y = 0; y < outHeight; ++y) {
    raw.push_back(0);  // filter: none
    const uint32_t* row = pixels + static_cast<size_t>(y / scale) * pitch;
    for (int x = 0; x < outWidth; ++x) {
      uint32_t p = row[x / scale];
      raw.push_back(static_cast<uint8_t>(p >> 16));
      raw.push_back(static_cast<uint8_t>(p >> 8));
      raw.push_back(static_cast<uint8_t>(p));
      if (alpha) raw.push_back(static_cast<uint8_t>(p >> 24));
    }
  }
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  put32(header, static_cast<uint32_t>(outWidth));
  put32(header, static_cast<uint32_t>(outHeight));
  header += {8, static_cast<char>(alpha ? 6 : 2), 0, 0, 0};  // 8 bits, RGBA or RGB, deflate, no filter, no interlace
  chunk(png, "IHDR", header);
  chunk(png, "IDAT", storedZlib(raw));
  chunk(png, "IEND", "");
  return png;
}

bool writePng(const std::string& path, const std::string& png) { return replaceFile(path, path + ".part", png); }
