// Start-up, the main loop from the title through the stages, and shutdown.
#pragma once

#include <string>
#include <vector>

#include "app/options.h"
#include "backends/window_config.h"
#include "base/outcome.h"
#include "formats/replay.h"
#include "harness/harness.h"
#include "machine/observer.h"

// The whole program: returns the process exit code. An observer given is
// attached to the run's machine from its start (in-process tests watch it).
int runGame(const std::vector<std::string>& args, bool fullScreen, machine::Observer* watcher = nullptr);
#ifdef __EMSCRIPTEN__
// In the browser: starts the run, which the page then drives frame by frame
// and which tells the page its exit code when it ends. Returns at once.
int startGameInPage(const std::vector<std::string>& args, bool fullScreen);
#endif

// What a replay played inside the program reached.
struct ReplayPlayed {
  ReplayClaims reached;
  int stage = 1;            // the furthest stage: 1 to 3, 4 for the ending
  bool clockLimit = false;  // stopped by one hour of game time or the frame limit
};
// Plays a replay headless inside this process, from the data in dataFolder
// ("" = the working directory), to its end, one hour of game time or
// frameLimit frames (0: none); nothing of the player's is read or written
// and nothing printed. Fails when it cannot be played (another rules
// version, no sprite sheet).
Outcome playReplayInside(const Replay& replay, const std::string& dataFolder, int64_t frameLimit, ReplayPlayed& played);

// The window back end as the player set it up.
backend::WindowConfig windowConfig(const RunOptions& options);
// What the harness is asked to do in this run.
harness::Options harnessOptions(const RunOptions& options);
