#include "support/player_support.h"

#include <SDL.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "game/game_state.h"
#include "gfx/effects.h"
#include "gfx/sprites.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "platform/platform_state.h"
#include "platform/sound.h"
#include "support/session.h"

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

void writeFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

void startWindow(uint32_t seed, const std::string& settings, const std::string& settingsFile) {
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
  platformStart(options);
  seedRandom(seed);
  openScreen(320, 240, 32, 2, false);
  gameState = GameState{};
  pagePair = PagePair{};
  initSound({"NOSOUND"});
  loadSpriteSheet();
  buildSpriteTable();
  clearEffects();
}

void stopWindow() {
  setFrameHook(nullptr);
  closeScreen();
  closeSound();
  destroySpriteTable();
  platformStop();
}

uint64_t visiblePageHash() {
  const PlatformState& p = platform();
  uint64_t hash = 1469598103934665603ULL;
  for (uint32_t pixel : p.pages[p.visiblePage]) hash = (hash ^ pixel) * 1099511628211ULL;
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
