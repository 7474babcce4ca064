// The fast drawing paths against plain per-pixel versions: RotoBlit's level
// rows and kept row set-ups, drawImage's row loops and drawText's kept line
// pictures must put exactly the pixels the simple versions put. Seeded random
// sprites, scales, angles, places and blends, drawn on the page and into
// images.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "support/gfx_session.h"
#include "support/picture.h"
#include "support/test_sheet.h"

namespace {

// --- a literal per-pixel RotoBlit for 4-byte images --------------------------

struct RefCorner {
  float x, y, u, v;
};
struct RefWalker {
  int32_t heading, direction;
  float x, u, v, dx, du, dv;
};

void refTurn(RefWalker& w, const RefCorner* k) {
  int32_t current = w.heading, next = (current + w.direction + 4) % 4;
  while (k[current].y == k[next].y) {
    current = next;
    next = (current + w.direction + 4) % 4;
  }
  w.x = k[current].x;
  w.u = k[current].u;
  w.v = k[current].v;
  float len = k[next].y - k[current].y;
  if (len != 0.0f) {
    w.dx = (k[next].x - w.x) / len;
    w.du = (k[next].u - w.u) / len;
    w.dv = (k[next].v - w.v) / len;
  }
  w.heading = next;
}

// The drawer as it was before its fast paths: every pixel of every row
// stepped, clamped, read and passed through the blend, the mask test or
// nothing. Angles stay within one turn here.
void referenceRotoBlit(Image* dst, int32_t cx, int32_t cy, const Image* src, float sx, float sy, float angle,
                       Transparency transparent, BlendFn blend, const void* param) {
  if (!(sx >= 0.001f)) sx = 0.001f;
  if (!(sy >= 0.001f)) sy = 0.001f;
  float halfW = static_cast<float>(src->width) / 2.0f, halfH = static_cast<float>(src->height) / 2.0f;
  float lastU = static_cast<float>(src->width - 1), lastV = static_cast<float>(src->height - 1);
  RefCorner k[4] = {{-halfW * sx, -halfH * sy, 0.0f, 0.0f},
                    {halfW * sx, -halfH * sy, lastU, 0.0f},
                    {halfW * sx, halfH * sy, lastU, lastV},
                    {-halfW * sx, halfH * sy, 0.0f, lastV}};
  if (angle != 0.0f) {
    float a = angle * 0.0174532925199433f;
    while (a < 0.0f) a += 6.283185307179586f;
    while (a >= 6.283185307179586f) a -= 6.283185307179586f;
    float c = std::cos(a), s = std::sin(a);
    for (RefCorner& q : k) {
      float x = q.x * c - q.y * s, y = q.x * s + q.y * c;
      q.x = x;
      q.y = y;
    }
  }
  int32_t top = 100000, bottom = -100000, xMin = 100000, xMax = -100000, start = 0;
  for (int32_t i = 0; i < 4; ++i) {
    k[i].x = std::floor(k[i].x + static_cast<float>(cx));
    k[i].y = std::floor(k[i].y + static_cast<float>(cy));
    int32_t x = static_cast<int32_t>(k[i].x), y = static_cast<int32_t>(k[i].y);
    if (y < top) {
      top = y;
      start = i;
    }
    bottom = std::max(bottom, y);
    xMin = std::min(xMin, x);
    xMax = std::max(xMax, x);
  }
  if (top == bottom || top >= dst->height || bottom < 0) return;
  if (xMin == xMax || xMin >= dst->width || xMax < 0) return;
  RefWalker left{start, -1, 0, 0, 0, 0, 0, 0}, right{start, 1, 0, 0, 0, 0, 0, 0};
  for (int32_t y = top; y < bottom && y < dst->height; ++y) {
    if (static_cast<float>(y) == k[left.heading].y) refTurn(left, k);
    if (static_cast<float>(y) == k[right.heading].y) refTurn(right, k);
    if (y >= 0) {
      int32_t xs = static_cast<int32_t>(std::nearbyint(left.x + 0.5f));
      int32_t xe = static_cast<int32_t>(std::nearbyint(right.x - 0.5f));
      if (xs < dst->width && xe >= 0 && xs != xe) {
        float span = static_cast<float>(xe - xs);
        float uStep = (right.u - left.u) / span, vStep = (right.v - left.v) / span;
        int32_t U, V;
        if (xs < 0) {
          float clipped = static_cast<float>(-xs);
          U = static_cast<int32_t>(std::floor(left.u + uStep * clipped));
          V = static_cast<int32_t>(std::floor(left.v + vStep * clipped));
          xs = 0;
        } else {
          U = static_cast<int32_t>(std::floor(left.u));
          V = static_cast<int32_t>(std::floor(left.v));
        }
        if (xe >= dst->width) xe = dst->width - 1;
        int32_t UI = static_cast<int32_t>(std::floor(uStep));
        int32_t UF = static_cast<int32_t>(std::nearbyint((uStep - static_cast<float>(UI)) * 100000.0f));
        int32_t VI = static_cast<int32_t>(std::floor(vStep));
        int32_t VF = static_cast<int32_t>(std::nearbyint((vStep - static_cast<float>(VI)) * 100000.0f));
        int32_t UAcc = 0, VAcc = 0;
        uint32_t* out = imageRow(dst, y) + xs;
        for (int32_t i = 0; i < xe - xs; ++i) {
          int32_t u = std::clamp(U, 0, src->width - 1), v = std::clamp(V, 0, src->height - 1);
          uint32_t p = imageRow(src, v)[u];
          if (blend != nullptr)
            out[i] = blend(p, out[i], param);
          else if (transparent == Transparency::Opaque || (p & 0xFFFFFF) != MASK_COLOUR)
            out[i] = p;
          U += UI;
          UAcc += UF;
          if (UAcc >= 100000) {
            U += 1;
            UAcc -= 100000;
          }
          V += VI;
          VAcc += VF;
          if (VAcc >= 100000) {
            V += 1;
            VAcc -= 100000;
          }
          if (U < 0) U = 0;
          if (V < 0) V = 0;
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
}

uint32_t invertBlend(uint32_t source, uint32_t destination, const void*) { return (source ^ destination) | 0x10; }

// A sprite with mask holes, runs of one colour and odd pixels, as the sheet has.
OwnedImage randomSprite(std::mt19937& random, int width, int height) {
  OwnedImage owned = createImage(width, height);
  Image* image = owned.get();
  const uint32_t colours[4] = {MASK_COLOUR, 0x00FF00FF, 0xFF123456, 0x00ABCDEF};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t pick = random() % 8;
      imageRow(image, y)[x] = pick < 4 ? colours[pick] : codedPixel(x, y);
    }
  return owned;
}

void fillImage(Image* image, uint32_t seed) {
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x) imageRow(image, y)[x] = seed * 2654435761u + 977u * y + x;
}

bool sameImages(Image* a, Image* b) {
  for (int y = 0; y < a->height; ++y)
    if (std::memcmp(imageRow(a, y), imageRow(b, y), a->width * 4u) != 0) return false;
  return true;
}

struct FastPaths : ::testing::Test {
  GfxSession session;
  Toolkit& toolkit = session.toolkit;
};

TEST_F(FastPaths, RotoBlitPutsThePixelsOfThePlainDrawer) {
  std::mt19937 random(20261208);
  const float scales[] = {1.0f, 2.0f, 3.0f, 4.0f, 19.0f, 0.5f, 0.8f, 0.6f, 1.3f, 2.7f, 0.2f, 7.25f};
  const float angles[] = {0.0f, 0.0f, 0.0f, 180.0f, 90.0f, 33.0f, 271.5f};
  OwnedImage fast(createImage(120, 90)), slow(createImage(120, 90));
  for (int round = 0; round < 1500; ++round) {
    OwnedImage sprite(randomSprite(random, 2 + static_cast<int>(random() % 20), 2 + static_cast<int>(random() % 14)));
    float sx = scales[random() % std::size(scales)];
    float sy = random() % 3 == 0 ? scales[random() % std::size(scales)] : sx;
    float angle = angles[random() % std::size(angles)];
    int cx = static_cast<int>(random() % 160) - 20, cy = static_cast<int>(random() % 130) - 20;
    uint32_t colour = 0xFF000000u | (random() & 0xFFFFFF);
    int kind = static_cast<int>(random() % 5);
    BlendFn blend = kind == 0 ? RecolourBlend : kind == 1 ? EraseBlend : kind == 2 ? invertBlend : nullptr;
    Transparency transparent = kind == 3 ? Transparency::SkipMask : Transparency::Opaque;
    fillImage(fast.get(), static_cast<uint32_t>(round));
    fillImage(slow.get(), static_cast<uint32_t>(round));
    RotoBlit(toolkit, fast.get(), cx, cy, sprite.get(), sx, sy, angle, transparent, blend, &colour);
    referenceRotoBlit(slow.get(), cx, cy, sprite.get(), sx, sy, angle, transparent, blend, &colour);
    ASSERT_TRUE(sameImages(fast.get(), slow.get())) << "round " << round << " scale " << sx << "x" << sy << " angle "
                                                    << angle << " at " << cx << "," << cy << " kind " << kind;
  }
}

// The same few sprites drawn again and again, as a stage draws its aliens:
// most draws come from kept stamps, at odd and even places, near and over the
// edges, in new colours, and after a sprite's pixels were changed or the
// sprite was made anew.
TEST_F(FastPaths, KeptStampsPaintWhatTheDrawerPaints) {
  std::mt19937 random(8122026);
  const float scales[] = {1.0f, 2.0f, 3.0f, 0.8f, 1.4000001f};
  std::vector<OwnedImage> sprites;
  for (int i = 0; i < 3; ++i) sprites.push_back(randomSprite(random, 3 + 4 * i, 4 + 3 * i));
  OwnedImage fast(createImage(100, 80)), slow(createImage(100, 80));
  for (int round = 0; round < 1500; ++round) {
    size_t pick = random() % sprites.size();
    if (random() % 20 == 0) {
      Image* changed = sprites[pick].get();
      imageRow(changed, static_cast<int>(random() % changed->height))[random() % changed->width] ^= 0x00FFFFFFu;
    } else if (random() % 40 == 0) {
      int width = sprites[pick]->width, height = sprites[pick]->height;
      sprites[pick].reset();  // the new one often gets the same address
      sprites[pick] = randomSprite(random, width, height);
    }
    float scale = scales[random() % std::size(scales)];
    int cx = static_cast<int>(random() % 120) - 10, cy = static_cast<int>(random() % 100) - 10;
    uint32_t colour = 0xFF000000u | (random() & 0xFFFFFF);
    int kind = static_cast<int>(random() % 3);
    BlendFn blend = kind == 0 ? RecolourBlend : nullptr;
    Transparency transparent = kind == 1 ? Transparency::SkipMask : Transparency::Opaque;
    fillImage(fast.get(), static_cast<uint32_t>(round));
    fillImage(slow.get(), static_cast<uint32_t>(round));
    RotoBlit(toolkit, fast.get(), cx, cy, sprites[pick].get(), scale, scale, 0.0f, transparent, blend, &colour);
    referenceRotoBlit(slow.get(), cx, cy, sprites[pick].get(), scale, scale, 0.0f, transparent, blend, &colour);
    ASSERT_TRUE(sameImages(fast.get(), slow.get())) << "round " << round << " sprite " << pick << " scale " << scale
                                                    << " at " << cx << "," << cy << " kind " << kind;
  }
}

TEST_F(FastPaths, DrawImageRowsMatchTheBlendCalls) {
  std::mt19937 random(7);
  OwnedImage fast(createImage(64, 48)), slow(createImage(64, 48));
  for (int round = 0; round < 600; ++round) {
    OwnedImage source(randomSprite(random, 1 + static_cast<int>(random() % 40), 1 + static_cast<int>(random() % 20)));
    int x = static_cast<int>(random() % 90) - 20, y = static_cast<int>(random() % 70) - 20;
    uint32_t colour = random();
    int kind = static_cast<int>(random() % 4);
    DrawMode mode = kind == 0 ? DrawTransparent : DrawCustom;
    BlendFn blend = kind == 1 ? RecolourBlend : kind == 2 ? EraseBlend : kind == 3 ? invertBlend : nullptr;
    fillImage(fast.get(), static_cast<uint32_t>(round));
    fillImage(slow.get(), static_cast<uint32_t>(round));
    drawImage(toolkit, fast.get(), x, y, source.get(), mode, blend, &colour);
    // The plain put: one pixel at a time through the blend (or the mask test).
    for (int v = 0; v < source.get()->height; ++v)
      for (int u = 0; u < source.get()->width; ++u) {
        int tx = x + u, ty = y + v;
        if (tx < 0 || ty < 0 || tx >= 64 || ty >= 48) continue;
        uint32_t p = imageRow(source.get(), v)[u];
        uint32_t& out = imageRow(slow.get(), ty)[tx];
        if (mode == DrawTransparent) {
          if ((p & 0xFFFFFF) != MASK_COLOUR) out = p;
        } else {
          out = blend(p, out, &colour);
        }
      }
    ASSERT_TRUE(sameImages(fast.get(), slow.get())) << "round " << round << " kind " << kind;
  }
}

TEST_F(FastPaths, DrawImageOntoItselfKeepsThePixelOrder) {
  // Source and target rows overlap: each pixel reads what the row left of it
  // has just written, as the pixel-by-pixel put did.
  OwnedImage image(makeCodedImage(40, 6)), expected(makeCodedImage(40, 6));
  uint32_t colour = 0x445566;
  imageRow(image.get(), 2)[7] = MASK_COLOUR;
  imageRow(expected.get(), 2)[7] = MASK_COLOUR;
  drawImage(toolkit, image.get(), 3, 1, image.get(), 0, 0, 30, 4, DrawTransparent);
  for (int v = 0; v <= 4; ++v)
    for (int u = 0; u <= 30; ++u) {
      uint32_t p = imageRow(expected.get(), v)[u];
      if ((p & 0xFFFFFF) != MASK_COLOUR) imageRow(expected.get(), v + 1)[u + 3] = p;
    }
  EXPECT_TRUE(sameImages(image.get(), expected.get()));
  drawImage(toolkit, image.get(), 1, 0, image.get(), DrawCustom, RecolourBlend, &colour);
  for (int v = 0; v < 6; ++v)
    for (int u = 0; u < 39; ++u) {
      uint32_t& out = imageRow(expected.get(), v)[u + 1];
      out = RecolourBlend(imageRow(expected.get(), v)[u], out, &colour);
    }
  EXPECT_TRUE(sameImages(image.get(), expected.get()));
}

// drawText as it was: nine puts a letter, straight onto the page.
void paintTextLetterByLetter(Toolkit& toolkit, int x, int y, const std::string& text, uint32_t colour, bool outlined) {
  const int offsets[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    int k = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (k >= 128) continue;
    int cellX = 8 * (k % 16), cellY = 8 * (k / 16), px = x + 8 * static_cast<int>(i);
    if (outlined)
      for (const auto& o : offsets)
        drawImage(toolkit, nullptr, px + o[0], y + o[1], toolkit.spriteTable.sheet.get(), cellX, cellY, cellX + 7,
                  cellY + 7, DrawTransparent);
    drawImage(toolkit, nullptr, px, y, toolkit.spriteTable.sheet.get(), cellX, cellY, cellX + 7, cellY + 7, DrawCustom,
              RecolourBlend, &colour);
  }
}

TEST_F(FastPaths, KeptTextPicturesPutTheLettersPixels) {
  buildTestSheet(toolkit, holedSheetPixel);
  std::mt19937 random(99);
  const std::string texts[] = {"SCORE  00012345", "credit 03", "Hi", "\x16\x17", "a\xC3z!", "X"};
  const uint32_t colours[] = {0x000000, 0xFFFFFF, 0xFF00FF, 0x12FF00FF, 0xFFFF00};
  for (int round = 0; round < 120; ++round) {
    const std::string& text = texts[random() % std::size(texts)];
    uint32_t colour = colours[random() % std::size(colours)];
    int x = static_cast<int>(random() % 360) - 30, y = static_cast<int>(random() % 270) - 15;
    Outline outline = random() % 2 == 0 ? Outline::Yes : Outline::No;
    if (round == 60) {
      // The sheet changes under the kept pictures: they must not be used again.
      for (int v = 0; v < 64; ++v)
        for (int u = 0; u < 128; ++u)
          imageRow(toolkit.spriteTable.sheet.get(), v)[u] = (u + v) % 3 == 0 ? MASK_COLOUR : 0xFF00AA00u + u;
    }
    clearPage(toolkit);
    paintTextLetterByLetter(toolkit, x, y, text, colour, outline == Outline::Yes);
    std::vector<uint32_t> expected = pageCopy(toolkit);
    clearPage(toolkit);
    drawText(toolkit, x, y, text, colour, outline);
    drawText(toolkit, x, y, text, colour, outline);  // a second time from the kept picture
    ASSERT_EQ(pageCopy(toolkit), expected) << "round " << round << " '" << text << "' at " << x << "," << y;
  }
}

}  // namespace
