// The shared table of short explosion effects, 17 slots.
#pragma once

#include <cstdint>

struct Toolkit;  // gfx/toolkit.h

enum EffectKind { FxPuff = 0, FxShipBurst = 1, FxBlast = 2, FxBlastShort = 3, FxFlash = 4, FxBlastSlow = 255 };

struct Effect {
  int32_t active = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t kind = 0;
  int32_t timer = 0;
  float scale = 0.0f;
};

constexpr int EFFECT_SLOTS = 17;
struct EffectTable {
  Effect slots[EFFECT_SLOTS];
};

void spawnEffect(Toolkit& toolkit, int32_t x, int32_t y, int32_t kind);
void drawEffects(Toolkit& toolkit, int32_t scrollY);
void clearEffects(Toolkit& toolkit);
