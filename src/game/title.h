#pragma once

#include <cstdint>

#include "game/game.h"
enum class TitleChoice { StartGame, LeaveProgram };
// Draws the title and waits for Space (start a game) or Esc (leave).
Task<TitleChoice> runTitleScreen(Game& game);
