#include "app/overlays.h"

#include <algorithm>

#include "app/menu.h"
#include "gfx/text.h"
#include "machine/machine.h"

namespace {
// The item under the menu's cursor: orange, after a mark.
constexpr uint32_t CURSOR_COLOUR = 0xFF7F00;
constexpr const char* CURSOR_MARK = "> ";
constexpr const char* NO_MARK = "  ";
constexpr int LETTER_WIDTH = 8;

uint32_t dimmed(uint32_t pixel) { return (pixel >> 1) & 0x7F7F7F; }
}  // namespace

OverlayPicture paintLettering(Toolkit& toolkit, const std::string& text, int scale, uint32_t colour) {
  OverlayPicture picture;
  if (toolkit.spriteTable.sheet == nullptr || text.empty()) return picture;
  // The line with its ring, drawn by the game's own text drawing into an
  // image of its own.
  const int width = 8 * static_cast<int>(text.size()) + 2, height = 10;
  OwnedImage line = createImage(width, height);
  drawIntoImage(toolkit, line.get());
  drawText(toolkit, 1, 1, text, colour, Outline::Yes);
  drawIntoImage(toolkit, nullptr);
  picture.width = width * scale;
  picture.height = height * scale;
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      picture.pixels[static_cast<size_t>(y) * picture.width + x] =
          imageRow(line.get(), y / scale)[x / scale] & 0xFFFFFF;
  return picture;
}

void layOver(uint32_t* picture, const OverlayPicture& text, int y) {
  layOverAt(picture, text, (SCREEN_WIDTH - text.width) / 2, y);
}

void layOverAt(uint32_t* picture, const OverlayPicture& text, int left, int y) {
  for (int v = 0; v < text.height; ++v)
    for (int u = 0; u < text.width; ++u) {
      uint32_t pixel = text.pixels[static_cast<size_t>(v) * text.width + u];
      int x = left + u, row = y + v;
      if ((pixel & 0xFFFFFF) == MASK_COLOUR || x < 0 || row < 0 || x >= SCREEN_WIDTH || row >= SCREEN_HEIGHT) continue;
      picture[row * SCREEN_WIDTH + x] = pixel;
    }
}

void drawPausedPicture(const uint32_t* page, const OverlayPicture& paused, uint32_t* out) {
  for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) out[i] = dimmed(page[i]);
  layOver(out, paused, PAUSED_TOP);
}

OverlayPicture paintMenu(Toolkit& toolkit, const Menu& menu) {
  OverlayPicture picture;
  picture.width = SCREEN_WIDTH;
  picture.height = SCREEN_HEIGHT;
  picture.pixels.assign(static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT, MASK_COLOUR);
  const std::vector<std::string> items = menu.items();
  size_t widest = 0;
  for (const std::string& item : items) widest = std::max(widest, item.size());
  // The ring of a line's letters stands one pixel out of its cell.
  const int left = (SCREEN_WIDTH - LETTER_WIDTH * static_cast<int>(widest + 2)) / 2 - 1;
  layOver(picture.pixels.data(), paintLettering(toolkit, menu.heading(), 1), MENU_HEADING_TOP - 1);
  for (size_t i = 0; i < items.size(); ++i) {
    const bool under = static_cast<int>(i) == menu.cursor();
    const OverlayPicture line = paintLettering(toolkit, (under ? CURSOR_MARK : NO_MARK) + items[i], 1,
                                               under ? CURSOR_COLOUR : LETTERING_COLOUR);
    layOverAt(picture.pixels.data(), line, left, MENU_ITEMS_TOP + MENU_LINE_HEIGHT * static_cast<int>(i) - 1);
  }
  const std::string hint = menu.hint();
  if (!hint.empty())
    layOver(picture.pixels.data(), paintLettering(toolkit, hint, 1),
            MENU_ITEMS_TOP + MENU_LINE_HEIGHT * (static_cast<int>(items.size()) + 1) - 1);
  return picture;
}

void drawMenuPicture(const uint32_t* page, const OverlayPicture& menu, uint32_t* out) {
  for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) out[i] = dimmed(dimmed(page[i]));  // darker: small letters
  layOverAt(out, menu, 0, 0);
}
