// Start-up of the player's files: finding the data, placing the high score.
#pragma once

#include "platform/run_options.h"

// Fills options.dataFolder and sets the high-score file and whether it may be
// saved. Returns 0 to go on, or the exit code after a one-line error.
int preparePlayerFiles(RunOptions& options);
// The settings file and the command line's overrides into options.settings
// (part of preparePlayerFiles).
void applySettings(RunOptions& options);
