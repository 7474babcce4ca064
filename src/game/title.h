#pragma once
#include <cstdint>
// Result 0: start a game; -1: leave the program.
void runTitleScreen(int32_t& result);
