// One line of 8x8 lettering. A character's glyph is the sheet cell with the
// same code, so control codes show sprite pieces (the ship emblem is 22, 23).
#include "gfx/text.h"

#include "gfx/rotoblit.h"
#include "gfx/sprites.h"

namespace {

// The outline: the glyph in its sheet colours, shifted one pixel each way.
constexpr int OUTLINE_OFFSETS[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}};

char upperCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void drawText(int32_t x, int32_t y, const std::string& text, uint32_t colour, int32_t outlined) {
  int32_t n = static_cast<int32_t>(text.size());
  if (n <= 0) return;
  Image* sheet = spriteTable.sheet;
  if (sheet == nullptr) return;
  for (int32_t i = 0; i < n; ++i) {
    int k = static_cast<unsigned char>(upperCase(text[i]));
    if (k >= 128) continue;  // no cell in the sheet: the character stays blank
    int cellX = 8 * (k % 16), cellY = 8 * (k / 16);
    int32_t px = x + 8 * i, py = y;
    if (outlined != 0) {
      for (const auto& offset : OUTLINE_OFFSETS) {
        drawImage(nullptr, px + offset[0], py + offset[1], sheet, cellX, cellY, cellX + 7, cellY + 7,
                  DrawTransparent);
      }
    }
    drawImage(nullptr, px, py, sheet, cellX, cellY, cellX + 7, cellY + 7, DrawCustom, RecolourBlend, &colour);
  }
}
