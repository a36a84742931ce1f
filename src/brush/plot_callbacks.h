#pragma once
// The plot call-backs: the per-pixel procedures every dab, fill and text
// writes through, and the selectors that install them in the plot slots
// (plot_state.h) once per stroke.
//
// A call-back weights the coverage (by the selection mask, the screen-tone
// pattern, both or neither), picks the colour (the given one or the document
// gradient) and hands the pixel to the merge slot: plotBaseOp8 for bytes,
// pixelBlendOp for pixels. x and y are the pixel's coordinates in the layer
// being painted. Nothing is written where the weighted coverage is 0.
#include <cstdint>

#include "brush/plot_document.h"
#include "brush/plot_state.h"
#include "core/planes.h"

namespace pg {

class TStroke;

// ---- 8-bit call-backs (end in plotBaseOp8(pixel, value, c)) -----------------

// c = coverage.
void plotDirect(uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value);
// c = P[coverage][mask value at (x, y) + mask offset] (0 outside the mask image).
void plotThroughSelection(uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value);
// c = P[coverage][tone pattern at (x, y)] (coverage unchanged without a pattern).
void plotThroughTone(uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value);
// Selection, then tone.
void plotThroughSelectionAndTone(uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value);

// ---- 32-bit call-backs (end in pixelBlendOp(pixel, colour, c)) ---------------

void plotColorDirect(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
void plotColorThroughSelection(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
void plotColorThroughTone(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
void plotColorThroughSelectionAndTone(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
// The colour is the gradient at (x, y) with red and blue exchanged (its
// opacity byte kept as the alpha byte); c = P[coverage][gradient opacity].
// Without a gradient the given colour is used as it is.
void plotColorGradation(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
void plotColorGradationThroughSelection(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
// Tone weighting, then the gradient colour; on this path (and the next) the
// gradient's opacity does not weight the coverage, as recordings were made.
void plotColorGradationThroughTone(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
void plotColorGradationThroughSelectionAndTone(uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage,
                                               uint32_t colour);

// The weightings themselves (0 = write nothing).
[[nodiscard]] uint32_t selectionCoverage(int32_t x, int32_t y, uint32_t coverage);
[[nodiscard]] uint32_t toneCoverage(int32_t x, int32_t y, uint32_t coverage);

// ---- plane plotters (installed in the planes' own plot routines) -------------

// Point outside the plane (negatives included): nothing, false. Otherwise
// plotProc8 / plotProc32 with the pixel's address.
[[nodiscard]] bool plotPlane8(TChannel& plane, int32_t x, int32_t y, uint32_t value, uint32_t coverage);
[[nodiscard]] bool plotPlane32(TMTC& plane, int32_t x, int32_t y, uint32_t colour, uint32_t coverage);
// Hands both to setPlotCallback8 / setPlotCallback32.
void installPlanePlotters();

// ---- selectors ----------------------------------------------------------------

// Refreshes the sources, sets the stroke's falloff curve, and unless
// plotLocked chooses plotProc8 / plotProc32 from the stroke's tone and
// gradation switches and the selection, installs the plane plotters and sets
// pixelBlendOp: lerpPixelRgb with the stroke's keep-alpha switch, else
// blendPixelOpacity.
void selectPlotCallbacks(TStroke& stroke);
// selectPlotCallbacks; then with a document: its current layer's
// protect-alpha flag becomes the stroke's keep-alpha switch (which selects
// again), and while the document replays outside the standard mode the merge
// is lerpPixelRgb.
void updatePlotCallbacks(TStroke& stroke, IPlotDocument* document);
// Rebuilds the stroke's falloff curve, then updatePlotCallbacks(stroke, nullptr).
void resetPlot(TStroke& stroke);
// The document whose selection, layer, tone and gradient the call-backs read.
void setPlotDocument(IPlotDocument* document);
// Copies the plot document's tone manager, gradient, selection image and mask
// offset (mask offset - layer offset) into the plot state.
void refreshPlotSources();

// Stores type as the stroke's curve type (with a stroke) and, when force is
// set or the type differs from the one held, rebuilds falloffTable.
void setFalloffCurve(TStroke* stroke, uint8_t type, bool force);

// The stroke walker selectors: route the document's points to a walker.
void setStrokeSinkSegment(IPlotDocument& document);
void setStrokeSinkDabTable(IPlotDocument& document);
void setStrokeSinkPenRender(IPlotDocument& document);

// Installs what the stroke settings ask of this module (re-selection, the
// opacity rule of the older format, the tone curve builder). Runs once when
// the plot state is first set up; tests that reset the stroke hooks call it
// again.
void installStrokePlotHooks();

}  // namespace pg
