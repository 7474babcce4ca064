// Watching the machine from outside the game: the harness (scripts, shots,
// logs, frame fingerprints, timing) and tests attach observers. Nothing here
// changes what the game does, except input given through scriptInput().
#pragma once

#include <cstdint>
#include <string>

#include "machine/backend.h"
#include "machine/kinds.h"
#include "machine/machine.h"

namespace machine {

struct InputEvent {
  enum Kind { Press, Release, Type, Close } kind = Press;
  int scanCode = 0;
  std::string value;  // Press: what it queued; Type: the value
};

class Observer {
 public:
  virtual ~Observer() = default;
  virtual void seeded(uint32_t /*seed*/) {}
  // The clock has advanced to virtualMs and the back end is about to wait.
  virtual void waiting(int64_t /*virtualMs*/) {}
  // frame counts from 1; page is the visible page, 320x240.
  virtual void framePresented(int64_t /*frame*/, const uint32_t* /*page*/) {}
  // volume as the game asked for it (KEEP_VOLUME included).
  virtual void soundPlayed(int /*sample*/, int /*channel*/, int /*volume*/) {}
  virtual void input(const InputEvent& /*event*/, InputOrigin /*origin*/) {}
  virtual void activityChanged(Activity /*activity*/) {}
  virtual void highScoreChanged(int32_t /*highScore*/) {}
};

// Observers are told in the order they were attached.
void attach(Machine& machine, Observer& observer);
void detach(Machine& machine, Observer& observer);

int64_t virtualMs(const Machine& machine);        // the sum of all sleeps requested so far (at least 1 ms each)
int64_t framesPresented(const Machine& machine);  // FramePresent calls so far
const uint32_t* visiblePage(const Machine& machine);
Activity activity(const Machine& machine);
const InputSink& scriptInput(Machine& machine);

}  // namespace machine
