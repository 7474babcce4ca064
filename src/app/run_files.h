// The files a run is asked to read and write, checked before anything opens.
#pragma once

#include "platform/run_options.h"

// Reads --input into options.inputText (a regular file that parses as a
// script; its seed is used unless --seed was given), makes sure the --shots
// folder and the --sound-log file can be written. Returns 0 to go on, or 2
// after a one-line error on stderr.
int prepareRunFiles(RunOptions& options);
