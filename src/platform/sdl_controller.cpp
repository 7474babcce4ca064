// Game controllers through SDL's game-controller API, plugged in and out at
// any time. They press the game's own keys:
//   d-pad and left stick: Left / Right      A (south): Space, at a question y
//   B (east): z, at a question n            Back/Select: Esc    Start: Space
//   right shoulder: Ctrl                    left shoulder: left Shift
#include <SDL.h>

#include "platform/platform.h"
#include "platform/platform_state.h"
#include "platform/sdl_backend.h"

namespace {

constexpr int STICK_LEFT = 32, STICK_RIGHT = 33;
constexpr int STICK_ON = 16000, STICK_OFF = 8000;  // a little play between on and off

// A question (continue? exit to the title?) waits on page 0 over the frame
// last presented; the title and every frame loop clear the page first.
bool questionShowing() {
  const PlatformState& p = platform();
  return p.workPage == 0 && p.visiblePage == 0 && p.frames > 0 && !p.pageClearedSinceFrame;
}

int keyForButton(int button) {
  bool question = questionShowing();
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
void SdlBackend::controllerKey(int slot, int scanCode, bool down) {
  if (down) {
    if (controllerHeld_[slot] != 0 || scanCode < 0) return;
    controllerHeld_[slot] = scanCode + 1;
    pressKey(scanCode, typedValueForScanCode(scanCode));
    record("down " + nameForScanCode(scanCode));
  } else {
    if (controllerHeld_[slot] == 0) return;
    int held = controllerHeld_[slot] - 1;
    controllerHeld_[slot] = 0;
    releaseKey(held);
    record("up " + nameForScanCode(held));
  }
}

bool SdlBackend::controllerEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      if (SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which))
        controllers_.push_back(controller);
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      for (size_t i = 0; i < controllers_.size(); ++i) {
        auto* controller = static_cast<SDL_GameController*>(controllers_[i]);
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)) != event.cdevice.which) continue;
        SDL_GameControllerClose(controller);
        controllers_.erase(controllers_.begin() + static_cast<long>(i));
        // Nothing stays held by a controller that is gone.
        for (int slot = 0; slot < 34; ++slot) controllerKey(slot, 0, false);
        break;
      }
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      int button = event.cbutton.button;
      if (button < 0 || button >= 32) return true;
      bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
      controllerKey(button, down ? keyForButton(button) : 0, down);
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

void SdlBackend::closeControllers() {
  for (void* controller : controllers_) SDL_GameControllerClose(static_cast<SDL_GameController*>(controller));
  controllers_.clear();
  for (int& held : controllerHeld_) held = 0;
}
