// The shared effect table: 17 slots, first free slot wins, each kind drawn on
// exactly as many frames as its timer, scroll applied to y.
#include "gfx/effects.h"

#include <gtest/gtest.h>

#include "support/gfx_session.h"
#include "support/test_sheet.h"

namespace {

struct EffectsTest : ::testing::Test {
  GfxSession session;
  Toolkit& toolkit = session.toolkit;
  void SetUp() override {
    buildTestSheet(toolkit, solidSheetPixel);
    clearEffects(toolkit);
  }
  // One frame: a black page, then the effects; true when anything showed.
  bool frame(int32_t scrollY = 0) {
    clearPage(toolkit);
    drawEffects(toolkit, scrollY);
    return !pageBox(toolkit).empty();
  }
  int framesShown(int32_t kind) {
    clearEffects(toolkit);
    spawnEffect(toolkit, 150, 120, kind);
    int shown = 0;
    while (frame() && shown < 50) ++shown;
    return shown;
  }
};

TEST_F(EffectsTest, EachKindLastsItsTimer) {
  EXPECT_EQ(framesShown(FxPuff), 10);
  EXPECT_EQ(framesShown(FxShipBurst), 4);
  EXPECT_EQ(framesShown(FxBlast), 5);
  EXPECT_EQ(framesShown(FxBlastShort), 3);
  EXPECT_EQ(framesShown(FxFlash), 6);
  EXPECT_EQ(framesShown(FxBlastSlow), 10);
  EXPECT_EQ(framesShown(7), 0);                                              // an unknown kind shows nothing ...
  for (const Effect& e : toolkit.effectTable.slots) EXPECT_EQ(e.active, 0);  // ... and holds no slot
}

TEST_F(EffectsTest, ASlotFreedByTheLastFrameCanBeTakenRightAfter) {
  spawnEffect(toolkit, 10, 10, FxBlastShort);
  EXPECT_TRUE(frame());
  EXPECT_TRUE(frame());
  EXPECT_NE(toolkit.effectTable.slots[0].active, 0);
  EXPECT_TRUE(frame());
  EXPECT_EQ(toolkit.effectTable.slots[0].active, 0);
  spawnEffect(toolkit, 20, 20, FxPuff);
  EXPECT_EQ(toolkit.effectTable.slots[0].x, 20);
  EXPECT_EQ(toolkit.effectTable.slots[0].timer, 10);
}

TEST_F(EffectsTest, FullTableDropsTheEighteenthAndReusesTheLowestFreeSlot) {
  for (int i = 0; i < 17; ++i) spawnEffect(toolkit, i, 0, i == 4 || i == 9 ? FxBlastShort : FxPuff);
  spawnEffect(toolkit, 999, 0, FxPuff);
  for (int i = 0; i < 17; ++i) {
    EXPECT_NE(toolkit.effectTable.slots[i].active, 0) << i;
    EXPECT_EQ(toolkit.effectTable.slots[i].x, i);
  }
  for (int i = 0; i < 3; ++i) drawEffects(toolkit, 0);
  EXPECT_EQ(toolkit.effectTable.slots[4].active, 0);
  EXPECT_EQ(toolkit.effectTable.slots[9].active, 0);
  spawnEffect(toolkit, 500, 0, FxPuff);
  spawnEffect(toolkit, 600, 0, FxPuff);
  EXPECT_EQ(toolkit.effectTable.slots[4].x, 500);
  EXPECT_EQ(toolkit.effectTable.slots[9].x, 600);
  clearEffects(toolkit);
  for (const Effect& e : toolkit.effectTable.slots) EXPECT_EQ(e.active, 0);
}

TEST_F(EffectsTest, PuffIsCopiedTopLeftAtYMinusScroll) {
  spawnEffect(toolkit, 60, 100, FxPuff);
  frame(40);
  Box box = pageBox(toolkit);
  // The image's top-left corner is at (60, 60); its margin row and column are clear.
  EXPECT_EQ(box.left, 61);
  EXPECT_EQ(box.top, 61);
  EXPECT_EQ(box.width(), 16);
  EXPECT_EQ(box.height(), 8);
  EXPECT_EQ(readPixel(toolkit, 61, 61), sheetAt(toolkit, 72, 0));  // own sheet colours
}

TEST_F(EffectsTest, ShipBurstShowsSecondFrameTwiceThenFirstTwice) {
  spawnEffect(toolkit, 60, 100, FxShipBurst);
  const int expectedSheetX[4] = {24, 24, 8, 8};
  for (int i = 0; i < 4; ++i) {
    frame();
    EXPECT_EQ(readPixel(toolkit, 61, 101), sheetAt(toolkit, expectedSheetX[i], 48)) << i;
  }
}

TEST_F(EffectsTest, BlastsGrowAroundTheirCentreAndFlashIsWhite) {
  spawnEffect(toolkit, 160, 150, FxBlast);
  int lastWidth = 0;
  for (int i = 0; i < 5; ++i) {
    frame(30);
    Box box = pageBox(toolkit);
    EXPECT_GT(box.width(), lastWidth) << i;
    EXPECT_TRUE(box.left < 160 && box.right > 160 && box.top < 120 && box.bottom > 120) << i;
    lastWidth = box.width();
  }
  // Last frame at scale 4: about four times the 16-pixel shape.
  EXPECT_NEAR(lastWidth, 4 * 16, 4);

  clearEffects(toolkit);
  spawnEffect(toolkit, 160, 120, FxFlash);
  frame();
  Box box = pageBox(toolkit);
  EXPECT_NEAR(box.width(), 2 * 16, 2);  // first frame at scale 2
  for (int y = box.top; y <= box.bottom; ++y)
    for (int x = box.left; x <= box.right; ++x) {
      uint32_t p = readPixel(toolkit, x, y);
      ASSERT_TRUE(p == 0u || p == 0xFFFFFFu) << x << "," << y;
    }
}

}  // namespace
