// What the app tells a window back end (the SDL window, the browser page)
// when it makes one: the player's display settings and the window's looks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace backend {

struct WindowConfig {
  int scale = 3;  // the window's size in multiples of 320x240 (fitted to the display)
  bool vsync = false;
  int volume = 100;  // master volume, 0 .. 100, until the app says otherwise
  bool muted = false;
  // The desktop's name for the program, the same as its desktop entry's.
  std::string appId = "org.quarvel.Quarvel";
  // The window's icon: 0xAARRGGBB, iconSize x iconSize.
  std::vector<uint32_t> icon;
  int iconSize = 0;
};

}  // namespace backend
