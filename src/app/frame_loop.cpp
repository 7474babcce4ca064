#include "app/frame_loop.h"

#include <algorithm>
#include <utility>

#ifndef __EMSCRIPTEN__
#include "app/screenshot.h"
#endif
#include "base/keys.h"
#include "base/viewer_keys.h"
#include "formats/hiscore_text.h"
#include "machine/observer.h"

namespace {

constexpr double IDLE_WAIT_MS = 20.0;     // at most, between two looks at a still title or question
constexpr double PAUSED_WAKE_MS = 100.0;  // a paused game looks at its events this often
constexpr double WAIT_STEP_MS = 2.0;      // a waiting game looks at its events this often
constexpr double OVERLAY_MS = 1000.0;     // how long the volume or MUTED stays up
constexpr int VOLUME_STEP = 10;
constexpr int MAX_VOLUME = 100;
// In the page: a script on the virtual clock runs this long between two
// turns of the page, and a game running flat out (Ctrl in stage three)
// lets the page paint after this long.
constexpr double VIRTUAL_SLICE_MS = 50.0;
constexpr double FLAT_OUT_SLICE_MS = 16.0;

bool stillPicture(Activity activity, int ms) {
  return (activity == Activity::Title || activity == Activity::Question) && ms <= 1;
}

// The menu offers what the platform has: the browser cannot quit, and its
// display is the page's.
MenuPlatform menuPlatform(const LoopSettings& choices) {
  MenuPlatform platform;
#ifdef __EMSCRIPTEN__
  platform.canQuit = false;
  platform.windowDetails = false;
#endif
  platform.replays = choices.replays;
  return platform;
}

}  // namespace

FrameLoop::FrameLoop(Game& game, Devices devices, const Settings& settings, LoopSettings choices)
    : game_(game),
      devices_(devices),
      settings_(settings),
      player_(settings),
      choices_(std::move(choices)),
      menu_(menuPlatform(choices_)),
      reduceFlashing_(settings.reduceFlashing) {}

void FrameLoop::begin(Task<>& program) {
  program_ = &program;
  next_ = program.start();
}

// The scene runs until it asks to wait; the wait is counted on the clock
// (the harness plays its script up to the new time), what changed is shown
// and the host is told. False when the program has ended or a quit came.
bool FrameLoop::step() {
  program_->resumeAt(next_);
  if (program_->done()) {
    program_->result();  // a failure inside the game goes on from here
    return false;
  }
  std::optional<machine::SleepAsked> asked = machine::takeSleep(game_);
  if (!asked) return false;  // a scene waits on nothing but sleeps: it cannot go on
  sleep_ = *asked;
  next_ = sleep_.scene;
  machine::passTime(game_, sleep_.ms);
  if (std::optional<machine::ChangedPage> changed = machine::takeChangedPage(game_)) {
    if (reduceFlashing_) filtered_ = flashFilter_.show(machine::visiblePage(game_));
    present(changed->presented);
    if (changed->presented) player_.betweenFrames(machine::deviceInput(game_), machine::activity(game_));
  }
  tellHost();
  quit_ = machine::takeQuitRequest(game_);
  return !quit_;
}

std::optional<machine::QuitReason> FrameLoop::run(Task<>& program) {
  begin(program);
  if (!step()) return quit_;
  return runOn();
}

// After a step: its wait, then the next steps, until the end, a quit or a
// replay the menu asked to watch (the loop stops inside its wait; runOn()
// again goes on from there).
std::optional<machine::QuitReason> FrameLoop::runOn() {
  ReplayViewer* viewer = choices_.viewer;
  do {
    const bool catchingUp = viewer != nullptr && viewer->catchingUp(machine::framesPresented(game_));
    if (devices_.clock.real() && !catchingUp) waitInRealTime();
    if (watchAsked_) return std::nullopt;
    quit_ = machine::takeQuitRequest(game_);
    if (quit_) break;
  } while (step());
  return quit_;
}

std::optional<std::string> FrameLoop::takeWatch() { return std::exchange(watchAsked_, std::nullopt); }

void FrameLoop::cameBack(int volume, bool muted) {
  if (volume != choices_.volume || muted != choices_.muted) {
    choices_.volume = volume;
    choices_.muted = muted;
    devices_.audio.setMasterVolume(volume, muted);
  }
  devices_.display.showPointer(menu_.isOpen());  // the replay hid it
  present(false);
}

// When the scene's wait ends, on the real clock, counted from the moment its
// frame started being shown: shorter by the speed of a replay watched.
double FrameLoop::frameEnd(double nowMs) {
  const double end = pacer_.waitEnd(nowMs, sleep_.ms);
  if (choices_.viewer == nullptr) return end;
  const double wait = static_cast<double>(sleep_.ms);
  return end - wait + wait / choices_.viewer->speed();
}

// The wait the scene asked for, on the real clock, counted from the moment
// its frame started being shown; the player's input is taken meanwhile.
void FrameLoop::waitInRealTime() {
  machine::Clock& clock = devices_.clock;
  double end = frameEnd(clock.nowMs());
  // At the title and at a question nothing moves until the player does, and
  // the game waits a millisecond at a time: the loop sleeps until the
  // player's next event instead, so a still picture costs next to nothing.
  if (stillPicture(machine::activity(game_), sleep_.ms) && !paused_) {
    clock.sleepUntil(clock.nowMs() + IDLE_WAIT_MS, true);
    end = 0.0;  // one look at the events, below, and the wait is over
  }
  for (;;) {
    takeInput();
    if (choices_.viewer != nullptr && choices_.viewer->paused()) {
      const double pausedAt = clock.nowMs();
      holdWhileViewerPaused();
      end += clock.nowMs() - pausedAt;
    }
    if (paused_) {  // the rest of this wait comes after the pause
      const double pausedAt = clock.nowMs();
      holdWhilePaused();
      end += clock.nowMs() - pausedAt;
      if (watchAsked_) return;
    }
    expireOverlay();
    if (sleep_.untilKey && machine::deviceInput(game_).keyQueued()) return;
    if (machine::quitPending(game_)) return;
    const double now = clock.nowMs();
    if (now >= end) return;
    clock.sleepUntil(std::min(end, now + WAIT_STEP_MS), false);
  }
}

// The game waits here, its clock stopped, until the pause ends (or a quit
// comes), looking at its events when one comes or a tenth of a second has
// passed, so a paused game costs next to nothing.
void FrameLoop::holdWhilePaused() {
  machine::Clock& clock = devices_.clock;
  while (paused_ && !machine::quitPending(game_) && !watchAsked_) {
    clock.sleepUntil(clock.nowMs() + PAUSED_WAKE_MS, true);
    takeInput();
    act(menu_.expire(clock.nowMs()));
    expireOverlay();
  }
}

// A replay watched and paused: held until it plays on, a frame is stepped
// (the rest of this wait is then skipped) or the viewer leaves.
void FrameLoop::holdWhileViewerPaused() {
  machine::Clock& clock = devices_.clock;
  ReplayViewer& viewer = *choices_.viewer;
  while (viewer.paused() && !machine::quitPending(game_)) {
    if (viewer.takeStep()) return;
    clock.sleepUntil(clock.nowMs() + PAUSED_WAKE_MS, true);
    takeInput();
    expireOverlay();
  }
}

bool FrameLoop::tick() {
  takeInput();
  quit_ = machine::takeQuitRequest(game_);
  if (quit_) return false;
  if (paused_) {
    act(menu_.expire(devices_.clock.nowMs()));
    tellMenu();
    expireOverlay();
    return true;
  }
  machine::Clock& clock = devices_.clock;
  const double start = clock.nowMs();
  // A key for a still title or question, or for a wait a key ends: at once.
  const bool keyWaits = sleep_.untilKey || stillPicture(machine::activity(game_), sleep_.ms);
  if (keyWaits && machine::deviceInput(game_).keyQueued()) due_ = std::min(due_, start);
  if (!clock.real()) {
    do {
      if (!step()) return false;
    } while (clock.nowMs() - start < VIRTUAL_SLICE_MS);
    if (pictureWaiting_) devices_.display.show(gamePicture());
    pictureWaiting_ = false;
    return true;
  }
  ReplayViewer* viewer = choices_.viewer;
  if (viewer != nullptr && viewer->paused()) {  // held, but for a frame stepped
    if (!viewer->takeStep()) return true;
    due_ = start;
  }
  double now = start;
  while (now >= due_) {
    if (!step()) return false;
    now = clock.nowMs();
    due_ = frameEnd(now);
    if (viewer != nullptr) {  // a replay watched: at once while catching up, one frame while paused
      if (viewer->catchingUp(machine::framesPresented(game_))) due_ = now;
      if (viewer->paused()) break;
    }
    if (stillPicture(machine::activity(game_), sleep_.ms)) due_ = now + IDLE_WAIT_MS;  // the page wakes us on input
    if (sleep_.untilKey && machine::deviceInput(game_).keyQueued()) due_ = now;
    if (now - start >= FLAT_OUT_SLICE_MS) break;
  }
  expireOverlay();
  return true;
}

double FrameLoop::nextTickMs() {
  if (!devices_.clock.real()) return 0.0;
  if (paused_ || (choices_.viewer != nullptr && choices_.viewer->paused())) return PAUSED_WAKE_MS;
  return std::max(0.0, due_ - devices_.clock.nowMs());
}

void FrameLoop::takeInput() {
  events_.clear();
  devices_.input.takeEvents(events_);
  for (const machine::DeviceEvent& event : events_) handle(event);
  tellMenu();
}

void FrameLoop::handle(const machine::DeviceEvent& event) {
  using machine::DeviceEvent;
  const machine::InputSink& input = machine::deviceInput(game_);
  const Activity activity = machine::activity(game_);
  switch (event.kind) {
    case DeviceEvent::CloseButton: input.closeButton(); break;
    case DeviceEvent::FocusLost:
      if (choices_.pauseOnFocusLoss && activity == Activity::Play) setPaused(true, true);
      break;
    case DeviceEvent::FocusGained:
      if (pausedByFocus_) setPaused(false, false);
      break;
    case DeviceEvent::PauseAsked: setPaused(event.on, false); break;
    case DeviceEvent::SessionEnding: machine::requestQuit(game_, machine::QuitReason::Signal); break;
    case DeviceEvent::MouseClick: menuClick(event); break;
    case DeviceEvent::VolumeSet:  // the page has set and kept it; the menu shows it
      choices_.volume = std::clamp(event.volume, 0, MAX_VOLUME);
      choices_.muted = event.on;
      break;
    case DeviceEvent::MenuAsked:
      if (choices_.viewer != nullptr)
        viewerPress(ReplayViewer::Key::Leave);  // the page's Menu button: back to the menu
      else if (menu_.isOpen())
        closeMenu();
      else if (!paused_)
        openMenu();
      break;
    case DeviceEvent::ButtonDown:
    case DeviceEvent::ButtonUp:
      if (choices_.viewer != nullptr) {
        viewerButton(event);
        break;
      }
      if (menuButton(event)) break;
      // While the menu is open, only releases reach the game.
      if (paused_ && event.kind != DeviceEvent::ButtonUp) break;
      player_.button(event, input, activity);
      break;
    case DeviceEvent::KeyDown:
    case DeviceEvent::KeyRepeat:
    case DeviceEvent::KeyUp:
      if (choices_.viewer != nullptr) {
        viewerKey(event);
        break;
      }
      // A key the menu took is the menu's until it is let go; keys held
      // before it opened are let go in the game.
      if (event.scanCode >= 0 && event.scanCode < SCAN_CODE_COUNT) {
        const auto code = static_cast<size_t>(event.scanCode);
        if (event.kind == DeviceEvent::KeyUp && menuTook_[code]) {
          menuTook_[code] = false;
          break;
        }
        if (menu_.isOpen() && event.kind != DeviceEvent::KeyUp) menuTook_[code] = true;
      }
      if (menu_.isOpen() && event.kind != DeviceEvent::KeyUp) {
        menuKey(event);
        break;
      }
      if (windowKey(event)) break;
      // While paused the game takes no new presses; releases still count,
      // so that nothing stays held after the pause.
      if (paused_ && event.kind != DeviceEvent::KeyUp) break;
      if (choices_.windowKeys && event.kind != DeviceEvent::KeyUp && event.scanCode == SC_ENTER && event.alt) {
        if (event.kind == DeviceEvent::KeyDown) devices_.display.toggleFullScreen();
        break;
      }
      player_.key(event, input);
      break;
  }
}

// Watching a replay: the viewer's keys, and the window's own but pause.
void FrameLoop::viewerKey(const machine::DeviceEvent& event) {
  using machine::DeviceEvent;
  using Key = ReplayViewer::Key;
  const bool pauseKey = event.windowKey == DeviceEvent::PauseKey || event.letter == 'p' || event.letter == 'P';
  if (!pauseKey && windowKey(event)) return;
  if (event.kind != DeviceEvent::KeyDown) return;
  if (pauseKey)
    viewerPress(Key::Pause);
  else if (event.scanCode == SC_RIGHT)
    viewerPress(Key::Faster);
  else if (event.scanCode == SC_LEFT)
    viewerPress(Key::Slower);
  else if (event.scanCode == SC_PERIOD)
    viewerPress(Key::Step);
  else if (event.scanCode == SC_ESC)
    viewerPress(Key::Leave);
}

// A controller in the viewer: the d-pad's sides change the speed, Start
// pauses, A steps, B and Back leave; no button reaches the replay's game.
void FrameLoop::viewerButton(const machine::DeviceEvent& event) {
  using Key = ReplayViewer::Key;
  if (event.kind != machine::DeviceEvent::ButtonDown) return;
  switch (event.button) {
    case machine::PadRight:
    case machine::PadStickRight: viewerPress(Key::Faster); break;
    case machine::PadLeft:
    case machine::PadStickLeft: viewerPress(Key::Slower); break;
    case machine::PadStart: viewerPress(Key::Pause); break;
    case machine::PadA: viewerPress(Key::Step); break;
    case machine::PadB:
    case machine::PadBack: viewerPress(Key::Leave); break;
    default: break;
  }
}

void FrameLoop::viewerPress(ReplayViewer::Key key) {
  ReplayViewer& viewer = *choices_.viewer;
  viewer.press(key, machine::framesPresented(game_));
  if (viewer.leaving() || viewer.seekWanted()) machine::requestQuit(game_, machine::QuitReason::Signal);
  present(false);
}

// The window's own keys; true when the key was one of them.
bool FrameLoop::windowKey(const machine::DeviceEvent& event) {
  using machine::DeviceEvent;
  if (event.windowKey == DeviceEvent::NotWindowKey) return false;
  if (!choices_.windowKeys && !(choices_.pauseKeyOpensMenu && event.windowKey == DeviceEvent::PauseKey)) return false;
  if (event.scanCode >= 0 && player_.boundToAction(event.scanCode)) return false;  // the game's
  const bool first = event.kind == DeviceEvent::KeyDown;
  const bool down = event.kind != DeviceEvent::KeyUp;
  switch (event.windowKey) {
    case DeviceEvent::ScreenshotKey:
#ifndef __EMSCRIPTEN__  // the browser has its own (and no PNG writer here)
      if (first)
        saveScreenshot(machine::visiblePage(game_), devices_.display.pictureFactor(),
                       choices_.screenshotFolder ? choices_.screenshotFolder() : "");
#endif
      break;
    case DeviceEvent::PauseKey:  // the menu, or the end of a plain pause
      if (first && paused_)
        setPaused(false, false);
      else if (first)
        openMenu();
      break;
    case DeviceEvent::MuteKey:
      if (first) toggleMute();
      break;
    case DeviceEvent::QuieterKey:
      if (down) changeVolume(-VOLUME_STEP);
      break;
    case DeviceEvent::LouderKey:
      if (down) changeVolume(VOLUME_STEP);
      break;
    case DeviceEvent::NotWindowKey: break;
  }
  return true;
}

// The visible page, with the pause or an overlay laid over it. On a
// virtual clock nothing waits for a picture: the page is shown when it
// gets its turn (and headless, never).
void FrameLoop::present(bool presented) {
  machine::Clock& clock = devices_.clock;
  if (!clock.real()) {
    pictureWaiting_ = true;
    return;
  }
  if (presented) pacer_.presenting(clock.nowMs());
  const uint32_t* page = gamePicture();
  ReplayViewer* viewer = choices_.viewer;
  if (viewer != nullptr && viewer->catchingUp(machine::framesPresented(game_))) return;
  if (viewer != nullptr && (viewer->label() != viewerLabel_ || viewerText_.pixels.empty())) {
    viewerLabel_ = viewer->label();
    viewerText_ = paintLettering(game_, viewerLabel_);
  }
  if (!paused_ && overlay_.pixels.empty() && viewerText_.pixels.empty()) {
    devices_.display.show(page);
    return;
  }
  composed_.resize(static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT);
  if (menu_.isOpen())
    drawMenuPicture(page, menuPicture_, composed_.data());
  else if (paused_)
    drawPausedPicture(page, pausedText_, composed_.data());
  else
    std::copy(page, page + composed_.size(), composed_.begin());
  if (!overlay_.pixels.empty()) layOver(composed_.data(), overlay_, OVERLAY_TOP);
  if (!viewerText_.pixels.empty() && !paused_) layOver(composed_.data(), viewerText_, PAUSED_TOP);
  devices_.display.show(composed_.data());
}

// What the display shows of the game: its visible page, or while reducing
// flashing the filter's picture of it.
const uint32_t* FrameLoop::gamePicture() const {
  return filtered_ != nullptr ? filtered_ : machine::visiblePage(game_);
}

// The filter starts from the picture shown now.
void FrameLoop::setReduceFlashing(bool on) {
  if (on == reduceFlashing_) return;
  reduceFlashing_ = on;
  flashFilter_ = FlashFilter{};
  filtered_ = on ? flashFilter_.show(gamePicture()) : nullptr;
}

void FrameLoop::setPaused(bool paused, bool byFocus) {
  if (!paused && menu_.isOpen()) {  // the page's own pause ended: the menu goes with it
    menu_.close();
    devices_.display.showPointer(false);
  }
  if (paused == paused_) return;
  if (paused && pausedText_.pixels.empty()) pausedText_ = paintLettering(game_, "PAUSED");
  paused_ = paused;
  pausedByFocus_ = paused && byFocus;
  present(false);
}

// The menu's keys: arrows move and change, Space and Enter choose, Esc
// goes back, P closes; while a control waits, the next key is its own.
void FrameLoop::menuKey(const machine::DeviceEvent& event) {
  using machine::DeviceEvent;
  const bool first = event.kind == DeviceEvent::KeyDown;
  if (menu_.capturing()) {
    if (first && event.scanCode >= 0) act(menu_.capturedKey(event.scanCode));
    return;
  }
  if (event.windowKey == DeviceEvent::PauseKey && !player_.boundToAction(event.scanCode)) {
    if (first) closeMenu();
    return;
  }
  if (event.windowKey == DeviceEvent::ScreenshotKey) {
    windowKey(event);
    return;
  }
  if (event.alt) return;  // Alt+Enter is not a choice
  const double now = devices_.clock.nowMs();
  switch (event.scanCode) {
    case SC_UP: act(menu_.input(MenuInput::Up, now)); break;
    case SC_DOWN: act(menu_.input(MenuInput::Down, now)); break;
    case SC_LEFT: act(menu_.input(MenuInput::Left, now)); break;
    case SC_RIGHT: act(menu_.input(MenuInput::Right, now)); break;
    case SC_ENTER:
    case SC_SPACE:
      if (first) act(menu_.input(MenuInput::Choose, now));
      break;
    case SC_ESC:
      if (first) act(menu_.input(MenuInput::Back, now));
      break;
    default: break;
  }
}

// A controller's Start opens the menu (unless the player gave it an
// action); in the menu the d-pad and the stick move and change, A chooses,
// B and Back go back, Start closes. True when the button was the menu's.
bool FrameLoop::menuButton(const machine::DeviceEvent& event) {
  using machine::DeviceEvent;
  const bool menuWanted = choices_.windowKeys || choices_.pauseKeyOpensMenu;
  if (!menuWanted || event.kind != DeviceEvent::ButtonDown) return false;
  if (!menu_.isOpen()) {
    if (event.button != machine::PadStart || player_.buttonBound(machine::PadStart) || paused_) return false;
    openMenu();
    return true;
  }
  if (menu_.capturing()) {
    act(menu_.capturedButton(event.button));
    return true;
  }
  const double now = devices_.clock.nowMs();
  switch (event.button) {
    case machine::PadUp:
    case machine::PadStickUp: act(menu_.input(MenuInput::Up, now)); break;
    case machine::PadDown:
    case machine::PadStickDown: act(menu_.input(MenuInput::Down, now)); break;
    case machine::PadLeft:
    case machine::PadStickLeft: act(menu_.input(MenuInput::Left, now)); break;
    case machine::PadRight:
    case machine::PadStickRight: act(menu_.input(MenuInput::Right, now)); break;
    case machine::PadA: act(menu_.input(MenuInput::Choose, now)); break;
    case machine::PadB:
    case machine::PadBack: act(menu_.input(MenuInput::Back, now)); break;
    case machine::PadStart: closeMenu(); break;
    default: break;
  }
  return true;
}

// A click on an item chooses it.
void FrameLoop::menuClick(const machine::DeviceEvent& event) {
  if (!menu_.isOpen() || event.x < 0 || event.x >= SCREEN_WIDTH) return;
  const int item = menuItemAt(event.y, static_cast<int>(menu_.items().size()));
  act(menu_.pick(item, devices_.clock.nowMs()));
}

// Over the held game, with the values as they are now (- and =, M and
// Alt+Enter change them outside the menu). Not before the letters are there.
void FrameLoop::openMenu() {
  if (game_.spriteTable.sheet == nullptr) return;
  MenuValues values = menuValues(settings_);
  values.volume = choices_.volume;
  values.muted = choices_.muted;
  values.fullScreen = devices_.display.fullScreen();
  menu_.open(values);
  menuPicture_ = paintMenu(game_, menu_);
  devices_.display.showPointer(true);
  setPaused(true, false);
}

void FrameLoop::closeMenu() {
  menu_.close();
  devices_.display.showPointer(false);
  setPaused(false, false);
}

// What the menu changed, done and saved; then the menu drawn again.
void FrameLoop::act(const MenuAction& action) {
  const MenuValues& values = menu_.values();
  switch (action.kind) {
    case MenuAction::Nothing: return;
    case MenuAction::Close: closeMenu(); return;
    case MenuAction::Quit:
      closeMenu();
      machine::requestQuit(game_, machine::QuitReason::Signal);  // as Ctrl+C
      return;
    case MenuAction::Volume:
    case MenuAction::Mute:
      choices_.volume = values.volume;
      choices_.muted = values.muted;
      devices_.audio.setMasterVolume(choices_.volume, choices_.muted);
      break;
    case MenuAction::FullScreen:
      if (devices_.display.fullScreen() != values.fullScreen) devices_.display.toggleFullScreen();
      break;
    case MenuAction::Scale:
      settings_.scale = values.scale;
      devices_.display.setScale(values.scale);
      break;
    case MenuAction::Vsync:
      settings_.vsync = values.vsync;
      devices_.display.setVsync(values.vsync);
      break;
    case MenuAction::Accessibility:
      settings_.reduceFlashing = values.reduceFlashing;
      settings_.autoFire = values.autoFire;
      setReduceFlashing(values.reduceFlashing);
      setAutoFire(values.autoFire);
      break;
    case MenuAction::Bindings:
      applyBindings(values, settings_);
      player_.rebind(settings_);
      break;
    case MenuAction::Watch:
      watchAsked_ = action.replay;  // the run plays it, then this loop goes on
      return;
    case MenuAction::Redraw: break;
  }
  if (choices_.saveSetting)
    for (const auto& [key, value] : action.saves) choices_.saveSetting(key, value);
  menuPicture_ = paintMenu(game_, menu_);
  present(false);
}

void FrameLoop::changeVolume(int step) {
  const bool wasMuted = choices_.muted;
  choices_.volume = std::clamp(choices_.volume + step, 0, MAX_VOLUME);
  choices_.muted = false;
  devices_.audio.setMasterVolume(choices_.volume, choices_.muted);
  showOverlay("VOLUME " + std::to_string(choices_.volume));
  if (choices_.saveSetting) {
    choices_.saveSetting("volume", std::to_string(choices_.volume));
    if (wasMuted) choices_.saveSetting("mute", "no");
  }
}

void FrameLoop::toggleMute() {
  choices_.muted = !choices_.muted;
  devices_.audio.setMasterVolume(choices_.volume, choices_.muted);
  showOverlay(choices_.muted ? "MUTED" : "VOLUME " + std::to_string(choices_.volume));
  if (choices_.saveSetting) choices_.saveSetting("mute", choices_.muted ? "yes" : "no");
}

void FrameLoop::sayWhenSilent() {
  if (!choices_.windowKeys) return;
  if (choices_.muted)
    showOverlay("MUTED");
  else if (choices_.volume == 0)
    showOverlay("VOLUME 0");
}

// False (nothing shown) before the letters are there.
bool FrameLoop::showOverlay(const std::string& text) {
  overlay_ = paintLettering(game_, text);
  if (overlay_.pixels.empty()) return false;
  overlayUntil_ = devices_.clock.nowMs() + OVERLAY_MS;
  present(false);
  return true;
}

void FrameLoop::expireOverlay() {
  if (overlay_.pixels.empty() || devices_.clock.nowMs() < overlayUntil_) return;
  overlay_ = OverlayPicture{};
  present(false);
}

void FrameLoop::tellHost() {
  machine::Host& host = devices_.host;
  const Activity activity = machine::activity(game_);
  if (activity != toldActivity_) {
    toldActivity_ = activity;
    host.activityChanged(activity);
  }
  const std::optional<int32_t> highScore = machine::toldHighScore(game_);
  if (highScore && highScore != toldHighScore_) {
    toldHighScore_ = highScore;
    host.highScoreChanged(*highScore);
  }
  if (choices_.windowKeys) keepHighScoreForSessionEnd();
}

// The host hears when the menu opens or closes, however it did.
void FrameLoop::tellMenu() {
  if (menu_.isOpen() == toldMenuOpen_) return;
  toldMenuOpen_ = menu_.isOpen();
  devices_.host.menuChanged(toldMenuOpen_);
}

// Should the desktop end the session before the next frame, a reached high
// score is saved as a stage end would save it.
void FrameLoop::keepHighScoreForSessionEnd() {
  const GameState& state = game_.gameState;
  const HighScoreStorage& storage = game_.highScoreStorage;
  const bool reached = state.score == state.highScore && storage.savesAllowed;
  if (reached == highScoreKept_ && (!reached || state.highScore == keptHighScore_)) return;
  highScoreKept_ = reached;
  keptHighScore_ = state.highScore;
  if (reached && whyNotReplaceable(storage.path, HIGH_SCORE_FILE_CAP).empty())
    devices_.host.keepOnSessionEnd(storage.path, highScoreText(state.highScore));
  else
    devices_.host.keepOnSessionEnd("", "");
}
