// BMP files: good files of each layout, bad ones that must fail, and the
// writer's files read back.
#include "formats/bmp.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A BMP whose pixel (x, y) is 0xRRGGBB = (x * 16) << 16 | (y * 16) << 8 | 0x5A.
std::vector<uint8_t> makeBmp(int width, int height, int bits, bool topDown) {
  int rowBytes = (width * bits / 8 + 3) / 4 * 4;
  std::vector<uint8_t> b(54 + rowBytes * height, 0);
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, static_cast<uint32_t>(b.size()));
  put32(b, 10, 54);
  put32(b, 14, 40);
  put32(b, 18, width);
  put32(b, 22, topDown ? -height : height);
  b[26] = 1;
  b[28] = static_cast<uint8_t>(bits);
  for (int y = 0; y < height; ++y) {
    int fileRow = topDown ? y : height - 1 - y;
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &b[54 + fileRow * rowBytes + x * bits / 8];
      p[0] = 0x5A;
      p[1] = static_cast<uint8_t>(y * 16);
      p[2] = static_cast<uint8_t>(x * 16);
      if (bits == 32) p[3] = 0x12;
    }
  }
  return b;
}

uint32_t expected(int x, int y, uint32_t top) { return top | (x * 16) << 16 | (y * 16) << 8 | 0x5A; }

Picture decoded(const std::vector<uint8_t>& bytes) {
  Picture picture;
  EXPECT_TRUE(decodeBmp(bytes.data(), bytes.size(), picture).ok());
  return picture;
}

}  // namespace

TEST(Bmp, ReadsTwentyFourBitBottomUpAndTopDown) {
  for (bool topDown : {false, true}) {
    Picture picture = decoded(makeBmp(5, 3, 24, topDown));
    ASSERT_EQ(picture.width, 5);
    ASSERT_EQ(picture.height, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(picture.pixels[y * 5 + x], expected(x, y, 0xFF000000u)) << x << "," << y;
  }
}

TEST(Bmp, ReadsThirtyTwoBitUnchanged) {
  Picture picture = decoded(makeBmp(4, 4, 32, false));
  EXPECT_EQ(picture.pixels[2 * 4 + 3], expected(3, 2, 0x12000000u));
}

TEST(Bmp, TheWritersFilesReadBackWithoutTheirTopByte) {
  std::vector<uint32_t> pixels(7 * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x01000000u * (i % 3) + 0x10203u * static_cast<uint32_t>(i);
  std::vector<uint8_t> file = encodeBmp(pixels.data(), 6, 3, 7);  // the seventh column is not part of it
  EXPECT_EQ(file.size(), 54u + 3 * 20) << "rows padded to four bytes";
  Picture picture = decoded(file);
  ASSERT_EQ(picture.width, 6);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(picture.pixels[y * 6 + x], 0xFF000000u | (pixels[y * 7 + x] & 0xFFFFFF));
}

TEST(Bmp, BadFilesFailAndGiveNoPicture) {
  std::vector<std::vector<uint8_t>> bad;
  std::vector<uint8_t> good = makeBmp(4, 4, 24, false);
  bad.push_back({});                                                     // empty
  bad.push_back(std::vector<uint8_t>(good.begin(), good.begin() + 30));  // header cut short
  bad.push_back(std::vector<uint8_t>(good.begin(), good.end() - 5));     // pixels cut short
  auto withByte = [&](size_t at, uint8_t v) {
    std::vector<uint8_t> b = good;
    b[at] = v;
    return b;
  };
  bad.push_back(withByte(0, 'X'));    // not a BMP
  bad.push_back(withByte(28, 8));     // 8-bit palette picture
  bad.push_back(withByte(28, 16));    // 16-bit
  bad.push_back(withByte(30, 1));     // RLE compressed
  bad.push_back(withByte(21, 0x7F));  // absurd width
  bad.push_back(withByte(25, 0x7F));  // absurd height
  bad.push_back(withByte(14, 0xFF));  // impossible header size
  std::vector<uint8_t> offset = good;
  put32(offset, 10, 0xFFFFFF00u);  // pixel data far beyond the end
  bad.push_back(offset);
  std::vector<uint8_t> zero = good;
  put32(zero, 18, 0);
  bad.push_back(zero);
  for (size_t i = 0; i < bad.size(); ++i) {
    Picture picture;
    Outcome read = decodeBmp(bad[i].data(), bad[i].size(), picture);
    EXPECT_FALSE(read.ok()) << "case " << i;
    EXPECT_FALSE(read.why().empty()) << "case " << i;
    EXPECT_TRUE(picture.pixels.empty()) << "case " << i;
  }
}
