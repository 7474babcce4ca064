#pragma once
#include <cstdint>
// Runs the formation stage to its end: 2 cleared, 1 game over, -1 left.
void StageOne(int32_t& result);
