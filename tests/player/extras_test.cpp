// The window's extras: PNG screenshots decoded back, pause, volume keys.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "game/game_state.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "platform/platform_state.h"
#include "platform/png.h"
#include "platform/sdl_backend.h"
#include "stage_one/stage_one.h"
#include "support/player_support.h"
#include "support/session.h"

namespace fs = std::filesystem;

namespace {

uint32_t bigEndian32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

struct Decoded {
  bool ok = false;
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB (0xFF for RGB files)
};

// A reader for what the game writes: 8-bit RGB or RGBA, filter 0, stored
// deflate blocks; every chunk's CRC and the Adler-32 are checked.
Decoded decodePng(const std::string& png) {
  Decoded out;
  if (png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return out;
  std::string zlib;
  int channels = 0;
  for (size_t at = 8; at + 12 <= png.size();) {
    uint32_t length = bigEndian32(png, at);
    std::string type = png.substr(at + 4, 4), data = png.substr(at + 8, length);
    std::string body = png.substr(at + 4, length + 4);
    if (crc32Of(reinterpret_cast<const uint8_t*>(body.data()), body.size()) != bigEndian32(png, at + 8 + length))
      return out;
    if (type == "IHDR") {
      out.width = static_cast<int>(bigEndian32(data, 0));
      out.height = static_cast<int>(bigEndian32(data, 4));
      if (data[8] != 8 || (data[9] != 2 && data[9] != 6)) return out;
      channels = data[9] == 6 ? 4 : 3;
    }
    if (type == "IDAT") zlib += data;
    at += 12 + length;
  }
  std::string raw;
  size_t at = 2;
  for (bool last = false; !last;) {
    if (at + 5 > zlib.size() || (zlib[at] & 6) != 0) return out;  // stored blocks only
    last = zlib[at] & 1;
    size_t length = static_cast<uint8_t>(zlib[at + 1]) | static_cast<uint8_t>(zlib[at + 2]) << 8;
    size_t check = static_cast<uint8_t>(zlib[at + 3]) | static_cast<uint8_t>(zlib[at + 4]) << 8;
    if ((length ^ check) != 0xFFFF) return out;
    raw += zlib.substr(at + 5, length);
    at += 5 + length;
  }
  uint32_t a = 1, b = 0;
  for (char c : raw) {
    a = (a + static_cast<uint8_t>(c)) % 65521;
    b = (b + a) % 65521;
  }
  if (bigEndian32(zlib, at) != (b << 16 | a)) return out;
  size_t rowBytes = 1 + static_cast<size_t>(out.width) * channels;
  if (raw.size() != rowBytes * out.height) return out;
  for (int y = 0; y < out.height; ++y) {
    const char* row = raw.data() + y * rowBytes;
    if (row[0] != 0) return out;
    for (int x = 0; x < out.width; ++x) {
      const auto* p = reinterpret_cast<const uint8_t*>(row + 1 + x * channels);
      uint32_t alpha = channels == 4 ? p[3] : 0xFF;
      out.pixels.push_back(alpha << 24 | p[0] << 16 | p[1] << 8 | p[2]);
    }
  }
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

}  // namespace

TEST(Png, AFrameDecodesBackEqualAtEveryFactor) {
  std::vector<uint32_t> page(320 * 240);
  uint32_t seed = 12345;
  for (uint32_t& pixel : page) pixel = (seed = seed * 1103515245 + 12345) >> 8;  // any 24-bit colours
  for (int factor : {1, 2, 3}) {
    Decoded decoded = decodePng(encodePng(page.data(), 320, 240, 320, false, factor));
    ASSERT_TRUE(decoded.ok) << factor;
    EXPECT_EQ(decoded.width, 320 * factor);
    EXPECT_EQ(decoded.height, 240 * factor);
    EXPECT_TRUE(decoded.pixels == scaledPage(page.data(), factor)) << factor;
  }
  uint32_t rgba[2] = {0x80FF0000, 0x0000FF00};
  Decoded alpha = decodePng(encodePng(rgba, 2, 1, 2, true));
  ASSERT_TRUE(alpha.ok);
  EXPECT_EQ(alpha.pixels, (std::vector<uint32_t>{0x80FF0000, 0x0000FF00}));
}

TEST_F(WindowExtras, F12SavesTheVisiblePictureAtTheWindowsFactorIntoThePicturesFolder) {
  fs::create_directories(folder + "/Pics");
  writeFile(folder + "/config/user-dirs.dirs", "# desktop folders\nXDG_PICTURES_DIR=\"$HOME/Pics\"\n");
  startWindow(3);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) setPixel(nullptr, x, y, static_cast<uint32_t>(x * 0x10101 + y * 0x100));
  FramePresent();
  pushKey(SDL_SCANCODE_F12, SDLK_F12, true);
  pushKey(SDL_SCANCODE_F12, SDLK_F12, false);
  testing::internal::CaptureStdout();
  sleepMs(1);
  std::string said = testing::internal::GetCapturedStdout();
  EXPECT_EQ(readKey(), "") << "the game never sees F12";
  std::vector<fs::path> shots;
  for (const auto& entry : fs::directory_iterator(folder + "/Pics")) shots.push_back(entry.path());
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(said, "quarvel: screenshot " + shots[0].string() + "\n");
  std::string name = shots[0].filename().string();
  EXPECT_EQ(name.size(), std::string("quarvel-20261208-093000.png").size()) << name;
  Decoded decoded = decodePng(readFileText(shots[0].string()));
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.width, 960) << "the 3x window of the default settings";
  EXPECT_TRUE(decoded.pixels == scaledPage(platform().pages[platform().visiblePage], 3));
  // Without a pictures folder: the user data folder; a second shot in the same
  // second gets its own name.
  fs::remove(folder + "/config/user-dirs.dirs");
  pushKey(SDL_SCANCODE_F12, SDLK_F12, true);
  pushKey(SDL_SCANCODE_F12, SDLK_F12, false);
  pushKey(SDL_SCANCODE_F12, SDLK_F12, true);
  testing::internal::CaptureStdout();
  sleepMs(1);
  testing::internal::GetCapturedStdout();
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder + "/data/quarvel"))
    count += entry.path().extension() == ".png";
  EXPECT_EQ(count, 2);
  stopWindow();
}

// P pauses inside a wait: the game's clock and frames stand still, the page
// shows PAUSED, and the game plays on afterwards exactly as without a pause.
TEST_F(WindowExtras, PauseStopsTheClockAndTheGameNeverKnows) {
  auto play = [&](bool pause, std::string& recording) {
    startWindow(4);
    std::vector<uint64_t> frames;
    std::vector<int64_t> clock;
    std::atomic<bool> sawPause{false};
    std::atomic<int64_t> framesWhilePaused{-1};
    std::thread watcher;
    setFrameHook([&](int64_t frame) {
      frames.push_back(visiblePageHash());
      clock.push_back(virtualMs());
      if (frame == 10) pushKey(SDL_SCANCODE_RIGHT, SDLK_RIGHT, true);
      if (frame == 12 && pause) {
        pushKey(SDL_SCANCODE_P, SDLK_p, true);
        pushKey(SDL_SCANCODE_RIGHT, SDLK_RIGHT, false);  // let go during the pause
        watcher = std::thread([&] {
          while (!platform().paused) SDL_Delay(1);
          sawPause = true;
          int64_t before = platform().frames;
          SDL_Delay(100);
          framesWhilePaused = platform().frames - before;
          pushKey(SDL_SCANCODE_P, SDLK_p, false);
          pushKey(SDL_SCANCODE_PAUSE, SDLK_PAUSE, true);  // the Pause key ends it too
        });
      }
      if (frame == 12 && !pause) pushKey(SDL_SCANCODE_RIGHT, SDLK_RIGHT, false);
      if (frame == 30) throw 30;
    });
    std::string recordFile = folder + "/rec.txt";
    platform().backend.reset();  // a fresh back end that records
    platform().backend = std::make_unique<SdlBackend>(recordFile, std::vector<ScriptEvent>{});
    openScreen(320, 240, 32, 2, false);
    gameState.credits = 2;
    try {
      StageOne();
    } catch (int) {
    }
    if (watcher.joinable()) watcher.join();
    if (pause) {
      EXPECT_TRUE(sawPause);
      EXPECT_EQ(framesWhilePaused, 0);
      EXPECT_FALSE(platform().paused);
    }
    stopWindow();
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

TEST(PausedPicture, DimsThePageAndWritesPausedAcrossTheMiddle) {
  std::vector<uint32_t> page(320 * 240, 0x808080), out(320 * 240);
  drawPausedPicture(page.data(), out.data());
  EXPECT_EQ(out[0], 0x404040u);
  EXPECT_EQ(out[319 + 239 * 320], 0x404040u);
  int white = 0;
  for (int y = 100; y < 140; ++y)
    for (int x = 90; x < 230; ++x) white += out[y * 320 + x] == 0xFFFFFF;
  EXPECT_GT(white, 300);
  EXPECT_EQ(std::count(out.begin(), out.end(), 0xFFFFFFu), white) << "letters only in the middle";
}

TEST_F(WindowExtras, MinusAndEqualsChangeTheVolumeAndSaveItMuteDoesNot) {
  std::string ini = folder + "/config/quarvel/quarvel.ini";
  writeFile(ini, "scale = 2\nvolume = 50\n");
  startWindow(5, "volume = 50\n", ini);
  pushKey(SDL_SCANCODE_MINUS, SDLK_MINUS, true);
  pushKey(SDL_SCANCODE_MINUS, SDLK_MINUS, false);
  sleepMs(1);
  EXPECT_EQ(platform().options.settings.volume, 40);
  EXPECT_EQ(readFileText(ini), "scale = 2\nvolume = 40\n");
  for (int i = 0; i < 8; ++i) pushKey(SDL_SCANCODE_EQUALS, SDLK_EQUALS, true);
  pushKey(SDL_SCANCODE_M, SDLK_m, true);
  sleepMs(1);
  EXPECT_EQ(platform().options.settings.volume, 100) << "at most 100";
  EXPECT_EQ(readFileText(ini), "scale = 2\nvolume = 100\n");
  EXPECT_EQ(readKey(), "") << "none of these reach the game";
  stopWindow();
}

TEST(FrameStats, CountsTheFramesOfEachKindOfSleep) {
  std::string folder = makeScratchFolder("pacing");
  copyGameData(folder);
  writeFile(folder + "/in.txt", "100 down ctrl\n400 up ctrl\n500 down esc\n600 up esc\n700 type y\n");
  GameRun run =
      runIn(folder, builtBinary("quarvel-win"), "--headless --scene stage3 --input in.txt --frame-stats NOSOUND");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  long long slept = 0, flat = 0;
  ASSERT_EQ(std::sscanf(run.out.c_str(),
                        "frame pacing: %lld frames of 30 ms sleep: mean %*f ms, worst %*f ms; %lld frames flat out",
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
    startWindow(6, asked ? "pause_on_focus_loss = yes\n" : "");
    std::atomic<bool> sawPause{false}, waitDone{false};
    std::thread watcher([&] {
      for (int i = 0; i < 5000 && !platform().paused && !waitDone; ++i) SDL_Delay(1);
      sawPause = platform().paused.load();
      pushFocus(SDL_WINDOWEVENT_FOCUS_GAINED);
    });
    pushFocus(SDL_WINDOWEVENT_FOCUS_LOST);
    int64_t before = virtualMs();
    sleepMs(30);
    waitDone = true;
    watcher.join();
    EXPECT_EQ(sawPause, asked);
    EXPECT_FALSE(platform().paused);
    EXPECT_EQ(virtualMs(), before + 30);
    stopWindow();
  }
}
