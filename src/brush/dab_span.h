#pragma once
// Span dabs: the pen's dab drawn as anti-aliased spans into an 8-bit plane
// (the stroke's working channel), row by row or column by column, each pixel
// through the 8-bit plot call-back of the plotter handed in (plotProc8). Pixel centres lie at whole
// coordinates here.
//
// Spans are clipped to the plane: nothing is written outside it, and a span
// whose row (column) lies outside draws nothing.
#include <cstdint>

#include "brush/plot_state.h"
#include "core/planes.h"

namespace pg {

// One span along row floor(y), centred at cx with half length r: the end
// pixels get trunc(fraction * opacity * 255), the inner ones
// trunc(opacity * 255) (opacity limited to 0..1). A span starting left of the
// plane starts at column 0 with the inner alpha.
void spanRowAA(const SPlotter& plot, TChannel& target, uint32_t value, float opacity, float r, float y, float cx);
// The same down column floor(x), centred at cy.
void spanColumnAA(const SPlotter& plot, TChannel& target, uint32_t value, float opacity, float r, float x, float cy);

// A pen dab of radius r at (cx, cy) as horizontal spans, one per row from
// floor(cy - r) to ceil(cy + r) - 1, the first and last rows weighted by
// their share of the disc's extent; below r = 0.5 one span at half opacity.
void paintPenDabRows(const SPlotter& plot, TChannel& target, uint32_t value, float opacity, float radius, float cy, float cx);
// The same as vertical spans.
void paintPenDabColumns(const SPlotter& plot, TChannel& target, uint32_t value, float opacity, float radius, float cy, float cx);

}  // namespace pg
