// One line of 8x8 lettering. A character's glyph is the sheet cell with the
// same code, so control codes show sprite pieces (the ship emblem is 22, 23).
#include "gfx/text.h"

#include <cstring>

#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "gfx/toolkit.h"

namespace {

// The outline: the glyph in its sheet colours, shifted one pixel each way.
constexpr int OUTLINE_OFFSETS[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}};

char upperCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

namespace {

// The outlined line as drawImage puts it, letter by letter.
void paintText(Toolkit& toolkit, Image* target, int32_t x, int32_t y, const std::string& text, uint32_t colour,
               bool outlined, const Image* sheet) {
  int32_t n = static_cast<int32_t>(text.size());
  for (int32_t i = 0; i < n; ++i) {
    int k = static_cast<unsigned char>(upperCase(text[i]));
    if (k >= 128) continue;  // no cell in the sheet: the character stays blank
    int cellX = 8 * (k % 16), cellY = 8 * (k / 16);
    int32_t px = x + 8 * i, py = y;
    if (outlined) {
      for (const auto& offset : OUTLINE_OFFSETS) {
        drawImage(toolkit, target, px + offset[0], py + offset[1], sheet, cellX, cellY, cellX + 7, cellY + 7,
                  DrawTransparent);
      }
    }
    drawImage(toolkit, target, px, py, sheet, cellX, cellY, cellX + 7, cellY + 7, DrawCustom, RecolourBlend, &colour);
  }
}

// The sheet cells of the line's letters, in order, 64 pixels each; pixels
// outside the sheet count as mask.
std::vector<uint32_t> letterCells(const std::string& text, const Image* sheet) {
  std::vector<uint32_t> cells;
  cells.reserve(text.size() * 64);
  for (char c : text) {
    int k = static_cast<unsigned char>(upperCase(c));
    if (k >= 128) continue;
    int cellX = 8 * (k % 16), cellY = 8 * (k / 16);
    for (int v = cellY; v < cellY + 8; ++v)
      for (int u = cellX; u < cellX + 8; ++u)
        cells.push_back(u < sheet->width && v < sheet->height ? imageRow(sheet, v)[u] : MASK_COLOUR);
  }
  return cells;
}

bool sameCells(const TextPicture& slot, const std::string& text, const Image* sheet) {
  if (slot.sheetWidth != sheet->width || slot.sheetHeight != sheet->height) return false;
  size_t at = 0;
  for (char c : text) {
    int k = static_cast<unsigned char>(upperCase(c));
    if (k >= 128) continue;
    int cellX = 8 * (k % 16), cellY = 8 * (k / 16);
    for (int v = cellY; v < cellY + 8; ++v, at += 8) {
      if (v >= sheet->height || cellX + 8 > sheet->width) return false;  // made fresh: cells cut by the sheet edge
      if (std::memcmp(&slot.cells[at], imageRow(sheet, v) + cellX, 8 * sizeof(uint32_t)) != 0) return false;
    }
  }
  return true;
}

// The kept picture of the line, made (in the least recently used slot) when
// there is none or the letters' cells have changed since.
const Image* textPicture(Toolkit& toolkit, TextPictures& pictures, const std::string& text, uint32_t colour,
                         bool outlined, const Image* sheet) {
  TextPicture* oldest = &pictures.slots[0];
  for (TextPicture& slot : pictures.slots) {
    if (slot.picture != nullptr && slot.colour == colour && slot.outlined == outlined && slot.text == text &&
        sameCells(slot, text, sheet)) {
      slot.lastUse = ++pictures.uses;
      return slot.picture.get();
    }
    if (slot.lastUse < oldest->lastUse) oldest = &slot;
  }
  TextPicture& slot = *oldest;
  slot.text = text;
  slot.colour = colour;
  slot.outlined = outlined;
  slot.sheetWidth = sheet->width;
  slot.sheetHeight = sheet->height;
  slot.cells = letterCells(text, sheet);
  slot.picture = createImage(8 * static_cast<int32_t>(text.size()) + 2, 10);
  paintText(toolkit, slot.picture.get(), 1, 1, text, colour, outlined, sheet);
  slot.lastUse = ++pictures.uses;
  return slot.picture.get();
}

}  // namespace

void drawText(Toolkit& toolkit, int32_t x, int32_t y, const std::string& text, uint32_t colour, Outline outline) {
  int32_t n = static_cast<int32_t>(text.size());
  if (n <= 0) return;
  const Image* sheet = toolkit.spriteTable.sheet.get();
  const bool outlined = outline == Outline::Yes;
  if (sheet == nullptr) return;
  // A kept picture is put with the mask skipped, so a line whose own colour
  // is the mask colour, or too long for a picture, is always painted afresh.
  if ((colour & 0xFFFFFF) == MASK_COLOUR || n > 1000) {
    paintText(toolkit, nullptr, x, y, text, colour, outlined, sheet);
    return;
  }
  // The same pixels as painting the letters one by one: every pixel of the
  // picture holds the last colour put there, and the mask where none was.
  drawImage(toolkit, nullptr, x - 1, y - 1,
            textPicture(toolkit, toolkit.spriteTable.textPictures, text, colour, outlined, sheet), DrawTransparent);
}

void forgetTextPictures(TextPictures& pictures) {
  for (TextPicture& slot : pictures.slots) slot = TextPicture{};
  pictures.uses = 0;
}
