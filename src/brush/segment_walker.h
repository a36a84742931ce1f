#pragma once
// The older stroke walker: steps one segment between two stroke points pixel
// by pixel along its major axis and draws a dab of the stroke kind every N-th
// step (pen, watercolour, blur, eraser, blur2). Documents use it while they
// replay recordings of the older format, and for the straight-line stroke.
// Kinds 5 to 8 (and any other) count steps and travel but draw nothing.
//
// The step counter and the travel live in the stroke and run on over the
// whole stroke, so the dab interval continues across segments.
#include <cstdint>

#include "brush/stroke_settings.h"
#include "core/block_image.h"
#include "core/planes.h"

namespace pg {

// What the walker reads of the target layer.
struct SSegmentLayer {
  uint32_t blendMode = 3;             // the layer blend mode (its neutral colour is the eraser's)
  const CBlockVMTC* image = nullptr;  // the blur dab's source; no blur without it
};

// Segments longer than this many steps (before halving) are not real
// strokes; their walk stops here, so that a point from a damaged recording
// cannot hold the program in a walk of billions of steps.
inline constexpr int64_t kMaxSegmentSteps = 1 << 20;

// Walks from start to end: the pen and blur2 dabs go into the 8-bit coverage
// plane (raising it), the watercolour, blur and eraser dabs into the 32-bit
// colour plane. A segment with a coordinate or pressure that is not a number
// draws and counts nothing.
void drawSegment(TStroke& stroke, TChannel& coverage, TMTC& colour, const SStrokePoint& start,
                 const SStrokePoint& end, const SSegmentLayer& layer);

// The dab interval of the kind for the segment's end pressures, at least 1.
[[nodiscard]] int64_t segmentDabInterval(const TStroke& stroke, float p0, float p1);

// The watercolour dab's colour work at one dab (the record's paint and
// carried colours move); canvas is the B, G, R average sampled around the dab.
void mixWatercolor(TStroke& stroke, uint32_t canvas);

}  // namespace pg
