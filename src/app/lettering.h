// Short texts in the game's own lettering for the window back ends to show
// over the game: PAUSED, the volume, MUTED.
#pragma once

#include <string>

#include "backends/window_config.h"
#include "gfx/toolkit.h"

// Black outlined letters, as the game letters its boxes, twice their size,
// the mask colour around them.
// Empty before the sprite sheet is loaded.
backend::OverlayPicture paintLettering(Toolkit& toolkit, const std::string& text);
