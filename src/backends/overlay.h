// What the window back ends lay over the game's picture: PAUSED and the
// volume, in the game's own lettering (painted by the app).
#pragma once

#include <cstdint>

#include "backends/window_config.h"

namespace backend {

// Where the texts stand, clear of the game-over, continue and exit boxes
// (rows 78 to 148): PAUSED above them.
constexpr int PAUSED_TOP = 40;
constexpr int OVERLAY_TOP = 196;  // the volume: below the boxes, above the credit line

// text laid over a 320x240 picture, centred across, with its top at y.
void layOver(uint32_t* picture, const OverlayPicture& text, int y);
// The paused picture: the page dimmed, with "PAUSED" over it.
void drawPausedPicture(const uint32_t* page, const OverlayPicture& paused, uint32_t* out);

}  // namespace backend
