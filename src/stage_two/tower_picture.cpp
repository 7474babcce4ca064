// The kept picture of the tower rows in view and what it was painted from.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "game/game.h"
#include "gfx/sprites.h"
#include "stage_two/stage_two_internal.h"

namespace stage_two {

namespace {

// The shapes the tower's cells are drawn with (tower_draw.cpp): the lodged
// block, the two desks, the crack, and the digits of the floor numbers,
// which are the sheet cells of codes 48..57 on sheet rows 24..31.
constexpr int SHAPE_IDS[] = {SprAlienAFlipped, SprDeskSmall, SprDeskTall, SprBomb1};
constexpr int DIGIT_ROWS_FROM = 24;
constexpr int DIGIT_ROWS_TO = 31;

bool shapesPresent(Game& game) {
  for (int id : SHAPE_IDS)
    if (sprite(game, id) == nullptr) return false;
  return game.spriteTable.sheet != nullptr;
}

// Calls visit(row, count) for every pixel row of the shapes, in one order.
template <class Visit>
void forEachShapeRow(Game& game, Visit visit) {
  for (int id : SHAPE_IDS) {
    const Image* image = sprite(game, id);
    for (int y = 0; y < image->height; ++y) visit(imageRow(image, y), image->width);
  }
  const Image* sheet = game.spriteTable.sheet.get();
  for (int y = DIGIT_ROWS_FROM; y <= DIGIT_ROWS_TO && y < sheet->height; ++y) visit(imageRow(sheet, y), sheet->width);
}

bool sameShapes(Game& game, const std::vector<uint32_t>& kept) {
  size_t at = 0;
  bool same = true;
  forEachShapeRow(game, [&](const uint32_t* row, int count) {
    size_t n = static_cast<size_t>(count);
    if (!same || at + n > kept.size() || std::memcmp(&kept[at], row, n * sizeof(uint32_t)) != 0) same = false;
    at += n;
  });
  return same && at == kept.size();
}

}  // namespace

Image* towerPictureImage(Game& game, Tower& tower) {
  if (!tower.picture.enabled || !shapesPresent(game)) return nullptr;
  if (tower.picture.picture == nullptr) tower.picture.picture = createImage(PICTURE_WIDTH, PICTURE_HEIGHT);
  return tower.picture.picture.get();
}

bool towerPictureCurrent(Game& game, Tower& tower, int32_t first) {
  if (tower.picture.first != first || first < 0 || first + PICTURE_ROWS > TOWER_ROWS) return false;
  if (std::memcmp(tower.picture.cells, tower.map.cells[first], sizeof tower.picture.cells) != 0) return false;
  return sameShapes(game, tower.picture.shapes);
}

namespace {

int32_t rowTop(int32_t i) { return 32 * i + PICTURE_TOP; }

// Adds picture rows top .. bottom - 1, cut to the picture, to the sorted
// list, joining it with the bands it touches.
void addBand(PictureBand bands[], int32_t& count, int32_t top, int32_t bottom) {
  top = std::max(top, 0);
  bottom = std::min(bottom, PICTURE_HEIGHT);
  if (top >= bottom) return;
  int32_t at = 0;
  while (at < count && bands[at].bottom < top) ++at;
  int32_t end = at;
  while (end < count && bands[end].top <= bottom) {
    top = std::min(top, bands[end].top);
    bottom = std::max(bottom, bands[end].bottom);
    ++end;
  }
  // bands[at .. end) are replaced by the one joined band.
  int32_t removed = end - at;
  if (removed == 0) {
    for (int32_t k = count; k > at; --k) bands[k] = bands[k - 1];
    ++count;
  } else {
    for (int32_t k = end; k < count; ++k) bands[k - removed + 1] = bands[k];
    count -= removed - 1;
  }
  bands[at] = PictureBand{top, bottom};
}

// Moves the picture's pixel rows down by `by` (up when negative).
void moveRows(Image* picture, int32_t by) {
  uint8_t* pixels = imagePixels(picture);
  const size_t pitch = static_cast<size_t>(picture->pitch);
  const size_t kept = static_cast<size_t>(PICTURE_HEIGHT - std::abs(by)) * pitch;
  if (by > 0)
    std::memmove(pixels + static_cast<size_t>(by) * pitch, pixels, kept);
  else
    std::memmove(pixels, pixels + static_cast<size_t>(-by) * pitch, kept);
}

}  // namespace

int32_t moveTowerPicture(Game& game, Tower& tower, int32_t first, PictureBand bands[MAX_PICTURE_BANDS]) {
  const int32_t kept = tower.picture.first;
  const int32_t rows = first - kept;  // how far the view moved down the tower
  int32_t count = 0;
  if (kept < 0 || first < 0 || first + PICTURE_ROWS > TOWER_ROWS || std::abs(rows) >= PICTURE_ROWS / 2 ||
      tower.picture.picture == nullptr || !sameShapes(game, tower.picture.shapes)) {
    addBand(bands, count, 0, PICTURE_HEIGHT);
    return count;
  }
  if (rows != 0) moveRows(tower.picture.picture.get(), -32 * rows);
  if (rows > 0) {
    // Rows gone off the top drew as far down as the first kept row's reach;
    // at the bottom, picture rows come into view that were never painted.
    addBand(bands, count, 0, rowTop(-1) + ROW_REACH_DOWN);
    addBand(bands, count, PICTURE_HEIGHT - 32 * rows, PICTURE_HEIGHT);
  } else if (rows < 0) {
    // New rows at the top; the rows gone off the bottom lie below the picture.
    addBand(bands, count, 0, rowTop(-rows - 1) + ROW_REACH_DOWN);
  }
  // Kept rows whose cells changed since.
  for (int32_t i = 0; i < PICTURE_ROWS; ++i) {
    int32_t k = i + rows;
    if (k < 0 || k >= PICTURE_ROWS) continue;
    if (std::memcmp(tower.picture.cells[k], tower.map.cells[first + i], sizeof tower.picture.cells[k]) != 0)
      addBand(bands, count, rowTop(i) - ROW_REACH_UP, rowTop(i) + ROW_REACH_DOWN);
  }
  return count;
}

void keepTowerPicture(Game& game, Tower& tower, int32_t first) {
  tower.picture.first = -1;
  if (first < 0 || first + PICTURE_ROWS > TOWER_ROWS) return;
  std::memcpy(tower.picture.cells, tower.map.cells[first], sizeof tower.picture.cells);
  tower.picture.shapes.clear();
  forEachShapeRow(game, [&tower](const uint32_t* row, int count) {
    tower.picture.shapes.insert(tower.picture.shapes.end(), row, row + count);
  });
  tower.picture.first = first;
}

}  // namespace stage_two
