#include "brush/plot_callbacks.h"

#include "brush/gradient.h"
#include "brush/plot_merge.h"
#include "brush/tone_list.h"
#include "brush/stroke_settings.h"
#include "core/block_image.h"
#include "core/colour.h"

namespace pg {

// ---- the state ------------------------------------------------------------------

SPlotState::SPlotState()
    : plotProc8(&plotDirect),
      plotProc32(&plotColorDirect),
      plotBaseOp8(&plotMax),
      pixelBlendOp(&lerpPixelRgb) {
  buildFalloffCurve(falloffTable, fcLinear);
  installStrokePlotHooks();
}

SPlotState gPlotState;

void resetPlotState() {
  gPlotState = SPlotState();
  resetBlendState();  // the planes' own plot routines
}

// ---- weighting ------------------------------------------------------------------

uint32_t selectionCoverage(int32_t x, int32_t y, uint32_t coverage) {
  const CBlockVCH* mask = gPlotState.plotSelectionMask;
  if (mask == nullptr) return coverage;
  return productAt(coverage, mask->getPixelOr0(x + gPlotState.plotMaskOffsetX, y + gPlotState.plotMaskOffsetY));
}

uint32_t toneCoverage(int32_t x, int32_t y, uint32_t coverage) {
  const CToneMngr* tone = gPlotState.plotToneMngr;
  return tone == nullptr ? coverage : tone->patternAt(x, y, coverage);
}

namespace {

// The gradient colour at (x, y) as it comes (red low, opacity high); the
// given colour, in colour order, without a gradient.
uint32_t gradientAt(int32_t x, int32_t y, uint32_t pixelColour) {
  const CGradation* g = gPlotState.plotGradient;
  return g == nullptr ? pixelToColor(pixelColour) | 0xFF000000u : g->evaluate(x, y);
}

// The coverage after the selection and/or tone weighting; 0 = write nothing.
template <bool Selection, bool Tone>
uint32_t weighted(int32_t x, int32_t y, uint32_t coverage) {
  uint32_t c = coverage;
  if (Selection) c = selectionCoverage(x, y, c);
  if (Tone && c != 0) c = toneCoverage(x, y, c);
  return c;
}

}  // namespace

// ---- 8-bit ----------------------------------------------------------------------

void plotDirect(uint8_t* pixel, int32_t, int32_t, uint32_t coverage, uint32_t value) {
  gPlotState.plotBaseOp8(pixel, value, coverage);
}

void plotThroughSelection(uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value) {
  if (const uint32_t c = weighted<true, false>(x, y, coverage)) gPlotState.plotBaseOp8(pixel, value, c);
}

void plotThroughTone(uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value) {
  if (const uint32_t c = weighted<false, true>(x, y, coverage)) gPlotState.plotBaseOp8(pixel, value, c);
}

void plotThroughSelectionAndTone(uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value) {
  if (const uint32_t c = weighted<true, true>(x, y, coverage)) gPlotState.plotBaseOp8(pixel, value, c);
}

// ---- 32-bit ---------------------------------------------------------------------

void plotColorDirect(uint32_t* pixel, int32_t, int32_t, uint32_t coverage, uint32_t colour) {
  gPlotState.pixelBlendOp(pixel, colour, coverage);
}

void plotColorThroughSelection(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  if (const uint32_t c = weighted<true, false>(x, y, coverage)) gPlotState.pixelBlendOp(pixel, colour, c);
}

void plotColorThroughTone(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  if (const uint32_t c = weighted<false, true>(x, y, coverage)) gPlotState.pixelBlendOp(pixel, colour, c);
}

void plotColorThroughSelectionAndTone(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  if (const uint32_t c = weighted<true, true>(x, y, coverage)) gPlotState.pixelBlendOp(pixel, colour, c);
}

void plotColorGradation(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  const uint32_t g = gradientAt(x, y, colour);
  const uint32_t c = mulDiv255(coverage, pixelAlpha(g));
  if (c != 0) gPlotState.pixelBlendOp(pixel, colorToPixel(g), c);
}

void plotColorGradationThroughSelection(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  const uint32_t c = selectionCoverage(x, y, coverage);
  if (c != 0) plotColorGradation(pixel, x, y, c, colour);
}

void plotColorGradationThroughTone(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour) {
  const uint32_t c = toneCoverage(x, y, coverage);
  if (c != 0) gPlotState.pixelBlendOp(pixel, colorToPixel(gradientAt(x, y, colour)), c);
}

void plotColorGradationThroughSelectionAndTone(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage,
                                               uint32_t colour) {
  const uint32_t c = selectionCoverage(x, y, coverage);
  if (c != 0) plotColorGradationThroughTone(pixel, x, y, c, colour);
}

// ---- plane plotters -------------------------------------------------------------

bool plotPlane8(TChannel& plane, int32_t x, int32_t y, uint32_t value, uint32_t coverage) {
  if (!insideGrid(x, y, plane.Width, plane.Height) || plane.Bits == nullptr) return false;
  gPlotState.plotProc8(pixelAddr8(plane, x, y), x, y, coverage, value);
  return true;
}

bool plotPlane32(TMTC& plane, int32_t x, int32_t y, uint32_t colour, uint32_t coverage) {
  if (!insideGrid(x, y, plane.Width, plane.Height) || plane.Bits == nullptr) return false;
  gPlotState.plotProc32(pixelAddr32(plane, x, y), x, y, coverage, colour);
  return true;
}

void installPlanePlotters() {
  setPlotCallback8(&plotPlane8);
  setPlotCallback32(&plotPlane32);
}

// ---- selectors ------------------------------------------------------------------

void setFalloffCurve(TStroke* stroke, uint8_t type, bool force) {
  if (stroke != nullptr) stroke->falloffCurveType = type;
  if (force || type != gPlotState.falloffCurveType) {
    gPlotState.falloffCurveType = type;
    buildFalloffCurve(gPlotState.falloffTable, type);
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

void refreshPlotSources() {
  SPlotState& s = gPlotState;
  IPlotDocument* doc = s.plotDocument;
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

void selectPlotCallbacks(TStroke& stroke) {
  refreshPlotSources();
  setFalloffCurve(&stroke, stroke.falloffCurveType, false);
  SPlotState& s = gPlotState;
  if (s.plotLocked) return;
  const int index = (stroke.useTone ? 4 : 0) + (stroke.useGradation ? 2 : 0) + (s.plotSelectionMask ? 1 : 0);
  s.plotProc8 = kPlotPairs[index].proc8;
  s.plotProc32 = kPlotPairs[index].proc32;
  installPlanePlotters();
  s.pixelBlendOp = stroke.opaque ? &lerpPixelRgb : &blendPixelOpacity;
}

void updatePlotCallbacks(TStroke& stroke, IPlotDocument* document) {
  selectPlotCallbacks(stroke);
  if (document == nullptr) return;
  if (document->hasLayers()) stroke.setOpaqueMode(document->currentLayerProtectsAlpha(), true);
  if (document->isReplaying() && !document->isStandardMode()) gPlotState.pixelBlendOp = &lerpPixelRgb;
}

void resetPlot(TStroke& stroke) {
  setFalloffCurve(&stroke, stroke.falloffCurveType, true);
  updatePlotCallbacks(stroke, nullptr);
}

void setPlotDocument(IPlotDocument* document) {
  gPlotState.plotDocument = document;
  refreshPlotSources();
}

void setStrokeSinkSegment(IPlotDocument& document) { document.setStrokeProc(TStrokeSink::Segment); }
void setStrokeSinkDabTable(IPlotDocument& document) { document.setStrokeProc(TStrokeSink::DabTable); }
void setStrokeSinkPenRender(IPlotDocument& document) { document.setStrokeProc(TStrokeSink::PenRender); }

// ---- what the stroke settings ask of this module ---------------------------------

namespace {

void selectForStroke(TStroke& stroke) { selectPlotCallbacks(stroke); }

bool plotDocumentIgnoresOpacity() {
  const IPlotDocument* doc = gPlotState.plotDocument;
  return doc != nullptr && !doc->isStandardMode();
}

void buildToneCurve(double base) { buildPowerCurve(gPlotState.toneCurveTable, base); }

}  // namespace

void installStrokePlotHooks() {
  SStrokePlotHooks hooks;
  hooks.selectPlotCallbacks = &selectForStroke;
  hooks.plotDocumentIgnoresOpacity = &plotDocumentIgnoresOpacity;
  hooks.buildToneCurve = &buildToneCurve;
  setStrokePlotHooks(hooks);
}

}  // namespace pg
