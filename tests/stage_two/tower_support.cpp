#include "tower_support.h"

#include <sstream>

#include "platform/platform.h"
#include "stage_two/hero.h"
#include "stage_two/tower_map.h"
#include "support/session.h"

void fillTower(uint16_t value) {
  for (int32_t r = 0; r < TOWER_ROWS; ++r)
    for (int32_t c = 0; c < TOWER_COLUMNS; ++c) towerMap.cells[r][c] = value;
}

void solidFloor(int32_t row, const std::vector<int32_t>& posts) {
  for (int32_t c = 0; c < TOWER_COLUMNS; ++c) towerMap.cells[row][c] = CellFloor;
  for (int32_t c : posts) towerMap.cells[row][c] = CellWall | CellFloor;
}

StageTwoPlay standingOn(int32_t x, int32_t floorRow) {
  StageTwoPlay play;
  play.hero.x = x;
  play.hero.y = 32 * floorRow - 12;
  play.hero.state = HeroWalking;
  play.hero.column = x / 16;
  play.hero.m = x % 16;
  play.hero.storeyRow = floorRow - 1;
  play.hero.footstepPhase = (x + 32) / 8 % 2;
  play.scroll = play.hero.y - HERO_SCREEN_Y;
  return play;
}

Walker walkerOn(int32_t x, int32_t floorRow, int32_t dx) {
  Walker walker;
  walker.active = true;
  walker.state = WalkerWalking;
  walker.x = x;
  walker.y = 32 * floorRow - 14;
  walker.column = x / 16;
  walker.row = floorRow - 1;
  walker.xOffset = x % 16;
  walker.dx = dx;
  return walker;
}

void heroFrame(StageTwoPlay& play) {
  heroStompInput(play.hero);
  updateHero(play);
  heroFootsteps(play.hero);
  heroDamage(play.hero);
}

int countColour(uint32_t colour, int x1, int y1, int x2, int y2) {
  int count = 0;
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x)
      if ((readPixel(x, y) & 0xFFFFFFu) == colour) ++count;
  return count;
}

std::vector<std::string> soundsLogged(const std::string& path) {
  std::vector<std::string> sounds;
  std::istringstream in(readFileText(path));
  long long frame = 0, ms = 0;
  int sample = 0, channel = 0, volume = 0;
  while (in >> frame >> ms >> sample >> channel >> volume)
    sounds.push_back(std::to_string(sample) + " " + std::to_string(channel) + " " + std::to_string(volume));
  return sounds;
}
