#pragma once
// The plot call-backs: the per-pixel procedures every dab, fill and text
// writes through, and the selectors that choose them into a painter's plot
// state (plot_state.h) once per stroke.
//
// A call-back weights the coverage (by the selection mask, the screen-tone
// pattern, both or neither), picks the colour (the given one or the document
// gradient) and hands the pixel to the plotter's merge: plotBaseOp8 for
// bytes, pixelBlendOp (or the lightness-curve merge) for pixels. x and y are
// the pixel's coordinates in the layer being painted. Nothing is written
// where the weighted coverage is 0.
#include <cstdint>

#include "brush/plot_document.h"
#include "brush/plot_state.h"
#include "core/planes.h"

namespace pg {

class TStroke;

// ---- 8-bit call-backs (end in plotBaseOp8(pixel, value, c)) -----------------

// c = coverage.
void plotDirect(const SPlotter& s, uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value);
// c = P[coverage][mask value at (x, y) + mask offset] (0 outside the mask image).
void plotThroughSelection(const SPlotter& s, uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value);
// c = P[coverage][tone pattern at (x, y)] (coverage unchanged without a pattern).
void plotThroughTone(const SPlotter& s, uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value);
// Selection, then tone.
void plotThroughSelectionAndTone(const SPlotter& s, uint8_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t value);

// ---- 32-bit call-backs (end in pixelBlendOp(pixel, colour, c)) ---------------

void plotColorDirect(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
void plotColorThroughSelection(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
void plotColorThroughTone(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
void plotColorThroughSelectionAndTone(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
// The colour is the gradient at (x, y) with red and blue exchanged (its
// opacity byte kept as the alpha byte); c = P[coverage][gradient opacity].
// Without a gradient the given colour is used as it is.
void plotColorGradation(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
void plotColorGradationThroughSelection(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
// Tone weighting, then the gradient colour; on this path (and the next) the
// gradient's opacity does not weight the coverage, as recordings were made.
void plotColorGradationThroughTone(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage, uint32_t colour);
void plotColorGradationThroughSelectionAndTone(const SPlotter& s, uint32_t* pixel, int32_t x, int32_t y, uint32_t coverage,
                                               uint32_t colour);

// The weightings themselves (0 = write nothing).
[[nodiscard]] uint32_t selectionCoverage(const SPlotter& s, int32_t x, int32_t y, uint32_t coverage);
[[nodiscard]] uint32_t toneCoverage(const SPlotter& s, int32_t x, int32_t y, uint32_t coverage);

// The 32-bit merge of the plotter: the lightness-curve merge when it has a
// curve, else pixelBlendOp.
void mergePixel(const SPlotter& s, uint32_t* pixel, uint32_t colour, uint32_t coverage);

// ---- plane plots (handed to the anti-aliased discs) -------------------------

// Point outside the plane (negatives included): nothing, false. Otherwise
// the plotter's plotProc8 / plotProc32 with the pixel's address. The context
// is the plotter.
[[nodiscard]] bool plotPlane8(const void* plotter, TChannel& plane, int32_t x, int32_t y, uint32_t value,
                              uint32_t coverage);
[[nodiscard]] bool plotPlane32(const void* plotter, TMTC& plane, int32_t x, int32_t y, uint32_t colour,
                               uint32_t coverage);
[[nodiscard]] inline SPlanePlot8 planePlot8(const SPlotter& s) { return {&plotPlane8, &s}; }
[[nodiscard]] inline SPlanePlot32 planePlot32(const SPlotter& s) { return {&plotPlane32, &s}; }

// ---- selectors ----------------------------------------------------------------

// Refreshes the sources, sets the stroke's falloff curve and, for the burn
// and dodge kinds, its tone curve; unless plotLocked chooses plotProc8 /
// plotProc32 from the stroke's tone and gradation switches and the
// selection, and sets pixelBlendOp: lerpPixelRgb with the stroke's
// keep-alpha switch, else blendPixelOpacity.
void selectPlotCallbacks(SPlotState& state, TStroke& stroke);
// Binds the state to the document (its sources are read from it); then with
// a document: its current layer's protect-alpha flag becomes the stroke's
// keep-alpha switch, the stroke paints at full opacity while the document
// replays outside the standard mode, and there the merge is lerpPixelRgb.
// Then selectPlotCallbacks.
void updatePlotCallbacks(SPlotState& state, TStroke& stroke, IPlotDocument* document);
// Copies the state's document's tone manager, gradient, selection image and
// mask offset (mask offset - layer offset) into its plotter.
void refreshPlotSources(SPlotState& state);

// Stores type as the stroke's curve type (with a stroke) and, when force is
// set or the type differs from the one held, rebuilds the state's falloff table.
void setFalloffCurve(SPlotState& state, TStroke* stroke, uint8_t type, bool force);

// The stroke walker selectors: route the document's points to a walker.
void setStrokeSinkSegment(IPlotDocument& document);
void setStrokeSinkDabTable(IPlotDocument& document);
void setStrokeSinkPenRender(IPlotDocument& document);

}  // namespace pg
