#include "game/game_state.h"

#include "machine/machine.h"

GameState gameState;
PagePair pagePair;

void addScore(int32_t points) {
  // Scores wrap like the 32-bit counters they are, without undefined overflow.
  gameState.score = static_cast<int32_t>(static_cast<uint32_t>(gameState.score) + static_cast<uint32_t>(points));
  if (gameState.score > gameState.highScore) {
    gameState.highScore = gameState.score;
    tellHighScore(gameState.highScore);
  }
}

// Every frame of a stage or a story scene is play: the machine may pause it.
void beginFrame() {
  tellActivity(Activity::Play);
  setPages(pagePair.work, pagePair.visible);
}

void endFrame(int sleepMilliseconds) {
  FramePresent();
  int work = pagePair.work;
  pagePair.work = pagePair.visible;
  pagePair.visible = work;
  sleepMs(sleepMilliseconds);
}
