// The files a run is asked to read and write, checked before anything opens.
#pragma once

#include "app/options.h"
#include "base/outcome.h"

// Reads --input into options.script (a regular file that parses as a
// script; its seed is used unless --seed was given), makes sure the --shots
// folder and the --sound-log file can be written. Fails with one line to
// report (exit code 2).
Outcome prepareRunFiles(RunOptions& options);

// A replay (or a plain script) from a file of at most 1 MB; fails with
// "FILE:LINE: reason" or "FILE: reason".
Outcome readReplayFile(const std::string& path, Replay& replay);
