// Four tables, so that a whole 32-bit word is taken a step: frame
// fingerprints of every frame of a game cost little.
#include "formats/crc32.h"

#include <array>

namespace {

using Tables = std::array<std::array<uint32_t, 256>, 4>;

constexpr Tables makeTables() {
  Tables t{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][n] = c;
  }
  for (uint32_t n = 0; n < 256; ++n)
    for (int k = 1; k < 4; ++k) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
  return t;
}

constexpr Tables TABLES = makeTables();

}  // namespace

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc) {
  crc = ~crc;
  size_t i = 0;
  for (; i + 4 <= size; i += 4) {
    uint32_t word = static_cast<uint32_t>(data[i]) | static_cast<uint32_t>(data[i + 1]) << 8 |
                    static_cast<uint32_t>(data[i + 2]) << 16 | static_cast<uint32_t>(data[i + 3]) << 24;
    crc ^= word;
    crc = TABLES[3][crc & 0xFF] ^ TABLES[2][(crc >> 8) & 0xFF] ^ TABLES[1][(crc >> 16) & 0xFF] ^ TABLES[0][crc >> 24];
  }
  for (; i < size; ++i) crc = TABLES[0][(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}
