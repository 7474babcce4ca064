// Scaled and rotated sprite drawing, and its per-pixel blend callbacks.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// target nullptr draws onto the work page. Places the centre of the whole
// source image at (centreX, centreY); angle in degrees, clockwise on screen.
void RotoBlit(Image* target, int32_t centreX, int32_t centreY, Image* source, float scaleX, float scaleY, float angle,
              int32_t transparent, BlendFn blend, const void* blendParam);

// The blends RecolourBlend and EraseBlend are declared in platform/platform.h.
