// Running a story scene in a test session while keeping copies of chosen
// frames, and small queries on those copies.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

// One presented frame, low 24 bits of every pixel.
struct ShownFrame {
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * 320 + x]; }
};

struct SceneRun {
  int64_t frames = 0;                  // frames the scene presented
  std::map<int, ShownFrame> pictures;  // by frame number within the scene (= t)
};

// Plays StoryScene(scene) in the running session. 'keep' names the frames to
// copy; 'onFrame' (optional) is called after each frame with its t.
SceneRun playScene(int scene, const std::set<int>& keep, const std::function<void(int)>& onFrame = {});

struct Bounds {
  bool found = false;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
// The smallest rectangle holding every pixel of that colour at rows >= fromY.
Bounds boundsOf(const ShownFrame& picture, uint32_t colour, int fromY = 0);
// Number of pixels in the rectangle (corners included) that differ from colour.
int countOther(const ShownFrame& picture, int x1, int y1, int x2, int y2, uint32_t colour);
int countOf(const ShownFrame& picture, int x1, int y1, int x2, int y2, uint32_t colour);

// One line of the sound log: "FRAME MS SAMPLE CHANNEL VOLUME", without MS.
