// The window's extras: PNG screenshots decoded back, pause, volume keys and
// what they show.
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/overlays.h"
#include "game/game_state.h"
#include "gfx/text.h"
#include "machine/machine.h"
#include "machine/observer.h"
#include "stage_one/stage_one.h"
#include "support/files.h"
#include "support/input.h"
#include "support/player_support.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace fs = std::filesystem;

namespace {

struct Decoded {
  bool ok = false;
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB (0xFF for RGB files)
};

// A PNG read back by stb_image, a decoder that is not the writer's.
Decoded decodePng(const std::string& png) {
  Decoded out;
  int channels = 0;
  unsigned char* rgba = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()),
                                              static_cast<int>(png.size()), &out.width, &out.height, &channels, 4);
  if (rgba == nullptr) return out;
  for (int i = 0; i < out.width * out.height; ++i) {
    const unsigned char* p = rgba + 4 * i;
    out.pixels.push_back(static_cast<uint32_t>(p[3]) << 24 | p[0] << 16 | p[1] << 8 | p[2]);
  }
  stbi_image_free(rgba);
  out.ok = true;
  return out;
}

// The page as a PNG reader sees it at a whole-number factor.
std::vector<uint32_t> scaledPage(const uint32_t* page, int factor) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < 240 * factor; ++y)
    for (int x = 0; x < 320 * factor; ++x)
      pixels.push_back(0xFF000000 | (page[(y / factor) * 320 + x / factor] & 0xFFFFFF));
  return pixels;
}

class WindowExtras : public testing::Test {
 protected:
  void SetUp() override {
    folder = makeScratchFolder("extras");
    setenv("HOME", folder.c_str(), 1);
    setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string folder;
};

// Pushes an event from SDL's timer thread after a while.
void pushLater(Uint32 ms, SDL_TimerCallback push) {
  SDL_InitSubSystem(SDL_INIT_TIMER);
  SDL_AddTimer(ms, push, nullptr);
}

}  // namespace

TEST_F(WindowExtras, F12SavesTheVisiblePictureAtTheWindowsFactorIntoThePicturesFolder) {
  fs::create_directories(folder + "/Pics");
  writeFile(folder + "/config/user-dirs.dirs", "# desktop folders\nXDG_PICTURES_DIR=\"$HOME/Pics\"\n");
  WindowRun run(3);
  Game& game = run.game;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) setPixel(game, nullptr, x, y, static_cast<uint32_t>(x * 0x10101 + y * 0x100));
  FramePresent(game);
  pushKey(SDL_SCANCODE_F12, SDLK_F12, true);
  pushKey(SDL_SCANCODE_F12, SDLK_F12, false);
  testing::internal::CaptureStdout();
  run.wait(1);
  std::string said = testing::internal::GetCapturedStdout();
  EXPECT_EQ(readKey(game), "") << "the game never sees F12";
  std::vector<fs::path> shots;
  for (const auto& entry : fs::directory_iterator(folder + "/Pics")) shots.push_back(entry.path());
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(said, "quarvel: screenshot " + shots[0].string() + "\n");
  EXPECT_LT(fs::file_size(shots[0]), 50u * 1024) << "a compressed picture of the game's flat colours";
  std::string name = shots[0].filename().string();
  EXPECT_EQ(name.size(), std::string("quarvel-20261208-093000.png").size()) << name;
  Decoded decoded = decodePng(readFileText(shots[0].string()));
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.width, 960) << "the 3x window of the default settings";
  EXPECT_TRUE(decoded.pixels == scaledPage(machine::visiblePage(game), 3));
  // Without a pictures folder: the user data folder; a second shot in the same
  // second gets its own name.
  fs::remove(folder + "/config/user-dirs.dirs");
  pushKey(SDL_SCANCODE_F12, SDLK_F12, true);
  pushKey(SDL_SCANCODE_F12, SDLK_F12, false);
  pushKey(SDL_SCANCODE_F12, SDLK_F12, true);
  testing::internal::CaptureStdout();
  run.wait(1);
  testing::internal::GetCapturedStdout();
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder + "/data/quarvel"))
    count += entry.path().extension() == ".png";
  EXPECT_EQ(count, 2);
}

// P pauses inside a wait: the game's clock and frames stand still, the page
// shows PAUSED, and the game plays on afterwards exactly as without a pause.
TEST_F(WindowExtras, PauseStopsTheClockAndTheGameNeverKnows) {
  auto play = [&](bool pause, std::string& recording) {
    std::string recordFile = folder + "/rec.txt";
    std::vector<uint64_t> frames;
    std::vector<int64_t> clock;
    std::vector<uint64_t> ticks;
    {
      WindowRun run(4, "", "", recordFile);
      Game& game = run.game;
      bool pausedAtAFrame = false;
      setFrameHook(game, [&](int64_t frame) {
        frames.push_back(visiblePageHash(game));
        clock.push_back(virtualMs(game));
        ticks.push_back(SDL_GetTicks64());
        pausedAtAFrame = pausedAtAFrame || run.loop.paused();
        if (frame == 10) pushKey(SDL_SCANCODE_RIGHT, SDLK_RIGHT, true);
        if (frame == 12 && pause) {
          pushKey(SDL_SCANCODE_P, SDLK_p, true);
          pushKey(SDL_SCANCODE_RIGHT, SDLK_RIGHT, false);  // let go during the pause
          pushLater(100, [](Uint32, void*) -> Uint32 {
            pushKey(SDL_SCANCODE_P, SDLK_p, false);
            pushKey(SDL_SCANCODE_PAUSE, SDLK_PAUSE, true);  // the Pause key ends it too
            return 0;
          });
        }
        if (frame == 12 && !pause) pushKey(SDL_SCANCODE_RIGHT, SDLK_RIGHT, false);
        if (frame == 30) throw 30;
      });
      game.gameState.credits = 2;
      try {
        run.play(StageOne(game));
      } catch (int) {
      }
      if (pause) {
        EXPECT_GE(ticks.at(12) - ticks.at(11), 90u) << "the game was held between frames 12 and 13";
        EXPECT_FALSE(pausedAtAFrame) << "no frame while paused";
        EXPECT_FALSE(run.loop.paused());
      }
    }
    recording = readFileText(recordFile);
    return std::make_pair(frames, clock);
  };
  std::string plainRecording, pausedRecording;
  auto plain = play(false, plainRecording);
  auto paused = play(true, pausedRecording);
  EXPECT_EQ(paused.first, plain.first);
  EXPECT_EQ(paused.second, plain.second) << "the virtual clock did not move while paused";
  EXPECT_EQ(pausedRecording, plainRecording);
  EXPECT_EQ(plainRecording.find(" p"), std::string::npos);
}

// PAUSED in the game's own lettering, above every box the game draws
// (game over at rows 78 to 108, the questions at 98 to 148).
TEST_F(WindowExtras, ThePausedPictureDimsThePageAndLetsTheBoxesShow) {
  WindowRun run(2);
  Game& game = run.game;
  OverlayPicture paused = paintLettering(game, "PAUSED");
  ASSERT_EQ(paused.width, 2 * (6 * 8 + 2));
  // The picture is the game's own drawText, twice the size.
  OwnedImage line = createImage(6 * 8 + 2, 10);
  drawIntoImage(game, line.get());
  drawText(game, 1, 1, "PAUSED", 0x000000, Outline::Yes);
  drawIntoImage(game, nullptr);
  for (int y = 0; y < paused.height; ++y)
    for (int x = 0; x < paused.width; ++x)
      ASSERT_EQ(paused.pixels[y * paused.width + x], imageRow(line.get(), y / 2)[x / 2] & 0xFFFFFF) << x << "," << y;

  std::vector<uint32_t> page(320 * 240, 0x808080), out(320 * 240);
  drawPausedPicture(page.data(), paused, out.data());
  int changed = 0, lowest = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x)
      if (out[y * 320 + x] != 0x404040u) {
        ++changed;
        lowest = y;
      }
  EXPECT_EQ(out[0], 0x404040u) << "dimmed";
  EXPECT_GT(changed, 300) << "the letters";
  EXPECT_LT(lowest, 78) << "nothing over the boxes";
}

TEST_F(WindowExtras, MinusEqualsAndMuteChangeTheSoundShowItAndAreKept) {
  std::string ini = folder + "/config/quarvel/quarvel.ini";
  writeFile(ini, "scale = 2\nvolume = 50\n");
  WindowRun run(5, "volume = 50\n", ini);
  Game& game = run.game;
  const uint64_t before = visiblePageHash(game);
  pushKey(SDL_SCANCODE_MINUS, SDLK_MINUS, true);
  pushKey(SDL_SCANCODE_MINUS, SDLK_MINUS, false);
  run.wait(1);
  EXPECT_EQ(run.loop.volume(), 40);
  EXPECT_EQ(readFileText(ini), "scale = 2\nvolume = 40\n");
  for (int i = 0; i < 8; ++i) pushKey(SDL_SCANCODE_EQUALS, SDLK_EQUALS, true);
  pushKey(SDL_SCANCODE_M, SDLK_m, true);
  run.wait(1);
  EXPECT_EQ(run.loop.volume(), 100) << "at most 100";
  EXPECT_TRUE(run.loop.muted());
  EXPECT_EQ(readFileText(ini), "scale = 2\nvolume = 100\nmute = yes\n") << "mute is kept for the next start";
  EXPECT_EQ(readKey(game), "") << "none of these reach the game";
  EXPECT_EQ(visiblePageHash(game), before) << "the overlay is the window's, never in the game's frames";
}

TEST(FrameStats, CountsTheFramesOfEachKindOfSleep) {
  std::string folder = makeScratchFolder("pacing");
  copyGameData(folder);
  writeFile(folder + "/in.txt", "100 down ctrl\n400 up ctrl\n500 down esc\n600 up esc\n700 type y\n");
  GameRun run =
      runIn(folder, builtBinary("quarvel-win"), "--headless --scene stage3 --input in.txt --frame-stats NOSOUND");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  long long slept = 0, flat = 0;
  ASSERT_EQ(std::sscanf(
                run.out.c_str(),
                "frame pacing: %lld frames of 30 ms sleep: mean %*f ms, p95 %*f ms, worst %*f ms; %lld frames flat out",
                &slept, &flat),
            2)
      << run.out;
  EXPECT_GT(slept, 5);
  EXPECT_GT(flat, 200) << "Ctrl held for 300 virtual ms, one per flat-out frame";
  fs::remove_all(folder);
}

TEST_F(WindowExtras, LosingTheFocusPausesWhenAskedAndGettingItBackResumes) {
  auto pushFocus = [](Uint8 what) {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    SDL_PushEvent(&event);
  };
  for (bool asked : {false, true}) {
    WindowRun run(6, asked ? "pause_on_focus_loss = yes\n" : "");
    Game& game = run.game;
    tellActivity(game, Activity::Play);  // only play pauses by itself
    pushFocus(SDL_WINDOWEVENT_FOCUS_LOST);
    pushLater(100, [](Uint32, void*) -> Uint32 {
      SDL_Event event = {};
      event.type = SDL_WINDOWEVENT;
      event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
      SDL_PushEvent(&event);
      return 0;
    });
    const int64_t before = virtualMs(game);
    const uint64_t started = SDL_GetTicks64();
    run.wait(30);
    const uint64_t took = SDL_GetTicks64() - started;
    if (asked)
      EXPECT_GE(took, 90u) << "paused until the focus came back";
    else
      EXPECT_LT(took, 90u) << "not asked: no pause";
    EXPECT_FALSE(run.loop.paused());
    EXPECT_EQ(virtualMs(game), before + 30);
    if (!asked) SDL_Delay(110);  // the focus comes back before the next window
  }
}
