#include <gtest/gtest.h>

#include <cmath>

#include "brush/paint_param.h"
#include "platform/settings_store.h"
#include "toolwin/colour_panel_model.h"
#include "toolwin/navigator_model.h"
#include "toolwin/option_fields.h"
#include "toolwin/pen_settings.h"
#include "toolwin/doc_window_fixture.h"

namespace pg {
namespace {

constexpr std::string_view kRoot = "Software\\Harbelle\\Pigmora4";

// ---- pen settings ----

TEST(PenSettings, AnEmptyStoreGivesEveryToolItsDefaults) {
  CSettingsStore store;
  CPenSettingTable table;
  table.record(0, 1)->WIDTH = 77.0f;
  ASSERT_TRUE(table.readPenSettings(store, kRoot));
  CPenSettingTable fresh;
  for (int32_t row = 0; row < kPenSettingKinds; ++row)
    for (int32_t n = 1; n <= kPenSettingVariants; ++n) {
      EXPECT_EQ(table.record(row, n)->WIDTH, fresh.record(row, n)->WIDTH);
      EXPECT_EQ(table.record(row, n)->opaque, fresh.record(row, n)->opaque);
      EXPECT_EQ(table.record(row, n)->airMap, fresh.record(row, n)->airMap);
    }
  EXPECT_EQ(table.record(8, 1), nullptr);
  EXPECT_EQ(table.record(0, 0), nullptr);
  EXPECT_EQ(table.record(0, 6), nullptr);
}

TEST(PenSettings, FortyRecordsRoundTripThroughTheStore) {
  CSettingsStore store;
  CPenSettingTable table;
  for (int32_t row = 0; row < kPenSettingKinds; ++row)
    for (int32_t n = 1; n <= kPenSettingVariants; ++n) {
      SPenSetting& r = *table.record(row, n);
      r.WIDTH = static_cast<float>(row * 10 + n);
      r.MIN = static_cast<float>(n * 5);
      r.opaque = 0.5f;
      r.penSpacing = 0.25f;
      r.ifSIZE = 1;
      r.airMap = n;
    }
  ASSERT_TRUE(table.writePenSettings(store, kRoot));
  // Variants are numbered from 1 in the key names.
  EXPECT_TRUE(store.keyExists("Software\\Harbelle\\Pigmora4\\penSetting\\" +
                              std::string(strokeToolName(penSettingIndexOf(0))) + "1"));
  CPenSettingTable back;
  ASSERT_TRUE(back.readPenSettings(store, kRoot));
  for (int32_t row = 0; row < kPenSettingKinds; ++row)
    for (int32_t n = 1; n <= kPenSettingVariants; ++n) {
      const SPenSetting& a = *table.record(row, n);
      const SPenSetting& b = *back.record(row, n);
      EXPECT_EQ(b.WIDTH, a.WIDTH);
      EXPECT_EQ(b.MIN, a.MIN);
      EXPECT_EQ(b.opaque, a.opaque);
      EXPECT_EQ(b.penSpacing, a.penSpacing);
      EXPECT_EQ(b.ifSIZE, a.ifSIZE);
      EXPECT_EQ(b.airMap, a.airMap);
    }
}

TEST(PenSettings, AnIncompleteKeyLeavesTheDefaultsWhole) {
  CSettingsStore store;
  CPenSettingTable table;
  table.record(0, 2)->WIDTH = 50.0f;
  table.record(0, 2)->opaque = 0.3f;
  ASSERT_TRUE(table.writePenSettings(store, kRoot));
  std::string key = "Software\\Harbelle\\Pigmora4\\penSetting\\" + std::string(strokeToolName(penSettingIndexOf(0))) + "2";
  ASSERT_TRUE(store.deleteValue(key, "airMap"));
  CPenSettingTable back;
  ASSERT_TRUE(back.readPenSettings(store, kRoot));
  CPenSettingTable fresh;
  EXPECT_EQ(back.record(0, 2)->WIDTH, fresh.record(0, 2)->WIDTH);
  EXPECT_EQ(back.record(0, 2)->opaque, fresh.record(0, 2)->opaque);
}

// ---- navigator ----

TEST(NavigatorMapping, ZoomSliderPutsTheEndsAndOneWhereExpected) {
  struct Case {
    double zoom, position;
  } cases[] = {{1.0 / 16, 0.0}, {1.0, 0.5}, {16.0, 1.0}, {40.0, 1.0}};
  for (const Case& c : cases) {
    EXPECT_NEAR(zoomSliderOfZoom(c.zoom), c.position, 1e-12) << c.zoom;
    if (c.zoom <= 16.0) {
      EXPECT_NEAR(zoomOfZoomSlider(c.position, false), c.zoom, 1e-12);
    }
  }
  for (double p = 0.0; p <= 1.0; p += 0.125) EXPECT_NEAR(zoomSliderOfZoom(zoomOfZoomSlider(p, false)), p, 1e-12);
  // Snapping goes to the nearer preset step.
  EXPECT_DOUBLE_EQ(zoomOfZoomSlider(zoomSliderOfZoom(1.1), true), 1.0);
  EXPECT_DOUBLE_EQ(zoomOfZoomSlider(zoomSliderOfZoom(1.4), true), 1.5);
  EXPECT_DOUBLE_EQ(snapRotationSlider(0.52), 12.0 / 24.0);
}

TEST(NavigatorMapping, ZoomButtonsStepToTheNeighbouringPresets) {
  EXPECT_DOUBLE_EQ(zoomPercentStepUp(100.0), 150.0);
  EXPECT_DOUBLE_EQ(zoomPercentStepDown(100.0), 100.0 * 2 / 3);
  EXPECT_DOUBLE_EQ(zoomPercentStepUp(1600.0), 1600.0);
  EXPECT_DOUBLE_EQ(zoomPercentStepDown(6.25), 6.25);
}

TEST(Navigator, PanelAndWindowDriveEachOther) {
  test::DocWindowFixture f(400, 300, {300, 200});
  CNavigatorModel nav;
  int shows = 0;
  nav.OnShow = [&] { ++shows; };
  nav.bind(f.window.get());
  // A zoom of 20 is clamped: 1600 % in the panel and 16 in the window.
  nav.scaleFieldChanged(2000.0);
  EXPECT_DOUBLE_EQ(nav.scalePercent(), 1600.0);
  EXPECT_FLOAT_EQ(f.doc().zoomValue(), 16.0f);
  nav.scaleFieldChanged(50.0);
  EXPECT_FLOAT_EQ(f.doc().zoomValue(), 0.5f);
  // Turning the window by +30 degrees shows -30; typing 30 turns it by -30.
  f.window->setViewRotation(true, 30.0f);
  nav.windowViewChanged();
  EXPECT_NEAR(nav.rotationDegrees(), -30.0, 1e-4);
  nav.rotationFieldChanged(30.0);
  EXPECT_NEAR(std::fmod(f.doc().view().angleDeg() + 360.0, 360.0), 330.0, 1e-3);
  EXPECT_NEAR(nav.rotationDegrees(), 30.0, 1e-4);
  // The window's own zoom reaches the panel.
  f.window->setZoomCentred(2, 1);
  nav.windowViewChanged();
  EXPECT_DOUBLE_EQ(nav.scalePercent(), 200.0);
  nav.zoomIn();
  EXPECT_FLOAT_EQ(f.doc().zoomValue(), 3.0f);
  EXPECT_GT(shows, 0);
  // Moving the preview's frame scrolls the window there.
  nav.navSetCentre(NavSender::Preview, 100, 80);
  EXPECT_NEAR(nav.previewCentre().X, 100, 1);
  EXPECT_NEAR(nav.previewCentre().Y, 80, 1);
}

TEST(Info, TheSameColourTwiceIsShownOnce) {
  CInfoModel info;
  int repaints = 0;
  info.OnColorChanged = [&] { ++repaints; };
  EXPECT_TRUE(info.showColor(0xFF102030u));
  EXPECT_FALSE(info.showColor(0xFF102030u));
  EXPECT_EQ(repaints, 1);
  EXPECT_EQ(info.texts().r, "16");
  EXPECT_EQ(info.texts().b, "48");
  info.updateInfo(nullptr, 0, 0, 0);
  EXPECT_FALSE(info.colorValid());
}

TEST(Info, DragModesFillTheirFields) {
  test::DocWindowFixture f;
  CInfoModel info;
  info.updateInfo(f.window.get(), 2, 10.0f, 20.0f);
  EXPECT_EQ(info.texts().selX, "10.0");
  info.updateInfo(f.window.get(), 3, 5.5f, 6.0f);
  EXPECT_EQ(info.texts().selW, "5.5");
  info.updateInfo(f.window.get(), 4, 1.0f, 2.0f);
  EXPECT_EQ(info.texts().opt1Caption, "U");
  EXPECT_EQ(info.texts().opt2, "2.0");
}

// ---- colour ----

TEST(ColourFields, HueWrapsAndChannelsFollowTheSpace) {
  struct Case {
    int32_t in, out;
  } hues[] = {{370, 10}, {-10, 350}, {360, 0}, {0, 0}, {725, 5}};
  for (const Case& c : hues) EXPECT_EQ(wrapHueDegrees(c.in), c.out) << c.in;
  SChannelFields rgb = channelFieldsOf(0xFF336699u, 0);
  EXPECT_EQ(rgb.labels[0], 'R');
  EXPECT_EQ(rgb.values[0], 0x33);
  EXPECT_EQ(rgb.values[2], 0x99);
  SChannelFields hsv = channelFieldsOf(0xFFFF0000u, 3);
  EXPECT_EQ(hsv.labels[2], 'V');
  EXPECT_EQ(hsv.values[0], 0);
  EXPECT_EQ(hsv.values[1], 100);
  EXPECT_EQ(channelFieldsOf(0xFF00FF00u, 6).labels[2], 'L');
  // Back from the fields: hue 370 is hue 10.
  EXPECT_EQ(pixelOfChannelFields(3, 370, 100, 100), pixelOfChannelFields(3, 10, 100, 100));
  EXPECT_EQ(pixelOfChannelFields(0, 255, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(pixelOfChannelFields(3, 120, 100, 100), 0xFF00FF00u);
}

TEST(ColourSampler, EachKindKeepsItsSpace) {
  CColourSampler s;
  s.setKind(CColourSampler::kSlider);
  s.setSpace(6);
  s.setKind(CColourSampler::kArea);
  s.setSpace(4);
  s.setKind(CColourSampler::kSlider);
  EXPECT_EQ(s.space(), 6);
  s.stepSpace();
  EXPECT_EQ(s.space(), 0);
  s.setKind(CColourSampler::kArea);
  s.setSpace(8);
  s.stepSpace();
  EXPECT_EQ(s.space(), 0);
  EXPECT_EQ(s.packed(), 0u);
  s.unpack(0x10003u);
  EXPECT_EQ(s.kind(), CColourSampler::kSlider);
  EXPECT_EQ(s.space(), 3);
}

// ---- tool options ----

TEST(OptionFields, TheMaskDecidesWhatAChangeReaches) {
  TPaintParam p(0);
  p.paramMask = (1u << kFieldOpacity) | (1u << kFieldSize);
  p.opacity = 0.5f;
  EXPECT_FALSE(paramFieldEditable(p, kFieldSpacing));
  float spacing = p.spacing;
  EXPECT_FALSE(applyParamField(p, kFieldSpacing, 80.0));
  EXPECT_EQ(p.spacing, spacing);
  // 50 to 50 is no change.
  EXPECT_FALSE(applyParamField(p, kFieldOpacity, 50.0));
  EXPECT_TRUE(applyParamField(p, kFieldOpacity, 40.0));
  EXPECT_FLOAT_EQ(p.opacity, 0.4f);
  EXPECT_TRUE(applyParamField(p, kFieldSize, 12.0));
  EXPECT_FLOAT_EQ(p.size, 12.0f);
  // A nib image moves the size to the nib scale.
  p.hasNib = 1;
  EXPECT_FALSE(paramFieldEditable(p, kFieldSize));
}

TEST(OptionFields, ScalingsOfTheControls) {
  TPaintParam p(0);
  p.paramMask = ~0u;
  struct Case {
    EParamField field;
    double control;
  } cases[] = {{kFieldSpacing, 25}, {kFieldMinSize, 30}, {kFieldAspect, 20}, {kFieldAngle, 45}, {kFieldHardEdge, 0}};
  for (const Case& c : cases) {
    applyParamField(p, c.field, c.control);
    EXPECT_NEAR(paramFieldControlValue(p, c.field), c.control, 1e-4) << c.field;
  }
  EXPECT_FLOAT_EQ(p.aspect, 0.8f);
  EXPECT_EQ(p.hardEdge, 1);
}

}  // namespace
}  // namespace pg
