// Reading and checking the samples' WAV files: RIFF/WAVE with uncompressed
// 8- or 16-bit PCM, one or two channels. The headless back end loads the
// samples with it, so a missing, cut-off or damaged file fails there exactly
// as it would for the real mixer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct WavSound {
  int channels = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;
  // Interleaved frames; 8-bit samples are widened to the 16-bit range.
  std::vector<int16_t> samples;
};

// Parses a whole file held in memory. False (sound left empty) when anything
// is missing, cut off or not plain PCM.
bool parseWav(const uint8_t* bytes, size_t size, WavSound& sound);
// Reads and parses a file; false when it cannot be read or parsed.
bool readWav(const std::string& path, WavSound& sound);
// Reads a sample file whole: a regular file of at most a few MB (a pipe, a
// folder or a device is refused with a message naming it).
bool readSampleFile(const std::string& path, std::vector<uint8_t>& bytes);
