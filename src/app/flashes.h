// Flashing pictures, as the display shows them: whether two consecutive
// pictures change brightness sharply over a large part of the screen, how
// many flashes (a change and its opposite) come in a second of game time,
// and the filter that softens such changes on the shown picture when the
// player asks for reduced flashing. The rule is the usual general-flash
// rule:
//   - a pixel changes sharply when its relative luminance (0 black to 1
//     white, sRGB) changes by at least a tenth and the darker of its two
//     states is below 0.80;
//   - a picture changes sharply when at least a quarter of the screen does,
//     brighter or darker as most of those pixels went;
//   - a flash is a sharp change followed by an opposite one;
//   - more than three flashes in any one second are too many.
// Everything here works on copies of 320x240 pictures of 0x00RRGGBB pixels;
// it never sees the game's pages, only what is shown.
#pragma once

#include <cstdint>
#include <vector>

#include "machine/observer.h"

constexpr int FLASHES_ALLOWED_PER_SECOND = 3;

enum class BrightnessChange { None, Brighter, Darker };

// The change from one shown 320x240 picture to the next.
BrightnessChange sharpChange(const uint32_t* before, const uint32_t* after);

// Counts the flashes of a sequence of shown pictures, each stamped with its
// time of game time.
class FlashCounter {
 public:
  void add(const uint32_t* picture, int64_t ms);
  int64_t flashes() const { return static_cast<int64_t>(flashTimes_.size()); }
  // The most flashes in any one second (a window of 1000 ms anywhere).
  int worstSecond() const;
  // Whole seconds of game time (0 to 999 ms, 1000 to 1999 ms, ...) with
  // more than FLASHES_ALLOWED_PER_SECOND flashes.
  int secondsOverLimit() const;
  // When each flash ended (its second change was shown), in ms of game time.
  const std::vector<int64_t>& flashTimes() const { return flashTimes_; }

 private:
  std::vector<uint32_t> last_;
  BrightnessChange unanswered_ = BrightnessChange::None;  // a sharp change its opposite has not followed yet
  std::vector<int64_t> flashTimes_;                       // when each flash ended, in order
};

// Reduced flashing: the picture to show for each new page. The page itself
// when it does not change sharply from the picture shown last; otherwise
// the blend of the two (channel by channel) that goes as far toward the
// page as it can without a sharp change, so that a cut or a flash becomes a
// fade of a few frames and no flash is ever shown.
class FlashFilter {
 public:
  // The picture to show, 320x240, valid until the next call.
  const uint32_t* show(const uint32_t* page);

 private:
  void blend(const uint32_t* page, int step, std::vector<uint32_t>& out) const;
  std::vector<uint32_t> shown_;
  std::vector<uint32_t> trial_;
};

// Watches the game's frames (an observer of the machine) and counts their
// flashes as shown plainly and as shown through the filter.
class FlashWatch : public machine::Observer {
 public:
  void waiting(int64_t virtualMs) override { now_ = virtualMs; }
  void framePresented(int64_t frame, const uint32_t* page) override;
  const FlashCounter& plain() const { return plain_; }
  const FlashCounter& filtered() const { return filtered_; }

 private:
  int64_t now_ = 0;
  FlashCounter plain_;
  FlashFilter filter_;
  FlashCounter filtered_;
};
