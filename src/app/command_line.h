// The command line of both programs.
#pragma once

#include <string>
#include <vector>

#include "platform/run_options.h"

// Parses the command line. Returns 0 to go on, 1 after printing --help, 2 after a
// one-line error on stderr.
int parseCommandLine(const std::vector<std::string>& args, RunOptions& options);
std::string commandLineHelp();
