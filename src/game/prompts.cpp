// The continue and exit prompts: a framed box drawn straight onto the shown
// frame, then a wait for Y, N or Esc.
#include "game/prompts.h"

#include <cctype>
#include <string>

#include "game/game.h"
#include "game/game_state.h"
#include "game/hiscore.h"
#include "gfx/text.h"
#include "machine/machine.h"

namespace {

void drawPromptBox(Game& game, int x1, int y1, int x2, int y2) {
  drawLine(game, nullptr, x1, y1, x2, y2, 0x000000, LineFilledBox);
  drawLine(game, nullptr, x1, y1, x2, y2, 0xFFFFFF, LineBox);
}

std::string upperCase(std::string key) {
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

// Reads the queue until Y, N or Esc comes; returns it upper-cased.
Task<std::string> waitForAnswer(Game& game) {
  tellActivity(game, Activity::Question);
  const std::string esc(1, KEY_ESC_CHAR);
  std::string key;
  do {
    key = upperCase(readKey(game));
    co_await sleepMs(game, 1);
  } while (key != "Y" && key != "N" && key != esc);
  co_return key;
}

Task<> waitForEscRelease(Game& game) {
  while (keyHeld(game, SC_ESC)) co_await sleepOrKey(game, 1);
}

}  // namespace

void drawGameOverBox(Game& game) {
  drawPromptBox(game, 78, 78, 232, 108);
  drawText(game, 88, 90, "G A M E   O V E R", 0x000000, Outline::Yes);
}

Task<bool> askContinue(Game& game) {
  saveHighScoreIfReached(game);
  setPages(game, 0, 0);
  std::string key;
  if (game.gameState.credits > 0) {
    drawPromptBox(game, 86, 118, 224, 148);
    drawText(game, 96, 130, "continue? (Y/N)", 0x000000, Outline::Yes);
    key = co_await waitForAnswer(game);
  } else {
    co_await sleepMs(game, 2000);
  }
  const bool accepted = key == "Y";
  if (accepted) {
    game.gameState.credits -= 1;
    game.gameState.score = 0;
    playEffect(game, Sample::Hit, Channel::Hit, FULL_VOLUME);
  }
  co_return accepted;
}

Task<bool> askExitToTitle(Game& game) {
  tellActivity(game, Activity::Question);  // asked from the moment Esc was pressed
  setPages(game, 0, 0);
  co_await waitForEscRelease(game);
  drawPromptBox(game, 42, 98, 276, 128);
  drawText(game, 52, 110, "EXIT to Title screen? (Y/N)", 0x000000, Outline::Yes);
  emptyKeyQueue(game);
  const std::string answer = co_await waitForAnswer(game);
  const bool leave = answer == "Y";
  co_await waitForEscRelease(game);
  emptyKeyQueue(game);
  if (leave) playEffect(game, Sample::Explosion, Channel::Explosion, FULL_VOLUME);
  co_return leave;
}
