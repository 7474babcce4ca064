// The lettering over every frame: score line, credits, reserve ships or hit points.
#pragma once

#include <cstdint>
#include <string>

#include "game/game.h"

std::string zeroPad(int32_t value, int width);
void drawScoreLine(Game& game);
void drawCreditLine(Game& game);
void drawReserveShips(Game& game, int32_t count);
void drawHitPoints(Game& game, int32_t count);
