// A headless game session for in-process tests: its own scratch folder with
// the game's data, the headless back end, an open screen and the sprite table.
#pragma once

#include <string>

#include "platform/harness.h"

struct TestSession {
  // script: scripted input in the harness format (may be empty).
  explicit TestSession(const std::string& script = "", uint32_t seed = 1, bool withSound = false,
                       bool withSprites = true);
  ~TestSession();
  TestSession(const TestSession&) = delete;
  TestSession& operator=(const TestSession&) = delete;
  std::string folder;  // the scratch working directory
  std::string previousFolder;
  std::string soundLogPath;  // the sound log of this session (when withSound)
};

// The whole text of a file ("" when missing).
std::string readFileText(const std::string& path);
// A fresh empty scratch folder under the system temp folder.
std::string makeScratchFolder(const std::string& tag);
// Copies graphics/ and WAV/ from the repository's data folder into folder.
void copyGameData(const std::string& folder);
