// The shared table of short explosion effects: puffs and bursts copied as
// they are on the sheet, and blasts that grow a little every frame.
#include "gfx/effects.h"

#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "gfx/toolkit.h"

namespace {

const uint32_t FLASH_COLOUR = 0xFFFFFF;

// Starting timer of each kind; 0 for kinds the stages never pass.
int32_t startingTimer(int32_t kind) {
  switch (kind) {
    case FxPuff: return 10;
    case FxShipBurst: return 4;
    case FxBlast: return 5;
    case FxBlastShort: return 3;
    case FxFlash: return 6;
    case FxBlastSlow: return 10;
    default: return 0;
  }
}

void drawGrowing(Toolkit& toolkit, const Effect& effect, int32_t scrollY, BlendFn blend, const void* param) {
  RotoBlit(toolkit, nullptr, effect.x, effect.y - scrollY, sprite(toolkit, SprExplosion), effect.scale, effect.scale,
           0.0f, Transparency::SkipMask, blend, param);
}

void drawCopied(Toolkit& toolkit, const Effect& effect, int32_t scrollY, int id) {
  const Image* image = sprite(toolkit, id);
  if (image != nullptr) drawImage(toolkit, nullptr, effect.x, effect.y - scrollY, image, DrawTransparent);
}

}  // namespace

void spawnEffect(Toolkit& toolkit, int32_t x, int32_t y, int32_t kind) {
  int32_t timer = startingTimer(kind);
  if (timer == 0) return;  // an unknown kind shows nothing and takes no slot
  for (Effect& effect : toolkit.effectTable.slots) {
    if (effect.active != 0) continue;
    effect.active = -1;
    effect.x = x;
    effect.y = y;
    effect.kind = kind;
    effect.timer = timer;
    effect.scale = 1.0f;
    return;
  }
}

void drawEffects(Toolkit& toolkit, int32_t scrollY) {
  for (Effect& effect : toolkit.effectTable.slots) {
    if (effect.active == 0) continue;
    effect.timer -= 1;
    if (effect.timer < 1) effect.active = 0;  // still drawn this once
    switch (effect.kind) {
      case FxPuff: drawCopied(toolkit, effect, scrollY, SprExplosion); break;
      case FxShipBurst: drawCopied(toolkit, effect, scrollY, SprShipBurst1 + (effect.timer / 2) % 2); break;
      case FxBlast:
      case FxBlastShort:
        effect.scale += 0.6f;
        drawGrowing(toolkit, effect, scrollY, nullptr, nullptr);
        break;
      case FxFlash:
        effect.scale += 1.0f;
        drawGrowing(toolkit, effect, scrollY, RecolourBlend, &FLASH_COLOUR);
        break;
      case FxBlastSlow:
        effect.scale += 0.4f;
        drawGrowing(toolkit, effect, scrollY, nullptr, nullptr);
        break;
      default: break;
    }
  }
}

void clearEffects(Toolkit& toolkit) {
  for (Effect& effect : toolkit.effectTable.slots) effect.active = 0;
}
