// The SDL window back end: a 320x240 page shown crisp at whole-number scales,
// the keyboard in PC set-1 scan codes, real sleeps paced from the start of
// each frame's present.
#include "backends/sdl_window.h"

#include <SDL.h>
#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "backends/overlay.h"
#include "backends/sdl_keys.h"
#include "backends/sdl_session.h"
#include "base/messages.h"
#include "formats/key_names.h"
#include "os/files.h"
#include "os/quit_signal.h"

namespace backend {

struct SdlWindowState {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  bool left = false;  // after the shutdown's switch to 640x480
};

namespace {

constexpr int PAGE_PITCH = SCREEN_WIDTH * 4;
constexpr int SHUTDOWN_WIDTH = 640, SHUTDOWN_HEIGHT = 480;
constexpr int IDLE_WAIT_MS = 20;  // at most, between two looks at a still title or question

// A window the player can see: SDL's drivers in SDL's order, but never the
// off-screen or dummy ones, unless SDL_VIDEODRIVER asks for one on purpose.
bool openRealVideo() {
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (asked != nullptr && *asked != '\0') return SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
  // The display libraries complain on stderr about every display they miss.
  os::QuietStderr quiet;
  bool opened = false;
  for (int i = 0; i < SDL_GetNumVideoDrivers() && !opened; ++i) {
    std::string name = SDL_GetVideoDriver(i);
    if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, name.c_str());
    opened = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
  }
  if (!opened) SDL_SetError("no display found");
  return opened;
}

#if defined(__SANITIZE_ADDRESS__)
// Sanitized builds: the display drivers SDL loaded stay loaded, so that leak
// reports from inside them still name their module and tests/lsan.supp can
// match it (an unloaded module shows up as an unknown address).
int keepLoaded(struct dl_phdr_info* info, size_t, void*) {
  if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
    dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}
void keepDriversLoaded() { dl_iterate_phdr(keepLoaded, nullptr); }
#else
void keepDriversLoaded() {}
#endif

// The largest whole-number scale at which the window fits the display's
// usable area (without panels and docks), at least 1.
int fittedScale(int wanted) {
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return wanted;
  int fits = std::min(usable.w / SCREEN_WIDTH, usable.h / SCREEN_HEIGHT);
  return std::clamp(wanted, 1, std::max(fits, 1));
}

void setIcon(SDL_Window* window, const WindowConfig& config) {
  if (config.icon.empty() || config.iconSize <= 0) return;
  SDL_Surface* icon =
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(config.icon.data()), config.iconSize, config.iconSize,
                                         32, config.iconSize * 4, SDL_PIXELFORMAT_ARGB8888);
  if (icon == nullptr) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

}  // namespace

SdlWindow::SdlWindow(WindowConfig config) : config_(std::move(config)) {
  // Ctrl+C and SIGTERM belong to the game's own quit path, not to SDL.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The desktop ties the window to its launcher by this name (WM_CLASS on
  // X11, the app id on Wayland).
  SDL_SetHint(SDL_HINT_APP_NAME, config_.appId.c_str());
  SDL_setenv("SDL_VIDEO_X11_WMCLASS", config_.appId.c_str(), 1);
  SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", config_.appId.c_str(), 1);
  // The game has its own main(), not SDL's (which Windows would need).
  SDL_SetMainReady();
  page_.assign(SCREEN_WIDTH * SCREEN_HEIGHT, 0);
}

SdlWindow::~SdlWindow() {
  closeDisplay();
  closeAudio();  // a mixer left open by a half-failed start-up
}

int SdlWindow::boundKey(int scanCode) const {
  return scanCode >= 0 && scanCode < SCAN_CODE_COUNT ? config_.keyBinding[scanCode] : scanCode;
}

Outcome SdlWindow::openDisplay(ScreenMode mode) {
  if (window_ != nullptr) return {};
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  if (!openRealVideo()) return Outcome::failure(std::string("cannot open a window: ") + SDL_GetError());
  window_ = new SdlWindowState;
  Uint32 flags = SDL_WINDOW_RESIZABLE | (mode == ScreenMode::FullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  const int scale = fittedScale(config_.scale);
  window_->window = SDL_CreateWindow("Quarvel", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, SCREEN_WIDTH * scale,
                                     SCREEN_HEIGHT * scale, flags);
  // Without vsync a frame lasts its sleep plus its drawing: presenting never
  // waits for the display (Ctrl in stage three runs as fast as it draws).
  if (window_->window != nullptr)
    window_->renderer = SDL_CreateRenderer(window_->window, -1,
                                           SDL_RENDERER_ACCELERATED | (config_.vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
  if (window_->renderer == nullptr && window_->window != nullptr)
    window_->renderer = SDL_CreateRenderer(window_->window, -1, SDL_RENDERER_SOFTWARE);
  if (window_->renderer != nullptr)
    window_->texture = SDL_CreateTexture(window_->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                         SCREEN_WIDTH, SCREEN_HEIGHT);
  if (window_->texture == nullptr) {
    Outcome failed = Outcome::failure(std::string("cannot open a window: ") + SDL_GetError());
    closeDisplay();
    return failed;
  }
  keepDriversLoaded();
  watchSessionEnd(window_->window, config_);
  setIcon(window_->window, config_);
  SDL_SetTextureBlendMode(window_->texture, SDL_BLENDMODE_NONE);
  // Controllers are optional: without the subsystem the keyboard still plays.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
    warn(std::string("warning: no game controllers: ") + SDL_GetError());
  // Crisp pixels: whole-number scales, letterboxed.
  SDL_RenderSetLogicalSize(window_->renderer, SCREEN_WIDTH, SCREEN_HEIGHT);
  SDL_RenderSetIntegerScale(window_->renderer, SDL_TRUE);
  // A player who left the game silent is told so when it starts.
  if (config_.muted) startOverlay_ = "MUTED";
  if (!config_.muted && config_.volume == 0) startOverlay_ = "VOLUME 0";
  return {};
}

void SdlWindow::leaveFullScreen() {
  if (window_ == nullptr) return;
  window_->left = true;
  SDL_SetWindowFullscreen(window_->window, 0);
  SDL_SetWindowSize(window_->window, SHUTDOWN_WIDTH, SHUTDOWN_HEIGHT);
  SDL_RenderSetLogicalSize(window_->renderer, SHUTDOWN_WIDTH, SHUTDOWN_HEIGHT);
  SDL_SetRenderDrawColor(window_->renderer, 0, 0, 0, 255);
  SDL_RenderClear(window_->renderer);
  SDL_RenderPresent(window_->renderer);
}

void SdlWindow::closeDisplay() {
  if (window_ == nullptr) return;
  closeControllers();
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  if (window_->texture) SDL_DestroyTexture(window_->texture);
  if (window_->renderer) SDL_DestroyRenderer(window_->renderer);
  if (window_->window) SDL_DestroyWindow(window_->window);
  delete window_;
  window_ = nullptr;
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

void SdlWindow::hideMousePointer() { SDL_ShowCursor(SDL_DISABLE); }

void SdlWindow::windowSize(int& width, int& height) const {
  width = height = 0;
  if (window_ != nullptr) SDL_GetWindowSize(window_->window, &width, &height);
}

// The machine shows the page only when it changed: every frame, and a title
// or question drawn straight onto the shown page once.
void SdlWindow::showPage(const uint32_t* pixels, bool presented) {
  if (presented) pacer_.presenting(static_cast<double>(SDL_GetTicks64()));
  std::memcpy(page_.data(), pixels, page_.size() * sizeof(uint32_t));
  if (!startOverlay_.empty() && showOverlay(startOverlay_)) {  // the overlay presents the page too
    startOverlay_.clear();
    return;
  }
  present();
}

void SdlWindow::present() {
  if (window_ == nullptr || window_->left) return;
  const uint32_t* shown = page_.data();
  std::vector<uint32_t> composed;
  if (paused_ || !overlay_.pixels.empty()) {
    composed.resize(page_.size());
    if (paused_)
      drawPausedPicture(page_.data(), pausedText_, composed.data());
    else
      composed = page_;
    if (!overlay_.pixels.empty()) layOver(composed.data(), overlay_, OVERLAY_TOP);
    shown = composed.data();
  }
  SDL_UpdateTexture(window_->texture, nullptr, shown, PAGE_PITCH);
  // Whole-number scales keep pixels crisp; a window smaller than the picture
  // shrinks it instead of cutting it off. Both keep the aspect ratio.
  int width = 0, height = 0;
  SDL_GetRendererOutputSize(window_->renderer, &width, &height);
  SDL_RenderSetIntegerScale(window_->renderer, width >= SCREEN_WIDTH && height >= SCREEN_HEIGHT ? SDL_TRUE : SDL_FALSE);
  SDL_SetRenderDrawColor(window_->renderer, 0, 0, 0, 255);
  SDL_RenderClear(window_->renderer);
  SDL_RenderCopy(window_->renderer, window_->texture, nullptr, nullptr);
  SDL_RenderPresent(window_->renderer);
}

// The whole-number factor the picture is shown at now (at least 1).
int SdlWindow::pictureFactor() const {
  int width = SCREEN_WIDTH, height = SCREEN_HEIGHT;
  if (window_ != nullptr) SDL_GetRendererOutputSize(window_->renderer, &width, &height);
  int factor = std::min(width / SCREEN_WIDTH, height / SCREEN_HEIGHT);
  return std::max(factor, 1);
}

void SdlWindow::activityChanged(Activity activity) { activity_ = activity; }

void SdlWindow::pumpEvents() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) {  // the close button, Alt+F4
      input_->closeButton();
      continue;
    }
    if (controllerEvent(event)) continue;
    if (event.type == SDL_WINDOWEVENT) {
      switch (event.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: present(); break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          if (config_.pauseOnFocusLoss && activity_ == Activity::Play) setPaused(true, true);
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          if (pausedByFocus_) setPaused(false, false);
          break;
        default: break;
      }
      continue;
    }
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) continue;
    if (extraKey(event.key)) continue;
    // While paused the game takes no new presses; releases still count, so
    // that nothing stays held after the pause.
    if (paused_ && event.type == SDL_KEYDOWN) continue;
    const SDL_Keysym& key = event.key.keysym;
    bool enter = key.scancode == SDL_SCANCODE_RETURN || key.scancode == SDL_SCANCODE_KP_ENTER;
    if (event.type == SDL_KEYDOWN && enter && (key.mod & KMOD_ALT)) {
      if (!event.key.repeat && window_ != nullptr && !window_->left) {
        bool full = (SDL_GetWindowFlags(window_->window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
        SDL_SetWindowFullscreen(window_->window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
      }
      continue;
    }
    int scanCode = boundKey(gameKeyOf(event.key));
    if (event.type == SDL_KEYUP) {
      input_->release(scanCode);
      continue;
    }
    std::string value = typedValueForKey(key.mod, scanCode);
    if (event.key.repeat)  // auto-repeat types again but the key was already down
      input_->type(value);
    else
      input_->press(scanCode, value);
  }
}

int SdlWindow::gameKeyOf(const SDL_KeyboardEvent& key) const {
  return gameScanCodeForKey(key.keysym.scancode, key.keysym.sym);
}

void SdlWindow::wait(int ms, bool stopOnKey) {
  double end = pacer_.waitEnd(static_cast<double>(SDL_GetTicks64()), ms);
  // At the title and at a question nothing moves until the player does, and
  // the game waits a millisecond at a time: the window sleeps until the
  // player's next event instead, so a still picture costs next to nothing.
  if ((activity_ == Activity::Title || activity_ == Activity::Question) && ms <= 1 && !paused_) {
    SDL_WaitEventTimeout(nullptr, IDLE_WAIT_MS);
    end = 0.0;  // one look at the events, below, and the wait is over
  }
  do {
    pumpEvents();
    if (paused_) {  // the rest of this wait comes after the pause
      Uint64 pausedAt = SDL_GetTicks64();
      holdWhilePaused();
      end += static_cast<double>(SDL_GetTicks64() - pausedAt);
    }
    expireOverlay();
    if (stopOnKey && input_->keyQueued()) return;
    if (os::quitRequested()) return;
    double now = static_cast<double>(SDL_GetTicks64());
    if (now >= end) return;
    SDL_Delay(static_cast<Uint32>(std::min(end - now, 2.0)));
  } while (true);
}

double SdlWindow::secondsTimer(int64_t) { return secondsOfDay(); }

}  // namespace backend
