// What the graphics toolkit keeps for the whole run beside the machine: the
// sprite table cut from the sheet at start-up (read-only afterwards) and the
// table of explosion effects every stage shares.
#pragma once

#include "gfx/effects.h"
#include "gfx/sprites.h"
#include "machine/machine.h"

struct Toolkit : Machine {
  SpriteTable spriteTable;
  EffectTable effectTable;
};

inline const Image* sprite(const Toolkit& toolkit, int id) { return toolkit.spriteTable.images[id].get(); }
