// Start-up, the main loop from the title through the stages, and shutdown.
#pragma once

#include <string>
#include <vector>

#include "app/options.h"
#include "backends/window_config.h"
#include "harness/harness.h"

// The whole program: returns the process exit code.
int runGame(const std::vector<std::string>& args, bool fullScreen);

// The window back end as the player set it up.
backend::WindowConfig windowConfig(const RunOptions& options);
// What the harness is asked to do in this run.
harness::Options harnessOptions(const RunOptions& options);
