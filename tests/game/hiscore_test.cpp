// The high-score file: exact bytes, forgiving reading, and saves that never
// leave a broken file behind.
#include "game/hiscore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "game/game.h"
#include "game/game_state.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

const std::string DEFAULT_FILE = std::string("hi-score\r\n 1000\r\n");

class HighScoreFile : public ::testing::Test {
 protected:
  Game game;  // a fresh game: its high score in hiscore.txt of the working directory
  void SetUp() override {
    previous_ = fs::current_path();
    folder_ = makeScratchFolder("hiscore");
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    chmod(folder_.c_str(), 0755);
    fs::remove_all(folder_);
  }
  static void write(const std::string& bytes) { std::ofstream("hiscore.txt", std::ios::binary) << bytes; }
  int32_t load() { return loadHighScore(game); }
  fs::path previous_;
  std::string folder_;
};

}  // namespace

TEST_F(HighScoreFile, MissingOrEmptyFileGivesTheDefaultSeventeenBytes) {
  EXPECT_EQ(load(), 1000);
  EXPECT_EQ(readFileText("hiscore.txt"), DEFAULT_FILE);
  EXPECT_EQ(DEFAULT_FILE.size(), 17u);
  write("");
  EXPECT_EQ(load(), 1000);
  EXPECT_EQ(readFileText("hiscore.txt"), DEFAULT_FILE);
}

// How the text reads (items, rounding, garbage, clamping) is the format's
// own test (tests/formats/hiscore_text_test.cpp); here, that the file is
// read whole, as it is, and never touched.
TEST_F(HighScoreFile, TheFilesValueIsReadAndTheFileLeftAsItIs) {
  write("hi-score\r\n 345\r\n");
  EXPECT_EQ(load(), 345);
  write("whatever\n3.5\n");
  EXPECT_EQ(load(), 4);
  EXPECT_EQ(readFileText("hiscore.txt"), "whatever\n3.5\n") << "reading never rewrites";
  write("hi-score\r\nabc\r\n");
  EXPECT_EQ(load(), 0);
  EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\nabc\r\n");
  write(std::string(30000, 'x') + "\n" + std::string(30000, '7') + "\n");  // long, but under the size cap
  EXPECT_EQ(load(), INT32_MAX);
  std::string binary;
  for (int i = 0; i < 256; ++i) binary.push_back(static_cast<char>(i));
  write(binary + binary);
  load();  // any value; it must simply not fail
}

TEST_F(HighScoreFile, SaveWritesTheExactFormat) {
  saveHighScore(game, 0);
  EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\n 0\r\n");
  saveHighScore(game, -45);
  EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\n-45\r\n");
  saveHighScore(game, INT32_MIN);
  EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\n-2147483648\r\n");
  saveHighScore(game, 123456789);
  EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\n 123456789\r\n");
  EXPECT_FALSE(fs::exists("hiscore.txt.new"));
}

TEST_F(HighScoreFile, OnlyAReachedHighScoreIsSaved) {
  write("hi-score\r\n 500\r\n");
  game.gameState.score = 400;
  game.gameState.highScore = 500;
  saveHighScoreIfReached(game);
  EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\n 500\r\n");
  addScore(game, 200);
  EXPECT_EQ(game.gameState.highScore, 600);
  saveHighScoreIfReached(game);
  EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\n 600\r\n");
}

TEST_F(HighScoreFile, AFailedSaveKeepsThePreviousFile) {
  write("hi-score\r\n 4321\r\n");
  fs::create_directory("hiscore.txt.new");  // the temporary file cannot be written
  saveHighScore(game, 99);
  EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\n 4321\r\n");
  fs::remove("hiscore.txt.new");
  if (geteuid() != 0) {  // root writes anywhere
    chmod(folder_.c_str(), 0555);
    saveHighScore(game, 77);
    EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\n 4321\r\n");
  }
}

TEST_F(HighScoreFile, AnUnreadableFolderGivesTheDefaultWithoutAFile) {
  fs::current_path(previous_);
  fs::current_path("/proc");  // nothing can be created here, even by root
  EXPECT_EQ(load(), 1000);
  EXPECT_FALSE(fs::exists("hiscore.txt"));
  fs::current_path(folder_);
}
