// What RotoBlit writes into each covered pixel: transparency, the blend
// callbacks, the 1- and 2-byte pixel paths and the old 4-byte header form.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/rotoblit.h"
#include "support/gfx_session.h"
#include "support/picture.h"

namespace {

struct RotoBlitPixels : ::testing::Test {
  GfxSession session;
  Toolkit& toolkit = session.toolkit;
};

// Records the arguments of the last blend call.
struct BlendSeen {
  std::vector<uint32_t> sources, destinations;
  uint32_t result = 0;
};
uint32_t recordingBlend(uint32_t source, uint32_t destination, const void* param) {
  BlendSeen* seen = static_cast<BlendSeen*>(const_cast<void*>(param));
  seen->sources.push_back(source);
  seen->destinations.push_back(destination);
  return seen->result;
}

TEST(Blends, RecolourAndEraseLeaveMaskPixelsAlone) {
  const uint32_t colour = 0x123456;
  EXPECT_EQ(RecolourBlend(0xFFFF00FF, 0xABCDEF, &colour), 0xABCDEFu);
  EXPECT_EQ(RecolourBlend(0x00FF00FF, 0xABCDEF, &colour), 0xABCDEFu);
  EXPECT_EQ(RecolourBlend(0xFFFF00FE, 0xABCDEF, &colour), 0x123456u);
  EXPECT_EQ(EraseBlend(0xFFFF00FF, 0xABCDEF, nullptr), 0xABCDEFu);
  EXPECT_EQ(EraseBlend(0xFF000000, 0xABCDEF, nullptr), MASK_COLOUR);
}

TEST_F(RotoBlitPixels, TransparentFlagSkipsMaskPixelsOnlyWhenSet) {
  OwnedImage source(makeCodedImage(11, 10));
  imageRow(source.get(), 4)[3] = 0x00FF00FF;  // mask without its top byte
  RotoBlit(toolkit, nullptr, 101, 50, source.get(), 1.0f, 1.0f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  EXPECT_EQ(readPixel(toolkit, 99, 50), 0u);  // source (3, 4) lands at column 96 + 3, row 45 + 5
  EXPECT_TRUE(isCoded(readPixel(toolkit, 98, 50)));
  RotoBlit(toolkit, nullptr, 101, 50, source.get(), 1.0f, 1.0f, 0.0f, Transparency::Opaque, nullptr, nullptr);
  EXPECT_EQ(readPixel(toolkit, 99, 50), 0x00FF00FFu);
}

TEST_F(RotoBlitPixels, RecolourPaintsTheShapeAndEraseCutsItOut) {
  OwnedImage shape(createImage(11, 10));
  for (int v = 3; v <= 5; ++v)
    for (int u = 2; u <= 6; ++u) imageRow(shape.get(), v)[u] = 0xFF102030;
  const uint32_t white = 0xFFFFFF;
  // A blend ignores the transparent flag; mask pixels stay through the blend itself.
  RotoBlit(toolkit, nullptr, 101, 50, shape.get(), 1.0f, 1.0f, 0.0f, Transparency::Opaque, RecolourBlend, &white);
  Box box = pageBox(toolkit);
  EXPECT_EQ(box.left, 98);
  EXPECT_EQ(box.right, 102);
  EXPECT_EQ(readPixel(toolkit, 100, 50), white);

  OwnedImage canvas(createImage(30, 20));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) imageRow(canvas.get(), y)[x] = 0xFF0000FF;
  RotoBlit(toolkit, canvas.get(), 15, 10, shape.get(), 1.0f, 1.0f, 0.0f, Transparency::SkipMask, EraseBlend, nullptr);
  EXPECT_EQ(pixelAt(canvas, 13, 10), MASK_COLOUR);
  EXPECT_EQ(pixelAt(canvas, 11, 10), 0xFF0000FFu);
  EXPECT_EQ(pixelAt(canvas, 15, 7), 0xFF0000FFu);
}

TEST_F(RotoBlitPixels, TwoBytePixelsBlendAsExpandedColours) {
  SmallPixelImage source(2, 5, 4), target(2, 16, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) target.write(x, y, 0x1234);
  const uint32_t row0[5] = {0x001F, 0xF81F, 0x07E0, 0xF800, 0x0821};
  for (int v = 0; v < 4; ++v)
    for (int u = 0; u < 5; ++u) source.write(u, v, v == 0 ? row0[u] : 0x0841u * static_cast<uint32_t>(v));

  // Columns 6..9 show source columns 0..3; rows 2..5 show source rows 0, 0, 1, 2.
  RotoBlit(toolkit, target.get(), 8, 4, source.get(), 1.0f, 1.0f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  EXPECT_EQ(target.read(6, 2), 0x001Fu);
  EXPECT_EQ(target.read(7, 2), 0x1234u);  // 0xF81F is the mask of this format
  EXPECT_EQ(target.read(8, 3), 0x07E0u);
  EXPECT_EQ(target.read(9, 5), 0x0841u * 2);
  EXPECT_EQ(target.read(10, 2), 0x1234u);

  BlendSeen seen;
  seen.result = 0xFF00FF00;
  RotoBlit(toolkit, target.get(), 8, 4, source.get(), 1.0f, 1.0f, 0.0f, Transparency::SkipMask, recordingBlend, &seen);
  ASSERT_GE(seen.sources.size(), 4u);
  EXPECT_EQ(seen.sources[0], 0xFF0000FFu);
  EXPECT_EQ(seen.sources[1], 0xFFFF00FFu);
  EXPECT_EQ(seen.sources[2], 0xFF00FF00u);
  EXPECT_EQ(seen.sources[3], 0xFFFF0000u);
  EXPECT_EQ(seen.destinations[0], 0xFF0000FFu);  // drawn there by the copy above
  EXPECT_EQ(seen.destinations[1], 0xFF1045A5u);  // 0x1234: red 2, green 17, blue 20
  EXPECT_EQ(target.read(7, 2), 0x07E0u);         // written back as RGB565

  const uint32_t red = 0xFF0000;
  RotoBlit(toolkit, target.get(), 8, 4, source.get(), 1.0f, 1.0f, 0.0f, Transparency::SkipMask, RecolourBlend, &red);
  EXPECT_EQ(target.read(6, 3), 0xF800u);
  EXPECT_EQ(target.read(10, 3), 0x1234u);
}

TEST_F(RotoBlitPixels, OneBytePixelsTreatIndexZeroAsTransparent) {
  SmallPixelImage source(1, 5, 4), target(1, 16, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) target.write(x, y, 7);
  for (int v = 0; v < 4; ++v)
    for (int u = 0; u < 5; ++u) source.write(u, v, static_cast<uint32_t>(10 * v + u + 1));
  source.write(1, 0, 0);
  RotoBlit(toolkit, target.get(), 8, 4, source.get(), 1.0f, 1.0f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  EXPECT_EQ(target.read(6, 2), 1u);
  EXPECT_EQ(target.read(7, 2), 7u);
  EXPECT_EQ(target.read(9, 5), 24u);
  RotoBlit(toolkit, target.get(), 8, 4, source.get(), 1.0f, 1.0f, 0.0f, Transparency::Opaque, nullptr, nullptr);
  EXPECT_EQ(target.read(7, 2), 0u);

  BlendSeen seen;
  seen.result = 0x1FE;  // only the low byte lands
  RotoBlit(toolkit, target.get(), 8, 4, source.get(), 1.0f, 1.0f, 0.0f, Transparency::SkipMask, recordingBlend, &seen);
  ASSERT_FALSE(seen.sources.empty());
  EXPECT_EQ(seen.sources[0], 1u);
  EXPECT_EQ(seen.destinations[0], 1u);
  EXPECT_EQ(target.read(8, 4), 0xFEu);
}

TEST_F(RotoBlitPixels, DifferentPixelSizesDrawNothing) {
  SmallPixelImage source(2, 11, 10);
  for (int v = 0; v < 10; ++v)
    for (int u = 0; u < 11; ++u) source.write(u, v, 0x1234);
  RotoBlit(toolkit, nullptr, 100, 100, source.get(), 2.0f, 2.0f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  EXPECT_TRUE(pageBox(toolkit).empty());
}

TEST_F(RotoBlitPixels, OldFourByteHeaderDrawsLikeTheCurrentForm) {
  OwnedImage current(makeCodedImage(11, 10));
  std::vector<uint8_t> legacy(4 + 11 * 10 * 4);
  uint16_t header[2] = {static_cast<uint16_t>((11 << 3) | 4), 10};
  std::memcpy(legacy.data(), header, 4);
  for (int v = 0; v < 10; ++v)
    for (int u = 0; u < 11; ++u) {
      uint32_t p = codedPixel(u, v);
      std::memcpy(legacy.data() + 4 + (v * 11 + u) * 4, &p, 4);
    }
  Image* old = reinterpret_cast<Image*>(legacy.data());
  RotoBlit(toolkit, nullptr, 120, 80, old, 2.5f, 1.5f, 30.0f, Transparency::SkipMask, nullptr, nullptr);
  std::vector<uint32_t> fromOld = pageCopy(toolkit);
  EXPECT_FALSE(pageBox(toolkit).empty());
  clearPage(toolkit);
  RotoBlit(toolkit, nullptr, 120, 80, current.get(), 2.5f, 1.5f, 30.0f, Transparency::SkipMask, nullptr, nullptr);
  EXPECT_EQ(pageCopy(toolkit), fromOld);
}

TEST_F(RotoBlitPixels, TurnedAndStretchedDrawingsStayInsideTheSource) {
  // Every angle and an awkward scale: each covered pixel names a real source pixel.
  OwnedImage source(makeCodedImage(19, 10));
  for (int angle = -360; angle <= 360; angle += 7) {
    clearPage(toolkit);
    RotoBlit(toolkit, nullptr, 60 + angle / 10, 40, source.get(), 3.3f, 0.7f, static_cast<float>(angle),
             Transparency::SkipMask, nullptr, nullptr);
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 140; ++x) {
        uint32_t p = readPixel(toolkit, x, y);
        if (p == 0) continue;
        ASSERT_TRUE(isCoded(p)) << angle;
        ASSERT_LT(codedU(p), 19) << angle;
        ASSERT_LT(codedV(p), 10) << angle;
      }
  }
}

}  // namespace
