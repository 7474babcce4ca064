// The screen's two pages and drawing on them or on images. All drawing
// happens in memory; the back end is shown the visible page when it changed.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "machine/machine_state.h"

using machine::MachineState;
using machine::PAGE_PITCH;

namespace {

// Image blocks start on 16 bytes (their rows are padded to 16 as well).
constexpr std::align_val_t IMAGE_ALIGNMENT{16};

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

Surface workSurface(MachineState& p) {
  return {reinterpret_cast<uint8_t*>(p.pages[p.workPage]), SCREEN_WIDTH, SCREEN_HEIGHT, PAGE_PITCH, 4};
}

// nullptr (the work page) or an image; a surface of 0x0 when nothing can be drawn.
Surface targetSurface(MachineState& p, Image* target) {
  if (target == nullptr && p.drawInto != nullptr) target = p.drawInto;
  if (target == nullptr) {
    if (!p.screenOpen) return {nullptr, 0, 0, 0, 4};
    machine::markDrawn(p, p.workPage);
    return workSurface(p);
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
    // The pixel below is read whichever way the choice goes, so that the
    // compiler may read four at a time (WebAssembly's vectors have no masked
    // read: a read made only for some pixels keeps the loop one at a time).
    case RowTransparent:
      for (int i = 0; i < count; ++i) {
        const uint32_t source = from[i], below = to[i];
        to[i] = (source & 0xFFFFFF) == MASK_COLOUR ? below : source;
      }
      break;
    case RowRecolour:
      for (int i = 0; i < count; ++i) {
        const uint32_t below = to[i];
        to[i] = (from[i] & 0xFFFFFF) == MASK_COLOUR ? below : colour;
      }
      break;
    case RowBlend:
      for (int i = 0; i < count; ++i) to[i] = blend(from[i], to[i], param);
      break;
  }
}

}  // namespace

void openScreen(Machine& machine) {
  MachineState& p = machine.state();
  std::memset(p.pages, 0, sizeof p.pages);
  p.pageBlank[0] = p.pageBlank[1] = true;
  p.workPage = 0;
  p.visiblePage = 0;
  p.screenOpen = true;
  p.visibleChanged = true;  // black, and shown at once
}

void closeScreen(Machine& machine) { machine.state().screenOpen = false; }

void setPages(Machine& machine, int work, int visible) {
  MachineState& p = machine.state();
  int shown = p.visiblePage;
  p.workPage = work & 1;
  p.visiblePage = visible & 1;
  if (p.visiblePage != shown) p.visibleChanged = true;
}

void FramePresent(Machine& machine) {
  MachineState& p = machine.state();
  if (p.workPage != p.visiblePage) {
    std::memcpy(p.pages[p.visiblePage], p.pages[p.workPage], sizeof p.pages[0]);
    p.pageBlank[p.visiblePage] = p.pageBlank[p.workPage];
  }
  p.visibleChanged = true;
  p.presented = true;
  ++p.frames;
  machine::tellObservers(p, [&](machine::Observer& o) { o.framePresented(p.frames, p.pages[p.visiblePage]); });
}

void clearPage(Machine& machine) {
  MachineState& p = machine.state();
  if (!p.screenOpen || p.pageBlank[p.workPage]) return;
  machine::markDrawn(p, p.workPage);
  fillBox(workSurface(p), 0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1, 0x000000);
  p.pageBlank[p.workPage] = true;
}

void drawLine(Machine& machine, Image* target, double x1, double y1, double x2, double y2, uint32_t colour,
              LineKind kind) {
  Surface s = targetSurface(machine.state(), target);
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

void setPixel(Machine& machine, Image* target, double x, double y, uint32_t colour) {
  putPixel(targetSurface(machine.state(), target), toPixel(x), toPixel(y), colour);
}

uint32_t readPixel(const Machine& machine, int x, int y) {
  const MachineState& p = machine.state();
  if (!p.screenOpen || x < 0 || y < 0 || x >= SCREEN_WIDTH || y >= SCREEN_HEIGHT) return 0xFFFFFFFF;
  return p.pages[p.workPage][y * SCREEN_WIDTH + x];
}

void lockWorkPage(Machine& machine) { ++machine.state().lockDepth; }

WorkPageInfo workPageInfo(Machine& machine) {
  MachineState& p = machine.state();
  if (Image* image = p.drawInto) return {imagePixels(image), image->width, image->height, 32, image->pitch};
  if (!p.screenOpen) return {nullptr, 0, 0, 0, 0};
  machine::markDrawn(p, p.workPage);
  return {reinterpret_cast<uint8_t*>(p.pages[p.workPage]), SCREEN_WIDTH, SCREEN_HEIGHT, 32, PAGE_PITCH};
}

void drawIntoImage(Machine& machine, Image* image) { machine.state().drawInto = image; }

void unlockWorkPage(Machine& machine) {
  MachineState& p = machine.state();
  if (p.lockDepth > 0) --p.lockDepth;
}

OwnedImage createImage(int width, int height, uint32_t fill) {
  width = std::clamp(width, 0, 1 << 14);
  height = std::clamp(height, 0, 1 << 14);
  int pitch = (width * 4 + 15) / 16 * 16;
  size_t bytes = sizeof(Image) + static_cast<size_t>(pitch) * height;
  // Aligned operator new rather than std::aligned_alloc, which MinGW's C
  // runtime lacks; it throws std::bad_alloc itself.
  void* block = ::operator new(bytes, IMAGE_ALIGNMENT);
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
  return OwnedImage(image);
}

void ImageRelease::operator()(Image* image) const { ::operator delete(image, IMAGE_ALIGNMENT); }

void drawImage(Machine& machine, Image* target, double x, double y, const Image* source, int sx1, int sy1, int sx2,
               int sy2, DrawMode mode, BlendFn blend, const void* param) {
  if (source == nullptr || source->bytesPerPixel != 4) return;
  Surface s = targetSurface(machine.state(), target);
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

void drawImage(Machine& machine, Image* target, double x, double y, const Image* source, DrawMode mode, BlendFn blend,
               const void* param) {
  if (source == nullptr) return;
  drawImage(machine, target, x, y, source, 0, 0, source->width - 1, source->height - 1, mode, blend, param);
}

namespace machine {

void markDrawn(MachineState& p, int page) {
  p.pageBlank[page] = false;
  if (page == p.visiblePage) p.visibleChanged = true;
}

std::optional<ChangedPage> takeChangedPage(Machine& machine) {
  MachineState& p = machine.state();
  if (!p.visibleChanged || !p.screenOpen) return std::nullopt;
  ChangedPage changed{p.pages[p.visiblePage], p.presented};
  p.visibleChanged = false;
  p.presented = false;
  return changed;
}

const uint32_t* visiblePage(const Machine& machine) { return machine.state().pages[machine.state().visiblePage]; }

}  // namespace machine

uint32_t RecolourBlend(uint32_t source, uint32_t destination, const void* param) {
  return (source & 0xFFFFFF) == MASK_COLOUR ? destination : *static_cast<const uint32_t*>(param);
}

uint32_t EraseBlend(uint32_t source, uint32_t destination, const void*) {
  return (source & 0xFFFFFF) == MASK_COLOUR ? destination : MASK_COLOUR;
}
