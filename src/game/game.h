// The one record of a whole run: the machine, the graphics toolkit's tables,
// and the game's own counters, page pair and high-score file. The app makes
// one; every scene is handed it and works on it alone.
#pragma once

#include "game/game_state.h"
#include "game/hiscore.h"
#include "gfx/toolkit.h"

struct Game : Toolkit {
  GameState gameState;
  PagePair pagePair;
  HighScoreStorage highScoreStorage;
};
