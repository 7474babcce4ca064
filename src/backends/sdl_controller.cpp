// Game controllers through SDL's game-controller API, plugged in and out at
// any time. Their buttons and the left stick's sides come to the app as
// button events; the app binds them to the game's keys.
#include <SDL.h>

#include "backends/sdl_window.h"

namespace backend {

namespace {

constexpr int STICK_ON = 16000, STICK_OFF = 8000;  // a little play between on and off

// -1 for a button the game has no use for.
int padButton(int button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return machine::PadA;
    case SDL_CONTROLLER_BUTTON_B: return machine::PadB;
    case SDL_CONTROLLER_BUTTON_X: return machine::PadX;
    case SDL_CONTROLLER_BUTTON_Y: return machine::PadY;
    case SDL_CONTROLLER_BUTTON_BACK: return machine::PadBack;
    case SDL_CONTROLLER_BUTTON_START: return machine::PadStart;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return machine::PadLeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return machine::PadRightShoulder;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return machine::PadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return machine::PadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return machine::PadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return machine::PadRight;
    default: return -1;
  }
}

machine::DeviceEvent buttonEvent(int button, bool down, int controller) {
  machine::DeviceEvent event;
  event.kind = down ? machine::DeviceEvent::ButtonDown : machine::DeviceEvent::ButtonUp;
  event.button = button;
  event.controller = controller;
  return event;
}

// One axis of the stick as its two sides, each a button.
void stickSides(int value, int controller, int lowSide, int highSide, bool& low, bool& high,
                std::vector<machine::DeviceEvent>& events) {
  const bool nowLow = value <= -STICK_ON || (low && value <= -STICK_OFF);
  const bool nowHigh = value >= STICK_ON || (high && value >= STICK_OFF);
  if (nowLow != low) events.push_back(buttonEvent(lowSide, nowLow, controller));
  if (nowHigh != high) events.push_back(buttonEvent(highSide, nowHigh, controller));
  low = nowLow;
  high = nowHigh;
}

}  // namespace

bool SdlWindow::controllerEvent(const SDL_Event& event, std::vector<machine::DeviceEvent>& events) {
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
        for (int button = 0; button < machine::PAD_BUTTON_COUNT; ++button)
          events.push_back(buttonEvent(button, false, event.cdevice.which));
        stickLeft_ = stickRight_ = stickUp_ = stickDown_ = false;
        break;
      }
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      int button = padButton(event.cbutton.button);
      if (button >= 0)
        events.push_back(buttonEvent(button, event.type == SDL_CONTROLLERBUTTONDOWN, event.cbutton.which));
      return true;
    }
    case SDL_CONTROLLERAXISMOTION:
      if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
        stickSides(event.caxis.value, event.caxis.which, machine::PadStickLeft, machine::PadStickRight, stickLeft_,
                   stickRight_, events);
      if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)  // up is negative
        stickSides(event.caxis.value, event.caxis.which, machine::PadStickUp, machine::PadStickDown, stickUp_,
                   stickDown_, events);
      return true;
    default: return false;
  }
}

void SdlWindow::closeControllers() {
  for (SDL_GameController* controller : controllers_) SDL_GameControllerClose(controller);
  controllers_.clear();
  stickLeft_ = stickRight_ = stickUp_ = stickDown_ = false;
}

}  // namespace backend
