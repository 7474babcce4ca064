// The player's menu, opened over the held game: sound, display, controls,
// accessibility, replays and quit. Pure logic: the frame loop turns keys,
// buttons and clicks into MenuInput, hands over the key or button the player
// presses while a control waits for one, and acts on what comes back (the
// volume, full screen, the bindings, the settings to save). It never sees
// the game.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"

enum class MenuInput { Up, Down, Left, Right, Choose, Back };

// What the menu shows and changes.
struct MenuValues {
  int volume = 100;
  bool muted = false;
  bool fullScreen = false;
  int scale = 3;
  bool vsync = false;
  bool reduceFlashing = false;
  bool autoFire = false;
  std::array<std::string, ACTION_COUNT> keys;  // key names
  std::array<std::string, ACTION_COUNT> pads;  // button names, "none"
};
// The values of the settings (keys and buttons with their defaults filled in).
MenuValues menuValues(const Settings& settings);
// The settings with the menu's keys and buttons.
void applyBindings(const MenuValues& values, Settings& settings);

// What the loop does after an input.
struct MenuAction {
  enum Kind {
    Nothing,  // the input changed nothing
    Redraw,   // only what the menu shows changed
    Close,    // resume the game
    Volume,   // the volume (and mute) changed
    Mute,
    FullScreen,
    Scale,
    Vsync,
    Accessibility,  // reduce flashing or auto fire
    Bindings,       // keys or buttons
    Quit,           // leave the game as Ctrl+C does
    Watch,          // play the kept replay at replay, then come back to the menu
  } kind = Nothing;
  using Saves = std::vector<std::pair<std::string, std::string>>;
  MenuAction() = default;
  MenuAction(Kind kind, Saves saves, std::string replay = {})
      : kind(kind), saves(std::move(saves)), replay(std::move(replay)) {}
  // The settings to save, as key and value of the settings file.
  Saves saves;
  std::string replay;  // Watch: the replay's file
};

// A kept replay as REPLAYS lists it.
struct MenuReplay {
  std::string line;  // "2026-12-09 08:43 3930 S2"
  std::string path;
};
// REPLAYS lists the newest that fit on the picture.
constexpr size_t MENU_REPLAYS_SHOWN = 12;

// What the platform offers.
struct MenuPlatform {
  bool canQuit = true;        // the browser has no QUIT
  bool windowDetails = true;  // SCALE and VSYNC (the browser: FULL SCREEN only)
  // The replays kept, newest first; none: "NO REPLAYS KEPT".
  std::function<std::vector<MenuReplay>()> replays;
};

// How long a control waits for its new key or button.
constexpr double CAPTURE_MS = 5000.0;

class Menu {
 public:
  enum class Page { Main, Sound, Display, Controls, Accessibility, Replays };

  explicit Menu(MenuPlatform platform = {}) : platform_(std::move(platform)) {}

  void open(const MenuValues& values);  // at RESUME
  void close() { open_ = false; }
  bool isOpen() const { return open_; }

  MenuAction input(MenuInput in, double nowMs);
  // The mouse chose the item on that line.
  MenuAction pick(int item, double nowMs);
  // While a control waits: a key the player pressed (a scan code) or a
  // button (a machine::ControllerButton). Esc and Start cancel; a key or
  // button that cannot be bound is passed over.
  bool capturing() const { return capturing_; }
  MenuAction capturedKey(int scanCode);
  MenuAction capturedButton(int button);
  // The wait for a key ends after CAPTURE_MS: Redraw when it did now.
  MenuAction expire(double nowMs);

  const MenuValues& values() const { return values_; }
  Page page() const { return page_; }
  int cursor() const { return cursor_; }
  std::string heading() const;
  std::vector<std::string> items() const;
  // A line under the items (what a waiting control asks for), or "".
  std::string hint() const;

 private:
  enum class Item {
    Resume,
    Sound,
    Display,
    Controls,
    Accessibility,
    Replays,
    Quit,
    Volume,
    Mute,
    FullScreen,
    Scale,
    Vsync,
    Action,  // one of the nine, by its place
    ResetControls,
    ReduceFlashing,
    AutoFire,
    Replay,
  };
  std::vector<Item> itemsOf(Page page) const;
  MenuAction change(Item item, int step);  // Left -1, Right +1, Choose 0
  MenuAction enter(Page page);
  MenuAction bindKey(int action, const std::string& name);
  MenuAction bindPad(int action, const std::string& name);
  MenuAction bindings(const MenuValues& before);

  MenuPlatform platform_;
  std::vector<MenuReplay> replays_;  // as listed when the REPLAYS page was entered
  MenuValues values_;
  bool open_ = false;
  Page page_ = Page::Main;
  int cursor_ = 0;
  bool capturing_ = false;
  double captureEnd_ = 0.0;
};

// Where the menu's lines stand on the 320x240 picture: the heading, then
// one item a line, then the hint.
constexpr int MENU_HEADING_TOP = 36;
constexpr int MENU_ITEMS_TOP = 60;
constexpr int MENU_LINE_HEIGHT = 12;
// The item at a point of the picture, -1 for none.
int menuItemAt(int y, int itemCount);
