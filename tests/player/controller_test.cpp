// Game controllers in the window back end, without hardware: SDL's virtual
// controller with the dummy video driver. A controller plays stage one frame
// for frame as the keyboard does; A and B answer questions; unplugging lets
// go of everything it held; Start is the menu's. The keyboard events go
// through SDL too.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "game/game_state.h"
#include "machine/machine.h"
#include "stage_one/stage_one.h"
#include "support/input.h"
#include "support/player_support.h"

namespace {

constexpr int64_t LAST_FRAME = 70;

// Stage one for LAST_FRAME frames in the window; drive(frame) sets the input after each.
std::vector<uint64_t> playStageOne(WindowRun& run, const std::function<void(int64_t)>& drive) {
  return stageOneFrames(run.game, LAST_FRAME, drive, [&](Task<StageResult> stage) { run.play(std::move(stage)); });
}

}  // namespace

TEST(Controller, AVirtualControllerPlaysStageOneFrameForFrameAsTheKeys) {
  std::vector<uint64_t> keys;
  {
    WindowRun run(9);
    keys = playStageOne(run, [](int64_t frame) {
      if (frame == 3) pushKey(SDL_SCANCODE_RIGHT, SDLK_RIGHT, true);
      if (frame == 15) pushKey(SDL_SCANCODE_RIGHT, SDLK_RIGHT, false);
      if (frame == 20) pushKey(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
      if (frame == 22) pushKey(SDL_SCANCODE_SPACE, SDLK_SPACE, false);
      if (frame == 30) pushKey(SDL_SCANCODE_LEFT, SDLK_LEFT, true);
      if (frame == 55) pushKey(SDL_SCANCODE_LEFT, SDLK_LEFT, false);
      if (frame == 58) pushKey(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
      if (frame == 59) pushKey(SDL_SCANCODE_SPACE, SDLK_SPACE, false);
    });
  }
  std::vector<uint64_t> pad;
  {
    WindowRun run(9);
    VirtualPad controller(run);
    pad = playStageOne(run, [&](int64_t frame) {
      if (frame == 3) controller.button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
      if (frame == 15) controller.button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
      if (frame == 20) controller.button(SDL_CONTROLLER_BUTTON_A, true);
      if (frame == 22) controller.button(SDL_CONTROLLER_BUTTON_A, false);
      if (frame == 30) controller.stickX(-30000);
      if (frame == 40) controller.stickX(-12000);  // still held: inside the play
      if (frame == 55) controller.stickX(0);
      if (frame == 58) controller.button(SDL_CONTROLLER_BUTTON_A, true);
      if (frame == 59) controller.button(SDL_CONTROLLER_BUTTON_A, false);
    });
  }
  std::vector<uint64_t> idle;
  {
    WindowRun run(9);
    idle = playStageOne(run, [](int64_t) {});
  }

  ASSERT_EQ(keys.size(), static_cast<size_t>(LAST_FRAME));
  EXPECT_EQ(pad, keys);
  EXPECT_NE(idle, keys) << "the input changed the game";
}

TEST(Controller, AAndBAnswerQuestionsAndUnpluggingLetsGo) {
  WindowRun run(1);
  Game& game = run.game;
  VirtualPad controller(run);
  // The title: A is Space, B the drop key.
  tellActivity(game, Activity::Title);
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_A), " ");
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_B), "z");
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_BACK), std::string(1, KEY_ESC_CHAR));
  // Start opens the menu, whose RESUME A then chooses: neither reaches the game.
  controller.tap(SDL_CONTROLLER_BUTTON_START);
  controller.tap(SDL_CONTROLLER_BUTTON_A);
  run.wait(1);
  EXPECT_EQ(readKey(game), "");
  EXPECT_FALSE(run.loop.paused());
  // While the game says a question is up: yes and no.
  tellActivity(game, Activity::Question);
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_A), "y");
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_B), "n");
  // Play again: Space.
  tellActivity(game, Activity::Play);
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_A), " ");

  controller.button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
  controller.button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
  controller.stickX(32767);
  run.wait(1);
  EXPECT_TRUE(keyHeld(game, SC_CTRL));
  EXPECT_TRUE(keyHeld(game, SC_LSHIFT));
  EXPECT_TRUE(keyHeld(game, SC_RIGHT));
  controller.unplug();
  run.wait(1);
  EXPECT_FALSE(keyHeld(game, SC_CTRL));
  EXPECT_FALSE(keyHeld(game, SC_LSHIFT));
  EXPECT_FALSE(keyHeld(game, SC_RIGHT));
  // Plugged in again: it plays again.
  VirtualPad again(run);
  again.button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  run.wait(1);
  EXPECT_TRUE(keyHeld(game, SC_LEFT));
  again.unplug();
}

TEST(Keyboard, LettersByLayoutAndBindingsThroughTheWindowBackEnd) {
  WindowRun run(1, "key_fire = x\nkey_left = right\nkey_right = left\n");
  Game& game = run.game;
  pushKey(SDL_SCANCODE_Z, SDLK_y, true);  // German: the key labelled Y
  pushKey(SDL_SCANCODE_Z, SDLK_y, false);
  pushKey(SDL_SCANCODE_X, SDLK_x, true);  // bound to fire
  run.wait(1);
  EXPECT_EQ(readKey(game), "y");
  EXPECT_EQ(readKey(game), " ");
  EXPECT_TRUE(keyHeld(game, SC_SPACE));
  pushKey(SDL_SCANCODE_X, SDLK_x, false);
  pushKey(SDL_SCANCODE_LEFT, SDLK_LEFT, true);  // swapped arrows
  run.wait(1);
  EXPECT_FALSE(keyHeld(game, SC_SPACE));
  EXPECT_TRUE(keyHeld(game, SC_RIGHT));
  EXPECT_FALSE(keyHeld(game, SC_LEFT));
}

TEST(Keyboard, AltWithEitherEnterTogglesFullScreen) {
  WindowRun run(1);
  Game& game = run.game;
  SDL_Window* window = nullptr;
  for (Uint32 id = 1; id < 1000 && window == nullptr; ++id) window = SDL_GetWindowFromID(id);
  ASSERT_NE(window, nullptr);
  auto fullScreen = [&] {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
  };
  EXPECT_FALSE(fullScreen());
  pushKey(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, true, KMOD_LALT);
  pushKey(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, false, KMOD_LALT);
  run.wait(1);
  EXPECT_TRUE(fullScreen());
  pushKey(SDL_SCANCODE_RETURN, SDLK_RETURN, true, KMOD_RALT);
  run.wait(1);
  EXPECT_FALSE(fullScreen());
  EXPECT_EQ(readKey(game), "") << "the game does not see the toggle";
}

// pad_* from the settings file: a button does its action's work, yes and no
// only at a question, and a button bound to none does nothing.
TEST(Controller, ButtonsBoundInTheSettingsFile) {
  WindowRun run(1, "pad_yes = x\npad_fire = y\npad_back = none\n");
  Game& game = run.game;
  VirtualPad controller(run);
  tellActivity(game, Activity::Title);
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_Y), " ");
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_X), "") << "yes, but no question is up";
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_A), "") << "A has no action now";
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_BACK), "");
  tellActivity(game, Activity::Question);
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_X), "y");
  EXPECT_EQ(controller.press(SDL_CONTROLLER_BUTTON_B), "n");
}
