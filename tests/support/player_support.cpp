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
#include "support/files.h"
#include "support/input.h"

namespace {
std::unique_ptr<harness::Harness> recorder;
}  // namespace

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

backend::SdlWindow& startWindow(Game& game, uint32_t seed, const std::string& settings, const std::string& settingsFile,
                                const std::string& recordFile) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  // The dummy window never has the focus, and SDL drops controller events
  // of a window without focus unless told otherwise.
  setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
  RunOptions options;
  options.seedGiven = true;
  options.seed = seed;
  options.settingsFile = settingsFile;
  std::vector<std::string> problems;
  parseSettings(settings, "test", options.settings, problems);
  auto window = std::make_unique<backend::SdlWindow>(windowConfig(options, game));
  backend::SdlWindow& shown = *window;
  machine::start(game, std::move(window));
  harness::Options record;
  record.recordFile = recordFile;
  recorder = std::make_unique<harness::Harness>(game, record);
  seedRandom(game, seed);
  if (!openScreen(game, ScreenMode::Window).ok()) throw std::runtime_error("no window on the dummy video driver");
  game.gameState = GameState{};
  game.pagePair = PagePair{};
  initSound(game, false);
  if (!loadSpriteSheet(game).ok()) throw std::runtime_error("no sprite sheet");
  buildSpriteTable(game);
  clearEffects(game);
  return shown;
}

void stopWindow(Toolkit& toolkit) {
  setFrameHook(toolkit, nullptr);
  recorder.reset();
  closeScreen(toolkit);
  closeSound(toolkit);
  destroySpriteTable(toolkit);
  machine::stop(toolkit);
}

uint64_t visiblePageHash(Machine& machine) {
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
