// What only a player at the window has: F12 screenshots, pause, mute and the
// master volume, each shown in the game's own lettering. None of it reaches
// the game or a recording: the keys are taken before the game sees them,
// and a pause holds the game inside one wait, with its clock stopped.
#include <SDL.h>

#include <algorithm>
#include <filesystem>

#include "backends/overlay.h"
#include "backends/sdl_window.h"
#include "base/messages.h"
#include "formats/png.h"
#include "os/files.h"
#include "os/local_time.h"
#include "os/quit_signal.h"

namespace backend {

namespace {

constexpr uint64_t OVERLAY_MS = 1000;  // how long the volume or MUTED stays up
constexpr int VOLUME_STEP = 10;
constexpr Uint32 PAUSED_WAKE_MS = 100;  // a paused game looks at its events this often

std::string screenshotName(const std::string& folder, const std::string& stamp, int attempt) {
  std::string name = folder + "/quarvel-" + stamp;
  if (attempt > 1) {
    name += '-';
    name += std::to_string(attempt);
  }
  return name + ".png";
}

}  // namespace

std::string SdlWindow::takeScreenshot() {
  const std::string folder = config_.screenshotFolder ? config_.screenshotFolder() : "";
  if (folder.empty() || !os::makeFolders(folder)) {
    warn("no folder for screenshots (set HOME)");
    return "";
  }
  const std::string stamp = os::localTimeStamp();
  std::string path;
  std::error_code error;
  for (int attempt = 1; path.empty() || std::filesystem::exists(os::pathFromUtf8(path), error); ++attempt)
    path = screenshotName(folder, stamp, attempt);
  std::string png =
      encodePng(page_.data(), SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_WIDTH, PngAlpha::Dropped, pictureFactor());
  Outcome written = png.empty() ? Outcome::failure("cannot encode the picture") : os::replaceFile(path, png);
  if (!written.ok()) {
    warn("cannot write the screenshot " + path + ": " + written.why());
    return "";
  }
  std::printf("%s: screenshot %s\n", programName().c_str(), path.c_str());
  std::fflush(stdout);
  return path;
}

bool SdlWindow::showOverlay(const std::string& text) {
  if (!config_.paintText) return false;
  overlay_ = config_.paintText(text);
  if (overlay_.pixels.empty()) return false;
  overlayUntil_ = SDL_GetTicks64() + OVERLAY_MS;
  present();
  return true;
}

void SdlWindow::expireOverlay() {
  if (overlayUntil_ == 0 || SDL_GetTicks64() < overlayUntil_) return;
  overlay_ = OverlayPicture{};
  overlayUntil_ = 0;
  present();
}

void SdlWindow::changeVolume(int step) {
  const bool wasMuted = config_.muted;
  config_.volume = std::clamp(config_.volume + step, 0, 100);
  config_.muted = false;
  applyVolume();
  showOverlay("VOLUME " + std::to_string(config_.volume));
  if (config_.saveSetting) {
    config_.saveSetting("volume", std::to_string(config_.volume));
    if (wasMuted) config_.saveSetting("mute", "no");
  }
}

void SdlWindow::toggleMute() {
  config_.muted = !config_.muted;
  applyVolume();
  showOverlay(config_.muted ? "MUTED" : "VOLUME " + std::to_string(config_.volume));
  if (config_.saveSetting) config_.saveSetting("mute", config_.muted ? "yes" : "no");
}

void SdlWindow::setPaused(bool paused, bool byFocus) {
  if (paused == paused_) return;
  if (paused && pausedText_.pixels.empty() && config_.paintText) pausedText_ = config_.paintText("PAUSED");
  paused_ = paused;
  pausedByFocus_ = paused && byFocus;
  present();
}

// The player's own keys; true when the key was one of them.
bool SdlWindow::extraKey(const SDL_KeyboardEvent& key) {
  SDL_Keycode sym = key.keysym.sym;
  int own = gameKeyOf(key);
  if (own >= 0 && config_.keyBinding[own] != own) return false;  // bound to an action: the game's
  bool down = key.type == SDL_KEYDOWN;
  switch (sym) {
    case SDLK_F12:
      if (down && !key.repeat) takeScreenshot();
      return true;
    case SDLK_p:
    case SDLK_PAUSE:
      if (down && !key.repeat) setPaused(!paused_, false);
      return true;
    case SDLK_m:
      if (down && !key.repeat) toggleMute();
      return true;
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
      if (down) changeVolume(-VOLUME_STEP);
      return true;
    case SDLK_EQUALS:
    case SDLK_PLUS:
    case SDLK_KP_PLUS:
      if (down) changeVolume(VOLUME_STEP);
      return true;
    default: return false;
  }
}

// The game waits here, its clock stopped, until the pause ends (or a quit
// comes). It sleeps until an event or a tenth of a second has passed, so a
// paused game costs next to nothing.
void SdlWindow::holdWhilePaused() {
  while (paused_ && !os::quitRequested()) {
    SDL_WaitEventTimeout(nullptr, static_cast<int>(PAUSED_WAKE_MS));
    pumpEvents();
    expireOverlay();
  }
}

}  // namespace backend
