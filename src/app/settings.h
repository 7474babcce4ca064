// The player's settings: quarvel.ini in the per-user config folder. A bad
// line is reported as FILE:LINE: reason and ignored; a missing file means
// the defaults. Keys and key names are not case-sensitive.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/outcome.h"

// The actions a key can be bound to, each with its key of the script's names.
enum KeyAction {
  ActionLeft,
  ActionRight,
  ActionFire,
  ActionDrop,
  ActionFast,
  ActionSlow,
  ActionBack,
  ActionYes,
  ActionNo,
  ACTION_COUNT
};
const char* actionName(int action);      // "left" ... as in key_left
const char* defaultKeyName(int action);  // "left", "right", "space", "z", "ctrl", "lshift", "esc", "y", "n"
// The controller button each action has by default (pad_left ...): dpleft,
// dpright, a, b, rightshoulder, leftshoulder, back, a, b. Yes and no are
// asked only at a question, so they share A and B with fire and drop.
const char* defaultPadName(int action);
// The button a name stands for (a machine::ControllerButton), -1 for "none";
// false for a name it does not know (names are lower case).
bool padButtonForName(const std::string& name, int& button);
// The name of a button ("none" for -1); "" for one that cannot be bound.
std::string padButtonName(int button);
// Every button name, blank-separated, for messages.
std::string padNamesHelp();
// Whether the action is asked only at a question (yes, no).
bool answerAction(int action);

// What the window's close button (and Alt+F4) does. The game has always let
// it pass as a key no scene reads; players on a desktop may choose to quit.
enum class CloseButtonChoice { Ignore, Quit };

struct Settings {
  bool fullScreenGiven = false;  // otherwise the build decides
  bool fullScreen = false;
  int scale = 3;  // window size in multiples of 320x240, 1 .. 8
  bool vsync = false;
  int volume = 100;  // master volume, 0 .. 100
  bool mute = false;
  bool sound = true;
  bool pauseOnFocusLoss = false;
  CloseButtonChoice closeButton = CloseButtonChoice::Ignore;
  bool reduceFlashing = false;     // the shown picture softens sharp changes of brightness
  bool autoFire = false;           // holding fire fires as often as the game allows
  std::string keys[ACTION_COUNT];  // key names; "" = the default key
  std::string pads[ACTION_COUNT];  // controller button names, "none"; "" = the default button
};

// The action's key and button names, the defaults filled in.
std::string keyNameOf(const Settings& settings, int action);
std::string padNameOf(const Settings& settings, int action);

// Reads settings text over `settings`; every bad line adds "NAME:LINE: reason"
// (with the line's control characters escaped).
void parseSettings(const std::string& text, const std::string& name, Settings& settings,
                   std::vector<std::string>& problems);
// Reads the file; false (settings untouched) when there is none.
bool loadSettingsFile(const std::string& path, Settings& settings, std::vector<std::string>& problems);
// Sets one key in the file, keeping every other line as it is (adds the line
// when missing, creates the file and its folder), replaced atomically.
Outcome saveSetting(const std::string& path, const std::string& key, const std::string& value);
// Every key with its default, in the order --help and the man page list
// them; the default of fullscreen is the build's.
std::vector<std::pair<std::string, std::string>> settingsDefaults(bool fullScreenBuild);
// The keys with their defaults and meanings, for --help.
std::string settingsKeysHelp(bool fullScreenBuild);
// Text fit to echo on a terminal: control characters and bytes above 126 as \xNN.
std::string printable(const std::string& text);
