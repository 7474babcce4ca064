// The BMP reader: anything at all gives a picture of the size it says, or a
// failure with a reason and no picture.
#include <cstddef>
#include <cstdint>

#include "formats/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Picture picture;
  Outcome read = decodeBmp(data, size, picture);
  if (read.ok() && picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) __builtin_trap();
  if (!read.ok() && (read.why().empty() || !picture.pixels.empty())) __builtin_trap();
  return 0;
}
