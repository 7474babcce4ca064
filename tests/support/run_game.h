// Runs a built game binary in a scratch folder, as a player or script would.
#pragma once

#include <string>

struct GameRun {
  int exitCode = -1;
  std::string out;     // what it printed on stdout
  std::string err;     // and on stderr
  std::string folder;  // its working directory (kept for inspection)
};

// args: the command line after the program name (shell-quoted by the caller).
// script: written to folder/input.txt when not empty (pass "--input input.txt").
GameRun runBinary(const std::string& args, const std::string& script = "", const std::string& binary = "quarvel-win");
