// quarvel.ini: what each key means, reading it, and writing back the values
// the player changes in the window.
#include "app/settings.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iterator>

#include "formats/key_names.h"
#include "formats/script.h"
#include "formats/settings_text.h"
#include "formats/text.h"
#include "os/files.h"

namespace {

constexpr size_t SETTINGS_FILE_CAP = 64u << 10;

constexpr const char* ACTION_NAMES[ACTION_COUNT] = {"left", "right", "fire", "drop", "fast",
                                                    "slow", "back",  "yes",  "no"};
constexpr const char* DEFAULT_KEYS[ACTION_COUNT] = {"left", "right", "space", "z", "ctrl", "lshift", "esc", "y", "n"};

// Every key but the key bindings: its default (fullscreen's is the build's)
// and what it does, as --help and the man page show them.
struct SettingHelp {
  const char* key;
  const char* defaultValue;
  const char* meaning;
};
constexpr SettingHelp SETTINGS_HELP[] = {
    {"fullscreen", nullptr, "yes: start full screen, no: in a window"},
    {"scale", "3", "window size: 1 to 8 times 320x240, fitted to the screen"},
    {"vsync", "no", "yes: wait for the display's vertical blank"},
    {"volume", "100", "master volume, 0 to 100 (- and = in the game)"},
    {"mute", "no", "yes: start muted (M in the game)"},
    {"sound", "on", "off: like NOSOUND"},
    {"pause_on_focus_loss", "no", "yes: pause when the window loses the focus"},
    {"close_button", "ignore", "quit: the close button and Alt+F4 end the game"},
    {"reduce_flashing", "no", "yes: reduce flashing pictures"},
    {"auto_fire", "no", "yes: holding fire fires as often as the game allows"},
};

bool parseSwitch(const std::string& value, bool& out) {
  const std::string word = lowerCase(value);
  for (const char* yes : {"yes", "on", "true", "1"})
    if (word == yes) return out = true, true;
  for (const char* no : {"no", "off", "false", "0"})
    if (word == no) return out = false, true;
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
  } else if (key == "mute") {
    if (!parseSwitch(value, s.mute)) return "mute needs yes or no";
  } else if (key == "sound") {
    if (!parseSwitch(value, s.sound)) return "sound needs on or off";
  } else if (key == "pause_on_focus_loss") {
    if (!parseSwitch(value, s.pauseOnFocusLoss)) return "pause_on_focus_loss needs yes or no";
  } else if (key == "close_button") {
    const std::string choice = lowerCase(value);
    if (choice != "ignore" && choice != "quit") return "close_button needs ignore or quit";
    s.closeButton = choice == "quit" ? CloseButtonChoice::Quit : CloseButtonChoice::Ignore;
  } else if (key == "reduce_flashing") {
    if (!parseSwitch(value, s.reduceFlashing)) return "reduce_flashing needs yes or no";
  } else if (key == "auto_fire") {
    if (!parseSwitch(value, s.autoFire)) return "auto_fire needs yes or no";
  } else if (key.rfind("key_", 0) == 0) {
    for (int action = 0; action < ACTION_COUNT; ++action) {
      if (key.substr(4) != ACTION_NAMES[action]) continue;
      const std::string name = lowerCase(value);
      if (scanCodeForName(name) < 0) return "unknown key name '" + value + "' (" + keyNamesHelp() + ")";
      s.keys[action] = name;
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

std::string printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    }
  }
  return out;
}

void parseSettings(const std::string& text, const std::string& name, Settings& settings,
                   std::vector<std::string>& problems) {
  const SettingsText parsed = parseSettingsText(text);
  // Problems in the order of their lines.
  size_t nextMalformed = 0;
  auto reportMalformedBefore = [&](int line) {
    for (; nextMalformed < parsed.malformed.size() && parsed.malformed[nextMalformed].line < line; ++nextMalformed)
      problems.push_back(name + ":" + std::to_string(parsed.malformed[nextMalformed].line) +
                         ": expected 'key = value'");
  };
  for (const SettingLine& entry : parsed.entries) {
    reportMalformedBefore(entry.line);
    Settings tried = settings;
    std::string reason = applySetting(entry.key, entry.value, tried);
    if (reason.empty())
      settings = tried;
    else
      problems.push_back(name + ":" + std::to_string(entry.line) + ": " + printable(reason));
  }
  reportMalformedBefore(1 << 30);
}

bool loadSettingsFile(const std::string& path, Settings& settings, std::vector<std::string>& problems) {
  std::string text;
  os::FileRead read = os::readRegularFile(path, SETTINGS_FILE_CAP, text);
  if (read == os::FileRead::Missing) return false;
  if (read != os::FileRead::Ok) {
    problems.push_back(path + ": " + os::fileReadReason(read, SETTINGS_FILE_CAP) + "; the defaults stand");
    return false;
  }
  parseSettings(text, path, settings, problems);
  return true;
}

Outcome saveSetting(const std::string& path, const std::string& key, const std::string& value) {
  // Only a regular settings file is rewritten; anything else is left alone.
  std::string text;
  os::FileRead read = os::readRegularFile(path, SETTINGS_FILE_CAP, text);
  if (read != os::FileRead::Ok && read != os::FileRead::Missing)
    return Outcome::failure(os::fileReadReason(read, SETTINGS_FILE_CAP));
  std::filesystem::path file = os::pathFromUtf8(path);
  if (file.has_parent_path()) os::makeFolders(os::utf8FromPath(file.parent_path()));
  return os::replaceFile(path, withSetting(text, key, value));
}

std::vector<std::pair<std::string, std::string>> settingsDefaults(bool fullScreenBuild) {
  std::vector<std::pair<std::string, std::string>> defaults;
  for (const SettingHelp& setting : SETTINGS_HELP)
    defaults.push_back({setting.key, setting.defaultValue != nullptr ? setting.defaultValue
                                     : fullScreenBuild               ? "yes"
                                                                     : "no"});
  for (int action = 0; action < ACTION_COUNT; ++action)
    defaults.push_back({std::string("key_") + ACTION_NAMES[action], DEFAULT_KEYS[action]});
  return defaults;
}

std::string settingsKeysHelp(bool fullScreenBuild) {
  std::string text;
  char line[160];
  const auto defaults = settingsDefaults(fullScreenBuild);
  for (size_t i = 0; i < defaults.size(); ++i) {
    std::string assignment = defaults[i].first + " = " + defaults[i].second;
    const char* meaning = i < std::size(SETTINGS_HELP) ? SETTINGS_HELP[i].meaning : "";
    std::snprintf(line, sizeof line, "                %-28s %s\n", assignment.c_str(), meaning);
    text += line;
  }
  return text;
}
