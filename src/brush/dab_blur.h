#pragma once
// Blur dabs: each covered pixel of the dab takes the mean of the
// (2k + 1) x (2k + 1) source pixels around it (source: a tiled image read with
// clamping at its borders) and is plotted with a coverage that falls off
// linearly from the centre. The fast forms keep running column sums along a
// row; the direct forms (the reference) sum every window from scratch.
//
// The kernel half size k comes from stroke settings and recordings: it is
// raised to 1 and limited to kMaxBlurHalfSize, and the sums are 64-bit, so no
// kernel can overflow them. Dabs are clipped to the target plane.
#include <cstdint>

#include "brush/plot_state.h"
#include "core/block_image.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

inline constexpr int32_t kMaxBlurHalfSize = 1024;

// Alpha-weighted mean: colour = sum(P[c][a]) * 255 / sum(a), alpha = sum(a) /
// count; nothing where every sample is transparent. coverage =
// P[255 - d*255/r][trunc(opacity * 255)] (d, r in 16.16, d < r), plotted
// through the plotter's 32-bit plot (plotProc32), clipped to the target.
void blurDabAlpha(const SPlotter& plot, TMTC& target, const CBlockVMTC& source, int32_t k, float opacity, float radius, float cy, float cx);
void blurDabAlphaDirect(const SPlotter& plot, TMTC& target, const CBlockVMTC& source, int32_t k, float opacity, float radius, float cy,
                        float cx);
// Plain mean of each colour channel over the window; the alpha byte is that
// of the window's bottom-right pixel; plotted even when all are transparent.
void blurDab(const SPlotter& plot, TMTC& target, const CBlockVMTC& source, int32_t k, float opacity, float radius, float cy, float cx);
void blurDabDirect(const SPlotter& plot, TMTC& target, const CBlockVMTC& source, int32_t k, float opacity, float radius, float cy,
                   float cx);

// The older walker's blur dab, in quarter pixels: a pixel whose four corners
// all lie strictly inside the circle of R = trunc(4r) gets the plain mean of
// its window (alpha byte 0) blended with blendPixelTab at weight
// max(0, 255 - (dx^2 + dy^2) * 255 / R^2).
void paintStrokeDab(TMTC& target, const CBlockVMTC& source, int32_t k, float radius, float cy, float cx);

// The document's weighted blur over rect (clipped to every plane given):
// w := weight pixel (times the mask pixel >> 8 unless that is 255); w > 1:
// c := min(w, 31), the 3 x 3 mean with the centre counted 32 - c times is
// written with blendPixelTab at 255; w <= 1: the source pixel is copied.
void blurByWeight(TMTC& target, const CBlockVMTC& source, const TChannel& weight, const TChannel* mask,
                  SRectXYWH rect);

namespace reference {
// paintStrokeDab with every window summed from scratch.
void paintStrokeDab(TMTC& target, const CBlockVMTC& source, int32_t k, float radius, float cy, float cx);
}  // namespace reference

}  // namespace pg
