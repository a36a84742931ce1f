// The value-and-slider filter dialogs: records from the controls, the
// cross-control rules, remembered values.
#include <gtest/gtest.h>

#include "filters/cloud_filters.h"
#include "filters/filter_dialog_model.h"
#include "filters/filter_params.h"
#include "filters/gradient_map_filter.h"
#include "filters/filter_table.h"
#include "filters/record_bytes.h"
#include "platform/string_table.h"

namespace pg {
namespace {

struct MemoryReset {
  MemoryReset() { resetFilterDialogMemory(); }
  ~MemoryReset() { resetFilterDialogMemory(); }
};

const SFilterDialogDef& def(const char* command) {
  const SFilterDialogDef* d = filterDialogFor(command);
  EXPECT_NE(d, nullptr) << command;
  return *d;
}

TEST(FilterDialogModel, EveryDialogMatchesItsFilterAndMakesARecordOfItsSize) {
  MemoryReset reset;
  for (const SFilterDialogDef& d : filterDialogTable()) {
    const SFilterEntry* e = filterByCommand(d.command);
    ASSERT_NE(e, nullptr) << d.command;
    ASSERT_NE(e->kernel, nullptr) << d.command;
    CFilterDialogModel m(d, 0, 1);
    // A record filter keeps its 32 parameter bytes and its extra block.
    if (e->bytes == 50 && e->op == 54) {
      // The gradient map's bytes are its reverse flag; the stops travel apart.
      EXPECT_EQ(m.record().size(), kGradientMapCommandBytes) << d.command;
    } else if (e->bytes == 50) {
      SFltRecord r;
      EXPECT_TRUE(fltRecordFromBytes(m.record(), r)) << d.command;
    } else if (e->bytes == 87) {
      // The floor's bytes are its 63-byte record; the textures travel apart.
      EXPECT_EQ(m.record().size(), SFltFloor::kSize) << d.command;
    } else {
      EXPECT_EQ(m.record().size(), e->bytes) << d.command;
    }
    EXPECT_EQ(m.valueCount(), d.values.size());
  }
}

// Every text a dialog row names is in the string table, so no control
// shows an empty or missing label.
TEST(FilterDialogModel, EveryTextTheDialogsNameExists) {
  for (const SFilterDialogDef& d : filterDialogTable()) {
    std::vector<uint32_t> ids = {d.caption};
    for (const SFilterValueDef& v : d.values) ids.push_back(v.label);
    for (const SFilterCheckDef& c : d.checks) ids.push_back(c.label);
    for (const SFilterColourDef& c : d.colours) ids.push_back(c.label);
    for (uint32_t id : d.choiceItems) ids.push_back(id);
    for (uint32_t id : {d.choiceLabel, d.listLabel, d.defaultsCaption, d.pickerLabel})
      if (id != 0) ids.push_back(id);
    // 0: a control without a label (the fields of a weight grid).
    for (uint32_t id : ids) {
      if (id != 0) {
        EXPECT_TRUE(hasResString(id)) << d.command << " text " << id;
      }
    }
  }
  for (uint32_t id : kTxFloorTextureButtons) EXPECT_TRUE(hasResString(id)) << id;
  EXPECT_TRUE(hasResString(kTxFloorTexture));
  EXPECT_TRUE(hasResString(kTxFloorTextureUnreadable));
}

TEST(FilterDialogModel, RecordsFromTheDefaults) {
  MemoryReset reset;
  struct Case {
    const char* command;
    uint8_t protect;
    std::vector<uint8_t> bytes;
  };
  const float one = 1.0f;
  const uint32_t oneBits = std::bit_cast<uint32_t>(one);
  const uint8_t o0 = uint8_t(oneBits), o1 = uint8_t(oneBits >> 8), o2 = uint8_t(oneBits >> 16),
                o3 = uint8_t(oneBits >> 24);
  const Case cases[] = {
      {"filterGaussianBlur", 0, {o0, o1, o2, o3, 0, 0, 0, 0}},
      {"filterMedian", 1, {8, 1, 0, 0, 0, 0, 0, 0}},
      {"filterMosaic", 1, {16, 0, 0, 0, 1, 0, 0, 0}},
      {"filterPosterize", 0, {4, 0, 0, 0, 0, 0, 0, 0}},
      {"filterThreshold", 0, {128, 1, 0, 0, 0, 0, 0, 0}},
      {"filterTwirl", 0, {50, 0, 1, 0, 0, 0, 0, 0}},
      {"filterPolarCoordinates", 1, {0, 1, 0, 0, 0, 0, 0, 0}},
      {"filterBrightnessContrast", 0, std::vector<uint8_t>(16, 0)},
  };
  for (const Case& c : cases) {
    CFilterDialogModel m(def(c.command), c.protect, 0);
    EXPECT_EQ(m.record(), c.bytes) << c.command;
  }
}

TEST(FilterDialogModel, ValuesRoundHalfAwayAndAnglesGoInAsTheKernelsTakeThem) {
  MemoryReset reset;
  {
    CFilterDialogModel m(def("filterEmboss"), 0, 0);
    m.num(0).setValue(-30.5f);
    m.num(2).setValue(150.5f);
    const std::vector<uint8_t> r = m.record();
    EXPECT_EQ(readRecI32(r.data()), 31);  // shown -30.5 -> -31, negated
    EXPECT_FLOAT_EQ(readRecF32(r.data() + 4), 3.0f);
    EXPECT_EQ(readRecI32(r.data() + 8), 151);
  }
  {
    CFilterDialogModel m(def("filterRotate"), 1, 0);
    m.num(0).setValue(270.0f);  // wraps to -90
    const std::vector<uint8_t> r = m.record();
    EXPECT_FLOAT_EQ(readRecF32(r.data()), 90.0f);
    EXPECT_EQ(r[4], 1);
    EXPECT_EQ(r[5], 1);
  }
  {
    CFilterDialogModel m(def("filterWave"), 0, 0);
    m.num(4).setValue(90.0f);
    EXPECT_NEAR(readRecF32(m.record().data() + 4), 1.5707963f, 1e-6f);
  }
  {
    CFilterDialogModel m(def("filterMotionBlur"), 0, 0);
    m.num(0).setValue(-45.5f);
    m.num(1).setValue(12.0f);
    const std::vector<uint8_t> r = m.record();
    EXPECT_EQ(r[0], 12);
    EXPECT_EQ(r[1], 2);
    EXPECT_EQ(readRecI16(r.data() + 2), -46);
  }
  {
    CFilterDialogModel m(def("filterNoise"), 0, 0xA1B2C3D4u);
    m.setCheck(0, true);
    const std::vector<uint8_t> r = m.record();
    EXPECT_EQ(readRecI32(r.data() + 4), 1);
    EXPECT_EQ(readLE32(r.data() + 8), 0xA1B2C3D4u);
  }
}

TEST(FilterDialogModel, AValueAndItsSliderFollowEachOtherAndAskForALaterPreview) {
  MemoryReset reset;
  CFilterDialogModel m(def("filterMedian"), 0, 0);
  m.num(0).setValue(100.0f);
  EXPECT_EQ(m.controlChanged(kSenderValue), EPreviewRequest::Later);
  EXPECT_FLOAT_EQ(m.slider(0), 1.0f);
  m.setSlider(0, 0.0f);
  EXPECT_EQ(m.controlChanged(kSenderSlider), EPreviewRequest::Later);
  EXPECT_FLOAT_EQ(m.value(0), 1.0f);
  EXPECT_EQ(m.controlChanged(999), EPreviewRequest::None);
}

TEST(FilterDialogModel, DefaultsAndResetButtons) {
  MemoryReset reset;
  CFilterDialogModel b(def("filterBrightnessContrast"), 0, 0);
  b.num(0).setValue(40.0f);
  b.setCheck(0, true);
  EXPECT_EQ(b.controlChanged(kSenderCheck), EPreviewRequest::Now);
  EXPECT_EQ(b.controlChanged(kSenderDefaults), EPreviewRequest::Now);
  EXPECT_FLOAT_EQ(b.value(0), 0.0f);
  EXPECT_FALSE(b.check(0));
  EXPECT_FLOAT_EQ(b.slider(0), 0.5f);
  CFilterDialogModel r(def("filterRotate"), 0, 0);
  r.num(0).setValue(33.0f);
  EXPECT_EQ(r.controlChanged(kSenderReset), EPreviewRequest::Now);
  EXPECT_FLOAT_EQ(r.value(0), 0.0f);
}

TEST(FilterDialogModel, MonotoneAllowsNoNegativeSaturation) {
  MemoryReset reset;
  CFilterDialogModel m(def("filterHueSaturation"), 0, 0);
  m.num(1).setValue(-60.0f);
  (void)m.controlChanged(kSenderValue + 1);
  m.setCheck(0, true);
  (void)m.controlChanged(kSenderCheck);
  EXPECT_FLOAT_EQ(m.num(1).valueMin(), 0.0f);
  EXPECT_GE(m.value(1), 0.0f);
  (void)m.controlChanged(kSenderDefaults);
  EXPECT_FALSE(m.check(0));
  EXPECT_FLOAT_EQ(m.num(1).valueMin(), -100.0f);
  EXPECT_FLOAT_EQ(m.value(1), 0.0f);
}

TEST(FilterDialogModel, CoupledGammasMoveTogether) {
  MemoryReset reset;
  CFilterDialogModel m(def("filterColorBalance"), 0, 0);
  m.num(1).setValue(1.5f);
  (void)m.controlChanged(kSenderValue + 1);
  EXPECT_FLOAT_EQ(m.value(0), 1.0f);  // not coupled yet
  m.setCheck(0, true);
  m.num(1).setValue(1.8f);
  (void)m.controlChanged(kSenderValue + 1);
  EXPECT_FLOAT_EQ(m.value(0), 1.8f);
  EXPECT_FLOAT_EQ(m.value(2), 1.8f);
  m.setSlider(2, 0.0f);
  (void)m.controlChanged(kSenderSlider + 2);
  EXPECT_FLOAT_EQ(m.value(0), 0.5f);
  EXPECT_FLOAT_EQ(m.slider(1), 0.0f);
}

TEST(FilterDialogModel, RememberedValuesOpenTheNextDialogUnlessItOpensAtDefaults) {
  MemoryReset reset;
  {
    const SFilterDialogDef& d = def("filterMosaic");
    CFilterDialogModel m(d, 0, 0);
    m.num(0).setValue(40.0f);
    remember(d, SFilterRemembered{m.values(), false});
    CFilterDialogModel again(d, 0, 0);
    EXPECT_FLOAT_EQ(again.value(0), 40.0f);
    EXPECT_FALSE(rememberedFor(d).preview);
  }
  {
    const SFilterDialogDef& d = def("filterSharpenCustom");
    CFilterDialogModel m(d, 0, 0);
    m.num(0).setValue(0.9f);
    remember(d, SFilterRemembered{m.values(), true});
    CFilterDialogModel again(d, 0, 0);
    EXPECT_FLOAT_EQ(again.value(0), 0.3f);
  }
  EXPECT_FALSE(rememberedFor(def("filterMotionBlur")).preview);
  EXPECT_TRUE(rememberedFor(def("filterGaussianBlur")).preview);
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

TEST(FilterDialogModel, ScaleKeepsPixelsPerCentAndTheAspectTogether) {
  MemoryReset reset;
  SFilterOpenInfo info;
  info.areaWidth = 200;
  info.areaHeight = 100;
  CFilterDialogModel m(def("filterScale"), 0, 0, info);
  EXPECT_FLOAT_EQ(m.value(0), 200.0f);
  EXPECT_FLOAT_EQ(m.num(0).valueMax(), 3200.0f);
  EXPECT_FLOAT_EQ(m.num(1).valueMax(), 1600.0f);
  // Width in pixels: the per cent and, with the aspect kept, the height follow.
  m.num(0).setValue(300.0f);
  EXPECT_EQ(m.controlChanged(kSenderValue + 0), EPreviewRequest::Later);
  EXPECT_FLOAT_EQ(m.value(1), 150.0f);
  EXPECT_FLOAT_EQ(m.value(2), 150.0f);
  EXPECT_FLOAT_EQ(m.value(3), 150.0f);
  // Without the aspect only the height's own pair moves.
  m.setCheck(0, false);
  m.num(3).setValue(50.0f);
  (void)m.controlChanged(kSenderValue + 3);
  EXPECT_FLOAT_EQ(m.value(2), 50.0f);
  EXPECT_FLOAT_EQ(m.value(0), 300.0f);
  m.setCheck(1, true);
  std::vector<uint8_t> r = m.record();
  EXPECT_EQ(readRecI32(r.data()), -300);
  EXPECT_EQ(readRecI32(r.data() + 4), 50);
  // Reset: the area's size, the aspect kept, no mirror.
  EXPECT_EQ(m.controlChanged(kSenderReset), EPreviewRequest::Now);
  EXPECT_FLOAT_EQ(m.value(0), 200.0f);
  EXPECT_FLOAT_EQ(m.value(2), 100.0f);
  EXPECT_TRUE(m.check(0));
  EXPECT_FALSE(m.check(1));
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

TEST(FilterDialogModel, TheCustomGridIsTheRecordsExtraBlock) {
  MemoryReset reset;
  CFilterDialogModel m(def("filterCustom5x5"), 0, 0);
  m.num(0).setValue(-2.5f);
  m.num(26).setValue(7.0f);
  const std::vector<uint8_t> bytes = m.record();
  SFltRecord r;
  ASSERT_TRUE(fltRecordFromBytes(bytes, r));
  EXPECT_EQ(r.Total, 108);
  EXPECT_EQ(r.Count, 1);
  EXPECT_EQ(r.Size, 108);
  const SCustom5x5Block b = SCustom5x5Block::read(r.Extra);
  EXPECT_EQ(b.Weights[0], -3);  // half away from zero
  EXPECT_EQ(b.Weights[12], 4);
  EXPECT_EQ(b.Weights[7], -3);
  EXPECT_EQ(b.Divisor, 4);
  EXPECT_EQ(b.Offset, 7);
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

TEST(FilterDialogModel, PlasmaRecord) {
  MemoryReset reset;
  CFilterDialogModel m(def("filterPlasma"), 0, 0x01020304u);
  m.setChoice(1);
  m.setListIndex(16);
  m.num(0).setValue(150.0f);
  m.num(1).setValue(50.0f);
  EXPECT_EQ(m.controlChanged(kSenderList), EPreviewRequest::Later);
  const std::vector<uint8_t> r = m.record();
  EXPECT_EQ(readLE32(r.data()), 0x01020304u);
  EXPECT_EQ(r[4], 1);
  EXPECT_EQ(readLE16(r.data() + 6), 384);
  EXPECT_EQ(r[8], 16);
  EXPECT_EQ(r[9], 128);  // 50 % of 255, half away from zero
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

TEST(FilterDialogModel, CloudsAndRockKeepAContrastEachAndTileTheLayerWithoutWrap) {
  MemoryReset reset;
  SFilterOpenInfo info;
  info.width = 300;
  info.height = 200;
  info.foreground = 0xFF112233u;
  info.background = 0xFF445566u;
  CFilterDialogModel m(def("filterCloudsRock"), 0, 9, info);
  EXPECT_FALSE(m.valueEnabled(1));  // softness is the rock's
  m.num(0).setValue(300.0f);
  m.setChoice(1);
  (void)m.controlChanged(kSenderChoice);
  EXPECT_TRUE(m.valueEnabled(1));
  EXPECT_FLOAT_EQ(m.value(0), 100.0f);
  m.num(0).setValue(40.0f);
  m.setChoice(0);
  (void)m.controlChanged(kSenderChoice);
  EXPECT_FLOAT_EQ(m.value(0), 300.0f);
  m.setCheck(0, false);
  (void)m.controlChanged(kSenderCheck);
  EXPECT_FALSE(m.valueEnabled(2));
  SFltCloudsRock r;
  const std::vector<uint8_t> bytes = m.record();
  ASSERT_TRUE(readCloudsRockRecord(bytes.data(), int32_t(bytes.size()), r));
  EXPECT_EQ(r.tileWidth, 300);
  EXPECT_EQ(r.tileHeight, 200);
  EXPECT_EQ(r.softness, 0);
  EXPECT_EQ(r.colour1, 0xFF112233u);
  EXPECT_EQ(r.colour2, 0xFF445566u);
  EXPECT_EQ(r.seed, 9u);
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

// The floor dialog's record: controls as the kernel takes them, the fog
// colour cell only for colour fog, and never both planes off.
TEST(FilterDialogModel, FloorControlsAndTheirRules) {
  resetFilterDialogMemory();
  CFilterDialogModel m(*filterDialogFor("filterFloor"), 0, 1);
  SFltFloor f = SFltFloor::read(m.record().data());
  EXPECT_EQ(f.XPosition, 50);
  EXPECT_FLOAT_EQ(f.EyeDistance, 50.0f);
  EXPECT_EQ(f.ProjectionDistance, 100);
  EXPECT_EQ(f.FogDistance, 50);
  EXPECT_EQ(f.PlanesShown, 3);
  EXPECT_EQ(f.Sampler, 2);
  EXPECT_TRUE(m.colourEnabled(0));
  m.num(0).setValue(-20.0f);  // X
  m.num(1).setValue(60.0f);   // Y
  m.num(6).setValue(120.0f);  // ceiling height
  m.setChoice(1);
  (void)m.controlChanged(kSenderChoice);
  EXPECT_FALSE(m.colourEnabled(0));
  m.setCheck(2, false);
  (void)m.controlChanged(kSenderCheck + 2);
  m.setCheck(3, false);
  (void)m.controlChanged(kSenderCheck + 3);
  EXPECT_TRUE(m.check(3));
  f = SFltFloor::read(m.record().data());
  EXPECT_EQ(f.XPosition, 30);
  EXPECT_FLOAT_EQ(f.EyeDistance, 96.0f);
  EXPECT_EQ(f.FogKind, 1);
  EXPECT_EQ(f.PlanesShown, 2);
  // X wraps within one texture period.
  m.num(0).setValue(60.0f);
  EXPECT_FLOAT_EQ(m.value(0), -40.0f);
  resetFilterDialogMemory();
}

}  // namespace
}  // namespace pg
