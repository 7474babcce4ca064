// The machine and the app's loop: the visible page is handed over only
// when it changed, a scene's wait reaches the app with its length, and a
// quit asked for from outside reaches the app between frames.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <optional>

#include "machine/control.h"
#include "machine/machine.h"
#include "os/quit_signal.h"
#include "support/machine_session.h"

namespace {

// A scene's end of frame: present, then a wait.
Task<> frames(Machine& machine, int count) {
  for (int frame = 0; frame < count; ++frame) {
    FramePresent(machine);
    co_await sleepMs(machine, 30);
  }
}

Task<> titleWait(Machine& machine) {
  for (int i = 0; i < 50; ++i) co_await sleepMs(machine, 1);
}

}  // namespace

TEST(Contract, AStillPictureIsHandedOverOnceAndEveryFrameEveryTime) {
  MachineSession session;
  Machine& machine = session.machine;
  ASSERT_TRUE(machine::takeChangedPage(machine)) << "the black screen at the start";
  setPages(machine, 0, 0);
  drawLine(machine, nullptr, 0, 0, 319, 239, 0x0000FF, LineFilledBox);  // a title drawn on the shown page
  std::optional<machine::ChangedPage> title = machine::takeChangedPage(machine);
  ASSERT_TRUE(title);
  EXPECT_FALSE(title->presented);
  EXPECT_FALSE(machine::takeChangedPage(machine)) << "handed over once, not at every wait";
  setPages(machine, 1, 0);
  drawLine(machine, nullptr, 0, 0, 10, 10, 0xFFFFFF, LineSolid);  // the work page is not shown
  EXPECT_FALSE(machine::takeChangedPage(machine));
  FramePresent(machine);
  std::optional<machine::ChangedPage> frame = machine::takeChangedPage(machine);
  ASSERT_TRUE(frame);
  EXPECT_TRUE(frame->presented);
  EXPECT_EQ(frame->pixels, machine::visiblePage(machine));
  tellActivity(machine, Activity::Question);
  EXPECT_EQ(machine::activity(machine), Activity::Question);
}

// Every wait comes to the app with its length and whether a key ends it,
// and is counted on the clock only when the app passes it (at least 1 ms).
TEST(Contract, AWaitReachesTheAppWithItsLength) {
  MachineSession session;
  Machine& machine = session.machine;
  Task<> scene = frames(machine, 2);
  scene.resumeAt(scene.start());
  std::optional<machine::SleepAsked> asked = machine::takeSleep(machine);
  ASSERT_TRUE(asked);
  EXPECT_EQ(asked->ms, 30);
  EXPECT_FALSE(asked->untilKey);
  EXPECT_FALSE(machine::takeSleep(machine)) << "taken once";
  EXPECT_EQ(machine::virtualMs(machine), 0);
  machine::passTime(machine, asked->ms);
  machine::passTime(machine, 0);
  EXPECT_EQ(machine::virtualMs(machine), 31) << "a frame run flat out still counts a millisecond";
  scene.resumeAt(asked->scene);
  EXPECT_EQ(machine::framesPresented(machine), 2);
  playToEnd(machine, titleWait(machine));
  EXPECT_EQ(machine::virtualMs(machine), 81);
}

TEST(Contract, TheCloseButtonIsAKeyOrAQuitRequestAsTheAppChose) {
  MachineSession session;
  Machine& machine = session.machine;
  machine::deviceInput(machine).closeButton();
  EXPECT_FALSE(machine::takeQuitRequest(machine)) << "as the game always had it";
  EXPECT_EQ(readKey(machine), keyWithoutCharacter());
  machine::setCloseButton(machine, machine::CloseButton::Quit);
  machine::deviceInput(machine).closeButton();
  EXPECT_TRUE(machine::quitPending(machine));
  EXPECT_EQ(machine::takeQuitRequest(machine), machine::QuitReason::CloseButton);
  EXPECT_FALSE(machine::takeQuitRequest(machine)) << "answered once";
  EXPECT_EQ(readKey(machine), "");
}

TEST(Contract, CtrlCOrAPoliteKillIsAQuitRequest) {
  MachineSession session;
  Machine& machine = session.machine;
  os::watchQuitRequests(true);
  std::raise(SIGTERM);
  EXPECT_EQ(machine::takeQuitRequest(machine), machine::QuitReason::Signal);
  os::watchQuitRequests(false);
  EXPECT_FALSE(machine::takeQuitRequest(machine));
}
