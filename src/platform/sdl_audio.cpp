// The SDL window back end's audio: SDL2_mixer with one chunk per sample.
// Each sample keeps its own default volume, which is applied to the channel
// when the sample starts there, so changing it never touches sounds already
// playing on other channels.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>

#include "platform/quiet_stderr.h"
#include "platform/sdl_backend.h"
#include "platform/wav.h"

namespace {
constexpr int MIXER_RATE = 44100;
constexpr int MIXER_CHANNELS = 32;  // the game uses channels 0 .. 10
constexpr int SAMPLES = 9;
constexpr int FULL_VOLUME = 255;

}  // namespace

struct SdlAudioState {
  Mix_Chunk* chunks[SAMPLES] = {};
  int defaultVolume[SAMPLES] = {FULL_VOLUME, FULL_VOLUME, FULL_VOLUME, FULL_VOLUME, FULL_VOLUME,
                                FULL_VOLUME, FULL_VOLUME, FULL_VOLUME, FULL_VOLUME};
};

bool SdlBackend::openAudio() {
  if (audio_ != nullptr) return true;
  // Anything older than SDL2_mixer 2.0 is not good enough.
  const SDL_version* linked = Mix_Linked_Version();
  if (linked == nullptr || linked->major < 2) return false;
  // No usable device: the game stays silent, and says so in one line. The
  // sound libraries' own complaints about missing cards are kept off stderr.
  int quietStderr = quietStderrBegin();
  bool opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (opened && Mix_OpenAudio(MIXER_RATE, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    opened = false;
  }
  quietStderrEnd(quietStderr);
  if (!opened) {
    std::fprintf(stderr, "quarvel: no sound device (%s); sound is off\n", SDL_GetError());
    return false;
  }
  if (Mix_AllocateChannels(MIXER_CHANNELS) < MIXER_CHANNELS) {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  audio_ = new SdlAudioState;
  applyVolume();
  return true;
}

bool SdlBackend::loadSample(int index, const std::string& path) {
  if (audio_ == nullptr || index < 0 || index >= SAMPLES) return false;
  if (audio_->chunks[index] != nullptr) Mix_FreeChunk(audio_->chunks[index]);
  audio_->chunks[index] = nullptr;
  // The mixer would play a cut-off file as far as it goes; check it first so
  // that a damaged sample silences the game here as it does headless.
  // The mixer decodes the very bytes that were checked: the file is read once.
  std::vector<uint8_t> bytes;
  WavSound checked;
  if (!readSampleFile(path, bytes) || !parseWav(bytes.data(), bytes.size(), checked)) return false;
  audio_->chunks[index] = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
  return audio_->chunks[index] != nullptr;
}

void SdlBackend::setSampleVolume(int index, int volume) {
  if (audio_ == nullptr || index < 0 || index >= SAMPLES || volume < 0) return;
  audio_->defaultVolume[index] = volume > FULL_VOLUME ? FULL_VOLUME : volume;
}

void SdlBackend::playSample(int channel, int index) {
  if (audio_ == nullptr || index < 0 || index >= SAMPLES || audio_->chunks[index] == nullptr) return;
  if (channel < 0 || channel >= MIXER_CHANNELS) return;
  // A new sound replaces whatever still plays on its channel. Stop the old
  // one first so it never sounds at the new volume.
  Mix_HaltChannel(channel);
  Mix_Volume(channel, (audio_->defaultVolume[index] * MIX_MAX_VOLUME + FULL_VOLUME / 2) / FULL_VOLUME);
  Mix_PlayChannel(channel, audio_->chunks[index], 0);
}

// Safe to call more than once, and after a failed open.
void SdlBackend::closeAudio() {
  if (audio_ == nullptr) return;
  Mix_HaltChannel(-1);
  for (Mix_Chunk*& chunk : audio_->chunks) {
    if (chunk != nullptr) Mix_FreeChunk(chunk);
    chunk = nullptr;
  }
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  delete audio_;
  audio_ = nullptr;
}

// Headroom: every sample peaks at -5 to -6 dBFS, so any two add up to
// about 0 dB and three (a shot, a hit and a march note) would clip. The
// mixer's master volume at 0.59 keeps three at once below full scale.
int mixerMasterVolume(int volumePercent) {
  constexpr int HEADROOM = 76;  // of MIX_MAX_VOLUME (128)
  return std::clamp(volumePercent, 0, 100) * HEADROOM / 100;
}

// The master volume of the settings, or nothing while muted.
void SdlBackend::applyVolume() {
  if (audio_ == nullptr) return;
  Mix_MasterVolume(muted_ ? 0 : mixerMasterVolume(platform().options.settings.volume));
}
