// The records that live for the whole run: the three counters and the page
// pair every frame loop shares.
#pragma once

#include <cstdint>

#include "machine/machine.h"

struct Game;  // game/game.h

struct GameState {
  int32_t credits = 0;
  int32_t score = 0;
  int32_t highScore = 0;
};

// Work page 1 and visible page 0 at program start, swapped after every frame.
struct PagePair {
  int work = 1;
  int visible = 0;
};

// What a stage leaves in its result: running while it plays, exit requested
// from the frame in which Esc was seen until the exit prompt answers, then
// cleared, game over, or left through the exit prompt.
enum class StageResult : int32_t {
  Running = 0,
  GameOver = 1,
  Cleared = 2,
  ExitRequested = 4,
  Left = -1,
};

// Adds points and lets the high score follow the score.
void addScore(Game& game, int32_t points);
// The high score takes the score when the score has passed it.
void followScore(Game& game);
// The one place the high score changes: the machine is told of every change.
void setHighScore(Game& game, int32_t highScore);

// The frame of every animated scene: select the pages, (draw), present, swap, sleep.
void beginFrame(Game& game);
Sleep endFrame(Game& game, int sleepMilliseconds = 30);
