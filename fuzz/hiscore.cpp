// The high-score text: any bytes read as a value, the same every time, and
// the text a save writes reads back as that value.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/hiscore_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  int32_t value = highScoreFromText(text);
  if (highScoreFromText(text) != value) __builtin_trap();
  if (highScoreFromText(highScoreText(value)) != value) __builtin_trap();
  return 0;
}
