// quarvel.ini: reading, and writing back the one value the game changes.
#include "platform/settings.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/harness.h"
#include "platform/platform_state.h"

namespace {

constexpr const char* ACTION_NAMES[ACTION_COUNT] = {"left", "right", "fire", "drop", "fast",
                                                    "slow", "back",  "yes",  "no"};
constexpr const char* DEFAULT_KEYS[ACTION_COUNT] = {"left", "right", "space", "z", "ctrl", "lshift", "esc", "y", "n"};

std::string trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool parseSwitch(const std::string& value, bool& out) {
  for (const char* yes : {"yes", "on", "true", "1"})
    if (value == yes) return out = true, true;
  for (const char* no : {"no", "off", "false", "0"})
    if (value == no) return out = false, true;
  return false;
}

bool parseRange(const std::string& value, int low, int high, int& out) {
  int64_t number = 0;
  if (!parseWholeNumber(value, high, number) || number < low) return false;
  out = static_cast<int>(number);
  return true;
}

// "" when the line is good, else the reason.
std::string applySetting(const std::string& key, const std::string& value, Settings& s) {
  if (key == "fullscreen") {
    if (!parseSwitch(value, s.fullScreen)) return "fullscreen needs yes or no";
    s.fullScreenGiven = true;
  } else if (key == "scale") {
    if (!parseRange(value, 1, 8, s.scale)) return "scale needs a whole number from 1 to 8";
  } else if (key == "vsync") {
    if (!parseSwitch(value, s.vsync)) return "vsync needs yes or no";
  } else if (key == "volume") {
    if (!parseRange(value, 0, 100, s.volume)) return "volume needs a whole number from 0 to 100";
  } else if (key == "sound") {
    if (!parseSwitch(value, s.sound)) return "sound needs on or off";
  } else if (key == "pause_on_focus_loss") {
    if (!parseSwitch(value, s.pauseOnFocusLoss)) return "pause_on_focus_loss needs yes or no";
  } else if (key.rfind("key_", 0) == 0) {
    for (int action = 0; action < ACTION_COUNT; ++action) {
      if (key.substr(4) != ACTION_NAMES[action]) continue;
      if (scanCodeForName(value) < 0)
        return "unknown key name '" + value + "' (esc ctrl lshift space left right enter a-z 0-9)";
      s.keys[action] = value;
      return "";
    }
    return "unknown action '" + key.substr(4) + "'";
  } else {
    return "unknown setting '" + key + "'";
  }
  return "";
}

}  // namespace

const char* actionName(int action) { return action >= 0 && action < ACTION_COUNT ? ACTION_NAMES[action] : ""; }
const char* defaultKeyName(int action) { return action >= 0 && action < ACTION_COUNT ? DEFAULT_KEYS[action] : ""; }

void parseSettings(const std::string& text, const std::string& name, Settings& settings,
                   std::vector<std::string>& problems) {
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    size_t comment = line.find_first_of("#;");
    std::string content = trim(line.substr(0, comment));
    if (content.empty()) continue;
    size_t equals = content.find('=');
    std::string reason;
    if (equals == std::string::npos) {
      reason = "expected 'key = value'";
    } else {
      std::string key = trim(content.substr(0, equals)), value = trim(content.substr(equals + 1));
      Settings tried = settings;
      reason = applySetting(key, value, tried);
      if (reason.empty()) settings = tried;
    }
    if (!reason.empty()) problems.push_back(name + ":" + std::to_string(number) + ": " + reason);
  }
}

bool loadSettingsFile(const std::string& path, Settings& settings, std::vector<std::string>& problems) {
  std::string text;
  FileRead read = readRegularFile(path, SETTINGS_FILE_CAP, text);
  if (read == FileRead::Missing) return false;
  if (read != FileRead::Ok) {
    problems.push_back(path + ": " + fileReadReason(read, SETTINGS_FILE_CAP) + "; the defaults stand");
    return false;
  }
  parseSettings(text, path, settings, problems);
  return true;
}

bool saveSetting(const std::string& path, const std::string& key, const std::string& value) {
  // Only a regular settings file is rewritten; anything else is left alone.
  std::string text;
  FileRead read = readRegularFile(path, SETTINGS_FILE_CAP, text);
  if (read != FileRead::Ok && read != FileRead::Missing) return false;
  std::istringstream lines(text);
  std::string line, out;
  bool replaced = false;
  while (std::getline(lines, line)) {
    std::string content = trim(line.substr(0, line.find_first_of("#;")));
    size_t equals = content.find('=');
    if (!replaced && equals != std::string::npos && trim(content.substr(0, equals)) == key) {
      line = key + " = " + value;
      replaced = true;
    }
    out += line + "\n";
  }
  if (!replaced) out += key + " = " + value + "\n";
  std::error_code error;
  std::filesystem::path file(path);
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), error);
  return replaceFile(path, path + ".new", out);
}

std::string settingsKeysHelp() {
  std::string text =
      "                fullscreen = no            yes: start full screen (quarvel-win too)\n"
      "                scale = 3                  window size: 1 to 8 times 320x240\n"
      "                vsync = no                 yes: wait for the display's vertical blank\n"
      "                volume = 100               master volume, 0 to 100 (- and = in the game)\n"
      "                sound = on                 off: like NOSOUND\n"
      "                pause_on_focus_loss = no   yes: pause when the window loses the focus\n";
  for (int action = 0; action < ACTION_COUNT; ++action) {
    char line[96];
    std::snprintf(line, sizeof line, "                key_%s = %s\n", ACTION_NAMES[action], DEFAULT_KEYS[action]);
    text += line;
  }
  return text;
}
