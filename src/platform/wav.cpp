#include "platform/wav.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace {

uint32_t readU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

uint16_t readU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool tagIs(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

constexpr uint16_t FORMAT_PCM = 1;

}  // namespace

bool parseWav(const uint8_t* bytes, size_t size, WavSound& sound) {
  sound = WavSound{};
  if (bytes == nullptr || size < 12 || !tagIs(bytes, "RIFF") || !tagIs(bytes + 8, "WAVE")) return false;
  // The RIFF size covers everything after the first eight bytes; a file
  // shorter than it claims was cut off.
  uint64_t riffEnd = static_cast<uint64_t>(readU32(bytes + 4)) + 8;
  if (riffEnd > size) return false;

  bool haveFormat = false;
  uint16_t channels = 0, blockAlign = 0, bits = 0;
  uint32_t rate = 0;
  size_t pos = 12;
  while (pos + 8 <= riffEnd) {
    const uint8_t* chunk = bytes + pos;
    uint64_t chunkSize = readU32(chunk + 4);
    if (pos + 8 + chunkSize > riffEnd) return false;
    const uint8_t* body = chunk + 8;
    if (tagIs(chunk, "fmt ")) {
      if (chunkSize < 16) return false;
      if (readU16(body) != FORMAT_PCM) return false;
      channels = readU16(body + 2);
      rate = readU32(body + 4);
      blockAlign = readU16(body + 12);
      bits = readU16(body + 14);
      if (channels < 1 || channels > 2) return false;
      if (bits != 8 && bits != 16) return false;
      if (rate < 8000 || rate > 192000) return false;
      if (blockAlign != channels * (bits / 8)) return false;
      haveFormat = true;
    } else if (tagIs(chunk, "data")) {
      if (!haveFormat || chunkSize == 0 || chunkSize % blockAlign != 0) return false;
      size_t count = static_cast<size_t>(chunkSize) / (bits / 8);
      sound.samples.resize(count);
      for (size_t i = 0; i < count; ++i) {
        if (bits == 16) {
          sound.samples[i] = static_cast<int16_t>(readU16(body + 2 * i));
        } else {
          sound.samples[i] = static_cast<int16_t>((body[i] - 128) * 256);
        }
      }
      sound.channels = channels;
      sound.sampleRate = static_cast<int>(rate);
      sound.bitsPerSample = bits;
      return true;
    }
    pos += 8 + static_cast<size_t>(chunkSize) + (chunkSize & 1);  // chunks are padded to even sizes
  }
  return false;  // no sound data
}

bool readWav(const std::string& path, WavSound& sound) {
  sound = WavSound{};
  std::vector<uint8_t> bytes;
  if (!readSampleFile(path, bytes)) return false;
  return parseWav(bytes.data(), bytes.size(), sound);
}

bool readSampleFile(const std::string& path, std::vector<uint8_t>& bytes) {
  FileRead read = readRegularFile(path, SAMPLE_FILE_CAP, bytes);
  if (read != FileRead::Ok && read != FileRead::Missing)
    std::fprintf(stderr, "quarvel: %s: %s\n", path.c_str(), fileReadReason(read, SAMPLE_FILE_CAP).c_str());
  return read == FileRead::Ok;
}
