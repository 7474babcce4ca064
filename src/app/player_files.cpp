// Where this run finds its data and keeps its high score.
//   data: --data DIR, the working directory, the executable's folder,
//         ../share/quarvel beside the executable;
//   high score: --hiscore FILE; else hiscore.txt in the working directory
//         when the data came from there (the classic layout); else the
//         per-user data folder.
// Watching a recording in the window never saves the high score.
#include "app/player_files.h"

#include <cstdio>

#include "game/hiscore.h"
#include "platform/paths.h"

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
  return 0;
}
