// The SDL window back end: a 320x240 page shown crisp at whole-number scales,
// the keyboard in PC set-1 scan codes, real sleeps, and --record.
#include "platform/sdl_backend.h"

#include <SDL.h>
#include <dlfcn.h>
#include <link.h>

#include <chrono>
#include <cmath>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/platform_state.h"
#include "platform/quiet_stderr.h"
#include "platform/sdl_keys.h"

struct SdlWindowState {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  Uint64 lastShown = 0;
  bool left = false;  // after the shutdown's switch to 640x480
};

namespace {

// A window the player can see: SDL's drivers in SDL's order, but never the
// off-screen or dummy ones, unless SDL_VIDEODRIVER asks for one on purpose.
bool openRealVideo() {
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (asked != nullptr && *asked != '\0') return SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
  // The display libraries complain on stderr about every display they miss.
  int quiet = quietStderrBegin();
  bool opened = false;
  for (int i = 0; i < SDL_GetNumVideoDrivers() && !opened; ++i) {
    std::string name = SDL_GetVideoDriver(i);
    if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, name.c_str());
    opened = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
  }
  quietStderrEnd(quiet);
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

}  // namespace

SdlBackend::SdlBackend(const std::string& recordFile, std::vector<ScriptEvent> script) {
  // Ctrl+C and SIGTERM belong to the game's own quit handler, not to SDL.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  script_.events = std::move(script);
  script_.applyUpTo(0);
  // Key bindings: the bound key does the action's work; a swap of two keys works.
  for (int code = 0; code < 256; ++code) keyBinding_[code] = code;
  const Settings& settings = platform().options.settings;
  for (int action = 0; action < ACTION_COUNT; ++action) {
    int own = scanCodeForName(settings.keys[action]);
    if (own >= 0) keyBinding_[own] = scanCodeForName(defaultKeyName(action));
  }
  if (!recordFile.empty()) {
    recordOut_ = std::fopen(recordFile.c_str(), "w");
    if (recordOut_ == nullptr) std::fprintf(stderr, "quarvel: cannot write the recording to %s\n", recordFile.c_str());
  }
}

SdlBackend::~SdlBackend() {
  closeDisplay();
  closeAudio();  // a mixer left open by a half-failed start-up
  if (recordOut_ != nullptr) std::fclose(recordOut_);
}

void SdlBackend::record(const std::string& line) {
  if (recordOut_ == nullptr || line.empty()) return;
  std::fprintf(recordOut_, "%lld %s\n", static_cast<long long>(platform().virtualMs), line.c_str());
  std::fflush(recordOut_);
}

int SdlBackend::boundKey(int scanCode) const {
  return scanCode >= 0 && scanCode < 256 ? keyBinding_[scanCode] : scanCode;
}

void SdlBackend::addInput(const std::vector<ScriptEvent>& events) { script_.add(events); }

void SdlBackend::noteSeed(uint32_t seed) {
  if (recordOut_ != nullptr) std::fprintf(recordOut_, "seed %u\n", seed);
}

void SdlBackend::openDisplay(bool fullScreen) {
  if (window_ != nullptr) return;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  if (!openRealVideo()) {
    std::fprintf(stderr, "quarvel: cannot open a window: %s (--headless runs without one)\n", SDL_GetError());
    std::exit(1);
  }
  window_ = new SdlWindowState;
  Uint32 flags = SDL_WINDOW_RESIZABLE | (fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  const Settings& settings = platform().options.settings;
  window_->window = SDL_CreateWindow("Quarvel", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     SCREEN_WIDTH * settings.scale, SCREEN_HEIGHT * settings.scale, flags);
  // Without vsync a frame lasts its sleep plus its drawing: presenting never
  // waits for the display (Ctrl in stage three runs as fast as it draws).
  if (window_->window != nullptr)
    window_->renderer = SDL_CreateRenderer(window_->window, -1,
                                           SDL_RENDERER_ACCELERATED | (settings.vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
  if (window_->renderer == nullptr && window_->window != nullptr)
    window_->renderer = SDL_CreateRenderer(window_->window, -1, SDL_RENDERER_SOFTWARE);
  if (window_->renderer != nullptr)
    window_->texture = SDL_CreateTexture(window_->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                         SCREEN_WIDTH, SCREEN_HEIGHT);
  if (window_->texture == nullptr) {
    std::fprintf(stderr, "quarvel: cannot open a window: %s (--headless runs without one)\n", SDL_GetError());
    std::exit(1);
  }
  keepDriversLoaded();
  SDL_SetTextureBlendMode(window_->texture, SDL_BLENDMODE_NONE);
  // Controllers are optional: without the subsystem the keyboard still plays.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
    std::fprintf(stderr, "quarvel: warning: no game controllers: %s\n", SDL_GetError());
  // Crisp pixels: whole-number scales, letterboxed.
  SDL_RenderSetLogicalSize(window_->renderer, SCREEN_WIDTH, SCREEN_HEIGHT);
  SDL_RenderSetIntegerScale(window_->renderer, SDL_TRUE);
}

void SdlBackend::leaveFullScreen() {
  if (window_ == nullptr) return;
  window_->left = true;
  SDL_SetWindowFullscreen(window_->window, 0);
  SDL_SetWindowSize(window_->window, 640, 480);
  SDL_RenderSetLogicalSize(window_->renderer, 640, 480);
  SDL_SetRenderDrawColor(window_->renderer, 0, 0, 0, 255);
  SDL_RenderClear(window_->renderer);
  SDL_RenderPresent(window_->renderer);
}

void SdlBackend::closeDisplay() {
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

void SdlBackend::hideMousePointer() { SDL_ShowCursor(SDL_DISABLE); }

// The visible page stays on screen as it changes: it is shown again at every
// frame and, between frames, at most every 15 ms of real time.
void SdlBackend::showPage(const uint32_t* pixels, bool urgent) {
  if (window_ == nullptr || window_->left) return;
  Uint64 now = SDL_GetTicks64();
  if (!urgent && now - window_->lastShown < 15) return;
  window_->lastShown = now;
  SDL_UpdateTexture(window_->texture, nullptr, pixels, PAGE_PITCH);
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
int SdlBackend::pictureFactor() const {
  int width = SCREEN_WIDTH, height = SCREEN_HEIGHT;
  if (window_ != nullptr) SDL_GetRendererOutputSize(window_->renderer, &width, &height);
  int factor = std::min(width / SCREEN_WIDTH, height / SCREEN_HEIGHT);
  return std::max(factor, 1);
}

void SdlBackend::pumpEvents() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT || (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
      if (event.type == SDL_QUIT) {
        clickCloseButton();
        record("close");
      }
      continue;
    }
    if (controllerEvent(event)) continue;
    if (event.type == SDL_WINDOWEVENT && platform().options.settings.pauseOnFocusLoss) {
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) setPaused(true, true);
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED && pausedByFocus_) setPaused(false, false);
    }
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) continue;
    if (extraKey(event.key)) continue;
    // While paused the game takes no new presses; releases still count, so
    // that nothing stays held after the pause.
    if (platform().paused && event.type == SDL_KEYDOWN) continue;
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
    std::string name = nameForScanCode(scanCode);
    if (event.type == SDL_KEYUP) {
      releaseKey(scanCode);
      if (!name.empty()) record("up " + name);
      continue;
    }
    std::string value = typedValueForKey(key.mod, scanCode);
    if (event.key.repeat) {  // auto-repeat types again but the key was already down
      queueKeyValue(value);
      record(value.size() == 1 && value[0] > ' ' ? "type " + value : "");
      continue;
    }
    pressKey(scanCode, value);
    if (name.empty()) continue;
    if (value == typedValueForScanCode(scanCode))
      record("down " + name);
    else if (value.size() == 1 && value[0] > ' ')
      record("type " + value);  // a capital: only the queue matters to the game
  }
}

int SdlBackend::gameKeyOf(const SDL_KeyboardEvent& key) const {
  return gameScanCodeForKey(key.keysym.scancode, key.keysym.sym);
}

void SdlBackend::wait(int ms, bool stopOnKey) {
  Uint64 end = SDL_GetTicks64() + static_cast<Uint64>(ms);
  PlatformState& p = platform();
  script_.applyUpTo(p.virtualMs);
  do {
    pumpEvents();
    if (p.paused) {  // the rest of this wait comes after the pause
      Uint64 pausedAt = SDL_GetTicks64();
      holdWhilePaused();
      end += SDL_GetTicks64() - pausedAt;
    }
    if (stopOnKey && !p.keyQueue.empty()) return;
    if (quitRequested()) return;
    Uint64 now = SDL_GetTicks64();
    if (now >= end) return;
    SDL_Delay(static_cast<Uint32>(std::min<Uint64>(end - now, 2)));
  } while (true);
}

// Seconds since midnight, as the seed of a normal run.
double SdlBackend::secondsTimer() {
  auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  double seconds = std::chrono::duration<double>(sinceEpoch).count();
  return std::fmod(seconds, 86400.0);
}
