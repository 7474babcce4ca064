// What the game tells the machine it is doing: the title waiting, play
// running, a yes/no question up, a new high score. Back ends act on these
// (a controller's A answers only a question, a hidden browser tab pauses
// only play), so each must come when it is true and only then.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/prompts.h"
#include "game/title.h"
#include "machine/observer.h"
#include "support/session.h"

namespace {

struct Told : machine::Observer {
  Machine& machine;
  std::vector<std::string> said;
  explicit Told(Machine& watched) : machine(watched) { machine::attach(machine, *this); }
  ~Told() override { machine::detach(machine, *this); }
  void activityChanged(Activity activity) override {
    const char* names[] = {"starting", "title", "play", "question", "leaving"};
    said.push_back(names[static_cast<int>(activity)]);
  }
  void highScoreChanged(int32_t highScore) override { said.push_back("high score " + std::to_string(highScore)); }
};

Task<> stageFrame(Game& game) {
  beginFrame(game);
  co_await endFrame(game);
}

}  // namespace

TEST(GameSays, TheTitleThenPlayThenEachQuestionWhileItWaits) {
  TestSession session("10 down space\n20 up space\n2000 type y\n3000 down esc\n3100 up esc\n3200 type n\n");
  Game& game = session.game;
  Told told(game);
  game.gameState.credits = 3;
  ASSERT_EQ(playToEnd(game, runTitleScreen(game)), TitleChoice::StartGame);
  playToEnd(game, stageFrame(game));
  playToEnd(game, stageFrame(game));
  EXPECT_TRUE(playToEnd(game, askContinue(game)));
  playToEnd(game, stageFrame(game));
  EXPECT_FALSE(playToEnd(game, askExitToTitle(game)));
  EXPECT_EQ(told.said, (std::vector<std::string>{"title", "play", "question", "play", "question"}))
      << "each said once, when it starts";
}

TEST(GameSays, TheHighScoreWhenTheScorePassesIt) {
  TestSession session;
  Game& game = session.game;
  Told told(game);
  game.gameState.highScore = 1000;
  addScore(game, 600);
  addScore(game, 400);  // 1000: level with it, not past it
  addScore(game, 10);
  addScore(game, 5);
  EXPECT_EQ(told.said, (std::vector<std::string>{"high score 1010", "high score 1015"}));
}
