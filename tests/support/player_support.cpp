#include "support/player_support.h"

#include <SDL.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/flow.h"
#include "game/game_state.h"
#include "gfx/effects.h"
#include "gfx/sprites.h"
#include "harness/harness.h"
#include "machine/control.h"
#include "machine/machine.h"
#include "os/folders.h"
#include "support/files.h"
#include "support/input.h"

GameRun runIn(const std::string& folder, const std::string& binary, const std::string& args, const std::string& env) {
  GameRun run;
  run.folder = folder;
  std::string home = folder + "/home";
  std::filesystem::create_directories(home);
  std::string command = "cd '" + folder + "' && env -u DISPLAY -u WAYLAND_DISPLAY HOME='" + home + "' XDG_DATA_HOME='" +
                        home + "/data' XDG_CONFIG_HOME='" + home +
                        "/config' SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + env + " '" + binary + "' " + args +
                        " >stdout.txt 2>stderr.txt";
  int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = readFileText(folder + "/stdout.txt");
  run.err = readFileText(folder + "/stderr.txt");
  return run;
}

std::string builtBinary(const std::string& name) { return std::string(QUARVEL_BUILD_DIR) + "/" + name; }

namespace {

RunOptions windowOptions(uint32_t seed, const std::string& settings, const std::string& settingsFile) {
  // The dummy window never has the focus, and SDL drops controller events
  // of a window without focus unless told otherwise.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
  RunOptions options;
  options.seedGiven = true;
  options.seed = seed;
  options.settingsFile = settingsFile;
  std::vector<std::string> problems;
  parseSettings(settings, "test", options.settings, problems);
  return options;
}

LoopSettings windowLoop(const RunOptions& options) {
  LoopSettings choices;
  choices.windowKeys = true;
  choices.pauseOnFocusLoss = options.settings.pauseOnFocusLoss;
  choices.volume = options.settings.volume;
  choices.muted = options.settings.mute;
  choices.screenshotFolder = [] {
    std::string pictures = os::userPicturesFolder();
    return pictures.empty() ? os::userDataFolder() : pictures;
  };
  const std::string file = options.settingsFile;
  if (!file.empty())
    choices.saveSetting = [file](const std::string& key, const std::string& value) {
      if (!saveSetting(file, key, value).ok()) throw std::runtime_error("the settings file was not saved");
    };
  return choices;
}

Task<> waitFor(Machine& machine, int ms) { co_await sleepMs(machine, ms); }

}  // namespace

WindowRun::WindowRun(uint32_t seed, const std::string& settings, const std::string& settingsFile,
                     const std::string& recordFile, const std::string& frameHashesFile, const std::string& soundLogFile)
    : made_(std::make_unique<Game>()),
      window_(std::make_unique<backend::SdlWindow>(windowConfig(windowOptions(seed, settings, settingsFile)))),
      options_(windowOptions(seed, settings, settingsFile)),
      game(*made_),
      window(*window_),
      loop(game, Devices{window, window, window, window, window}, options_.settings, windowLoop(options_)) {
  machine::setAudio(game, &window);
  harness::Options record;
  record.recordFile = recordFile;
  record.frameHashes = frameHashesFile;
  record.soundLog = soundLogFile;
  recorder_ = std::make_unique<harness::Harness>(game, record);
  seedRandom(game, seed);
  if (!window.openDisplay(ScreenMode::Window).ok()) throw std::runtime_error("no window on the dummy video driver");
  openScreen(game);
  // Sound only when its log is asked for, on SDL's dummy sound driver.
  if (!soundLogFile.empty()) setenv("SDL_AUDIODRIVER", "dummy", 1);
  initSound(game, !soundLogFile.empty());
  if (!loadSpriteSheet(game).ok()) throw std::runtime_error("no sprite sheet");
  buildSpriteTable(game);
}

WindowRun::~WindowRun() {
  setFrameHook(game, nullptr);
  recorder_.reset();
  window.closeDisplay();
  closeSound(game);
  destroySpriteTable(game);
}

// The coroutines live here, not in the header: g++ names a coroutine's frame
// type per translation unit, so a header's coroutine template fails the
// link-time one-definition check.
namespace {
Task<> keepResult(Task<StageResult> task, std::optional<StageResult>& result) { result = co_await task; }
}  // namespace

StageResult WindowRun::play(Task<StageResult> task) {
  std::optional<StageResult> result;
  Task<> whole = keepResult(std::move(task), result);
  loop.run(whole);
  return result.value_or(StageResult::Running);
}

void WindowRun::play(Task<> task) { loop.run(task); }

void WindowRun::wait(int ms) { play(waitFor(game, ms)); }

uint64_t visiblePageHash(const Machine& machine) {
  const uint32_t* page = machine::visiblePage(machine);
  uint64_t hash = 1469598103934665603ULL;
  for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) hash = (hash ^ page[i]) * 1099511628211ULL;
  return hash;
}

void pushKey(int scancode, int sym, bool down, int mod) {
  SDL_Event event = {};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
  event.key.keysym.sym = sym;
  event.key.keysym.mod = static_cast<Uint16>(mod);
  SDL_PushEvent(&event);
}

VirtualPad::VirtualPad(WindowRun& run) : run_(run) {
  index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                     SDL_CONTROLLER_BUTTON_MAX, 0);
  joystick_ = SDL_JoystickOpen(index_);
  run_.wait(1);  // the back end hears of it and opens it
}

void VirtualPad::unplug() {
  if (joystick_ == nullptr) return;
  SDL_JoystickClose(joystick_);
  SDL_JoystickDetachVirtual(index_);
  joystick_ = nullptr;
}

void VirtualPad::button(SDL_GameControllerButton button, bool down) {
  SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
}

void VirtualPad::stickX(int value) {
  SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(value));
}

void VirtualPad::tap(SDL_GameControllerButton button) {
  for (const bool down : {true, false}) {
    this->button(button, down);
    SDL_PumpEvents();
  }
}

std::string VirtualPad::press(SDL_GameControllerButton button) {
  this->button(button, true);
  run_.wait(1);
  this->button(button, false);
  run_.wait(1);
  return readKey(run_.game);
}

namespace {
struct StopStage {};
}  // namespace

std::vector<uint64_t> stageOneFrames(Game& game, int64_t lastFrame, const std::function<void(int64_t)>& drive,
                                     const std::function<void(Task<StageResult>)>& play) {
  std::vector<uint64_t> frames;
  setFrameHook(game, [&](int64_t frame) {
    frames.push_back(visiblePageHash(game));
    if (frame == lastFrame) throw StopStage{};
    drive(frame);
  });
  game.gameState.credits = 2;
  try {
    play(StageOne(game));
  } catch (const StopStage&) {
  }
  setFrameHook(game, nullptr);
  return frames;
}
