// Start-up, the main loop from the title through the three stages, and the
// shutdown.
#include "app/flow.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "gfx/sprites.h"
#include "game/game_state.h"
#include "platform/harness.h"
#include "game/hiscore.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "game/title.h"
#include "stage_one/stage_one.h"
#include "stage_three/stage_three.h"
#include "stage_two/stage_two.h"
#include "story/story.h"
#include "platform/run_options.h"
#include "app/command_line.h"

namespace {

void startUp(const RunOptions& options, bool fullScreen) {
  double seconds = secondsTimer();
  seedRandom(options.seedGiven ? options.seed : static_cast<uint32_t>(std::floor(seconds)));
  openScreen(320, 240, 32, 2, fullScreen);
  hideMousePointer();
  initSound(options.gameArguments);
  loadSpriteSheet();
  buildSpriteTable();
  loadHighScore(gameState.highScore);
}

// A game: stage one, then two and three for as long as each is cleared.
void playGame() {
  gameState.score = 0;
  gameState.credits -= 1;
  int stage = 0;
  int32_t result = 0;
  if (stage == 0) {
    StageOne(result);
    if (result == STAGE_CLEARED) stage = 1;
  }
  if (stage == 1) {
    StageTwo(result);
    if (result == STAGE_CLEARED) stage = 2;
  }
  if (stage == 2) StageThree(result);
}

void mainLoop() {
  int32_t choice = 0;
  do {
    gameState.credits = 3;
    runTitleScreen(choice);
    if (choice != -1) playGame();
  } while (choice == 0);
}

// --scene: one scene after the whole start-up; a stage as at a game start.
void runOneScene(const std::string& scene) {
  if (scene == "title") {
    gameState.credits = 3;
    int32_t choice = 0;
    runTitleScreen(choice);
    return;
  }
  if (scene.rfind("story", 0) == 0) {
    StoryScene(scene.back() - '0');
    return;
  }
  gameState.credits = 2;
  gameState.score = 0;
  int32_t result = 0;
  if (scene == "stage1") StageOne(result);
  if (scene == "stage2") StageTwo(result);
  if (scene == "stage3") StageThree(result);
}

}  // namespace

int runGame(const std::vector<std::string>& args, bool fullScreen) {
  RunOptions options;
  options.fullScreen = fullScreen;
  int parsed = parseCommandLine(args, options);
  if (parsed == 1) return 0;
  if (parsed != 0) return 2;
  if (!options.inputFile.empty()) {
    std::ifstream in(options.inputFile, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "quarvel: cannot read the input script %s\n", options.inputFile.c_str());
      return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<ScriptEvent> events;
    std::string error;
    bool seedGiven = false;
    uint32_t seed = 0;
    if (!parseScript(text.str(), events, seedGiven, seed, error)) {
      std::fprintf(stderr, "%s:%s\n", options.inputFile.c_str(), error.c_str());
      return 2;
    }
    options.inputText = text.str();
    if (seedGiven && !options.seedGiven) {
      options.seedGiven = true;
      options.seed = seed;
    }
  }
  auto realStart = std::chrono::steady_clock::now();
  platformStart(options);
  startUp(options, fullScreen);
  if (options.scene.empty())
    mainLoop();
  else
    runOneScene(options.scene);
  writeFinalShot();

  leaveFullScreen();
  sleepMs(500);
  if (options.timedemo) {
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart).count();
    int64_t frames = framesPresented();
    std::printf("timedemo: %lld frames in %.3f s, %.1f frames per second, slowest frame %.3f ms (frame %lld), "
                "mean frame %.4f ms\n",
                static_cast<long long>(frames), seconds, seconds > 0 ? frames / seconds : 0.0, slowestFrameMs(),
                static_cast<long long>(slowestFrameNumber()), meanFrameMs());
  }
  // What the exit handlers do, in their order: display, sound, sprite images.
  closeScreen();
  closeSound();
  destroySpriteTable();
  platformStop();
  std::fflush(stdout);
  return 0;
}
