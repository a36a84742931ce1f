// Filter > Repeat without the dialog on a layer of another size: the record
// it applies is brought to that layer, is recorded and undoable, and the
// recording replays to the same pixels.
#include <gtest/gtest.h>

#include <functional>

#include "filters/cloud_filters.h"
#include "filters/filter_dialog_model.h"
#include "filters/filter_table.h"
#include "filters/motion_blur_filters.h"
#include "filters/rotate_scale_filter.h"
#include "platform/clock.h"
#include "replay_fixture.h"

namespace pg::test {
namespace {

constexpr uint32_t kNow = 5000;  // the clock, so the seeds are known

struct Case {
  const char* command;
  // What the dialog's OK remembers, and the record it hands over on the
  // 64 x 48 layer.
  std::vector<float> values;
  std::vector<uint8_t> checks;
  std::vector<uint8_t> first;
  // The record the repeat must apply on the 100 x 30 layer.
  std::vector<uint8_t> onSecond;
};

std::vector<uint8_t> scaleRecord(int32_t w, int32_t h) {
  SFltScale r;
  r.NewWidth = w;
  r.NewHeight = h;
  std::vector<uint8_t> b(SFltScale::kSize);
  r.write(b.data());
  return b;
}

std::vector<uint8_t> zoomRecord(int16_t x, int16_t y) {
  SFltZoomBlur r;
  r.centreX = x;
  r.centreY = y;
  r.amount = 30;
  std::vector<uint8_t> b(kZoomBlurRecordSize);
  writeZoomBlurRecord(r, b.data());
  return b;
}

std::vector<uint8_t> rockRecord(uint32_t seed, uint16_t w, uint16_t h) {
  SFltCloudsRock r;
  r.colour1 = 0xFFF0F0F0u;
  r.colour2 = 0xFF202060u;
  r.seed = seed;
  r.tileWidth = w;
  r.tileHeight = h;
  r.contrast = 120;
  r.softness = 0;  // clouds: every pixel shows the noise
  std::vector<uint8_t> b(kCloudsRockRecordSize);
  writeCloudsRockRecord(r, b.data());
  return b;
}

TEST(FilterRepeatReplay, ARepeatOnALayerOfAnotherSizeAppliesTheAdaptedRecordAndReplays) {
  const Case cases[] = {
      // 50 % by 150 %, mirrored left to right: 32 x 72 on the first layer,
      // -50 x 45 on the second.
      {"filterScale", {32.0f, 50.0f, 72.0f, 150.0f}, {0, 1, 0}, scaleRecord(-32, 72), scaleRecord(-50, 45)},
      // The centre (16, -12) of 64 x 48 is (25, -7.5 -> -8) of 100 x 30.
      {"filterRadialBlur", {30.0f, 16.0f, -12.0f}, {}, zoomRecord(16, -12), zoomRecord(25, -8)},
      // Without wrap around the tile is the layer image, and a new seed.
      {"filterCloudsRock", {120.0f, 30.0f, 64.0f, 48.0f}, {0}, rockRecord(77, 64, 48), rockRecord(kNow, 100, 30)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    ManualClock clock(kNow);
    Clock* const previous = setClock(&clock);
    resetFilterRepeat();
    resetFilterDialogMemory();
    ReplayFixture f;
    TPaper& d = *f.x.doc;
    std::vector<std::string> expected{picture(d)};
    auto keep = [&] { expected.push_back(picture(d)); };
    f.paint(ReplayFixture::line(5, 5, 50, 40, 30));
    keep();
    // The dialog's OK on the first layer.
    SFilterRemembered ok;
    ok.values.values = c.values;
    ok.values.checks = c.checks;
    remember(*filterDialogFor(c.command), ok);
    const SFilterEntry& entry = *filterByCommand(c.command);
    const FilterDialog dialog = [&](const SFilterEntry&, CFlt4Core&, std::vector<uint8_t>& out) {
      out = c.first;
      return true;
    };
    ASSERT_EQ(filterCommand(d, *f.x.flow, d.currentLayerIndex(), entry, false, dialog), FilterResult::Done);
    keep();
    // A second layer of another size, with something on it.
    ASSERT_TRUE(d.newLayerEx(f.x.flow.get(), 1, true, 255, 0, 30, 100, true));
    keep();
    ASSERT_EQ(d.currentLayerIndex(), 1);
    f.tool.setColor(0x0030C060u);
    f.paint(ReplayFixture::line(2, 3, 95, 27, 40, 1.0f, 1.0f));
    keep();
    const std::string beforeRepeat = picture(d);
    const uint32_t events = f.x.store().committedCount();
    ASSERT_EQ(repeatLastFilter(d, *f.x.flow, 1, true, {}), FilterResult::Done);
    EXPECT_EQ(f.x.store().committedCount(), events + 1);
    const std::string repeated = picture(d);
    EXPECT_NE(repeated, beforeRepeat);
    keep();
    // Replayed event by event, the same pixels.
    ASSERT_NO_FATAL_FAILURE(f.replayEachAgainst(expected));
    // Undone, the layer is as before; the hand-made record gives the
    // repeat's pixels.
    int32_t layer = 0;
    TRect changed{};
    ASSERT_TRUE(d.undo(*f.x.flow, layer, changed));
    EXPECT_EQ(picture(d), beforeRepeat);
    ASSERT_EQ(runFilter(d, *f.x.flow, 1, entry, c.onSecond.data(), uint32_t(c.onSecond.size()), nullptr, false),
              FilterResult::Done);
    EXPECT_EQ(picture(d), repeated);
    resetFilterRepeat();
    resetFilterDialogMemory();
    setClock(previous);
  }
}

}  // namespace
}  // namespace pg::test
