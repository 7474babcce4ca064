// Loading BMP files into images: good files of each layout, and bad ones
// that must leave the image untouched.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "platform/platform.h"
#include "support/session.h"

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

std::string writeFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = makeScratchFolder("bmp") + "/" + name;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fclose(out);
  return path;
}

uint32_t expected(int x, int y, uint32_t top) { return top | (x * 16) << 16 | (y * 16) << 8 | 0x5A; }

bool untouched(Image* image) {
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x)
      if (imageRow(image, y)[x] != 0xFFFF00FFu) return false;
  return true;
}

}  // namespace

TEST(Bitmap, LoadsTwentyFourBitBottomUpAndTopDown) {
  for (bool topDown : {false, true}) {
    Image* image = createImage(5, 3);
    ASSERT_TRUE(loadBitmap(writeFile("a.bmp", makeBmp(5, 3, 24, topDown)), image));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(imageRow(image, y)[x], expected(x, y, 0xFF000000u)) << x << "," << y;
    destroyImage(image);
  }
}

TEST(Bitmap, LoadsThirtyTwoBitUnchanged) {
  Image* image = createImage(4, 4);
  ASSERT_TRUE(loadBitmap(writeFile("b.bmp", makeBmp(4, 4, 32, false)), image));
  EXPECT_EQ(imageRow(image, 2)[3], expected(3, 2, 0x12000000u));
  destroyImage(image);
}

TEST(Bitmap, OtherSizesCopyOnlyTheOverlap) {
  Image* small = createImage(3, 2);
  ASSERT_TRUE(loadBitmap(writeFile("c.bmp", makeBmp(7, 5, 24, false)), small));
  EXPECT_EQ(imageRow(small, 1)[2], expected(2, 1, 0xFF000000u));
  destroyImage(small);
  Image* large = createImage(8, 8);
  ASSERT_TRUE(loadBitmap(writeFile("d.bmp", makeBmp(3, 2, 24, true)), large));
  EXPECT_EQ(imageRow(large, 1)[2], expected(2, 1, 0xFF000000u));
  EXPECT_EQ(imageRow(large, 2)[2], 0xFFFF00FFu);
  EXPECT_EQ(imageRow(large, 1)[3], 0xFFFF00FFu);
  destroyImage(large);
}

TEST(Bitmap, BadFilesLeaveTheImageUntouched) {
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
    Image* image = createImage(4, 4);
    EXPECT_FALSE(loadBitmap(writeFile("bad.bmp", bad[i]), image)) << "case " << i;
    EXPECT_TRUE(untouched(image)) << "case " << i;
    destroyImage(image);
  }
  Image* image = createImage(4, 4);
  EXPECT_FALSE(loadBitmap("/nonexistent/graphics.bmp", image));
  EXPECT_TRUE(untouched(image));
  destroyImage(image);
}
