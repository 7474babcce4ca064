// Frame pacing on a real clock. A frame's wait is counted from the moment
// it started being shown, so the time a window takes to present the picture
// is part of the game's 30 ms sleep, not added to it, and a bigger window
// does not make a slower game.
#pragma once

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
