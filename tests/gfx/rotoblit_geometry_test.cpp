// Where RotoBlit puts a sprite: the columns and rows it covers and which
// source pixel lands on each, at the edges of the page and at odd scales.
#include <gtest/gtest.h>

#include <limits>

#include "gfx/rotoblit.h"
#include "support/gfx_session.h"
#include "support/picture.h"

namespace {

struct RotoBlitOnPage : ::testing::Test {
  GfxSession session;
  Toolkit& toolkit = session.toolkit;
  void draw(Image* source, int cx, int cy, float sx = 1.0f, float sy = 1.0f, float angle = 0.0f) {
    RotoBlit(toolkit, nullptr, cx, cy, source, sx, sy, angle, Transparency::SkipMask, nullptr, nullptr);
  }
};

TEST_F(RotoBlitOnPage, OddWidthShowsAllButTheLastColumnAndRepeatsTheFirstRow) {
  OwnedImage source(makeCodedImage(11, 10));
  draw(source.get(), 101, 50);
  Box box = pageBox(toolkit);
  EXPECT_EQ(box.left, 96);
  EXPECT_EQ(box.right, 105);
  EXPECT_EQ(box.top, 45);
  EXPECT_EQ(box.bottom, 54);
  const int rows[10] = {0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
  for (int y = 45; y <= 54; ++y)
    for (int x = 96; x <= 105; ++x) {
      uint32_t p = readPixel(toolkit, x, y);
      ASSERT_EQ(codedU(p), x - 96) << x << "," << y;
      ASSERT_EQ(codedV(p), rows[y - 45]) << x << "," << y;
    }
}

TEST_F(RotoBlitOnPage, OddWidthMovesInStepsOfTwoColumns) {
  OwnedImage source(makeCodedImage(11, 10));
  draw(source.get(), 101, 50);
  std::vector<uint32_t> at101 = pageCopy(toolkit);
  clearPage(toolkit);
  draw(source.get(), 102, 50);
  EXPECT_EQ(pageCopy(toolkit), at101);
  clearPage(toolkit);
  draw(source.get(), 100, 50);
  Box box = pageBox(toolkit);
  EXPECT_EQ(box.left, 94);
  EXPECT_EQ(box.right, 103);
}

TEST_F(RotoBlitOnPage, EvenWidthCoversWidthOrTwoLessByTheLeftCorner) {
  OwnedImage source(makeCodedImage(10, 6));
  draw(source.get(), 100, 50);  // left corner 95, odd
  Box box = pageBox(toolkit);
  EXPECT_EQ(box.left, 96);
  EXPECT_EQ(box.width(), 8);
  clearPage(toolkit);
  draw(source.get(), 101, 50);  // left corner 96, even
  box = pageBox(toolkit);
  EXPECT_EQ(box.left, 96);
  EXPECT_EQ(box.width(), 10);
  EXPECT_EQ(box.height(), 6);
}

TEST_F(RotoBlitOnPage, ClippedOnTheLeftStartsFurtherIntoTheSource) {
  OwnedImage source(makeCodedImage(11, 10));
  draw(source.get(), 3, 50);  // span -2 .. 7
  Box box = pageBox(toolkit);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 7);
  for (int x = 0; x <= 7; ++x) EXPECT_EQ(codedU(readPixel(toolkit, x, 50)), x + 2) << x;

  clearPage(toolkit);
  draw(source.get(), 5, 50, 2.0f, 1.0f);             // span -6 .. 15, step 10/22
  EXPECT_EQ(codedU(readPixel(toolkit, 0, 50)), 2);   // floor(6 * 10/22)
  EXPECT_EQ(codedU(readPixel(toolkit, 15, 50)), 8);  // the start's fraction is dropped
  EXPECT_EQ(readPixel(toolkit, 16, 50), 0u);
}

TEST_F(RotoBlitOnPage, ClippedAtTheTopKeepsItsShape) {
  OwnedImage source(makeCodedImage(11, 10));
  draw(source.get(), 101, 2);  // rows -3 .. 6
  Box box = pageBox(toolkit);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.bottom, 6);
  const int rows[7] = {2, 3, 4, 5, 6, 7, 8};
  for (int y = 0; y <= 6; ++y) EXPECT_EQ(codedV(readPixel(toolkit, 100, y)), rows[y]) << y;
}

TEST_F(RotoBlitOnPage, NeverWritesTheRightmostColumnButCanWriteTheBottomRow) {
  OwnedImage source(makeCodedImage(19, 10));
  draw(source.get(), 315, 236, 4.0f, 4.0f);
  EXPECT_TRUE(isCoded(readPixel(toolkit, 318, 239)));
  for (int y = 0; y < 240; ++y) ASSERT_EQ(readPixel(toolkit, 319, y), 0u) << y;

  OwnedImage target(createImage(20, 12));
  RotoBlit(toolkit, target.get(), 15, 6, source.get(), 2.0f, 2.0f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  EXPECT_TRUE(isCoded(pixelAt(target, 18, 11)));
  for (int y = 0; y < 12; ++y) EXPECT_EQ(pixelAt(target, 19, y) & 0xFFFFFF, MASK_COLOUR) << y;
}

TEST_F(RotoBlitOnPage, ScaleAtOrBelowZeroDrawsNothing) {
  OwnedImage source(makeCodedImage(11, 10));
  draw(source.get(), 100, 100, 0.0f, 0.0f);
  EXPECT_TRUE(pageBox(toolkit).empty());
  draw(source.get(), 100, 100, -3.0f, -1.0f);
  EXPECT_TRUE(pageBox(toolkit).empty());
  draw(source.get(), 100, 100, 0.0f, 5.0f);  // one column wide at most: nothing
  EXPECT_TRUE(pageBox(toolkit).empty());
  draw(source.get(), 100, 100, 1.0f, 0.0f);  // flattened to one row, still drawn
  Box box = pageBox(toolkit);
  EXPECT_EQ(box.top, 99);
  EXPECT_EQ(box.height(), 1);
  EXPECT_EQ(box.width(), 10);
}

TEST_F(RotoBlitOnPage, HalfTurnReversesRowsAndColumns) {
  OwnedImage source(makeCodedImage(11, 10));
  draw(source.get(), 101, 50, 1.0f, 1.0f, 180.0f);
  Box box = pageBox(toolkit);
  ASSERT_FALSE(box.empty());
  EXPECT_EQ(box.width(), 10);
  EXPECT_EQ(box.height(), 10);
  // Source columns fall from left to right, source rows from top to bottom.
  for (int y = box.top; y <= box.bottom; ++y)
    for (int x = box.left + 1; x <= box.right; ++x)
      ASSERT_LT(codedU(readPixel(toolkit, x, y)), codedU(readPixel(toolkit, x - 1, y))) << x << "," << y;
  for (int y = box.top + 1; y <= box.bottom; ++y)
    EXPECT_LE(codedV(readPixel(toolkit, box.left, y)), codedV(readPixel(toolkit, box.left, y - 1))) << y;
  EXPECT_EQ(codedV(readPixel(toolkit, box.left, box.top)), 9);
  EXPECT_EQ(codedU(readPixel(toolkit, box.left, box.top)), 10);
}

TEST_F(RotoBlitOnPage, WhollyOutsideOrTooSmallDrawsNothing) {
  OwnedImage source(makeCodedImage(11, 10));
  draw(source.get(), -20, 100);
  draw(source.get(), 400, 100);
  draw(source.get(), 100, -20);
  draw(source.get(), 100, 300);
  OwnedImage tiny(makeCodedImage(1, 10));
  draw(tiny.get(), 100, 100, 4.0f, 4.0f);
  draw(nullptr, 100, 100);
  EXPECT_TRUE(pageBox(toolkit).empty());
  OwnedImage smallTarget(createImage(3, 10));
  RotoBlit(toolkit, smallTarget.get(), 1, 5, source.get(), 1.0f, 1.0f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(pixelAt(smallTarget, x, 5), 0xFFFF00FFu);
}

TEST_F(RotoBlitOnPage, AbsurdArgumentsAreHarmless) {
  OwnedImage source(makeCodedImage(11, 10));
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  draw(source.get(), 100, 100, 1.0f, 1.0f, inf);
  draw(source.get(), 100, 100, 1.0f, 1.0f, nan);
  draw(source.get(), 100, 100, 1.0e12f, 1.0e12f);
  draw(source.get(), 100, 100, inf, 2.0f);
  draw(source.get(), 100, 100, nan, nan);
  EXPECT_TRUE(pageBox(toolkit).empty());
  draw(source.get(), 160, 120, 1.0f, 1.0f, 1.0e12f);  // turned some way, but drawn
  EXPECT_FALSE(pageBox(toolkit).empty());
  // Whole turns added to an angle change nothing.
  clearPage(toolkit);
  draw(source.get(), 160, 120, 2.0f, 2.0f, 180.0f + 720.0f);
  std::vector<uint32_t> turned = pageCopy(toolkit);
  clearPage(toolkit);
  draw(source.get(), 160, 120, 2.0f, 2.0f, -180.0f);
  EXPECT_EQ(pageCopy(toolkit), turned);
}

TEST_F(RotoBlitOnPage, NoScreenMeansNothingEvenIntoAnImage) {
  OwnedImage source(makeCodedImage(11, 10));
  OwnedImage target(createImage(40, 40));
  closeScreen(toolkit);
  RotoBlit(toolkit, target.get(), 20, 20, source.get(), 1.0f, 1.0f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(pixelAt(target, x, y), 0xFFFF00FFu);
  openScreen(toolkit);
  RotoBlit(toolkit, target.get(), 20, 20, source.get(), 1.0f, 1.0f, 0.0f, Transparency::SkipMask, nullptr, nullptr);
  EXPECT_TRUE(isCoded(pixelAt(target, 20, 20)));
}

TEST_F(RotoBlitOnPage, LargeScalesRepeatAndSmallScalesSkipSourcePixels) {
  OwnedImage source(makeCodedImage(11, 10));
  draw(source.get(), 160, 120, 3.0f, 3.0f);
  Box box = pageBox(toolkit);
  EXPECT_EQ(box.width(), 32);  // corners 143 and 176: xs 144, xe 176
  int run = 0;
  for (int x = box.left;
       x <= box.right && codedU(readPixel(toolkit, x, 120)) == codedU(readPixel(toolkit, box.left, 120)); ++x)
    ++run;
  EXPECT_EQ(run, 4);
  clearPage(toolkit);
  OwnedImage wide(makeCodedImage(41, 10));
  draw(wide.get(), 160, 120, 0.5f, 1.0f);
  box = pageBox(toolkit);
  EXPECT_EQ(codedU(readPixel(toolkit, box.left, 120)), 0);
  EXPECT_EQ(codedU(readPixel(toolkit, box.left + 1, 120)), 2);
}

}  // namespace
