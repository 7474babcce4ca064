#include "app/replay_viewer.h"

#include <algorithm>
#include <iterator>

void ReplayViewer::press(Key key, int64_t frame) {
  constexpr int FASTEST = static_cast<int>(std::size(SPEEDS)) - 1;
  switch (key) {
    case Key::Faster: speedIndex_ = std::min(speedIndex_ + 1, FASTEST); break;
    case Key::Slower:
      if (speedIndex_ > 0)
        --speedIndex_;
      else if (frame > 1)
        seek_ = std::max<int64_t>(1, frame - SEEK_BACK_FRAMES);
      break;
    case Key::Pause: paused_ = !paused_; break;
    case Key::Step:
      if (paused_) step_ = true;
      break;
    case Key::Leave: leaving_ = true; break;
  }
}

std::optional<int64_t> ReplayViewer::takeSeek() {
  std::optional<int64_t> seek = seek_;
  seek_.reset();
  return seek;
}

bool ReplayViewer::takeStep() {
  const bool step = step_;
  step_ = false;
  return step;
}

std::string ReplayViewer::label() const {
  if (paused_) return "REPLAY PAUSED";
  if (speed() == 1) return "REPLAY";
  return "REPLAY X" + std::to_string(speed());
}
