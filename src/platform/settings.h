// The player's settings: quarvel.ini in the per-user config folder, one
// "key = value" a line, '#' or ';' starting a comment. A bad line is
// reported as FILE:LINE: reason and ignored; a missing file means defaults.
#pragma once

#include <string>
#include <vector>

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

struct Settings {
  bool fullScreenGiven = false;  // otherwise the build decides
  bool fullScreen = false;
  int scale = 3;  // window size in multiples of 320x240, 1 .. 8
  bool vsync = false;
  int volume = 100;  // master volume, 0 .. 100
  bool sound = true;
  bool pauseOnFocusLoss = false;
  std::string keys[ACTION_COUNT];  // key names; "" = the default key
};

// Reads settings text over `settings`; every bad line adds "NAME:LINE: reason".
void parseSettings(const std::string& text, const std::string& name, Settings& settings,
                   std::vector<std::string>& problems);
// Reads the file; false (settings untouched) when there is none.
bool loadSettingsFile(const std::string& path, Settings& settings, std::vector<std::string>& problems);
// Sets one key in the file, keeping every other line as it is (adds the line
// when missing, creates the file and its folder). Written atomically.
bool saveSetting(const std::string& path, const std::string& key, const std::string& value);
// The text of a settings file with every key at its value, for --help and the man page.
std::string settingsKeysHelp();
