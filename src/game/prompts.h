// The two modal questions that interrupt a stage.
#pragma once
#include <cstdint>
// accepted: -1 when the player continues (one credit, score 0), else 0.
void askContinue(int32_t& accepted);
// result: -1 to leave for the title, 0 to play on.
void askExitToTitle(int32_t& result);
// The box every stage shows on page 0 when its game is over, before the pause
// and the continue prompt.
void drawGameOverBox();
