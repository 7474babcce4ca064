// The samples' WAV files: RIFF/WAVE with uncompressed 8- or 16-bit PCM, one
// or two channels. Every back end loads the samples through this check, so a
// cut-off or damaged file fails alike everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/outcome.h"

struct WavSound {
  int channels = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;
  // Interleaved frames; 8-bit samples are widened to the 16-bit range.
  std::vector<int16_t> samples;
};

// Parses a whole file held in memory. Fails (sound left empty) when anything
// is missing, cut off or not plain PCM.
Outcome parseWav(const uint8_t* bytes, size_t size, WavSound& sound);
