// The title screen's wait and the two prompts, driven by scripted keys.
#include "game/prompts.h"

#include <gtest/gtest.h>

#include "game/game_state.h"
#include "game/title.h"
#include "machine/machine.h"
#include "support/session.h"

TEST(TitleScreen, IgnoresOtherKeysAndStartsOnSpace) {
  TestSession session("5 down a\n6 down enter\n7 down left\n8 type q\n20 down space\n", 1, true);
  Game& game = session.game;
  setPages(game, 0, 0);
  game.gameState.credits = 3;
  EXPECT_EQ(playToEnd(game, runTitleScreen(game)), TitleChoice::StartGame);
  EXPECT_GE(virtualMs(game), 20);
  EXPECT_EQ(readPixel(game, 2, 100), 100u) << "the background rises one blue step a row";
  EXPECT_EQ(readPixel(game, 2, 239), 239u);
  EXPECT_EQ(readFileText(session.soundLogPath), "0 21 3 3 255\n");
}

TEST(TitleScreen, EscLeavesSilently) {
  TestSession session("3 down esc\n", 1, true);
  Game& game = session.game;
  setPages(game, 0, 0);
  EXPECT_EQ(playToEnd(game, runTitleScreen(game)), TitleChoice::LeaveProgram);
  EXPECT_EQ(readFileText(session.soundLogPath), "");
}

TEST(ExitPrompt, HeldEscOpensItOnceAndAFreshEscAnswersNo) {
  TestSession session("0 down esc\n100 up esc\n200 down esc\n250 up esc\n", 1, true);
  Game& game = session.game;
  EXPECT_FALSE(playToEnd(game, askExitToTitle(game)));
  EXPECT_GE(virtualMs(game), 250) << "the answering Esc is waited out";
  EXPECT_EQ(readKey(game), "") << "and nothing is left in the queue";
  EXPECT_EQ(readPixel(game, 42, 98), 0xFFFFFFu) << "white frame";
  EXPECT_EQ(readPixel(game, 43, 99), 0x000000u) << "black box";
  EXPECT_EQ(readPixel(game, 276, 128), 0xFFFFFFu);
  EXPECT_EQ(readFileText(session.soundLogPath), "");
}

TEST(ExitPrompt, YesWaitsForEscReleaseAndEmptiesTheQueue) {
  TestSession session("0 down esc\n50 up esc\n55 type y\n56 down esc\n300 up esc\n", 1, true);
  Game& game = session.game;
  EXPECT_TRUE(playToEnd(game, askExitToTitle(game)));
  EXPECT_GE(virtualMs(game), 300);
  EXPECT_EQ(readKey(game), "") << "the title must not see the Esc";
  std::string log = readFileText(session.soundLogPath);
  EXPECT_NE(log.find(" 2 2 255\n"), std::string::npos) << log;
}

TEST(ContinuePrompt, YesCostsACreditAndClearsTheScore) {
  TestSession session("10 type x\n20 type Y\n", 1, true);
  Game& game = session.game;
  game.gameState.credits = 2;
  game.gameState.score = 1234;
  game.gameState.highScore = 5000;
  EXPECT_TRUE(playToEnd(game, askContinue(game)));
  EXPECT_EQ(game.gameState.credits, 1);
  EXPECT_EQ(game.gameState.score, 0);
  EXPECT_EQ(game.gameState.highScore, 5000);
  EXPECT_EQ(readPixel(game, 86, 118), 0xFFFFFFu);
  EXPECT_EQ(readPixel(game, 87, 119), 0u);
  EXPECT_EQ(readFileText(session.soundLogPath), "0 21 3 3 255\n");
}

TEST(ContinuePrompt, NoCreditsMeansTwoSecondsAndNoBox) {
  TestSession session("10 type y\n", 1, true);
  Game& game = session.game;
  game.gameState.credits = 0;
  game.gameState.score = 10;
  game.gameState.highScore = 10;
  EXPECT_FALSE(playToEnd(game, askContinue(game)));
  EXPECT_EQ(virtualMs(game), 2000);
  EXPECT_EQ(readPixel(game, 86, 118), 0u);
  EXPECT_EQ(readKey(game), "y") << "no key is read";
  EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\n 10\r\n") << "a reached high score is saved first";
}

TEST(ContinuePrompt, EscAnswersNo) {
  TestSession session("10 down esc\n", 1, false);
  Game& game = session.game;
  game.gameState.credits = 1;
  game.gameState.score = 3;
  EXPECT_FALSE(playToEnd(game, askContinue(game)));
  EXPECT_EQ(game.gameState.credits, 1);
  EXPECT_EQ(game.gameState.score, 3);
}
