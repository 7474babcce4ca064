// The two modal questions that interrupt a stage.
#pragma once

#include <cstdint>

#include "game/game.h"
// True when the player continues (one credit, score 0).
Task<bool> askContinue(Game& game);
// True to leave for the title, false to play on.
Task<bool> askExitToTitle(Game& game);
// The box every stage shows on page 0 when its game is over, before the pause
// and the continue prompt.
void drawGameOverBox(Game& game);
