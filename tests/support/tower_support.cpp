#include "support/tower_support.h"

#include <sstream>

#include "machine/machine.h"
#include "stage_two/stage_two_internal.h"
#include "support/session.h"

void fillTower(Tower& tower, uint16_t value) {
  for (int32_t r = 0; r < TOWER_ROWS; ++r)
    for (int32_t c = 0; c < TOWER_COLUMNS; ++c) tower.map.cells[r][c] = value;
}

void solidFloor(Tower& tower, int32_t row, const std::vector<int32_t>& posts) {
  for (int32_t c = 0; c < TOWER_COLUMNS; ++c) tower.map.cells[row][c] = CellFloor;
  for (int32_t c : posts) tower.map.cells[row][c] = CellWall | CellFloor;
}

StageTwoRecord standingOn(int32_t x, int32_t floorRow) {
  StageTwoRecord stage;
  stage.hero.x = x;
  stage.hero.y = 32 * floorRow - 12;
  stage.hero.state = HeroState::Walking;
  stage.hero.column = x / 16;
  stage.hero.m = x % 16;
  stage.hero.storeyRow = floorRow - 1;
  stage.hero.footstepPhase = (x + 32) / 8 % 2;
  stage.scroll = stage.hero.y - HERO_SCREEN_Y;
  return stage;
}

Walker walkerOn(int32_t x, int32_t floorRow, int32_t dx) {
  Walker walker;
  walker.active = true;
  walker.state = WalkerState::Walking;
  walker.x = x;
  walker.y = 32 * floorRow - 14;
  walker.column = x / 16;
  walker.row = floorRow - 1;
  walker.xOffset = x % 16;
  walker.dx = dx;
  return walker;
}

void heroFrame(Game& game, Tower& tower, StageTwoRecord& stage) {
  heroStompInput(game, stage.hero);
  updateHero(game, tower, stage);
  heroFootsteps(game, stage.hero);
  heroDamage(game, stage.hero);
}

int countColour(Machine& machine, uint32_t colour, int x1, int y1, int x2, int y2) {
  int count = 0;
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x)
      if ((readPixel(machine, x, y) & 0xFFFFFFu) == colour) ++count;
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
