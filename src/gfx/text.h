#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "machine/machine.h"

struct Toolkit;  // gfx/toolkit.h

// Whether the glyphs' own sheet colours ring the letters.
enum class Outline { No, Yes };

// One line of 8x8 lettering from the sprite sheet, top-left at (x, y) on the
// work page; every letter shows as a capital.
void drawText(Toolkit& toolkit, int32_t x, int32_t y, const std::string& text, uint32_t colour, Outline outline);

// Lines of text as finished pictures, kept because the same lines come back
// frame after frame (the score line, the credits, the prompts). A picture is
// used only while its letters' sheet cells are as they were when it was made.
struct TextPicture {
  std::string text;
  uint32_t colour = 0;
  bool outlined = false;
  int32_t sheetWidth = 0, sheetHeight = 0;
  std::vector<uint32_t> cells;  // the sheet cells of its letters, 64 pixels each
  OwnedImage picture;           // the line with its ring, top-left at (-1, -1)
  uint64_t lastUse = 0;
};
struct TextPictures {
  static constexpr int SLOTS = 32;
  TextPicture slots[SLOTS];
  uint64_t uses = 0;
};
void forgetTextPictures(TextPictures& pictures);
