#include "support/story_support.h"

#include <algorithm>
#include <sstream>

#include "machine/machine.h"
#include "story/story.h"
#include "support/session.h"

SceneRun playScene(Game& game, int scene, const std::set<int>& keep, const std::function<void(int)>& onFrame) {
  SceneRun run;
  const int64_t before = framesPresented(game);
  setFrameHook(game, [&](int64_t frame) {
    const int t = static_cast<int>(frame - before);
    // The hook runs right after the frame was presented, while the work page
    // still holds it.
    if (keep.count(t) != 0) {
      ShownFrame picture;
      picture.pixels.resize(320 * 240);
      for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++)
          picture.pixels[static_cast<size_t>(y) * 320 + x] = readPixel(game, x, y) & 0xFFFFFF;
      run.pictures[t] = std::move(picture);
    }
    if (onFrame) onFrame(t);
  });
  playToEnd(game, StoryScene(game, scene));
  setFrameHook(game, nullptr);
  run.frames = framesPresented(game) - before;
  return run;
}

Bounds boundsOf(const ShownFrame& picture, uint32_t colour, int fromY) {
  Bounds b;
  for (int y = fromY; y < 240; y++) {
    for (int x = 0; x < 320; x++) {
      if (picture.at(x, y) != colour) continue;
      if (!b.found) {
        b = {true, x, y, x, y};
        continue;
      }
      b.x1 = std::min(b.x1, x);
      b.x2 = std::max(b.x2, x);
      b.y1 = std::min(b.y1, y);
      b.y2 = std::max(b.y2, y);
    }
  }
  return b;
}

int countOf(const ShownFrame& picture, int x1, int y1, int x2, int y2, uint32_t colour) {
  int n = 0;
  for (int y = y1; y <= y2; y++)
    for (int x = x1; x <= x2; x++) n += picture.at(x, y) == colour;
  return n;
}

int countOther(const ShownFrame& picture, int x1, int y1, int x2, int y2, uint32_t colour) {
  return (x2 - x1 + 1) * (y2 - y1 + 1) - countOf(picture, x1, y1, x2, y2, colour);
}
