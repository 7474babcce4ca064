#include "app/lettering.h"

#include "gfx/sprites.h"
#include "gfx/text.h"
#include "machine/machine.h"

namespace {
constexpr int LETTERING_SCALE = 2;
// Black, ringed in the sheet's light glyph colours, as the game letters its boxes.
constexpr uint32_t LETTERING_COLOUR = 0x000000;
}  // namespace

backend::OverlayPicture paintLettering(Toolkit& toolkit, const std::string& text) {
  backend::OverlayPicture picture;
  if (toolkit.spriteTable.sheet == nullptr || text.empty()) return picture;
  // The line with its ring, drawn by the game's own text drawing.
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
