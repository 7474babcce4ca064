// What the app lays over the game's picture in the window and the page:
// PAUSED, the volume and MUTED, in the game's own lettering. None of it is
// ever drawn on the game's pages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/toolkit.h"

// A short text painted for laying over a 320x240 picture: 0x00RRGGBB
// pixels, the mask colour where the picture shows through.
struct OverlayPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// Black outlined letters, as the game letters its boxes, twice their size.
// Empty before the sprite sheet is loaded.
OverlayPicture paintLettering(Toolkit& toolkit, const std::string& text);

// Where the texts stand, clear of the game-over, continue and exit boxes
// (rows 78 to 148): PAUSED above them, the volume below them, above the
// credit line.
constexpr int PAUSED_TOP = 40;
constexpr int OVERLAY_TOP = 196;

// text laid over a 320x240 picture, centred across, with its top at y.
void layOver(uint32_t* picture, const OverlayPicture& text, int y);
// The paused picture: the page dimmed, with "PAUSED" over it.
void drawPausedPicture(const uint32_t* page, const OverlayPicture& paused, uint32_t* out);
