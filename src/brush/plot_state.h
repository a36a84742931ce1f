#pragma once
// The process-wide state of the plot call-backs: the four procedure slots
// through which every painted pixel of a brush, fill or text passes, the
// sources they read (selection, tone, gradient), and the two curve tables.
//
// There is one user-interface thread and one document paints at a time, so
// this is one global record; the selectors of plot_callbacks.h fill it once
// per stroke. Tests put it back to its start state with resetPlotState().
#include <cstdint>

#include "brush/falloff_tables.h"
#include "core/blend_arith.h"

namespace pg {

class CBlockVCH;
class CGradation;
class CToneMngr;
class IPlotDocument;

// 8-bit plot: (pixel address, x, y, coverage 0..255, value).
using PlotProc8 = void (*)(uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value);
// 32-bit plot: (pixel address, x, y, coverage 0..255, colour in pixel order).
using PlotProc32 = void (*)(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
// 8-bit merge: (byte address, value, coverage 0..255).
using PlotBaseOp8 = void (*)(uint8_t* pixel, uint32_t value, uint32_t coverage);
// The 32-bit merge is a PixelOp32 (pixel address, colour, coverage).

struct SPlotState {
  // The start state: direct plots, the max merge for bytes, the keep-alpha
  // merge for pixels, the linear falloff curve, no document.
  SPlotState();

  PlotProc8 plotProc8;
  PlotProc32 plotProc32;
  PlotBaseOp8 plotBaseOp8;
  PixelOp32 pixelBlendOp;

  // While set, selectPlotCallbacks leaves the four slots and the plane
  // plotters alone (the document window's special fill).
  bool plotLocked = false;
  IPlotDocument* plotDocument = nullptr;

  // The selection that weights coverage: the mask image, or nullptr when no
  // selection applies; the offset is added to the layer pixel's x and y
  // before the mask is read.
  const CBlockVCH* plotSelectionMask = nullptr;
  int32_t plotMaskOffsetX = 0;
  int32_t plotMaskOffsetY = 0;
  const CToneMngr* plotToneMngr = nullptr;
  // The plot document's gradient (the gradation call-backs' colour source).
  const CGradation* plotGradient = nullptr;

  // The curve code now held in falloffTable (as given; see falloffBuilderOf).
  uint8_t falloffCurveType = fcLinear;
  CurveTable falloffTable{};
  CurveTable toneCurveTable{};
};

extern SPlotState gPlotState;
inline SPlotState& plotState() { return gPlotState; }

// Puts the plot state back to its start values (tests).
void resetPlotState();

// Swaps the 32-bit merge for the life of one dab and puts the previous one
// back on every way out.
class CPixelBlendOpSwap {
 public:
  explicit CPixelBlendOpSwap(PixelOp32 op) : saved_(gPlotState.pixelBlendOp) { gPlotState.pixelBlendOp = op; }
  ~CPixelBlendOpSwap() { gPlotState.pixelBlendOp = saved_; }
  CPixelBlendOpSwap(const CPixelBlendOpSwap&) = delete;
  CPixelBlendOpSwap& operator=(const CPixelBlendOpSwap&) = delete;

 private:
  PixelOp32 saved_;
};

}  // namespace pg
