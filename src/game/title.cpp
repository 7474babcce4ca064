// The title screen: drawn once straight onto page 0, then a wait for Space or Esc.
#include "game/title.h"

#include <iterator>

#include "game/game.h"
#include "game/score_panel.h"
#include "gfx/text.h"
#include "machine/machine.h"

namespace {

struct TitleText {
  int x;
  int y;
  const char* text;
  uint32_t colour;
  Outline outline;
};

// The ship emblem, the bomb column and the little figure are cells of the
// sprite sheet drawn as characters.
constexpr TitleText TITLE_TEXTS_BEFORE_CREDITS[] = {
    {88, 48, "Q U A R V E L - VQ", 0x000000, Outline::Yes},
    {100, 80, "THE ZELKOR TALE", 0x000000, Outline::Yes},
    {64, 184, "PRESS SPACE KEY TO START", 0xFFFFFF, Outline::No},
};
constexpr TitleText TITLE_TEXTS_AFTER_CREDITS[] = {
    {130, 88, "\x0F", 0xFFFFFF, Outline::No},     {130, 96, "\x0F", 0xFFFFFF, Outline::No},
    {130, 104, "\x0F", 0xFFFFFF, Outline::No},    {130, 112, "\x0F", 0xFFFFFF, Outline::No},
    {130, 120, "\x0F", 0xFFFFFF, Outline::No},    {130, 128, "\x0F", 0xFFFFFF, Outline::No},
    {126, 136, "--", 0x000000, Outline::Yes},     {118, 140, "/  \\", 0x000000, Outline::Yes},
    {118, 148, "\\  /", 0x000000, Outline::Yes},  {126, 162, "\x16\x17", 0xFFFF00, Outline::No},
    {180, 152, "__\x0D", 0xFFFFFF, Outline::Yes}, {180, 162, "o o", 0x000000, Outline::Yes},
};

void drawTexts(Game& game, const TitleText* texts, int count) {
  for (int i = 0; i < count; ++i)
    drawText(game, texts[i].x, texts[i].y, texts[i].text, texts[i].colour, texts[i].outline);
}

}  // namespace

Task<TitleChoice> runTitleScreen(Game& game) {
  tellActivity(game, Activity::Title);
  clearPage(game);
  // Blue rising one step a row from black at the top.
  for (int y = 0; y <= 240; ++y) drawLine(game, nullptr, 0, y, 319, y, static_cast<uint32_t>(y), LineSolid);
  drawScoreLine(game);
  drawTexts(game, TITLE_TEXTS_BEFORE_CREDITS, 3);
  drawCreditLine(game);
  drawTexts(game, TITLE_TEXTS_AFTER_CREDITS, static_cast<int>(std::size(TITLE_TEXTS_AFTER_CREDITS)));

  std::string key;
  do {
    key = readKey(game);
    co_await sleepMs(game, 1);
  } while (key != " " && key != std::string(1, KEY_ESC_CHAR));
  if (key == " ") playEffect(game, Sample::Hit, Channel::Hit, FULL_VOLUME);
  co_return key == " " ? TitleChoice::StartGame : TitleChoice::LeaveProgram;
}
