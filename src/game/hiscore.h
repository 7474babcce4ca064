// The high-score file hiscore.txt: "hi-score" CR LF, the value CR LF.
#pragma once

#include <cstdint>

void loadHighScore(int32_t& highScore);
void saveHighScore(int32_t value);
// Saves when the score equals the high score: what every stage end does.
void saveHighScoreIfReached();
