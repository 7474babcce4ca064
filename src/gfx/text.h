#pragma once
#include <cstdint>
#include <string>
// One line of 8x8 lettering from the sprite sheet, top-left at (x, y) on the
// work page; every letter shows as a capital. outlined non-zero: the glyphs'
// own sheet colours ring the letters.
void drawText(int32_t x, int32_t y, const std::string& text, uint32_t colour, int32_t outlined);
