// The scale-and-rotate sprite drawer: the source rectangle becomes a
// four-cornered polygon, two edge walkers follow its left and right sides row
// by row, and each row steps through the source with integer accumulators in
// units of 1/100000. All geometry is single precision on purpose: the exact
// pixels of every sprite on screen depend on it.
#include "gfx/rotoblit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gfx/sprites.h"
#include "gfx/toolkit.h"

namespace {

constexpr float DEG_TO_RAD = 0.0174532925199433f;
constexpr float FULL_TURN = 6.283185307179586f;
constexpr int32_t STEP_UNIT = 100000;
// Corners further out than this come only from absurd scales; nothing is drawn.
constexpr float COORDINATE_LIMIT = 1.0e6f;

// Where one side of a picture lives in memory.
struct Surface {
  uint8_t* pixels;
  int32_t width;
  int32_t height;
  int32_t bytesPerPixel;
  int32_t pitch;
};

// The same for the picture drawn from, which is only read.
struct SourceSurface {
  const uint8_t* pixels;
  int32_t width;
  int32_t height;
  int32_t bytesPerPixel;
  int32_t pitch;
};

struct Corner {
  float x, y, u, v;
};

struct EdgeWalker {
  int32_t heading;    // the corner this side is walking towards
  int32_t direction;  // -1 for the left side, +1 for the right
  float x, u, v;
  float dx, du, dv;
};

int32_t readWord(const uint8_t* at) {
  int32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// Reads the source's geometry from either header form: the 32-byte one
// (first word 7) or the old 4-byte one of two 16-bit words.
SourceSurface sourceSurface(const Image* source) {
  const uint8_t* block = reinterpret_cast<const uint8_t*>(source);
  if (readWord(block) == 7) {
    return SourceSurface{block + 32, readWord(block + 8), readWord(block + 12), readWord(block + 4),
                         readWord(block + 16)};
  }
  uint16_t first, second;
  std::memcpy(&first, block, 2);
  std::memcpy(&second, block + 2, 2);
  int32_t bytes = first & 7;
  int32_t width = first >> 3;
  return SourceSurface{block + 4, width, second, bytes, bytes * width};
}

// Nearest integer, halves to the even neighbour. It runs several times a row,
// so small values avoid the library call: adding and taking away 1.5 * 2^23
// leaves no fraction, rounded the same way as std::nearbyint rounds.
int32_t nearest(float value) {
  constexpr float ROUNDER = 12582912.0f;
  if (std::fabs(value) < 4194304.0f) return static_cast<int32_t>((value + ROUNDER) - ROUNDER);
  return static_cast<int32_t>(std::nearbyint(value));
}
int32_t floorInt(float value) { return static_cast<int32_t>(std::floor(value)); }

uint32_t expand565(uint32_t p) {
  uint32_t b = p & 0x1F, g = (p >> 5) & 0x3F, r = (p >> 11) & 0x1F;
  uint32_t blue = (b << 3) | (b >> 2), green = (g << 2) | (g >> 4), red = (r << 3) | (r >> 2);
  return 0xFF000000u | (red << 16) | (green << 8) | blue;
}
uint32_t pack565(uint32_t c) { return ((c >> 3) & 0x1F) | ((c >> 5) & 0x7E0) | ((c >> 8) & 0xF800); }

// How one row is drawn; everything that stays the same along the row.
struct RowJob {
  uint8_t* out;        // target pixel at xs
  const uint8_t* src;  // source pixel (0, 0)
  int32_t srcPitch;
  int32_t maxU, maxV;
  int32_t count;  // pixels to write
  int32_t U, V, UI, VI, UF, VF;
  int32_t transparent;
  BlendFn blend;
  const void* blendParam;
};

template <int BPP>
uint32_t loadPixel(const uint8_t* at) {
  if constexpr (BPP == 4) {
    uint32_t p;
    std::memcpy(&p, at, 4);
    return p;
  } else if constexpr (BPP == 2) {
    uint16_t p;
    std::memcpy(&p, at, 2);
    return p;
  } else {
    return *at;
  }
}

template <int BPP>
void storePixel(uint8_t* at, uint32_t value) {
  if constexpr (BPP == 4) {
    std::memcpy(at, &value, 4);
  } else if constexpr (BPP == 2) {
    uint16_t p = static_cast<uint16_t>(value);
    std::memcpy(at, &p, 2);
  } else {
    *at = static_cast<uint8_t>(value);
  }
}

// How a row's pixels are written. Recolouring, by far the most common, is
// done inline; any other callback is called per pixel.
enum RowMode { RowCopy, RowSkipMask, RowRecolour, RowBlend };

template <int BPP>
bool isMask(uint32_t source) {
  if constexpr (BPP == 4) return (source & 0xFFFFFF) == MASK_COLOUR;
  if constexpr (BPP == 2) return source == 0xF81F;
  return source == 0;
}

template <int BPP, RowMode MODE>
void drawRow(const RowJob& job) {
  int32_t U = job.U, V = job.V, UAcc = 0, VAcc = 0;
  const uint32_t colour = MODE == RowRecolour ? *static_cast<const uint32_t*>(job.blendParam) : 0;
  uint8_t* out = job.out;
  for (int32_t i = 0; i < job.count; ++i, out += BPP) {
    // Never read outside the source, whatever the float edges did.
    int32_t u = U < 0 ? 0 : (U > job.maxU ? job.maxU : U);
    int32_t v = V < 0 ? 0 : (V > job.maxV ? job.maxV : V);
    uint32_t source = loadPixel<BPP>(job.src + static_cast<intptr_t>(v) * job.srcPitch + u * BPP);
    if constexpr (MODE == RowCopy) {
      storePixel<BPP>(out, source);
    } else if constexpr (MODE == RowSkipMask) {
      if (!isMask<BPP>(source)) storePixel<BPP>(out, source);
    } else if constexpr (MODE == RowRecolour) {
      if (!isMask<BPP>(source)) storePixel<BPP>(out, colour);
    } else if constexpr (BPP == 2) {
      uint32_t blended = job.blend(expand565(source), expand565(loadPixel<BPP>(out)), job.blendParam);
      storePixel<BPP>(out, pack565(blended));
    } else {
      storePixel<BPP>(out, job.blend(source, loadPixel<BPP>(out), job.blendParam));
    }
    U += job.UI;
    UAcc += job.UF;
    if (UAcc >= STEP_UNIT) {
      U += 1;
      UAcc -= STEP_UNIT;
    }
    V += job.VI;
    VAcc += job.VF;
    if (VAcc >= STEP_UNIT) {
      V += 1;
      VAcc -= STEP_UNIT;
    }
    if (U < 0) U = 0;
    if (V < 0) V = 0;
  }
}

// The painted stretches of one row of a sprite that is not turned, kept for
// the rows below it: a sprite scaled up N times repeats each source row N
// times, and a repeat only needs its stretches filled again.
struct RowSpans {
  static constexpr int32_t CAPACITY = 256;
  struct Span {
    int32_t start, length;
    uint32_t value;
  };
  int32_t U = -1, v = 0, UI = 0, UF = 0, count = 0;  // the row they belong to; U -1: none
  int32_t size = 0;
  Span spans[CAPACITY];
};

void fillSpans(RowSpans& row, uint32_t* out) {
  for (int32_t k = 0; k < row.size; ++k) {
    const RowSpans::Span& span = row.spans[k];
    std::fill(out + span.start, out + span.start + span.length, span.value);
  }
}

// Works out the stretches of a level row: the source row stays the same all
// along and U never goes back, so runs of mask pixels are skipped and runs of
// one colour become one stretch. U and V start inside or past the far edge of
// the source here, so the clamps of drawRow only ever hold them at the far
// edge. A row with more stretches than fit is painted as it goes and not kept.
template <RowMode MODE>
void findSpans(const RowJob& job, const uint32_t* from, int32_t v, uint32_t* out, RowSpans& row) {
  const uint32_t colour = MODE == RowRecolour ? *static_cast<const uint32_t*>(job.blendParam) : 0;
  bool complete = true;
  row.size = 0;
  int32_t U = job.U, UAcc = 0;
  for (int32_t i = 0; i < job.count;) {
    uint32_t source = from[U > job.maxU ? job.maxU : U];
    // n pixels show this source pixel: the run ends where the next step would move U.
    int32_t n = 1;
    if (job.UI == 0) {
      while (i + n < job.count && UAcc + job.UF < STEP_UNIT) {
        UAcc += job.UF;
        ++n;
      }
    }
    if (MODE == RowCopy || !isMask<4>(source)) {
      uint32_t value = MODE == RowRecolour ? colour : source;
      RowSpans::Span* last = row.size > 0 ? &row.spans[row.size - 1] : nullptr;
      if (last != nullptr && last->start + last->length == i && last->value == value) {
        last->length += n;
      } else {
        if (row.size == RowSpans::CAPACITY) {
          fillSpans(row, out);
          row.size = 0;
          complete = false;
        }
        row.spans[row.size++] = RowSpans::Span{i, n, value};
      }
    }
    i += n;
    U += job.UI;
    UAcc += job.UF;
    if (UAcc >= STEP_UNIT) {
      U += 1;
      UAcc -= STEP_UNIT;
    }
  }
  row.U = complete ? job.U : -1;
  row.v = v;
  row.UI = job.UI;
  row.UF = job.UF;
  row.count = job.count;
}

// A row of a sprite that is not turned (the common case), drawn as filled
// stretches instead of pixel by pixel.
template <RowMode MODE>
void drawLevelRow(const RowJob& job, RowSpans& row) {
  const int32_t v = job.V > job.maxV ? job.maxV : job.V;
  const uint32_t* from = reinterpret_cast<const uint32_t*>(job.src + static_cast<intptr_t>(v) * job.srcPitch);
  uint32_t* out = reinterpret_cast<uint32_t*>(job.out);
  bool same = row.U == job.U && row.v == v && row.UI == job.UI && row.UF == job.UF && row.count == job.count;
  if (!same) findSpans<MODE>(job, from, v, out, row);
  fillSpans(row, out);
}

template <RowMode MODE>
void drawRowAs(const RowJob& job, RowSpans& row) {
  bool level = job.VI == 0 && job.VF == 0 && job.UI >= 0 && job.U >= 0 && job.V >= 0;
  if (level)
    drawLevelRow<MODE>(job, row);
  else
    drawRow<4, MODE>(job);
}

template <int BPP>
void drawRowByMode(const RowJob& job, RowSpans& row) {
  if constexpr (BPP == 4) {
    if (job.blend == RecolourBlend)
      drawRowAs<RowRecolour>(job, row);
    else if (job.blend != nullptr)
      drawRow<BPP, RowBlend>(job);
    else if (job.transparent != 0)
      drawRowAs<RowSkipMask>(job, row);
    else
      drawRowAs<RowCopy>(job, row);
  } else {
    if (job.blend != nullptr)
      drawRow<BPP, RowBlend>(job);
    else if (job.transparent != 0)
      drawRow<BPP, RowSkipMask>(job);
    else
      drawRow<BPP, RowCopy>(job);
  }
}

// What one row's set-up depends on: the two edges' x and u and the
// difference of their v, as bits.
struct RowEdges {
  uint32_t leftX, rightX, leftU, rightU, vDifference;
  bool operator==(const RowEdges&) const = default;
};

// A float's bits (the browser build's library has no std::bit_cast yet).
uint32_t floatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

RowEdges rowEdges(const EdgeWalker& left, const EdgeWalker& right) {
  return RowEdges{floatBits(left.x), floatBits(right.x), floatBits(left.u), floatBits(right.u),
                  floatBits(right.v - left.v)};
}

// Where a row starts and ends on the target and how it steps through the
// source; V alone is left to the row itself.
struct RowSetup {
  RowEdges edges{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};  // NaN bits: no row yet
  bool draws = false;
  int32_t xs = 0, count = 0;
  int32_t U = 0, UI = 0, UF = 0, VI = 0, VF = 0;
  float vStep = 0.0f;
  float clipped = 0.0f;  // pixels cut off at the left edge
};

RowSetup setUpRow(const RowEdges& edges, const EdgeWalker& left, const EdgeWalker& right, int32_t width) {
  RowSetup setup;
  setup.edges = edges;
  int32_t xs = nearest(left.x + 0.5f);
  int32_t xe = nearest(right.x - 0.5f);
  if (!(xs < width && xe >= 0 && xs != xe)) return setup;
  setup.draws = true;
  float span = static_cast<float>(xe - xs);
  float uStep = (right.u - left.u) / span;
  setup.vStep = (right.v - left.v) / span;
  if (xs < 0) {
    setup.clipped = static_cast<float>(-xs);
    setup.U = floorInt(left.u + uStep * setup.clipped);
    xs = 0;
  } else {
    setup.U = floorInt(left.u);
  }
  if (xe >= width) xe = width - 1;
  setup.UI = floorInt(uStep);
  setup.UF = nearest((uStep - static_cast<float>(setup.UI)) * static_cast<float>(STEP_UNIT));
  setup.VI = floorInt(setup.vStep);
  setup.VF = nearest((setup.vStep - static_cast<float>(setup.VI)) * static_cast<float>(STEP_UNIT));
  setup.xs = xs;
  setup.count = xe - xs;
  return setup;
}

// At a corner row: the walker takes over the corner it reached and aims at
// the next one along its side, skipping corners on the same row.
void turnCorner(EdgeWalker& walker, const Corner* corners) {
  int32_t current = walker.heading;
  int32_t next = (current + walker.direction + 4) % 4;
  while (corners[current].y == corners[next].y) {
    current = next;
    next = (current + walker.direction + 4) % 4;
  }
  walker.x = corners[current].x;
  walker.u = corners[current].u;
  walker.v = corners[current].v;
  float len = corners[next].y - corners[current].y;
  if (len != 0.0f) {
    walker.dx = (corners[next].x - walker.x) / len;
    walker.du = (corners[next].u - walker.u) / len;
    walker.dv = (corners[next].v - walker.v) / len;
  }
  walker.heading = next;
}

// --- kept stamps of unturned sprites ----------------------------------------

// Sources up to this many pixels are kept; larger ones are drawn afresh.
constexpr int32_t STAMP_SOURCE_LIMIT = 64 * 64;

// The row mode a 4-byte draw uses, or -1 for a blend called per pixel,
// whose result depends on the target and so cannot be kept.
int32_t stampMode(BlendFn blend, int32_t transparent) {
  if (blend == RecolourBlend) return RowRecolour;
  if (blend != nullptr) return -1;
  return transparent != 0 ? RowSkipMask : RowCopy;
}

// The source's rows with the padding between them: images are made with
// every byte set (createImage), so the whole block compares in one go.
size_t sourceBytes(const SourceSurface& src) {
  return static_cast<size_t>(src.height) * static_cast<size_t>(src.pitch);
}

bool sameSourcePixels(const RotoStamp& stamp, const SourceSurface& src) {
  return stamp.sourceBytes.size() == sourceBytes(src) &&
         std::memcmp(stamp.sourceBytes.data(), src.pixels, sourceBytes(src)) == 0;
}

RotoStamp* findStamp(RotoStamps& stamps, const RotoStamp::Key& key, const SourceSurface& src) {
  for (int k = 0; k < RotoStamps::SLOTS; ++k) {
    if (!(stamps.keys[k] == key)) continue;
    RotoStamp& stamp = stamps.slots[k];
    if (!sameSourcePixels(stamp, src)) {
      stamps.keys[k].source = nullptr;  // the source was drawn on since: start again
      return nullptr;
    }
    stamp.lastUse = ++stamps.uses;
    return &stamp;
  }
  return nullptr;
}

// A slot for a new stamp: a free one, else the one unused the longest. Its
// vectors keep their room for the next stamp; RotoBlit sets its key once
// every row is recorded.
int startStamp(RotoStamps& stamps, const SourceSurface& src) {
  int slot = 0;
  for (int k = 0; k < RotoStamps::SLOTS; ++k) {
    if (stamps.keys[k].source == nullptr) {
      slot = k;
      break;
    }
    if (stamps.slots[k].lastUse < stamps.slots[slot].lastUse) slot = k;
  }
  stamps.keys[slot].source = nullptr;
  RotoStamp& stamp = stamps.slots[slot];
  stamp.sourceBytes.assign(src.pixels, src.pixels + sourceBytes(src));
  stamp.stretches.clear();
  stamp.lastUse = ++stamps.uses;
  return slot;
}

// Adds a drawn row's stretches; false when the row was not drawn as
// stretches that can be kept.
bool recordRow(RotoStamp& stamp, const RowJob& job, const RowSpans& row, int32_t dy, int32_t dx) {
  bool level = job.VI == 0 && job.VF == 0 && job.UI >= 0 && job.U >= 0 && job.V >= 0;
  if (!level || row.U < 0) return false;
  for (int32_t k = 0; k < row.size; ++k) {
    const RowSpans::Span& span = row.spans[k];
    stamp.stretches.push_back(RotoStamp::Stretch{static_cast<int16_t>(dy), static_cast<int16_t>(dx + span.start),
                                                 static_cast<int16_t>(span.length), span.value});
  }
  return true;
}

void paintStamp(const RotoStamp& stamp, const Surface& dst, int32_t left, int32_t top, bool recolour,
                const void* blendParam) {
  const uint32_t colour = recolour ? *static_cast<const uint32_t*>(blendParam) : 0;
  for (const RotoStamp::Stretch& stretch : stamp.stretches) {
    uint32_t* out = reinterpret_cast<uint32_t*>(dst.pixels + static_cast<intptr_t>(top + stretch.dy) * dst.pitch) +
                    left + stretch.dx;
    std::fill(out, out + stretch.length, recolour ? colour : stretch.value);
  }
}

}  // namespace

void forgetRotoStamps(RotoStamps& stamps) {
  for (RotoStamp::Key& key : stamps.keys) key = RotoStamp::Key{};
  for (RotoStamp& stamp : stamps.slots) stamp = RotoStamp{};
  stamps.uses = 0;
}

void RotoBlit(Toolkit& toolkit, Image* target, int32_t centreX, int32_t centreY, const Image* source, float scaleX,
              float scaleY, float angle, Transparency transparency, BlendFn blend, const void* blendParam) {
  const int32_t transparent = static_cast<int32_t>(transparency);
  WorkPageInfo page = workPageInfo(toolkit);
  if (page.pixels == nullptr || source == nullptr) return;
  if (!(scaleX >= 0.001f)) scaleX = 0.001f;  // NaN too
  if (!(scaleY >= 0.001f)) scaleY = 0.001f;

  Surface dst;
  if (target == nullptr) {
    dst = Surface{page.pixels, page.width, page.height, page.bitsPerPixel >> 3, page.pitch};
  } else {
    dst = Surface{imagePixels(target), target->width, target->height, target->bytesPerPixel, target->pitch};
  }
  if (dst.width < 4 || dst.height < 4) return;
  SourceSurface src = sourceSurface(source);
  if (src.width < 2 || src.height < 2) return;
  if (src.bytesPerPixel != dst.bytesPerPixel) return;

  float halfW = static_cast<float>(src.width) / 2.0f;
  float halfH = static_cast<float>(src.height) / 2.0f;
  float lastU = static_cast<float>(src.width - 1);
  float lastV = static_cast<float>(src.height - 1);
  Corner corners[4] = {
      {-halfW * scaleX, -halfH * scaleY, 0.0f, 0.0f},
      {halfW * scaleX, -halfH * scaleY, lastU, 0.0f},
      {halfW * scaleX, halfH * scaleY, lastU, lastV},
      {-halfW * scaleX, halfH * scaleY, 0.0f, lastV},
  };
  if (angle != 0.0f) {
    if (!std::isfinite(angle)) return;
    float a = angle * DEG_TO_RAD;
    // Far-off angles would make the turn-by-turn loop below endless.
    if (std::fabs(a) > 64.0f * FULL_TURN) a = std::fmod(a, FULL_TURN);
    while (a < 0.0f) a += FULL_TURN;
    while (a >= FULL_TURN) a -= FULL_TURN;
    float c = std::cos(a), s = std::sin(a);
    for (Corner& k : corners) {
      float x = k.x * c - k.y * s;
      float y = k.x * s + k.y * c;
      k.x = x;
      k.y = y;
    }
  }
  int32_t top = 100000, bottom = -100000, xMin = 100000, xMax = -100000, start = 0;
  for (int32_t i = 0; i < 4; ++i) {
    Corner& k = corners[i];
    k.x = std::floor(k.x + static_cast<float>(centreX));
    k.y = std::floor(k.y + static_cast<float>(centreY));
    if (!(std::fabs(k.x) < COORDINATE_LIMIT && std::fabs(k.y) < COORDINATE_LIMIT)) return;
    int32_t x = static_cast<int32_t>(k.x), y = static_cast<int32_t>(k.y);
    if (y < top) {
      top = y;
      start = i;
    }
    if (y > bottom) bottom = y;
    if (x < xMin) xMin = x;
    if (x > xMax) xMax = x;
  }
  if (top == bottom || top >= dst.height || bottom < 0) return;
  if (xMin == xMax || xMin >= dst.width || xMax < 0) return;

  // An unturned sprite wholly on the target is painted from its stamp when
  // one is kept, and otherwise drawn and recorded as one.
  RotoStamps& stamps = toolkit.spriteTable.rotoStamps;
  RotoStamp::Key key;
  int recordingSlot = -1;
  const int32_t mode = dst.bytesPerPixel == 4 ? stampMode(blend, transparent) : -1;
  if (angle == 0.0f && mode >= 0 && top >= 0 && bottom <= dst.height && xMin >= 0 && xMax < dst.width &&
      src.width * src.height <= STAMP_SOURCE_LIMIT) {
    key = RotoStamp::Key{source,       src.width, src.height, floatBits(scaleX), floatBits(scaleY), xMax - xMin,
                         bottom - top, xMin & 1,  mode};
    if (const RotoStamp* stamp = findStamp(stamps, key, src)) {
      if (target == nullptr) {
        lockWorkPage(toolkit);
        dst.pixels = workPageInfo(toolkit).pixels;
      }
      paintStamp(*stamp, dst, xMin, top, mode == RowRecolour, blendParam);
      if (target == nullptr) unlockWorkPage(toolkit);
      return;
    }
    recordingSlot = startStamp(stamps, src);
  }
  bool recorded = recordingSlot >= 0;  // so far every row could be kept

  EdgeWalker left{start, -1, 0, 0, 0, 0, 0, 0};
  EdgeWalker right{start, 1, 0, 0, 0, 0, 0, 0};
  if (target == nullptr) {
    lockWorkPage(toolkit);
    dst.pixels = workPageInfo(toolkit).pixels;
  }
  RowJob job{};
  RowSetup setup;
  RowSpans row;
  job.src = src.pixels;
  job.srcPitch = src.pitch;
  job.maxU = src.width - 1;
  job.maxV = src.height - 1;
  job.transparent = transparent;
  job.blend = blend;
  job.blendParam = blendParam;
  for (int32_t y = top; y < bottom && y < dst.height; ++y) {
    if (static_cast<float>(y) == corners[left.heading].y) turnCorner(left, corners);
    if (static_cast<float>(y) == corners[right.heading].y) turnCorner(right, corners);
    if (y >= 0) {
      // A sprite that is not turned has the same edges and steps on every
      // row, and only V moves: the set-up is worked out again only when the
      // edges differ from the last row's, bit for bit.
      RowEdges edges = rowEdges(left, right);
      if (!(edges == setup.edges)) setup = setUpRow(edges, left, right, dst.width);
      if (setup.draws) {
        job.U = setup.U;
        job.V = floorInt(setup.clipped > 0.0f ? left.v + setup.vStep * setup.clipped : left.v);
        job.UI = setup.UI;
        job.UF = setup.UF;
        job.VI = setup.VI;
        job.VF = setup.VF;
        job.count = setup.count;
        job.out =
            dst.pixels + static_cast<intptr_t>(y) * dst.pitch + static_cast<intptr_t>(setup.xs) * dst.bytesPerPixel;
        if (job.count > 0) {
          if (dst.bytesPerPixel == 4)
            drawRowByMode<4>(job, row);
          else if (dst.bytesPerPixel == 2)
            drawRowByMode<2>(job, row);
          else if (dst.bytesPerPixel == 1)
            drawRowByMode<1>(job, row);
          if (recorded) recorded = recordRow(stamps.slots[recordingSlot], job, row, y - top, setup.xs - xMin);
        }
      }
    }
    left.x += left.dx;
    left.u += left.du;
    left.v += left.dv;
    right.x += right.dx;
    right.u += right.du;
    right.v += right.dv;
  }
  if (recorded) stamps.keys[recordingSlot] = key;
  if (target == nullptr) unlockWorkPage(toolkit);
}
