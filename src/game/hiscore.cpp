// hiscore.txt: "hi-score" CR LF, then a blank or "-", the digits, CR LF.
// Saving writes a temporary file beside it and renames it over the old one,
// so a crash or a full disk never leaves a half-written high score behind.
#include "game/hiscore.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "game/game_state.h"

namespace {

// The file and its temporary twin; set once at start-up.
struct HighScorePlace {
  std::string file = "hiscore.txt";
  std::string temp = "hiscore.txt.new";
  bool savesAllowed = true;
};
HighScorePlace place;
const char* FILE_NAME = "hiscore.txt";
const char* TEMP_NAME = "hiscore.txt.new";

// The second item of the file as a number: blanks skipped, an optional sign,
// digits with an optional fraction, read as one double and rounded half to
// even; no number gives 0; values beyond 32 bits are clamped.
int32_t parseValue(const std::string& item) {
  size_t i = 0;
  while (i < item.size() && (item[i] == ' ' || item[i] == '\t')) ++i;
  std::string number;
  if (i < item.size() && (item[i] == '+' || item[i] == '-')) number.push_back(item[i++]);
  bool digits = false;
  auto takeDigits = [&] {
    for (; i < item.size() && std::isdigit(static_cast<unsigned char>(item[i])); ++i) {
      number.push_back(item[i]);
      digits = true;
    }
  };
  takeDigits();
  if (i < item.size() && item[i] == '.') {
    number.push_back(item[i++]);
    takeDigits();
  }
  if (!digits) return 0;
  double value = std::nearbyint(std::strtod(number.c_str(), nullptr));
  if (value > 2147483647.0) return INT32_MAX;
  if (value < -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// Reads up to `count` items, each ending at a comma or the end of a line.
std::string secondItem(std::istream& in) {
  std::string item;
  int index = 0;
  char c;
  while (in.get(c)) {
    if (c == ',' || c == '\n') {
      if (index == 1) return item;
      ++index;
      item.clear();
      continue;
    }
    if (c == '\r') continue;
    if (item.size() < 4096) item.push_back(c);
  }
  return index == 1 ? item : "";
}

}  // namespace

void setHighScoreFile(const std::string& path) {
  place.file = path;
  place.temp = path + ".new";
  FILE_NAME = place.file.c_str();
  TEMP_NAME = place.temp.c_str();
}

void allowHighScoreSaves(bool allowed) { place.savesAllowed = allowed; }

void saveHighScore(int32_t value) {
  if (!place.savesAllowed) return;
  std::string text = "hi-score\r\n";
  text += value < 0 ? "-" : " ";
  text += std::to_string(value < 0 ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
  text += "\r\n";
  std::FILE* out = std::fopen(TEMP_NAME, "wb");
  if (out == nullptr) return;
  bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  written = std::fflush(out) == 0 && written;
  written = std::fclose(out) == 0 && written;
  if (!written || std::rename(TEMP_NAME, FILE_NAME) != 0) std::remove(TEMP_NAME);
}

void saveHighScoreIfReached() {
  if (gameState.score == gameState.highScore) saveHighScore(gameState.highScore);
}

void loadHighScore(int32_t& highScore) {
  long length = 0;
  if (std::FILE* file = std::fopen(FILE_NAME, "ab")) {
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    std::fclose(file);
  }
  if (length <= 0) {
    highScore = 1000;
    saveHighScore(1000);
    return;
  }
  std::ifstream in(FILE_NAME, std::ios::binary);
  highScore = parseValue(secondItem(in));
}
