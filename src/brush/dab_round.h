#pragma once
// Round dabs: one stamp of the brush at a floating-point centre, its coverage
// taken from the falloff table by the distance of each pixel centre
// (x + 0.5, y + 0.5) from the dab centre, handed pixel by pixel to the 32-bit
// plot call-back of the plotter it is handed (plotProc32), which does the
// blending.
//
// Radii, centres and opacities come from strokes and recordings and are not
// trusted: a dab is clipped to its target plane and never writes outside it,
// and a centre or radius that is not a number draws nothing.
#include <cstdint>

#include "core/pen_patch.h"
#include "core/planes.h"
#include "core/rect.h"
#include "brush/plot_state.h"

namespace pg {

// The dab's pixel box floor(cx - r), floor(cy - r), ceil(cx + r), ceil(cy + r)
// (right and bottom exclusive) clipped to the plane; offset := clipped
// top-left minus unclipped top-left. False when nothing is left (or the
// centre or radius is not a number).
[[nodiscard]] bool dabBox(const CDibCore& target, TRect& box, TPoint& offset, float radius, float cy, float cx);

// The airbrush, darken and lighten dab: coverage := (falloff[trunc(2047 d / r)]
// * round(opacity * 65536)) >> 32 where the pixel centre's distance d (single
// precision) is below r, else 0. Nothing for opacity <= 0 (opacity above 1
// counts as 1). Pixels of zero coverage are skipped when the plot slots hold
// call-backs and merges for which that changes nothing; otherwise every box
// pixel is plotted, as in the reference.
void paintRoundDab(const SPlotter& plot, TMTC& target, uint32_t colour, float opacity, float radius, float cy, float cx);

// The finger dab: the round dab's coverage with each pixel's colour taken
// from the sample tile (its pixel where the alpha byte is not 0, else the
// fallback colour). Nothing when the radius does not fit the tile. Tile
// positions outside the tile take the fallback colour.
void paintTileDab(const SPlotter& plot, TMTC& target, uint32_t fallback, const CPenTC& tile, float opacity, float radius, float cy,
                  float cx);

// The coverage of one pixel of a round dab (0..255); the one formula both
// forms of paintRoundDab and paintTileDab use.
[[nodiscard]] uint32_t roundDabCoverage(const CurveTable& falloff, int32_t x, int32_t y, float cx, float cy, float radius, int32_t opacity16);

// round(opacity * 65536) with opacity limited to 0..1; 0 for NaN.
[[nodiscard]] int32_t dabOpacity16(float opacity);

namespace reference {
// paintRoundDab literally: every pixel of the box through plotProc32.
void paintRoundDab(const SPlotter& plot, TMTC& target, uint32_t colour, float opacity, float radius, float cy, float cx);
}  // namespace reference

}  // namespace pg
