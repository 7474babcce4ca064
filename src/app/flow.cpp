// Start-up, the main loop from the title through the three stages, and the
// shutdown.
#include "app/flow.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "app/player_files.h"
#include "app/run_files.h"
#include "game/game_state.h"
#include "game/hiscore.h"
#include "game/title.h"
#include "gfx/sprites.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "platform/run_options.h"
#include "platform/sound.h"
#include "stage_one/stage_one.h"
#include "stage_three/stage_three.h"
#include "stage_two/stage_two.h"
#include "story/story.h"

namespace {

void startUp(const RunOptions& options, bool fullScreen) {
  double seconds = secondsTimer();
  seedRandom(options.seedGiven ? options.seed : static_cast<uint32_t>(std::floor(seconds)));
  openScreen(320, 240, 32, 2, fullScreen);
  hideMousePointer();
  initSound(options.gameArguments);
  loadSpriteSheet();
  buildSpriteTable();
  gameState.highScore = loadHighScore();
}

// A game: stage one, then two and three for as long as each is cleared.
void playGame() {
  gameState.score = 0;
  gameState.credits -= 1;
  if (StageOne() != StageResult::Cleared) return;
  if (StageTwo() != StageResult::Cleared) return;
  StageThree();
}

void mainLoop() {
  for (;;) {
    gameState.credits = 3;
    if (runTitleScreen() == TitleChoice::LeaveProgram) return;
    playGame();
  }
}

// --scene: one scene after the whole start-up; a stage as at a game start.
void runOneScene(const std::string& scene) {
  if (scene == "title") {
    gameState.credits = 3;
    runTitleScreen();
    return;
  }
  if (scene.rfind("story", 0) == 0) {
    StoryScene(scene.back() - '0');
    return;
  }
  gameState.credits = 2;
  gameState.score = 0;
  if (scene == "stage1") StageOne();
  if (scene == "stage2") StageTwo();
  if (scene == "stage3") StageThree();
}

// Ctrl+C or SIGTERM: end as the program ends normally, keeping a high score
// that the game has reached.
void quitNow() {
  saveHighScoreIfReached();
  writeFinalShot();
  closeScreen();
  closeSound();
  destroySpriteTable();
  platformStop();
  std::fflush(nullptr);
  std::exit(0);
}

}  // namespace

int runGame(const std::vector<std::string>& args, bool fullScreen) {
  RunOptions options;
  options.fullScreen = fullScreen;
  int parsed = parseCommandLine(args, options);
  if (parsed == 1) return 0;
  if (parsed != 0) return 2;
  if (prepareRunFiles(options) != 0) return 2;
  if (int failed = preparePlayerFiles(options)) return failed;
  auto realStart = std::chrono::steady_clock::now();
  platformStart(options);
  setQuitHandler(quitNow);
  startUp(options, options.fullScreen);
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
    std::printf(
        "timedemo: %lld frames in %.3f s, %.1f frames per second, slowest frame %.3f ms (frame %lld), "
        "mean frame %.4f ms\n",
        static_cast<long long>(frames), seconds, seconds > 0 ? frames / seconds : 0.0, slowestFrameMs(),
        static_cast<long long>(slowestFrameNumber()), meanFrameMs());
  }
  if (options.frameStats) std::printf("%s\n", framePacingReport().c_str());
  // What the exit handlers do, in their order: display, sound, sprite images.
  closeScreen();
  closeSound();
  destroySpriteTable();
  platformStop();
  std::fflush(stdout);
  return 0;
}
