// The floor filter: the room's geometry (horizon, planes, texture period),
// fog, the write operators, records that only a recording can hold, and
// golden pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "filter_fixture.h"
#include "filters/floor_filter.h"

namespace pg {
namespace {

using testing::FilterFixture;

// A checker of 8-pixel squares in two colours with a colour ramp: the
// texture shows where it lands.
void paintChecker(FilterFixture& f) {
  f.setPixels([](int32_t x, int32_t y) {
    const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
    return 0xFF000000u | ((dark ? 0x202060u : 0xE0C040u) ^ (uint32_t(x * 3) << 16));
  });
}

struct FloorRun {
  SFltFloorW rec;
  std::unique_ptr<TMTC> texture;

  explicit FloorRun(const FilterFixture& f, const SFltFloor& floor = floorDesignValues()) {
    texture = floorAreaTexture(f.work, TRect{0, 0, f.width(), f.height()});
    initFltFloorW(rec);
    rec.Floor = floor;
    rec.Floor.CeilingTexWidth = rec.Floor.FloorTexWidth = uint16_t(f.width());
    rec.Floor.CeilingTexHeight = rec.Floor.FloorTexHeight = uint16_t(f.height());
    rec.Textures[0].Image = texture.get();
    rec.Textures[1].Image = texture.get();
  }
  bool run(FilterFixture& f, int32_t size = kFloorRecordSize) {
    const SFlt4Context ctx = f.context();
    return floorKernel(&ctx, &rec, size);
  }
};

bool rowChanged(const FilterFixture& f, int32_t y) {
  for (int32_t x = 0; x < f.width(); ++x)
    if (f.pixel(x, y) != f.original(x, y)) return true;
  return false;
}

TEST(FloorFilter, RefusesWithoutARecordOrATexture) {
  FilterFixture f(16, 16);
  paintChecker(f);
  FloorRun r(f);
  EXPECT_FALSE(r.run(f, 63));
  r.rec.Textures[0].Image = nullptr;
  r.rec.Textures[1].Image = nullptr;
  EXPECT_FALSE(r.run(f));
  TMTC empty;
  r.rec.Textures[0].Image = &empty;
  EXPECT_FALSE(r.run(f));
  EXPECT_TRUE(f.unchanged());
}

// Pitch 0 puts the horizon at the vertical centre: with colour fog a plane
// that is off leaves its rows alone, so each plane shows on its own side.
TEST(FloorFilter, EachPlaneFillsItsSideOfTheHorizon) {
  struct Case {
    const char* name;
    uint8_t planes;
    bool top, bottom;
  };
  const Case cases[] = {{"ceiling only", 1, true, false}, {"floor only", 2, false, true}, {"both", 3, true, true}};
  for (const Case& c : cases) {
    FilterFixture f(32, 32);
    paintChecker(f);
    SFltFloor floor = floorDesignValues();
    floor.PlanesShown = c.planes;
    FloorRun r(f, floor);
    ASSERT_TRUE(r.run(f)) << c.name;
    for (int32_t y = 0; y < 32; ++y) {
      if (y == 15 || y == 16) continue;  // the rows next to the horizon
      EXPECT_EQ(rowChanged(f, y), y < 16 ? c.top : c.bottom) << c.name << " row " << y;
    }
  }
}

// A record with both planes off, possible only from a recording, still
// clears untextured rows with transparent fog when replacing the layer.
TEST(FloorFilter, BothPlanesOffClearWithTransparentFog) {
  FilterFixture f(20, 20);
  paintChecker(f);
  SFltFloor floor = floorDesignValues();
  floor.PlanesShown = 0;
  floor.FogKind = 1;
  floor.KeepLayer = 0;
  FloorRun r(f, floor);
  ASSERT_TRUE(r.run(f));
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) ASSERT_EQ(f.pixel(x, y) >> 24, 0u) << x << "," << y;
  // Kept layer: transparent fog over no plane leaves it.
  FilterFixture g(20, 20);
  paintChecker(g);
  floor.KeepLayer = 1;
  FloorRun k(g, floor);
  ASSERT_TRUE(k.run(g));
  EXPECT_TRUE(g.unchanged());
}

// X and Z move the 256-pixel layer texture by one whole period over their
// range: the two ends give the same picture.
TEST(FloorFilter, XAndZMoveOneTexturePeriod) {
  auto picture = [](int32_t x, int32_t z) {
    FilterFixture f(40, 30);
    paintChecker(f);
    SFltFloor floor = floorDesignValues();
    floor.XPosition = x;
    floor.ZPosition = z;
    floor.Pitch = 0.3f;
    FloorRun r(f, floor);
    EXPECT_TRUE(r.run(f));
    return f.hash();
  };
  EXPECT_EQ(picture(0, 50), picture(100, 50));
  EXPECT_EQ(picture(50, 0), picture(50, 100));
  EXPECT_NE(picture(0, 50), picture(30, 50));
}

// Coverage weighs the write, protected alpha stays, unselected pixels stay.
TEST(FloorFilter, SelectionAndProtectedAlpha) {
  FilterFixture f(24, 24);
  f.setPixels([](int32_t x, int32_t y) { return uint32_t(0x40 + x * 8) << 24 | 0x00808080u | uint32_t(y); });
  f.setSelection([](int32_t x, int32_t) { return uint8_t(x < 8 ? 0 : (x < 16 ? 128 : 255)); });
  f.protectAlpha = true;
  FloorRun r(f);
  ASSERT_TRUE(r.run(f));
  bool partlyMoved = false;
  for (int32_t y = 0; y < 24; ++y)
    for (int32_t x = 0; x < 24; ++x) {
      EXPECT_EQ(f.pixel(x, y) >> 24, f.original(x, y) >> 24) << x << "," << y;
      if (x < 8) {
        EXPECT_EQ(f.pixel(x, y), f.original(x, y)) << x << "," << y;
      }
      if (x >= 8 && x < 16 && f.pixel(x, y) != f.original(x, y)) partlyMoved = true;
    }
  EXPECT_TRUE(partlyMoved);
}

// Records only a recording can hold: tiny areas (whose near distance would
// be 0), values that are not numbers, sizes far out of range, textures of
// odd sizes. None may crash or read outside a plane.
TEST(FloorFilter, HostileRecordsStayInBounds) {
  struct Case {
    const char* name;
    int32_t w, h;
    void (*edit)(SFltFloor&);
  };
  const Case cases[] = {
      {"one pixel", 1, 1, [](SFltFloor&) {}},
      {"three pixels wide", 3, 1, [](SFltFloor& fl) { fl.FogDistance = 0; }},
      {"not a number", 16, 16,
       [](SFltFloor& fl) {
         fl.Heading = std::numeric_limits<float>::quiet_NaN();
         fl.EyeDistance = std::numeric_limits<float>::infinity();
         fl.Pitch = std::numeric_limits<float>::quiet_NaN();
       }},
      {"far out of range", 16, 16,
       [](SFltFloor& fl) {
         fl.ProjectionDistance = std::numeric_limits<int32_t>::max();
         fl.CeilingHeight = std::numeric_limits<int32_t>::min();
         fl.XPosition = std::numeric_limits<int32_t>::min();
         fl.ZPosition = std::numeric_limits<int32_t>::max();
         fl.FogOpacity = -5;
         fl.FogDistance = 255;
         fl.CeilingTexWidth = 0;
         fl.FloorTexHeight = 1;
       }},
      {"steep pitch", 16, 16, [](SFltFloor& fl) { fl.Pitch = 1.5707964f; }},
  };
  for (const Case& c : cases) {
    FilterFixture f(c.w, c.h);
    paintChecker(f);
    SFltFloor floor = floorDesignValues();
    c.edit(floor);
    FloorRun r(f, floor);
    TMTC odd(7, 3);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 7; ++x) *odd.pixelAt(x, y) = 0xFF000000u | uint32_t(x * 30 + y);
    r.rec.Textures[1].Image = &odd;
    EXPECT_TRUE(r.run(f)) << c.name;
  }
}

// Pictures of the checker seen as a room, made once by this kernel, looked
// at, and kept as hashes. PIGMORA_GOLDEN_DUMP=<folder> writes them.
TEST(FloorFilter, GoldenPictures) {
  struct Case {
    const char* name;
    void (*edit)(SFltFloor&);
    uint64_t hash;
  };
  const Case cases[] = {
      {"straight", [](SFltFloor&) {}, 1959263771069591741ull},
      {"turned and tilted",
       [](SFltFloor& fl) {
         SFloorControls c;
         c.heading = 30;
         c.pitch = 20;
         c.y = 40;
         c.x = 10;
         floorApplyControls(c, fl);
       },
       16983050270296270433ull},
      {"white fog near",
       [](SFltFloor& fl) {
         fl.FogColour = 0xFFFFFF;
         fl.FogDistance = 0;
         fl.FogOpacity = 60;
       },
       14282682946774806915ull},
      {"transparent fog replacing",
       [](SFltFloor& fl) {
         fl.FogKind = 1;
         fl.KeepLayer = 0;
         fl.FogOpacity = 0;
         fl.FogDistance = 20;
       },
       15422700273560852993ull},
  };
  for (const Case& c : cases) {
    FilterFixture f(64, 48);
    paintChecker(f);
    SFltFloor floor = floorDesignValues();
    c.edit(floor);
    FloorRun r(f, floor);
    ASSERT_TRUE(r.run(f)) << c.name;
    f.dumpIfAsked(std::string("floor_") + c.name);
    EXPECT_EQ(f.hash(), c.hash) << c.name;
  }
}

TEST(FloorFilter, ControlsAndRecordAgree) {
  SFloorControls c;
  c.x = -20;
  c.y = 60;
  c.z = 35;
  c.heading = -90;
  c.pitch = 45;
  c.projection = 250;
  c.ceiling = 120;
  SFltFloor f = floorDesignValues();
  floorApplyControls(c, f);
  EXPECT_EQ(f.XPosition, 30);
  EXPECT_EQ(f.ZPosition, 85);
  EXPECT_FLOAT_EQ(f.EyeDistance, 96.0f);  // (60 + 100) * 120 / 200
  EXPECT_NEAR(f.Heading, -std::numbers::pi / 2, 1e-6);
  const SFloorControls back = floorControlsOf(f);
  EXPECT_EQ(back.x, c.x);
  EXPECT_EQ(back.y, c.y);
  EXPECT_EQ(back.z, c.z);
  EXPECT_NEAR(back.heading, c.heading, 1e-4);
  EXPECT_NEAR(back.pitch, c.pitch, 1e-4);
}

}  // namespace
}  // namespace pg
