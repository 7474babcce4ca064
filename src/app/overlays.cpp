#include "app/overlays.h"

#include "gfx/text.h"
#include "machine/machine.h"

namespace {
constexpr int LETTERING_SCALE = 2;
// Black, ringed in the sheet's light glyph colours, as the game letters its boxes.
constexpr uint32_t LETTERING_COLOUR = 0x000000;
}  // namespace

OverlayPicture paintLettering(Toolkit& toolkit, const std::string& text) {
  OverlayPicture picture;
  if (toolkit.spriteTable.sheet == nullptr || text.empty()) return picture;
  // The line with its ring, drawn by the game's own text drawing into an
  // image of its own.
  const int width = 8 * static_cast<int>(text.size()) + 2, height = 10;
  OwnedImage line = createImage(width, height);
  drawIntoImage(toolkit, line.get());
  drawText(toolkit, 1, 1, text, LETTERING_COLOUR, Outline::Yes);
  drawIntoImage(toolkit, nullptr);
  picture.width = width * LETTERING_SCALE;
  picture.height = height * LETTERING_SCALE;
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      picture.pixels[static_cast<size_t>(y) * picture.width + x] =
          imageRow(line.get(), y / LETTERING_SCALE)[x / LETTERING_SCALE] & 0xFFFFFF;
  return picture;
}

void layOver(uint32_t* picture, const OverlayPicture& text, int y) {
  const int left = (SCREEN_WIDTH - text.width) / 2;
  for (int v = 0; v < text.height; ++v)
    for (int u = 0; u < text.width; ++u) {
      uint32_t pixel = text.pixels[static_cast<size_t>(v) * text.width + u];
      int x = left + u, row = y + v;
      if ((pixel & 0xFFFFFF) == MASK_COLOUR || x < 0 || row < 0 || x >= SCREEN_WIDTH || row >= SCREEN_HEIGHT) continue;
      picture[row * SCREEN_WIDTH + x] = pixel;
    }
}

void drawPausedPicture(const uint32_t* page, const OverlayPicture& paused, uint32_t* out) {
  for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) out[i] = (page[i] >> 1) & 0x7F7F7F;  // dimmed
  layOver(out, paused, PAUSED_TOP);
}
