// The high-score reader: any text gives a value, and the same text again
// gives the same value.
#include "game/hiscore.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  int32_t value = highScoreFromText(text);
  if (highScoreFromText(text) != value) __builtin_trap();
  return 0;
}
