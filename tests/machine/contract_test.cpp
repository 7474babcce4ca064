// The machine and its back end: a back end is shown the visible page only
// when it changed, hears what the game says, and hands in input through its
// sink; a quit asked for from outside reaches the app's quit path from the
// game's next wait.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <optional>

#include "machine/control.h"
#include "machine/machine.h"
#include "os/quit_signal.h"
#include "support/machine_session.h"

namespace {

struct Spy : QuietBackend {
  int shown = 0, presented = 0;
  Activity activity = Activity::Starting;
  void showPage(const uint32_t*, bool frame) override {
    ++shown;
    presented += frame ? 1 : 0;
  }
  void activityChanged(Activity now) override { activity = now; }
  const machine::InputSink& sink() const { return *input_; }
};

struct SpySession {
  Spy* spy;
  std::unique_ptr<MachineSession> session;
  SpySession() {
    auto backend = std::make_unique<Spy>();
    spy = backend.get();
    session = std::make_unique<MachineSession>(1, std::move(backend));
  }
};

}  // namespace

TEST(Contract, AStillPictureIsShownOnceAndEveryFrameEveryTime) {
  SpySession s;
  Machine& machine = s.session->machine;
  const int atStart = s.spy->shown;
  setPages(machine, 0, 0);
  drawLine(machine, nullptr, 0, 0, 319, 239, 0x0000FF, LineFilledBox);  // a title drawn on the shown page
  for (int i = 0; i < 50; ++i) sleepMs(machine, 1);
  EXPECT_EQ(s.spy->shown - atStart, 1) << "shown once, not at every wait";
  setPages(machine, 1, 0);
  drawLine(machine, nullptr, 0, 0, 10, 10, 0xFFFFFF, LineSolid);  // the work page is not shown
  sleepMs(machine, 1);
  EXPECT_EQ(s.spy->shown - atStart, 1);
  for (int frame = 0; frame < 3; ++frame) {
    FramePresent(machine);
    sleepMs(machine, 30);
  }
  EXPECT_EQ(s.spy->presented, 3);
  EXPECT_EQ(s.spy->shown - atStart, 4);
  tellActivity(machine, Activity::Question);
  EXPECT_EQ(s.spy->activity, Activity::Question);
}

TEST(Contract, TheCloseButtonIsAKeyOrTheQuitPathAsTheAppChose) {
  SpySession s;
  Machine& machine = s.session->machine;
  std::optional<machine::QuitReason> asked;
  machine::setQuitHandler(machine, [&](machine::QuitReason reason) { asked = reason; });
  s.spy->sink().closeButton();
  sleepMs(machine, 1);
  EXPECT_FALSE(asked) << "as the game always had it";
  EXPECT_EQ(readKey(machine), keyWithoutCharacter());
  machine::setCloseButton(machine, machine::CloseButton::Quit);
  s.spy->sink().closeButton();
  EXPECT_FALSE(asked) << "not in the middle of a frame";
  sleepMs(machine, 1);
  EXPECT_EQ(asked, machine::QuitReason::CloseButton);
  EXPECT_EQ(readKey(machine), "");
}

TEST(Contract, CtrlCOrAPoliteKillReachesTheQuitPathAtTheNextWait) {
  SpySession s;
  Machine& machine = s.session->machine;
  std::optional<machine::QuitReason> asked;
  machine::setQuitHandler(machine, [&](machine::QuitReason reason) { asked = reason; });
  os::watchQuitRequests(true);
  std::raise(SIGTERM);
  EXPECT_FALSE(asked);
  sleepMs(machine, 30);
  os::watchQuitRequests(false);
  EXPECT_EQ(asked, machine::QuitReason::Signal);
}
