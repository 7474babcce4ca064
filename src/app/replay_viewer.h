// Watching a replay in the window: REPLAY over the picture, Right and Left
// change the speed (x1, x4, x16 and back), Left at x1 seeks back (the replay
// plays again from its start to an earlier frame at full speed), P pauses,
// "." steps one frame while paused, Esc leaves. The frame loop asks it what
// to do; it knows nothing of windows, so it is tested without one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class ReplayViewer {
 public:
  enum class Key { Faster, Slower, Pause, Step, Leave };
  static constexpr int SPEEDS[] = {1, 4, 16};
  static constexpr int64_t SEEK_BACK_FRAMES = 300;  // ten seconds of 30 ms frames

  // A key pressed when frame is the last frame shown.
  void press(Key key, int64_t frame);
  // The replay is played again from its start, up to this frame, at full
  // speed (none: no seek wanted, or it has been taken).
  std::optional<int64_t> takeSeek();
  bool seekWanted() const { return seek_.has_value(); }
  // After a seek: the frames before the target are played without waits or
  // pictures.
  void seekTo(int64_t frame) { seekTarget_ = frame; }
  bool catchingUp(int64_t frame) const { return frame < seekTarget_; }

  int speed() const { return SPEEDS[speedIndex_]; }
  bool paused() const { return paused_; }
  // While paused: one frame asked for (taken once).
  bool takeStep();
  bool leaving() const { return leaving_; }
  // What is shown over the picture: REPLAY, REPLAY X4, REPLAY PAUSED.
  std::string label() const;

 private:
  int speedIndex_ = 0;
  bool paused_ = false;
  bool step_ = false;
  bool leaving_ = false;
  std::optional<int64_t> seek_;
  int64_t seekTarget_ = 0;
};
