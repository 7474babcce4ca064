// Sound effects. The mixer is reached only through the harness's audio calls,
// which forward to whichever back end is running (SDL2_mixer or headless).
#include "platform/sound.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "platform/audio.h"
#include "platform/harness.h"
#include "platform/paths.h"

SoundState soundState;

void initSound(const std::vector<std::string>& args) {
  // The word NOSOUND anywhere on the command line, in any case, even inside a
  // longer argument, keeps the game silent without touching the mixer at all.
  std::string joined;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += args[i];
  }
  for (char& c : joined) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  soundState.soundWanted = joined.find("NOSOUND") == std::string::npos;
  soundState.soundReady = false;
  for (bool& missing : soundState.missing) missing = false;
  if (!soundState.soundWanted) return;

  // Version check and opening the device; then every sample is loaded even
  // after one has failed, and a damaged sample leaves the game silent. A
  // missing one is only reported: that sample stays silent.
  soundState.soundReady = audioOpen();
  if (!soundState.soundReady) return;
  for (int n = 0; n < SAMPLE_COUNT; ++n) {
    std::string path = dataPath("WAV/" + std::to_string(n) + ".WAV");
    std::error_code error;
    soundState.missing[n] = !std::filesystem::exists(path, error);
    if (soundState.missing[n]) {
      std::fprintf(stderr, "quarvel: warning: the sample %s is missing; it stays silent\n", path.c_str());
      continue;
    }
    if (!audioLoadSample(n, path)) soundState.soundReady = false;
  }
}

void playEffect(int sample, int channel, int volume) {
  if (!soundState.soundReady) return;
  if (sample < 0 || sample >= SAMPLE_COUNT || soundState.missing[sample]) return;
  // The volume becomes the sample's default for this and later plays; -1
  // plays it at whatever default it has now.
  if (volume != -1) audioSetVolume(sample, volume);
  audioPlay(channel, sample);
  logSoundEvent(sample, channel, volume);
}

void closeSound() {
  if (!soundState.soundReady) return;
  audioClose();
  soundState.soundReady = false;
  std::fputs("FMOD CLOSED\n", stdout);
  std::fflush(stdout);
}
