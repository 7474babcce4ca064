// What the app lays over the game's picture in the window and the page:
// PAUSED, the volume and MUTED, the menu, in the game's own lettering. None
// of it is ever drawn on the game's pages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/toolkit.h"

class Menu;

// A short text painted for laying over a 320x240 picture: 0x00RRGGBB
// pixels, the mask colour where the picture shows through.
struct OverlayPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// Outlined letters, as the game letters its boxes (black), twice their size
// unless told. Empty before the sprite sheet is loaded.
constexpr int LETTERING_SCALE = 2;
constexpr uint32_t LETTERING_COLOUR = 0x000000;
OverlayPicture paintLettering(Toolkit& toolkit, const std::string& text, int scale = LETTERING_SCALE,
                              uint32_t colour = LETTERING_COLOUR);
// The open menu as a whole 320x240 overlay: its heading, its items at their
// own size in a column (the one under the cursor marked), the hint.
OverlayPicture paintMenu(Toolkit& toolkit, const Menu& menu);

// Where the texts stand, clear of the game-over, continue and exit boxes
// (rows 78 to 148): PAUSED above them, the volume below them, above the
// credit line.
constexpr int PAUSED_TOP = 40;
constexpr int OVERLAY_TOP = 196;

// text laid over a 320x240 picture, centred across, with its top at y; or
// with its top left at (x, y).
void layOver(uint32_t* picture, const OverlayPicture& text, int y);
void layOverAt(uint32_t* picture, const OverlayPicture& text, int x, int y);
// The paused picture: the page dimmed, with "PAUSED" over it.
void drawPausedPicture(const uint32_t* page, const OverlayPicture& paused, uint32_t* out);
// The menu's picture: the page dimmed, the menu over it.
void drawMenuPicture(const uint32_t* page, const OverlayPicture& menu, uint32_t* out);
