#include "app/menu.h"

#include <algorithm>

#include "base/keys.h"
#include "formats/key_names.h"
#include "machine/backend.h"

namespace {

constexpr int VOLUME_STEP = 10;
constexpr int MAX_VOLUME = 100;
constexpr int MIN_SCALE = 1;
constexpr int MAX_SCALE = 8;

const char* onOff(bool on) { return on ? "ON" : "OFF"; }
const char* yesNo(bool on) { return on ? "yes" : "no"; }

std::string upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// "NAME" padded to width.
std::string column(const std::string& text, size_t width) {
  std::string out = upper(text);
  if (out.size() < width) out.resize(width, ' ');
  return out;
}

// A step through lo..hi that wraps round when chosen (step 0: one up).
int stepped(int value, int step, int by, int lo, int hi) {
  if (step == 0) return value + by > hi ? lo : value + by;
  return std::clamp(value + step * by, lo, hi);
}

}  // namespace

MenuValues menuValues(const Settings& settings) {
  MenuValues values;
  values.volume = settings.volume;
  values.muted = settings.mute;
  values.fullScreen = settings.fullScreen;
  values.scale = settings.scale;
  values.vsync = settings.vsync;
  values.reduceFlashing = settings.reduceFlashing;
  values.autoFire = settings.autoFire;
  for (int action = 0; action < ACTION_COUNT; ++action) {
    values.keys[action] = keyNameOf(settings, action);
    values.pads[action] = padNameOf(settings, action);
  }
  return values;
}

void applyBindings(const MenuValues& values, Settings& settings) {
  for (int action = 0; action < ACTION_COUNT; ++action) {
    settings.keys[action] = values.keys[action];
    settings.pads[action] = values.pads[action];
  }
}

int menuItemAt(int y, int itemCount) {
  if (y < MENU_ITEMS_TOP) return -1;
  const int item = (y - MENU_ITEMS_TOP) / MENU_LINE_HEIGHT;
  return item < itemCount ? item : -1;
}

void Menu::open(const MenuValues& values) {
  values_ = values;
  open_ = true;
  page_ = Page::Main;
  cursor_ = 0;
  capturing_ = false;
}

std::vector<Menu::Item> Menu::itemsOf(Page page) const {
  switch (page) {
    case Page::Main: {
      std::vector<Item> items = {Item::Resume,   Item::Sound,         Item::Display,
                                 Item::Controls, Item::Accessibility, Item::Replays};
      if (platform_.canQuit) items.push_back(Item::Quit);
      return items;
    }
    case Page::Sound: return {Item::Volume, Item::Mute};
    case Page::Display:
      if (!platform_.windowDetails) return {Item::FullScreen};
      return {Item::FullScreen, Item::Scale, Item::Vsync};
    case Page::Controls: {
      std::vector<Item> items(ACTION_COUNT, Item::Action);
      items.push_back(Item::ResetControls);
      return items;
    }
    case Page::Accessibility: return {Item::ReduceFlashing, Item::AutoFire};
    case Page::Replays: {
      return std::vector<Item>(std::max<size_t>(replays_.size(), 1), Item::Replay);
    }
  }
  return {};
}

std::string Menu::heading() const {
  switch (page_) {
    case Page::Main: return "MENU";
    case Page::Sound: return "SOUND";
    case Page::Display: return "DISPLAY";
    case Page::Controls: return "CONTROLS   KEY     BUTTON";
    case Page::Accessibility: return "ACCESSIBILITY";
    case Page::Replays: return "REPLAYS";
  }
  return "";
}

std::vector<std::string> Menu::items() const {
  std::vector<std::string> lines;
  const std::vector<Item> items = itemsOf(page_);
  for (size_t i = 0; i < items.size(); ++i) {
    switch (items[i]) {
      case Item::Resume: lines.emplace_back("RESUME"); break;
      case Item::Sound: lines.emplace_back("SOUND"); break;
      case Item::Display: lines.emplace_back("DISPLAY"); break;
      case Item::Controls: lines.emplace_back("CONTROLS"); break;
      case Item::Accessibility: lines.emplace_back("ACCESSIBILITY"); break;
      case Item::Replays: lines.emplace_back("REPLAYS"); break;
      case Item::Quit: lines.emplace_back("QUIT"); break;
      case Item::Volume: lines.push_back("VOLUME " + std::to_string(values_.volume)); break;
      case Item::Mute: lines.push_back(std::string("MUTE ") + onOff(values_.muted)); break;
      case Item::FullScreen: lines.push_back(std::string("FULL SCREEN ") + onOff(values_.fullScreen)); break;
      case Item::Scale: lines.push_back("SCALE " + std::to_string(values_.scale)); break;
      case Item::Vsync: lines.push_back(std::string("VSYNC ") + onOff(values_.vsync)); break;
      case Item::Action: {
        const bool waiting = capturing_ && static_cast<int>(i) == cursor_;
        lines.push_back(column(actionName(static_cast<int>(i)), 11) +
                        (waiting ? std::string("...") : column(values_.keys[i], 8) + upper(values_.pads[i])));
        break;
      }
      case Item::ResetControls: lines.emplace_back("RESET TO DEFAULTS"); break;
      case Item::ReduceFlashing:
        lines.push_back(std::string("REDUCE FLASHING ") + onOff(values_.reduceFlashing));
        break;
      case Item::AutoFire: lines.push_back(std::string("AUTO FIRE ") + onOff(values_.autoFire)); break;
      case Item::Replay: lines.push_back(i < replays_.size() ? upper(replays_[i].line) : "NO REPLAYS KEPT"); break;
    }
  }
  return lines;
}

std::string Menu::hint() const { return capturing_ ? "PRESS A KEY OR BUTTON  ESC: KEEP" : ""; }

MenuAction Menu::enter(Page page) {
  page_ = page;
  // The kept replays are listed once a visit to their page: reading the
  // folder again at each key would read every file again.
  if (page == Page::Replays) {
    replays_ = platform_.replays ? platform_.replays() : std::vector<MenuReplay>{};
    if (replays_.size() > MENU_REPLAYS_SHOWN) replays_.resize(MENU_REPLAYS_SHOWN);
  }
  cursor_ = 0;
  return {MenuAction::Redraw, {}};
}

MenuAction Menu::input(MenuInput in, double nowMs) {
  if (!open_) return {};
  if (capturing_) {  // the keys and buttons are the control's now; Back gives up
    if (in != MenuInput::Back) return {};
    capturing_ = false;
    return {MenuAction::Redraw, {}};
  }
  const std::vector<Item> items = itemsOf(page_);
  const int count = static_cast<int>(items.size());
  const Item item = items[static_cast<size_t>(cursor_)];
  switch (in) {
    case MenuInput::Up: cursor_ = (cursor_ + count - 1) % count; return {MenuAction::Redraw, {}};
    case MenuInput::Down: cursor_ = (cursor_ + 1) % count; return {MenuAction::Redraw, {}};
    case MenuInput::Left: return change(item, -1);
    case MenuInput::Right: return page_ == Page::Main ? MenuAction{} : change(item, 1);
    case MenuInput::Back: {
      if (page_ == Page::Main) {
        open_ = false;
        return {MenuAction::Close, {}};
      }
      const Page left = page_;
      page_ = Page::Main;
      const std::vector<Item> main = itemsOf(Page::Main);
      const Item back = left == Page::Sound           ? Item::Sound
                        : left == Page::Display       ? Item::Display
                        : left == Page::Controls      ? Item::Controls
                        : left == Page::Accessibility ? Item::Accessibility
                                                      : Item::Replays;
      cursor_ = static_cast<int>(std::find(main.begin(), main.end(), back) - main.begin());
      return {MenuAction::Redraw, {}};
    }
    case MenuInput::Choose:
      if (item == Item::Action) {
        capturing_ = true;
        captureEnd_ = nowMs + CAPTURE_MS;
        return {MenuAction::Redraw, {}};
      }
      return change(item, 0);
  }
  return {};
}

MenuAction Menu::pick(int item, double nowMs) {
  if (!open_ || capturing_ || item < 0 || item >= static_cast<int>(itemsOf(page_).size())) return {};
  cursor_ = item;
  return input(MenuInput::Choose, nowMs);
}

// Left and Right step a value (a switch flips either way); choosing opens a
// page, flips a switch or steps a number up, round again past its end.
MenuAction Menu::change(Item item, int step) {
  MenuValues& v = values_;
  switch (item) {
    case Item::Resume:
      if (step != 0) return {};
      open_ = false;
      return {MenuAction::Close, {}};
    case Item::Sound: return step == 0 ? enter(Page::Sound) : MenuAction{};
    case Item::Display: return step == 0 ? enter(Page::Display) : MenuAction{};
    case Item::Controls: return step == 0 ? enter(Page::Controls) : MenuAction{};
    case Item::Accessibility: return step == 0 ? enter(Page::Accessibility) : MenuAction{};
    case Item::Replays: return step == 0 ? enter(Page::Replays) : MenuAction{};
    case Item::Quit:
      if (step != 0) return {};
      open_ = false;
      return {MenuAction::Quit, {}};
    case Item::Volume: {
      const int volume = stepped(v.volume, step, VOLUME_STEP, 0, MAX_VOLUME);
      if (volume == v.volume && !v.muted) return {};
      MenuAction action{MenuAction::Volume, {{"volume", std::to_string(volume)}}};
      if (v.muted) action.saves.emplace_back("mute", "no");  // as - and = do
      v.volume = volume;
      v.muted = false;
      return action;
    }
    case Item::Mute: v.muted = !v.muted; return {MenuAction::Mute, {{"mute", yesNo(v.muted)}}};
    case Item::FullScreen:
      v.fullScreen = !v.fullScreen;
      return {MenuAction::FullScreen, {{"fullscreen", yesNo(v.fullScreen)}}};
    case Item::Scale: {
      const int scale = stepped(v.scale, step, 1, MIN_SCALE, MAX_SCALE);
      if (scale == v.scale) return {};
      v.scale = scale;
      return {MenuAction::Scale, {{"scale", std::to_string(scale)}}};
    }
    case Item::Vsync: v.vsync = !v.vsync; return {MenuAction::Vsync, {{"vsync", yesNo(v.vsync)}}};
    case Item::ReduceFlashing:
      v.reduceFlashing = !v.reduceFlashing;
      return {MenuAction::Accessibility, {{"reduce_flashing", yesNo(v.reduceFlashing)}}};
    case Item::AutoFire:
      v.autoFire = !v.autoFire;
      return {MenuAction::Accessibility, {{"auto_fire", yesNo(v.autoFire)}}};
    case Item::ResetControls: {
      if (step != 0) return {};
      const MenuValues before = v;
      for (int action = 0; action < ACTION_COUNT; ++action) {
        v.keys[action] = defaultKeyName(action);
        v.pads[action] = defaultPadName(action);
      }
      return bindings(before);
    }
    case Item::Replay: {  // the menu stays open: the player comes back to the list
      const auto chosen = static_cast<size_t>(cursor_);
      if (step != 0 || chosen >= replays_.size()) return {};
      return {MenuAction::Watch, {}, replays_[chosen].path};
    }
    case Item::Action: return {};
  }
  return {};
}

MenuAction Menu::capturedKey(int scanCode) {
  if (!capturing_) return {};
  if (scanCode == SC_ESC) {
    capturing_ = false;
    return {MenuAction::Redraw, {}};
  }
  const std::string name = nameForScanCode(scanCode);
  if (name.empty()) return {};  // a key the settings cannot name: still waiting
  capturing_ = false;
  return bindKey(cursor_, name);
}

MenuAction Menu::capturedButton(int button) {
  if (!capturing_) return {};
  if (button == machine::PadStart) {
    capturing_ = false;
    return {MenuAction::Redraw, {}};
  }
  const std::string name = padButtonName(button);
  if (name.empty()) return {};  // the stick: it always moves
  capturing_ = false;
  return bindPad(cursor_, name);
}

MenuAction Menu::expire(double nowMs) {
  if (!capturing_ || nowMs < captureEnd_) return {};
  capturing_ = false;
  return {MenuAction::Redraw, {}};
}

// A key used by another action changes places with the action's own.
MenuAction Menu::bindKey(int action, const std::string& name) {
  const MenuValues before = values_;
  for (std::string& other : values_.keys)
    if (other == name) other = values_.keys[action];
  values_.keys[action] = name;
  return bindings(before);
}

// So does a button, among the actions asked at the same time: yes and no
// share theirs with the others'.
MenuAction Menu::bindPad(int action, const std::string& name) {
  const MenuValues before = values_;
  for (int other = 0; other < ACTION_COUNT; ++other)
    if (answerAction(other) == answerAction(action) && values_.pads[other] == name)
      values_.pads[other] = values_.pads[action];
  values_.pads[action] = name;
  return bindings(before);
}

// The keys and buttons that changed, to save.
MenuAction Menu::bindings(const MenuValues& before) {
  MenuAction action{MenuAction::Bindings, {}};
  for (int i = 0; i < ACTION_COUNT; ++i) {
    if (values_.keys[i] != before.keys[i])
      action.saves.emplace_back(std::string("key_") + actionName(i), values_.keys[i]);
    if (values_.pads[i] != before.pads[i])
      action.saves.emplace_back(std::string("pad_") + actionName(i), values_.pads[i]);
  }
  if (action.saves.empty()) action.kind = MenuAction::Redraw;
  return action;
}
