// What every stage does when its frame loop ends and when Esc is pressed.
#pragma once

#include "game/game.h"
#include "game/game_state.h"

// After the frame loop: the key queue emptied, page 0 shown, a reached high
// score saved; when the game is over, the game-over box, a second's pause and
// the continue prompt. True when the player continues, so the stage starts
// again.
Task<bool> endOfStagePlay(Game& game, StageResult result);

// The exit prompt of a frame in which Esc was seen: left or running on.
Task<StageResult> exitPromptResult(Game& game);
