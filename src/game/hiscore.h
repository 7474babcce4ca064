// The high-score file hiscore.txt: "hi-score" CR LF, the value CR LF.
#pragma once

#include <cstdint>
#include <string>

void loadHighScore(int32_t& highScore);
void saveHighScore(int32_t value);
// Saves when the score equals the high score: what every stage end does.
void saveHighScoreIfReached();
// Where the file lives (hiscore.txt in the working directory unless start-up
// says otherwise) and whether saves happen at all (watching a recording in
// the window never saves).
void setHighScoreFile(const std::string& path);
void allowHighScoreSaves(bool allowed);
