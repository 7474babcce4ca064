// The BMP loader and the sprite table cut from what it loaded: any bytes
// either load into the 128x64 sheet or leave it untouched, and the table is
// built and freed from whatever the sheet holds.
#include "platform/bitmap.h"

#include <cstddef>
#include <cstdint>

#include "gfx/sprites.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  spriteTable.sheet = createImage(128, 64);
  decodeBitmap(data, size, spriteTable.sheet);
  // A second, odd-sized target: overlaps are clipped either way.
  Image* odd = createImage(3, 200);
  decodeBitmap(data, size, odd);
  destroyImage(odd);
  buildSpriteTable();
  destroySpriteTable();
  return 0;
}
