// The player's menu as a state machine: its pages in their order, what each
// input changes and which settings it saves, the wait for a new key or
// button and the swaps it makes; and the page's way into it through the
// frame loop.
#include "app/menu.h"

#include <gtest/gtest.h>

#include "app/frame_loop.h"
#include "backends/headless.h"
#include "base/keys.h"
#include "formats/key_names.h"
#include "machine/backend.h"
#include "machine/machine.h"
#include "machine/observer.h"
#include "support/session.h"

namespace {

using Saves = std::vector<std::pair<std::string, std::string>>;

Menu openMenu(const Settings& settings = {}, MenuPlatform platform = {}) {
  Menu menu(std::move(platform));
  menu.open(menuValues(settings));
  return menu;
}

void press(Menu& menu, MenuInput in, int times = 1) {
  for (int i = 0; i < times; ++i) menu.input(in, 0.0);
}

// From the main page, the controls page with the cursor on an action.
Menu atAction(int action, const Settings& settings = {}) {
  Menu menu = openMenu(settings);
  press(menu, MenuInput::Down, 3);
  press(menu, MenuInput::Choose);
  press(menu, MenuInput::Down, action);
  return menu;
}

}  // namespace

TEST(Menu, PagesInTheirOrderAndBackOutToTheGame) {
  Menu menu = openMenu();
  EXPECT_EQ(menu.items(),
            (std::vector<std::string>{"RESUME", "SOUND", "DISPLAY", "CONTROLS", "ACCESSIBILITY", "REPLAYS", "QUIT"}));
  press(menu, MenuInput::Up);
  EXPECT_EQ(menu.cursor(), 6) << "round from the top to QUIT";
  press(menu, MenuInput::Down, 3);
  EXPECT_EQ(menu.cursor(), 2);
  press(menu, MenuInput::Choose);
  EXPECT_EQ(menu.page(), Menu::Page::Display);
  EXPECT_EQ(menu.items(), (std::vector<std::string>{"FULL SCREEN OFF", "SCALE 3", "VSYNC OFF"}));
  EXPECT_EQ(menu.input(MenuInput::Back, 0.0).kind, MenuAction::Redraw);
  EXPECT_EQ(menu.page(), Menu::Page::Main);
  EXPECT_EQ(menu.cursor(), 2) << "back on DISPLAY";
  EXPECT_EQ(menu.input(MenuInput::Back, 0.0).kind, MenuAction::Close);
  EXPECT_FALSE(menu.isOpen());

  menu.open(menuValues({}));
  EXPECT_EQ(menu.cursor(), 0);
  EXPECT_EQ(menu.input(MenuInput::Choose, 0.0).kind, MenuAction::Close) << "RESUME";
  menu.open(menuValues({}));
  press(menu, MenuInput::Up);
  EXPECT_EQ(menu.input(MenuInput::Choose, 0.0).kind, MenuAction::Quit);

  // The browser: no QUIT, and its display is the page's full screen only.
  Menu page = openMenu({}, MenuPlatform{false, false, nullptr});
  EXPECT_EQ(page.items().back(), "REPLAYS");
  press(page, MenuInput::Down, 2);
  press(page, MenuInput::Choose);
  EXPECT_EQ(page.items(), (std::vector<std::string>{"FULL SCREEN OFF"}));
}

TEST(Menu, SoundAndDisplayStepWithinTheirRangesAndSaveEachChange) {
  Settings settings;
  settings.volume = 10;
  settings.mute = true;
  Menu menu = openMenu(settings);
  press(menu, MenuInput::Down);
  press(menu, MenuInput::Choose);
  MenuAction quieter = menu.input(MenuInput::Left, 0.0);
  EXPECT_EQ(quieter.kind, MenuAction::Volume);
  EXPECT_EQ(quieter.saves, (Saves{{"volume", "0"}, {"mute", "no"}})) << "a change of volume unmutes, as - does";
  EXPECT_EQ(menu.input(MenuInput::Left, 0.0).kind, MenuAction::Nothing) << "0 at least";
  EXPECT_EQ(menu.items()[0], "VOLUME 0");
  EXPECT_EQ(menu.input(MenuInput::Right, 0.0).saves, (Saves{{"volume", "10"}}));
  press(menu, MenuInput::Down);
  EXPECT_EQ(menu.input(MenuInput::Choose, 0.0).saves, (Saves{{"mute", "yes"}}));
  EXPECT_EQ(menu.items(), (std::vector<std::string>{"VOLUME 10", "MUTE ON"}));

  press(menu, MenuInput::Back);
  press(menu, MenuInput::Down);
  press(menu, MenuInput::Choose);
  EXPECT_EQ(menu.input(MenuInput::Right, 0.0).saves, (Saves{{"fullscreen", "yes"}}));
  press(menu, MenuInput::Down);
  press(menu, MenuInput::Right, 9);
  EXPECT_EQ(menu.values().scale, 8) << "8 at most";
  EXPECT_EQ(menu.input(MenuInput::Choose, 0.0).saves, (Saves{{"scale", "1"}})) << "chosen: one up, round again";
  press(menu, MenuInput::Down);
  EXPECT_EQ(menu.input(MenuInput::Left, 0.0).saves, (Saves{{"vsync", "yes"}}));

  press(menu, MenuInput::Back);
  press(menu, MenuInput::Down, 2);
  press(menu, MenuInput::Choose);
  EXPECT_EQ(menu.items(), (std::vector<std::string>{"REDUCE FLASHING OFF", "AUTO FIRE OFF"}));
  EXPECT_EQ(menu.input(MenuInput::Choose, 0.0).saves, (Saves{{"reduce_flashing", "yes"}}));
  press(menu, MenuInput::Down);
  EXPECT_EQ(menu.input(MenuInput::Right, 0.0).saves, (Saves{{"auto_fire", "yes"}}));
}

TEST(Menu, AControlWaitsForItsKeyOrButtonAndSwapsOneInUse) {
  Menu menu = atAction(ActionLeft);
  EXPECT_EQ(menu.items()[0], "LEFT       LEFT    DPLEFT");
  EXPECT_EQ(menu.items().back(), "RESET TO DEFAULTS");
  press(menu, MenuInput::Choose);
  ASSERT_TRUE(menu.capturing());
  EXPECT_FALSE(menu.hint().empty());
  EXPECT_EQ(menu.input(MenuInput::Down, 0.0).kind, MenuAction::Nothing) << "waiting: the arrows are keys too";
  EXPECT_EQ(menu.capturedKey(SC_TAB).kind, MenuAction::Nothing) << "a key without a name: still waiting";
  MenuAction bound = menu.capturedKey(scanCodeForName("a"));
  EXPECT_EQ(bound.kind, MenuAction::Bindings);
  EXPECT_EQ(bound.saves, (Saves{{"key_left", "a"}}));
  EXPECT_FALSE(menu.capturing());

  // Space is fire's: fire takes left's key in exchange.
  press(menu, MenuInput::Choose);
  EXPECT_EQ(menu.capturedKey(SC_SPACE).saves, (Saves{{"key_left", "space"}, {"key_fire", "a"}}));

  // Buttons swap among the actions asked at the same time: B is drop's
  // (and no's, asked only at a question, which keeps it).
  press(menu, MenuInput::Down, ActionFire);
  press(menu, MenuInput::Choose);
  EXPECT_EQ(menu.capturedButton(machine::PadB).saves, (Saves{{"pad_fire", "b"}, {"pad_drop", "a"}}));
  EXPECT_EQ(menu.values().pads[ActionNo], "b");
  EXPECT_EQ(menu.values().pads[ActionYes], "a");

  // Esc, Start and the end of the wait keep what was there; the stick is
  // passed over.
  press(menu, MenuInput::Choose);
  EXPECT_EQ(menu.capturedButton(machine::PadStickLeft).kind, MenuAction::Nothing);
  EXPECT_EQ(menu.capturedButton(machine::PadStart).kind, MenuAction::Redraw);
  press(menu, MenuInput::Choose);
  EXPECT_EQ(menu.capturedKey(SC_ESC).kind, MenuAction::Redraw);
  menu.input(MenuInput::Choose, 1000.0);
  EXPECT_EQ(menu.expire(1000.0 + CAPTURE_MS - 1).kind, MenuAction::Nothing);
  EXPECT_EQ(menu.expire(1000.0 + CAPTURE_MS).kind, MenuAction::Redraw);
  EXPECT_FALSE(menu.capturing());
  EXPECT_EQ(menu.values().pads[ActionFire], "b");

  // RESET TO DEFAULTS saves what it changed back.
  press(menu, MenuInput::Up, ActionFire + 1);
  EXPECT_EQ(menu.items()[static_cast<size_t>(menu.cursor())], "RESET TO DEFAULTS");
  EXPECT_EQ(menu.input(MenuInput::Choose, 0.0).saves,
            (Saves{{"key_left", "left"}, {"key_fire", "space"}, {"pad_fire", "a"}, {"pad_drop", "b"}}));
  EXPECT_EQ(menu.input(MenuInput::Choose, 0.0).kind, MenuAction::Redraw) << "nothing left to reset";
}

TEST(Menu, TheSettingsFilesBindingsShowAndTheMouseChoosesByLine) {
  Settings settings;
  std::vector<std::string> problems;
  parseSettings("key_no = x\npad_fire = none\npad_back = start\n", "test", settings, problems);
  EXPECT_TRUE(problems.empty());
  Menu menu = atAction(ActionFire, settings);
  EXPECT_EQ(menu.items()[ActionFire], "FIRE       SPACE   NONE");
  EXPECT_EQ(menu.items()[ActionBack], "BACK       ESC     START");
  EXPECT_EQ(menu.items()[ActionNo], "NO         X       B");

  EXPECT_EQ(menuItemAt(MENU_ITEMS_TOP - 1, 10), -1);
  EXPECT_EQ(menuItemAt(MENU_ITEMS_TOP + MENU_LINE_HEIGHT * 9 + 3, 10), 9);
  EXPECT_EQ(menuItemAt(MENU_ITEMS_TOP + MENU_LINE_HEIGHT * 10, 10), -1);
  EXPECT_EQ(menu.pick(9, 0.0).kind, MenuAction::Bindings) << "RESET TO DEFAULTS";
  EXPECT_EQ(menu.pick(10, 0.0).kind, MenuAction::Nothing);
  menu.pick(ActionSlow, 0.0);
  EXPECT_TRUE(menu.capturing());

  // REPLAYS lists the newest that fit; choosing one watches it, and the
  // menu stays on the list for the player's return.
  Menu replays = openMenu({}, MenuPlatform{true, true, [] {
                                             std::vector<MenuReplay> kept;
                                             for (char name = 'a'; name <= 'z'; ++name)
                                               kept.push_back({{name}, {'/', name}});
                                             return kept;
                                           }});
  press(replays, MenuInput::Down, 5);
  press(replays, MenuInput::Choose);
  ASSERT_EQ(replays.items().size(), MENU_REPLAYS_SHOWN);
  EXPECT_EQ(replays.items()[1], "B");
  press(replays, MenuInput::Down);
  const MenuAction watch = replays.input(MenuInput::Choose, 0.0);
  EXPECT_EQ(watch.kind, MenuAction::Watch);
  EXPECT_EQ(watch.replay, "/b");
  EXPECT_TRUE(replays.isOpen());
  EXPECT_EQ(replays.page(), Menu::Page::Replays);
  EXPECT_EQ(replays.input(MenuInput::Left, 0.0).kind, MenuAction::Nothing);
  Menu none = openMenu();
  none.pick(5, 0.0);
  EXPECT_EQ(none.items(), (std::vector<std::string>{"NO REPLAYS KEPT"}));
  EXPECT_EQ(none.pick(0, 0.0).kind, MenuAction::Nothing);
}

namespace {

// The page as the frame loop sees it: the input it queued, and what it was
// told of the menu; its clock the game's, as a page on the virtual clock.
struct PageStandIn : backend::Headless {
  explicit PageStandIn(const Machine& game) : game(game) {}
  const Machine& game;
  double nowMs() override { return static_cast<double>(machine::virtualMs(game)); }
  std::vector<machine::DeviceEvent> queued;
  std::vector<bool> told;
  void takeEvents(std::vector<machine::DeviceEvent>& events) override {
    events.insert(events.end(), queued.begin(), queued.end());
    queued.clear();
  }
  void menuChanged(bool open) override { told.push_back(open); }
};

constexpr int FRAME_MS = 30;

Task<> someFrames(Game& game) {
  for (int frame = 0; frame < 1000; ++frame) {
    FramePresent(game);
    co_await sleepMs(game, FRAME_MS);
  }
}

machine::DeviceEvent pauseKey(machine::DeviceEvent::Kind kind) {
  machine::DeviceEvent key{kind};
  key.scanCode = scanCodeForName("p");
  key.windowKey = machine::DeviceEvent::PauseKey;
  return key;
}

// One turn of the loop with these events queued; the game's clock after it.
int64_t turn(FrameLoop& loop, PageStandIn& page, const Machine& game, std::vector<machine::DeviceEvent> events) {
  page.queued = std::move(events);
  EXPECT_TRUE(loop.tick());
  return machine::virtualMs(game);
}

}  // namespace

// The page has no window keys: its Menu button and a gamepad's Start ask
// for the menu, P is its pause key, and a tap on a line chooses the item.
TEST(Menu, ThePagesButtonPauseKeyAndTapOpenAndCloseItAndThePageHearsEachChange) {
  using machine::DeviceEvent;
  TestSession session;
  PageStandIn page(session.game);
  LoopSettings choices;
  choices.pauseKeyOpensMenu = true;
  FrameLoop loop(session.game, Devices{page, page, page, page, page}, Settings{}, choices);
  Task<> program = someFrames(session.game);
  loop.begin(program);
  const int64_t before = turn(loop, page, session.game, {});

  const int64_t held = turn(loop, page, session.game, {DeviceEvent{DeviceEvent::MenuAsked}});
  EXPECT_TRUE(loop.menu().isOpen());
  EXPECT_EQ(held, before) << "it opens before the next frame";
  EXPECT_EQ(turn(loop, page, session.game, {}), held) << "the game's clock stands while the menu is open";
  turn(loop, page, session.game, {DeviceEvent{DeviceEvent::MenuAsked}});
  EXPECT_FALSE(loop.menu().isOpen());
  EXPECT_FALSE(loop.paused());

  turn(loop, page, session.game, {pauseKey(DeviceEvent::KeyDown), pauseKey(DeviceEvent::KeyUp)});
  EXPECT_TRUE(loop.menu().isOpen());
  DeviceEvent tap{DeviceEvent::MouseClick};
  tap.x = SCREEN_WIDTH / 2;
  tap.y = MENU_ITEMS_TOP + MENU_LINE_HEIGHT / 2;  // RESUME
  turn(loop, page, session.game, {tap});
  EXPECT_FALSE(loop.menu().isOpen());
  EXPECT_GT(turn(loop, page, session.game, {}), held) << "and goes on after it";

  turn(loop, page, session.game, {pauseKey(DeviceEvent::KeyDown)});
  turn(loop, page, session.game, {pauseKey(DeviceEvent::KeyUp), pauseKey(DeviceEvent::KeyDown)});
  EXPECT_FALSE(loop.menu().isOpen()) << "P closes what P opened";
  EXPECT_EQ(page.told, (std::vector<bool>{true, false, true, false, true, false}));

  DeviceEvent slider{DeviceEvent::VolumeSet};  // the page's own volume and mute
  slider.volume = 40;
  slider.on = true;
  turn(loop, page, session.game, {slider, DeviceEvent{DeviceEvent::MenuAsked}});
  EXPECT_EQ(loop.menu().values().volume, 40) << "the menu shows the page's volume";
  EXPECT_TRUE(loop.menu().values().muted);
}

// Headless (a script, or the page on the virtual clock) P is a key like
// any other: no menu opens.
TEST(Menu, WithoutTheWindowsOrThePagesKeysThePauseKeyOpensNothing) {
  using machine::DeviceEvent;
  TestSession session;
  PageStandIn page(session.game);
  FrameLoop loop(session.game, Devices{page, page, page, page, page}, Settings{}, LoopSettings{});
  Task<> program = someFrames(session.game);
  loop.begin(program);
  const int64_t before = turn(loop, page, session.game, {pauseKey(DeviceEvent::KeyDown)});
  EXPECT_FALSE(loop.menu().isOpen());
  EXPECT_GT(turn(loop, page, session.game, {pauseKey(DeviceEvent::KeyUp)}), before);
  EXPECT_TRUE(page.told.empty());
}
