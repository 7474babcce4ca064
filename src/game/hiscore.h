// The high-score file hiscore.txt: "hi-score" CR LF, the value CR LF.
#pragma once

#include <cstdint>

// The saved high score; a missing or empty file gives 1000 and is created.
int32_t loadHighScore();
void saveHighScore(int32_t value);
// Saves when the score equals the high score: what every stage end does.
void saveHighScoreIfReached();
