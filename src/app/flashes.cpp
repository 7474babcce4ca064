#include "app/flashes.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "machine/kinds.h"

namespace {

constexpr size_t PICTURE_PIXELS = static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT;
constexpr float SHARP_LUMINANCE_CHANGE = 0.10f;  // a tenth of the brightest
constexpr float DARKER_STATE_BELOW = 0.80f;      // a change between two bright states is no flash
constexpr size_t LARGE_AREA_PIXELS = PICTURE_PIXELS / 4;
constexpr int64_t SECOND_MS = 1000;
// The filter's blends: the page's share in steps of 1/BLEND_STEPS. One step
// moves a channel by at most 8 of 255, well under a sharp change, so the
// shown picture always reaches the page.
constexpr int BLEND_SHIFT = 5;
constexpr int BLEND_STEPS = 1 << BLEND_SHIFT;

// sRGB: a channel's value to linear light, and the channels' shares of
// relative luminance.
constexpr int CHANNEL_VALUES = 256;
constexpr double SRGB_LINEAR_BELOW = 0.04045, SRGB_LINEAR_SLOPE = 12.92;
constexpr double SRGB_OFFSET = 0.055, SRGB_GAMMA = 2.4;
constexpr float RED_SHARE = 0.2126f, GREEN_SHARE = 0.7152f, BLUE_SHARE = 0.0722f;

using LinearTable = std::array<float, CHANNEL_VALUES>;

const LinearTable& linearLight() {
  static const LinearTable table = [] {
    LinearTable values{};
    for (int i = 0; i < CHANNEL_VALUES; ++i) {
      const double c = i / (CHANNEL_VALUES - 1.0);
      values[i] =
          static_cast<float>(c <= SRGB_LINEAR_BELOW ? c / SRGB_LINEAR_SLOPE
                                                    : std::pow((c + SRGB_OFFSET) / (1.0 + SRGB_OFFSET), SRGB_GAMMA));
    }
    return values;
  }();
  return table;
}

float luminance(uint32_t pixel, const LinearTable& linear) {
  return RED_SHARE * linear[(pixel >> 16) & 0xFF] + GREEN_SHARE * linear[(pixel >> 8) & 0xFF] +
         BLUE_SHARE * linear[pixel & 0xFF];
}

// What changed between two pictures: the change, and which rows differ at all.
struct Scan {
  BrightnessChange change = BrightnessChange::None;
  std::array<bool, SCREEN_HEIGHT> rowDiffers{};
};

// Counts the sharply changing pixels only where enough pixels change at all
// for a large area: most frames change a few rows, or only a few pixels.
Scan scan(const uint32_t* before, const uint32_t* after) {
  Scan found;
  size_t differing = 0;
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    const uint32_t* from = before + static_cast<ptrdiff_t>(y) * SCREEN_WIDTH;
    const uint32_t* to = after + static_cast<ptrdiff_t>(y) * SCREEN_WIDTH;
    if (std::equal(from, from + SCREEN_WIDTH, to)) continue;
    found.rowDiffers[y] = true;
    for (int x = 0; x < SCREEN_WIDTH; ++x) differing += ((from[x] ^ to[x]) & 0xFFFFFF) != 0;
  }
  if (differing < LARGE_AREA_PIXELS) return found;
  const LinearTable& linear = linearLight();
  size_t brighter = 0, darker = 0;
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    if (!found.rowDiffers[y]) continue;
    const uint32_t* from = before + static_cast<ptrdiff_t>(y) * SCREEN_WIDTH;
    const uint32_t* to = after + static_cast<ptrdiff_t>(y) * SCREEN_WIDTH;
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
      if (((from[x] ^ to[x]) & 0xFFFFFF) == 0) continue;
      const float was = luminance(from[x], linear);
      const float is = luminance(to[x], linear);
      if (std::fabs(is - was) < SHARP_LUMINANCE_CHANGE || std::min(was, is) >= DARKER_STATE_BELOW) continue;
      ++(is > was ? brighter : darker);
    }
  }
  if (brighter + darker >= LARGE_AREA_PIXELS)
    found.change = brighter >= darker ? BrightnessChange::Brighter : BrightnessChange::Darker;
  return found;
}

// kept becomes picture, copying only the rows that differ.
void keep(const Scan& scanned, const uint32_t* picture, std::vector<uint32_t>& kept) {
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    if (!scanned.rowDiffers[y]) continue;
    const uint32_t* row = picture + static_cast<ptrdiff_t>(y) * SCREEN_WIDTH;
    std::copy(row, row + SCREEN_WIDTH, kept.begin() + static_cast<ptrdiff_t>(y) * SCREEN_WIDTH);
  }
}

}  // namespace

BrightnessChange sharpChange(const uint32_t* before, const uint32_t* after) { return scan(before, after).change; }

void FlashCounter::add(const uint32_t* picture, int64_t ms) {
  if (last_.empty()) {
    last_.assign(picture, picture + PICTURE_PIXELS);
    return;
  }
  const Scan scanned = scan(last_.data(), picture);
  keep(scanned, picture, last_);
  const BrightnessChange change = scanned.change;
  if (change == BrightnessChange::None) return;
  if (unanswered_ == BrightnessChange::None || unanswered_ == change) {
    unanswered_ = change;
    return;
  }
  flashTimes_.push_back(ms);
  unanswered_ = BrightnessChange::None;
}

int FlashCounter::worstSecond() const {
  int worst = 0;
  size_t from = 0;
  for (size_t to = 0; to < flashTimes_.size(); ++to) {
    while (flashTimes_[to] - flashTimes_[from] >= SECOND_MS) ++from;
    worst = std::max(worst, static_cast<int>(to - from + 1));
  }
  return worst;
}

int FlashCounter::secondsOverLimit() const {
  int over = 0;
  for (size_t i = 0; i < flashTimes_.size();) {
    const int64_t second = flashTimes_[i] / SECOND_MS;
    size_t end = i;
    while (end < flashTimes_.size() && flashTimes_[end] / SECOND_MS == second) ++end;
    if (end - i > static_cast<size_t>(FLASHES_ALLOWED_PER_SECOND)) ++over;
    i = end;
  }
  return over;
}

// step of BLEND_STEPS: the page's share; every channel rounded to nearest.
void FlashFilter::blend(const uint32_t* page, int step, std::vector<uint32_t>& out) const {
  out.resize(PICTURE_PIXELS);
  const uint32_t keep = static_cast<uint32_t>(BLEND_STEPS - step);
  const uint32_t take = static_cast<uint32_t>(step);
  for (size_t i = 0; i < PICTURE_PIXELS; ++i) {
    const uint32_t from = shown_[i], to = page[i];
    uint32_t mixed = 0;
    for (int shift : {16, 8, 0}) {
      const uint32_t channel =
          (((from >> shift) & 0xFF) * keep + ((to >> shift) & 0xFF) * take + BLEND_STEPS / 2) >> BLEND_SHIFT;
      mixed |= channel << shift;
    }
    out[i] = mixed;
  }
}

const uint32_t* FlashFilter::show(const uint32_t* page) {
  if (shown_.empty()) {
    shown_.assign(page, page + PICTURE_PIXELS);
    return shown_.data();
  }
  if (const Scan scanned = scan(shown_.data(), page); scanned.change == BrightnessChange::None) {
    keep(scanned, page, shown_);
    return shown_.data();
  }
  // The furthest blend without a sharp change: none at all always is one,
  // the whole page is not.
  int calm = 0, sharp = BLEND_STEPS;
  while (sharp - calm > 1) {
    const int step = (calm + sharp) / 2;
    blend(page, step, trial_);
    (sharpChange(shown_.data(), trial_.data()) == BrightnessChange::None ? calm : sharp) = step;
  }
  blend(page, calm, trial_);
  shown_.swap(trial_);
  return shown_.data();
}

void FlashWatch::framePresented(int64_t, const uint32_t* page) {
  plain_.add(page, now_);
  filtered_.add(filter_.show(page), now_);
}
