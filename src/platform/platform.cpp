// The screen's two pages, drawing, images, keyboard, timing and random
// numbers. All drawing happens in memory; the back end only shows the
// visible page and delivers input.
#include "platform/platform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/platform_state.h"

PlatformState& platform() {
  static PlatformState state;
  return state;
}

namespace {

// Fractional coordinates round to the nearest pixel, halves away from zero.
int toPixel(double value) {
  if (!(value == value)) return 0;  // NaN
  value = std::clamp(value, -1.0e9, 1.0e9);
  return static_cast<int>(std::round(value));
}

struct Surface {
  uint8_t* pixels;
  int width;
  int height;
  int pitch;
  int bytesPerPixel;
};

Surface workSurface() {
  PlatformState& p = platform();
  return {reinterpret_cast<uint8_t*>(p.pages[p.workPage]), SCREEN_WIDTH, SCREEN_HEIGHT, PAGE_PITCH, 4};
}

// nullptr (the work page) or an image; a surface of 0x0 when nothing can be drawn.
Surface targetSurface(Image* target) {
  PlatformState& p = platform();
  if (target == nullptr && p.drawInto != nullptr) target = p.drawInto;
  if (target == nullptr) {
    if (!p.screenOpen) return {nullptr, 0, 0, 0, 4};
    p.pageBlank[p.workPage] = false;  // about to be drawn on
    return workSurface();
  }
  return {imagePixels(target), target->width, target->height, target->pitch, target->bytesPerPixel};
}

inline uint32_t* pixelAt(const Surface& s, int x, int y) {
  return reinterpret_cast<uint32_t*>(s.pixels + static_cast<intptr_t>(y) * s.pitch) + x;
}

// Fills count pixels of each of rows rows, pitch bytes apart. Whole pages and
// wide bands are filled every frame, so this goes by the library's memset or
// memcpy, which run with wider stores than a fill loop.
void fillRows(uint32_t* first, int pitch, int count, int rows, uint32_t colour) {
  uint8_t* row = reinterpret_cast<uint8_t*>(first);
  const size_t rowBytes = static_cast<size_t>(count) * 4;
  // A colour whose four bytes are alike (black, as every page clear uses) is
  // a memset, of one block when the rows lie end to end.
  if ((colour & 0xFF) * 0x01010101u == colour) {
    if (rowBytes == static_cast<size_t>(pitch)) {
      std::memset(row, static_cast<int>(colour & 0xFF), rowBytes * static_cast<size_t>(rows));
      return;
    }
    for (int y = 0; y < rows; ++y)
      std::memset(row + static_cast<intptr_t>(y) * pitch, static_cast<int>(colour & 0xFF), rowBytes);
    return;
  }
  // Any other colour: the first row, then copies of it, which the library's
  // copy does faster than a fill loop.
  std::fill(first, first + count, colour);
  for (int y = 1; y < rows; ++y) std::memcpy(row + static_cast<intptr_t>(y) * pitch, first, rowBytes);
}

void putPixel(const Surface& s, int x, int y, uint32_t colour) {
  if (s.pixels == nullptr || s.bytesPerPixel != 4) return;
  if (x < 0 || y < 0 || x >= s.width || y >= s.height) return;
  *pixelAt(s, x, y) = colour;
}

void fillBox(const Surface& s, int x1, int y1, int x2, int y2, uint32_t colour) {
  if (s.pixels == nullptr || s.bytesPerPixel != 4) return;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, s.width - 1);
  y2 = std::min(y2, s.height - 1);
  if (x1 > x2 || y1 > y2) return;
  fillRows(pixelAt(s, x1, y1), s.pitch, x2 - x1 + 1, y2 - y1 + 1, colour);
}

// A one-pixel line, both ends included; points off the surface are skipped.
void solidLine(const Surface& s, int x1, int y1, int x2, int y2, uint32_t colour) {
  if (y1 == y2 || x1 == x2) {
    fillBox(s, x1, y1, x2, y2, colour);
    return;
  }
  int64_t dx = std::abs(int64_t{x2} - x1), dy = -std::abs(int64_t{y2} - y1);
  int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int64_t error = dx + dy;
  int x = x1, y = y1;
  for (int64_t steps = 0; steps <= dx - dy; ++steps) {
    putPixel(s, x, y, colour);
    if (x == x2 && y == y2) break;
    int64_t e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y += sy;
    }
  }
}

enum RowKind { RowCopy, RowTransparent, RowRecolour, RowBlend };

// One row of drawImage. Sprites are small and drawn by the hundred each
// frame, so the transparent and recolour rows are written as a select over
// the whole row instead of a branch or a blend call per pixel: the compiler
// turns these loops into vector code. A mask pixel gives back the destination
// pixel it read, exactly as the blend callbacks do. When source and target
// rows overlap, the compiler's own overlap check keeps the pixel-by-pixel
// order.
void putRow(RowKind kind, const uint32_t* from, uint32_t* to, int count, BlendFn blend, const void* param,
            uint32_t colour) {
  switch (kind) {
    case RowCopy: std::memmove(to, from, static_cast<size_t>(count) * 4); break;
    case RowTransparent:
      for (int i = 0; i < count; ++i) to[i] = (from[i] & 0xFFFFFF) == MASK_COLOUR ? to[i] : from[i];
      break;
    case RowRecolour:
      for (int i = 0; i < count; ++i) to[i] = (from[i] & 0xFFFFFF) == MASK_COLOUR ? to[i] : colour;
      break;
    case RowBlend:
      for (int i = 0; i < count; ++i) to[i] = blend(from[i], to[i], param);
      break;
  }
}

}  // namespace

void openScreen(int, int, int, int, bool fullScreen) {
  PlatformState& p = platform();
  std::memset(p.pages, 0, sizeof p.pages);
  p.pageBlank[0] = p.pageBlank[1] = true;
  p.workPage = 0;
  p.visiblePage = 0;
  if (p.backend) p.backend->openDisplay(fullScreen);
  p.screenOpen = true;
  showVisiblePage(true);
}

void leaveFullScreen() {
  PlatformState& p = platform();
  if (p.backend) p.backend->leaveFullScreen();
}

void closeScreen() {
  PlatformState& p = platform();
  if (!p.screenOpen) return;
  if (p.backend) p.backend->closeDisplay();
  p.screenOpen = false;
}

void hideMousePointer() {
  PlatformState& p = platform();
  if (p.backend) p.backend->hideMousePointer();
}

void setPages(int work, int visible) {
  PlatformState& p = platform();
  p.workPage = work & 1;
  p.visiblePage = visible & 1;
}

void FramePresent() {
  PlatformState& p = platform();
  if (p.workPage != p.visiblePage) {
    std::memcpy(p.pages[p.visiblePage], p.pages[p.workPage], sizeof p.pages[0]);
    p.pageBlank[p.visiblePage] = p.pageBlank[p.workPage];
  }
  showVisiblePage(true);
  p.pageClearedSinceFrame = false;
  ++p.frames;
  auto now = std::chrono::steady_clock::now();
  if (p.frames > 1) {
    double ms = std::chrono::duration<double, std::milli>(now - p.lastPresent).count();
    if (ms > p.slowestFrameMs) {
      p.slowestFrameMs = ms;
      p.slowestFrame = p.frames;
    }
    int64_t slept = p.virtualMs - p.virtualMsAtPresent;
    if (slept == 30 || slept == 1) {
      int kind = slept == 30 ? 0 : 1;
      ++p.pacing.count[kind];
      p.pacing.totalMs[kind] += ms;
      p.pacing.worstMs[kind] = std::max(p.pacing.worstMs[kind], ms);
    }
  } else {
    p.firstPresent = now;
  }
  p.virtualMsAtPresent = p.virtualMs;
  p.lastPresent = now;
  for (const auto& [first, last] : p.options.shotFrames) {
    if (p.frames >= first && p.frames <= last && !p.options.shotsDir.empty()) {
      char name[32];
      std::snprintf(name, sizeof name, "/frame-%06lld.bmp", static_cast<long long>(p.frames));
      writePageBmp(p.pages[p.visiblePage], p.options.shotsDir + name);
      break;
    }
  }
  if (p.frameHashLog != nullptr) logFrameHash();
  if (p.frameHook) p.frameHook(p.frames);
}

void clearPage() {
  PlatformState& p = platform();
  if (!p.screenOpen) return;
  p.pageClearedSinceFrame = true;
  if (p.pageBlank[p.workPage]) return;
  fillBox(workSurface(), 0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1, 0x000000);
  p.pageBlank[p.workPage] = true;
}

void drawLine(Image* target, double x1, double y1, double x2, double y2, uint32_t colour, LineKind kind) {
  Surface s = targetSurface(target);
  int ax = toPixel(x1), ay = toPixel(y1), bx = toPixel(x2), by = toPixel(y2);
  switch (kind) {
    case LineSolid: solidLine(s, ax, ay, bx, by, colour); break;
    case LineBox:
      solidLine(s, ax, ay, bx, ay, colour);
      solidLine(s, ax, by, bx, by, colour);
      solidLine(s, ax, ay, ax, by, colour);
      solidLine(s, bx, ay, bx, by, colour);
      break;
    case LineFilledBox: fillBox(s, ax, ay, bx, by, colour); break;
  }
}

void setPixel(Image* target, double x, double y, uint32_t colour) {
  putPixel(targetSurface(target), toPixel(x), toPixel(y), colour);
}

uint32_t readPixel(int x, int y) {
  if (!platform().screenOpen || x < 0 || y < 0 || x >= SCREEN_WIDTH || y >= SCREEN_HEIGHT) return 0xFFFFFFFF;
  return *pixelAt(workSurface(), x, y);
}

void lockWorkPage() { ++platform().lockDepth; }

WorkPageInfo workPageInfo() {
  PlatformState& p = platform();
  if (Image* image = p.drawInto) return {imagePixels(image), image->width, image->height, 32, image->pitch};
  if (!p.screenOpen) return {nullptr, 0, 0, 0, 0};
  p.pageBlank[p.workPage] = false;
  return {reinterpret_cast<uint8_t*>(p.pages[p.workPage]), SCREEN_WIDTH, SCREEN_HEIGHT, 32, PAGE_PITCH};
}

void drawIntoImage(Image* image) { platform().drawInto = image; }

void unlockWorkPage() {
  PlatformState& p = platform();
  if (p.lockDepth > 0) --p.lockDepth;
}

Image* createImage(int width, int height, uint32_t fill) {
  width = std::clamp(width, 0, 1 << 14);
  height = std::clamp(height, 0, 1 << 14);
  int pitch = (width * 4 + 15) / 16 * 16;
  size_t bytes = sizeof(Image) + static_cast<size_t>(pitch) * height;
  void* block = std::aligned_alloc(16, (bytes + 15) / 16 * 16);
  if (block == nullptr) throw std::bad_alloc();
  Image* image = static_cast<Image*>(block);
  std::memset(image, 0, sizeof(Image));
  image->typeTag = 7;
  image->bytesPerPixel = 4;
  image->width = width;
  image->height = height;
  image->pitch = pitch;
  // The padding at the end of each row is filled too, so that every byte of
  // an image is set and a whole image compares with one memcmp.
  if (width > 0 && height > 0) fillRows(imageRow(image, 0), pitch, pitch / 4, height, fill);
  return image;
}

void destroyImage(Image* image) { std::free(image); }

void drawImage(Image* target, double x, double y, Image* source, int sx1, int sy1, int sx2, int sy2, DrawMode mode,
               BlendFn blend, const void* param) {
  if (source == nullptr || source->bytesPerPixel != 4) return;
  Surface s = targetSurface(target);
  if (s.pixels == nullptr || s.bytesPerPixel != 4) return;
  if (sx1 > sx2) std::swap(sx1, sx2);
  if (sy1 > sy2) std::swap(sy1, sy2);
  int dx = toPixel(x), dy = toPixel(y);
  // Cut the rectangle to the source, moving the destination with its corner.
  if (sx1 < 0) {
    dx -= sx1;
    sx1 = 0;
  }
  if (sy1 < 0) {
    dy -= sy1;
    sy1 = 0;
  }
  sx2 = std::min(sx2, source->width - 1);
  sy2 = std::min(sy2, source->height - 1);
  // Then cut it to the target.
  if (dx < 0) {
    sx1 -= dx;
    dx = 0;
  }
  if (dy < 0) {
    sy1 -= dy;
    dy = 0;
  }
  sx2 = std::min(sx2, sx1 + (s.width - 1 - dx));
  sy2 = std::min(sy2, sy1 + (s.height - 1 - dy));
  if (sx1 > sx2 || sy1 > sy2) return;
  if (mode == DrawCustom && blend == nullptr) return;
  // The two blends the game uses run as plain row loops (see putRow).
  RowKind kind = mode == DrawCopy ? RowCopy : mode == DrawTransparent ? RowTransparent : RowBlend;
  uint32_t colour = 0;
  if (mode == DrawCustom && blend == RecolourBlend && param != nullptr) {
    kind = RowRecolour;
    colour = *static_cast<const uint32_t*>(param);
  } else if (mode == DrawCustom && blend == EraseBlend) {
    kind = RowRecolour;
    colour = MASK_COLOUR;
  }
  for (int v = sy1; v <= sy2; ++v) {
    const uint32_t* from = imageRow(source, v) + sx1;
    uint32_t* to = pixelAt(s, dx, dy + (v - sy1));
    putRow(kind, from, to, sx2 - sx1 + 1, blend, param, colour);
  }
}

void drawImage(Image* target, double x, double y, Image* source, DrawMode mode, BlendFn blend, const void* param) {
  if (source == nullptr) return;
  drawImage(target, x, y, source, 0, 0, source->width - 1, source->height - 1, mode, blend, param);
}

bool keyHeld(int scanCode) { return scanCode >= 0 && scanCode < 256 && platform().held[scanCode]; }

std::string readKey() {
  PlatformState& p = platform();
  if (p.keyQueue.empty()) return "";
  std::string key = p.keyQueue.front();
  p.keyQueue.pop_front();
  return key;
}

void emptyKeyQueue() {
  while (!readKey().empty()) {
  }
}

namespace {
void advanceClock(int ms, bool stopOnKey) {
  PlatformState& p = platform();
  // A frame that asks for no sleep at all (stage three with Ctrl held) still
  // counts one virtual millisecond, so that scripted input and recordings
  // can reach a game running flat out.
  p.virtualMs += std::max(ms, 1);
  showVisiblePage(false);
  if (p.backend) p.backend->wait(ms, stopOnKey);
  runQuitHandlerIfAsked();
  // The limit guards headless runs; a player in the window meets it only when
  // asking for it, so an hour's play does not end the game.
  const bool limited = p.options.headless || p.options.maxMsGiven;
  if (limited && p.virtualMs > p.options.maxMs && !p.maxMsPassed) {
    p.maxMsPassed = true;
    std::fprintf(stderr, "quarvel: the virtual clock passed --max-ms %lld; stopping\n",
                 static_cast<long long>(p.options.maxMs));
    writeFinalShot();
    std::fflush(nullptr);
    std::_Exit(3);
  }
}
}  // namespace

void sleepMs(int ms) { advanceClock(ms, false); }
void sleepOrKey(int ms) { advanceClock(ms, true); }

double secondsTimer() {
  PlatformState& p = platform();
  return p.backend ? p.backend->secondsTimer() : 0.0;
}

void seedRandom(uint32_t seed) {
  PlatformState& p = platform();
  p.random.seed(seed);
  if (p.backend) p.backend->noteSeed(seed);
}

double randomUnit() { return static_cast<double>(platform().random()) / 4294967296.0; }

uint32_t RecolourBlend(uint32_t source, uint32_t destination, const void* param) {
  return (source & 0xFFFFFF) == MASK_COLOUR ? destination : *static_cast<const uint32_t*>(param);
}

uint32_t EraseBlend(uint32_t source, uint32_t destination, const void*) {
  return (source & 0xFFFFFF) == MASK_COLOUR ? destination : MASK_COLOUR;
}
