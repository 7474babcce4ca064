// The huge-UFO stage: the procedure the game flow calls.
#pragma once

#include "game/game.h"
#include "game/game_state.h"

// Runs the huge-UFO stage to its end: cleared (after the ending), game over,
// or left through the exit prompt.
Task<StageResult> StageThree(Game& game);
