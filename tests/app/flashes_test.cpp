// Flashing pictures: the rule that finds a sharp change of brightness over a
// large part of the screen, the count of flashes a second, and reduced
// flashing, which shows the recorded game with no second over the limit.
#include "app/flashes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/flow.h"
#include "app/frame_loop.h"
#include "backends/headless.h"
#include "machine/machine.h"
#include "support/files.h"
#include "support/session.h"

namespace {

constexpr size_t PIXELS = 320 * 240;
constexpr uint32_t BLACK = 0x000000, WHITE = 0xFFFFFF;
constexpr uint32_t LIGHT_GREY = 0xF0F0F0;  // relative luminance 0.87
constexpr uint32_t DARK_GREY = 0x404040;   // 0.05
constexpr int64_t FRAME_MS = 30;

using Picture = std::vector<uint32_t>;

// background, with its first `rows` rows in colour.
Picture picture(uint32_t background, int rows = 0, uint32_t colour = 0) {
  Picture pixels(PIXELS, background);
  std::fill(pixels.begin(), pixels.begin() + rows * 320, colour);
  return pixels;
}

// The headless back end, keeping the picture it was last shown, its clock
// the game's: as the page runs a game on the virtual clock.
struct ShownPicture : backend::Headless {
  explicit ShownPicture(const Machine& game) : game(game) {}
  const Machine& game;
  Picture last;
  void show(const uint32_t* pixels) override { last.assign(pixels, pixels + PIXELS); }
  double nowMs() override { return static_cast<double>(machine::virtualMs(game)); }
};

// Five black frames, then white ones.
Task<> cutToWhite(Game& game, int frames) {
  for (int frame = 0; frame < frames; ++frame) {
    const uint32_t colour = frame < 5 ? BLACK : WHITE;
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 320; ++x) setPixel(game, nullptr, x, y, colour);
    FramePresent(game);
    co_await sleepMs(game, FRAME_MS);
  }
}

}  // namespace

TEST(Flashes, ASharpChangeIsATenthOfTheBrightnessOverAQuarterOfTheScreenNotBetweenTwoBrightStates) {
  EXPECT_EQ(sharpChange(picture(BLACK).data(), picture(WHITE).data()), BrightnessChange::Brighter);
  EXPECT_EQ(sharpChange(picture(WHITE).data(), picture(BLACK).data()), BrightnessChange::Darker);
  // A quarter of the screen is 60 of its 240 rows.
  EXPECT_EQ(sharpChange(picture(BLACK).data(), picture(BLACK, 60, WHITE).data()), BrightnessChange::Brighter);
  EXPECT_EQ(sharpChange(picture(BLACK).data(), picture(BLACK, 59, WHITE).data()), BrightnessChange::None);
  // Under a tenth of the brightness; or both states bright.
  EXPECT_EQ(sharpChange(picture(BLACK).data(), picture(DARK_GREY).data()), BrightnessChange::None);
  EXPECT_EQ(sharpChange(picture(LIGHT_GREY).data(), picture(WHITE).data()), BrightnessChange::None);
  // Most of the changing pixels say which way it went.
  EXPECT_EQ(sharpChange(picture(BLACK, 100, WHITE).data(), picture(WHITE, 100, BLACK).data()),
            BrightnessChange::Brighter);
}

TEST(Flashes, AFlashIsAChangeAndItsOppositeCountedBySecondOfGameTime) {
  FlashCounter strobe;  // black and white frame by frame, for two seconds
  for (int64_t frame = 0; frame * FRAME_MS < 2000; ++frame)
    strobe.add(picture(frame % 2 == 0 ? BLACK : WHITE).data(), frame * FRAME_MS);
  EXPECT_EQ(strobe.flashes(), 33);      // 67 frames, 66 changes
  EXPECT_EQ(strobe.worstSecond(), 17);  // one every 60 ms
  EXPECT_EQ(strobe.secondsOverLimit(), 2);

  FlashCounter slow;  // a change every 200 ms: two and a half flashes a second
  for (int64_t ms = 0; ms < 3000; ms += 200) slow.add(picture(ms / 200 % 2 == 0 ? BLACK : WHITE).data(), ms);
  EXPECT_EQ(slow.flashes(), 7);
  EXPECT_EQ(slow.worstSecond(), 3);
  EXPECT_EQ(slow.secondsOverLimit(), 0);

  FlashCounter fade;  // two steps brighter, two steps darker: one flash
  for (uint32_t colour : {BLACK, 0x808080u, WHITE, 0x808080u, BLACK}) fade.add(picture(colour).data(), 0);
  EXPECT_EQ(fade.flashes(), 1);
}

TEST(Flashes, TheFilterTurnsAStrobeIntoAFadeAndLetsSmallChangesThrough) {
  FlashFilter filter;
  FlashCounter shown;
  Picture last;
  for (int frame = 0; frame < 40; ++frame) {
    const Picture page = picture(frame % 2 == 0 ? BLACK : WHITE);
    const uint32_t* out = filter.show(page.data());
    if (!last.empty()) {
      ASSERT_EQ(sharpChange(last.data(), out), BrightnessChange::None) << frame;
    }
    last.assign(out, out + PIXELS);
    shown.add(out, frame * FRAME_MS);
  }
  EXPECT_EQ(shown.flashes(), 0);

  // A cut to a still picture is reached within a second of frames.
  FlashFilter cut;
  cut.show(picture(BLACK).data());
  Picture bright = picture(WHITE, 120, DARK_GREY);
  int frames = 0;
  const uint32_t* out = nullptr;
  do {
    out = cut.show(bright.data());
    ++frames;
  } while (!std::equal(bright.begin(), bright.end(), out) && frames < 40);
  EXPECT_TRUE(std::equal(bright.begin(), bright.end(), out));
  EXPECT_LT(frames, 1000 / FRAME_MS);
  EXPECT_GT(frames, 1) << "it faded";

  // A change over less than a quarter of the screen is shown as it is.
  std::fill(bright.end() - 59 * 320, bright.end(), BLACK);
  out = cut.show(bright.data());
  EXPECT_TRUE(std::equal(bright.begin(), bright.end(), out));
}

// The frame loop shows the filter's picture; the game's page stays white.
TEST(Flashes, ReducedFlashingFadesTheShownPictureAndLeavesThePageAlone) {
  for (bool reduce : {false, true}) {
    TestSession session;
    ShownPicture display(session.game);
    Settings settings;
    settings.reduceFlashing = reduce;
    FrameLoop loop(session.game, Devices{display, display, display, display, display}, settings, LoopSettings{});
    Task<> program = cutToWhite(session.game, 30);
    loop.begin(program);
    int fading = 0;
    while (loop.tick()) {
      const uint32_t* page = machine::visiblePage(session.game);
      if (page[0] == WHITE && display.last != Picture(page, page + PIXELS)) ++fading;
      EXPECT_TRUE(std::all_of(page, page + PIXELS, [&](uint32_t pixel) { return pixel == page[0]; }));
    }
    EXPECT_EQ(fading > 0, reduce) << "shown, a fade from black to white";
    EXPECT_EQ(display.last, picture(WHITE)) << "and then the page itself";
  }
}

// The whole recorded game, headless: its pictures do flash, and through the
// filter no second of it shows more than three flashes.
TEST(Flashes, TheRecordedGameFlashesAndReducedFlashingKeepsEverySecondToThree) {
  const std::string folder = makeScratchFolder("flashes");
  FlashWatch watch;
  testing::internal::CaptureStdout();
  const int code =
      runGame({"--headless", "--no-sound", "--data", QUARVEL_BUILD_DIR, "--hiscore", folder + "/hiscore.txt", "--input",
               std::string(QUARVEL_SOURCE_DIR) + "/bench/whole_game.txt"},
              false, &watch);
  testing::internal::GetCapturedStdout();
  std::filesystem::remove_all(folder);
  ASSERT_EQ(code, 0);
  EXPECT_GT(watch.plain().flashes(), 0) << "the measure finds the game's flashes";
  EXPECT_EQ(watch.filtered().flashes(), 0);
  EXPECT_LE(watch.filtered().worstSecond(), FLASHES_ALLOWED_PER_SECOND);
  EXPECT_EQ(watch.filtered().secondsOverLimit(), 0);
}
