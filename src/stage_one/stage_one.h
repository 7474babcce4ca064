// The formation stage: the procedure the game flow calls.
#pragma once

#include "game/game.h"
#include "game/game_state.h"

// Runs the formation stage to its end: cleared, game over, or left.
Task<StageResult> StageOne(Game& game);
