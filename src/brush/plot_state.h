#pragma once
// The surface a brush, fill or text paints through: how one pixel is written
// (SPlotter: the per-pixel call-backs, the merges, the selection, tone and
// gradient they read, the falloff table of the round dabs) and the state a
// painter keeps it in (SPlotState: the tables the plotter points at and the
// document whose sources it copied).
//
// Nothing here is process-wide. Each document owns its plot state and hands
// its plotter to every dab routine it calls; each figure fill owns one for
// its fill. Two documents painting in one process share nothing.
#include <cstdint>

#include "brush/falloff_tables.h"
#include "core/blend_arith.h"

namespace pg {

class CBlockVCH;
class CGradation;
class CToneMngr;
class IPlotDocument;
struct SPlotter;

// 8-bit plot: (plotter, pixel address, x, y, coverage 0..255, value).
using PlotProc8 = void (*)(const SPlotter& s, uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage,
                           uint32_t value);
// 32-bit plot: (plotter, pixel address, x, y, coverage 0..255, colour in pixel order).
using PlotProc32 = void (*)(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage,
                            uint32_t colour);
// 8-bit merge: (byte address, value, coverage 0..255).
using PlotBaseOp8 = void (*)(uint8_t* pixel, uint32_t value, uint32_t coverage);
// The 32-bit merge is a PixelOp32 (pixel address, colour, coverage).

// The 8-bit merge the plotter starts with (plot_merge.h).
void plotMax(uint8_t* pixel, uint32_t value, uint32_t coverage);
// The start call-backs (plot_callbacks.h).
void plotDirect(const SPlotter& s, uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value);
void plotColorDirect(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);

// The linear falloff curve, built once and never changed.
[[nodiscard]] const CurveTable& linearFalloffTable();

struct SPlotter {
  PlotProc8 plotProc8 = &plotDirect;
  PlotProc32 plotProc32 = &plotColorDirect;
  PlotBaseOp8 plotBaseOp8 = &plotMax;
  PixelOp32 pixelBlendOp = &lerpPixelRgb;
  // When set, the 32-bit merge is the lightness-curve merge through this
  // table (burn and dodge) instead of pixelBlendOp.
  const CurveTable* lightnessCurve = nullptr;

  // The selection that weights coverage: the mask image, or nullptr when no
  // selection applies; the offset is added to the layer pixel's x and y
  // before the mask is read.
  const CBlockVCH* plotSelectionMask = nullptr;
  int32_t plotMaskOffsetX = 0;
  int32_t plotMaskOffsetY = 0;
  const CToneMngr* plotToneMngr = nullptr;
  // The document's gradient (the gradation call-backs' colour source).
  const CGradation* plotGradient = nullptr;
  // The round dabs' falloff (never null).
  const CurveTable* falloffTable = &linearFalloffTable();

  // The same surface with another 32-bit merge (a dab kind's own).
  [[nodiscard]] SPlotter withMerge(PixelOp32 op) const {
    SPlotter p = *this;
    p.pixelBlendOp = op;
    p.lightnessCurve = nullptr;
    return p;
  }
  // The same surface merging through the lightness curve.
  [[nodiscard]] SPlotter withLightnessCurve(const CurveTable& curve) const {
    SPlotter p = *this;
    p.lightnessCurve = &curve;
    return p;
  }
};

// A plotter with the start values: direct plots, the max merge for bytes,
// the keep-alpha merge for pixels, the linear falloff, no sources.
[[nodiscard]] const SPlotter& defaultPlotter();

// What one painter keeps: the plotter, the tables it points at, and the
// document it was last chosen for. Not copied: the plotter points into it.
struct SPlotState {
  SPlotState();
  SPlotState(const SPlotState&) = delete;
  SPlotState& operator=(const SPlotState&) = delete;

  SPlotter plotter;
  // While set, selectPlotCallbacks leaves the call-backs and the merge alone
  // (the document window's special fill).
  bool plotLocked = false;
  IPlotDocument* plotDocument = nullptr;

  // The curve code now held in falloffTable (as given; see falloffBuilderOf).
  uint8_t falloffCurveType = fcLinear;
  CurveTable falloffTable{};
  CurveTable toneCurveTable{};
};

}  // namespace pg
