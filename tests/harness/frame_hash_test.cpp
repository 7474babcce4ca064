// The page fingerprint behind --frame-hashes: the zip CRC-32 of the page's
// bytes, so any tool (and the browser test) can check it.
#include <gtest/gtest.h>

#include <vector>

#include "harness/harness.h"

TEST(FrameHash, IsTheZipCrcOfThePageBytes) {
  std::vector<uint32_t> page(320 * 240, 0);
  EXPECT_EQ(harness::pageCrc32(page.data()), 0x82ecc096u);  // zlib.crc32(bytes(307200))
  for (size_t i = 0; i < page.size(); ++i) page[i] = static_cast<uint32_t>(i * 2654435761u);
  EXPECT_EQ(harness::pageCrc32(page.data()), 0x9a1913d6u);  // the same words, little-endian
  page[76799] ^= 0x01000000u;                               // one bit of the last byte
  EXPECT_NE(harness::pageCrc32(page.data()), 0x9a1913d6u);
}
