// A simple automated player for the formation stage. It looks only at the
// presented frame (with the bar sprites of useBarSprites), steers the ship
// under the lowest aliens, leads its shots by the formation's drift, and
// dodges bombs that fall close to the ship.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SeenAlien {
  int x = 0;
  int top = 0;
  int bottom = 0;
};

struct AutoPlayer {
  int shipX = 100;
  std::vector<SeenAlien> aliens;
  int previousLeftmost = -1;
  size_t previousCount = 0;
  int drift = 1;  // pixels per frame, signed
  bool spaceDown = false;

  // Reads the frame just presented and sets the keys for the next one.
  void play();
  void look();
  void releaseAll();
};
