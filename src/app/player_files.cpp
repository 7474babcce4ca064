// Where this run finds its data and keeps its high score.
//   data: --data DIR, the working directory, the program's folder,
//         ../share/quarvel beside the program (on Windows the program's
//         folder before the working directory: an unpacked zip is a
//         portable install, wherever it is started from);
//   high score: --hiscore FILE; else hiscore.txt in the working directory
//         when the data came from there (the classic layout); else the
//         per-user data folder.
//   settings: --config FILE, else quarvel.ini in the per-user config folder
//         (window runs only: a headless run reads settings only from --config);
//         the command line wins over the file.
// Watching a recording in the window never saves the high score.
#include "app/player_files.h"

#include <algorithm>
#include <filesystem>

#include "base/messages.h"
#include "game/hiscore.h"
#include "os/files.h"
#include "os/folders.h"

namespace fs = std::filesystem;

namespace {

bool holdsSheet(const fs::path& folder) {
  std::error_code error;
  return fs::is_regular_file(folder / "graphics" / "graphics.bmp", error);
}

}  // namespace

DataSearch findGameData(const std::string& dataOption, const std::string& programFolder) {
  DataSearch search;
  std::error_code error;
  std::vector<std::pair<fs::path, bool>> candidates;  // folder, is the working directory
  if (!dataOption.empty()) candidates.push_back({os::pathFromUtf8(dataOption), false});
  const std::pair<fs::path, bool> working{fs::current_path(error), true};
  if (!os::programFolderFirst()) candidates.push_back(working);
  std::string exe = programFolder.empty() ? os::programFolder() : programFolder;
  if (!exe.empty()) candidates.push_back({os::pathFromUtf8(exe), false});
  if (os::programFolderFirst()) candidates.push_back(working);
  if (!exe.empty()) candidates.push_back({os::pathFromUtf8(exe) / ".." / "share" / "quarvel", false});
  for (const auto& [folder, isWorking] : candidates) {
    fs::path normal = folder.lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();  // no trailing slash
    const std::string shown = os::utf8FromPath(normal);
    if (std::find(search.searched.begin(), search.searched.end(), shown) != search.searched.end()) continue;
    search.searched.push_back(shown);
    if (!holdsSheet(folder)) continue;
    search.found = true;
    search.fromWorkingDirectory = isWorking;
    search.folder = isWorking ? "" : shown;
    break;
  }
  return search;
}

Outcome preparePlayerFiles(RunOptions& options) {
  DataSearch data = findGameData(options.dataOption);
  if (!data.found) {
    std::string folders;
    for (const std::string& folder : data.searched) folders += (folders.empty() ? "" : ", ") + folder;
    return Outcome::failure("cannot find the sprite sheet graphics/graphics.bmp in " + folders);
  }
  options.dataFolder = data.folder;
  if (!options.verifyFile.empty() || !options.watchFile.empty() || options.inputIsReplay) {
    // A verification, or a replay watched or played, starts from the
    // replay's high score and keeps none: the player's high score is never
    // read or written.
    options.highScoreSaves = false;
    return applySettings(options);
  }

  std::string hiscore = options.hiscoreFile;
  bool saves = options.headless || options.inputFile.empty();
  if (hiscore.empty() && !data.fromWorkingDirectory) {
    std::string folder = os::userDataFolder();
    if (!folder.empty() && os::makeFolders(folder)) {
      hiscore = folder + "/hiscore.txt";
    } else {
      warn("warning: no folder for the high score (set HOME); it is not saved");
      saves = false;
    }
  }
  options.highScorePath = hiscore.empty() ? "hiscore.txt" : hiscore;
  options.highScoreSaves = saves;

  return applySettings(options);
}

Outcome applySettings(RunOptions& options) {
  Settings& settings = options.settings;
  options.settingsFile = options.configFile;
  if (options.settingsFile.empty() && !options.headless) {
    std::string folder = os::userConfigFolder();
    if (!folder.empty()) options.settingsFile = folder + "/quarvel.ini";
  }
  if (!options.settingsFile.empty()) {
    std::vector<std::string> problems;
    loadSettingsFile(options.settingsFile, settings, problems);
    for (const std::string& problem : problems) warn(problem);
  }
  if (options.fullScreenOption >= 0) {
    settings.fullScreenGiven = true;
    settings.fullScreen = options.fullScreenOption == 1;
  }
  if (settings.fullScreenGiven) options.fullScreen = settings.fullScreen;
  if (options.scaleOption > 0) settings.scale = options.scaleOption;
  if (options.volumeOption >= 0) settings.volume = options.volumeOption;
  if (options.noSoundOption || !settings.sound) options.soundWanted = false;
  return {};
}
