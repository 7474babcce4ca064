// The lettering over every frame: score line, credits, reserve ships or hit points.
#pragma once

#include <cstdint>
#include <string>

std::string zeroPad(int32_t value, int width);
void drawScoreLine();
void drawCreditLine();
void drawReserveShips(int32_t count);
void drawHitPoints(int32_t count);
