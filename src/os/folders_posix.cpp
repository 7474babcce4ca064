// Folders on Linux and other XDG desktops.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "os/folders.h"

namespace os {

namespace {

// An XDG variable when it holds an absolute path, else HOME + fallback.
std::string xdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return "";
  return std::string(home) + "/" + fallback;
}

}  // namespace

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
    return !value.empty() && value[0] == '/' && std::filesystem::is_directory(value, error) ? value : "";
  }
  return "";
}

std::string programFolder() {
#ifdef __EMSCRIPTEN__
  return "";  // the browser's data sits in the working folder of its packaged file system
#else
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  std::string exe(path, static_cast<size_t>(length));
  size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "" : exe.substr(0, slash + 1);
#endif
}

bool programFolderFirst() { return false; }

}  // namespace os
