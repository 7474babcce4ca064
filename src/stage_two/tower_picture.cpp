// The kept picture of the tower rows in view and what it was painted from.
#include <cstring>

#include "gfx/sprites.h"
#include "stage_two/stage_two_internal.h"

namespace stage_two {

TowerPicture towerPicture;

namespace {

// The shapes the tower's cells are drawn with (tower_draw.cpp): the lodged
// block, the two desks, the crack, and the digits of the floor numbers,
// which are the sheet cells of codes 48..57 on sheet rows 24..31.
constexpr int SHAPE_IDS[] = {SprAlienAFlipped, SprDeskSmall, SprDeskTall, SprBomb1};
constexpr int DIGIT_ROWS_FROM = 24;
constexpr int DIGIT_ROWS_TO = 31;

bool shapesPresent() {
  for (int id : SHAPE_IDS)
    if (sprite(id) == nullptr) return false;
  return spriteTable.sheet != nullptr;
}

// Calls visit(row, count) for every pixel row of the shapes, in one order.
template <class Visit>
void forEachShapeRow(Visit visit) {
  for (int id : SHAPE_IDS) {
    Image* image = sprite(id);
    for (int y = 0; y < image->height; ++y) visit(imageRow(image, y), image->width);
  }
  Image* sheet = spriteTable.sheet;
  for (int y = DIGIT_ROWS_FROM; y <= DIGIT_ROWS_TO && y < sheet->height; ++y) visit(imageRow(sheet, y), sheet->width);
}

bool sameShapes(const std::vector<uint32_t>& kept) {
  size_t at = 0;
  bool same = true;
  forEachShapeRow([&](const uint32_t* row, int count) {
    size_t n = static_cast<size_t>(count);
    if (!same || at + n > kept.size() || std::memcmp(&kept[at], row, n * sizeof(uint32_t)) != 0) same = false;
    at += n;
  });
  return same && at == kept.size();
}

}  // namespace

Image* towerPictureImage() {
  if (!towerPicture.enabled || !shapesPresent()) return nullptr;
  if (towerPicture.picture == nullptr) towerPicture.picture = createImage(PICTURE_WIDTH, PICTURE_HEIGHT);
  return towerPicture.picture;
}

bool towerPictureCurrent(int32_t first) {
  if (towerPicture.first != first || first < 0 || first + PICTURE_ROWS > TOWER_ROWS) return false;
  if (std::memcmp(towerPicture.cells, towerMap.cells[first], sizeof towerPicture.cells) != 0) return false;
  return sameShapes(towerPicture.shapes);
}

void keepTowerPicture(int32_t first) {
  towerPicture.first = -1;
  if (first < 0 || first + PICTURE_ROWS > TOWER_ROWS) return;
  std::memcpy(towerPicture.cells, towerMap.cells[first], sizeof towerPicture.cells);
  towerPicture.shapes.clear();
  forEachShapeRow(
      [](const uint32_t* row, int count) { towerPicture.shapes.insert(towerPicture.shapes.end(), row, row + count); });
  towerPicture.first = first;
}

}  // namespace stage_two
