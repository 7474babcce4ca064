#pragma once
#include <string>
#include <vector>
// Start-up, the main loop from the title through the stages, and shutdown.
// Returns the process exit code.
int runGame(const std::vector<std::string>& args, bool fullScreen);
