// The WAV reader: any bytes give a sound within what the game plays, or none.
#include "formats/wav.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WavSound sound;
  if (parseWav(data, size, sound).ok()) {
    if (sound.channels < 1 || sound.channels > 2 || sound.samples.empty()) __builtin_trap();
    if (sound.samples.size() > size) __builtin_trap();
  } else if (!sound.samples.empty()) {
    __builtin_trap();
  }
  return 0;
}
