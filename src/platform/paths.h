// Where the game finds its data and keeps the player's files: the search for
// the sprite sheet and samples, and the per-user folders of the desktop
// (XDG base directories).
#pragma once

#include <string>
#include <vector>

struct DataSearch {
  bool found = false;
  std::string folder;  // "" when the working directory holds the data
  bool fromWorkingDirectory = false;
  std::vector<std::string> searched;  // every folder looked at, in order
};

// Looks for graphics/graphics.bmp in: the --data folder (when given), the
// working directory, the executable's folder, and ../share/quarvel beside it.
// executableFolder "" asks the system for it.
DataSearch findGameData(const std::string& dataOption, const std::string& executableFolder = "");

// A file of the game's data (graphics/..., WAV/...) in the run's data folder
// (RunOptions::dataFolder); relative to the working directory when that is "".
std::string dataPath(const std::string& relative);

// Per-user folders, each ending in "quarvel" (created on demand by whoever
// writes there); "" when neither the XDG variable nor HOME says where.
std::string userDataFolder();    // $XDG_DATA_HOME/quarvel, ~/.local/share/quarvel
std::string userConfigFolder();  // $XDG_CONFIG_HOME/quarvel, ~/.config/quarvel
// The desktop's pictures folder (XDG_PICTURES_DIR of user-dirs.dirs), without
// "quarvel"; "" when the desktop names none or it does not exist.
std::string userPicturesFolder();
// Creates the folder and its parents; false when it cannot.
bool makeFolders(const std::string& folder);
// An error dialog for players who started the game from a menu (window build).
void showErrorBox(const std::string& text);
