// Start-up, the main loop from the title through the three stages, and the
// one shutdown, however the run ends: the program's end, Ctrl+C or a kill,
// the close button when chosen, the harness's clock limit, the desktop
// ending the session. A quit ends the running scene where it stands: the
// program's task is destroyed, every scene's locals with it, and the run
// ends through the same steps as ever.
#include "app/flow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/frame_loop.h"
#include "app/game_record.h"
#include "app/kept_replays.h"
#include "app/player_files.h"
#include "app/replay_run.h"
#include "app/replay_viewer.h"
#include "app/run_files.h"
#include "backends/error_box.h"
#include "backends/headless.h"
#include "base/messages.h"
#include "game/game.h"
#include "game/hiscore.h"
#include "game/title.h"
#include "gfx/sprites.h"
#include "harness/harness.h"
#include "machine/control.h"
#include "machine/machine.h"
#include "os/files.h"
#include "os/folders.h"
#include "os/quit_signal.h"
#include "stage_one/stage_one.h"
#include "stage_three/stage_three.h"
#include "stage_two/stage_two.h"
#include "story/story.h"
#ifdef __EMSCRIPTEN__
#include <emscripten.h>

#include "backends/web.h"
#else
#include "backends/sdl_window.h"
#endif

namespace {

// The exit codes, as the man page lists them.
constexpr int EXIT_BAD_OPTIONS = 2;     // a bad option, value or script; an unusable output file
constexpr int EXIT_CANNOT_START = 1;    // no data, a damaged sprite sheet, no display for the window
constexpr int EXIT_CLOCK_LIMIT = 3;     // the virtual clock passed --max-ms
constexpr int EXIT_BROKEN_CLAIM = 1;    // --verify: the replay played, a claim of it does not hold
constexpr int SHUTDOWN_PAUSE_MS = 500;  // the black 640x480 window before the end

// A problem before the game runs: one line on stderr, a message box too when
// a player started the window from a menu, and the exit code.
int reportProblem(const Outcome& problem, int exitCode, bool window) {
  warn(problem.why());
  if (window) backend::showErrorBox("Quarvel", problem.why());
  return exitCode;
}

// The back end a run plays on, one object that is every device, owned
// through its display.
struct BackEnd {
  std::unique_ptr<machine::Display> owner;
  Devices devices;
};

template <typename Kind>
BackEnd backEndOf(std::unique_ptr<Kind> made) {
  Kind& kind = *made;
  return BackEnd{std::move(made), Devices{kind, kind, kind, kind, kind}};
}

#ifndef __EMSCRIPTEN__
// The window's icon, drawn from the sheet before the game loads it (a sheet
// that cannot be read is reported by the start-up; no icon then).
void addWindowIcon(const Toolkit& toolkit, backend::WindowConfig& config) {
  constexpr int ICON_SCALE = 4;
  OwnedImage sheet = createImage(SHEET_WIDTH, SHEET_HEIGHT);
  if (!loadBitmap(spriteSheetPath(toolkit), sheet.get()).ok()) return;
  config.iconSize = ICON_SIZE * ICON_SCALE;
  config.icon = placedIcon(iconPixels(sheet.get()), config.iconSize, ICON_SCALE);
}
#endif

BackEnd chooseBackEnd(const RunOptions& options, const Toolkit& toolkit) {
#ifdef __EMSCRIPTEN__
  // In the browser, --headless keeps the page but runs on the virtual clock.
  (void)toolkit;
  return backEndOf(std::make_unique<backend::Web>(options.headless));
#else
  if (options.headless) return backEndOf(std::make_unique<backend::Headless>());
  backend::WindowConfig config = windowConfig(options);
  addWindowIcon(toolkit, config);
  return backEndOf(std::make_unique<backend::SdlWindow>(std::move(config)));
#endif
}

// What the frame loop acts on for the player: the window's own keys (the
// page has its own), the volume, and where settings and screenshots go.
LoopSettings loopSettings(const RunOptions& options) {
  LoopSettings choices;
#ifdef __EMSCRIPTEN__
  choices.pauseKeyOpensMenu = !options.headless;
#else
  choices.windowKeys = !options.headless;
#endif
  const Settings& settings = options.settings;
  choices.pauseOnFocusLoss = settings.pauseOnFocusLoss;
  choices.volume = settings.volume;
  choices.muted = settings.mute;
  // The desktop's pictures folder, else the game's own data folder.
  choices.screenshotFolder = [] {
    std::string pictures = os::userPicturesFolder();
    return pictures.empty() ? os::userDataFolder() : pictures;
  };
  // The menu's REPLAYS: the kept games, newest first.
  const std::string kept = replaysFolder(options.highScorePath);
  choices.replays = [kept] {
    std::vector<MenuReplay> listed;
    for (const KeptReplay& replay : listKeptReplays(kept)) listed.push_back({keptReplayLine(replay), replay.path});
    return listed;
  };
  const std::string settingsFile = options.settingsFile;
  if (!settingsFile.empty())
    choices.saveSetting = [settingsFile](const std::string& key, const std::string& value) {
      Outcome saved = saveSetting(settingsFile, key, value);
      if (!saved.ok()) warn("cannot save the " + key + " to " + settingsFile + ": " + saved.why());
    };
  return choices;
}

// Whether this run asks for anything of the harness: a player's plain game
// runs without it.
bool wantsHarness(const RunOptions& options, const harness::Options& asked) {
  return options.timedemo || options.frameStats || !asked.script.events.empty() || !asked.shotsDir.empty() ||
         !asked.soundLog.empty() || !asked.frameHashes.empty() || !asked.recordFile.empty() || asked.maxMs;
}

// The records of the whole run: the game's, and stage two's tower.
struct Session {
  Game game;
  stage_two::Tower tower;
  int stageReached = 0;  // the furthest stage a game reached, ENDING_STAGE past the third
  int gameStage = 0;     // the furthest stage of the game playing (or last played)
  uint32_t runSeed = 0;  // the first game's seed
  int gamesStarted = 0;
  // Told when the title hands over to a game (seeded with the seed given),
  // and when the game is back at the title.
  std::function<void(uint32_t seed)> gameStarts;
  std::function<void()> gameEnds;
};

// Each game's own seed, chosen as the title hands over: the run's seed for
// the first, then drawn from the numbers the games before left, so that a
// run's input alone still gives every game of it.
uint32_t seedForNextGame(Session& session) {
  constexpr double SEED_RANGE = 4294967296.0;
  if (session.gamesStarted++ == 0) return session.runSeed;
  return static_cast<uint32_t>(randomUnit(session.game) * SEED_RANGE);
}

// A game: stage one, then two and three for as long as each is cleared.
Task<> playGame(Session& session) {
  Game& game = session.game;
  game.gameState.score = 0;
  game.gameState.credits -= 1;
  session.gameStage = 0;
  auto reach = [&session](int stage) {
    session.stageReached = std::max(session.stageReached, stage);
    session.gameStage = std::max(session.gameStage, stage);
  };
  reach(1);
  const StageResult first = co_await StageOne(game);
  if (first != StageResult::Cleared) co_return;
  reach(2);
  const StageResult second = co_await StageTwo(game, session.tower);
  if (second != StageResult::Cleared) co_return;
  reach(3);
  const StageResult third = co_await StageThree(game);
  if (third == StageResult::Cleared) reach(ENDING_STAGE);
}

Task<> mainLoop(Session& session) {
  for (;;) {
    session.game.gameState.credits = 3;
    const TitleChoice choice = co_await runTitleScreen(session.game);
    if (choice == TitleChoice::LeaveProgram) co_return;
    const uint32_t seed = seedForNextGame(session);
    seedRandom(session.game, seed);
    if (session.gameStarts) session.gameStarts(seed);
    co_await playGame(session);
    if (session.gameEnds) session.gameEnds();
  }
}

// --scene: one scene after the whole start-up; a stage as at a game start.
Task<> runOneScene(Session& session, const std::string& scene) {
  Game& game = session.game;
  if (scene == "title") {
    game.gameState.credits = 3;
    co_await runTitleScreen(game);
    co_return;
  }
  if (scene.rfind("story", 0) == 0) {
    co_await StoryScene(game, scene.back() - '0');
    co_return;
  }
  game.gameState.credits = 2;
  game.gameState.score = 0;
  if (scene == "stage1") co_await StageOne(game);
  if (scene == "stage2") co_await StageTwo(game, session.tower);
  if (scene == "stage3") co_await StageThree(game);
}

}  // namespace

backend::WindowConfig windowConfig(const RunOptions& options) {
  backend::WindowConfig config;
  const Settings& settings = options.settings;
  config.scale = settings.scale;
  config.vsync = settings.vsync;
  config.volume = settings.volume;
  config.muted = settings.mute;
  return config;
}

harness::Options harnessOptions(const RunOptions& options) {
  harness::Options h;
  h.script = options.script;
  h.shotsDir = options.shotsDir;
  h.shotFrames = options.shotFrames;
  h.soundLog = options.soundLog;
  h.frameHashes = options.frameHashes;
  h.recordFile = options.recordFile;
  if (options.replay.endMs) h.quitAtMs = options.replay.endMs;
  // The limit guards headless runs; a player in the window meets it only when
  // asking for it, so an hour's play does not end the game.
  if (options.headless || options.maxMsGiven) h.maxMs = options.maxMs;
  return h;
}

namespace {

// The player's sound device, lent to a replay watched from the menu: the
// replay plays on it and never closes it.
class LentAudio : public machine::Audio {
 public:
  explicit LentAudio(machine::Audio& audio) : audio_(audio) {}
  bool openAudio() override { return audio_.openAudio(); }
  bool loadSample(int sample, const std::vector<uint8_t>& file, const WavSound& sound) override {
    return audio_.loadSample(sample, file, sound);
  }
  void playSample(int channel, int sample, int volume) override { audio_.playSample(channel, sample, volume); }
  void closeAudio() override {}
  void setMasterVolume(int percent, bool muted) override { audio_.setMasterVolume(percent, muted); }

 private:
  machine::Audio& audio_;
};

// A replay watched from the menu: the player's data, settings and settings
// file, none of the run's harness, and no high score read or saved.
RunOptions watchOptions(const RunOptions& player, const Settings& settings, const std::string& replay) {
  RunOptions options;
  options.fullScreen = player.fullScreen;
  options.soundWanted = player.soundWanted;
  options.dataOption = player.dataOption;
  options.dataFolder = player.dataFolder;
  options.settingsFile = player.settingsFile;
  options.highScorePath = player.highScorePath;
  options.highScoreSaves = false;
  options.settings = settings;
  options.watchFile = replay;
  return options;
}

// One run of the program, from the command line to its exit code.
class GameRun {
 public:
  // The exit code when the run ends before the game plays (help, a bad
  // option, no data, no display), or none: the game is ready to run.
  std::optional<int> start(const std::vector<std::string>& args, bool fullScreen, machine::Observer* watcher);
  // A replay played headless inside this process, quietly: the player's
  // files are neither read nor written, nothing is printed.
  std::optional<int> startInside(const Replay& replay, const std::string& dataFolder, int64_t frameLimit);
  // What the replay played inside reached.
  const ReplayPlayed& played() const { return played_; }
  // A replay the player's menu chose, watched on the player's window and
  // sound device (lent, never closed) until Esc or the return to its title.
  std::optional<int> startLent(const RunOptions& options, const Devices& devices);
  // Natively: the whole game, then the end.
  int runToEnd();
  // In the browser: the page's timer ticks the loop (or the replay watched
  // from the menu), then the end.
  bool tick();
  double nextTickMs() { return watching_ ? watching_->nextTickMs() : loop_->nextTickMs(); }
  int end();

 private:
  std::optional<int> startGame(machine::Observer* watcher);
  void newSession(machine::Observer* watcher);
  void equipSession();
  void restartAt(int64_t frame);
  bool seekAsked();
  Outcome startUp();
  Task<> program();
  void recordGames();
  void keepGame();
  void finalShot() const {
    if (harness_) harness_->writeFinalShot();
  }
  void printReports() const;
  int finishReplay(int code);
  void shutDown();
  void startWatching(const std::string& replay);
  void stopWatching();

  RunOptions options_;
  std::unique_ptr<Session> session_;
  bool lent_ = false;  // a replay watched from the menu, on the player's devices
  std::optional<LentAudio> lentAudio_;
  machine::Host quietHost_;  // the page and the desktop hear of the player's game only
  std::optional<BackEnd> backEnd_;
  std::optional<ClaimsWatch> claimsWatch_;  // --verify, and --record headless
  int32_t startHighScore_ = 0;
  bool inside_ = false;  // played inside another run
  int64_t frameLimit_ = 0;
  ReplayPlayed played_;
  std::optional<GameRecorder> recorder_;  // every game a player plays in the window
  std::string replaysFolder_;
  ReplayViewer viewer_;  // --replay
  bool displayOpen_ = false;
  bool quitMidway_ = false;  // the run ended by a quit, not by the program's end
  std::optional<harness::Harness> harness_;
  std::optional<FrameLoop> loop_;
  std::optional<Task<>> program_;
  std::unique_ptr<GameRun> watching_;  // the replay the menu chose, while it plays
};

std::optional<int> GameRun::start(const std::vector<std::string>& args, bool fullScreen, machine::Observer* watcher) {
  options_.fullScreen = fullScreen;
  switch (parseCommandLine(args, options_)) {
    case CommandLine::Done: return 0;
    case CommandLine::Bad: return EXIT_BAD_OPTIONS;
    case CommandLine::Run: break;
  }
  if (!options_.replayLinkFile.empty()) {
    Replay replay;
    if (Outcome read = readReplayFile(options_.replayLinkFile, replay); !read.ok())
      return reportProblem(read, EXIT_BAD_OPTIONS, false);
    std::printf("%s%s\n", REPLAY_LINK_MARKER, replayLinkData(replay).c_str());
    return 0;
  }
  if (Outcome files = prepareRunFiles(options_); !files.ok()) return reportProblem(files, EXIT_BAD_OPTIONS, false);
  if (Outcome files = preparePlayerFiles(options_); !files.ok())
    return reportProblem(files, EXIT_CANNOT_START, !options_.headless);
  return startGame(watcher);
}

std::optional<int> GameRun::startInside(const Replay& replay, const std::string& dataFolder, int64_t frameLimit) {
  if (replay.rules != REPLAY_RULES_VERSION) return EXIT_BAD_OPTIONS;
  inside_ = true;
  frameLimit_ = frameLimit;
  options_.headless = true;
  options_.verifyFile = "(inside)";
  options_.replay = replay;
  options_.script = Script{replay.seed, replay.events};
  options_.seedGiven = true;
  options_.seed = replay.seed;
  // With a frame limit, the clock's is near it too: a title left waiting
  // for a key presents no frames.
  constexpr int64_t MS_A_FRAME_AT_MOST = 100;
  options_.maxMs = frameLimit > 0 ? std::min(REPLAY_MAX_MS, frameLimit * MS_A_FRAME_AT_MOST) : REPLAY_MAX_MS;
  options_.soundWanted = false;
  options_.dataFolder = dataFolder;
  options_.highScoreSaves = false;
  return startGame(nullptr);
}

std::optional<int> GameRun::startLent(const RunOptions& options, const Devices& devices) {
  lent_ = true;
  options_ = options;
  if (Outcome files = prepareRunFiles(options_); !files.ok()) {
    warn("cannot watch the replay: " + files.why());
    return EXIT_BAD_OPTIONS;
  }
  lentAudio_.emplace(devices.audio);
  backEnd_.emplace(BackEnd{nullptr, Devices{devices.display, devices.input, devices.clock, *lentAudio_, quietHost_}});
  displayOpen_ = true;
  return startGame(nullptr);
}

std::optional<int> GameRun::startGame(machine::Observer* watcher) {
  newSession(watcher);
  if (!backEnd_) backEnd_.emplace(chooseBackEnd(options_, session_->game));
  equipSession();
  if (!inside_ && !lent_) os::watchQuitRequests(true);
  if (Outcome started = startUp(); !started.ok()) {
    shutDown();
    if (lent_) warn("cannot watch the replay: " + started.why());
    if (inside_ || lent_) return EXIT_CANNOT_START;
    return reportProblem(started, EXIT_CANNOT_START, !options_.headless);
  }
  if (!lent_) loop_->sayWhenSilent();
  program_.emplace(program());
  loop_->begin(*program_);
  return std::nullopt;
}

void GameRun::newSession(machine::Observer* watcher) {
  session_ = std::make_unique<Session>();
  Game& game = session_->game;
  if (watcher != nullptr) machine::attach(game, *watcher);
  if (!options_.verifyFile.empty() || !options_.recordFile.empty()) {
    claimsWatch_.emplace(game, session_->stageReached, frameLimit_);
    machine::attach(game, *claimsWatch_);  // before the harness plays its first events
  }
  game.highScoreStorage.path = options_.highScorePath;
  game.highScoreStorage.savesAllowed = options_.highScoreSaves;
  machine::setDataFolder(game, options_.dataFolder);  // before the back end: the window's icon comes from the sheet
}

// The session's machine on the back end, its harness, its frame loop.
void GameRun::equipSession() {
  Game& game = session_->game;
  machine::setAudio(game, &backEnd_->devices.audio);
  machine::setCloseButton(game, options_.settings.closeButton == CloseButtonChoice::Quit
                                    ? machine::CloseButton::Quit
                                    : machine::CloseButton::Ignore);
  harness::Options asked = harnessOptions(options_);
  asked.recordFile.clear();  // the replay is written at the end
  if (wantsHarness(options_, asked)) harness_.emplace(game, std::move(asked));
  LoopSettings choices = loopSettings(options_);
  if (!options_.watchFile.empty()) choices.viewer = &viewer_;
  loop_.emplace(game, backEnd_->devices, options_.settings, std::move(choices));
  recordGames();
  if (lent_)  // back to the player's menu at the return to the title
    session_->gameEnds = [this] { machine::requestQuit(session_->game, machine::QuitReason::Signal); };
}

// Seeking back in a replay watched: the same window and sound device, a
// new run of the replay from its start, played without waits or pictures
// up to frame.
void GameRun::restartAt(int64_t frame) {
  program_.reset();
  loop_.reset();
  harness_.reset();
  Game& old = session_->game;
  closeScreen(old);
  closeSound(old);
  destroySpriteTable(old);
  newSession(nullptr);
  equipSession();
  viewer_.seekTo(frame);
  if (Outcome started = startUp(); !started.ok()) {
    warn(started.why());
    machine::requestQuit(session_->game, machine::QuitReason::Signal);
  }
  program_.emplace(program());
  loop_->begin(*program_);
}

Outcome GameRun::startUp() {
  Game& game = session_->game;
  machine::Clock& clock = backEnd_->devices.clock;
  const double seconds = clock.real() ? clock.secondsOfDay() : static_cast<double>(machine::virtualMs(game)) / 1000.0;
  seedRandom(game, options_.seedGiven ? options_.seed : static_cast<uint32_t>(std::floor(seconds)));
  machine::Display& display = backEnd_->devices.display;
  if (!displayOpen_) {
    if (Outcome opened = display.openDisplay(options_.fullScreen ? ScreenMode::FullScreen : ScreenMode::Window);
        !opened.ok())
      return opened;
    displayOpen_ = true;
  }
  openScreen(game);
  display.hidePointer();
  initSound(game, options_.soundWanted);
  Outcome sheet = loadSpriteSheet(game);
  if (!sheet.ok())
    return Outcome::failure("cannot read the sprite sheet " + spriteSheetPath(game) + ": " + sheet.why());
  buildSpriteTable(game);
  const bool replayed = !options_.verifyFile.empty() || !options_.watchFile.empty() || options_.inputIsReplay;
  setHighScore(game, replayed ? options_.replay.startHighScore : loadHighScore(game));
  startHighScore_ = game.gameState.highScore;
  session_->runSeed = options_.seedGiven ? options_.seed : static_cast<uint32_t>(std::floor(seconds));
  return {};
}

// A player's game in the window, from the key that starts it at the title
// to the return to the title (or the quit), is kept as a replay beside the
// high score; watching a recording, a script or a test keeps none.
// In the browser the folder is the page's, which keeps it in local storage.
void GameRun::recordGames() {
  const bool keeps = !options_.headless && options_.highScoreSaves && options_.inputFile.empty();
  if (!keeps) return;
  replaysFolder_ = replaysFolder(options_.highScorePath);
  Session& session = *session_;
  recorder_.emplace(session.game);
  machine::attach(session.game, *recorder_);
  session.gameStarts = [this](uint32_t seed) { recorder_->gameStarts(seed, static_cast<int64_t>(std::time(nullptr))); };
  session.gameEnds = [this] { keepGame(); };
}

// The game just played, played again inside for what its replay claims (the
// frames and the last frame of a fresh run), with the score and high score
// the player saw. A replay that cannot be written is lost with one warning;
// the game goes on.
void GameRun::keepGame() {
  if (!recorder_ || !recorder_->recording()) return;
  const Game& game = session_->game;
  Replay replay = recorder_->gameEnds();
  ReplayPlayed played;
  if (Outcome replayed = playReplayInside(replay, options_.dataFolder, 0, played); !replayed.ok()) {
    warn("warning: the replay of this game is not kept: " + replayed.why());
    return;
  }
  ReplayClaims claims = played.reached;
  claims.score = game.gameState.score;
  claims.highScore = game.gameState.highScore;
  replay.claims = claims;
  Outcome kept = keepReplay(replaysFolder_, replay, std::max(1, session_->gameStage));
  if (!kept.ok()) warn("warning: the replay of this game is not kept in " + replaysFolder_ + ": " + kept.why());
}

// The whole program once started: the main loop (or the one scene asked
// for), then the shutdown's black 640x480 window for half a second.
Task<> GameRun::program() {
  Session& session = *session_;
  if (options_.scene.empty())
    co_await mainLoop(session);
  else
    co_await runOneScene(session, options_.scene);
  if (lent_) co_return;  // the player's window stays as it is
  finalShot();
  tellActivity(session.game, Activity::Leaving);
  backEnd_->devices.display.leaveFullScreen();
  co_await sleepMs(session.game, SHUTDOWN_PAUSE_MS);
}

// The replay watched ended for a seek back (not for the player leaving): it
// starts again from there. False when it simply ended.
bool GameRun::seekAsked() {
  const std::optional<int64_t> seek = viewer_.takeSeek();
  if (!seek || viewer_.leaving()) return false;
  restartAt(*seek);
  return true;
}

int GameRun::runToEnd() {
  loop_->run(*program_);
  for (;;) {
    if (std::optional<std::string> replay = loop_->takeWatch()) {
      startWatching(*replay);
      if (watching_) watching_->runToEnd();
      stopWatching();
      loop_->runOn();
      continue;
    }
    if (!seekAsked()) break;
    loop_->run(*program_);
  }
  return end();
}

bool GameRun::tick() {
  if (watching_) {
    if (!watching_->tick()) {
      watching_->end();
      stopWatching();
    }
    return true;
  }
  if (loop_->tick()) {
    if (std::optional<std::string> replay = loop_->takeWatch()) startWatching(*replay);
    return true;
  }
  return seekAsked();
}

// The player's game waits under the menu while the replay plays; a replay
// that cannot be played is one warning, and the menu stays.
void GameRun::startWatching(const std::string& replay) {
  auto watched = std::make_unique<GameRun>();
  Settings settings = loop_->settings();
  settings.volume = loop_->volume();  // as the player left them, the menu's SOUND included
  settings.mute = loop_->muted();
  const RunOptions options = watchOptions(options_, settings, replay);
  std::optional<int> early = watched->startLent(options, backEnd_->devices);
  if (!early) watching_ = std::move(watched);
}

// Back in the menu, with the volume as the player left it while watching;
// the window's close button, when it quits, quits the game too.
void GameRun::stopWatching() {
  int volume = loop_->volume();
  bool muted = loop_->muted();
  if (watching_) {
    const FrameLoop& watched = *watching_->loop_;
    if (watched.quitReason() == machine::QuitReason::CloseButton)
      machine::requestQuit(session_->game, machine::QuitReason::CloseButton);
    volume = watched.volume();
    muted = watched.muted();
    watching_.reset();
  }
  loop_->cameBack(volume, muted);
}

// However the run ended: a quit keeps a reached high score, as the end of a
// stage would (the clock limit is a harness's stop, not a player's).
int GameRun::end() {
  Game& game = session_->game;
  int code = 0;
  if (std::optional<machine::QuitReason> quit = loop_->quitReason()) {
    program_.reset();  // the scenes end where they stand
    if (*quit == machine::QuitReason::ClockLimit) {
      if (!inside_) warn("the virtual clock passed --max-ms " + std::to_string(options_.maxMs) + "; stopping");
      code = EXIT_CLOCK_LIMIT;
    } else {
      saveHighScoreIfReached(game);
    }
    quitMidway_ = true;
    keepGame();  // a game quit in the middle is kept as far as it went
    finalShot();
    printReports();
    tellActivity(game, Activity::Leaving);
    loop_->tellHost();
  } else {
    program_.reset();
    printReports();
  }
  code = finishReplay(code);
  shutDown();
  backEnd_->devices.host.finished(code);
  return code;
}

// --verify: the verdict, and whether the claims held; --record: the
// session (headless, the script's game) as a replay.
int GameRun::finishReplay(int code) {
  if (!claimsWatch_) return code;
  Game& game = session_->game;
  const ReplayClaims reached = claimsWatch_->reached();
  if (inside_) {
    machine::detach(game, *claimsWatch_);
    played_ = ReplayPlayed{reached, claimsWatch_->stage(), code == EXIT_CLOCK_LIMIT};
    return code;
  }
  if (!options_.verifyFile.empty()) {
    machine::detach(game, *claimsWatch_);
    if (code == EXIT_CLOCK_LIMIT) {
      warn(options_.verifyFile + ": plays longer than one hour of game time");
      return EXIT_BAD_OPTIONS;
    }
    std::printf("%s\n", verdictJson(options_.replay, reached, claimsWatch_->stage()).c_str());
    return std::string(claimsVerdict(options_.replay, reached)) == "broken" ? EXIT_BROKEN_CLAIM : code;
  }
  Replay replay;
  replay.seed = session_->runSeed;
  replay.startHighScore = startHighScore_;
  replay.played = static_cast<int64_t>(std::time(nullptr));
  replay.events = claimsWatch_->events();
  replay.claims = reached;
  if (quitMidway_) replay.endMs = machine::virtualMs(game);  // a replay of it leaves where this run was left
  machine::detach(game, *claimsWatch_);
  Outcome written = os::replaceFile(options_.recordFile, replayText(replay));
  if (!written.ok()) warn("cannot write the replay " + options_.recordFile + ": " + written.why());
  return code;
}

void GameRun::printReports() const {
  if (!harness_) return;
  if (options_.timedemo) std::printf("%s\n", harness_->timedemoReport().c_str());
  if (options_.frameStats) std::printf("%s\n", harness_->framePacingReport().c_str());
}

// What the exit handlers do, in their order: display, sound, sprite images.
void GameRun::shutDown() {
  Game& game = session_->game;
  if (!lent_) backEnd_->devices.display.closeDisplay();
  closeScreen(game);
  if (closeSound(game) && !lent_) std::fputs("FMOD CLOSED\n", stdout);
  destroySpriteTable(game);
  if (recorder_) machine::detach(game, *recorder_);
  if (inside_ || lent_) return;
  os::watchQuitRequests(false);
  std::fflush(nullptr);
}

}  // namespace

Outcome playReplayInside(const Replay& replay, const std::string& dataFolder, int64_t frameLimit,
                         ReplayPlayed& played) {
  if (replay.rules != REPLAY_RULES_VERSION)
    return Outcome::failure("made by rules version " + std::to_string(replay.rules));
  GameRun run;
  if (std::optional<int> early = run.startInside(replay, dataFolder, frameLimit))
    return Outcome::failure("it cannot start (exit code " + std::to_string(*early) + ")");
  run.runToEnd();
  played = run.played();
  return {};
}

int runGame(const std::vector<std::string>& args, bool fullScreen, machine::Observer* watcher) {
  GameRun run;
  if (std::optional<int> early = run.start(args, fullScreen, watcher)) return *early;
  return run.runToEnd();
}

#ifdef __EMSCRIPTEN__
// The page's timer drives the run: it calls quarvel_tick() with the run it
// was handed until that says the run has ended (less than 0).
// clang-format off
EM_JS(void, web_drive, (void* run), {
  if (Module.quarvelPage && Module.quarvelPage.drive) Module.quarvelPage.drive(run);
});
// clang-format on

extern "C" EMSCRIPTEN_KEEPALIVE double quarvel_tick(void* handle) {
  auto* run = static_cast<GameRun*>(handle);
  if (run->tick()) return run->nextTickMs();
  run->end();
  delete run;
  return -1.0;
}

// The page shares a replay as a link: the #replay=DATA of the replay in
// the file at replayPath, written to linkPath; 0 when written, 1 when the
// file is not a replay this game plays.
extern "C" EMSCRIPTEN_KEEPALIVE int quarvel_replay_link(const char* replayPath, const char* linkPath) {
  Replay replay;
  if (!readReplayFile(replayPath, replay).ok() || replay.rules != REPLAY_RULES_VERSION) return 1;
  const std::string link = std::string(REPLAY_LINK_MARKER) + replayLinkData(replay) + "\n";
  return os::replaceFile(linkPath, link).ok() ? 0 : 1;
}

int startGameInPage(const std::vector<std::string>& args, bool fullScreen) {
  auto run = std::make_unique<GameRun>();
  if (std::optional<int> early = run->start(args, fullScreen, nullptr)) {
    backend::tellPageFinished(*early);
    return *early;
  }
  web_drive(run.release());
  return 0;
}
#endif
