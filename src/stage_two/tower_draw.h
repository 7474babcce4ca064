// Paints the background of every stage-two frame: the eleven rows of the
// tower that the scroll brings into view, shaking while the Hero stomps.
#pragma once

#include <cstdint>

// Colour of a floor or wall tile: yellow in the middle columns shading to red
// at both sides, with a blue part that cycles from row to row.
uint32_t tileColour(int32_t column, int32_t row);

// scroll: map y at the top line of the screen. shake: move the whole picture
// by up to 2 pixels sideways and 1 up or down, chosen anew each call.
void drawTower(int32_t scroll, bool shake);
