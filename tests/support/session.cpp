#include "support/session.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/game_state.h"
#include "gfx/effects.h"
#include "gfx/sprites.h"
#include "platform/platform.h"
#include "platform/run_options.h"
#include "platform/sound.h"

namespace fs = std::filesystem;

std::string readFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string makeScratchFolder(const std::string& tag) {
  static std::atomic<int> counter{0};
  fs::path folder =
      fs::temp_directory_path() / ("quarvel-" + tag + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string();
}

void copyGameData(const std::string& folder) {
  fs::path data = fs::path(QUARVEL_SOURCE_DIR) / "data";
  fs::copy(data / "graphics", fs::path(folder) / "graphics", fs::copy_options::recursive);
  fs::copy(data / "WAV", fs::path(folder) / "WAV", fs::copy_options::recursive);
}

TestSession::TestSession(const std::string& script, uint32_t seed, bool withSound, bool withSprites) {
  previousFolder = fs::current_path().string();
  folder = makeScratchFolder("session");
  copyGameData(folder);
  fs::current_path(folder);
  RunOptions options;
  options.headless = true;
  options.seedGiven = true;
  options.seed = seed;
  options.inputText = script;
  if (withSound) {
    soundLogPath = folder + "/sound.log";
    options.soundLog = soundLogPath;
  }
  platformStart(options);
  seedRandom(seed);
  openScreen(320, 240, 32, 2, false);
  gameState = GameState{};
  pagePair = PagePair{};
  initSound(withSound ? std::vector<std::string>{} : std::vector<std::string>{"NOSOUND"});
  if (withSprites) {
    loadSpriteSheet();
    buildSpriteTable();
  }
  clearEffects();
}

TestSession::~TestSession() {
  closeScreen();
  closeSound();
  if (spriteTable.sheet != nullptr) destroySpriteTable();
  setFrameHook(nullptr);
  platformStop();
  fs::current_path(previousFolder);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

void PrintTo(const SoundEvent& event, std::ostream* out) {
  *out << "{frame " << event.frame << ": " << event.sample << ", " << event.channel << ", " << event.volume << "}";
}

std::vector<SoundEvent> readSoundLog(const std::string& path) {
  std::vector<SoundEvent> events;
  std::istringstream in(readFileText(path));
  SoundEvent event;
  while (in >> event.frame >> event.ms >> event.sample >> event.channel >> event.volume) events.push_back(event);
  return events;
}
