// placeholder until the samples are checked headlessly
#include "shell/headless_backend.h"
bool HeadlessBackend::openAudio() { return true; }
bool HeadlessBackend::loadSample(int, const std::string&) { return true; }
void HeadlessBackend::setSampleVolume(int, int) {}
void HeadlessBackend::playSample(int, int) {}
void HeadlessBackend::closeAudio() {}
