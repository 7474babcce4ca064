// The tower descent: the procedure the game flow calls.
#pragma once

#include "game/game.h"
#include "stage_two/tower.h"

// Runs the tower descent to its end: cleared, game over, or left.
Task<StageResult> StageTwo(Game& game, stage_two::Tower& tower);
