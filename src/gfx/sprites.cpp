// placeholder until the sprite table lands
#include "gfx/sprites.h"
SpriteTable spriteTable;
void loadSpriteSheet() {}
void buildSpriteTable() {}
void destroySpriteTable() {}
