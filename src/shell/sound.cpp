// placeholder until sound lands
#include "shell/sound.h"
SoundState soundState;
void initSound(const std::vector<std::string>&) {}
void playEffect(int, int, int) {}
void closeSound() {}
