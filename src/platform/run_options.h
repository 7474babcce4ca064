// How this run of the program was asked to behave (the command line, or a
// test), and starting and stopping the platform layer with it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/settings.h"

struct RunOptions {
  bool headless = false;
  bool fullScreen = false;
  bool seedGiven = false;
  uint32_t seed = 0;
  std::string inputFile;  // scripted input (headless)
  std::string inputText;  // the script itself (read from inputFile, or given by tests)
  std::string recordFile;
  std::string scene;  // "" = the whole game
  std::string shotsDir;
  std::vector<std::pair<int64_t, int64_t>> shotFrames;  // inclusive ranges
  std::string soundLog;
  std::string frameHashes;  // "FRAME CRC32" per presented frame in shotFrames (all when none)
  int64_t maxMs = 3600000;  // headless, or when given: the virtual clock limit
  bool maxMsGiven = false;
  bool timedemo = false;
  bool frameStats = false;                 // --frame-stats
  std::vector<std::string> gameArguments;  // every argument, for the NOSOUND test
  // Where the player's files are (see paths.h).
  std::string dataOption;    // --data DIR
  std::string dataFolder;    // where the data was found; "" = the working directory
  std::string hiscoreFile;   // --hiscore FILE
  std::string configFile;    // --config FILE
  std::string settingsFile;  // the quarvel.ini in use ("" = none: headless without --config)
  // The command line over the settings file.
  int fullScreenOption = -1;   // --fullscreen 1, --window 0
  int scaleOption = 0;         // --scale N
  int volumeOption = -1;       // --volume N
  bool noSoundOption = false;  // --no-sound
  Settings settings;           // the file's settings with the command line applied
};

void platformStart(const RunOptions& options);  // picks the back end
void platformStop();
const RunOptions& runOptions();
