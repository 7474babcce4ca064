// Headless audio: no device, but every sample file is read and checked, so a
// missing or damaged sample silences the game here just as on a real mixer.
#include "platform/headless_backend.h"
#include "platform/wav.h"

bool HeadlessBackend::openAudio() { return true; }

bool HeadlessBackend::loadSample(int index, const std::string& path) {
  if (index < 0 || index >= 9) return false;
  WavSound sound;
  samplesLoaded_[index] = readWav(path, sound);
  return samplesLoaded_[index];
}

// Volumes and plays leave no trace here: the sound module writes the sound
// log for every play request.
void HeadlessBackend::setSampleVolume(int, int) {}
void HeadlessBackend::playSample(int, int) {}

void HeadlessBackend::closeAudio() {
  for (bool& loaded : samplesLoaded_) loaded = false;
}
