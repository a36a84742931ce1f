#include "brush/plot_callbacks.h"

#include "brush/gradient.h"
#include "brush/plot_merge.h"
#include "brush/tone_list.h"
#include "brush/stroke_settings.h"
#include "core/block_image.h"
#include "core/colour.h"

namespace pg {

// ---- the state ------------------------------------------------------------------

const CurveTable& linearFalloffTable() {
  static const CurveTable table = [] {
    CurveTable t{};
    buildFalloffCurve(t, fcLinear);
    return t;
  }();
  return table;
}

const SPlotter& defaultPlotter() {
  static const SPlotter plotter;
  return plotter;
}

SPlotState::SPlotState() {
  buildFalloffCurve(falloffTable, fcLinear);
  plotter.falloffTable = &falloffTable;
}

// ---- weighting ------------------------------------------------------------------

uint32_t selectionCoverage(const SPlotter& s, int32_t x, int32_t y, uint32_t coverage) {
  const CBlockVCH* mask = s.plotSelectionMask;
  if (mask == nullptr) return coverage;
  return productAt(coverage, mask->getPixelOr0(x + s.plotMaskOffsetX, y + s.plotMaskOffsetY));
}

uint32_t toneCoverage(const SPlotter& s, int32_t x, int32_t y, uint32_t coverage) {
  const CToneMngr* tone = s.plotToneMngr;
  return tone == nullptr ? coverage : tone->patternAt(x, y, coverage);
}

namespace {

// The gradient colour at (x, y) as it comes (red low, opacity high); the
// given colour, in colour order, without a gradient.
uint32_t gradientAt(const SPlotter& s, int32_t x, int32_t y, uint32_t pixelColour) {
  const CGradation* g = s.plotGradient;
  return g == nullptr ? pixelToColor(pixelColour) | 0xFF000000u : g->evaluate(x, y);
}

// The coverage after the selection and/or tone weighting; 0 = write nothing.
template <bool Selection, bool Tone>
uint32_t weighted(const SPlotter& s, int32_t x, int32_t y, uint32_t coverage) {
  uint32_t c = coverage;
  if (Selection) c = selectionCoverage(s, x, y, c);
  if (Tone && c != 0) c = toneCoverage(s, x, y, c);
  return c;
}

}  // namespace

void mergePixel(const SPlotter& s, uint32_t* pixel, uint32_t colour, uint32_t coverage) {
  if (s.lightnessCurve != nullptr)
    blendPixelFalloff(*s.lightnessCurve, pixel, colour, coverage);
  else
    s.pixelBlendOp(pixel, colour, coverage);
}

// ---- 8-bit ----------------------------------------------------------------------

void plotDirect(const SPlotter& s, uint8_t* pixel, int32_t, int32_t, uint32_t coverage, uint32_t value) {
  s.plotBaseOp8(pixel, value, coverage);
}

void plotThroughSelection(const SPlotter& s, uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value) {
  if (const uint32_t c = weighted<true, false>(s, x, y, coverage)) s.plotBaseOp8(pixel, value, c);
}

void plotThroughTone(const SPlotter& s, uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value) {
  if (const uint32_t c = weighted<false, true>(s, x, y, coverage)) s.plotBaseOp8(pixel, value, c);
}

void plotThroughSelectionAndTone(const SPlotter& s, uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value) {
  if (const uint32_t c = weighted<true, true>(s, x, y, coverage)) s.plotBaseOp8(pixel, value, c);
}

// ---- 32-bit ---------------------------------------------------------------------

void plotColorDirect(const SPlotter& s, uint32_t* pixel, int32_t, int32_t, uint32_t coverage, uint32_t colour) {
  mergePixel(s, pixel, colour, coverage);
}

void plotColorThroughSelection(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  if (const uint32_t c = weighted<true, false>(s, x, y, coverage)) mergePixel(s, pixel, colour, c);
}

void plotColorThroughTone(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  if (const uint32_t c = weighted<false, true>(s, x, y, coverage)) mergePixel(s, pixel, colour, c);
}

void plotColorThroughSelectionAndTone(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  if (const uint32_t c = weighted<true, true>(s, x, y, coverage)) mergePixel(s, pixel, colour, c);
}

void plotColorGradation(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  const uint32_t g = gradientAt(s, x, y, colour);
  const uint32_t c = mulDiv255(coverage, pixelAlpha(g));
  if (c != 0) mergePixel(s, pixel, colorToPixel(g), c);
}

void plotColorGradationThroughSelection(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  const uint32_t c = selectionCoverage(s, x, y, coverage);
  if (c != 0) plotColorGradation(s, pixel, x, y, c, colour);
}

void plotColorGradationThroughTone(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  const uint32_t c = toneCoverage(s, x, y, coverage);
  if (c != 0) mergePixel(s, pixel, colorToPixel(gradientAt(s, x, y, colour)), c);
}

void plotColorGradationThroughSelectionAndTone(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage,
                                               uint32_t colour) {
  const uint32_t c = selectionCoverage(s, x, y, coverage);
  if (c != 0) plotColorGradationThroughTone(s, pixel, x, y, c, colour);
}

// ---- plane plots ----------------------------------------------------------------

bool plotPlane8(const void* plotter, TChannel& plane, int32_t x, int32_t y, uint32_t value, uint32_t coverage) {
  if (!insideGrid(x, y, plane.Width, plane.Height) || plane.Bits == nullptr) return false;
  const SPlotter& s = *static_cast<const SPlotter*>(plotter);
  s.plotProc8(s, pixelAddr8(plane, x, y), x, y, coverage, value);
  return true;
}

bool plotPlane32(const void* plotter, TMTC& plane, int32_t x, int32_t y, uint32_t colour, uint32_t coverage) {
  if (!insideGrid(x, y, plane.Width, plane.Height) || plane.Bits == nullptr) return false;
  const SPlotter& s = *static_cast<const SPlotter*>(plotter);
  s.plotProc32(s, pixelAddr32(plane, x, y), x, y, coverage, colour);
  return true;
}

// ---- selectors ------------------------------------------------------------------

void setFalloffCurve(SPlotState& state, TStroke* stroke, uint8_t type, bool force) {
  if (stroke != nullptr) stroke->falloffCurveType = type;
  if (force || type != state.falloffCurveType) {
    state.falloffCurveType = type;
    buildFalloffCurve(state.falloffTable, type);
  }
}

namespace {

// Mask offsets beyond this are no real document's; keeping them here keeps
// x + offset inside 32 bits for every plane coordinate.
constexpr int32_t kMaxMaskOffset = 1 << 28;

int32_t boundedOffset(int64_t v) {
  return static_cast<int32_t>(v < -kMaxMaskOffset ? -kMaxMaskOffset : v > kMaxMaskOffset ? kMaxMaskOffset : v);
}

// The call-back pair of each switch combination, indexed by
// tone * 4 + gradation * 2 + selection.
struct SPlotPair {
  PlotProc8 proc8;
  PlotProc32 proc32;
};
constexpr SPlotPair kPlotPairs[8] = {
    {&plotDirect, &plotColorDirect},
    {&plotThroughSelection, &plotColorThroughSelection},
    {&plotDirect, &plotColorGradation},
    {&plotThroughSelection, &plotColorGradationThroughSelection},
    {&plotThroughTone, &plotColorThroughTone},
    {&plotThroughSelectionAndTone, &plotColorThroughSelectionAndTone},
    {&plotThroughTone, &plotColorGradationThroughTone},
    {&plotThroughSelectionAndTone, &plotColorGradationThroughSelectionAndTone},
};

}  // namespace

void refreshPlotSources(SPlotState& state) {
  SPlotter& s = state.plotter;
  IPlotDocument* doc = state.plotDocument;
  s.plotToneMngr = doc != nullptr ? doc->toneManager() : nullptr;
  s.plotGradient = doc != nullptr ? doc->gradient() : nullptr;
  s.plotSelectionMask = nullptr;
  s.plotMaskOffsetX = 0;
  s.plotMaskOffsetY = 0;
  if (doc == nullptr) return;
  TPoint maskOffset;
  const CBlockVCH* image = doc->selectionImage(maskOffset);
  if (image == nullptr || !image->isValid()) return;
  const TPoint layerOffset = doc->currentLayerOffset();
  s.plotSelectionMask = image;
  s.plotMaskOffsetX = boundedOffset(static_cast<int64_t>(maskOffset.X) - layerOffset.X);
  s.plotMaskOffsetY = boundedOffset(static_cast<int64_t>(maskOffset.Y) - layerOffset.Y);
}

void selectPlotCallbacks(SPlotState& state, TStroke& stroke) {
  refreshPlotSources(state);
  setFalloffCurve(state, &stroke, stroke.falloffCurveType, false);
  (void)stroke.buildToneCurve(state.toneCurveTable);  // burn and dodge only
  if (state.plotLocked) return;
  SPlotter& s = state.plotter;
  const int index = (stroke.useTone ? 4 : 0) + (stroke.useGradation ? 2 : 0) + (s.plotSelectionMask ? 1 : 0);
  s.plotProc8 = kPlotPairs[index].proc8;
  s.plotProc32 = kPlotPairs[index].proc32;
  s.pixelBlendOp = stroke.opaque ? &lerpPixelRgb : &blendPixelOpacity;
  s.lightnessCurve = nullptr;
  if (state.plotDocument != nullptr && state.plotDocument->isReplaying() && !state.plotDocument->isStandardMode())
    s.pixelBlendOp = &lerpPixelRgb;
}

void updatePlotCallbacks(SPlotState& state, TStroke& stroke, IPlotDocument* document) {
  state.plotDocument = document;
  if (document != nullptr) {
    if (document->hasLayers()) (void)stroke.setOpaqueMode(document->currentLayerProtectsAlpha(), false);
    stroke.fullOpacity = document->isStandardMode() ? 0 : 1;
  } else {
    stroke.fullOpacity = 0;
  }
  selectPlotCallbacks(state, stroke);
}

void setStrokeSinkSegment(IPlotDocument& document) { document.setStrokeProc(TStrokeSink::Segment); }
void setStrokeSinkDabTable(IPlotDocument& document) { document.setStrokeProc(TStrokeSink::DabTable); }
void setStrokeSinkPenRender(IPlotDocument& document) { document.setStrokeProc(TStrokeSink::PenRender); }

}  // namespace pg
