#pragma once
#include <cstdint>
// Runs the tower descent to its end: 2 cleared, 1 game over, -1 left.
void StageTwo(int32_t& result);
