// The tower descent: the scene procedure of the second stage.
#pragma once

#include <cstdint>

#include "stage_two/play_records.h"

// Runs the tower descent to its end: 2 cleared, 1 game over, -1 left.
void StageTwo(int32_t& result);

// Starting the stage (on entry and after each continue): a new tower, a fresh
// Hero in the lift, scroll 0, no effects, no walkers, no falling blocks.
void startStageTwo(StageTwoPlay& play);
// Everything of one frame between selecting the work page and presenting it:
// Esc, the game-over countdown, the Hero, the tower, the walkers and blocks,
// the effects and the score panel.
void playStageTwoFrame(StageTwoPlay& play);
// The whole stage on a record the caller holds (StageTwo keeps it local).
void runStageTwo(StageTwoPlay& play, int32_t& result);
