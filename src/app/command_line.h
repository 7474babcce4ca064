// The command line of both programs.
#pragma once

#include <string>
#include <vector>

#include "app/options.h"

enum class CommandLine {
  Run,   // go on with the options
  Done,  // --help or --version was printed: exit 0
  Bad,   // a one-line error went to stderr: exit 2
};

// Parses the arguments (the program's name left out) into options.
CommandLine parseCommandLine(const std::vector<std::string>& args, RunOptions& options);
// --help: the options, the controls and the files; fullscreen's default is the build's.
std::string commandLineHelp(bool fullScreenBuild);
// Every option's name ("--headless" ...), as --help lists them.
std::vector<std::string> optionNames();
