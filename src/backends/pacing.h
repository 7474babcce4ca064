// The real clock of the window and the browser: the time of day that seeds
// a normal run, and frame pacing. A frame's wait is counted from the moment
// it started being shown, so the time a window takes to present the picture
// is part of the game's 30 ms sleep, not added to it, and a bigger window
// does not make a slower game.
#pragma once

#include <chrono>
#include <cmath>
#include <cstdint>

namespace backend {

// The real clock's seconds since midnight (UTC), the seed of a normal run.
inline double secondsOfDay() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return std::fmod(std::chrono::duration<double>(sinceEpoch).count(), 86400.0);
}

class FramePacer {
 public:
  // A frame starts being shown at nowMs.
  void presenting(double nowMs) {
    frameStart_ = nowMs;
    sincePresent_ = true;
  }
  // When a wait of ms asked for at nowMs ends: ms after the frame started
  // being shown for the first wait after a frame, else ms from now.
  double waitEnd(double nowMs, int ms) {
    double from = sincePresent_ ? frameStart_ : nowMs;
    sincePresent_ = false;
    return from + ms;
  }

 private:
  double frameStart_ = 0.0;
  bool sincePresent_ = false;
};

}  // namespace backend
