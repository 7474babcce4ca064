// The menu in the window back end, on SDL's dummy video driver: opened
// mid-game it holds the game, saves what it changes, and leaves no trace
// in the frames or the recording; controls remapped from it play; a click
// chooses an item.
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/menu.h"
#include "formats/key_names.h"
#include "game/game_state.h"
#include "machine/machine.h"
#include "stage_one/stage_one.h"
#include "support/files.h"
#include "support/input.h"
#include "support/player_support.h"

namespace fs = std::filesystem;

namespace {

class MenuWindow : public testing::Test {
 protected:
  void SetUp() override {
    folder = makeScratchFolder("menu");
    setenv("HOME", folder.c_str(), 1);
    setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    ini = folder + "/config/quarvel/quarvel.ini";
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string folder, ini;
};

void tap(int scancode, int sym) {
  pushKey(scancode, sym, true);
  pushKey(scancode, sym, false);
}

// The CRCs of a --frame-hashes file, in frame order.
std::vector<std::string> crcs(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream lines(text);
  for (std::string frame, crc; lines >> frame >> crc;) out.push_back(crc);
  return out;
}

constexpr int64_t LAST_FRAME = 40;
constexpr int64_t MENU_FRAME = 12;
constexpr Uint32 MENU_OPEN_MS = 100;

}  // namespace

// P mid-stage opens the menu: the game is held (no frame, its clock
// stopped), Down, Enter, Left turn the volume down and save it, Esc twice
// resume. The recording made meanwhile replays headless to the window's
// frame CRCs and sounds, and never names a key the menu took.
TEST_F(MenuWindow, UsedMidGameItHoldsTheGameAndTheRecordingReplaysHeadlessToTheSameFrames) {
  const std::string recordFile = folder + "/rec.txt", hashesFile = folder + "/window-hashes.txt",
                    soundsFile = folder + "/window-sounds.txt";
  std::vector<uint64_t> ticks;
  bool menuAtAFrame = false;
  {
    WindowRun run(4, "", ini, recordFile, hashesFile, soundsFile);
    Game& game = run.game;
    setHighScore(game, 1000);  // as the headless run starts without a high-score file
    setFrameHook(game, [&](int64_t frame) {
      ticks.push_back(SDL_GetTicks64());
      menuAtAFrame = menuAtAFrame || run.loop.menu().isOpen();
      if (frame == 8) pushKey(SDL_SCANCODE_RIGHT, SDLK_RIGHT, true);
      if (frame == 20) pushKey(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
      if (frame == 22) pushKey(SDL_SCANCODE_SPACE, SDLK_SPACE, false);
      if (frame == MENU_FRAME) {
        tap(SDL_SCANCODE_P, SDLK_p);
        pushKey(SDL_SCANCODE_RIGHT, SDLK_RIGHT, false);  // let go in the menu
        tap(SDL_SCANCODE_DOWN, SDLK_DOWN);
        tap(SDL_SCANCODE_RETURN, SDLK_RETURN);
        tap(SDL_SCANCODE_LEFT, SDLK_LEFT);
        SDL_InitSubSystem(SDL_INIT_TIMER);
        SDL_AddTimer(
            MENU_OPEN_MS,
            [](Uint32, void*) -> Uint32 {
              tap(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
              tap(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
              return 0;
            },
            nullptr);
      }
      if (frame == LAST_FRAME) throw LAST_FRAME;
    });
    game.gameState.credits = 2;
    try {
      run.play(StageOne(game));
    } catch (int64_t) {
    }
    EXPECT_EQ(run.loop.volume(), 90);
    EXPECT_FALSE(run.loop.paused());
  }
  EXPECT_EQ(readFileText(ini), "volume = 90\n");
  ASSERT_EQ(ticks.size(), static_cast<size_t>(LAST_FRAME));
  EXPECT_GE(ticks[MENU_FRAME] - ticks[MENU_FRAME - 1], MENU_OPEN_MS - 10) << "held between two frames";
  EXPECT_FALSE(menuAtAFrame) << "no frame while the menu is open";
  const std::string recording = readFileText(recordFile);
  EXPECT_EQ(recording.find("down left"), std::string::npos) << recording;
  EXPECT_EQ(recording.find("esc"), std::string::npos) << "the menu's keys are not the game's:\n" << recording;

  const std::string replay = folder + "/replay";
  fs::create_directories(replay);
  copyGameData(replay);
  fs::copy_file(recordFile, replay + "/rec.txt");
  GameRun headless =
      runIn(replay, builtBinary("quarvel-win"),
            "--headless --scene stage1 --input rec.txt --frame-hashes h.txt --sound-log s.txt --shot-frames 1-" +
                std::to_string(LAST_FRAME) + " --max-ms 5000");
  EXPECT_EQ(headless.exitCode, 3) << headless.err;  // the clock limit ends it
  const std::vector<std::string> window = crcs(readFileText(hashesFile));
  const std::vector<std::string> replayed = crcs(readFileText(replay + "/h.txt"));
  ASSERT_EQ(window.size(), static_cast<size_t>(LAST_FRAME));
  ASSERT_GE(replayed.size(), window.size());
  EXPECT_EQ(std::vector<std::string>(replayed.begin(), replayed.begin() + static_cast<long>(window.size())), window);
  // The same sounds, to the window's last frame (the headless run plays on).
  const std::string windowSounds = readFileText(soundsFile);
  ASSERT_FALSE(windowSounds.empty()) << "the shot and the formation's steps";
  EXPECT_EQ(readFileText(replay + "/s.txt").substr(0, windowSounds.size()), windowSounds);
}

// CONTROLS: the first action takes the key a, the second the controller's
// X; both are saved and play at once. Start opens the menu; a click on an
// item chooses it.
TEST_F(MenuWindow, RemappedKeysAndButtonsPlayAndAClickChooses) {
  WindowRun run(1, "", ini);
  Game& game = run.game;
  VirtualPad pad(run);
  tellActivity(game, Activity::Play);
  tap(SDL_SCANCODE_P, SDLK_p);
  for (int i = 0; i < 3; ++i) tap(SDL_SCANCODE_DOWN, SDLK_DOWN);
  tap(SDL_SCANCODE_RETURN, SDLK_RETURN);  // CONTROLS
  tap(SDL_SCANCODE_RETURN, SDLK_RETURN);  // LEFT waits
  tap(SDL_SCANCODE_A, SDLK_a);
  tap(SDL_SCANCODE_DOWN, SDLK_DOWN);
  pad.tap(SDL_CONTROLLER_BUTTON_A);  // RIGHT waits
  pad.tap(SDL_CONTROLLER_BUTTON_X);
  pad.tap(SDL_CONTROLLER_BUTTON_B);  // back to the main page
  pad.tap(SDL_CONTROLLER_BUTTON_START);
  run.wait(1);
  EXPECT_FALSE(run.loop.menu().isOpen());
  EXPECT_EQ(readFileText(ini), "key_left = a\npad_right = x\n");
  EXPECT_EQ(readKey(game), "") << "the menu's keys and buttons never reach the game";

  pushKey(SDL_SCANCODE_A, SDLK_a, true);
  pad.button(SDL_CONTROLLER_BUTTON_X, true);
  run.wait(1);
  EXPECT_TRUE(keyHeld(game, SC_LEFT));
  EXPECT_TRUE(keyHeld(game, SC_RIGHT));
  pushKey(SDL_SCANCODE_A, SDLK_a, false);
  pad.button(SDL_CONTROLLER_BUTTON_X, false);
  run.wait(1);
  EXPECT_FALSE(keyHeld(game, SC_LEFT));
  EXPECT_FALSE(keyHeld(game, SC_RIGHT));
  while (!readKey(game).empty()) {  // what the two presses typed
  }

  // Start opens the menu; clicks (in the window's pixels, the picture at a
  // whole-number factor) choose SOUND, then MUTE; Esc twice resume.
  SDL_Window* window = nullptr;
  for (Uint32 id = 1; id < 1000 && window == nullptr; ++id) window = SDL_GetWindowFromID(id);
  ASSERT_NE(window, nullptr);
  const int factor = run.window.pictureFactor();
  auto click = [&](int item) {
    SDL_Event event = {};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = SDL_GetWindowID(window);
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = SDL_PRESSED;
    event.button.x = 160 * factor;
    event.button.y = (MENU_ITEMS_TOP + MENU_LINE_HEIGHT * item + MENU_LINE_HEIGHT / 2) * factor;
    SDL_PushEvent(&event);
  };
  pad.tap(SDL_CONTROLLER_BUTTON_START);
  click(1);
  click(1);
  tap(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  tap(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  run.wait(1);
  EXPECT_TRUE(run.loop.muted());
  EXPECT_FALSE(run.loop.paused());
  EXPECT_EQ(readFileText(ini), "key_left = a\npad_right = x\nmute = yes\n");
  EXPECT_EQ(readKey(game), "");
}
