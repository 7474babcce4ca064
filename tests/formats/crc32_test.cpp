// The zip CRC-32: the standard check value, any length (whole words and the
// bytes after them), and a CRC carried on from the bytes before.
#include "formats/crc32.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

uint32_t crcOf(const std::string& text, uint32_t before = 0) {
  return crc32(reinterpret_cast<const uint8_t*>(text.data()), text.size(), before);
}

}  // namespace

TEST(Crc32, TheCheckValuesOfEveryLengthAndCarriedOn) {
  EXPECT_EQ(crcOf(""), 0u);
  EXPECT_EQ(crcOf("123456789"), 0xCBF43926u);  // the check value of the zip CRC
  // zlib.crc32 of the first n bytes of "The quick brown", n = 1 .. 7: every
  // length of the bytes left over after whole words.
  const uint32_t prefixes[] = {0xBE047A60, 0xDC6763C5, 0x04082B06, 0x000B625B, 0x09B92D39, 0xAD615B1B, 0x6CA49EC6};
  const std::string text = "The quick brown";
  for (size_t n = 1; n <= std::size(prefixes); ++n) EXPECT_EQ(crcOf(text.substr(0, n)), prefixes[n - 1]) << n;
  for (size_t split = 0; split <= text.size(); ++split)
    EXPECT_EQ(crcOf(text.substr(split), crcOf(text.substr(0, split))), crcOf(text)) << split;
}
