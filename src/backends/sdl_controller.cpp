// Game controllers through SDL's game-controller API, plugged in and out at
// any time. They press the game's own keys:
//   d-pad and left stick: Left / Right      A (south): Space, at a question y
//   B (east): z, at a question n            Back/Select: Esc    Start: Space
//   right shoulder: Ctrl                    left shoulder: left Shift
#include <SDL.h>

#include "backends/sdl_window.h"
#include "base/keys.h"
#include "formats/key_names.h"

namespace backend {

namespace {

constexpr int STICK_LEFT = 32, STICK_RIGHT = 33;
constexpr int STICK_ON = 16000, STICK_OFF = 8000;  // a little play between on and off

// At a question (continue? exit to the title?) A answers yes and B no, as
// the game says when one is up.
int keyForButton(int button, bool question) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return question ? scanCodeForName("y") : SC_SPACE;
    case SDL_CONTROLLER_BUTTON_B: return question ? scanCodeForName("n") : scanCodeForName("z");
    case SDL_CONTROLLER_BUTTON_BACK: return SC_ESC;
    case SDL_CONTROLLER_BUTTON_START: return SC_SPACE;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return SC_LSHIFT;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return SC_CTRL;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return SC_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return SC_RIGHT;
    default: return -1;
  }
}

}  // namespace

// A slot (button or stick side) goes down or up; the game sees its key
// exactly as if it were typed on the keyboard, recordings included.
void SdlWindow::controllerKey(int slot, int scanCode, bool down) {
  if (down) {
    if (controllerHeld_[slot] != 0 || scanCode < 0) return;
    controllerHeld_[slot] = scanCode + 1;
    input_->press(scanCode, typedValueForScanCode(scanCode));
  } else {
    if (controllerHeld_[slot] == 0) return;
    int held = controllerHeld_[slot] - 1;
    controllerHeld_[slot] = 0;
    input_->release(held);
  }
}

bool SdlWindow::controllerEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      if (SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which))
        controllers_.push_back(controller);
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      for (size_t i = 0; i < controllers_.size(); ++i) {
        SDL_GameController* controller = controllers_[i];
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)) != event.cdevice.which) continue;
        SDL_GameControllerClose(controller);
        controllers_.erase(controllers_.begin() + static_cast<long>(i));
        // Nothing stays held by a controller that is gone.
        for (int slot = 0; slot < CONTROLLER_SLOTS; ++slot) controllerKey(slot, 0, false);
        break;
      }
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      int button = event.cbutton.button;
      if (button < 0 || button >= 32) return true;
      bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
      controllerKey(button, down ? keyForButton(button, activity_ == Activity::Question) : 0, down);
      return true;
    }
    case SDL_CONTROLLERAXISMOTION:
      if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
        int value = event.caxis.value;
        if (value <= -STICK_ON) controllerKey(STICK_LEFT, SC_LEFT, true);
        if (value > -STICK_OFF) controllerKey(STICK_LEFT, 0, false);
        if (value >= STICK_ON) controllerKey(STICK_RIGHT, SC_RIGHT, true);
        if (value < STICK_OFF) controllerKey(STICK_RIGHT, 0, false);
      }
      return true;
    default: return false;
  }
}

void SdlWindow::closeControllers() {
  for (SDL_GameController* controller : controllers_) SDL_GameControllerClose(controller);
  controllers_.clear();
  for (int& held : controllerHeld_) held = 0;
}

}  // namespace backend
