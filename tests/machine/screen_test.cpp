// Drawing, images, keys and random numbers of the machine, with no back end.
#include <gtest/gtest.h>

#include <functional>

#include "machine/machine.h"
#include "support/machine_session.h"

namespace {

int countColour(Machine& machine, uint32_t colour) {
  int n = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) n += readPixel(machine, x, y) == colour;
  return n;
}

}  // namespace

TEST(Screen, PagesStartBlackAndReadOutsideGivesAllOnes) {
  MachineSession session;
  Machine& machine = session.machine;
  setPages(machine, 1, 0);
  EXPECT_EQ(readPixel(machine, 0, 0), 0u);
  EXPECT_EQ(readPixel(machine, 319, 239), 0u);
  EXPECT_EQ(readPixel(machine, -1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(readPixel(machine, 320, 5), 0xFFFFFFFFu);
  EXPECT_EQ(readPixel(machine, 5, 240), 0xFFFFFFFFu);
  EXPECT_EQ(readPixel(machine, 0, -1), 0xFFFFFFFFu);
}

TEST(Screen, FramePresentCopiesTheWorkPageOntoTheVisiblePage) {
  MachineSession session;
  Machine& machine = session.machine;
  setPages(machine, 1, 0);
  setPixel(machine, nullptr, 10, 10, 0xFF123456);
  FramePresent(machine);
  setPages(machine, 0, 0);
  EXPECT_EQ(readPixel(machine, 10, 10), 0xFF123456u) << "the colour is stored with its top byte";
  EXPECT_EQ(framesPresented(machine), 1);
}

TEST(Screen, CoordinatesRoundHalvesAwayFromZero) {
  MachineSession session;
  Machine& machine = session.machine;
  setPages(machine, 0, 0);
  setPixel(machine, nullptr, 10.5, 20.4, 0xFFFFFF);
  EXPECT_EQ(readPixel(machine, 11, 20), 0xFFFFFFu);
  setPixel(machine, nullptr, -0.5, 3, 0xFF0000);  // rounds to -1: off the page
  EXPECT_EQ(countColour(machine, 0xFF0000), 0);
  setPixel(machine, nullptr, -0.4, 3, 0x00FF00);  // rounds to 0
  EXPECT_EQ(readPixel(machine, 0, 3), 0x00FF00u);
}

TEST(Screen, BoxesAreTheSameWhicheverCornersComeFirst) {
  MachineSession session;
  Machine& machine = session.machine;
  setPages(machine, 0, 0);
  drawLine(machine, nullptr, 50, 40, 10, 20, 0xFFFFFF, LineFilledBox);
  EXPECT_EQ(countColour(machine, 0xFFFFFF), 41 * 21);
  EXPECT_EQ(readPixel(machine, 10, 20), 0xFFFFFFu);
  EXPECT_EQ(readPixel(machine, 50, 40), 0xFFFFFFu);
  clearPage(machine);
  drawLine(machine, nullptr, 50, 40, 10, 20, 0xFF00, LineBox);
  EXPECT_EQ(countColour(machine, 0xFF00), 2 * 41 + 2 * 19);
  EXPECT_EQ(readPixel(machine, 30, 30), 0u) << "an outline leaves the inside alone";
  clearPage(machine);
  drawLine(machine, nullptr, 300, 200, 400, 300, 0xFF, LineFilledBox);  // clipped at the corner
  EXPECT_EQ(countColour(machine, 0xFF), 20 * 40);
}

// A clear right after a clear is skipped; every way of drawing on a page,
// and a page copied onto it, must make the next clear count.
TEST(Screen, APageDrawnOnInAnyWayIsClearedAgain) {
  MachineSession session;
  Machine& machine = session.machine;
  OwnedImage image = createImage(3, 3, 0x123456);
  const std::function<void()> draws[] = {
      [&] { drawLine(machine, nullptr, 1, 1, 50, 60, 0xFFFFFF, LineSolid); },
      [&] { setPixel(machine, nullptr, 7, 9, 0x00FF00); },
      [&] { drawImage(machine, nullptr, 100, 100, image.get(), DrawCopy); },
      [&] { reinterpret_cast<uint32_t*>(workPageInfo(machine).pixels)[321] = 0xAB; },
      [&] {  // drawn on page 1 and copied onto page 0 when presented
        setPages(machine, 1, 0);
        setPixel(machine, nullptr, 5, 5, 0xFF);
        FramePresent(machine);
        setPages(machine, 0, 0);
      },
  };
  for (const auto& draw : draws) {
    setPages(machine, 0, 0);
    clearPage(machine);
    clearPage(machine);
    draw();
    EXPECT_GT(240 * 320 - countColour(machine, 0), 0);
    clearPage(machine);
    EXPECT_EQ(countColour(machine, 0), 240 * 320);
  }
}

TEST(Screen, LinesIncludeBothEndsAndAreClipped) {
  MachineSession session;
  Machine& machine = session.machine;
  setPages(machine, 0, 0);
  drawLine(machine, nullptr, 5, 5, 15, 10, 0xFFFFFF, LineSolid);
  EXPECT_EQ(readPixel(machine, 5, 5), 0xFFFFFFu);
  EXPECT_EQ(readPixel(machine, 15, 10), 0xFFFFFFu);
  EXPECT_EQ(countColour(machine, 0xFFFFFF), 11);
  clearPage(machine);
  drawLine(machine, nullptr, -100, 100, 1000, 100, 0xAA, LineSolid);
  EXPECT_EQ(countColour(machine, 0xAA), 320);
}

TEST(Images, NewImagesAreMaskFilledWithAlignedRows) {
  OwnedImage owned = createImage(11, 10);
  const Image* image = owned.get();
  EXPECT_EQ(image->typeTag, 7);
  EXPECT_EQ(image->bytesPerPixel, 4);
  EXPECT_EQ(image->pitch, 48);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(imagePixels(image)) % 16, 0u);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 11; ++x) ASSERT_EQ(imageRow(image, y)[x], 0xFFFF00FFu);
  EXPECT_EQ(createImage(16, 1)->pitch, 64);
}

// Fills take two roads: a memset for colours whose four bytes are alike
// (black clears), and a first row copied down for any other colour.
TEST(Images, FillsStayInsideTheirBoxWhateverTheColour) {
  Machine machine;
  for (uint32_t colour : {0x00000000u, 0x7F7F7F7Fu, 0x00202020u, 0xFF123456u}) {
    OwnedImage owned = createImage(11, 10, colour);
    Image* image = owned.get();
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 11; ++x) ASSERT_EQ(imageRow(image, y)[x], colour);
    drawLine(machine, image, 0, 0, 10, 9, MASK_COLOUR, LineFilledBox);
    drawLine(machine, image, 2, 1, 8, 9, colour, LineFilledBox);
    int filled = 0;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 11; ++x) filled += imageRow(image, y)[x] == colour ? 1 : 0;
    EXPECT_EQ(filled, 7 * 9) << std::hex << colour;
  }
}

TEST(Images, DrawImageClipsToPageAndSourceAndHonoursModes) {
  MachineSession session;
  Machine& machine = session.machine;
  setPages(machine, 0, 0);
  OwnedImage owned = createImage(4, 4);
  Image* image = owned.get();
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) imageRow(image, y)[x] = (x + y) % 2 ? MASK_COLOUR : 0x100 * (x + 1) + y;
  drawImage(machine, nullptr, -2, -1, image, DrawCopy);
  EXPECT_EQ(readPixel(machine, 0, 0), imageRow(image, 1)[2]);
  EXPECT_EQ(readPixel(machine, 1, 2), imageRow(image, 3)[3]);
  EXPECT_EQ(readPixel(machine, 2, 0), 0u) << "nothing beyond the image's right edge";
  clearPage(machine);
  drawImage(machine, nullptr, 318, 238, image, DrawTransparent);  // only 2x2 fits; mask pixels skipped
  EXPECT_EQ(readPixel(machine, 318, 238), imageRow(image, 0)[0]);
  EXPECT_EQ(readPixel(machine, 319, 238), 0u);
  EXPECT_EQ(readPixel(machine, 319, 239), imageRow(image, 1)[1] == MASK_COLOUR ? 0u : imageRow(image, 1)[1]);
  clearPage(machine);
  drawImage(machine, nullptr, 100, 100, image, 2, 2, 9, 9, DrawCopy);  // rectangle cut to the source
  EXPECT_EQ(readPixel(machine, 100, 100), imageRow(image, 2)[2]);
  EXPECT_EQ(readPixel(machine, 101, 101), imageRow(image, 3)[3]);
  EXPECT_EQ(readPixel(machine, 102, 100), 0u);
  clearPage(machine);
  auto swapBlend = [](uint32_t source, uint32_t destination, const void* param) -> uint32_t {
    return source + destination + *static_cast<const uint32_t*>(param);
  };
  uint32_t extra = 7;
  drawImage(machine, nullptr, 0, 0, image, DrawCustom, swapBlend, &extra);
  EXPECT_EQ(readPixel(machine, 1, 0), MASK_COLOUR + 7) << "custom mode sees mask pixels too";
}

TEST(Images, DrawingIntoAnImageStaysInsideIt) {
  Machine machine;
  OwnedImage owned = createImage(5, 3);
  Image* target = owned.get();
  drawLine(machine, target, -10, -10, 100, 100, 0x123456, LineFilledBox);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(imageRow(target, y)[x], 0x123456u);
  setPixel(machine, target, 5, 0, 0);  // outside: nothing is written (the sanitizer run checks the block)
  setPixel(machine, target, 0, 3, 0);
  setPixel(machine, target, -1, 1, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(imageRow(target, y)[x], 0x123456u);
}

TEST(Keyboard, TheQueueKeepsPressesInOrderAndHeldFollowsTheKeys) {
  MachineSession session;
  Machine& machine = session.machine;
  EXPECT_EQ(readKey(machine), "");
  pressKey(machine, SC_SPACE, " ");
  EXPECT_TRUE(keyHeld(machine, SC_SPACE));
  releaseKey(machine, SC_SPACE);
  EXPECT_FALSE(keyHeld(machine, SC_SPACE)) << "a press and release between two tests is seen only in the queue";
  queueKeyValue(machine, "Y");
  pressKey(machine, SC_LEFT, keyWithoutCharacter());
  machine::scriptInput(machine).closeButton();
  EXPECT_TRUE(keyHeld(machine, SC_LEFT));
  EXPECT_EQ(readKey(machine), " ");
  EXPECT_EQ(readKey(machine), "Y");
  std::string arrow = readKey(machine);
  EXPECT_EQ(arrow, keyWithoutCharacter());
  EXPECT_NE(arrow.size(), 1u);
  EXPECT_EQ(readKey(machine), keyWithoutCharacter()) << "the close button queues a key without a character";
  EXPECT_EQ(readKey(machine), "");
}

TEST(Random, SameSeedSameNumbersInUnitRange) {
  Machine machine;
  seedRandom(machine, 1234);
  double first[5];
  for (double& value : first) {
    value = randomUnit(machine);
    EXPECT_GE(value, 0.0);
    EXPECT_LT(value, 1.0);
  }
  seedRandom(machine, 1234);
  for (double value : first) EXPECT_EQ(randomUnit(machine), value);
  seedRandom(machine, 5489);  // the generator's reference seed: first output 3499211612
  EXPECT_EQ(randomUnit(machine), 3499211612.0 / 4294967296.0);
}
