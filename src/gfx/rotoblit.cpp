// placeholder until the sprite drawer lands
#include "gfx/rotoblit.h"
void RotoBlit(Image*, int32_t, int32_t, Image*, float, float, float, int32_t, BlendFn, const void*) {}
uint32_t RecolourBlend(uint32_t source, uint32_t destination, const void* param) {
  return (source & 0xFFFFFF) == MASK_COLOUR ? destination : *static_cast<const uint32_t*>(param);
}
uint32_t EraseBlend(uint32_t source, uint32_t destination, const void*) {
  return (source & 0xFFFFFF) == MASK_COLOUR ? destination : MASK_COLOUR;
}
