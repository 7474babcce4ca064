// The SDL window back end's audio: SDL2_mixer with one chunk per sample.
// The volume a sample plays at is applied to its channel when it starts
// there, so it never touches sounds already playing on other channels.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>

#include "backends/sdl_window.h"
#include "base/messages.h"
#include "os/files.h"

namespace backend {

namespace {
constexpr int MIXER_RATE = 44100;
constexpr int MIXER_BUFFER = 1024;  // sample frames: about 23 ms
}  // namespace

struct SdlAudioState {
  Mix_Chunk* chunks[SAMPLE_COUNT] = {};
};

bool SdlWindow::openAudio() {
  if (audio_ != nullptr) return true;
  // Anything older than SDL2_mixer 2.0 is not good enough.
  const SDL_version* linked = Mix_Linked_Version();
  if (linked == nullptr || linked->major < 2) return false;
  // No usable device: the game stays silent, and says so in one line. The
  // sound libraries' own complaints about missing cards are kept off stderr.
  bool opened = false;
  {
    os::QuietStderr quiet;
    opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (opened && Mix_OpenAudio(MIXER_RATE, MIX_DEFAULT_FORMAT, 2, MIXER_BUFFER) != 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      opened = false;
    }
  }
  if (!opened) {
    warn(std::string("no sound device (") + SDL_GetError() + "); sound is off");
    return false;
  }
  if (Mix_AllocateChannels(CHANNEL_COUNT) < CHANNEL_COUNT) {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  audio_ = new SdlAudioState;
  setMasterVolume(config_.volume, config_.muted);
  return true;
}

// The mixer decodes the very bytes the machine checked: a cut-off file that
// the mixer would play as far as it goes never gets here.
bool SdlWindow::loadSample(int sample, const std::vector<uint8_t>& file, const WavSound&) {
  if (audio_ == nullptr || sample < 0 || sample >= SAMPLE_COUNT) return false;
  if (audio_->chunks[sample] != nullptr) Mix_FreeChunk(audio_->chunks[sample]);
  audio_->chunks[sample] = Mix_LoadWAV_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())), 1);
  return audio_->chunks[sample] != nullptr;
}

void SdlWindow::playSample(int channel, int sample, int volume) {
  if (audio_ == nullptr || sample < 0 || sample >= SAMPLE_COUNT || audio_->chunks[sample] == nullptr) return;
  if (channel < 0 || channel >= CHANNEL_COUNT) return;
  // A new sound replaces whatever still plays on its channel. Stop the old
  // one first so it never sounds at the new volume.
  Mix_HaltChannel(channel);
  Mix_Volume(channel, (volume * MIX_MAX_VOLUME + FULL_VOLUME / 2) / FULL_VOLUME);
  Mix_PlayChannel(channel, audio_->chunks[sample], 0);
}

// Safe to call more than once, and after a failed open.
void SdlWindow::closeAudio() {
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
void SdlWindow::setMasterVolume(int percent, bool muted) {
  config_.volume = percent;
  config_.muted = muted;
  if (audio_ == nullptr) return;
  Mix_MasterVolume(muted ? 0 : mixerMasterVolume(percent));
}

}  // namespace backend
