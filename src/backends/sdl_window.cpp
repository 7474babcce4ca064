// The SDL window back end: a 320x240 picture shown crisp at whole-number
// scales, the keyboard in PC set-1 scan codes, SDL's clock.
#include "backends/sdl_window.h"

#include <SDL.h>
#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "backends/sdl_keys.h"
#include "backends/sdl_session.h"
#include "base/messages.h"
#include "os/files.h"

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
  picture_.assign(SCREEN_WIDTH * SCREEN_HEIGHT, 0);
}

SdlWindow::~SdlWindow() {
  closeDisplay();
  closeAudio();  // a mixer left open by a half-failed start-up
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
  watchSessionEnd(window_->window, session_);
  setIcon(window_->window, config_);
  SDL_SetTextureBlendMode(window_->texture, SDL_BLENDMODE_NONE);
  // Controllers are optional: without the subsystem the keyboard still plays.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
    warn(std::string("warning: no game controllers: ") + SDL_GetError());
  // Crisp pixels: whole-number scales, letterboxed.
  SDL_RenderSetLogicalSize(window_->renderer, SCREEN_WIDTH, SCREEN_HEIGHT);
  SDL_RenderSetIntegerScale(window_->renderer, SDL_TRUE);
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

void SdlWindow::hidePointer() { SDL_ShowCursor(SDL_DISABLE); }

void SdlWindow::windowSize(int& width, int& height) const {
  width = height = 0;
  if (window_ != nullptr) SDL_GetWindowSize(window_->window, &width, &height);
}

void SdlWindow::show(const uint32_t* pixels) {
  std::memcpy(picture_.data(), pixels, picture_.size() * sizeof(uint32_t));
  present();
}

void SdlWindow::present() {
  if (window_ == nullptr || window_->left) return;
  SDL_UpdateTexture(window_->texture, nullptr, picture_.data(), PAGE_PITCH);
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

void SdlWindow::toggleFullScreen() {
  if (window_ == nullptr || window_->left) return;
  bool full = (SDL_GetWindowFlags(window_->window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  SDL_SetWindowFullscreen(window_->window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

bool SdlWindow::fullScreen() const {
  return window_ != nullptr && (SDL_GetWindowFlags(window_->window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

// A window in full screen keeps its size for when it leaves it.
void SdlWindow::setScale(int scale) {
  config_.scale = scale;
  if (window_ == nullptr || window_->left || fullScreen()) return;
  const int fitted = fittedScale(scale);
  SDL_SetWindowSize(window_->window, SCREEN_WIDTH * fitted, SCREEN_HEIGHT * fitted);
}

void SdlWindow::setVsync(bool on) {
  config_.vsync = on;
  if (window_ != nullptr) SDL_RenderSetVSync(window_->renderer, on ? 1 : 0);
}

void SdlWindow::showPointer(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

int SdlWindow::pictureFactor() const {
  int width = SCREEN_WIDTH, height = SCREEN_HEIGHT;
  if (window_ != nullptr) SDL_GetRendererOutputSize(window_->renderer, &width, &height);
  int factor = std::min(width / SCREEN_WIDTH, height / SCREEN_HEIGHT);
  return std::max(factor, 1);
}

void SdlWindow::keyEvent(const SDL_KeyboardEvent& key, std::vector<machine::DeviceEvent>& events) const {
  machine::DeviceEvent event;
  const bool down = key.type == SDL_KEYDOWN;
  event.kind = !down        ? machine::DeviceEvent::KeyUp
               : key.repeat ? machine::DeviceEvent::KeyRepeat
                            : machine::DeviceEvent::KeyDown;
  event.scanCode = gameScanCodeForKey(key.keysym.scancode, key.keysym.sym);
  event.shift = (key.keysym.mod & KMOD_SHIFT) != 0;
  event.alt = (key.keysym.mod & KMOD_ALT) != 0;
  switch (key.keysym.sym) {
    case SDLK_F12: event.windowKey = machine::DeviceEvent::ScreenshotKey; break;
    case SDLK_p:
    case SDLK_PAUSE: event.windowKey = machine::DeviceEvent::PauseKey; break;
    case SDLK_m: event.windowKey = machine::DeviceEvent::MuteKey; break;
    case SDLK_MINUS:
    case SDLK_KP_MINUS: event.windowKey = machine::DeviceEvent::QuieterKey; break;
    case SDLK_EQUALS:
    case SDLK_PLUS:
    case SDLK_KP_PLUS: event.windowKey = machine::DeviceEvent::LouderKey; break;
    default: break;
  }
  events.push_back(event);
}

void SdlWindow::takeEvents(std::vector<machine::DeviceEvent>& events) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) {  // the close button, Alt+F4
      events.push_back({machine::DeviceEvent::CloseButton});
      continue;
    }
    if (controllerEvent(event, events)) continue;
    if (event.type == SDL_WINDOWEVENT) {
      switch (event.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: present(); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: events.push_back({machine::DeviceEvent::FocusLost}); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: events.push_back({machine::DeviceEvent::FocusGained}); break;
        default: break;
      }
      continue;
    }
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) keyEvent(event.key, events);
    // SDL gives the click (or a tap) in the renderer's logical 320x240
    // pixels, the letterbox outside them.
    if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) {
      machine::DeviceEvent click{machine::DeviceEvent::MouseClick};
      click.x = event.button.x;
      click.y = event.button.y;
      events.push_back(click);
    }
  }
  if (session_.ending) {
    session_.ending = false;
    events.push_back({machine::DeviceEvent::SessionEnding});
  }
}

double SdlWindow::nowMs() { return static_cast<double>(SDL_GetTicks64()); }

double SdlWindow::secondsOfDay() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return std::fmod(std::chrono::duration<double>(sinceEpoch).count(), 86400.0);
}

void SdlWindow::sleepUntil(double untilMs, bool wakeOnEvent) {
  double left = untilMs - nowMs();
  if (left <= 0) return;
  if (wakeOnEvent)
    SDL_WaitEventTimeout(nullptr, static_cast<int>(std::ceil(left)));
  else
    SDL_Delay(static_cast<Uint32>(std::ceil(left)));
}

void SdlWindow::keepOnSessionEnd(const std::string& path, const std::string& bytes) {
  session_.path = path;
  session_.bytes = bytes;
}

}  // namespace backend
