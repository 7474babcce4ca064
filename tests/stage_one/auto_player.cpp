#include "auto_player.h"

#include <algorithm>
#include <cstdlib>

#include "platform/harness.h"
#include "platform/platform.h"
#include "stage_one_support.h"

namespace {

bool alienColour(unsigned rgb) { return rgb == 0xC00000u || rgb == 0xFF7F00u || rgb == 0x00C000u; }

// Closest bomb pixel column to x among the rows where a bomb is a danger.
int nearestBomb(int x) {
  int best = 1000;
  for (int y = 110; y < 200; y += 4)
    for (int bx = std::max(0, x - 40); bx <= std::min(319, x + 40); ++bx)
      if (rgbAt(bx, y) == 0xC0C0C0u && std::abs(bx - x) < std::abs(best - x)) best = bx;
  return best;
}

}  // namespace

void AutoPlayer::look() {
  // The ship's bar crosses its centre line.
  int sum = 0, count = 0;
  for (int x = 0; x < 320; ++x)
    if (rgbAt(x, 206) == 0xFFFF00u) {
      sum += x;
      ++count;
    }
  if (count > 0) shipX = sum / count;

  aliens.clear();
  for (int y = 14; y < 200; y += 4) {
    int x = 0;
    while (x < 320) {
      if (!alienColour(rgbAt(x, y))) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < 320 && alienColour(rgbAt(x, y))) ++x;
      const int centre = (start + x - 1) / 2;
      bool known = false;
      for (SeenAlien& alien : aliens)
        if (std::abs(alien.x - centre) <= 3 && y - alien.bottom <= 4) {
          alien.bottom = y;
          known = true;
        }
      if (!known) aliens.push_back(SeenAlien{centre, y, y});
    }
  }
  int leftmost = 1000;
  for (const SeenAlien& alien : aliens) leftmost = std::min(leftmost, alien.x);
  if (aliens.size() == previousCount && previousLeftmost >= 0) {
    const int moved = leftmost - previousLeftmost;
    if (moved != 0 && std::abs(moved) <= 12) drift = moved;
  }
  previousLeftmost = leftmost;
  previousCount = aliens.size();
}

void AutoPlayer::releaseAll() {
  releaseKey(SC_LEFT);
  releaseKey(SC_RIGHT);
  releaseKey(SC_SPACE);
  spaceDown = false;
}

void AutoPlayer::play() {
  look();
  releaseKey(SC_LEFT);
  releaseKey(SC_RIGHT);
  if (spaceDown) {
    releaseKey(SC_SPACE);
    spaceDown = false;
  }
  const int bomb = nearestBomb(shipX);
  if (std::abs(bomb - shipX) < 28) {
    const bool goLeft = (bomb > shipX && shipX > 50) || shipX > 270;
    pressKey(goLeft ? SC_LEFT : SC_RIGHT, "");
    return;
  }
  if (aliens.empty()) return;
  // The lowest aliens first: they are the ones that could reach the bottom.
  int lowest = 0;
  for (const SeenAlien& alien : aliens) lowest = std::max(lowest, alien.bottom);
  int target = -1;
  for (const SeenAlien& alien : aliens) {
    if (alien.bottom < lowest - 8) continue;
    const int centreY = (alien.top + alien.bottom) / 2;
    const int flight = (196 - centreY) / 6;
    int aim = alien.x + drift * flight;
    if (aim > 300) aim = 300;
    if (aim < 20) aim = 20;
    if (target < 0 || std::abs(aim - shipX) < std::abs(target - shipX)) target = aim;
  }
  if (target > shipX + 3) pressKey(SC_RIGHT, "");
  if (target < shipX - 3) pressKey(SC_LEFT, "");
  if (std::abs(target - shipX) <= 8) {
    pressKey(SC_SPACE, " ");
    spaceDown = true;
  }
}
