// What the app tells a window back end (the SDL window, the browser page):
// the player's settings and the few things only the game can provide.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/keys.h"

namespace backend {

// A short text in the game's own lettering (PAUSED, the volume) for a back
// end to show over the game: 0x00RRGGBB pixels, the mask colour where the
// picture behind shows through.
struct OverlayPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};
using OverlayPainter = std::function<OverlayPicture(const std::string& text)>;

struct WindowConfig {
  int scale = 3;  // the window's size in multiples of 320x240 (fitted to the display)
  bool vsync = false;
  bool pauseOnFocusLoss = false;
  // The player's key bindings: own key -> the game's key it stands for.
  std::array<int, SCAN_CODE_COUNT> keyBinding = [] {
    std::array<int, SCAN_CODE_COUNT> identity{};
    for (int code = 0; code < SCAN_CODE_COUNT; ++code) identity[code] = code;
    return identity;
  }();
  int volume = 100;  // master volume, 0 .. 100
  bool muted = false;
  // Where F12 saves, asked at each screenshot ("" = nowhere).
  std::function<std::string()> screenshotFolder;
  // Saves one setting the player changed in the window (volume, mute).
  std::function<void(const std::string& key, const std::string& value)> saveSetting;
  OverlayPainter paintText;
  // The desktop is ending the session now (log-off, shutdown on Windows):
  // what must be kept is saved at once, for the process may be gone the
  // moment the window has answered.
  std::function<void()> sessionEnding;
  // The desktop's name for the program, the same as its desktop entry's.
  std::string appId = "org.quarvel.Quarvel";
  // The window's icon: 0xAARRGGBB, iconSize x iconSize.
  std::vector<uint32_t> icon;
  int iconSize = 0;
};

}  // namespace backend
