#pragma once

#include "game/game.h"
// Plays story scene 0..3 (3 is the ending) until it ends or Esc skips it.
Task<> StoryScene(Game& game, int scene);
