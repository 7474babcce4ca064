// How this run of the program was asked to behave: the command line, the
// settings file and what start-up found, before anything opens.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"
#include "formats/replay.h"
#include "formats/script.h"

// The clock limit of headless runs, which a runaway script must not pass
// unnoticed; the window has none unless asked for one.
constexpr int64_t HEADLESS_MAX_MS = 3600000;

struct RunOptions {
  bool headless = false;
  bool fullScreen = false;  // the build's choice, then the settings' and the command line's
  bool seedGiven = false;
  uint32_t seed = 0;
  std::string inputFile;  // scripted input
  Script script;          // read from inputFile (or given by tests)
  std::string recordFile;
  std::string verifyFile;      // --verify: play the replay, print the verdict
  std::string replayLinkFile;  // --replay-link: print the replay's link
  std::string watchFile;       // --replay: watch the replay in the window
  Replay replay;               // read from verifyFile or watchFile, or from inputFile when it is a replay
  bool inputIsReplay = false;  // --input named a replay: its seed and starting high score
  std::string scene;           // "" = the whole game
  std::string shotsDir;
  std::vector<std::pair<int64_t, int64_t>> shotFrames;  // inclusive ranges
  std::string soundLog;
  std::string frameHashes;          // "FRAME CRC32" per presented frame in shotFrames (all when none)
  int64_t maxMs = HEADLESS_MAX_MS;  // headless, or when given: the virtual clock limit
  bool maxMsGiven = false;
  bool timedemo = false;
  bool frameStats = false;  // --frame-stats
  bool soundWanted = true;  // no NOSOUND anywhere, no --no-sound, no sound = off
  // Where the player's files are.
  std::string dataOption;                     // --data DIR
  std::string dataFolder;                     // where the data was found; "" = the working directory
  std::string hiscoreFile;                    // --hiscore FILE
  std::string configFile;                     // --config FILE
  std::string settingsFile;                   // the quarvel.ini in use ("" = none: headless without --config)
  std::string highScorePath = "hiscore.txt";  // where the high score is kept
  bool highScoreSaves = true;                 // watching a recording in the window never saves
  // The command line over the settings file.
  int fullScreenOption = -1;   // --fullscreen 1, --window 0
  int scaleOption = 0;         // --scale N
  int volumeOption = -1;       // --volume N
  bool noSoundOption = false;  // --no-sound
  Settings settings;           // the file's settings with the command line applied
};
