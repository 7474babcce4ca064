// The records that live for the whole run: the three counters and the page
// pair every frame loop shares.
#pragma once

#include <cstdint>

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

// What a stage leaves in its result: 0 while it runs, 4 from the frame in
// which Esc was seen until the exit prompt answers, then 2 cleared, 1 game
// over, -1 left through the exit prompt.
constexpr int32_t STAGE_RUNNING = 0;
constexpr int32_t STAGE_GAME_OVER = 1;
constexpr int32_t STAGE_CLEARED = 2;
constexpr int32_t STAGE_EXIT_REQUESTED = 4;
constexpr int32_t STAGE_LEFT = -1;

extern GameState gameState;
extern PagePair pagePair;

// Adds points and lets the high score follow the score.
void addScore(int32_t points);

// The frame of every animated scene: select the pages, (draw), present, swap, sleep.
void beginFrame();
void endFrame(int sleepMilliseconds = 30);
