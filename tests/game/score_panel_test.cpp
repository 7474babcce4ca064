// The score panel: zero-padded numbers and where each piece of lettering goes.
#include "game/score_panel.h"

#include <gtest/gtest.h>

#include "game/game_state.h"
#include "gfx/text.h"
#include "support/session.h"
#include "support/test_sheet.h"

namespace {

TEST(ZeroPad, KeepsTheRightmostWidthCharacters) {
  EXPECT_EQ(zeroPad(0, 8), "00000000");
  EXPECT_EQ(zeroPad(345, 8), "00000345");
  EXPECT_EQ(zeroPad(12345678, 8), "12345678");
  EXPECT_EQ(zeroPad(123456789, 8), "23456789");
  EXPECT_EQ(zeroPad(2, 2), "02");
  EXPECT_EQ(zeroPad(10, 2), "10");
  EXPECT_EQ(zeroPad(7, 1), "7");
  EXPECT_EQ(zeroPad(2147483647, 8), "47483647");
}

// A negative high score can come from the file: its text keeps the minus
// sign and is cut like any other.
TEST(ZeroPad, NegativeValuesAndOddWidths) {
  EXPECT_EQ(zeroPad(5, 0), "");
  EXPECT_EQ(zeroPad(5, -3), "");
  EXPECT_EQ(zeroPad(-5, 8), "000000-5");
  EXPECT_EQ(zeroPad(-345, 8), "0000-345");
  EXPECT_EQ(zeroPad(-12345678, 8), "12345678");
  EXPECT_EQ(zeroPad(-2147483647 - 1, 8), "47483648");
  EXPECT_EQ(zeroPad(-1, 1), "1");
  EXPECT_EQ(zeroPad(-1, 2), "-1");
}

struct PanelTest : ::testing::Test {
  TestSession session{"", 1, false, false};
  Game& game = session.game;
  void SetUp() override { buildTestSheet(game, holedSheetPixel); }
  // The page after `draw`, on a clean page.
  template <typename Draw>
  std::vector<uint32_t> pageAfter(Draw draw) {
    clearPage(game);
    draw();
    return pageCopy(game);
  }
};

TEST_F(PanelTest, ScoreLineShowsBothNumbersEightDigitsWide) {
  game.gameState.score = 0;
  game.gameState.highScore = 345;
  std::vector<uint32_t> line = pageAfter([&] { drawScoreLine(game); });
  EXPECT_EQ(line,
            pageAfter([&] { drawText(game, 8, 3, "SCORE  00000000     HI SCORE  00000345", 0x000000, Outline::Yes); }));
  Box box = pageBox(game);
  EXPECT_EQ(box.left, 7);
  EXPECT_EQ(box.right, 8 + 38 * 8);
}

TEST_F(PanelTest, CreditLineIsUpperCasedAtTheBottomRight) {
  game.gameState.credits = 2;
  EXPECT_EQ(pageAfter([&] { drawCreditLine(game); }),
            pageAfter([&] { drawText(game, 232, 224, "CREDIT 02", 0x000000, Outline::Yes); }));
  game.gameState.credits = 10;
  EXPECT_EQ(pageAfter([&] { drawCreditLine(game); }),
            pageAfter([&] { drawText(game, 232, 224, "CREDIT 10", 0x000000, Outline::Yes); }));
}

TEST_F(PanelTest, ReserveShipsUpToFourAsEmblemsThenACount) {
  EXPECT_EQ(pageAfter([&] { drawReserveShips(game, 0); }), pageAfter([&] {}));
  EXPECT_EQ(pageAfter([&] { drawReserveShips(game, -2); }), pageAfter([&] {}));
  EXPECT_EQ(pageAfter([&] { drawReserveShips(game, 3); }), pageAfter([&] {
              for (int x : {16, 32, 48}) drawText(game, x, 226, "\x16\x17", 0xFFFF00, Outline::No);
            }));
  EXPECT_EQ(pageAfter([&] { drawReserveShips(game, 7); }), pageAfter([&] {
              drawText(game, 16, 226, "\x16\x17", 0xFFFF00, Outline::No);
              drawText(game, 32, 226, " x 07", 0x000000, Outline::Yes);
            }));
}

TEST_F(PanelTest, HitPointsShowAtMostEightMarksAndAPlus) {
  auto marks = [&](int count) {
    drawText(game, 8, 224, "HP", 0x000000, Outline::Yes);
    for (int i = 1; i <= count; ++i) drawText(game, 18 + 10 * i, 224, "\x01", 0x000000, Outline::Yes);
  };
  EXPECT_EQ(pageAfter([&] { drawHitPoints(game, 8); }), pageAfter([&] { marks(8); }));
  EXPECT_EQ(pageAfter([&] { drawHitPoints(game, 3); }), pageAfter([&] { marks(3); }));
  EXPECT_EQ(pageAfter([&] { drawHitPoints(game, 0); }), pageAfter([&] { marks(0); }));
  EXPECT_EQ(pageAfter([&] { drawHitPoints(game, 12); }), pageAfter([&] {
              marks(8);
              drawText(game, 108, 224, "+", 0x000000, Outline::Yes);
            }));
}

}  // namespace
