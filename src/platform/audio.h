// The sound device of the running back end (SDL2_mixer or headless): the
// sound module's only way to the mixer.
#pragma once

#include <string>

bool audioOpen();
bool audioLoadSample(int index, const std::string& path);
void audioSetVolume(int index, int volume);  // 0..255
void audioPlay(int channel, int index);
void audioClose();
