#pragma once
// Drawing one 32-bit plane into another of a different size: a 4 x 4
// supersampled reduction, a box reduction over a target rectangle, a
// nearest-sample stretch between two rectangles and a nearest-sample rotation
// with scaling. All four bytes of a pixel (alpha included) are resampled, and
// source coordinates are clamped or tested so that nothing outside the source
// is ever read. Planes of either row order work (TTC is bottom-up).
//
// Every routine answers False and writes nothing when a plane holds no pixels
// or the target rectangle is empty after clipping.
#include <cstdint>

#include "core/planes.h"
#include "core/rect.h"

namespace pg {

// The value of rotated pixels that fall outside the source: grey 128 in the
// three colour bytes, alpha 0.
inline constexpr uint32_t kRotateBackground = 0x00808080u;  // 8421504

// Fills the whole destination: each pixel is the mean of 16 source samples
// on a 4 x 4 grid inside its footprint (steps in 10-bit fixed point).
bool downsample4x4(const TMTC& src, TMTC& dst);

// Box reduction of the destination rectangle (x, y, w, h): each pixel is the
// mean of the (kx+1) x (ky+1) source pixels from its footprint's top-left,
// kx and ky being the whole source pixels per destination pixel.
bool downsampleRect4x4(const TMTC& src, TMTC& dst, int32_t x, int32_t y, int32_t w, int32_t h);

// Nearest-sample copy of srcRect onto dstRect (each clipped to its plane).
// Destination rows past the end of the source are copies of the last row
// written.
[[nodiscard]] bool stretchCopyRect(TMTC& dst, const TMTC& src, SRectXYWH dstRect, SRectXYWH srcRect);

// Nearest-sample rotation (angle in radians) and scaling about the source
// point centre, which lands on the destination's centre. Pixels whose source
// position is outside the source get kRotateBackground.
[[nodiscard]] bool rotateScaleInto(const TMTC& src, TMTC& dst, TPoint centre, float scale, float angle, TRect dstRect);

// rotateScaleInto over the whole destination.
[[nodiscard]] bool rotateScaleAll(const TMTC& src, TMTC& dst, TPoint centre, float scale, float angle);

// The plain, literal forms of the routines above: one sample, one clamp or
// test at a time. The fast forms are checked against them.
namespace reference {
bool downsample4x4(const TMTC& src, TMTC& dst);
bool downsampleRect4x4(const TMTC& src, TMTC& dst, int32_t x, int32_t y, int32_t w, int32_t h);
[[nodiscard]] bool stretchCopyRect(TMTC& dst, const TMTC& src, SRectXYWH dstRect, SRectXYWH srcRect);
[[nodiscard]] bool rotateScaleInto(const TMTC& src, TMTC& dst, TPoint centre, float scale, float angle, TRect dstRect);
}  // namespace reference

}  // namespace pg
