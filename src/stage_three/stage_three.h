#pragma once
#include <cstdint>
// Runs the huge-UFO stage to its end: 2 cleared, 1 game over, -1 left.
void StageThree(int32_t& result);
