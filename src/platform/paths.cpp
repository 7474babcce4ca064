// The data search and the per-user folders.
#include "platform/paths.h"

#ifndef __EMSCRIPTEN__
#include <SDL.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/platform_state.h"

namespace fs = std::filesystem;

namespace {

bool holdsSheet(const fs::path& folder) {
  std::error_code error;
  return fs::is_regular_file(folder / "graphics" / "graphics.bmp", error);
}

// The browser build has no executable folder: its data sits in the working
// directory of its packaged file system.
std::string systemExecutableFolder() {
#ifdef __EMSCRIPTEN__
  return "";
#else
  char* base = SDL_GetBasePath();
  if (base == nullptr) return "";
  std::string folder = base;
  SDL_free(base);
  return folder;
#endif
}

// An XDG variable when it holds an absolute path, else HOME + fallback.
std::string xdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return "";
  return std::string(home) + "/" + fallback;
}

}  // namespace

DataSearch findGameData(const std::string& dataOption, const std::string& executableFolder) {
  DataSearch search;
  std::error_code error;
  std::vector<std::pair<fs::path, bool>> candidates;  // folder, is the working directory
  if (!dataOption.empty()) candidates.push_back({fs::path(dataOption), false});
  candidates.push_back({fs::current_path(error), true});
  std::string exe = executableFolder.empty() ? systemExecutableFolder() : executableFolder;
  if (!exe.empty()) {
    candidates.push_back({fs::path(exe), false});
    candidates.push_back({fs::path(exe) / ".." / "share" / "quarvel", false});
  }
  for (const auto& [folder, isWorking] : candidates) {
    fs::path shown = folder.lexically_normal();
    if (!shown.empty() && shown.string().size() > 1 && shown.string().back() == '/') shown = shown.parent_path();
    if (std::find(search.searched.begin(), search.searched.end(), shown.string()) != search.searched.end()) continue;
    search.searched.push_back(shown.string());
    if (!holdsSheet(folder)) continue;
    search.found = true;
    search.fromWorkingDirectory = isWorking;
    search.folder = isWorking ? "" : shown.string();
    break;
  }
  return search;
}

std::string dataPath(const std::string& relative) {
  const std::string& folder = platform().options.dataFolder;
  return folder.empty() ? relative : folder + "/" + relative;
}

std::string userDataFolder() {
  std::string base = xdgFolder("XDG_DATA_HOME", ".local/share");
  return base.empty() ? "" : base + "/quarvel";
}

std::string userConfigFolder() {
  std::string base = xdgFolder("XDG_CONFIG_HOME", ".config");
  return base.empty() ? "" : base + "/quarvel";
}

// user-dirs.dirs holds lines such as XDG_PICTURES_DIR="$HOME/Pictures".
std::string userPicturesFolder() {
  std::string config = xdgFolder("XDG_CONFIG_HOME", ".config");
  if (config.empty()) return "";
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  const std::string key = "XDG_PICTURES_DIR=\"";
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    size_t quote = value.find('"');
    if (quote == std::string::npos) return "";
    value.resize(quote);
    if (value.rfind("$HOME", 0) == 0) {
      const char* home = std::getenv("HOME");
      if (home == nullptr) return "";
      value = home + value.substr(5);
    }
    std::error_code error;
    return value[0] == '/' && fs::is_directory(value, error) ? value : "";
  }
  return "";
}

bool makeFolders(const std::string& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  return fs::is_directory(folder, error);
}

void showErrorBox(const std::string& text) {
#ifdef __EMSCRIPTEN__
  (void)text;  // the page shows the game's error line itself
#else
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Quarvel", text.c_str(), nullptr);
#endif
}
