// The tower descent: the procedure the game flow calls.
#pragma once

#include "game/game_state.h"

// Runs the tower descent to its end: cleared, game over, or left.
StageResult StageTwo();
