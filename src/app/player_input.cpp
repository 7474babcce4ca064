#include "app/player_input.h"

#include <algorithm>

#include "formats/key_names.h"

PlayerInput::PlayerInput(const Settings& settings) : autoFire_(settings.autoFire) { rebind(settings); }

void PlayerInput::rebind(const Settings& settings) {
  for (int code = 0; code < SCAN_CODE_COUNT; ++code) binding_[code] = code;
  // The bound key does the action's work; a swap of two keys works.
  for (int action = 0; action < ACTION_COUNT; ++action) {
    int own = scanCodeForName(settings.keys[action]);
    if (own >= 0) binding_[own] = scanCodeForName(defaultKeyName(action));
    int button = -1;
    buttons_[action] = padButtonForName(padNameOf(settings, action), button) ? button : -1;
  }
}

// A button is the key of its action: the default key, as a bound key is.
// At a question the buttons of yes and no come first; elsewhere they count
// only when bound to another action too. The stick's sides always move.
int PlayerInput::keyForButton(int button, bool question) const {
  if (button == machine::PadStickLeft) return SC_LEFT;
  if (button == machine::PadStickRight) return SC_RIGHT;
  for (const bool answers : {true, false}) {
    if (answers && !question) continue;
    for (int action = 0; action < ACTION_COUNT; ++action)
      if (answerAction(action) == answers && buttons_[action] == button) return scanCodeForName(defaultKeyName(action));
  }
  return -1;
}

bool PlayerInput::buttonBound(int button) const {
  return std::find(buttons_.begin(), buttons_.end(), button) != buttons_.end();
}

int PlayerInput::bound(int scanCode) const {
  return scanCode >= 0 && scanCode < SCAN_CODE_COUNT ? binding_[scanCode] : scanCode;
}

bool PlayerInput::boundToAction(int scanCode) const { return bound(scanCode) != scanCode; }

void PlayerInput::key(const machine::DeviceEvent& event, const machine::InputSink& game) {
  const int scanCode = bound(event.scanCode);
  if (event.kind == machine::DeviceEvent::KeyUp) {
    if (scanCode == SC_SPACE) fireKeyHeld_ = gameSeesFire_ = false;
    game.release(scanCode);
    return;
  }
  const std::string value = typedValue(scanCode, event.letter, event.shift);
  if (event.kind == machine::DeviceEvent::KeyRepeat) {  // auto-repeat types again but the key was already down
    game.type(value);
    return;
  }
  if (scanCode == SC_SPACE) fireKeyHeld_ = gameSeesFire_ = true;
  game.press(scanCode, value);
}

// A button goes down or up; the game sees its key exactly as if it were
// typed on the keyboard, recordings included.
void PlayerInput::button(const machine::DeviceEvent& event, const machine::InputSink& game, Activity activity) {
  if (event.button < 0 || event.button >= machine::PAD_BUTTON_COUNT) return;
  int& held = buttonHeld_[event.button];
  if (event.kind == machine::DeviceEvent::ButtonDown) {
    const int scanCode = keyForButton(event.button, activity == Activity::Question);
    if (held != 0 || scanCode < 0) return;
    held = scanCode + 1;
    if (scanCode == SC_SPACE) gameSeesFire_ = true;
    game.press(scanCode, typedValueForScanCode(scanCode));
    return;
  }
  if (held == 0) return;
  const int scanCode = held - 1;
  held = 0;
  if (scanCode == SC_SPACE) gameSeesFire_ = false;
  game.release(scanCode);
}

// Only in play (the stages, and the story scenes, which Space does not
// skip): at the title and at a question a press is an answer, never fire.
void PlayerInput::betweenFrames(const machine::InputSink& game, Activity activity) {
  if (!autoFire_ || activity != Activity::Play) return;
  bool fireHeld = fireKeyHeld_;
  for (int held : buttonHeld_) fireHeld = fireHeld || held == SC_SPACE + 1;
  if (!fireHeld) return;
  gameSeesFire_ = !gameSeesFire_;
  if (gameSeesFire_)
    game.press(SC_SPACE, typedValueForScanCode(SC_SPACE));
  else
    game.release(SC_SPACE);
}

std::string typedValue(int scanCode, char letter, bool shift) {
  if (letter != 0) return std::string(1, letter);
  std::string value = typedValueForScanCode(scanCode);
  const bool isLetter = value.size() == 1 && value[0] >= 'a' && value[0] <= 'z';
  if (isLetter) return shift ? std::string(1, static_cast<char>(value[0] - 'a' + 'A')) : value;
  if (scanCode >= 0 && !shift) return value;
  return keyWithoutCharacter();
}
