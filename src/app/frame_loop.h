// The app's frame loop: it resumes the scene until the scene asks to wait,
// counts the wait on the machine's clock (the harness plays its script up
// to the new time), shows the picture that changed with the app's overlays
// over it, tells the host what the game is doing, and waits in real time
// while it takes the player's input, until the wait is over; then again,
// until the program ends or a quit comes. Natively it blocks in run(); in
// the browser the page's timer calls tick().
//
// What only a player at the window has lives here too: the menu (P, Pause,
// a controller's Start), the plain pause (a lost focus when chosen, the
// page's own pause in the browser), mute and the volume, F12 screenshots
// and Alt+Enter. None of it reaches the game's pages or a recording: the
// keys are taken before the game sees them, and the menu or a pause holds
// the game between two frames with its clock stopped.
//
// Reduced flashing works on the shown picture alone: the display gets the
// flash filter's picture of the visible page, never the page itself, and
// the game's pages stay as the game drew them (its rules read them back).
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/flashes.h"
#include "app/menu.h"
#include "app/overlays.h"
#include "app/pacing.h"
#include "app/player_input.h"
#include "app/replay_viewer.h"
#include "app/settings.h"
#include "base/task.h"
#include "game/game.h"
#include "machine/backend.h"
#include "machine/control.h"

// The devices of the back end the run plays on.
struct Devices {
  machine::Display& display;
  machine::Input& input;
  machine::Clock& clock;
  machine::Audio& audio;
  machine::Host& host;
};

// What the player chose that the loop acts on.
struct LoopSettings {
  bool windowKeys = false;  // the window's own keys: pause, mute, volume, F12, Alt+Enter
  // The pause key and a controller's Start open the menu even without the
  // window's other keys (the page has its own mute, volume and full screen).
  bool pauseKeyOpensMenu = false;
  bool pauseOnFocusLoss = false;
  int volume = 100;
  bool muted = false;
  // Saves one setting the player changed (volume, mute); none: not saved.
  std::function<void(const std::string& key, const std::string& value)> saveSetting;
  // Where F12 saves, asked at each screenshot.
  std::function<std::string()> screenshotFolder;
  // The replays kept, for the menu's REPLAYS; none: none are kept.
  std::function<std::vector<MenuReplay>()> replays;
  // Watching a replay: the keys are the viewer's, none reaches the game.
  ReplayViewer* viewer = nullptr;
};

class FrameLoop {
 public:
  FrameLoop(Game& game, Devices devices, const Settings& settings, LoopSettings choices);

  // Natively: runs the program to its end, or to a quit (returned), or
  // until the menu asks to watch a replay (takeWatch() says which; runOn()
  // then goes on where the loop stopped).
  std::optional<machine::QuitReason> run(Task<>& program);
  std::optional<machine::QuitReason> runOn();
  // The replay the menu's REPLAYS asked to watch (asked once), or none.
  std::optional<std::string> takeWatch();
  // Back from watching it: the volume as the player left it there, and the
  // held game and the menu shown again.
  void cameBack(int volume, bool muted);

  // In the browser: the page calls tick() from its timer until it returns
  // false (the program ended, or a quit came); nextTickMs() says when it
  // wants the next call.
  void begin(Task<>& program);
  bool tick();
  double nextTickMs();
  std::optional<machine::QuitReason> quitReason() const { return quit_; }

  // Once the game's letters are there (after start-up): a player who left
  // the game silent is told so.
  void sayWhenSilent();
  // What the host is told between frames, now (the quit path's last word).
  void tellHost();

  // The player's state at the window, as the keys left it.
  bool paused() const { return paused_; }
  const Menu& menu() const { return menu_; }
  // The settings as the menu left them (bindings, display, accessibility).
  const Settings& settings() const { return settings_; }
  int volume() const { return choices_.volume; }
  bool muted() const { return choices_.muted; }
  // Reduced flashing, from the settings; it takes effect with the next picture.
  bool reduceFlashing() const { return reduceFlashing_; }
  void setReduceFlashing(bool on);
  // Auto fire, from the settings: holding fire fires as often as the game allows.
  bool autoFire() const { return player_.autoFire(); }
  void setAutoFire(bool on) { player_.setAutoFire(on); }

 private:
  bool step();
  double frameEnd(double nowMs);
  void waitInRealTime();
  void holdWhilePaused();
  void takeInput();
  void handle(const machine::DeviceEvent& event);
  bool windowKey(const machine::DeviceEvent& event);
  void menuKey(const machine::DeviceEvent& event);
  bool menuButton(const machine::DeviceEvent& event);
  void menuClick(const machine::DeviceEvent& event);
  void openMenu();
  void closeMenu();
  void act(const MenuAction& action);
  void present(bool presented);
  const uint32_t* gamePicture() const;
  void setPaused(bool paused, bool byFocus);
  void changeVolume(int step);
  void toggleMute();
  bool showOverlay(const std::string& text);
  void expireOverlay();
  void keepHighScoreForSessionEnd();
  void viewerKey(const machine::DeviceEvent& event);
  void viewerButton(const machine::DeviceEvent& event);
  void viewerPress(ReplayViewer::Key key);
  void holdWhileViewerPaused();
  void tellMenu();

  Game& game_;
  Devices devices_;
  Settings settings_;
  PlayerInput player_;
  LoopSettings choices_;
  Task<>* program_ = nullptr;
  coro::coroutine_handle<> next_;
  machine::SleepAsked sleep_;
  std::optional<machine::QuitReason> quit_;
  FramePacer pacer_;
  double due_ = 0.0;             // browser: when the next step is due
  bool pictureWaiting_ = false;  // virtual clock in a page: a picture not shown yet
  std::vector<machine::DeviceEvent> events_;

  bool paused_ = false;
  bool pausedByFocus_ = false;
  OverlayPicture pausedText_;
  Menu menu_;
  OverlayPicture menuPicture_;
  std::array<bool, SCAN_CODE_COUNT> menuTook_{};  // keys pressed in the menu, until let go
  OverlayPicture overlay_;                        // the volume or MUTED, shown for a moment
  double overlayUntil_ = 0.0;
  std::vector<uint32_t> composed_;
  bool reduceFlashing_ = false;
  FlashFilter flashFilter_;
  const uint32_t* filtered_ = nullptr;  // the filter's picture of the visible page, while reducing flashing
  std::string viewerLabel_;             // REPLAY ..., as painted in viewerText_
  OverlayPicture viewerText_;

  Activity toldActivity_ = Activity::Starting;
  std::optional<int32_t> toldHighScore_;
  int32_t keptHighScore_ = -1;
  bool highScoreKept_ = false;
  bool toldMenuOpen_ = false;
  std::optional<std::string> watchAsked_;
};
