// Start-up, the main loop from the title through the three stages, and the
// shutdown; the one place that reports a start-up problem and the one way
// a running game ends from outside its scenes.
#include "app/flow.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/lettering.h"
#include "app/player_files.h"
#include "app/run_files.h"
#include "backends/error_box.h"
#include "backends/headless.h"
#include "base/messages.h"
#include "formats/key_names.h"
#include "game/game.h"
#include "game/title.h"
#include "gfx/sprites.h"
#include "harness/harness.h"
#include "machine/control.h"
#include "machine/machine.h"
#include "os/folders.h"
#include "os/quit_signal.h"
#include "stage_one/stage_one.h"
#include "stage_three/stage_three.h"
#include "stage_two/stage_two.h"
#include "story/story.h"
#ifdef __EMSCRIPTEN__
#include "backends/web.h"
#else
#include "backends/sdl_window.h"
#endif

namespace {

// The exit codes, as the man page lists them.
constexpr int EXIT_BAD_OPTIONS = 2;     // a bad option, value or script; an unusable output file
constexpr int EXIT_CANNOT_START = 1;    // no data, a damaged sprite sheet, no display for the window
constexpr int EXIT_CLOCK_LIMIT = 3;     // the virtual clock passed --max-ms
constexpr int SHUTDOWN_PAUSE_MS = 500;  // the black 640x480 window before the end

// A problem before the game runs: one line on stderr, a message box too when
// a player started the window from a menu, and the exit code.
int reportProblem(const Outcome& problem, int exitCode, bool window) {
  warn(problem.why());
  if (window) backend::showErrorBox("Quarvel", problem.why());
  return exitCode;
}

}  // namespace

backend::WindowConfig windowConfig(const RunOptions& options, Game& game) {
  backend::WindowConfig config;
  const Settings& settings = options.settings;
  config.scale = settings.scale;
  config.vsync = settings.vsync;
  config.pauseOnFocusLoss = settings.pauseOnFocusLoss;
  config.volume = settings.volume;
  config.muted = settings.mute;
  // The desktop's pictures folder, else the game's own data folder.
  config.screenshotFolder = [] {
    std::string pictures = os::userPicturesFolder();
    return pictures.empty() ? os::userDataFolder() : pictures;
  };
  // The bound key does the action's work; a swap of two keys works.
  for (int action = 0; action < ACTION_COUNT; ++action) {
    int own = scanCodeForName(settings.keys[action]);
    if (own >= 0) config.keyBinding[own] = scanCodeForName(defaultKeyName(action));
  }
  const std::string settingsFile = options.settingsFile;
  if (!settingsFile.empty())
    config.saveSetting = [settingsFile](const std::string& key, const std::string& value) {
      Outcome saved = saveSetting(settingsFile, key, value);
      if (!saved.ok()) warn("cannot save the " + key + " to " + settingsFile + ": " + saved.why());
    };
  config.paintText = [&game](const std::string& text) { return paintLettering(game, text); };
  config.sessionEnding = [&game] { saveHighScoreIfReached(game); };
  return config;
}

namespace {

#ifndef __EMSCRIPTEN__
// The window's icon, drawn from the sheet before the game loads it (a sheet
// that cannot be read is reported by the start-up; no icon then).
void addWindowIcon(Game& game, backend::WindowConfig& config) {
  constexpr int ICON_SCALE = 4;
  OwnedImage sheet = createImage(SHEET_WIDTH, SHEET_HEIGHT);
  if (!loadBitmap(spriteSheetPath(game), sheet.get()).ok()) return;
  config.iconSize = ICON_SIZE * ICON_SCALE;
  config.icon = placedIcon(iconPixels(sheet.get()), config.iconSize, ICON_SCALE);
}
#endif

std::unique_ptr<machine::Backend> chooseBackend(const RunOptions& options, Game& game) {
#ifdef __EMSCRIPTEN__
  // In the browser, --headless keeps the page but runs on the virtual clock.
  return std::make_unique<backend::Web>(windowConfig(options, game), options.headless);
#else
  if (options.headless) return std::make_unique<backend::Headless>();
  backend::WindowConfig config = windowConfig(options, game);
  addWindowIcon(game, config);
  return std::make_unique<backend::SdlWindow>(std::move(config));
#endif
}

}  // namespace

harness::Options harnessOptions(const RunOptions& options) {
  harness::Options h;
  h.script = options.script;
  h.shotsDir = options.shotsDir;
  h.shotFrames = options.shotFrames;
  h.soundLog = options.soundLog;
  h.frameHashes = options.frameHashes;
  h.recordFile = options.recordFile;
  // The limit guards headless runs; a player in the window meets it only when
  // asking for it, so an hour's play does not end the game.
  if (options.headless || options.maxMsGiven) h.maxMs = options.maxMs;
  return h;
}

namespace {

// The records of the whole run: the game's, and stage two's tower.
struct Session {
  Game game;
  stage_two::Tower tower;
};

Outcome startUp(Game& game, const RunOptions& options) {
  double seconds = secondsTimer(game);
  seedRandom(game, options.seedGiven ? options.seed : static_cast<uint32_t>(std::floor(seconds)));
  Outcome opened = openScreen(game, options.fullScreen ? ScreenMode::FullScreen : ScreenMode::Window);
  if (!opened.ok()) return opened;
  hideMousePointer(game);
  initSound(game, options.soundWanted);
  Outcome sheet = loadSpriteSheet(game);
  if (!sheet.ok())
    return Outcome::failure("cannot read the sprite sheet " + spriteSheetPath(game) + ": " + sheet.why());
  buildSpriteTable(game);
  game.gameState.highScore = loadHighScore(game);
  tellHighScore(game, game.gameState.highScore);
  return {};
}

// A game: stage one, then two and three for as long as each is cleared.
void playGame(Session& session) {
  Game& game = session.game;
  game.gameState.score = 0;
  game.gameState.credits -= 1;
  if (StageOne(game) != StageResult::Cleared) return;
  if (StageTwo(game, session.tower) != StageResult::Cleared) return;
  StageThree(game);
}

void mainLoop(Session& session) {
  for (;;) {
    session.game.gameState.credits = 3;
    if (runTitleScreen(session.game) == TitleChoice::LeaveProgram) return;
    playGame(session);
  }
}

// --scene: one scene after the whole start-up; a stage as at a game start.
void runOneScene(Session& session, const std::string& scene) {
  Game& game = session.game;
  if (scene == "title") {
    game.gameState.credits = 3;
    runTitleScreen(game);
    return;
  }
  if (scene.rfind("story", 0) == 0) {
    StoryScene(game, scene.back() - '0');
    return;
  }
  game.gameState.credits = 2;
  game.gameState.score = 0;
  if (scene == "stage1") StageOne(game);
  if (scene == "stage2") StageTwo(game, session.tower);
  if (scene == "stage3") StageThree(game);
}

// What the exit handlers do, in their order: display, sound, sprite images.
void shutDown(Game& game) {
  closeScreen(game);
  closeSound(game);
  destroySpriteTable(game);
  machine::stop(game);
  os::watchQuitRequests(false);
  std::fflush(nullptr);
}

// Whether this run asks for anything of the harness: a player's plain game
// runs without it.
bool wantsHarness(const RunOptions& options, const harness::Options& asked) {
  return options.timedemo || options.frameStats || !asked.script.events.empty() || !asked.shotsDir.empty() ||
         !asked.soundLog.empty() || !asked.frameHashes.empty() || !asked.recordFile.empty() || asked.maxMs;
}

// What a run's end does for the harness, however it ends: the final shot
// and the figures asked for.
struct RunEnd {
  const RunOptions& options;
  const std::optional<harness::Harness>& harness;
  void finalShot() const {
    if (harness) harness->writeFinalShot();
  }
  void printReports() const {
    if (!harness) return;
    if (options.timedemo) std::printf("%s\n", harness->timedemoReport().c_str());
    if (options.frameStats) std::printf("%s\n", harness->framePacingReport().c_str());
  }
};

}  // namespace

int runGame(const std::vector<std::string>& args, bool fullScreen, machine::Observer* watcher) {
  RunOptions options;
  options.fullScreen = fullScreen;
  switch (parseCommandLine(args, options)) {
    case CommandLine::Done: return 0;
    case CommandLine::Bad: return EXIT_BAD_OPTIONS;
    case CommandLine::Run: break;
  }
  if (Outcome files = prepareRunFiles(options); !files.ok()) return reportProblem(files, EXIT_BAD_OPTIONS, false);
  if (Outcome files = preparePlayerFiles(options); !files.ok())
    return reportProblem(files, EXIT_CANNOT_START, !options.headless);

  auto session = std::make_unique<Session>();
  Game& game = session->game;
  game.highScoreStorage.path = options.highScorePath;
  game.highScoreStorage.savesAllowed = options.highScoreSaves;
  if (watcher != nullptr) machine::attach(game, *watcher);
  machine::setDataFolder(game, options.dataFolder);  // before the back end: the window's icon comes from the sheet
  machine::start(game, chooseBackend(options, game));
  machine::setCloseButton(game, options.settings.closeButton == CloseButtonChoice::Quit ? machine::CloseButton::Quit
                                                                                        : machine::CloseButton::Ignore);
  std::optional<harness::Harness> harness;
  if (harness::Options asked = harnessOptions(options); wantsHarness(options, asked))
    harness.emplace(game, std::move(asked));
  const RunEnd end{options, harness};

  // The one way out of a running game: Ctrl+C, a kill, the close button when
  // the player chose it, or the harness's clock limit. A reached high score
  // is kept, as at the end of a stage.
  os::watchQuitRequests(true);
  machine::setQuitHandler(game, [&](machine::QuitReason reason) {
    int code = 0;
    if (reason == machine::QuitReason::ClockLimit) {
      warn("the virtual clock passed --max-ms " + std::to_string(options.maxMs) + "; stopping");
      code = EXIT_CLOCK_LIMIT;
    } else {
      saveHighScoreIfReached(game);
    }
    end.finalShot();
    end.printReports();
    tellActivity(game, Activity::Leaving);
    shutDown(game);
    std::exit(code);
  });

  if (Outcome started = startUp(game, options); !started.ok()) {
    shutDown(game);
    return reportProblem(started, EXIT_CANNOT_START, !options.headless);
  }
  if (options.scene.empty())
    mainLoop(*session);
  else
    runOneScene(*session, options.scene);
  end.finalShot();

  tellActivity(game, Activity::Leaving);
  leaveFullScreen(game);
  sleepMs(game, SHUTDOWN_PAUSE_MS);
  end.printReports();
  shutDown(game);
  return 0;
}
