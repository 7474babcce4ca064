// placeholder until the effect table lands
#include "gfx/effects.h"
EffectTable effectTable;
void spawnEffect(int32_t, int32_t, int32_t) {}
void drawEffects(int32_t) {}
void clearEffects() {}
