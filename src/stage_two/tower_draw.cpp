// The tower on screen: roof, lift, floors, posts with their floor numbers,
// cracks, lodged blocks, the texts, the decoy and the goal UFO.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "game/game.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "machine/machine.h"
#include "stage_two/stage_two_internal.h"

namespace stage_two {

namespace {

constexpr uint32_t BACKGROUND = 0x202020;
constexpr uint32_t ROOF_BLUE = 0x5050A0;
constexpr uint32_t BLACK = 0x000000;
constexpr uint32_t RED = 0xFF0000;
constexpr uint32_t UFO_GREY = 0xDDDDDD;
constexpr int32_t ROWS_IN_VIEW = 11;
constexpr int32_t LAST_FIRST_ROW = 490;

int32_t randomBelow(Game& game, int32_t n) { return static_cast<int32_t>(std::floor(n * randomUnit(game))); }

// The image-put operation: the whole sprite, top-left at (x, y), one colour.
void put(Game& game, int id, int32_t x, int32_t y, uint32_t colour) {
  drawImage(game, nullptr, x, y, sprite(game, id), DrawCustom, RecolourBlend, &colour);
}

void roto(Game& game, int id, int32_t x, int32_t y, float scale, float angle, uint32_t colour) {
  RotoBlit(game, nullptr, x, y, sprite(game, id), scale, scale, angle, Transparency::SkipMask, RecolourBlend, &colour);
}

// Every fifth floor number on the left posts, three digits: 001, 005, 010 ...
std::string floorNumber(int32_t row) {
  std::string text = "00" + std::to_string(row - 4);
  return text.substr(text.size() - 3);
}

void drawLift(Game& game, int32_t X, int32_t Y, int32_t dx, int32_t dy, int32_t scroll) {
  drawLine(game, nullptr, X - 9, Y + 5, X + 21, Y + 33, BACKGROUND, LineFilledBox);
  drawLine(game, nullptr, X - 9, Y + 5, X + 11, Y + 33, BLACK, LineBox);
  drawLine(game, nullptr, X + 1, Y + 5, X + 1, Y + 33, BLACK, LineSolid);  // the gap between the doors
  drawText(game, 70 + dx, 70 + dy - scroll, "press space key to stomp", BLACK, Outline::Yes);
}

void drawCell(Game& game, Tower& tower, int32_t c, int32_t r, int32_t X, int32_t Y, int32_t dx, int32_t dy,
              int32_t scroll) {
  uint16_t v = tower.map.cells[r][c];
  if ((v & CellRoof) != 0) drawLine(game, nullptr, X - 4, Y, X + 19, Y + 32, ROOF_BLUE, LineFilledBox);
  if (v == (CellLift | CellRoof)) drawLift(game, X, Y, dx, dy, scroll);
  if ((v & CellLoose) != 0) put(game, SprAlienAFlipped, X + 3, Y + 5, RED);
  if ((v & CellFloor) != 0) put(game, SprDeskSmall, X - 2, Y - 2, tileColour(c, r));
  if ((v & CellCracked) != 0) roto(game, SprBomb1, X + 7, Y + 1, 1.0f, 0.0f, BLACK);
  if (v == CellMessage) {
    drawText(game, 70 + dx, Y - 248, "Thank you, but our UFO ", BLACK, Outline::Yes);
    drawText(game, 70 + dx, Y - 228, "  is on another floor  ", BLACK, Outline::Yes);
  }
  if (v == (CellBrokenLift | CellFloor)) {
    drawText(game, 104 + dx, Y - 56, "out of order", BLACK, Outline::Yes);
    roto(game, SprUfo, X + 7, Y - 13, 4.0f, 180.0f, UFO_GREY);
  }
  if (v == (CellGoal | CellFloor)) roto(game, SprUfo, X + 7, Y - 22, 4.0f, 0.0f, UFO_GREY);
  if ((v & CellWall) != 0) {
    put(game, SprDeskTall, X - 2, Y - 3, tileColour(c, r));
    if (c < 9 && (r % 5 == 4 || r == 5)) drawText(game, X - 8, Y + 21, floorNumber(r), RED, Outline::Yes);
  }
}

// Rows from .. to - 1, cell column 0 at x = dx, map y 0 at y = dy - scroll.
void drawRows(Game& game, Tower& tower, int32_t from, int32_t to, int32_t scroll, int32_t dx, int32_t dy) {
  for (int32_t r = from; r < to; ++r) {
    for (int32_t c = 0; c < TOWER_COLUMNS; ++c) {
      drawCell(game, tower, c, r, 16 * c + dx, 32 * r + dy - scroll, dx, dy, scroll);
    }
  }
}

// Rows whose cells draw only boxes, image puts, cracks and floor numbers at
// their own place: these come out the same on the kept picture, moved by
// whole pixels, as on the screen (the crack is drawn at scale 1, unturned,
// and moved by an even number of pixels sideways, which keeps its rounding).
// The lift, the texts and the two UFOs depend on the scroll itself.
bool plainRows(Tower& tower, int32_t first) {
  for (int32_t r = first; r < first + ROWS_IN_VIEW; ++r) {
    for (uint16_t v : tower.map.cells[r]) {
      if (v == (CellLift | CellRoof) || v == CellMessage || v == (CellBrokenLift | CellFloor) ||
          v == (CellGoal | CellFloor))
        return false;
    }
  }
  return true;
}

// Paints picture rows band.top .. band.bottom - 1 for rows first .. first +
// 10: every row that reaches into the band is drawn again, in the usual
// order, onto an image only as tall as the band, so that nothing outside it
// changes; the whole picture is painted in place.
void paintBand(Game& game, Tower& tower, Image* picture, int32_t first, PictureBand band) {
  const int32_t height = band.bottom - band.top;
  OwnedImage bandImage = height == PICTURE_HEIGHT ? nullptr : createImage(PICTURE_WIDTH, height, BACKGROUND);
  Image* target = bandImage != nullptr ? bandImage.get() : picture;
  if (target == picture)
    drawLine(game, picture, 0, 0, PICTURE_WIDTH - 1, PICTURE_HEIGHT - 1, BACKGROUND, LineFilledBox);
  int32_t from = first + ROWS_IN_VIEW, to = first;
  for (int32_t i = 0; i < ROWS_IN_VIEW; ++i) {
    int32_t y = 32 * i + PICTURE_TOP;
    if (y - ROW_REACH_UP < band.bottom && y + ROW_REACH_DOWN > band.top) {
      from = std::min(from, first + i);
      to = first + i + 1;
    }
  }
  drawIntoImage(game, target);
  drawRows(game, tower, from, to, 32 * first - PICTURE_TOP + band.top, PICTURE_LEFT, 0);
  drawIntoImage(game, nullptr);
  if (bandImage != nullptr) drawImage(game, picture, 0, band.top, bandImage.get(), DrawCopy);
}

// The tower from the kept picture (TowerPicture), brought up to date first;
// false when these rows cannot come from it.
bool drawFromPicture(Game& game, Tower& tower, int32_t first, int32_t scroll, int32_t dx, int32_t dy) {
  int32_t offset = scroll - 32 * first;  // 0..31 unless first was held at an end of the tower
  if (offset < 0 || offset >= 32 || !plainRows(tower, first)) return false;
  Image* picture = towerPictureImage(game, tower);
  if (picture == nullptr) return false;
  if (!towerPictureCurrent(game, tower, first)) {
    PictureBand bands[MAX_PICTURE_BANDS];
    int32_t count = moveTowerPicture(game, tower, first, bands);
    for (int32_t k = 0; k < count; ++k) paintBand(game, tower, picture, first, bands[k]);
    keepTowerPicture(game, tower, first);
  }
  drawImage(game, nullptr, dx - PICTURE_LEFT, dy - offset - PICTURE_TOP, picture, DrawCopy);
  return true;
}

}  // namespace

uint32_t tileColour(int32_t column, int32_t row) {
  uint32_t green = static_cast<uint32_t>(246 - 24 * std::abs(column - 10));
  uint32_t blue = static_cast<uint32_t>(50 * std::abs(row % 8 - 4));
  return 0xFF000000u | 0xFF0000u | (green << 8) | blue;
}

void drawTower(Game& game, Tower& tower, int32_t scroll, bool shake) {
  int32_t dx = 0;
  int32_t dy = 0;
  if (shake) {
    dx = 2 * randomBelow(game, 3) - 2;
    dy = randomBelow(game, 3) - 1;
  }
  int32_t first = scroll / 32;
  if (first < 0) first = 0;
  if (first > LAST_FIRST_ROW) first = LAST_FIRST_ROW;
  if (drawFromPicture(game, tower, first, scroll, dx, dy)) return;
  drawLine(game, nullptr, 0, 0, 319, 239, BACKGROUND, LineFilledBox);
  drawRows(game, tower, first, first + ROWS_IN_VIEW, scroll, dx, dy);
}

}  // namespace stage_two
