// Scratch folders, whole files, the game's data and the sound log, for
// tests of every layer.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// The whole text of a file ("" when missing).
std::string readFileText(const std::string& path);
// Writes bytes to path, making its folder.
void writeFile(const std::string& path, const std::string& bytes);
// A fresh empty scratch folder under the system temp folder.
std::string makeScratchFolder(const std::string& tag);
// Copies graphics/ and WAV/ from the repository's data folder into folder.
void copyGameData(const std::string& folder);

// One line of the sound log: the frames presented before the sound (frame t
// of a scene logs t - 1), sample, channel, volume, and the virtual clock.
struct SoundEvent {
  int64_t frame = 0;
  int sample = 0;
  int channel = 0;
  int volume = 0;
  int64_t ms = 0;
  // The clock follows from the frame; expectations name the other four.
  bool operator==(const SoundEvent& other) const {
    return frame == other.frame && sample == other.sample && channel == other.channel && volume == other.volume;
  }
};
void PrintTo(const SoundEvent& event, std::ostream* out);
std::vector<SoundEvent> readSoundLog(const std::string& path);

// The value of "key" in a one-line JSON object, as written (a string without
// its quotes); "" when missing.
std::string jsonField(const std::string& json, const std::string& key);
// count bytes of any value, the same for the same seed.
std::string randomBytes(uint32_t seed, size_t count);
