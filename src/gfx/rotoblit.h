// Scaled and rotated sprite drawing, and its per-pixel blend callbacks.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// target nullptr draws onto the work page. Places the centre of the whole
// source image at (centreX, centreY); angle in degrees, clockwise on screen.
void RotoBlit(Image* target, int32_t centreX, int32_t centreY, Image* source, float scaleX, float scaleY,
              float angle, int32_t transparent, BlendFn blend, const void* blendParam);

// Mask pixels leave the destination; every other pixel becomes *(uint32_t*)param.
uint32_t RecolourBlend(uint32_t source, uint32_t destination, const void* param);
// Mask pixels leave the destination; every other pixel becomes the mask colour.
uint32_t EraseBlend(uint32_t source, uint32_t destination, const void* param);
