// Sampled sound effects: nine samples WAV/0.WAV .. WAV/8.WAV played on
// numbered channels. Any failure at start-up leaves the whole game silent.
#pragma once

#include <string>
#include <vector>

constexpr int SAMPLE_COUNT = 9;

struct SoundState {
  bool soundWanted = false;
  bool soundReady = false;
  bool missing[SAMPLE_COUNT] = {};  // sample files not there at start-up
};
extern SoundState soundState;

// args: the program's arguments without the program name.
void initSound(const std::vector<std::string>& args);
// volume 0..255, or -1 to keep the sample's current default volume.
void playEffect(int sample, int channel, int volume);
void closeSound();
