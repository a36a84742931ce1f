#pragma once
// Shared pieces of the plot and dab tests: a fixture with a fresh plot state,
// a document fake, a recorder of plot calls.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "brush/plot_callbacks.h"
#include "brush/plot_merge.h"
#include "brush/plot_state.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/blend_rows.h"
#include "core/planes.h"

namespace pg::test {

// Every test paints through a plot state of its own.
class PlotFixture : public ::testing::Test {
 protected:
  SPlotState state;
  SPlotter& plot = state.plotter;
};

// Runs body once at every level of the row kernels (those above what the
// processor runs fall to the best it has), so each is compared with the
// reference.
template <class Body>
void forEachKernelLevel(Body&& body) {
  for (int level = 0; level <= kRowKernelTopLevel; ++level) {
    SCOPED_TRACE("kernel level " + std::to_string(level));
    const int old = setRowKernelLevel(level);
    body();
    setRowKernelLevel(old);
  }
}

// A document with an optional selection image and a few switches.
class FakePlotDocument : public IPlotDocument {
 public:
  const CBlockVCH* selectionImage(TPoint& maskOffset) const override {
    maskOffset = maskOff;
    return selectionOn ? mask : nullptr;
  }
  TPoint currentLayerOffset() const override { return layerOff; }
  SSize currentLayerSize() const override { return layerSize; }
  bool hasLayers() const override { return layers; }
  bool currentLayerProtectsAlpha() const override { return protectAlpha; }
  bool isReplaying() const override { return replaying; }
  bool isStandardMode() const override { return standard; }
  const CToneMngr* toneManager() const override { return tone; }
  const CGradation* gradient() const override { return grad; }
  void setStrokeProc(TStrokeSink sink) override { sinks.push_back(sink); }

  const CBlockVCH* mask = nullptr;
  bool selectionOn = true;
  TPoint maskOff{};
  TPoint layerOff{};
  SSize layerSize{64, 64};
  bool layers = true;
  bool protectAlpha = false;
  bool replaying = false;
  bool standard = true;
  const CToneMngr* tone = nullptr;
  const CGradation* grad = nullptr;
  std::vector<TStrokeSink> sinks;
};

// Plot calls as they arrive (installed as plotProc32 / plotProc8).
struct SPlotCall {
  int32_t x, y;
  uint32_t coverage, colour;
};
inline std::vector<SPlotCall>& recordedCalls() {
  static std::vector<SPlotCall> calls;
  return calls;
}
inline void recordPlot32(const SPlotter&, uint32_t*, int32_t x, int32_t y, uint32_t c, uint32_t colour) {
  recordedCalls().push_back({x, y, c, colour});
}
inline void recordPlot8(const SPlotter&, uint8_t*, int32_t x, int32_t y, uint32_t c, uint32_t value) {
  recordedCalls().push_back({x, y, c, value});
}

// A plane of random pixels (seeded).
inline void fillRandom(TMTC& plane, std::mt19937& rng) {
  for (int32_t y = 0; y < plane.Height; ++y)
    for (int32_t x = 0; x < plane.Width; ++x) *plane.pixelAt(x, y) = static_cast<uint32_t>(rng());
}
inline void fillRandom(TChannel& plane, std::mt19937& rng) {
  for (int32_t y = 0; y < plane.Height; ++y)
    for (int32_t x = 0; x < plane.Width; ++x) *plane.pixelAt(x, y) = static_cast<uint8_t>(rng());
}

// Every pixel of two planes equal; the first difference in the message.
inline ::testing::AssertionResult samePixels(const TMTC& a, const TMTC& b) {
  if (a.Width != b.Width || a.Height != b.Height) return ::testing::AssertionFailure() << "sizes differ";
  for (int32_t y = 0; y < a.Height; ++y)
    for (int32_t x = 0; x < a.Width; ++x)
      if (a.getPixel(x, y) != b.getPixel(x, y))
        return ::testing::AssertionFailure() << "(" << x << ", " << y << "): " << std::hex << a.getPixel(x, y)
                                             << " vs " << b.getPixel(x, y);
  return ::testing::AssertionSuccess();
}

// A mask image with a random mix of uniform and committed tiles.
inline std::unique_ptr<CBlockVCH> randomMask(int32_t w, int32_t h, std::mt19937& rng) {
  auto mask = std::make_unique<CBlockVCH>(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      if ((x >> 6) % 2 == 0 || (y >> 6) % 2 == 0) {
        EXPECT_TRUE(mask->setPixel(x, y, static_cast<uint8_t>(rng())));
      }
  if (STileRec* t = mask->tileAtIndex(1, 1, false)) t->uniform = 77;  // a uniform, non-zero tile
  return mask;
}

// Slot settings the fast row loops specialise, and some they do not: each
// fast form is checked against its reference under all of them.
struct SSlotSetting {
  const char* what;
  PlotProc32 proc;
  PixelOp32 op;
  bool selection;
  bool lightness = false;  // the lightness-curve merge instead of op
};
inline constexpr SSlotSetting kSlotSettings[] = {
    {"direct, keep alpha", &plotColorDirect, &lerpPixelRgb, false},
    {"direct, opacity", &plotColorDirect, &blendPixelOpacity, false},
    {"direct, erase", &plotColorDirect, &erasePixel, false},
    {"direct, over", &plotColorDirect, &blendPixelOver, false},
    {"direct, falloff", &plotColorDirect, &lerpPixelRgb, false, true},
    {"direct, a layer mode", &plotColorDirect, &blendScreen, false},
    {"selection, opacity", &plotColorThroughSelection, &blendPixelOpacity, true},
    {"selection, keep alpha", &plotColorThroughSelection, &lerpPixelRgb, true},
    {"selection, over", &plotColorThroughSelection, &blendPixelOver, true},
    {"selection, a layer mode", &plotColorThroughSelection, &blendMultiplyOpacity, true},
    {"selection call-back without a mask", &plotColorThroughSelection, &blendPixelTable, false},
    {"tone (not specialised)", &plotColorThroughTone, &blendPixelOpacity, false},
    {"gradation (not specialised)", &plotColorGradation, &blendPixelOpacity, false},
};
// A darkening lightness curve for the settings that merge through one.
inline const CurveTable& testLightnessCurve() {
  static const CurveTable curve = [] {
    CurveTable t{};
    buildPowerCurve(t, 1.15);
    return t;
  }();
  return curve;
}
// Installs a setting in the plotter; the mask weighs coverage when the
// setting has a selection.
inline void useSlotSetting(SPlotter& plot, const SSlotSetting& s, const CBlockVCH* mask) {
  plot.plotProc32 = s.proc;
  plot.pixelBlendOp = s.op;
  plot.lightnessCurve = s.lightness ? &testLightnessCurve() : nullptr;
  plot.plotSelectionMask = s.selection ? mask : nullptr;
}

}  // namespace pg::test
