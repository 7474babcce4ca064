// What only a player at the window has: F12 screenshots, pause, mute and
// the master volume. None of it reaches the game or a recording: the keys
// are taken before the game sees them, and a pause holds the game inside one
// wait, with its clock stopped.
#include <SDL.h>

#include <ctime>
#include <filesystem>

#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/platform_state.h"
#include "platform/png.h"
#include "platform/sdl_backend.h"
#include "platform/settings.h"

namespace {

// "PAUSED" in 5x7 letters, one row a byte, bit 4 the left column.
constexpr uint8_t PAUSED_GLYPHS[6][7] = {
    {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},  // P
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // A
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // U
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E},  // S
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},  // E
    {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E},  // D
};
constexpr int LETTER_SCALE = 3, LETTER_STEP = 7 * LETTER_SCALE;

void fillCell(uint32_t* page, int x, int y, uint32_t colour) {
  for (int v = 0; v < LETTER_SCALE; ++v)
    for (int u = 0; u < LETTER_SCALE; ++u) {
      int px = x + u, py = y + v;
      if (px >= 0 && py >= 0 && px < SCREEN_WIDTH && py < SCREEN_HEIGHT) page[py * SCREEN_WIDTH + px] = colour;
    }
}

}  // namespace

void drawPausedPicture(const uint32_t* page, uint32_t* out) {
  for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) out[i] = (page[i] >> 1) & 0x7F7F7F;  // dimmed
  const int width = 6 * LETTER_STEP - 2 * LETTER_SCALE;
  const int left = (SCREEN_WIDTH - width) / 2, top = (SCREEN_HEIGHT - 7 * LETTER_SCALE) / 2;
  for (int pass = 0; pass < 2; ++pass)  // a black shadow, then the white letters
    for (int letter = 0; letter < 6; ++letter)
      for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 5; ++column) {
          if ((PAUSED_GLYPHS[letter][row] >> (4 - column) & 1) == 0) continue;
          int x = left + letter * LETTER_STEP + column * LETTER_SCALE + (pass == 0 ? 2 : 0);
          int y = top + row * LETTER_SCALE + (pass == 0 ? 2 : 0);
          fillCell(out, x, y, pass == 0 ? 0x000000 : 0xFFFFFF);
        }
}

std::string screenshotName(const std::string& folder, std::time_t when, int attempt) {
  char stamp[32];
  std::tm local = {};
  localtime_r(&when, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string name = folder + "/quarvel-" + stamp;
  if (attempt > 1) {
    name += '-';
    name += std::to_string(attempt);
  }
  return name + ".png";
}

std::string SdlBackend::takeScreenshot() {
  PlatformState& p = platform();
  std::string folder = userPicturesFolder();
  if (folder.empty()) folder = userDataFolder();
  if (folder.empty() || !makeFolders(folder)) {
    std::fprintf(stderr, "quarvel: no folder for screenshots (set HOME)\n");
    return "";
  }
  std::time_t now = std::time(nullptr);
  std::string path;
  std::error_code error;
  for (int attempt = 1; path.empty() || std::filesystem::exists(path, error); ++attempt)
    path = screenshotName(folder, now, attempt);
  int factor = pictureFactor();
  if (!writePng(path, encodePng(p.pages[p.visiblePage], SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_WIDTH, false, factor))) {
    std::fprintf(stderr, "quarvel: cannot write the screenshot %s\n", path.c_str());
    return "";
  }
  std::printf("quarvel: screenshot %s\n", path.c_str());
  std::fflush(stdout);
  return path;
}

void SdlBackend::changeVolume(int step) {
  Settings& settings = platform().options.settings;
  settings.volume = std::clamp(settings.volume + step, 0, 100);
  muted_ = false;
  applyVolume();
  const std::string& file = platform().options.settingsFile;
  if (!file.empty() && !saveSetting(file, "volume", std::to_string(settings.volume)))
    std::fprintf(stderr, "quarvel: cannot save the volume to %s\n", file.c_str());
}

void SdlBackend::setPaused(bool paused, bool byFocus) {
  PlatformState& p = platform();
  if (paused == p.paused) return;
  p.paused = paused;
  pausedByFocus_ = paused && byFocus;
  if (paused) {
    std::vector<uint32_t> picture(SCREEN_WIDTH * SCREEN_HEIGHT);
    drawPausedPicture(p.pages[p.visiblePage], picture.data());
    showPage(picture.data(), true);
  } else {
    showVisiblePage(true);
  }
}

// The player's own keys; true when the key was one of them.
bool SdlBackend::extraKey(const SDL_KeyboardEvent& key) {
  SDL_Keycode sym = key.keysym.sym;
  int own = gameKeyOf(key);
  if (own >= 0 && keyBinding_[own] != own) return false;  // bound to an action: the game's
  bool down = key.type == SDL_KEYDOWN;
  switch (sym) {
    case SDLK_F12:
      if (down && !key.repeat) takeScreenshot();
      return true;
    case SDLK_p:
    case SDLK_PAUSE:
      if (down && !key.repeat) setPaused(!platform().paused, false);
      return true;
    case SDLK_m:
      if (down && !key.repeat) {
        muted_ = !muted_;
        applyVolume();
      }
      return true;
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
      if (down) changeVolume(-10);
      return true;
    case SDLK_EQUALS:
    case SDLK_PLUS:
    case SDLK_KP_PLUS:
      if (down) changeVolume(10);
      return true;
    default: return false;
  }
}

// The game waits here, its clock stopped, until the pause ends (or a quit signal comes).
void SdlBackend::holdWhilePaused() {
  PlatformState& p = platform();
  while (p.paused && !quitRequested()) {
    pumpEvents();
    SDL_Delay(10);
  }
}
