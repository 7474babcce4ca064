#include "game/game_state.h"

#include "game/game.h"
#include "machine/machine.h"

void addScore(Game& game, int32_t points) {
  // Scores wrap like the 32-bit counters they are, without undefined overflow.
  game.gameState.score =
      static_cast<int32_t>(static_cast<uint32_t>(game.gameState.score) + static_cast<uint32_t>(points));
  followScore(game);
}

void followScore(Game& game) {
  if (game.gameState.score > game.gameState.highScore) setHighScore(game, game.gameState.score);
}

void setHighScore(Game& game, int32_t highScore) {
  game.gameState.highScore = highScore;
  tellHighScore(game, highScore);
}

// Every frame of a stage or a story scene is play: the machine may pause it.
void beginFrame(Game& game) {
  tellActivity(game, Activity::Play);
  setPages(game, game.pagePair.work, game.pagePair.visible);
}

Sleep endFrame(Game& game, int sleepMilliseconds) {
  FramePresent(game);
  int work = game.pagePair.work;
  game.pagePair.work = game.pagePair.visible;
  game.pagePair.visible = work;
  return sleepMs(game, sleepMilliseconds);
}
