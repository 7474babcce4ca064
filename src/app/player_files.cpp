// Where this run finds its data and keeps its high score.
//   data: --data DIR, the working directory, the executable's folder,
//         ../share/quarvel beside the executable;
//   high score: --hiscore FILE; else hiscore.txt in the working directory
//         when the data came from there (the classic layout); else the
//         per-user data folder.
//   settings: --config FILE, else quarvel.ini in the per-user config folder
//         (window runs only: a headless run reads settings only from --config);
//         the command line wins over the file.
// Watching a recording in the window never saves the high score.
#include "app/player_files.h"

#include <cstdio>

#include "game/hiscore.h"
#include "platform/paths.h"
#include "platform/settings.h"

int preparePlayerFiles(RunOptions& options) {
  DataSearch data = findGameData(options.dataOption);
  if (!data.found) {
    std::string folders;
    for (const std::string& folder : data.searched) folders += (folders.empty() ? "" : ", ") + folder;
    std::string message = "cannot find the sprite sheet graphics/graphics.bmp in " + folders;
    std::fprintf(stderr, "quarvel: %s\n", message.c_str());
    if (!options.headless) showErrorBox("Quarvel " + message + ".\nStart it with --data DIR to name the folder.");
    return 1;
  }
  options.dataFolder = data.folder;

  std::string hiscore = options.hiscoreFile;
  bool saves = options.headless || options.inputFile.empty();
  if (hiscore.empty() && !data.fromWorkingDirectory) {
    std::string folder = userDataFolder();
    if (!folder.empty() && makeFolders(folder)) {
      hiscore = folder + "/hiscore.txt";
    } else {
      std::fprintf(stderr, "quarvel: warning: no folder for the high score (set HOME); it is not saved\n");
      saves = false;
    }
  }
  setHighScoreFile(hiscore.empty() ? "hiscore.txt" : hiscore);
  allowHighScoreSaves(saves);

  applySettings(options);
  return 0;
}

void applySettings(RunOptions& options) {
  Settings& settings = options.settings;
  options.settingsFile = options.configFile;
  if (options.settingsFile.empty() && !options.headless) {
    std::string folder = userConfigFolder();
    if (!folder.empty()) options.settingsFile = folder + "/quarvel.ini";
  }
  if (!options.settingsFile.empty()) {
    std::vector<std::string> problems;
    loadSettingsFile(options.settingsFile, settings, problems);
    for (const std::string& problem : problems) std::fprintf(stderr, "%s\n", problem.c_str());
  }
  if (options.fullScreenOption >= 0) {
    settings.fullScreenGiven = true;
    settings.fullScreen = options.fullScreenOption == 1;
  }
  if (settings.fullScreenGiven) options.fullScreen = settings.fullScreen;
  if (options.scaleOption > 0) settings.scale = options.scaleOption;
  if (options.volumeOption >= 0) settings.volume = options.volumeOption;
  if (options.noSoundOption || !settings.sound) options.gameArguments.push_back("NOSOUND");
}
