// What a back end (the SDL window, the browser, headless) does for the
// machine, and how it hands input over. Drawing happens in the machine's
// memory; a back end only shows the visible page, delivers input, waits, and
// plays samples. It never sees the machine's state: the machine calls it,
// and it answers through the InputSink it is given.
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

// Input goes into the machine through this: the key-held table, the key
// queue, the window's close button. The machine makes one for the back end
// and one for scripts.
struct MachineState;

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

class Backend {
 public:
  virtual ~Backend() = default;
  // Before anything else: where input goes.
  virtual void connect(const InputSink& input) { input_ = &input; }
  virtual Outcome openDisplay(ScreenMode mode) = 0;
  virtual void leaveFullScreen() = 0;  // 640x480 window, black
  virtual void closeDisplay() = 0;
  virtual void hideMousePointer() = 0;
  // The visible page (320x240, 32-bit) changed: a frame was presented
  // (presented true), or the game drew straight onto the shown page. The
  // pixels stay where they are until the next showPage, and whenever the
  // back end is asked to wait they hold the picture on show.
  virtual void showPage(const uint32_t* pixels, bool presented) = 0;
  // Waits ms milliseconds while delivering input; with stopOnKey returns
  // early when a key is queued. The virtual clock has already advanced.
  virtual void wait(int ms, bool stopOnKey) = 0;
  // The seconds timer: real seconds, or the virtual clock's.
  virtual double secondsTimer(int64_t virtualMs) = 0;
  virtual void activityChanged(Activity) {}
  virtual void highScoreChanged(int32_t) {}

  // The sound device. Samples arrive checked and decoded (and as the file's
  // bytes, for a mixer that reads files itself); volumes are 0..255.
  virtual bool openAudio() = 0;
  virtual bool loadSample(int sample, const std::vector<uint8_t>& file, const WavSound& sound) = 0;
  virtual void playSample(int channel, int sample, int volume) = 0;
  virtual void closeAudio() = 0;

 protected:
  const InputSink* input_ = nullptr;
};

}  // namespace machine
