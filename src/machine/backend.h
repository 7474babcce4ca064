// What a back end (headless, the SDL window, the browser page) provides, as
// one small interface a device, like a sound module's table of operations:
// a display, input, a clock, a sound device and the host around the
// program. A back end may be several of them. They are called and answer;
// they never call the game: the app takes their events between frames,
// hands the machine's input to the machine and pictures to the display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/outcome.h"
#include "formats/wav.h"
#include "machine/kinds.h"

namespace machine {

// Who gave an input: a device the player uses, or a script (the harness, tests).
enum class InputOrigin { Device, Script };

struct MachineState;

// Input goes into the machine through this: the key-held table, the key
// queue, the window's close button. The machine has one for the player's
// devices (the app feeds it) and one for scripts.
class InputSink {
 public:
  InputSink(MachineState& machine, InputOrigin origin) : machine_(machine), origin_(origin) {}
  // A key goes down: held from now on, and typed (queued) unless typed is "".
  void press(int scanCode, const std::string& typed) const;
  void release(int scanCode) const;
  // A value queued without a key going down (auto-repeat, a capital letter).
  void type(const std::string& value) const;
  void closeButton() const;
  bool keyQueued() const;

 private:
  MachineState& machine_;
  InputOrigin origin_;
};

// The screen the pictures go to.
class Display {
 public:
  virtual ~Display() = default;
  // Fails when nothing can be shown (no display for a window).
  virtual Outcome openDisplay(ScreenMode mode) = 0;
  virtual void leaveFullScreen() = 0;  // the shutdown's 640x480 window, black
  virtual void closeDisplay() = 0;
  virtual void hidePointer() = 0;
  // Shows a 320x240 picture of 0x00RRGGBB pixels; they are copied (or drawn)
  // before the call returns.
  virtual void show(const uint32_t* pixels) = 0;
  virtual void toggleFullScreen() {}
  virtual bool fullScreen() const { return false; }
  // The window's size in multiples of 320x240 (fitted to the screen), and
  // waiting for the vertical blank, as the player changes them.
  virtual void setScale(int /*scale*/) {}
  virtual void setVsync(bool /*on*/) {}
  // The mouse pointer over the picture, shown while the player may click.
  virtual void showPointer(bool /*shown*/) {}
  // The whole-number factor the picture is shown at now (at least 1).
  virtual int pictureFactor() const { return 1; }
};

// One thing the player did, as the app takes it from the input device.
struct DeviceEvent {
  enum Kind {
    KeyDown,        // scanCode, letter, shift, alt
    KeyRepeat,      // the key auto-repeats: it types again
    KeyUp,          // scanCode
    ButtonDown,     // a controller's button or stick direction: button, controller
    ButtonUp,       // button, controller
    CloseButton,    // the window's close button, Alt+F4
    FocusLost,      // the window lost the keyboard focus
    FocusGained,    //
    PauseAsked,     // the page's own pause (its button, a hidden tab): on
    SessionEnding,  // the desktop is logging off or shutting down
    MouseClick,     // the left mouse button went down: x, y on the 320x240 picture
    MenuAsked,      // the page's Menu button or a gamepad's Start: the menu opens, or closes
    VolumeSet       // the page's own volume slider or mute: volume, on (muted)
  } kind = KeyDown;
  int scanCode = -1;  // the key's PC set-1 scan code by the keyboard's layout, -1 for a key the game has not
  char letter = 0;    // what the key types when the layout makes it a letter (with Shift a capital); 0: none
  bool shift = false;
  bool alt = false;
  // What the key's symbol is to the window's own keys, by the layout: F12,
  // Pause, M, minus and plus.
  enum WindowKey { NotWindowKey, ScreenshotKey, PauseKey, MuteKey, QuieterKey, LouderKey } windowKey = NotWindowKey;
  int button = 0;      // ControllerButton, for button events
  int controller = 0;  // which controller
  bool on = false;     // PauseAsked: paused or playing on; VolumeSet: muted
  int volume = 0;      // VolumeSet: 0..100
  int x = -1, y = -1;  // MouseClick: where, in the picture's pixels (outside it in the letterbox)
};

// A controller's buttons and the stick's directions, as the app binds them.
enum ControllerButton {
  PadA,
  PadB,
  PadX,
  PadY,
  PadBack,
  PadStart,
  PadLeftShoulder,
  PadRightShoulder,
  PadUp,
  PadDown,
  PadLeft,
  PadRight,
  PadStickLeft,  // the left stick pushed to a side
  PadStickRight,
  PadStickUp,  // and up or down
  PadStickDown,
  PAD_BUTTON_COUNT
};

class Input {
 public:
  virtual ~Input() = default;
  // Adds every event since the last call, oldest first.
  virtual void takeEvents(std::vector<DeviceEvent>& events) = 0;
};

// The real clock, or none (headless: time is virtual, nothing waits).
class Clock {
 public:
  virtual ~Clock() = default;
  virtual bool real() const = 0;
  virtual double nowMs() = 0;  // milliseconds, never going back
  // The seconds of the day (UTC), the seed of a normal run.
  virtual double secondsOfDay() = 0;
  // Sleeps until nowMs() reaches untilMs, or sooner when the player does
  // something (wakeOnEvent).
  virtual void sleepUntil(double untilMs, bool wakeOnEvent) = 0;
};

// The sound device. Samples arrive checked and decoded (and as the file's
// bytes, for a mixer that reads files itself); volumes are 0..255.
class Audio {
 public:
  virtual ~Audio() = default;
  virtual bool openAudio() = 0;
  virtual bool loadSample(int sample, const std::vector<uint8_t>& file, const WavSound& sound) = 0;
  virtual void playSample(int channel, int sample, int volume) = 0;
  virtual void closeAudio() = 0;
  // The player's master volume, 0..100, or silent while muted.
  virtual void setMasterVolume(int /*percent*/, bool /*muted*/) {}
};

// What is around the program: the desktop or the browser page.
class Host {
 public:
  virtual ~Host() = default;
  virtual void activityChanged(Activity) {}
  virtual void highScoreChanged(int32_t) {}
  // Should the desktop end the session before the next frame, these bytes
  // are written to that file at once (the process may be gone the moment
  // the window has answered): a reached high score.
  virtual void keepOnSessionEnd(const std::string& /*path*/, const std::string& /*bytes*/) {}
  // The program has ended with this exit code (the page shows it).
  virtual void finished(int /*exitCode*/) {}
  // The player's menu opened or closed (the page lets taps choose in it).
  virtual void menuChanged(bool /*open*/) {}
};

}  // namespace machine
