#include "backends/overlay.h"

#include "machine/kinds.h"

namespace backend {

namespace {
constexpr uint32_t MASK = 0xFF00FF;
}  // namespace

void layOver(uint32_t* picture, const OverlayPicture& text, int y) {
  const int left = (SCREEN_WIDTH - text.width) / 2;
  for (int v = 0; v < text.height; ++v)
    for (int u = 0; u < text.width; ++u) {
      uint32_t pixel = text.pixels[static_cast<size_t>(v) * text.width + u];
      int x = left + u, row = y + v;
      if ((pixel & 0xFFFFFF) == MASK || x < 0 || row < 0 || x >= SCREEN_WIDTH || row >= SCREEN_HEIGHT) continue;
      picture[row * SCREEN_WIDTH + x] = pixel;
    }
}

void drawPausedPicture(const uint32_t* page, const OverlayPicture& paused, uint32_t* out) {
  for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) out[i] = (page[i] >> 1) & 0x7F7F7F;  // dimmed
  layOver(out, paused, PAUSED_TOP);
}

}  // namespace backend
