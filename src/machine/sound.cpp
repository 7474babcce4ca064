// Sound effects: nine samples played on numbered channels. The device is
// the back end's; the files are read and checked here, so a missing,
// cut-off or damaged sample counts the same on every back end.
#include <string>
#include <vector>

#include "base/messages.h"
#include "formats/wav.h"
#include "machine/machine_state.h"

using machine::MachineState;

namespace {

constexpr size_t SAMPLE_FILE_CAP = 8u << 20;

// Loads one sample into the device; false when it is there but cannot be
// played, which silences the whole game.
bool loadSample(const Machine& machine, machine::SoundState& sound, machine::Audio& audio, int n) {
  const std::string path = dataPath(machine, "WAV/" + std::to_string(n) + ".WAV");
  std::vector<uint8_t> file;
  os::FileRead read = os::readRegularFile(path, SAMPLE_FILE_CAP, file);
  if (read == os::FileRead::Missing) {
    // A missing sample is only told: that sample stays silent.
    sound.missing[n] = true;
    warn("warning: the sample " + path + " is missing; it stays silent");
    return true;
  }
  if (read != os::FileRead::Ok) {
    warn(path + ": " + os::fileReadReason(read, SAMPLE_FILE_CAP) + "; sound is off");
    return false;
  }
  WavSound decoded;
  Outcome parsed = parseWav(file.data(), file.size(), decoded);
  if (!parsed.ok()) {
    warn(path + ": " + parsed.why() + "; sound is off");
    return false;
  }
  return audio.loadSample(n, file, decoded);
}

}  // namespace

void initSound(Machine& machine, bool wanted) {
  MachineState& p = machine.state();
  machine::SoundState& sound = p.sound;
  sound = machine::SoundState{};
  sound.wanted = wanted;
  for (int& volume : sound.volume) volume = FULL_VOLUME;
  if (!wanted || p.audio == nullptr) return;
  // The device first; then every sample is loaded even after one has failed.
  sound.ready = p.audio->openAudio();
  if (!sound.ready) return;
  for (int n = 0; n < SAMPLE_COUNT; ++n)
    if (!loadSample(machine, sound, *p.audio, n)) sound.ready = false;
}

void playEffect(Machine& machine, Sample sample, Channel channel, int32_t volume) {
  MachineState& p = machine.state();
  const int n = static_cast<int>(sample);
  if (!p.sound.ready || n < 0 || n >= SAMPLE_COUNT || p.sound.missing[n]) return;
  // The volume becomes the sample's for this and later plays; KEEP_VOLUME
  // plays it at the volume it has now.
  if (volume != KEEP_VOLUME) p.sound.volume[n] = volume < SILENT ? SILENT : volume > FULL_VOLUME ? FULL_VOLUME : volume;
  p.audio->playSample(static_cast<int>(channel), n, p.sound.volume[n]);
  machine::tellObservers(p, [&](machine::Observer& o) { o.soundPlayed(n, static_cast<int>(channel), volume); });
}

bool closeSound(Machine& machine) {
  MachineState& p = machine.state();
  if (!p.sound.ready) return false;
  if (p.audio != nullptr) p.audio->closeAudio();
  p.sound.ready = false;
  return true;
}
