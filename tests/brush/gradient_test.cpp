#include "brush/gradient.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "core/planes.h"

namespace pg {
namespace gradient_test {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlue = 0xFFFF0000u;   // red low: blue in the third byte
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kRed = 0xFF0000FFu;

struct StopSpec {
  uint32_t Colour;
  int32_t Weight;
  uint8_t Opacity = 255;
};

CColorSlotGroup makeGroup(const std::vector<StopSpec>& stops) {
  CColorSlotGroup g;
  int32_t i = 0;
  for (const StopSpec& s : stops) EXPECT_TRUE(g.putColor(i++, s.Colour, s.Opacity, s.Weight));
  g.normalize();
  return g;
}

// ------------------------------------------------------------ colour stops

struct ColorAtCase {
  const char* Name;
  std::vector<StopSpec> Stops;
  int32_t T;
  uint32_t Expected;
};

TEST(ColorSlotGroup, ColorAtTable) {
  const std::vector<StopSpec> bw = {{kBlack, 0x10000}, {kWhite, 0x10000}};
  const std::vector<StopSpec> wb = {{kWhite, 0x10000}, {kBlack, 0x10000}};
  const std::vector<StopSpec> preset3 = {{kBlue, 0x8000}, {kGreen, 0x8000}, {kRed, 0x10000}};
  const std::vector<StopSpec> one = {{0xFF123456u, 0x10000}};
  const ColorAtCase cases[] = {
      {"one stop at 0", one, 0, 0xFF123456u},
      {"one stop halfway", one, 0x8000, 0xFF123456u},
      {"one stop at the end", one, 0x10000, 0xFF123456u},
      {"t 0 is slot 0", bw, 0, kBlack},
      {"negative t is slot 0", bw, -5000, kBlack},
      {"t 0x10000 is the last stop", bw, 0x10000, kWhite},
      {"past the end is the last stop", bw, 0x7FFFFFFF, kWhite},
      {"halfway black to white truncates to 7F", bw, 0x8000, 0xFF7F7F7Fu},
      {"halfway white to black floors to 7F", wb, 0x8000, 0xFF7F7F7Fu},
      {"a quarter black to white", bw, 0x4000, 0xFF3F3F3Fu},
      {"preset 3 middle is green", preset3, 0x8000, kGreen},
      {"preset 3 a quarter: blue halfway to green", preset3, 0x4000, 0xFF7F7F00u},
      {"opacity replaces the marker", {{0x00102030u, 0x10000, 128}, {0x01102030u, 0x10000, 0}}, 0, 0x80102030u},
      {"opacity is blended too", {{0x00000000u, 0x10000, 0}, {0x00000000u, 0x10000, 255}}, 0x8000, 0x7F000000u},
  };
  for (const ColorAtCase& c : cases) {
    const CColorSlotGroup g = makeGroup(c.Stops);
    EXPECT_EQ(g.colorAt(c.T), c.Expected) << c.Name;
  }
}

TEST(ColorSlotGroup, NormalizeGivesStartsAndLengths) {
  CColorSlotGroup g = makeGroup({{kBlue, 0x8000}, {kGreen, 0x8000}, {kRed, 0x10000}});
  EXPECT_EQ(g.usedCount(), 3);
  EXPECT_EQ(g.totalWeight(), 0x10000);
  const int32_t starts[] = {0, 0x8000, 0x10000};
  const int32_t lengths[] = {0x8000, 0x8000, 0};
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(g.getSlot(i)->Start, starts[i]) << i;
    EXPECT_EQ(g.getSlot(i)->Length, lengths[i]) << i;
  }
  // Any unit: weights 1 and 3 split the range a quarter and three quarters.
  CColorSlotGroup h = makeGroup({{kBlack, 1}, {kWhite, 3}, {kRed, 77}});
  EXPECT_EQ(h.getSlot(1)->Start, 0x4000);
  EXPECT_EQ(h.getSlot(1)->Length, 0xC000);
}

TEST(ColorSlotGroup, NormalizeResults) {
  struct Case {
    const char* Name;
    std::vector<StopSpec> Stops;
    bool Ok;
    int32_t Used;
  };
  const Case cases[] = {
      {"empty", {}, false, 0},
      {"one stop", {{kBlack, 5}}, true, 1},
      {"two stops", {{kBlack, 5}, {kWhite, 0}}, true, 2},
      {"all weights zero", {{kBlack, 0}, {kWhite, 0}}, false, 2},
      {"negative weights count as zero", {{kBlack, -100}, {kWhite, 0}}, false, 2},
  };
  for (const Case& c : cases) {
    CColorSlotGroup g;
    int32_t i = 0;
    for (const StopSpec& s : c.Stops) EXPECT_TRUE(g.putColor(i++, s.Colour, s.Opacity, s.Weight));
    EXPECT_EQ(g.normalize(), c.Ok) << c.Name;
    EXPECT_EQ(g.usedCount(), c.Used) << c.Name;
  }
}

// Weights from a file may be negative or huge: the intervals never run
// backwards and the sum does not overflow.
TEST(ColorSlotGroup, UntrustedWeightsKeepIntervalsInOrder) {
  CColorSlotGroup g = makeGroup({{kBlack, INT32_MAX}, {kRed, -7}, {kGreen, INT32_MAX}, {kWhite, 1}});
  int32_t prevEnd = 0;
  for (int32_t i = 0; i < 3; ++i) {
    const SColorSlot* s = g.getSlot(i);
    EXPECT_GE(s->Length, 0);
    EXPECT_EQ(s->Start, prevEnd);
    prevEnd = s->Start + s->Length;
  }
  EXPECT_EQ(g.getSlot(1)->Length, 0);
  EXPECT_EQ(g.colorAt(0x8001), kGreen);
}

TEST(ColorSlotGroup, CapacityLimitAndIndexes) {
  CColorSlotGroup g(16);
  EXPECT_EQ(g.capacity(), 16);
  EXPECT_TRUE(g.ensureCapacity(17));
  EXPECT_EQ(g.capacity(), 32);  // whole steps
  EXPECT_TRUE(g.putColor(2728, kBlack, 255, 1));
  EXPECT_FALSE(g.putColor(2729, kBlack, 255, 1));  // would need 2730 slots
  EXPECT_FALSE(g.ensureCapacity(2730));
  EXPECT_FALSE(g.putColor(-1, kBlack, 255, 1));
  EXPECT_EQ(g.lastIndex(), 2728);
  EXPECT_EQ(g.getSlot(2729), nullptr);
  EXPECT_EQ(g.getSlot(-1), nullptr);
  EXPECT_NE(g.getSlot(2728), nullptr);

  CColorSlotGroup small(1);
  EXPECT_EQ(small.step(), 4);
  EXPECT_EQ(small.name(), "untitled");
  const SColorSlot* data = nullptr;
  int64_t bytes = -1;
  EXPECT_FALSE(small.getSlots(data, bytes));
  EXPECT_TRUE(small.putColor(2, kBlack, 255, 1));
  EXPECT_TRUE(small.getSlots(data, bytes));
  EXPECT_EQ(bytes, 72);
}

TEST(ColorSlotGroup, ResetSlotAndReset) {
  const SColorSlot s = resetColorSlot(7);
  EXPECT_EQ(s.Used, 0);
  EXPECT_EQ(s.Enabled, 0);
  EXPECT_EQ(s.Flag, 1);
  EXPECT_EQ(s.Opacity, 255);
  EXPECT_EQ(s.Color, 0xFF000000u);
  EXPECT_EQ(s.Index, 7);
  EXPECT_EQ(s.Weight | s.Start | s.Length, 0);

  CColorSlotGroup g(8);
  EXPECT_TRUE(g.putColor(3, kWhite, 255, 1));
  g.reset(0);  // keeps the step
  EXPECT_EQ(g.step(), 8);
  EXPECT_EQ(g.lastIndex(), -1);
}

TEST(ColorSlotGroup, UsedNavigationSkipsUnsetSlots) {
  CColorSlotGroup g;
  EXPECT_TRUE(g.putColor(1, kBlack, 255, 1));
  SColorSlot half = resetColorSlot(2);
  half.Used = 1;  // used but not enabled: does not count
  EXPECT_TRUE(g.putSlot(2, half));
  EXPECT_TRUE(g.putColor(4, kWhite, 255, 1));
  EXPECT_EQ(g.firstUsed(), 1);
  EXPECT_EQ(g.lastUsed(), 4);
  EXPECT_EQ(g.nextUsed(1), 4);
  EXPECT_EQ(g.nextUsed(4), -1);
  EXPECT_EQ(g.prevUsed(4), 1);
  EXPECT_TRUE(g.isValid() == false);  // not normalized yet
  g.normalize();
  EXPECT_TRUE(g.isValid());
  EXPECT_FALSE(g.isUsable());
}

TEST(ColorSlotGroup, RemoveSlot) {
  CColorSlotGroup g = makeGroup({{kBlack, 1}, {kRed, 1}, {kWhite, 1}});
  EXPECT_FALSE(g.removeSlot(0));
  EXPECT_FALSE(g.removeSlot(3));
  EXPECT_TRUE(g.removeSlot(1));
  EXPECT_EQ(g.lastIndex(), 1);
  EXPECT_EQ(g.getSlot(1)->Color, kWhite);
  EXPECT_EQ(g.getSlot(2), nullptr);
}

TEST(ColorSlotGroup, RemoveStopMergesIntervals) {
  CColorSlotGroup g = makeGroup({{kBlue, 0x8000}, {kGreen, 0x8000}, {kRed, 0x10000}});
  EXPECT_FALSE(g.removeStop(0));  // first
  EXPECT_FALSE(g.removeStop(2));  // last
  EXPECT_TRUE(g.removeStop(1));
  EXPECT_EQ(g.usedCount(), 2);
  EXPECT_EQ(g.colorAt(0), kBlue);
  EXPECT_EQ(g.colorAt(0x10000), kRed);
  EXPECT_EQ(g.colorAt(0x8000), lerpColorFix(kBlue, kRed, 0x8000));

  // Weights in another unit merge the same way.
  CColorSlotGroup h = makeGroup({{kBlack, 1}, {kGreen, 1}, {kRed, 2}, {kWhite, 0}});
  EXPECT_TRUE(h.removeStop(1));
  EXPECT_EQ(h.getSlot(1)->Start, 0x8000);
}

TEST(ColorSlotGroup, CompactKeepsUsedStopsInOrder) {
  CColorSlotGroup g;
  g.setName("sunset");
  EXPECT_TRUE(g.putColor(1, kBlack, 255, 1));
  EXPECT_TRUE(g.putColor(3, kRed, 255, 1));
  EXPECT_TRUE(g.putColor(6, kWhite, 255, 1));
  g.normalize();
  auto c = g.compact();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->name(), "sunset");
  EXPECT_EQ(c->lastIndex(), 2);
  EXPECT_TRUE(c->isUsable());
  EXPECT_EQ(c->getSlot(1)->Color, kRed);
  EXPECT_EQ(c->colorAt(0x8000), kRed);
  EXPECT_EQ(CColorSlotGroup().compact(), nullptr);
}

TEST(ColorSlotGroup, AssignToAndEquals) {
  CColorSlotGroup src = makeGroup({{kBlue, 1}, {kGreen, 1}, {kRed, 1}});
  src.setName("rgb");
  CColorSlotGroup dest = makeGroup({{kBlack, 1}, {kWhite, 1}, {kWhite, 1}, {kWhite, 1}, {kBlack, 1}});
  EXPECT_FALSE(src.equals(dest));
  ASSERT_TRUE(src.assignTo(dest));
  EXPECT_EQ(dest.name(), "rgb");
  EXPECT_EQ(dest.lastIndex(), 2);
  EXPECT_TRUE(src.equals(dest));

  CColorSlotGroup notUsable;
  EXPECT_TRUE(notUsable.putColor(1, kBlack, 255, 1));
  notUsable.normalize();
  EXPECT_FALSE(notUsable.assignTo(dest));
  EXPECT_FALSE(CColorSlotGroup().equals(CColorSlotGroup()));
}

TEST(ColorSlotGroup, ApplyColorsByMarker) {
  CColorSlotGroup g = makeGroup({{0x00000000u, 1}, {0x01000000u, 1}, {0xFF123456u, 1}, {0x00FFFFFFu, 0}});
  g.applyColors(0x00112233u, 0x00445566u);
  EXPECT_EQ(g.getSlot(0)->Color, 0x00112233u);
  EXPECT_EQ(g.getSlot(1)->Color, 0x01445566u);
  EXPECT_EQ(g.getSlot(2)->Color, 0xFF123456u);
  EXPECT_EQ(g.getSlot(3)->Color, 0x00112233u);

  CColorSlotGroup single = makeGroup({{0x00000000u, 1}});
  single.applyColors(0x00112233u, 0);
  EXPECT_EQ(single.getSlot(0)->Color, 0u);  // fewer than two slots: nothing
}

// Slots straight from a file, never normalized or with made-up starts and
// lengths: colorAt reads only slots 0..last index and answers something.
TEST(ColorSlotGroup, ColorAtOnArbitrarySlotsStaysInside) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 200; ++round) {
    CColorSlotGroup g;
    const int n = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < n; ++i) {
      SColorSlot s;
      s.Used = static_cast<uint8_t>(rng() % 2);
      s.Enabled = 1;
      s.Color = rng();
      s.Weight = static_cast<int32_t>(rng());
      s.Start = static_cast<int32_t>(rng());
      s.Length = static_cast<int32_t>(rng());
      EXPECT_TRUE(g.putSlot(i, s));
    }
    if (round % 2 == 0) g.normalize();
    // Every answer is a blend of the stops put: each byte within theirs.
    uint32_t lo[4] = {255, 255, 255, 255}, hi[4] = {};
    for (int i = 0; i < n; ++i)
      for (int c = 0; c < 4; ++c) {
        const uint32_t v = (g.getSlot(i)->contribution() >> (8 * c)) & 0xFF;
        lo[c] = std::min(lo[c], v);
        hi[c] = std::max(hi[c], v);
      }
    for (int k = 0; k <= 20; ++k) {
      const int32_t t = k < 20 ? static_cast<int32_t>(rng()) : 0x8000;
      const uint32_t colour = g.colorAt(t);
      for (int c = 0; c < 4; ++c) {
        const uint32_t v = (colour >> (8 * c)) & 0xFF;
        ASSERT_TRUE(v >= lo[c] && v <= hi[c]) << "round " << round << " t " << t << " byte " << c;
      }
    }
  }
}

// ------------------------------------------------------------- presets

TEST(GradObj, IdsAndConstruction) {
  resetGradIdCounter();
  CGradObj a;
  CGradObj b;
  EXPECT_EQ(a.Id, 1);
  EXPECT_EQ(b.Id, 2);
  EXPECT_EQ(b.newId(), 2);
  EXPECT_EQ(b.Id, 3);
  EXPECT_EQ(a.Stops.step(), 16);

  auto two = CGradObj::CreateTwoColor(0x00000000u, "pair", 0xFFFFFFFFu);
  EXPECT_EQ(two->Stops.name(), "pair");
  EXPECT_TRUE(two->Stops.isUsable());
  EXPECT_EQ(two->Stops.getSlot(0)->Weight, 0x10000);
  EXPECT_EQ(two->Stops.colorAt(0), 0xFF000000u);  // opacity replaces marker 0

  two->setUntitledName(3);
  EXPECT_EQ(two->Stops.name(), "untitled3");
  two->setRepeat({1, 2, 1, 1, 0});
  EXPECT_EQ(two->Repeat.Count, 1);
  EXPECT_EQ(two->Repeat.Shape, 2);

  auto copy = CGradObj::CreateCopy(*two);
  EXPECT_NE(copy->Id, two->Id);
  EXPECT_EQ(copy->Repeat, two->Repeat);
  EXPECT_TRUE(copy->Stops.equals(two->Stops));
}

// ------------------------------------------------------------ geometry

TEST(Gradation, RepeatAndMirrorTable) {
  struct Case {
    int32_t Shape, Wrap, Count;
    double T, Expected;
  };
  const Case cases[] = {
      {0, 0, 3, 2.5, 0.5},   {0, 0, 3, 3.2, 3.2},  {0, 0, 3, -0.5, -0.5}, {0, 0, 3, 1.25, 0.25},
      {0, 0, 3, 0.0, 0.0},   {0, 0, 1, 0.5, 0.5},  {0, 0, 1, 1.0, 1.0},   {2, 0, 3, 2.5, 0.5},
      {0, 1, 1, 1.25, 0.25}, {0, 1, 1, -0.25, 0.75}, {0, 1, 1, -1.0, 1.0}, {0, 1, 5, 7.5, 0.5},
      {1, 0, 2, 0.3, 0.6},   {1, 1, 2, 0.7, 0.4},  {1, 0, 1, 0.9, 0.9},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(gradRepeatT(c.T, c.Shape, c.Wrap, c.Count), c.Expected, 1e-12)
        << c.Shape << " " << c.Wrap << " " << c.Count << " " << c.T;

  const double mirror[][2] = {{0.25, 0.5}, {0.75, 0.5}, {0.0, 0.0}, {-0.1, 0.0}, {0.5, 1.0}, {1.0, 0.0}, {3.0, 0.0}};
  for (const auto& m : mirror) EXPECT_DOUBLE_EQ(gradMirrorT(m[0]), m[1]) << m[0];
}

TEST(Gradation, SetRepeatRefusesOutOfRange) {
  CGradation g;
  EXPECT_TRUE(g.setRepeat(2, 1, 4, 1));
  const int32_t bad[][4] = {{0, 0, 0, 0}, {3, 0, 1, 0}, {-1, 0, 1, 0}, {0, 2, 1, 0}, {0, 0, 1, 2}, {0, 0, -5, 0}};
  for (const auto& b : bad) {
    EXPECT_FALSE(g.setRepeat(b[0], b[1], b[2], b[3]));
    EXPECT_EQ(g.shape(), 2);
    EXPECT_EQ(g.mirror(), 1);
    EXPECT_EQ(g.count(), 4);
    EXPECT_EQ(g.wrap(), 1);
  }
}

SFixPoint fp(double x, double y) { return {static_cast<int32_t>(x * 65536.0), static_cast<int32_t>(y * 65536.0)}; }

TEST(Gradation, ShapePositionTable) {
  struct Case {
    const char* Name;
    int32_t Shape;
    SFixPoint P0, P1;
    int32_t X, Y;
    double Expected;
  };
  const Case cases[] = {
      {"linear halfway", 0, fp(0, 0), fp(100, 0), 50, 0, 0.5},
      {"linear ignores the cross axis", 0, fp(0, 0), fp(100, 0), 50, 77, 0.5},
      {"linear downward", 0, fp(0, 0), fp(0, 100), 3, 25, 0.25},
      {"linear before the start", 0, fp(10, 0), fp(20, 0), 0, 0, -1.0},
      {"linear fractional start", 0, fp(0.5, 0), fp(2.5, 0), 1, 0, 0.25},
      {"radial on the rim", 2, fp(50, 50), fp(60, 50), 60, 50, 1.0},
      {"radial round when dragged sideways", 2, fp(50, 50), fp(60, 50), 50, 55, 0.5},
      {"radial ellipse", 2, fp(0, 0), fp(10, 20), 0, 20, 1.0},
      {"radial ellipse x", 2, fp(0, 0), fp(10, 20), 5, 0, 0.5},
      {"angular on the axis", 1, fp(0, 0), fp(10, 0), 10, 0, 0.0},
      {"angular a quarter", 1, fp(0, 0), fp(10, 0), 0, 10, 0.25},
      {"angular half", 1, fp(0, 0), fp(10, 0), -10, 0, 0.5},
      {"angular three quarters", 1, fp(0, 0), fp(10, 0), 0, -10, 0.75},
      {"angular from a rotated base", 1, fp(0, 0), fp(0, 10), 10, 0, 0.75},
      {"angular eighth", 1, fp(0, 0), fp(10, 0), 7, 7, 0.125},
  };
  for (const Case& c : cases) {
    CGradation g;
    ASSERT_TRUE(g.setRepeat(c.Shape, 0, 1, 0));
    g.setPoints(c.P0, c.P1);
    EXPECT_NEAR(g.shapeT(c.X, c.Y), c.Expected, 1e-9) << c.Name;
  }
}

// Changing the shape after the points gives the new shape's extents.
TEST(Gradation, ShapeChangeRecomputesExtents) {
  CGradation g;
  g.setPoints(fp(0, 0), fp(10, 20));
  ASSERT_TRUE(g.setRepeat(2, 0, 1, 0));
  EXPECT_NEAR(g.shapeT(10, 0), 1.0, 1e-12);
  EXPECT_NEAR(g.shapeT(0, 20), 1.0, 1e-12);
}

// Coincident points, far pixels and extreme coordinates give defined
// colours (the first stop, or the last past the end).
TEST(Gradation, DegenerateAndFarGeometry) {
  const CColorSlotGroup stops = makeGroup({{kBlack, 1}, {kWhite, 1}});
  struct Case {
    const char* Name;
    int32_t Shape;
    SFixPoint P0, P1;
    int32_t X, Y;
    uint32_t Expected;
  };
  const Case cases[] = {
      {"linear, coincident points", 0, fp(5, 5), fp(5, 5), 9, 9, kBlack},
      {"radial, coincident points", 2, fp(5, 5), fp(5, 5), 9, 9, kBlack},
      {"angular, coincident points", 1, fp(5, 5), fp(5, 5), 5, 9, kBlack},
      {"linear, far pixel", 0, fp(0, 0), fp(1, 0), INT32_MAX, 0, kWhite},
      {"linear, far pixel behind", 0, fp(0, 0), fp(1, 0), INT32_MIN, 0, kBlack},
      {"radial, far pixel", 2, fp(0, 0), fp(1, 0), INT32_MAX, INT32_MAX, kWhite},
      {"extreme points", 0, {INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, 0, 0, 0xFF7F7F7Fu},
      {"one step apart", 0, {0, 0}, {1, 0}, 1, 0, kWhite},
  };
  for (const Case& c : cases) {
    CGradation g(&stops);
    ASSERT_TRUE(g.setRepeat(c.Shape, 0, 1, 0));
    g.setPoints(c.P0, c.P1);
    EXPECT_EQ(g.evaluate(c.X, c.Y), c.Expected) << c.Name;
  }
  CGradation none;
  EXPECT_EQ(none.evaluate(3, 3), 0u);
}

TEST(Gradation, EvaluateAppliesRepeatAndMirror) {
  const CColorSlotGroup stops = makeGroup({{kBlack, 1}, {kWhite, 1}});
  CGradation g(&stops);
  g.setPoints(fp(0, 0), fp(100, 0));
  ASSERT_TRUE(g.setRepeat(0, 0, 3, 0));
  EXPECT_EQ(g.evaluate(250, 0), 0xFF7F7F7Fu);  // 2.5 -> 0.5
  EXPECT_EQ(g.evaluate(320, 0), kWhite);       // 3.2 stays: the last colour
  ASSERT_TRUE(g.setRepeat(0, 1, 1, 0));
  EXPECT_EQ(g.evaluate(25, 0), 0xFF7F7F7Fu);  // 0.25 -> 0.5
  EXPECT_EQ(g.evaluate(50, 0), kWhite);       // 0.5 -> 1
  EXPECT_EQ(g.evaluate(100, 0), kBlack);      // 1 -> 0
}

TEST(Gradation, FillRectSwapsToPixelOrderAndClips) {
  const CColorSlotGroup stops = makeGroup({{kRed, 1}, {kRed, 1}});
  CGradation g(&stops);
  TMTC image(4, 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x) *image.pixelAt(x, y) = 0x12345678u;
  g.fillRect(image, {-5, 1, 2, 99});
  EXPECT_EQ(image.getPixel(0, 1), 0xFFFF0000u);  // red in the pixel's third byte
  EXPECT_EQ(image.getPixel(1, 2), 0xFFFF0000u);
  EXPECT_EQ(image.getPixel(2, 1), 0x12345678u);
  EXPECT_EQ(image.getPixel(0, 0), 0x12345678u);
  TMTC empty;
  g.fillRect(empty, {0, 0, 10, 10});
}

// The row filler (with and without its colour table) against per-pixel
// evaluation on seeded random gradients.
TEST(Gradation, FillRectMatchesEvaluate) {
  std::mt19937 rng(20240611);
  auto randStops = [&rng]() {
    CColorSlotGroup g;
    const int n = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < n; ++i)
      EXPECT_TRUE(g.putColor(i, rng(), static_cast<uint8_t>(rng()), static_cast<int32_t>(rng() % 0x20000) - 0x1000));
    g.normalize();
    return g;
  };
  auto coord = [&rng](int32_t range) { return static_cast<int32_t>(rng() % static_cast<uint32_t>(range << 16)) - (range << 15); };
  for (int round = 0; round < 60; ++round) {
    const CColorSlotGroup stops = randStops();
    CGradation g(&stops);
    ASSERT_TRUE(g.setRepeat(static_cast<int32_t>(rng() % 3), static_cast<int32_t>(rng() % 2),
                            1 + static_cast<int32_t>(rng() % 5), static_cast<int32_t>(rng() % 2)));
    SFixPoint p0{coord(400), coord(400)};
    SFixPoint p1 = round % 10 == 0 ? p0 : SFixPoint{coord(400), coord(400)};
    g.setPoints(p0, p1);
    // Every fifth round is large enough for the colour table.
    const bool large = round % 5 == 0;
    const int32_t w = large ? 600 : 1 + static_cast<int32_t>(rng() % 90);
    const int32_t h = large ? 480 : 1 + static_cast<int32_t>(rng() % 90);
    TMTC image(w, h);
    ASSERT_TRUE(isPlaneReady(&image));
    g.fillRect(image, {0, 0, w, h});
    int mismatches = 0;
    for (int32_t y = 0; y < h && mismatches < 5; ++y)
      for (int32_t x = 0; x < w && mismatches < 5; ++x)
        if (image.getPixel(x, y) != colorToPixel(g.evaluate(x, y))) {
          ++mismatches;
          ADD_FAILURE() << "round " << round << " at " << x << "," << y;
        }
  }
}

TEST(Gradation, GradientFillPreview) {
  const CColorSlotGroup stops = makeGroup({{kBlack, 1}, {kWhite, 1}});
  struct Case {
    const char* Name;
    SGradRepeat Repeat;
    int32_t X, Y;
    uint32_t Expected;  // pixel order
  };
  const Case cases[] = {
      {"linear: black at the left", {0, 0, 0, 0, 1}, 0, 0, 0xFF000000u},
      {"linear: white at the right", {0, 0, 0, 0, 1}, 10, 0, 0xFFFFFFFFu},
      {"linear: grey halfway", {0, 0, 0, 0, 1}, 5, 3, 0xFF7F7F7Fu},
      {"linear twice: starts again in the middle", {0, 0, 0, 0, 2}, 5, 0, 0xFF000000u},
      {"linear, wrap: ten periods", {0, 0, 0, 1, 1}, 1, 0, 0xFF000000u},
      {"radial: black in the centre", {0, 2, 0, 0, 1}, 5, 5, 0xFF000000u},
      {"radial: white on the rim", {0, 2, 0, 0, 1}, 10, 5, 0xFFFFFFFFu},
      {"angular: black on the axis", {0, 1, 0, 0, 1}, 10, 5, 0xFF000000u},
      {"angular: a quarter below", {0, 1, 0, 0, 1}, 5, 10, 0xFF3F3F3Fu},
  };
  for (const Case& c : cases) {
    TMTC image(11, 11);
    CGradation::gradientFill(image, stops, c.Repeat);
    EXPECT_EQ(image.getPixel(c.X, c.Y), c.Expected) << c.Name;
  }
}

}  // namespace gradient_test
}  // namespace pg
