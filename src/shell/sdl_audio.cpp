// placeholder until the mixer lands
#include "shell/sdl_backend.h"
bool SdlBackend::openAudio() { return false; }
bool SdlBackend::loadSample(int, const std::string&) { return false; }
void SdlBackend::setSampleVolume(int, int) {}
void SdlBackend::playSample(int, int) {}
void SdlBackend::closeAudio() {}
