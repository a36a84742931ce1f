#include "brush/tone_patterns.h"

#include <gtest/gtest.h>

#include <climits>

#include "brush/tone_list.h"

namespace pg {
namespace {

// A w x h pattern whose tile byte (x, y) is (x + 16 * y) & 255.
std::unique_ptr<CPat8> rampPattern(int32_t w, int32_t h) {
  auto p = std::make_unique<CPat8>(w, 0, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) *p->Tile.pixelAt(x, y) = static_cast<uint8_t>((x + 16 * y) & 255);
  return p;
}

SToneAttr toneAttr(float resolution, float ruling, int32_t density, int32_t angle, uint32_t shape = 0) {
  SToneAttr a;
  a.Shape = shape;
  a.Resolution = resolution;
  a.Ruling = ruling;
  a.Density = density;
  a.Angle = angle;
  a.Smoothing = 2;
  a.Name = "tone";
  return a;
}

TEST(Pat8, ValueAtWrapsInvertsAndOffsets) {
  auto p = rampPattern(64, 64);
  struct Case {
    int32_t OffX, OffY;
    bool Invert;
    int32_t X, Y;
    int32_t TileX, TileY;
  };
  const Case cases[] = {
      {0, 0, false, -1, -1, 63, 63}, {0, 0, false, 64, 130, 0, 2},   {0, 0, false, 5, 7, 5, 7},
      {3, 1, false, 0, 0, 3, 1},     {-5, 0, false, 0, 0, 59, 0},   {0, 0, true, 5, 7, 5, 7},
      {INT32_MAX, INT32_MIN, false, INT32_MAX, INT32_MAX, 62, 63},
  };
  for (const Case& c : cases) {
    p->OffsetX = c.OffX;
    p->OffsetY = c.OffY;
    p->Invert = c.Invert ? 1 : 0;
    const uint8_t byte = p->Tile.getPixel(c.TileX, c.TileY);
    EXPECT_EQ(p->valueAt(c.X, c.Y), c.Invert ? 255 - byte : byte) << c.X << "," << c.Y;
  }
  EXPECT_EQ(p->pixelAddr(-1, 64), p->Tile.pixelAt(63, 0));
}

TEST(Pat8, EmptyTileIsHarmless) {
  CPat8 p(0, 0, 0);
  EXPECT_EQ(p.valueAt(3, 4), 0);
  EXPECT_EQ(p.pixelAddr(3, 4), nullptr);
  int32_t lo = 0, hi = 0;
  p.getScaleRange(lo, hi);
  EXPECT_EQ(lo, 100);
  EXPECT_EQ(hi, 100);
  TMTC image(8, 8);
  p.fillPlane(image, {0, 0, 8, 8});
  p.setIndex(true);
  EXPECT_EQ(p.Ready, 0);
}

TEST(Pat8, ScaleRangeTable) {
  struct Case {
    int32_t W, H, Min, Max;
  };
  const Case cases[] = {{10, 20, 100, 200}, {64, 64, 15, 200}, {1, 5, 1000, 200}, {3000, 2000, 0, 200}};
  for (const Case& c : cases) {
    CPat8 p(c.W, 0, c.H);
    int32_t lo = 0, hi = 0;
    p.getScaleRange(lo, hi);
    EXPECT_EQ(lo, c.Min) << c.W << "x" << c.H;
    EXPECT_EQ(hi, c.Max);
  }
  struct ToneCase {
    float Resolution, Ruling;
    int32_t Min, Max;
  };
  const ToneCase tones[] = {{350.0f, 60.0f, 60, 2185}, {600.0f, 60.0f, 35, 1275}, {0.0f, 60.0f, 100, 100},
                            {350.0f, 0.0f, 100, 100},  {350.0f, NAN, 100, 100}};
  for (const ToneCase& c : tones) {
    CPat8Tone t;
    SToneAttr a = toneAttr(c.Resolution, c.Ruling, 50, 0);
    CToneMaker m;
    (void)t.build(&a, &m, nullptr, false);  // may fail for the bad ones; the range must still be defined
    int32_t lo = 0, hi = 0;
    t.getScaleRange(lo, hi);
    if (c.Min == 100 && c.Max == 100) {
      EXPECT_FALSE(t.Ready);
      EXPECT_EQ(lo, 100);
      EXPECT_EQ(hi, 100);
    } else {
      EXPECT_EQ(lo, c.Min) << c.Resolution;
      EXPECT_EQ(hi, c.Max) << c.Resolution;
    }
  }
}

TEST(Pat8, IdsAreConsecutive) {
  resetPatIdCounter();
  CPat8 a(4, 0, 4);
  CPat8Tone b;
  CPat8 c(4, 0, 4);
  EXPECT_EQ(a.Id, 1u);
  EXPECT_EQ(b.Id, 2u);
  EXPECT_EQ(c.Id, 3u);
}

TEST(Pat8, RenderAndFillPlane) {
  auto p = rampPattern(3, 2);
  TMTC image(8, 5);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 8; ++x) *image.pixelAt(x, y) = 0x40ABCDEFu;
  p->fillPlane(image, {1, 1, 99, 4});
  EXPECT_EQ(image.getPixel(0, 0), 0x40ABCDEFu);  // outside the rectangle
  EXPECT_EQ(image.getPixel(0, 1), 0x40ABCDEFu);
  // Each block starts the tile again; 255 - value into the colour bytes, alpha kept.
  struct Case {
    int32_t X, Y, TileX, TileY;
  };
  const Case cases[] = {{1, 1, 0, 0}, {3, 1, 2, 0}, {4, 1, 0, 0}, {7, 2, 0, 1}, {2, 3, 1, 0}};
  for (const Case& c : cases) {
    const uint32_t v = 255u - p->Tile.getPixel(c.TileX, c.TileY);
    EXPECT_EQ(image.getPixel(c.X, c.Y), 0x40000000u | (v * 0x010101u)) << c.X << "," << c.Y;
  }
  EXPECT_EQ(image.getPixel(5, 4), 0x40ABCDEFu);  // below the rectangle

  TChannel copy(2, 5);
  ASSERT_TRUE(p->copyTo(copy));
  EXPECT_EQ(copy.getPixel(1, 1), p->Tile.getPixel(1, 1));
  CPat8 other(1, 0, 1);
  ASSERT_TRUE(other.assign(*p));
  EXPECT_EQ(other.Width, 3);
  EXPECT_EQ(other.Tile.getPixel(2, 1), p->Tile.getPixel(2, 1));
}

TEST(Pat8Tone, CreateAndBuild) {
  CPat8Tone t;
  EXPECT_EQ(t.Width, 64);
  EXPECT_EQ(t.Height, 64);
  EXPECT_EQ(t.Mode, kToneMode);
  EXPECT_TRUE(t.isTone());
  EXPECT_EQ(t.attributes(), SToneAttr{});
  int32_t w = 0, h = 0;
  t.getSize(w, h);
  EXPECT_EQ(w, 64);

  EXPECT_FALSE(t.build(nullptr, nullptr, nullptr, false));
  const SToneAttr a = toneAttr(300.0f, 40.0f, 35, 30);
  ASSERT_TRUE(t.build(&a, nullptr, nullptr, false));
  EXPECT_TRUE(t.ownsMaker());
  EXPECT_EQ(t.Ready, 1);
  t.getSize(w, h);
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 100);
  EXPECT_EQ(t.Name, "tone");
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) ASSERT_EQ(t.Tile.getPixel(x, y), t.maker()->valueAt(x, y));

  t.setName("renamed");
  EXPECT_EQ(t.attributes().Name, "renamed");

  const SToneAttr before = t.attributes();
  const SToneAttr bad = toneAttr(300.0f, 0.0f, 35, 30);
  EXPECT_FALSE(t.build(&bad, nullptr, nullptr, true));
  EXPECT_EQ(t.attributes(), before);  // the failed build left the tone as it was
}

// Tones built one after another with one shared maker each answer with
// their own screen, not the last one built.
TEST(Pat8Tone, SharedMakerAnswersForEachTone) {
  CToneMaker shared;
  CPat8Tone first;
  CPat8Tone second;
  const SToneAttr a = toneAttr(300.0f, 40.0f, 35, 0, 0);
  const SToneAttr b = toneAttr(600.0f, 50.0f, 60, 45, 3);
  ASSERT_TRUE(first.build(&a, &shared, nullptr, false));
  ASSERT_TRUE(second.build(&b, &shared, nullptr, false));
  EXPECT_FALSE(first.ownsMaker());
  CToneMaker refA;
  CToneMaker refB;
  ASSERT_TRUE(refA.setupFor(a));
  ASSERT_TRUE(refB.setupFor(b));
  for (int32_t y = -30; y < 30; y += 3)
    for (int32_t x = -30; x < 30; x += 3) {
      ASSERT_EQ(first.valueAt(x, y), refA.valueAt(x, y));
      ASSERT_EQ(second.valueAt(x, y), refB.valueAt(x, y));
    }
}

TEST(Pat8Tone, ValueAtOffsetInvertAndPlaneCopy) {
  CToneMaker shared;
  const SToneAttr a = toneAttr(300.0f, 40.0f, 35, 15);
  CPat8Tone t;
  ASSERT_TRUE(t.build(&a, &shared, nullptr, false));
  t.OffsetX = 10;
  t.OffsetY = -4;
  EXPECT_EQ(t.valueAt(13, 0), shared.valueAt(3, 4));
  t.Invert = 1;
  EXPECT_EQ(t.valueAt(13, 0), 255 - shared.valueAt(3, 4));
  t.OffsetX = INT32_MIN;
  (void)t.valueAt(INT32_MAX, 0);

  // A tone given its tile (as a recording carries it) copies it and still
  // answers with its own screen.
  TChannel plane(64, 64);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) *plane.pixelAt(x, y) = 7;
  CToneMaker other;
  ASSERT_TRUE(other.setup(5, 0, 90.0f, 20.0f, 60));
  CPat8Tone fromPlane;
  ASSERT_TRUE(fromPlane.build(&a, &other, &plane, false));
  EXPECT_EQ(fromPlane.Tile.getPixel(9, 9), 7);
  CToneMaker ref;
  ASSERT_TRUE(ref.setupFor(a));
  EXPECT_EQ(fromPlane.valueAt(21, 5), ref.valueAt(21, 5));

  // A tile that came with attributes no maker accepts answers from the tile.
  const SToneAttr bad = toneAttr(300.0f, 0.0f, 35, 15);
  CPat8Tone broken;
  ASSERT_TRUE(broken.build(&bad, &other, &plane, false));
  EXPECT_EQ(broken.valueAt(3, 3), 7);
}

TEST(Pat8Tone, FillTiledAndRender) {
  CPat8Tone t;
  *t.Tile.pixelAt(0, 0) = 0;
  *t.Tile.pixelAt(1, 0) = 200;
  TMTC image(70, 3);
  t.fillTiled(image, {0, 0, 70, 3});
  EXPECT_EQ(image.getPixel(0, 0), 0x00FFFFFFu);  // value 0: transparent, then inverted
  EXPECT_EQ(image.getPixel(1, 0), 0xFF000000u | (55u * 0x010101u));
  EXPECT_EQ(image.getPixel(65, 0), 0xFF000000u | (55u * 0x010101u));  // the tile repeats

  const SToneAttr a = toneAttr(300.0f, 40.0f, 35, 15);
  ASSERT_TRUE(t.build(&a, nullptr, nullptr, false));
  TMTC out(20, 20);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) *out.pixelAt(x, y) = 0x11000000u;
  t.fillPlane(out, {4, 4, 30, 30});
  EXPECT_EQ(out.getPixel(4, 4), 0x11000000u | ((255u - t.maker()->valueAt(0, 0)) * 0x010101u));
  EXPECT_EQ(out.getPixel(19, 10), 0x11000000u | ((255u - t.maker()->valueAt(15, 6)) * 0x010101u));
  EXPECT_EQ(out.getPixel(3, 3), 0x11000000u);
}

// ------------------------------------------------------------- tone list

TEST(ToneMngr, PatternAtWeightsTheValue) {
  CToneMngr m;
  EXPECT_EQ(m.patternAt(3, 4, 200), 200u);  // empty list: unchanged
  auto p = rampPattern(16, 16);
  const int32_t i = m.addTone(p->Tile, 100, false, 2, 3);
  ASSERT_EQ(i, 0);
  EXPECT_EQ(m.patternAt(3, 4, 200), 200u);  // nothing current yet
  ASSERT_EQ(m.setCurrentIndex(0), 0);
  struct Case {
    int32_t X, Y;
    uint32_t Value;
  };
  const Case cases[] = {{0, 0, 255}, {3, 4, 200}, {-1, -1, 128}, {15, 15, 0}, {100, 3, 255}};
  for (const Case& c : cases) {
    const uint8_t tile = p->Tile.getPixel(((c.X + 2) % 16 + 16) % 16, ((c.Y + 3) % 16 + 16) % 16);
    EXPECT_EQ(m.patternAt(c.X, c.Y, c.Value), mulDiv255(c.Value, tile)) << c.X << "," << c.Y;
  }
  m.OriginX = 5;
  EXPECT_EQ(m.patternAt(0, 0, 255), p->Tile.getPixel(7, 3));
  m.OriginX = INT32_MAX;
  (void)m.patternAt(INT32_MAX, INT32_MIN, 255);
}

TEST(ToneMngr, CurrentIndexAndClear) {
  CToneMngr m;
  EXPECT_EQ(m.setCurrentIndex(0), -1);
  auto p = rampPattern(8, 8);
  for (int k = 0; k < 3; ++k) EXPECT_GE(m.addTone(p->Tile, 100, false, 0, 0), 0);
  EXPECT_TRUE(m.modified());
  EXPECT_EQ(m.setCurrentIndex(9), 2);
  EXPECT_EQ(m.setCurrentIndex(-3), 0);
  EXPECT_TRUE(m.hasCurrent());
  EXPECT_EQ(m.clear(), 3);
  EXPECT_FALSE(m.hasCurrent());
  EXPECT_EQ(m.setCurrentIndex(1), -1);
  EXPECT_EQ(m.work(), nullptr);
  EXPECT_EQ(m.add(nullptr), -1);
  TChannel none;
  EXPECT_EQ(m.addTone(none, 100, false, 0, 0), -1);
}

// The working pattern at the pattern's scale; scales from a recording that
// leave the image limits give no working pattern (the value unchanged).
TEST(ToneMngr, WorkingPatternFollowsTheScale) {
  struct Case {
    int32_t Scale;
    int32_t W, H;  // 0: no working pattern
  };
  const Case cases[] = {{100, 64, 64}, {50, 32, 32}, {200, 128, 128}, {1, 0, 0},
                        {0, 0, 0},     {-50, 0, 0},  {INT32_MAX, 0, 0}};
  auto p = rampPattern(64, 64);
  for (const Case& c : cases) {
    CToneMngr m;
    EXPECT_GE(m.addTone(p->Tile, c.Scale, false, 0, 0), 0);
    m.setCurrentIndex(0);
    if (c.W == 0) {
      EXPECT_EQ(m.work(), nullptr) << c.Scale;
      EXPECT_EQ(m.patternAt(1, 1, 99), 99u);
      continue;
    }
    ASSERT_NE(m.work(), nullptr) << c.Scale;
    EXPECT_EQ(m.work()->Width, c.W) << c.Scale;
    EXPECT_EQ(m.work()->Height, c.H) << c.Scale;
    EXPECT_EQ(m.work()->Scale, 100);
  }
}

TEST(ToneMngr, GeneratedToneWorkingPattern) {
  CToneMngr m;
  const SToneAttr a = toneAttr(300.0f, 40.0f, 35, 30);
  ASSERT_EQ(m.addToneFromImage(a, nullptr, 100, false, 4, 6), 0);
  ASSERT_EQ(m.setCurrentIndex(0), 0);
  ASSERT_NE(m.work(), nullptr);
  EXPECT_TRUE(m.work()->isTone());
  CToneMaker ref;
  ASSERT_TRUE(ref.setupFor(a));
  EXPECT_EQ(m.patternAt(10, 10, 255), ref.valueAt(6, 4));

  // A tone added later (through the shared maker) does not change the
  // working pattern.
  ASSERT_EQ(m.addToneFromImage(toneAttr(600.0f, 80.0f, 70, 45, 6), nullptr, 100, false, 0, 0), 1);
  EXPECT_EQ(m.patternAt(10, 10, 255), ref.valueAt(6, 4));

  // At 200 percent the screen is twice as coarse.
  CToneMngr scaled;
  EXPECT_GE(scaled.addToneFromImage(a, nullptr, 200, false, 0, 0), 0);
  scaled.setCurrentIndex(0);
  const auto* work = dynamic_cast<const CPat8Tone*>(scaled.work());
  ASSERT_NE(work, nullptr);
  EXPECT_FLOAT_EQ(work->attributes().Resolution, 600.0f);

  // Attributes no maker accepts: the tone is refused.
  EXPECT_EQ(m.addToneFromImage(toneAttr(300.0f, 40.0f, 35, 120), nullptr, 100, false, 0, 0), -1);
}

}  // namespace
}  // namespace pg
