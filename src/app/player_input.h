// The player's keys and controller buttons as the game's own keys: the
// settings' key and button bindings, what a key types, and the
// controller's buttons, of which yes and no count only at a question. Recordings see only the game's keys, so
// they replay the same whatever the player's bindings.
//
// Auto fire: while the player holds fire (the fire key, or a button that is
// Space), the game is told between frames that Space went up, then down
// again, and so on: a new press every other frame, so that the game fires
// as soon as its shot may fire again. The presses are input like any other
// and recordings keep them.
#pragma once

#include <array>
#include <string>

#include "app/settings.h"
#include "base/keys.h"
#include "machine/backend.h"
#include "machine/kinds.h"

class PlayerInput {
 public:
  explicit PlayerInput(const Settings& settings);
  // New bindings; what is held stays held until it is let go.
  void rebind(const Settings& settings);
  // The player bound the key to an action: it is the game's, even when it
  // is one of the window's own keys.
  bool boundToAction(int scanCode) const;
  // A key going down (again, when it repeats) or up.
  void key(const machine::DeviceEvent& event, const machine::InputSink& game);
  // A controller button or stick side going down or up.
  void button(const machine::DeviceEvent& event, const machine::InputSink& game, Activity activity);
  // The player bound the button to an action.
  bool buttonBound(int button) const;
  // Between two frames of the game: auto fire's next release or press.
  void betweenFrames(const machine::InputSink& game, Activity activity);
  bool autoFire() const { return autoFire_; }
  void setAutoFire(bool on) { autoFire_ = on; }

 private:
  int bound(int scanCode) const;
  int keyForButton(int button, bool question) const;
  // The player's own key -> the game's key it stands for.
  std::array<int, SCAN_CODE_COUNT> binding_{};
  // Each action's button (a machine::ControllerButton), -1 for none.
  std::array<int, ACTION_COUNT> buttons_{};
  // The game key each button pressed, plus one; 0 while it is up.
  std::array<int, machine::PAD_BUTTON_COUNT> buttonHeld_{};
  bool autoFire_ = false;
  bool fireKeyHeld_ = false;   // the keyboard's key for Space is down
  bool gameSeesFire_ = false;  // Space is down as the game was last told
};

// What a key press queues: the layout's letter, else the key's own letter
// (a capital with Shift) or character, else keyWithoutCharacter().
std::string typedValue(int scanCode, char letter, bool shift);
