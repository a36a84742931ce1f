// The older lighting model: lamps in their order with the first that does
// not reach a pixel ending its evaluation, at most sixteen lamps, the
// ambient term, and the kernel over a layer and its selection.
#include <gtest/gtest.h>

#include <vector>

#include "core/byte_cursor.h"
#include "filter_fixture.h"
#include "filters/filter_params.h"
#include "filters/legacy_lighting.h"

namespace pg {
namespace {

using testing::FilterFixture;

SOldLightParams lamp(uint8_t kind, float x, float y, int32_t range, uint8_t grey = 255) {
  SOldLightParams p;
  p.kind = kind;
  p.intensity = 100;
  p.blue = p.green = p.red = grey;
  p.range = range;
  p.x = x;
  p.y = y;
  p.height = 0;
  p.cone = 50;
  return p;
}

TEST(LegacyLighting, LampsInOrder) {
  const int32_t w = 100, h = 100;
  struct Case {
    const char* what;
    std::vector<SOldLightParams> lamps;
    int32_t x, y;
    uint32_t expected;  // blue channel of a black pixel with a neutral ambient
  };
  const std::vector<Case> cases = {
      {"a point lamp on the pixel gives its whole colour", {lamp(0, 0.5f, 0.5f, 50)}, 50, 50, 255},
      {"halfway through its range cos^2 of 45 degrees", {lamp(0, 0.5f, 0.5f, 50)}, 75, 50, 127},
      {"at its range nothing", {lamp(0, 0.5f, 0.5f, 50)}, 50, 0, 0},
      {"a lamp that does not reach stops the later ones", {lamp(0, 0.0f, 0.0f, 10), lamp(0, 0.5f, 0.5f, 50)}, 50, 50, 0},
      {"in the other order both are weighed", {lamp(0, 0.5f, 0.5f, 50), lamp(0, 0.0f, 0.0f, 10)}, 50, 50, 255},
      {"a black lamp still shines at half strength", {lamp(0, 0.5f, 0.5f, 50, 0)}, 50, 50, 128},
  };
  for (const Case& c : cases) {
    TLighting model;
    model.setAmbient(0xFFFFFF, 100);
    for (const SOldLightParams& p : c.lamps) model.add(p, w, h);
    EXPECT_EQ(model.shade(0xFF000000u, c.x, c.y) & 0xFF, c.expected) << c.what;
  }
  TLighting many;
  for (int i = 0; i < 20; ++i) many.add(lamp(0, 0.5f, 0.5f, 50), w, h);
  EXPECT_EQ(many.count(), TLighting::kMaxLights);
  // Without ambient light an unlit pixel goes black; a grey ambient keeps part.
  TLighting dark;
  dark.setAmbient(0x000000, 0);
  EXPECT_EQ(dark.shade(0xFF808080u, 1, 1), 0xFF000000u);
  dark.setAmbient(0xFFFFFF, 50);
  EXPECT_EQ(dark.shade(0xFFFFFFFFu, 1, 1) & 0xFF, 127u);
}

TEST(LegacyLighting, SpotAndWarmLampsShineWithinTheirCone) {
  const int32_t w = 100, h = 100;
  SOldLightParams spot = lamp(2, 0.5f, 0.5f, 80);
  spot.height = 30;  // above the middle, looking straight down
  for (const auto& [cone, lit] : std::vector<std::pair<int32_t, bool>>{{50, true}, {0, false}}) {
    spot.cone = cone;
    TLighting model;
    model.setAmbient(0xFFFFFF, 100);
    model.add(spot, w, h);
    const uint32_t below = model.shade(0xFF000000u, 50, 50) & 0xFF;
    EXPECT_EQ(below > 0, lit) << "cone " << cone;
    // Far to the side, outside the cone.
    EXPECT_EQ(model.shade(0xFF000000u, 0, 0) & 0xFF, 0u) << "cone " << cone;
  }
  SOldLightParams warm = spot;
  warm.kind = 1;
  warm.cone = 80;
  TLighting model;
  model.setAmbient(0xFFFFFF, 100);
  model.add(warm, w, h);
  EXPECT_GT(model.shade(0xFF000000u, 50, 50) & 0xFF, model.shade(0xFF000000u, 60, 50) & 0xFF);
}

TEST(LegacyLighting, KernelOverTheSelection) {
  FilterFixture f(16, 16);
  f.setPixels([](int32_t x, int32_t) { return x == 0 ? 0x00000000u : 0xFF202020u; });
  f.setSelection([](int32_t, int32_t y) { return uint8_t(y < 8 ? 255 : 0); });
  std::vector<uint8_t> lamps(56, 0);
  SOldLightParams p = lamp(0, 0.5f, 0.5f, 100);
  ASSERT_TRUE(writeRecord(lamps.data(), SOldLightParams::kSize, p, oldLightFields));
  SFltRecord rec;
  ASSERT_TRUE(initFltRecord(rec, 1, 56));
  writeLE32(rec.Params.data(), 0xFFFFFF);
  writeLE32(rec.Params.data() + 4, 100);
  rec.Extra = lamps.data();
  const SFlt4Context c = f.context();
  ASSERT_TRUE(legacyLighting4Kernel(&c, &rec, int32_t(SFltRecord::kWireSize)));
  EXPECT_GT(f.pixel(8, 7) & 0xFF, 0x20u);           // lit inside the selection
  EXPECT_EQ(f.pixel(8, 7) >> 24, 0xFFu);            // alpha kept
  EXPECT_EQ(f.pixel(8, 8), f.original(8, 8));       // outside it unchanged
  EXPECT_EQ(f.pixel(0, 3) >> 24, 0u);               // a transparent pixel keeps its alpha
  // A record of the wrong element size or with no lamps is refused.
  for (const auto& [count, size] : std::vector<std::pair<uint16_t, uint16_t>>{{1, 40}, {0, 56}}) {
    SFltRecord bad = rec;
    bad.Count = count;
    bad.Size = size;
    bad.Total = uint16_t(count * size);
    EXPECT_FALSE(legacyLighting4Kernel(&c, &bad, int32_t(SFltRecord::kWireSize))) << count << " x " << size;
  }
}

// The lamps stand where the layer image puts them, and the pixels they
// shade are its own, however large the working plane that holds it (the
// view's after a larger layer, or a replay's of another size).
TEST(LegacyLighting, SameResultOnALargerWorkingPlane) {
  std::vector<uint8_t> lamps(56, 0);
  ASSERT_TRUE(writeRecord(lamps.data(), SOldLightParams::kSize, lamp(0, 0.3f, 0.6f, 40), oldLightFields));
  SFltRecord rec;
  ASSERT_TRUE(initFltRecord(rec, 1, 56));
  writeLE32(rec.Params.data(), 0x808080);
  writeLE32(rec.Params.data() + 4, 50);
  rec.Extra = lamps.data();
  for (const uint32_t beyond : {0x00FFFFFFu, 0xFF20C040u}) {
    FilterFixture fresh(13, 11), grown(13, 11);
    for (FilterFixture* f : {&fresh, &grown})
      f->setPixels([](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 19 + y * 7); });
    grown.growWork(24, 18, beyond);
    const SFlt4Context a = fresh.context(), b = grown.context();
    ASSERT_TRUE(legacyLighting4Kernel(&a, &rec, int32_t(SFltRecord::kWireSize)));
    ASSERT_TRUE(legacyLighting4Kernel(&b, &rec, int32_t(SFltRecord::kWireSize)));
    EXPECT_TRUE(fresh.sameLayer(grown)) << std::hex << beyond << " beyond the image";
  }
}

}  // namespace
}  // namespace pg
