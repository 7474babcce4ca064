// The continue and exit prompts: a framed box drawn straight onto the shown
// frame, then a wait for Y, N or Esc.
#include "game/prompts.h"

#include <cctype>
#include <string>

#include "game/game_state.h"
#include "game/hiscore.h"
#include "gfx/text.h"
#include "machine/machine.h"

namespace {

void drawPromptBox(int x1, int y1, int x2, int y2) {
  drawLine(nullptr, x1, y1, x2, y2, 0x000000, LineFilledBox);
  drawLine(nullptr, x1, y1, x2, y2, 0xFFFFFF, LineBox);
}

std::string upperCase(std::string key) {
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

// Reads the queue until Y, N or Esc comes; returns it upper-cased.
std::string waitForAnswer() {
  tellActivity(Activity::Question);
  const std::string esc(1, KEY_ESC_CHAR);
  std::string key;
  do {
    key = upperCase(readKey());
    sleepMs(1);
  } while (key != "Y" && key != "N" && key != esc);
  return key;
}

void waitForEscRelease() {
  while (keyHeld(SC_ESC)) sleepOrKey(1);
}

}  // namespace

void drawGameOverBox() {
  drawPromptBox(78, 78, 232, 108);
  drawText(88, 90, "G A M E   O V E R", 0x000000, Outline::Yes);
}

bool askContinue() {
  saveHighScoreIfReached();
  setPages(0, 0);
  std::string key;
  if (gameState.credits > 0) {
    drawPromptBox(86, 118, 224, 148);
    drawText(96, 130, "continue? (Y/N)", 0x000000, Outline::Yes);
    key = waitForAnswer();
  } else {
    sleepMs(2000);
  }
  const bool accepted = key == "Y";
  if (accepted) {
    gameState.credits -= 1;
    gameState.score = 0;
    playEffect(Sample::Hit, Channel::Hit, FULL_VOLUME);
  }
  return accepted;
}

bool askExitToTitle() {
  tellActivity(Activity::Question);  // asked from the moment Esc was pressed
  setPages(0, 0);
  waitForEscRelease();
  drawPromptBox(42, 98, 276, 128);
  drawText(52, 110, "EXIT to Title screen? (Y/N)", 0x000000, Outline::Yes);
  emptyKeyQueue();
  const bool leave = waitForAnswer() == "Y";
  waitForEscRelease();
  emptyKeyQueue();
  if (leave) playEffect(Sample::Explosion, Channel::Explosion, FULL_VOLUME);
  return leave;
}
