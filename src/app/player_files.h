// Where this run finds its data and keeps the player's files.
#pragma once

#include <string>
#include <vector>

#include "app/options.h"
#include "base/outcome.h"

struct DataSearch {
  bool found = false;
  std::string folder;  // "" when the working directory holds the data
  bool fromWorkingDirectory = false;
  std::vector<std::string> searched;  // every folder looked at, in order
};

// Looks for graphics/graphics.bmp in: the --data folder (when given), the
// working directory, the program's folder, and ../share/quarvel beside it
// (the program's folder before the working directory where
// os::programFolderFirst() says so).
// programFolder "" asks the system for it.
DataSearch findGameData(const std::string& dataOption, const std::string& programFolder = "");

// Finds the data (options.dataFolder), places the high score, reads the
// settings file and applies the command line over it. Fails with the
// problem to report (the caller knows the exit code).
Outcome preparePlayerFiles(RunOptions& options);
// The settings file and the command line's overrides into options.settings
// (part of preparePlayerFiles).
Outcome applySettings(RunOptions& options);
