// How this run of the program was asked to behave (the command line, or a
// test), and starting and stopping the platform layer with it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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
  int64_t maxMs = 3600000;
  bool timedemo = false;
  std::vector<std::string> gameArguments;  // every argument, for the NOSOUND test
  // Where the player's files are (see paths.h).
  std::string dataOption;   // --data DIR
  std::string dataFolder;   // where the data was found; "" = the working directory
  std::string hiscoreFile;  // --hiscore FILE
};

void platformStart(const RunOptions& options);  // picks the back end
void platformStop();
const RunOptions& runOptions();
