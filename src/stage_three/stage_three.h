#pragma once
#include <cstdint>
// Runs the huge-UFO stage to its end: 2 cleared (after the ending), 1 game
// over, -1 left through the exit prompt.
void StageThree(int32_t& result);
