#include "formats/wav.h"

#include <cstring>

namespace {

uint32_t readU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

uint16_t readU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool tagIs(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

constexpr uint16_t FORMAT_PCM = 1;

Outcome notPlainPcm() { return Outcome::failure("not plain 8- or 16-bit PCM"); }

}  // namespace

Outcome parseWav(const uint8_t* bytes, size_t size, WavSound& sound) {
  sound = WavSound{};
  if (bytes == nullptr || size < 12 || !tagIs(bytes, "RIFF") || !tagIs(bytes + 8, "WAVE"))
    return Outcome::failure("not a WAV file");
  // The RIFF size covers everything after the first eight bytes; a file
  // shorter than it claims was cut off.
  uint64_t riffEnd = static_cast<uint64_t>(readU32(bytes + 4)) + 8;
  if (riffEnd > size) return Outcome::failure("cut short");

  bool haveFormat = false;
  uint16_t channels = 0, blockAlign = 0, bits = 0;
  uint32_t rate = 0;
  size_t pos = 12;
  while (pos + 8 <= riffEnd) {
    const uint8_t* chunk = bytes + pos;
    uint64_t chunkSize = readU32(chunk + 4);
    if (pos + 8 + chunkSize > riffEnd) return Outcome::failure("cut short");
    const uint8_t* body = chunk + 8;
    if (tagIs(chunk, "fmt ")) {
      if (chunkSize < 16 || readU16(body) != FORMAT_PCM) return notPlainPcm();
      channels = readU16(body + 2);
      rate = readU32(body + 4);
      blockAlign = readU16(body + 12);
      bits = readU16(body + 14);
      if (channels < 1 || channels > 2 || (bits != 8 && bits != 16) || rate < 8000 || rate > 192000 ||
          blockAlign != channels * (bits / 8))
        return notPlainPcm();
      haveFormat = true;
    } else if (tagIs(chunk, "data")) {
      if (!haveFormat || chunkSize == 0 || chunkSize % blockAlign != 0) return notPlainPcm();
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
      return {};
    }
    pos += 8 + static_cast<size_t>(chunkSize) + (chunkSize & 1);  // chunks are padded to even sizes
  }
  return Outcome::failure("no sound data");
}
