// The lettering over every frame: the score line at the top, the credits at
// the bottom right, reserve ships or hit points at the bottom left.
#include "game/score_panel.h"

#include "game/game.h"
#include "game/game_state.h"
#include "gfx/text.h"

namespace {

constexpr uint32_t BLACK = 0x000000;
constexpr uint32_t SHIP_YELLOW = 0xFFFF00;
const std::string SHIP_EMBLEM = "\x16\x17";  // the two cells of the ship shape
const std::string HIT_POINT_MARK = "\x01";   // the cell of the little alien

}  // namespace

// width - 1 zeros, then the value's decimal text, cut to its rightmost width
// characters. A negative value keeps its minus sign inside the zeros
// (-5 in eight places is 000000-5), as a high-score file may hold one.
std::string zeroPad(int32_t value, int width) {
  if (width <= 0) return "";
  std::string text(static_cast<size_t>(width - 1), '0');
  text += std::to_string(value);
  if (text.size() > static_cast<size_t>(width)) text.erase(0, text.size() - static_cast<size_t>(width));
  return text;
}

void drawScoreLine(Game& game) {
  drawText(game, 8, 3,
           "SCORE  " + zeroPad(game.gameState.score, 8) + "     HI SCORE  " + zeroPad(game.gameState.highScore, 8),
           BLACK, Outline::Yes);
}

void drawCreditLine(Game& game) {
  drawText(game, 232, 224, "credit " + zeroPad(game.gameState.credits, 2), BLACK, Outline::Yes);
}

void drawReserveShips(Game& game, int32_t count) {
  if (count < 5) {
    for (int32_t i = 1; i <= count; ++i) drawText(game, 16 * i, 226, SHIP_EMBLEM, SHIP_YELLOW, Outline::No);
    return;
  }
  drawText(game, 16, 226, SHIP_EMBLEM, SHIP_YELLOW, Outline::No);
  drawText(game, 32, 226, " x " + zeroPad(count, 2), BLACK, Outline::Yes);
}

void drawHitPoints(Game& game, int32_t count) {
  drawText(game, 8, 224, "HP", BLACK, Outline::Yes);
  int32_t marks = count < 8 ? count : 8;
  for (int32_t i = 1; i <= marks; ++i) drawText(game, 18 + 10 * i, 224, HIT_POINT_MARK, BLACK, Outline::Yes);
  if (count > 8) drawText(game, 108, 224, "+", BLACK, Outline::Yes);
}
