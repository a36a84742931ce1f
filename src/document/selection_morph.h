#pragma once
// Grey-level growing and shrinking of a selection by N pixels with a
// near-circular (octagonal) element: a running maximum (grow) or minimum
// (shrink) over the element at every pixel.
//
// The element of radius N has 2N + 1 columns dx = -N..N, column dx reaching
// |dy| <= the half-extent of dx: c = (N + 1) div 2 at the two ends, rising
// by one a column toward the middle up to N. It is the square of half-side
// c summed with the diamond of radius N - c, so the work is done as a few
// one-dimensional running extremes along rows, columns and the two
// diagonals, each costing the same whatever their length: the time does not
// grow with the radius.
#include <cstdint>
#include <vector>

namespace pg {

// The element's half-extents for dx = -N..N (2N + 1 entries); empty for N < 1.
std::vector<int32_t> octagonHalfExtents(int32_t n);

// Grows (max) or shrinks (min) a w x h byte raster in place by the element
// of radius n; bytes outside the raster count as 0. False (raster
// unchanged) for n < 1, an empty raster or a failed allocation.
[[nodiscard]] bool morphOctagon(std::vector<uint8_t>& pixels, int32_t w, int32_t h, int32_t n, bool grow);

}  // namespace pg
